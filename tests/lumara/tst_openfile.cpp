// Opening generated run archives and saved packages through the facade: the announcements,
// the reagent-kit probe, default plots and population names, and the QC limits file found
// relative to the working directory.
#include "bll/bllinstance.h"
#include "bll/plotgroupmgr.h"
#include "bll/populationsmgr.h"
#include "bll/signaltransfer.h"
#include "generator.h"
#include "model/analysisdatamgr.h"
#include "model/experimentcfgmgr.h"
#include "pcranalysisdocument.h"
#include "seeddocument.h"
#include "testmain.h"
#include "zipcheck.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

using namespace LumaraAnalysisData;

namespace {

struct Announced {
    int complete = 0;
    int error = 0;
    int hubWellInfo = 0;
    int hubError = 0;
};

MkPackage::GeneratorOptions smallRun()
{
    MkPackage::GeneratorOptions o;
    o.wells = 2;
    o.width = 64;
    o.height = 48;
    o.storedDroplets = MkPackage::StoredDroplets::Drawn; // too small for the recognition
    return o;
}

QStringList plotNames()
{
    QStringList names;
    PlotGroupMgr *plots = BLLInstance::getInstance()->getPlotGroupMgr();
    for (const Customized2DPlotInfo &p : plots->get2DPlots())
        names.append(p.name);
    for (const Customized3DPlotInfo &p : plots->get3DPlots())
        names.append(p.name);
    return names;
}

// Opens on a worker thread of its own, as the main window does, and lets the queued
// announcements arrive.
bool openOnWorker(const QString &path, Announced *seen)
{
    BLLInstance *bll = BLLInstance::getInstance();
    QSignalSpy complete(bll, &BLLInstance::openFileComplete);
    QSignalSpy error(bll, &BLLInstance::openFileError);
    QSignalSpy hubWellInfo(SignalTransfer::getInstance(), &SignalTransfer::updateWellInfo);
    QSignalSpy hubError(SignalTransfer::getInstance(), &SignalTransfer::openFileError);
    bool result = false;
    QThread *worker = QThread::create([&] { result = bll->openFile(path); });
    worker->start();
    worker->wait();
    delete worker;
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    seen->complete = complete.count();
    seen->error = error.count();
    seen->hubWellInfo = hubWellInfo.count();
    seen->hubError = hubError.count();
    return result;
}

} // namespace

class TestOpenFile : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void open_data();
    void open();
    void failedOpenKeepsTheDocument();
    void savedPackageKeepsItsPlots();
    void qcLimitsFromTheDataFolder_data();
    void qcLimitsFromTheDataFolder();

private:
    QTemporaryDir m_dir;
};

void TestOpenFile::initTestCase()
{
    BLLInstance::createSingletons();
    QVERIFY(m_dir.isValid());
}

void TestOpenFile::open_data()
{
    QTest::addColumn<QString>("name"); // generated; "" for a path that does not exist
    QTest::addColumn<QString>("kind"); // plain, kit, kit+password, expzip, text
    QTest::addColumn<bool>("opens");
    QTest::addColumn<bool>("specialKit");
    QTest::addColumn<QStringList>("plots");
    QTest::addColumn<QStringList>("populations");

    const QStringList defaultPlots = {"Target-FAM_Target-HEX", "Target-FAM_Target-CY5", "Target-HEX_Target-CY5",
                                      "Target-FAM_Target-HEX_Target-CY5"};
    const QStringList dyes = {"FAM", "HEX", "CY5"};
    QTest::newRow("run archive") << "run.imrs" << "plain" << true << false << defaultPlots << dyes;
    QTest::newRow("with reagent kit") << "kit.imrs" << "kit" << true << true << defaultPlots << dyes;
    QTest::newRow("with kit and password") << "secret.imrs" << "kit+password" << true << true << defaultPlots << dyes;
    QTest::newRow("older run archive") << "old.expzip" << "expzip" << true << false << defaultPlots << dyes;
    // The suffix tells a saved package, not ".arlx" somewhere in the path.
    QTest::newRow("in an .arlx folder") << "batch.arlx/run.imrs" << "plain" << true << false << defaultPlots
                                        << dyes;
    QTest::newRow("no such file") << "" << "plain" << false << false << QStringList{} << QStringList{};
    QTest::newRow("unknown suffix") << "run.zip" << "plain" << false << false << QStringList{} << QStringList{};
}

void TestOpenFile::open()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(bool, opens);
    QFETCH(bool, specialKit);
    QFETCH(QStringList, plots);
    QFETCH(QStringList, populations);

    MkPackage::GeneratorOptions options = smallRun();
    options.reagentKit = kind.startsWith("kit");
    if (kind == "kit+password")
        options.password = "s3cr3t";
    if (kind == "expzip")
        options.kind = MkPackage::ArchiveKind::Expzip;
    QString path = m_dir.filePath("missing.imrs");
    if (!name.isEmpty()) {
        // The generator picks the kind by suffix; other suffixes are written as .imrs, renamed.
        const bool renamed = !name.endsWith(".imrs") && !name.endsWith(".expzip");
        path = BllTest::generateRun(m_dir.path(), renamed ? name + ".imrs" : name, options);
        QVERIFY(!path.isEmpty());
        if (renamed) {
            QVERIFY(QFile::rename(path, m_dir.filePath(name)));
            path = m_dir.filePath(name);
        }
    }
    // A kit archive before, so that a failed open visibly renews the flag.
    if (!opens) {
        MkPackage::GeneratorOptions kitOptions = smallRun();
        kitOptions.reagentKit = true;
        const QString before = BllTest::generateRun(m_dir.path(), "before.imrs", kitOptions);
        QVERIFY(BLLInstance::getInstance()->openFile(before));
        QVERIFY(BLLInstance::getInstance()->isSpecialKit());
    }

    Announced seen;
    QCOMPARE(openOnWorker(path, &seen), opens);
    QCOMPARE(seen.complete, opens ? 1 : 0);
    QCOMPARE(seen.error, opens ? 0 : 1);
    QCOMPARE(seen.hubWellInfo, opens ? 1 : 0);
    QCOMPARE(seen.hubError, opens ? 0 : 1);
    QCOMPARE(BLLInstance::getInstance()->isSpecialKit(), specialKit);
    if (!opens)
        return;
    QCOMPARE(plotNames(), plots);
    QCOMPARE(BLLInstance::getInstance()->getPopulationsMgr()->getPopulationNames(), populations);
}

void TestOpenFile::failedOpenKeepsTheDocument()
{
    const QString good = BllTest::generateRun(m_dir.path(), "keep.imrs", smallRun());
    QVERIFY(BLLInstance::getInstance()->openFile(good));
    const QList<uint> wells = BLLInstance::getInstance()->getWellIds();
    QCOMPARE(wells.size(), 2);
    const int plots = BLLInstance::getInstance()->getPlotGroupMgr()->get2DPlots().size();
    QTest::ignoreMessage(QtDebugMsg, "Open File Error!");
    QVERIFY(!BLLInstance::getInstance()->openFile(m_dir.filePath("nothing.imrs")));
    QCOMPARE(BLLInstance::getInstance()->getWellIds(), wells);
    QCOMPARE(BLLInstance::getInstance()->getPlotGroupMgr()->get2DPlots().size(), plots);
}

void TestOpenFile::savedPackageKeepsItsPlots()
{
    const QString run = BllTest::generateRun(m_dir.path(), "tosave.imrs", smallRun());
    BLLInstance *bll = BLLInstance::getInstance();
    QVERIFY(bll->openFile(run));
    QVERIFY(bll->getPlotGroupMgr()->rename2DPlot(bll->getPlotGroupMgr()->get2DPlots().first().id, "Renamed"));
    bll->getPopulationsMgr()->setPopulationName(bll->getPopulationsMgr()->getPopulations().first().id, "Blue Channel");
    const QStringList plots = plotNames();
    const QString saved = m_dir.filePath("saved.arlx");
    QVERIFY(PcrAnalysisDocument::getInstance()->save(saved));
    LUMARA_VERIFY_STANDARD_ZIP(saved);

    QVERIFY(bll->openFile(saved));
    QCOMPARE(plotNames(), plots);
    QCOMPARE(plots.first(), QString("Renamed"));
    // The stored name stays, although it is a default channel name.
    QCOMPARE(bll->getPopulationsMgr()->getPopulationNames().first(), QString("Blue Channel"));
}

void TestOpenFile::qcLimitsFromTheDataFolder_data()
{
    QTest::addColumn<QByteArray>("content"); // "-": no file
    QTest::addColumn<uint>("sharpness");
    QTest::addColumn<double>("rain");
    QTest::newRow("file") << QByteArray("[Thresholds]\nImageSharpness=2222\nRain=0.25\n") << 2222u << 0.25;
    QTest::newRow("no file") << QByteArray("-") << 1500u << 0.5;
}

void TestOpenFile::qcLimitsFromTheDataFolder()
{
    QFETCH(QByteArray, content);
    QFETCH(uint, sharpness);
    QFETCH(double, rain);
    const QString run = BllTest::generateRun(m_dir.path(), "qc.imrs", smallRun());
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath("bin"));
    QVERIFY(QDir(root.path()).mkpath("data"));
    if (content != "-") {
        QFile ini(root.filePath("data/QcParams.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(content);
    }
    const QString saved = QDir::currentPath();
    QVERIFY(QDir::setCurrent(root.filePath("bin")));
    const bool opened = BLLInstance::getInstance()->openFile(run);
    QDir::setCurrent(saved);
    QVERIFY(opened);
    QCOMPARE(BLLInstance::getInstance()->getQcSettings().imageSharpness, sharpness);
    QCOMPARE(BLLInstance::getInstance()->getQcSettings().rain, rain);
}

LUMARA_TEST_MAIN(TestOpenFile)
#include "tst_openfile.moc"
