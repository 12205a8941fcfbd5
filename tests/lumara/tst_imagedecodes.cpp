// Every droplet image decoded once: the document decodes a package's images when it opens, the
// engine takes them from there for preprocessing and re-analysis, and reads from the package
// only what the document lacks. The engine's images must be exactly those the package's entries
// decode to.
#include "bllaccess.h"
#include "bll/documentaccess.h"
#include "bll/reanalysis.h"
#include "generator.h"
#include "io/imagestack.h"
#include "pcranalysisdocument.h"
#include "seeddocument.h"
#include "testmain.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <quazip.h>
#include <quazipfile.h>

#include <memory>
#include <mutex>

using namespace LumaraAnalysisData;

namespace {

// Names of the images decoded while it lives.
class DecodeCounter {
public:
    DecodeCounter()
    {
        WellImages::setDecodeObserver([this](const QString &name) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_names.append(name);
        });
    }
    ~DecodeCounter() { WellImages::setDecodeObserver(nullptr); }
    QStringList names()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_names;
    }

private:
    std::mutex m_mutex;
    QStringList m_names;
};

int namedImages()
{
    int n = 0;
    for (const WellItemInfo &well : DocumentAccess::analysisExperiments()->getAnalysisExpGlobalInfo().wells)
        for (const QVector<QString> &block : well.imageNames)
            for (const QString &name : block)
                n += name.isEmpty() ? 0 : 1;
    return n;
}

QByteArray entryBytes(const QString &zipPath, const QString &name, bool saved, const QString &source)
{
    QuaZip zip(zipPath);
    if (!zip.open(QuaZip::mdUnzip))
        return QByteArray();
    const QStringList entries = zip.getFileNameList();
    for (const QString &entry : WellImages::entryCandidates(name, source, saved)) {
        if (!entries.contains(entry) || !zip.setCurrentFile(entry))
            continue;
        QuaZipFile file(&zip);
        const QByteArray password = DocumentAccess::document()->getUnzipPassword().toLatin1();
        if (!(password.isEmpty() ? file.open(QIODevice::ReadOnly)
                                 : file.open(QIODevice::ReadOnly, password.constData())))
            return QByteArray();
        return file.readAll();
    }
    return QByteArray();
}

// Every well's images decoded afresh from the package's entries, blocks x channels, as they
// were before the engine took any from the document.
QVector<QVector<QImage>> freshImages(const QString &zipPath)
{
    AnalysisExperimentMgr *experiments = DocumentAccess::analysisExperiments();
    const AnalysisExpGlobalInfo &global = experiments->getAnalysisExpGlobalInfo();
    const bool saved = zipPath.endsWith(QLatin1String(".arlx"));
    QVector<QVector<QImage>> wells;
    for (const WellItemInfo &well : global.wells) {
        QString source;
        for (const ExpItemInfo &experiment : global.experiments)
            if (experiment.id == well.expId && source.isEmpty())
                source = experiment.fileName;
        QVector<WellImages::Encoded> encoded(well.imageNames.size() * PerChannel);
        for (int b = 0; b < well.imageNames.size(); ++b)
            for (int c = 0; c < well.imageNames.at(b).size(); ++c) {
                const QString &name = well.imageNames.at(b).at(c);
                encoded[b * PerChannel + c] = {name, entryBytes(zipPath, name, saved, source)};
            }
        wells.append(WellImages::decode(encoded));
    }
    return wells;
}

// The well's images as the engine loads them, blocks x channels.
QVector<QImage> engineImages(const QVector<QVector<WellDrpltImgInfo<QImage>>> &blocks, int well)
{
    QVector<QImage> images;
    for (const QVector<WellDrpltImgInfo<QImage>> &block : blocks)
        images += block.value(well).images;
    return images;
}

bool sameImages(const QVector<QImage> &a, const QVector<QImage> &b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        if (a.at(i).isNull() != b.at(i).isNull() || a.at(i).format() != b.at(i).format() || a.at(i) != b.at(i))
            return false;
    }
    return true;
}

// The document's images as if still decoding: handed to the stage last well first; notes whether
// anyone asked for the whole list before every well had gone through the stage.
class ReversedInFlight : public WellImagesInFlight {
public:
    explicit ReversedInFlight(const QList<WellDrpltImgInfo<QImage>> &images) : m_images(images) {}
    int count() const override { return m_images.size(); }
    WellDrpltImgInfo<QImage> wellAt(int position) override { return m_images.value(position); }
    void forEachWell(const Stage &stage) override
    {
        for (int p = m_images.size() - 1; p >= 0; --p)
            stage(p, m_images.at(p));
        staged = true;
    }
    QList<WellDrpltImgInfo<QImage>> takeAll() override
    {
        takenBeforeStaged = takenBeforeStaged || !staged;
        return m_images;
    }
    bool staged = false;
    bool takenBeforeStaged = false;

private:
    QList<WellDrpltImgInfo<QImage>> m_images;
};

} // namespace

class TestImageDecodes : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void oneDecodePerImage_data();
    void oneDecodePerImage();
    void mergedWellsKeepTheirOwnImages();
    void preprocessingTakesEachWellAsItComes_data();
    void preprocessingTakesEachWellAsItComes();

private:
    QString generate(const QString &name, const MkPackage::GeneratorOptions &options);
    QTemporaryDir m_dir;
};

void TestImageDecodes::initTestCase()
{
    BLLInstance::createSingletons();
    QVERIFY(m_dir.isValid());
}

QString TestImageDecodes::generate(const QString &name, const MkPackage::GeneratorOptions &options)
{
    return BllTest::generateRun(m_dir.path(), name, options);
}

void TestImageDecodes::oneDecodePerImage_data()
{
    QTest::addColumn<QString>("kind"); // imrs, expzip; "saved" for a package saved from an imrs
    QTest::addColumn<int>("sets");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("dropped"); // a well whose images the document lost; -1: none
    QTest::newRow("run archive") << "imrs" << 1 << "" << -1;
    QTest::newRow("run archive, two blocks") << "imrs" << 2 << "" << -1;
    QTest::newRow("run archive with password") << "imrs" << 1 << "s3cr3t" << -1;
    QTest::newRow("older run archive") << "expzip" << 1 << "" << -1;
    QTest::newRow("saved package") << "saved" << 1 << "" << -1;
    QTest::newRow("saved package, two blocks") << "saved" << 2 << "" << -1;
    QTest::newRow("a well the document lacks") << "imrs" << 1 << "" << 1;
    QTest::newRow("a two-block well the document lacks") << "imrs" << 2 << "" << 0;
    QTest::newRow("a saved package's well the document lacks") << "saved" << 2 << "" << 2;
}

void TestImageDecodes::oneDecodePerImage()
{
    QFETCH(QString, kind);
    QFETCH(int, sets);
    QFETCH(QString, password);
    QFETCH(int, dropped);

    MkPackage::GeneratorOptions options = BllTest::smallRun(true, 11, 64);
    options.wells = 3;
    options.imageSets = sets;
    options.password = password;
    if (kind == QLatin1String("expzip"))
        options.kind = MkPackage::ArchiveKind::Expzip;
    const QString tag = QStringLiteral("%1%2%3%4").arg(kind).arg(sets).arg(password).arg(dropped + 1);
    QString path = generate(tag + (kind == QLatin1String("expzip") ? ".expzip" : ".imrs"), options);
    QVERIFY(!path.isEmpty());
    if (kind == QLatin1String("saved")) {
        QVERIFY(bll()->openFile(path));
        path = m_dir.filePath(tag + ".arlx");
        QVERIFY(PcrAnalysisDocument::getInstance()->save(path));
    }

    {
        DecodeCounter opening;
        QVERIFY(bll()->openFile(path));
        const QStringList names = opening.names();
        QCOMPARE(names.size(), namedImages());
        QVERIFY(names.size() >= 3 * sets);
        QCOMPARE(QSet<QString>(names.cbegin(), names.cend()).size(), names.size());
        if (kind == QLatin1String("imrs"))
            for (const QString &name : names)
                QVERIFY2(name.startsWith(QLatin1String("capture/")), qPrintable(name));
    }
    QCOMPARE(bll()->getReAnalysis()->wells().size(), 3);
    const QVector<QVector<QImage>> fresh = freshImages(path);

    int lacking = 0;
    if (dropped >= 0) {
        // As after a failed read of the well: the document keeps its place without images.
        DocumentAccess::analysisExperiments()->getWellDrpltImgInfos()[dropped].images.clear();
        for (const QImage &image : fresh.at(dropped))
            lacking += image.isNull() ? 0 : 1;
        QVERIFY(lacking > 0);
    }

    DecodeCounter loading;
    const QVector<QVector<WellDrpltImgInfo<QImage>>> blocks = bll()->getReAnalysis()->loadWellImages();
    QCOMPARE(loading.names().size(), lacking);
    QCOMPARE(blocks.size(), sets);
    for (int w = 0; w < fresh.size(); ++w)
        QVERIFY2(sameImages(engineImages(blocks, w), fresh.at(w)), qPrintable(QStringLiteral("well %1").arg(w)));
    // The image height is that of one block: the last image read.
    int height = 0;
    for (const QVector<QImage> &well : fresh)
        for (const QImage &image : well)
            height = image.isNull() ? height : image.height();
    QVERIFY(height > 0);
    QCOMPARE(int(bll()->getReAnalysis()->imageHeight()), height);

    DecodeCounter reanalysing;
    bll()->getReAnalysis()->setAdjustTypes(0, 1);
    bll()->getReAnalysis()->reanalyseAll();
    QCOMPARE(reanalysing.names().size(), lacking);
    QCOMPARE(bll()->getReAnalysis()->wells().size(), 3);
    for (const WellDrpltImgInfo<QImage> &well : bll()->getReAnalysis()->wells())
        for (const QImage &image : well.images)
            QVERIFY(image.isNull() || image.height() == sets * height);
}

// Merged wells come from another archive than the one the document was opened from: their
// images are the document's, not entries of the same name in the first archive.
void TestImageDecodes::mergedWellsKeepTheirOwnImages()
{
    const QString first = generate("mergefirst.imrs", BllTest::smallRun(false, 21, 64));
    const QString second = generate("mergesecond.imrs", BllTest::smallRun(false, 22, 64));
    QVERIFY(bll()->openFile(second));
    const QVector<QVector<QImage>> secondImages = freshImages(second);
    QVERIFY(bll()->openFile(first));
    const QVector<QVector<QImage>> firstImages = freshImages(first);

    PcrAnalysisDocument::MergePermit permit;
    QCOMPARE(int(bll()->isMergeSupported4Load(second, permit)), 0);
    DecodeCounter merging;
    QVERIFY(bll()->continueLoadFile());
    int named = 0;
    for (const QVector<QImage> &well : secondImages)
        for (const QImage &image : well)
            named += image.isNull() ? 0 : 1;
    QCOMPARE(merging.names().size(), named);
    QCOMPARE(bll()->getWellIds().size(), 4);

    DecodeCounter loading;
    const QVector<QVector<WellDrpltImgInfo<QImage>>> blocks = bll()->getReAnalysis()->loadWellImages();
    QCOMPARE(loading.names().size(), 0);
    for (int w = 0; w < 2; ++w) {
        QVERIFY(sameImages(engineImages(blocks, w), firstImages.at(w)));
        QVERIFY(sameImages(engineImages(blocks, 2 + w), secondImages.at(w)));
        QVERIFY(!sameImages(engineImages(blocks, 2 + w), firstImages.at(w)));
    }
}

void TestImageDecodes::preprocessingTakesEachWellAsItComes_data()
{
    QTest::addColumn<QString>("kind"); // imrs; "saved" for a package saved from an imrs
    QTest::addColumn<int>("sets");
    QTest::addColumn<int>("dropped"); // a well whose images the document lacks; -1: none
    QTest::newRow("run archive") << "imrs" << 1 << -1;
    QTest::newRow("run archive, two blocks") << "imrs" << 2 << -1;
    QTest::newRow("saved package, two blocks") << "saved" << 2 << -1;
    QTest::newRow("a well the document lacks") << "imrs" << 1 << 1;
}

// Preprocessing the wells one by one as their images arrive gives exactly what preprocessing
// them once all are held gives, and never waits for the whole list.
void TestImageDecodes::preprocessingTakesEachWellAsItComes()
{
    QFETCH(QString, kind);
    QFETCH(int, sets);
    QFETCH(int, dropped);
    MkPackage::GeneratorOptions options = BllTest::smallRun(true, 31, 64);
    options.wells = 3;
    options.imageSets = sets;
    const QString tag = QStringLiteral("arrive%1%2%3").arg(kind).arg(sets).arg(dropped + 1);
    QString path = generate(tag + ".imrs", options);
    QVERIFY(!path.isEmpty());
    QVERIFY(bll()->openFile(path));
    if (kind == QLatin1String("saved")) {
        path = m_dir.filePath(tag + ".arlx");
        QVERIFY(PcrAnalysisDocument::getInstance()->save(path));
        QVERIFY(bll()->openFile(path));
    }
    AnalysisExperimentMgr *experiments = DocumentAccess::analysisExperiments();
    QCOMPARE(experiments->getWellDrpltImgInfos().size(), 3);
    QVERIFY(!experiments->wellDrpltImgsInFlight());
    if (dropped >= 0)
        experiments->getWellDrpltImgInfos()[dropped].images.clear();

    // With every image held.
    ReAnalysis *engine = bll()->getReAnalysis();
    engine->preprocessWells();
    const QList<WellDrpltImgInfo<QImage>> held = engine->wells();
    const uint heldHeight = engine->imageHeight();
    QCOMPARE(held.size(), 3);

    auto arriving = std::make_shared<ReversedInFlight>(experiments->getWellDrpltImgInfos());
    experiments->setWellDrpltImgsInFlight(arriving);
    DecodeCounter decodes;
    engine->initAnalysers(false, QByteArray());
    engine->preprocessWells();
    QVERIFY(arriving->staged);
    QVERIFY2(!arriving->takenBeforeStaged, "the engine waited for every well's images");
    const QList<WellDrpltImgInfo<QImage>> streamed = engine->wells();
    QCOMPARE(streamed.size(), held.size());
    for (int w = 0; w < held.size(); ++w) {
        QCOMPARE(streamed.at(w).wellId, held.at(w).wellId);
        QVERIFY2(sameImages(streamed.at(w).images, held.at(w).images), qPrintable(QStringLiteral("well %1").arg(w)));
    }
    QCOMPARE(engine->imageHeight(), heldHeight);
    // Only the lacking well is read from the package.
    QCOMPARE(decodes.names().isEmpty(), dropped < 0);
    QCOMPARE(experiments->getWellDrpltImgInfos().size(), 3);
    QVERIFY(!experiments->wellDrpltImgsInFlight());
}

LUMARA_TEST_MAIN(TestImageDecodes)
#include "tst_imagedecodes.moc"
