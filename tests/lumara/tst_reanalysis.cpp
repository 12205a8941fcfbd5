// The analysis engine on seeded documents: analyser set-up from the package's entries, the
// exposure normalisation, stored records in both forms, storing a well's analysis, the
// compensation jobs, and the image helpers.
#include "bll/bllinstance.h"
#include "bll/reanalysis.h"
#include "bll/reanalysis_p.h"
#include "model/analysisdatamgr.h"
#include "model/analysisexperimentmgr.h"
#include "model/analysisresultmgr.h"
#include "model/compensationmatrixmgr.h"
#include "model/drpltclassifymgr.h"
#include "model/drpltimginfomgr.h"
#include "model/experimentcfgmgr.h"
#include "pcranalysisdocument.h"
#include "platform/platform.h"
#include "seeddocument.h"
#include "settings.h"
#include "spillovercompensation.h"
#include "testmain.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <quazip.h>
#include <quazipfile.h>

using namespace LumaraAnalysisData;
using BllTest::DocumentSeed;
using BllTest::droplet;
using DocRecord = LumaraAnalysisData::WellImageAnalysisInfo;
using Entries = QList<QPair<QString, QByteArray>>;
Q_DECLARE_METATYPE(Entries)

namespace {

ReAnalysis *engine()
{
    return BLLInstance::getInstance()->getReAnalysis();
}

PcrAnalysisDocument *doc()
{
    return PcrAnalysisDocument::getInstance();
}

DrpltImgInfoMgr *images()
{
    return doc()->getAnalysisDataMgr()->getDrpltImgInfoMgr();
}

bool writeZip(const QString &path, const Entries &entries)
{
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdCreate))
        return false;
    for (const auto &entry : entries) {
        QuaZipFile file(&zip);
        if (!file.open(QIODevice::WriteOnly, QuaZipNewInfo(entry.first)))
            return false;
        file.write(entry.second);
        file.close();
    }
    zip.close();
    return true;
}

QByteArray params(int maskSize, int crosstalkType = 0)
{
    return QStringLiteral(R"({"General":{"GreyValueMaskSize":%1,"StdDevInfluenceCoefficient":3,)"
                          R"("CrosstalkAdjustType":%2,"BackgroundUniformAdjustType":0}})")
        .arg(maskSize)
        .arg(crosstalkType)
        .toUtf8();
}

// Every parameter entry, each told apart by its mask size.
Entries parameterEntries()
{
    return {{"analysisparams.json", params(21)},         {"300pl_analysisparams.json", params(15)},
            {"600pl_analysisparams.json", params(19)},   {"800pl_analysisparams.json", params(25)},
            {"3000pl_analysisparams.json", params(31)}};
}

// One well per exposure time of channel 1; channel 1 is the target, 3 the reference. Image
// names that the package lacks give null images, but every well is loaded.
DocumentSeed exposureSeed(const QList<int> &exposures, bool shared = false)
{
    DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1});
    seed.sharedScanning = shared;
    uint id = 1;
    for (int exposure : exposures) {
        BllTest::WellSeed w = BllTest::well(id, QStringLiteral("A%1").arg(id), {1});
        w.referenceChannel = 3;
        w.exposure = {{exposure, 100, 100, 100, 100, 100}};
        w.imageNames = {QVector<QString>(PerChannel, QStringLiteral("capture/none.png"))};
        w.droplets = {droplet({{333, 0, 100, 0, 0, 0}}), droplet({{30000, 0, 100, 0, 0, 0}}, {{20000, 0, 90, 0, 0, 0}})};
        seed.wells.append(w);
        ++id;
    }
    return seed;
}

// A record of three droplets in channel 1 (target) and 3 (reference): grey after adjustment,
// the first measured value, and the working value.
::WellImageAnalysisInfo analysed(quint32 threshold)
{
    ::WellImageAnalysisInfo info;
    info.valid = true;
    info.sharpness = 1234.5;
    info.countSum = 2;
    info.channels = {0, 2};
    const quint32 adjusted[3] = {1000, 0, 3001};
    const quint32 measured[3] = {111, 2000, 5};
    const quint32 working[3] = {1500, 2500, 3500};
    const quint32 reference[3] = {100, 200, 300};
    for (int i = 0; i < 3; ++i) {
        DropletAnalysisInfo d;
        d.x = quint32(10 * i);
        d.y = quint32(20 * i);
        d.maskSize = 23;
        d.adjustedGreys[0] = adjusted[i];
        d.measuredGreys[0] = measured[i];
        d.workingGreys[0] = working[i];
        d.workingGreys[2] = reference[i];
        d.flags[0] = i == 2 ? 3 : 0;
        info.droplets.append(d);
    }
    info.thresholds[0][0] = threshold;
    return info;
}

// Six droplets: channel 1 (target) of two clusters, channel 3 (reference) holding half of
// channel 1 as crosstalk on top of its own level.
DocumentSeed crosstalkSeed(int wells)
{
    DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1});
    const uint one[6] = {1000, 1100, 900, 9000, 9100, 8900};
    const uint own[6] = {2500, 2550, 2450, 3000, 3050, 2950};
    for (int w = 1; w <= wells; ++w) {
        BllTest::WellSeed well = BllTest::well(uint(w), QStringLiteral("B%1").arg(w), {1});
        well.referenceChannel = 3;
        well.imageNames = {QVector<QString>(PerChannel, QStringLiteral("capture/none.png"))};
        for (int i = 0; i < 6; ++i) {
            const uint raw3 = own[i] + one[i] / 2;
            // The stored compensated values already hold one compensation: a second one on top
            // of them would give own - one / 2.
            well.droplets.append(droplet({{one[i], 0, raw3, 0, 0, 0}}, {{one[i], 0, own[i], 0, 0, 0}}));
        }
        well.excluded = {1, 4};
        seed.wells.append(well);
    }
    return seed;
}

// The dye of channel 1 shows with half its strength in channel 3.
QByteArray halfIntoChannel3()
{
    CompensationMatrix m;
    m.matrix[0][2] = 0.5;
    Ravelin::SpilloverCompensation compensation;
    compensation.setCompensationMatrix(m);
    return compensation.getCompensationMatrixBuf();
}

QVector<uint> values(uint wellId, int channel, bool compensated)
{
    QVector<uint> out;
    for (const DrpltInfo &d : images()->getImgAnalysisInfo(wellId).droplets)
        out.append(compensated ? d.grayPairs.at(channel).second : d.grayPairs.at(channel).first);
    return out;
}

} // namespace

class TestReAnalysis : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void analyserSetup_data();
    void analyserSetup();
    void withoutWellsOnlyTheModelChanges();
    void matrixOfAnalyserA_data();
    void matrixOfAnalyserA();
    void reanalysisOverridesThreeKeys();
    void uniformImage_data();
    void uniformImage();

    void exposureNormalisation_data();
    void exposureNormalisation();
    void mergeNormalisesOnlyTheAddedWells();
    void normalisingCopiesOnlyWhatChanges();
    void wellListedTwiceIsScaledOnce();

    void storingAnAnalysis_data();
    void storingAnAnalysis();
    void trimmedMean_data();
    void trimmedMean();

    void compensationStartsFromRawValues();
    void previewHoldsEveryWell();
    void jobsWithoutImagesStillReport();

    void rawViewsArePacked_data();
    void rawViewsArePacked();

private:
    void seed(const DocumentSeed &s);
    QString zipWith(const QString &name, const Entries &entries);
    QTemporaryDir m_dir;
};

void TestReAnalysis::initTestCase()
{
    BLLInstance::createSingletons();
    QVERIFY(m_dir.isValid());
}

void TestReAnalysis::init()
{
    // Each case starts from the dialog's defaults.
    engine()->setAdjustTypes(0, 1);
}

void TestReAnalysis::seed(const DocumentSeed &s)
{
    QString error;
    QVERIFY2(BllTest::seedDocument(s, nullptr, &error), qPrintable(error));
}

QString TestReAnalysis::zipWith(const QString &name, const Entries &entries)
{
    const QString path = m_dir.filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(path);
    return writeZip(path, entries) ? path : QString();
}

void TestReAnalysis::analyserSetup_data()
{
    QTest::addColumn<int>("width");       // of the first well's first image
    QTest::addColumn<int>("workType");
    QTest::addColumn<int>("blocksType");
    QTest::addColumn<bool>("volumeEntries"); // the package has "300pl_analysisparams.json"
    QTest::addColumn<QString>("templ");
    QTest::addColumn<QString>("kernel");
    QTest::addColumn<int>("maskSize"); // tells the parameter entry read

    QTest::newRow("800 pL") << 1000 << 0 << 0 << true << "modelTemp800pl" << "Kernel_11" << 25;
    QTest::newRow("600 pL by blocks") << 1000 << 0 << 2 << true << "modelTemp600pl" << "Kernel_11" << 19;
    QTest::newRow("300 pL") << 1000 << 1 << 0 << true << "modelTemp300pl" << "Kernel_11" << 15;
    QTest::newRow("300 pL work type, blocks 2") << 1000 << 1 << 2 << true << "modelTemp600pl" << "Kernel_11" << 19;
    QTest::newRow("3000 pL") << 1000 << 2 << 0 << true << "modelTemp3000pl" << "Kernel_15" << 31;
    QTest::newRow("3000 pL work type, blocks 2") << 1000 << 2 << 2 << true << "modelTemp600pl" << "Kernel_11" << 19;
    QTest::newRow("3501 pixels are large") << 3501 << 1 << 2 << true << "modelTemp3000pl" << "Kernel_15" << 31;
    QTest::newRow("3500 pixels are not") << 3500 << 1 << 0 << true << "modelTemp300pl" << "Kernel_11" << 15;
    QTest::newRow("no 300 pL entry: the general one") << 1000 << 1 << 0 << false << "modelTemp300pl" << "Kernel_11"
                                                      << 21;
    QTest::newRow("unknown work type: as 800 pL") << 1000 << 7 << 0 << true << "modelTemp800pl" << "Kernel_11" << 25;
}

void TestReAnalysis::analyserSetup()
{
    QFETCH(int, width);
    QFETCH(int, workType);
    QFETCH(int, blocksType);
    QFETCH(bool, volumeEntries);
    QFETCH(QString, templ);
    QFETCH(QString, kernel);
    QFETCH(int, maskSize);

    DocumentSeed s = exposureSeed({100});
    s.wells[0].imageSizes = {QSize(width, 2)};
    seed(s);
    doc()->getExperimentCfgMgr()->getExp().dropletWorkType = DropletWorkType(workType);
    doc()->getExperimentCfgMgr()->getExp().blocksType = BlocksType(blocksType);
    Entries entries = parameterEntries();
    if (!volumeEntries)
        entries.removeAt(1); // keeps the 800 pL one: the 300 pL entry alone decides
    engine()->setFilePath(zipWith("setup.imrs", entries));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^OPen Uniform File "));
    engine()->initAnalysers(false, QByteArray());

    const QString appDir = QCoreApplication::applicationDirPath();
    const ReAnalysis::AnalyserSetup &setup = engine()->setup();
    QCOMPARE(setup.modelPath, QString("../data/classify_droplet.xml"));
    QCOMPARE(setup.templatePath, appDir + "/../data/template/" + templ + ".tif");
    QCOMPARE(setup.kernelPath, appDir + "/../data/template/" + kernel + ".tif");
    QCOMPARE(setup.settingsA.GreyValueMaskSize, maskSize);
    QCOMPARE(setup.settingsB.GreyValueMaskSize, maskSize);
    QCOMPARE(engine()->analyserA()->getSettings()->getAnalysisSettings().GreyValueMaskSize, maskSize);
    // Opened without a run's first analysis, the parameters keep the package's values.
    QCOMPARE(setup.settingsA.StdDevInfluenceCoefficient, 3.0);
}

void TestReAnalysis::withoutWellsOnlyTheModelChanges()
{
    seed(exposureSeed({100}));
    engine()->setFilePath(zipWith("setup.imrs", parameterEntries()));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^OPen Uniform File "));
    engine()->initAnalysers(false, QByteArray());
    const ReAnalysis::AnalyserSetup before = engine()->setup();
    seed(exposureSeed({}));
    engine()->setFilePath(zipWith("other.imrs", {{"analysisparams.json", params(9)}}));
    engine()->initAnalysers(false, QByteArray());
    QCOMPARE(engine()->setup().templatePath, before.templatePath);
    QCOMPARE(engine()->setup().settingsA.GreyValueMaskSize, before.settingsA.GreyValueMaskSize);
}

void TestReAnalysis::matrixOfAnalyserA_data()
{
    QTest::addColumn<QString>("given");      // "given", "stored" or "none"
    QTest::addColumn<int>("jsonType");       // CrosstalkAdjustType of the package
    QTest::addColumn<int>("typeA");
    QTest::addColumn<bool>("identityA");

    QTest::newRow("given matrix") << "given" << 0 << 1 << false;
    QTest::newRow("document's applied matrix") << "stored" << 0 << 1 << false;
    // A withdrawn matrix does not stay: the identity, whatever the parameters say.
    QTest::newRow("none after a given one") << "none" << 1 << 1 << true;
    QTest::newRow("none") << "none" << 0 << 0 << true;
}

void TestReAnalysis::matrixOfAnalyserA()
{
    QFETCH(QString, given);
    QFETCH(int, jsonType);
    QFETCH(int, typeA);
    QFETCH(bool, identityA);

    DocumentSeed s = exposureSeed({100});
    if (given == "stored")
        s.matrix = halfIntoChannel3();
    seed(s);
    engine()->setFilePath(zipWith("matrix.imrs", {{"analysisparams.json", params(21, jsonType)}}));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^OPen Uniform File "));
    engine()->initAnalysers(true, halfIntoChannel3());
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^OPen Uniform File "));
    engine()->initAnalysers(given == "given", given == "given" ? halfIntoChannel3() : QByteArray());

    const QByteArray identity = Ravelin::SpilloverCompensation().getCompensationMatrixBuf();
    QCOMPARE(engine()->setup().settingsA.CrosstalkAdjustType, typeA);
    QCOMPARE(engine()->analyserA()->getSettings()->getAnalysisSettings().CrosstalkAdjustType, typeA);
    QCOMPARE(engine()->setup().settingsB.CrosstalkAdjustType, jsonType);
    QCOMPARE(engine()->analyserA()->getSpilloverCompensation()->getCompensationMatrixBuf(),
             identityA ? identity : halfIntoChannel3());
    QCOMPARE(engine()->setup().matrixA, identityA ? identity : halfIntoChannel3());
    QCOMPARE(engine()->analyserB()->getSpilloverCompensation()->getCompensationMatrixBuf(), identity);
}

void TestReAnalysis::reanalysisOverridesThreeKeys()
{
    DocumentSeed s = exposureSeed({100});
    s.wells[0].imageNames.clear(); // no image blocks: nothing to recognise
    seed(s);
    engine()->setFilePath(zipWith("override.imrs", {{"analysisparams.json", params(21)}}));
    engine()->setAdjustTypes(5, 0);
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^OPen Uniform File "));
    engine()->reanalyseAll();
    Ravelin::AnalysisSettings a = engine()->setup().settingsA;
    QCOMPARE(a.StdDevInfluenceCoefficient, 7.0);
    QCOMPARE(a.BackgroundUniformAdjustType, 2); // 5 counts as 2
    QCOMPARE(a.DrpltGyslAdjustType, 0);
    QCOMPARE(a.GreyValueMaskSize, 21);
    QVERIFY(QJsonDocument::fromJson(engine()->setup().parameterBuffer).isObject());
    // Only for the re-analysis's own set-up.
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^OPen Uniform File "));
    engine()->initAnalysers(false, QByteArray());
    QCOMPARE(engine()->setup().settingsA.StdDevInfluenceCoefficient, 3.0);
}

void TestReAnalysis::uniformImage_data()
{
    QTest::addColumn<QString>("package");
    QTest::addColumn<Entries>("entries");
    QTest::addColumn<bool>("blockCopy"); // the local copy's place is taken by a folder
    QTest::addColumn<QString>("expected"); // content of the copy; "-": the default image

    QTest::newRow("run archive") << "run.imrs" << Entries{{"uniform/uniformImage.tif", "A"}} << false << "A";
    QTest::newRow("saved package") << "plate1.arlx" << Entries{{"plate1/uniform/uniformImage.tif", "B"}} << false
                                   << "B";
    // Saved under another name: the folder of its source archive comes first.
    QTest::newRow("renamed saved package")
        << "plate2.arlx"
        << Entries{{"plate2/uniform/uniformImage.tif", "D"}, {"seed/uniform/uniformImage.tif", "C"}} << false << "C";
    // The suffix decides, not ".arlx" somewhere in the path.
    QTest::newRow("run archive in an .arlx folder")
        << "batch.arlx/run.imrs" << Entries{{"uniform/uniformImage.tif", "E"}, {"run/uniform/uniformImage.tif", "F"}}
        << false << "E";
    QTest::newRow("no entry") << "bare.imrs" << Entries{{"analysisparams.json", params(21)}} << false << "-";
    QTest::newRow("copy cannot be written") << "run.imrs" << Entries{{"uniform/uniformImage.tif", "A"}} << true << "-";
}

void TestReAnalysis::uniformImage()
{
    QFETCH(QString, package);
    QFETCH(Entries, entries);
    QFETCH(bool, blockCopy);
    QFETCH(QString, expected);

    seed(exposureSeed({100}));
    const QString copy = Platform::machinePath("uninform/uniform.tif");
    QFile::remove(copy);
    QDir().rmdir(copy);
    if (blockCopy)
        QVERIFY(QDir().mkpath(copy));
    engine()->setFilePath(zipWith(package, entries));
    if (expected == "-" && !blockCopy)
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^OPen Uniform File uniform/uniformImage.tif error"));
    engine()->initAnalysers(false, QByteArray());
    if (blockCopy) {
        QCOMPARE(engine()->uniformImagePath(), QString("../data/uninform/uniformImage.tif"));
        QVERIFY(QDir().rmdir(copy));
    } else if (expected == "-") {
        QCOMPARE(engine()->uniformImagePath(),
                 QCoreApplication::applicationDirPath() + "/../data/uninform/uniformImage.tif");
    } else {
        QCOMPARE(engine()->uniformImagePath(), copy);
        QFile file(copy);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLatin1(file.readAll()), expected);
    }
    QCOMPARE(engine()->setup().uniformPaths, QStringList(QVector<QString>(6, engine()->uniformImagePath()).toList()));
}

void TestReAnalysis::exposureNormalisation_data()
{
    QTest::addColumn<QList<int>>("exposures"); // channel 1, one well each
    QTest::addColumn<bool>("shared");          // only the parameters shared by every well
    QTest::addColumn<uint>("reference");
    QTest::addColumn<QList<uint>>("firstValues"); // channel 1 pair values of droplet 0 and 1, per well

    // Droplets hold 333 and 30000 raw (20000 compensated). Factor = reference / own, rounded
    // to three decimals; value = round(value x factor), at most 65535.
    QTest::newRow("tie keeps the smaller") << QList<int>{100, 100, 200, 200} << false << 100u
                                           << QList<uint>{333, 30000, 333, 30000, 167, 15000, 167, 15000};
    // 1000 / 3000 = 0.333: 333 x 0.333 = 110.889 -> 111; 30000 x 0.333 = 9990.
    QTest::newRow("a third") << QList<int>{1000, 3000, 1000} << false << 1000u
                             << QList<uint>{333, 30000, 111, 9990, 333, 30000};
    // 300 / 100 = 3: 30000 x 3 = 90000 is held at 65535.
    QTest::newRow("held at 65535") << QList<int>{300, 100, 300} << false << 300u
                                   << QList<uint>{333, 30000, 999, 65535, 333, 30000};
    // An own exposure of 0 keeps the factor 1.
    QTest::newRow("zero exposure") << QList<int>{0, 100, 100} << false << 100u
                                   << QList<uint>{333, 30000, 333, 30000, 333, 30000};
    // No well has parameters of its own: every exposure counts as 0, every factor as 1.
    QTest::newRow("shared parameters only") << QList<int>{200, 100} << true << 0u
                                            << QList<uint>{333, 30000, 333, 30000};
}

void TestReAnalysis::exposureNormalisation()
{
    QFETCH(QList<int>, exposures);
    QFETCH(bool, shared);
    QFETCH(uint, reference);
    QFETCH(QList<uint>, firstValues);

    seed(exposureSeed(exposures, shared));
    engine()->setFilePath(BllTest::basePackagePath());
    engine()->preprocessWells();
    QCOMPARE(engine()->wells().size(), exposures.size());
    QCOMPARE(engine()->exposureReferences().at(0), reference);
    engine()->storeWellResults();
    QList<uint> got;
    for (int w = 0; w < exposures.size(); ++w) {
        const DocRecord record = images()->getImgAnalysisInfo(uint(w) + 1);
        for (int d = 0; d < 2; ++d) {
            got.append(record.droplets.at(d).grayPairs.at(0).first);
            // The working value follows the raw one.
            QCOMPARE(record.droplets.at(d).grays.at(0), record.droplets.at(d).grayPairs.at(0).first);
        }
    }
    QCOMPARE(got, firstValues);
}

void TestReAnalysis::mergeNormalisesOnlyTheAddedWells()
{
    // Wells 1..3 at 100, 100, 200: reference 100, factor 0.5 for well 3.
    seed(exposureSeed({100, 100, 200}));
    engine()->setFilePath(BllTest::basePackagePath());
    engine()->preprocessWells();
    engine()->storeWellResults(2, 1);
    QCOMPARE(values(1, 0, false), (QVector<uint>{333, 30000}));
    QCOMPARE(values(3, 0, false), (QVector<uint>{167, 15000}));
    QCOMPARE(values(3, 0, true), (QVector<uint>{167, 10000})); // 333 x 0.5, 20000 x 0.5
}

void TestReAnalysis::normalisingCopiesOnlyWhatChanges()
{
    // Reference 100: wells 1 and 2 keep factor 1, well 3 has 0.5. Well 2's droplets hold equal
    // raw and compensated values, so none of its values changes; in well 1 only the working
    // value of droplet 1 does (it follows the raw value, 30000, from the compensated 20000).
    DocumentSeed s = exposureSeed({100, 100, 200});
    s.wells[1].droplets = {droplet({{333, 0, 100, 0, 0, 0}}), droplet({{30000, 0, 100, 0, 0, 0}})};
    seed(s);
    engine()->setFilePath(BllTest::basePackagePath());
    engine()->preprocessWells();
    // Copies a reader holds while the values are scaled.
    QVector<DocRecord> held;
    for (uint w = 1; w <= 3; ++w)
        held.append(images()->getImgAnalysisInfo(w));
    engine()->storeWellResults();

    // The readers' copies keep what they read.
    for (int w = 0; w < 3; ++w) {
        const DrpltInfo &d = held.at(w).droplets.at(1);
        QCOMPARE(d.grayPairs.at(0).first, 30000u);
        QCOMPARE(d.grays.at(0), w == 1 ? 30000u : 20000u);
    }
    const DocRecord one = images()->getImgAnalysisInfo(1);
    const DocRecord two = images()->getImgAnalysisInfo(2);
    const DocRecord three = images()->getImgAnalysisInfo(3);
    QCOMPARE(three.droplets.at(1).grayPairs.at(0), qMakePair(15000u, 10000u));
    QCOMPARE(three.droplets.at(1).grays.at(0), 15000u);
    QCOMPARE(one.droplets.at(1).grays.at(0), 30000u);
    // Nothing unchanged was copied: the document still shares it with the readers' copies.
    QVERIFY(two.droplets.isSharedWith(held.at(1).droplets));
    QVERIFY(one.droplets.at(0).grays.isSharedWith(held.at(0).droplets.at(0).grays));
    QVERIFY(one.droplets.at(1).grayPairs.isSharedWith(held.at(0).droplets.at(1).grayPairs));
    QVERIFY(!one.droplets.at(1).grays.isSharedWith(held.at(0).droplets.at(1).grays));
}

void TestReAnalysis::wellListedTwiceIsScaledOnce()
{
    // Well 2 (factor 0.5) appears twice in the configuration; its one record is halved once.
    DocumentSeed s = exposureSeed({100, 200, 100});
    s.wells.append(s.wells.at(1));
    seed(s);
    engine()->setFilePath(BllTest::basePackagePath());
    engine()->preprocessWells();
    engine()->storeWellResults();
    QCOMPARE(values(2, 0, false), (QVector<uint>{167, 15000}));
    QCOMPARE(values(2, 0, true), (QVector<uint>{167, 10000}));
    QCOMPARE(values(3, 0, false), (QVector<uint>{333, 30000}));
}

void TestReAnalysis::storingAnAnalysis_data()
{
    QTest::addColumn<bool>("applied");
    QTest::addColumn<bool>("previous"); // the well has a record before
    QTest::newRow("uncompensated") << false << true;
    QTest::newRow("compensated") << true << true;
    QTest::newRow("well without a record") << false << false;
}

void TestReAnalysis::storingAnAnalysis()
{
    QFETCH(bool, applied);
    QFETCH(bool, previous);

    // Well 1 at exposure 200 among wells at 100: factor 0.5.
    DocumentSeed s = exposureSeed({200, 100, 100});
    s.wells[0].excluded = {0};
    seed(s);
    engine()->setFilePath(BllTest::basePackagePath());
    engine()->preprocessWells();
    DocRecord before = images()->getImgAnalysisInfo(1);
    before.roxChannel = 9;
    images()->setWellImgAnalsisInfo(before);
    if (!previous)
        QVERIFY(images()->removeWell(1));

    QSignalSpy thresholds(engine(), &ReAnalysis::updateThldByLine);
    QSignalSpy recounts(engine(), &ReAnalysis::updateZonesDroplets);
    engine()->recalcThresholds(1, analysed(1800), applied, analysed(1700));

    const DocRecord r = images()->getImgAnalysisInfo(1);
    QCOMPARE(r.valid, true);
    QCOMPARE(r.sharpness, 1234.5);
    QCOMPARE(r.saturatedDrpltNum, 2u);
    QCOMPARE(r.droplets.size(), 3);
    // Raw: the adjusted grey (the first measured one where that is 0) x 0.5, rounded half up:
    // 1000 -> 500; 0 -> 2000 -> 1000; 3001 -> 1500.5 -> 1501. Working values as they are.
    QCOMPARE(values(1, 0, false), (QVector<uint>{500, 1000, 1501}));
    QCOMPARE(values(1, 0, true), (QVector<uint>{1500, 2500, 3500}));
    QCOMPARE(r.droplets.at(2).flags.at(0), 3u);
    QCOMPARE(r.droplets.at(1).x, 10u);
    QCOMPARE(r.droplets.at(1).size, 23u);
    QVERIFY(r.excludedDrplts.isEmpty()); // new droplets, no exclusions
    QCOMPARE(r.chanInfos.at(0).lineThld, applied ? 1700u : 1800u);
    QCOMPARE(r.chanInfos.at(0).compensatedLineThld, applied ? 1800u : 0u);
    QCOMPARE(r.roxChannel, previous ? 9u : 0u);
    // CV of the reference's working values 100, 200, 300: sqrt(20000 / 3) / 200.
    QVERIFY(qAbs(r.roxValue - 0.40824829046) < 1e-9);

    QCOMPARE(thresholds.size(), 6);
    QCOMPARE(thresholds.at(0), (QList<QVariant>{1u, 1u, 1800u}));
    QCOMPARE(thresholds.at(5), (QList<QVariant>{1u, 6u, 0u}));
    QCOMPARE(recounts.size(), 1);
    // Delivered directly: the classification holds the threshold as the call returns.
    QCOMPARE(BLLInstance::getInstance()->getThldByLine(1, 1), 1800u);
    QCOMPARE(BLLInstance::getInstance()->getWellDropletNum(1), 3u);
}

void TestReAnalysis::trimmedMean_data()
{
    QTest::addColumn<QVector<uint>>("values");
    QTest::addColumn<uint>("mean");
    QTest::newRow("four: ends dropped") << QVector<uint>{10, 20, 30, 40} << 25u; // (20 + 30) / 2
    QTest::newRow("three: plain mean") << QVector<uint>{5, 5, 5} << 5u;
    QTest::newRow("truncated") << QVector<uint>{1, 2} << 1u; // 3 / 2
    QTest::newRow("none") << QVector<uint>{} << 0u;
    QTest::newRow("one end of each") << QVector<uint>{100, 1, 1000, 100, 1} << 67u; // (100 + 100 + 1) / 3
    // 3 x 4e9 overflows 32 bits.
    QTest::newRow("large") << QVector<uint>{4000000000u, 4000000000u, 4000000000u} << 4000000000u;
}

void TestReAnalysis::trimmedMean()
{
    QFETCH(QVector<uint>, values);
    QFETCH(uint, mean);
    QCOMPARE(ReAnalysis::trimmedMean(values), mean);
}

void TestReAnalysis::compensationStartsFromRawValues()
{
    seed(crosstalkSeed(1));
    engine()->setFilePath(zipWith("comp.imrs", {{"analysisparams.json", params(21)}}));
    engine()->preprocessWells();
    QCOMPARE(engine()->storedWellInfo(1).channels, (QVector<qint32>{0, 2}));
    QCOMPARE(engine()->storedWellInfo(1).droplets.at(0).workingGreys.at(2), 3000u); // raw, not 2500
    QSignalSpy succeeded(engine(), &ReAnalysis::applyConpemsationSucceeded);
    QSignalSpy fixedByFacade(BLLInstance::getInstance(), &BLLInstance::dataFixed);
    // What the image analysis measured of the droplets, which a compensation keeps.
    DocRecord measured = images()->getImgAnalysisInfo(1);
    measured.sharpness = 1234.5;
    measured.saturatedDrpltNum = 7;
    measured.roxChannel = 4321;
    measured.roxValue = 0.125;
    measured.chanInfos[0].posMean = 9000.5;
    measured.chanInfos[0].Rs = 3.25;
    measured.chanInfos[2].rain = 0.75;
    measured.droplets[5].values = {1, 2, 3, 4, 5, 6};
    images()->setWellImgAnalsisInfo(measured);

    // Applied twice: the second starts from the raw values again, not from the first's.
    for (int round = 0; round < 2; ++round) {
        Ravelin::SpilloverCompensation matrix(halfIntoChannel3());
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^OPen Uniform File "));
        engine()->applyCompensation(&matrix);
        QVERIFY(doc()->getCompensationMatrixMgr()->isApplied());
        // Channel 3 = raw 3 - 0.5 x channel 1; channel 1 unchanged.
        QCOMPARE(values(1, 2, true), (QVector<uint>{2500, 2550, 2450, 3000, 3050, 2950}));
        QCOMPARE(values(1, 2, false), (QVector<uint>{3000, 3100, 2900, 7500, 7600, 7400}));
        QCOMPARE(values(1, 0, true), (QVector<uint>{1000, 1100, 900, 9000, 9100, 8900}));
        const DocRecord r = images()->getImgAnalysisInfo(1);
        // The droplets keep their order, so the exclusions stay.
        QCOMPARE(r.excludedDrplts, (QSet<quint32>{1, 4}));
        QCOMPARE(BLLInstance::getInstance()->getWellDropletNum(1), 4u);
        // Thresholds halfway between the clusters of the droplets kept (1 and 4 excluded): raw
        // (3000 + 7400) / 2, compensated (2500 + 2950) / 2; channel 1 (1000 + 8900) / 2 either
        // way. With the excluded ones: 5250, 2750 and 5000.
        QCOMPARE(r.chanInfos.at(2).lineThld, 5200u);
        QCOMPARE(r.chanInfos.at(2).compensatedLineThld, 2725u);
        QCOMPARE(r.chanInfos.at(0).compensatedLineThld, 4950u);
        QCOMPARE(BLLInstance::getInstance()->getThldByLine(1, 3), 2725u);
        QCOMPARE(r.sharpness, 1234.5);
        QCOMPARE(r.saturatedDrpltNum, 7u);
        QCOMPARE(r.roxChannel, 4321u);
        QCOMPARE(r.roxValue, 0.125);
        QCOMPARE(r.chanInfos.at(0).posMean, 9000.5);
        QCOMPARE(r.chanInfos.at(0).Rs, 3.25);
        QCOMPARE(r.chanInfos.at(2).rain, 0.75);
        QCOMPARE(r.droplets.at(5).values, (QVector<quint32>{1, 2, 3, 4, 5, 6}));
    }
    QCOMPARE(succeeded.size(), 2);
    QCOMPARE(succeeded.at(0).at(0).toBool(), true);
    QVERIFY(fixedByFacade.isEmpty()); // nothing merged, nothing pending

    // Withdrawn: the raw values and the raw threshold of the kept droplets again.
    BLLInstance::getInstance()->resetCompensationMatrix();
    QVERIFY(!doc()->getCompensationMatrixMgr()->isApplied());
    QCOMPARE(BLLInstance::getInstance()->getThldByLine(1, 3), 5200u);
    QCOMPARE(BLLInstance::getInstance()->getWellChannelGrayValues(1, 3), (QVector<uint>{3000, 2900, 7500, 7400}));
    QCOMPARE(fixedByFacade.size(), 1);
}

void TestReAnalysis::previewHoldsEveryWell()
{
    DocumentSeed s = crosstalkSeed(4);
    std::reverse(s.wells.begin(), s.wells.end()); // wells 4, 3, 2, 1
    seed(s);
    engine()->setFilePath(zipWith("preview.imrs", {{"analysisparams.json", params(21)}}));
    engine()->preprocessWells();
    QSignalSpy completed(engine(), &ReAnalysis::editCompensationCompleted);
    Ravelin::SpilloverCompensation matrix(halfIntoChannel3());
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^OPen Uniform File "));
    engine()->editCompensation(&matrix);
    QCOMPARE(completed.size(), 1);
    QVERIFY(!doc()->getCompensationMatrixMgr()->isApplied());
    for (uint w = 1; w <= 4; ++w)
        QCOMPARE(engine()->getWellChannelValues(w, 3), (QVector<uint>{2500, 2550, 2450, 3000, 3050, 2950}));
    QVERIFY(engine()->getWellChannelValues(9, 3).isEmpty());
    QVERIFY(engine()->getWellChannelValues(1, 7).isEmpty());
}

void TestReAnalysis::jobsWithoutImagesStillReport()
{
    DocumentSeed s = crosstalkSeed(2);
    for (BllTest::WellSeed &w : s.wells)
        w.imageNames.clear();
    seed(s);
    engine()->setFilePath(zipWith("noimages.imrs", {{"analysisparams.json", params(21)}}));
    QSignalSpy model(engine(), &ReAnalysis::updateWellModel);
    QSignalSpy fixed(engine(), &ReAnalysis::dataFixed);
    QSignalSpy thresholds(engine(), &ReAnalysis::updateThldByLine);
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^OPen Uniform File "));
    engine()->reanalyseAll();
    QCOMPARE(engine()->blockCount(), 0);
    QCOMPARE(model.size(), 1);
    QCOMPARE(fixed.size(), 1);
    QCOMPARE(thresholds.size(), 0); // no status, no record stored
    QCOMPARE(images()->getImgAnalysisInfo(1).droplets.size(), 6);

    // A well that is not loaded gives an empty 16-bit view.
    const DrpltImg none = engine()->getWellChannelImage(1, 1);
    QCOMPARE(none.width, 0);
    QCOMPARE(none.type, 1);
    QVERIFY(!none.data);
}

void TestReAnalysis::rawViewsArePacked_data()
{
    QTest::addColumn<QImage>("image");
    QTest::addColumn<int>("type");
    QImage grey(5, 2, QImage::Format_Grayscale8); // 5 bytes a row, padded to 8
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 5; ++x)
            grey.scanLine(y)[x] = uchar(10 * y + x);
    QImage deep(3, 2, QImage::Format_Grayscale16); // 6 bytes a row, padded to 8
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            reinterpret_cast<quint16 *>(deep.scanLine(y))[x] = quint16(10 * y + x);
    QImage colour(5, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 5; ++x)
            colour.setPixel(x, y, qRgb(10 * y + x, 10 * y + x, 10 * y + x));
    QTest::newRow("padded 8-bit") << grey << 0;
    QTest::newRow("padded 16-bit") << deep << 1;
    QTest::newRow("colour becomes 8-bit grey") << colour << 0;
}

void TestReAnalysis::rawViewsArePacked()
{
    QFETCH(QImage, image);
    QFETCH(int, type);
    const EngineDetail::RawImages raw = EngineDetail::rawImages({QImage(), image});
    QCOMPARE(raw.views.size(), 6);
    QVERIFY(!raw.views.at(0).data);
    QCOMPARE(raw.views.at(0).type, 1);
    const DrpltImg &view = raw.views.at(1);
    QCOMPARE(view.width, image.width());
    QCOMPARE(view.height, image.height());
    QCOMPARE(view.type, type);
    for (int y = 0; y < view.height; ++y)
        for (int x = 0; x < view.width; ++x) {
            const int at = y * view.width + x;
            const int value = type == 1 ? static_cast<const quint16 *>(view.data)[at]
                                        : static_cast<const uchar *>(view.data)[at];
            QCOMPARE(value, 10 * y + x);
        }
}

LUMARA_TEST_MAIN(TestReAnalysis)
#include "tst_reanalysis.moc"
