// The facade's readers and editors, the QC limits file, default plots and population names,
// on seeded documents; and the per-machine folder.
#include "bll/bllinstance.h"
#include "bll/plotgroupmgr.h"
#include "bll/populationsmgr.h"
#include "model/analysisdatamgr.h"
#include "model/analysisexperimentmgr.h"
#include "model/analysisresultmgr.h"
#include "model/compensationmatrixmgr.h"
#include "model/drpltimginfomgr.h"
#include "model/experimentcfgmgr.h"
#include "pcranalysisdocument.h"
#include "platform/platform.h"
#include "seeddocument.h"
#include "testmain.h"

#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace LumaraAnalysisData;
using BllTest::DocumentSeed;
using BllTest::droplet;
using BllTest::Greys;

namespace {

template <typename T>
QString joined(const T &list)
{
    QStringList parts;
    for (const auto &v : list)
        parts.append(QString::number(v));
    return parts.join(',');
}

// Wells 3, 1, 2 (in that order) on channels {2, 1}, {3, 2} and {6}; reference channels 4, 1, 6.
DocumentSeed readerSeed()
{
    DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2, 3, 6});
    seed.targets[0].fluorophore = "FAM";
    seed.targets[5].fluorophore = "";
    BllTest::WellSeed a = BllTest::well(3, "A1", {2, 1}, QVector<BllTest::DropletSeed>(10));
    a.prefix = "P";
    a.sampleName = "Blood";
    a.referenceChannel = 4;
    a.volume = 600;
    a.dropletSum = 1000;
    a.excluded = {0, 1, 2};
    a.exposure = {{10, 20, 30, 40, 50, -60}};
    a.focus = 0.5;
    BllTest::WellSeed b = BllTest::well(1, "A2", {3, 2}, QVector<BllTest::DropletSeed>(5));
    b.referenceChannel = 1;
    b.dropletSum = 999;
    b.exposure = {{11, 21, 31, 41, 51, 61}};
    b.focus = 0.75;
    BllTest::WellSeed c = BllTest::well(2, "A3", {6}, QVector<BllTest::DropletSeed>(2));
    c.referenceChannel = 6;
    c.volume = 0;
    seed.wells = {a, b, c};
    seed.comment = "first run";
    return seed;
}

AnalysisDataMgr *data()
{
    return PcrAnalysisDocument::getInstance()->getAnalysisDataMgr();
}

bool readQc(const QString &file)
{
    bool ok = false;
    QMetaObject::invokeMethod(BLLInstance::getInstance(), "readQcSettings", Qt::DirectConnection,
                              Q_RETURN_ARG(bool, ok), Q_ARG(QString, file));
    return ok;
}

QString qcText(const QcThresholdInfo &q)
{
    return QString("%1 %2 %3 %4 %5 %6 %7 %8")
        .arg(q.imageSharpness)
        .arg(q.analyzableDrpltRatio)
        .arg(q.saturatedObjects)
        .arg(q.rfuCv)
        .arg(q.rs)
        .arg(q.rain)
        .arg(q.rainRangeStddevNum)
        .arg(q.recogExcludeStddevNum);
}

} // namespace

class TestBllInstance : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void readers_data();
    void readers();
    void editors();
    void removeWell();
    void editsAnnounceChanges_data();
    void editsAnnounceChanges();
    void largeImages_data();
    void largeImages();
    void greyValues_data();
    void greyValues();
    void thresholds();
    void qcFile_data();
    void qcFile();
    void defaultPlots_data();
    void defaultPlots();
    void defaultPlotsKeepExistingLists();
    void channelPopulationNames();
    void populationNamesOfPolygonMode();
    void machineFolder_data();
    void machineFolder();
};

void TestBllInstance::initTestCase()
{
    BLLInstance::createSingletons();
}

void TestBllInstance::readers_data()
{
    QTest::addColumn<QString>("reader");
    QTest::addColumn<uint>("well");
    QTest::addColumn<uint>("channel");
    QTest::addColumn<QString>("expected");
    QTest::newRow("well channels, stored order") << "wellChannels" << 3u << 0u << "2,1";
    // {2, 1} then {3, 2}: first-seen order.
    QTest::newRow("channels of wells") << "channelsOfWells" << 0u << 0u << "2,1,3";
    // With the reference channels 4 and 1, sorted.
    QTest::newRow("sorted channels of wells") << "sortedChannelsOfWells" << 0u << 0u << "1,2,3,4";
    // Targets 2, 1 and reference 4 as indices, ascending.
    QTest::newRow("channel indices") << "channelIndices" << 3u << 0u << "0,1,3";
    // Target 6 and reference 6: the index twice.
    QTest::newRow("channel indices, reference among targets") << "channelIndices" << 2u << 0u << "5,5";
    QTest::newRow("all used channels") << "allUsedChannels" << 0u << 0u << "1,2,3,4,6";
    QTest::newRow("sample name is the display name") << "sampleName" << 3u << 0u << "P_A1_Blood";
    QTest::newRow("sample name of no well") << "sampleName" << 9u << 0u << "";
    QTest::newRow("droplet volume of no well") << "volume" << 9u << 0u << "800";
    QTest::newRow("droplet volume") << "volume" << 3u << 0u << "600";
    // A stored 0 is no volume: the figures of the well are those of 800 pL.
    QTest::newRow("droplet volume 0") << "volume" << 2u << 0u << "800";
    // 1000 * 0.85 = 850; 999 * 0.85 = 849.15, truncated.
    QTest::newRow("numbers ref 1000") << "numbersRef" << 3u << 0u << "850";
    QTest::newRow("numbers ref 999") << "numbersRef" << 1u << 0u << "849";
    QTest::newRow("numbers ref of no well") << "numbersRef" << 9u << 0u << "0";
    QTest::newRow("target name of channel 7") << "targetName" << 0u << 7u << "";
    QTest::newRow("dye name") << "dyeName" << 0u << 1u << "FAM";
    QTest::newRow("exposure") << "exposure" << 3u << 4u << "40";
    QTest::newRow("negative exposure") << "exposure" << 3u << 6u << "0";
    QTest::newRow("exposure of a well without parameters") << "exposure" << 9u << 1u << "0";
}

void TestBllInstance::readers()
{
    QFETCH(QString, reader);
    QFETCH(uint, well);
    QFETCH(uint, channel);
    QFETCH(QString, expected);
    QVERIFY(BllTest::seedDocument(readerSeed()));
    const BLLInstance *b = BLLInstance::getInstance();
    QString got;
    if (reader == "wellChannels")
        got = joined(b->getWellChannels(well));
    else if (reader == "channelsOfWells")
        got = joined(b->getChannelsOfWells({3, 1}));
    else if (reader == "sortedChannelsOfWells")
        got = joined(b->getSortedChannelsOfWells({3, 1}));
    else if (reader == "channelIndices")
        got = joined(b->getWellChannelIndices(well));
    else if (reader == "allUsedChannels")
        got = joined(b->getAllUsedChannels());
    else if (reader == "sampleName")
        got = b->getWellSampleName(well);
    else if (reader == "volume")
        got = QString::number(b->getWellDropletVolume(well));
    else if (reader == "numbersRef")
        got = QString::number(b->getNumbersRef(well));
    else if (reader == "targetName")
        got = b->getTargetName(channel);
    else if (reader == "dyeName")
        got = b->getFluorophoreName(channel);
    else if (reader == "exposure")
        got = QString::number(b->getExposeTime(well, channel));
    QCOMPARE(got, expected);
}

void TestBllInstance::editors()
{
    DocumentSeed seed = readerSeed();
    seed.sharedScanning = true; // the first well's parameters under key 0 serve every well
    QVERIFY(BllTest::seedDocument(seed));
    BLLInstance *b = BLLInstance::getInstance();
    QCOMPARE(b->getExposeTime(2, 5), 50u);
    QCOMPARE(b->getFocus(1, 1), 0.5);

    QVERIFY(b->setSampleName(1, "Plasma"));
    QCOMPARE(b->getWellSampleName(1), QString("A2_Plasma"));
    QVERIFY(!b->setSampleName(9, "None"));
    b->setChannelType(3, 2, QChar('R'));
    QCOMPARE(b->getChannelSymbol(3, 2), QChar('R'));
    QVERIFY(b->setChannelDilution(3, 2, 10.0));
    QVERIFY(!b->setChannelDilution(9, 2, 10.0));
    QVERIFY(!b->setChannelDilution(3, 7, 10.0));
    QCOMPARE(data()->getAnalysisRetMgr()->getWellResult(3).chanResults.at(1).dilution, 10.0);
    QCOMPARE(b->getWellGlobal(9).wellId, 0u);

    PcrAnalysisDocument::getInstance()->getCompensationMatrixMgr()->setMatrixBuf(QByteArray(336, 'x'));
    QCOMPARE(b->getCompensationMatrixBuf().size(), 336);
    b->resetCompensationMatrix();
    QVERIFY(b->getCompensationMatrixBuf().isEmpty());
    QVERIFY(!PcrAnalysisDocument::getInstance()->getCompensationMatrixMgr()->isApplied());
}

void TestBllInstance::removeWell()
{
    QVERIFY(BllTest::seedDocument(readerSeed()));
    BLLInstance *b = BLLInstance::getInstance();
    b->removeWell(1);
    QCOMPARE(b->getWellIds(), (QList<uint>{3, 2}));
    QCOMPARE(b->getWellGlobal(1).wellId, 0u);
    QCOMPARE(b->getWellDropletNum(1), 0u);
    QCOMPARE(data()->getDrpltImgInfoMgr()->getWellImgAnalysisInfos().size(), 2);
    b->removeWell(42); // nothing to remove
    QCOMPARE(b->getWellIds(), (QList<uint>{3, 2}));
}

// What an edit of the set-up writes, as text: the value of well 3 (channel 2), or of the
// experiment.
QString editedValue(const QString &edit)
{
    BLLInstance *b = BLLInstance::getInstance();
    const WellResultInfo result = data()->getAnalysisRetMgr()->getWellResult(3);
    if (edit == QLatin1String("sample name"))
        return b->getWellSampleName(3);
    if (edit == QLatin1String("comment"))
        return b->getExpComment();
    if (edit == QLatin1String("channel type"))
        return QString(b->getChannelSymbol(3, 2));
    if (edit == QLatin1String("dilution"))
        return QString::number(result.chanResults.at(1).dilution);
    if (edit == QLatin1String("reference concentration"))
        return QString::number(result.chanResults.at(1).refConcentration);
    if (edit == QLatin1String("well removal"))
        return joined(b->getWellIds());
    QStringList names{b->getTargetName(2)};
    for (const Customized2DPlotInfo &plot : b->getPlotGroupMgr()->get2DPlots())
        names.append(plot.name);
    for (const Customized3DPlotInfo &plot : b->getPlotGroupMgr()->get3DPlots())
        names.append(plot.name);
    return names.join(QLatin1Char('|'));
}

void TestBllInstance::editsAnnounceChanges_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("value"); // empty: the value the document holds
    QTest::addColumn<uint>("well");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("announced");
    QTest::newRow("sample name") << "sample name" << "Serum" << 3u << "P_A1_Serum" << true;
    QTest::newRow("sample name as it is") << "sample name" << "Blood" << 3u << "P_A1_Blood" << false;
    QTest::newRow("sample name of no well") << "sample name" << "Serum" << 9u << "P_A1_Blood" << false;
    // The plots still named after their targets follow the rename; the user's name stays.
    QTest::newRow("target name") << "target name" << "KRAS" << 0u << "KRAS|T1_KRAS|Mine|T3_T6|T1_KRAS_T3" << true;
    QTest::newRow("target name as it is") << "target name" << "T2" << 0u << "T2|T1_T2|Mine|T3_T6|T1_T2_T3" << false;
    QTest::newRow("comment") << "comment" << "second run" << 0u << "second run" << true;
    QTest::newRow("comment as it is") << "comment" << "first run" << 0u << "first run" << false;
    QTest::newRow("channel type") << "channel type" << "S" << 3u << "S" << true;
    QTest::newRow("channel type as it is") << "channel type" << "" << 3u << "" << false;
    QTest::newRow("channel type of no well") << "channel type" << "S" << 9u << "" << false;
    QTest::newRow("dilution") << "dilution" << "10" << 3u << "10" << true;
    QTest::newRow("dilution as it is") << "dilution" << "" << 3u << "" << false;
    QTest::newRow("dilution of no well") << "dilution" << "10" << 9u << "" << false;
    QTest::newRow("reference concentration") << "reference concentration" << "250" << 3u << "250" << true;
    QTest::newRow("reference concentration as it is") << "reference concentration" << "" << 3u << "" << false;
    QTest::newRow("well removal") << "well removal" << "" << 1u << "3,2" << true;
    QTest::newRow("well removal of no well") << "well removal" << "" << 42u << "3,1,2" << false;
}

// Every edit that changes the document announces it once, so that the file shows as changed;
// one that changes no value, or finds nothing to change, announces nothing.
void TestBllInstance::editsAnnounceChanges()
{
    QFETCH(QString, edit);
    QFETCH(QString, value);
    QFETCH(uint, well);
    QFETCH(QString, stored);
    QFETCH(bool, announced);
    DocumentSeed seed = readerSeed();
    seed.plots2D = {{"T1_T2", {1, 2}}, {"Mine", {2, 3}}, {"T3_T6", {3, 6}}};
    seed.plots3D = {{"T1_T2_T3", {{1, 2, 3}}}};
    QVERIFY(BllTest::seedDocument(seed));
    BLLInstance *b = BLLInstance::getInstance();
    const QString before = editedValue(edit);
    if (value.isEmpty())
        value = before;
    if (stored.isEmpty())
        stored = before;
    QSignalSpy fixed(b, &BLLInstance::dataFixed);
    if (edit == QLatin1String("sample name"))
        QCOMPARE(b->setSampleName(well, value), well != 9);
    else if (edit == QLatin1String("target name"))
        b->setTargetName(2, value);
    else if (edit == QLatin1String("comment"))
        b->setExpComment(value);
    else if (edit == QLatin1String("channel type"))
        b->setChannelType(well, 2, value.at(0));
    else if (edit == QLatin1String("dilution"))
        QCOMPARE(b->setChannelDilution(well, 2, value.toDouble()), well != 9);
    else if (edit == QLatin1String("reference concentration"))
        QCOMPARE(b->setRefConcentration(well, 2, value.toDouble()), well != 9);
    else
        b->removeWell(well);
    QCOMPARE(editedValue(edit), stored);
    QCOMPARE(fixed.count(), announced ? 1 : 0);
}

void TestBllInstance::largeImages_data()
{
    QTest::addColumn<QList<int>>("firstWidths");
    QTest::addColumn<QList<int>>("secondWidths");
    QTest::addColumn<bool>("large");
    QTest::newRow("a later channel wider") << QList<int>{3000, 3501} << QList<int>{} << true;
    QTest::newRow("exactly 3500") << QList<int>{3500, 3500} << QList<int>{} << false;
    QTest::newRow("only the second well") << QList<int>{100} << QList<int>{4000} << false;
    QTest::newRow("no images") << QList<int>{} << QList<int>{} << false;
}

void TestBllInstance::largeImages()
{
    QFETCH(QList<int>, firstWidths);
    QFETCH(QList<int>, secondWidths);
    QFETCH(bool, large);
    DocumentSeed seed = readerSeed();
    for (int w : firstWidths)
        seed.wells[0].imageSizes.append(QSize(w, 2));
    for (int w : secondWidths)
        seed.wells[1].imageSizes.append(QSize(w, 2));
    QVERIFY(BllTest::seedDocument(seed));
    QCOMPARE(BLLInstance::getInstance()->isLargeImageFormat(), large);
}

void TestBllInstance::greyValues_data()
{
    QTest::addColumn<bool>("matrix");
    QTest::addColumn<uint>("channel");
    QTest::addColumn<QString>("expected");
    // Droplets i = 0..4 with raw value 10 i + c and compensated value 100 i + c in channel c;
    // droplets 1 and 3 excluded.
    QTest::newRow("raw channel 1") << false << 1u << "1,21,41";
    QTest::newRow("raw channel 6") << false << 6u << "6,26,46";
    QTest::newRow("compensated channel 2") << true << 2u << "2,202,402";
    QTest::newRow("channel 0") << false << 0u << "";
    QTest::newRow("channel 7") << true << 7u << "";
}

void TestBllInstance::greyValues()
{
    QFETCH(bool, matrix);
    QFETCH(uint, channel);
    QFETCH(QString, expected);
    DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2});
    BllTest::WellSeed w = BllTest::well(1, "A1", {1, 2});
    for (uint i = 0; i < 5; ++i) {
        Greys raw{}, comp{};
        for (uint c = 0; c < 6; ++c) {
            raw[c] = 10 * i + c + 1;
            comp[c] = 100 * i + c + 1;
        }
        w.droplets.append(droplet(raw, comp));
    }
    w.excluded = {1, 3};
    seed.wells = {w};
    if (matrix)
        seed.matrix = QByteArray(336, '\0');
    QVERIFY(BllTest::seedDocument(seed));
    QCOMPARE(joined(BLLInstance::getInstance()->getWellChannelGrayValues(1, channel)), expected);
    QVERIFY(BLLInstance::getInstance()->getWellChannelGrayValues(9, 1).isEmpty());
}

void TestBllInstance::thresholds()
{
    DocumentSeed seed = readerSeed();
    seed.wells[0].lineThresholds = {{0, 700, 800, 0, 0, 0}};
    QVERIFY(BllTest::seedDocument(seed));
    BLLInstance *b = BLLInstance::getInstance();
    QCOMPARE(b->getThldType(), LineThreshold);
    QCOMPARE(b->getThldByLine(3, 2), 700u);
    QCOMPARE(b->getThldByLine(3, 1), 0u);
    QCOMPARE(b->getThldByLine(9, 2), 0u);
    // Line mode keeps no polygons.
    QVERIFY(b->getThldByPolygon(3, 1).isEmpty());

    seed.mode = PolygonThreshold;
    seed.plots2D = {{"P", {1, 2}}};
    const QPolygonF triangle({QPointF(1, 1), QPointF(5, 1), QPointF(1, 5)});
    seed.zones = {BllTest::ZoneSeed{0, triangle, {}}, BllTest::ZoneSeed{0, triangle.translated(2, 2), {}}};
    BllTest::SeededIds ids;
    QVERIFY(BllTest::seedDocument(seed, &ids));
    QCOMPARE(b->getThldType(), PolygonThreshold);
    QCOMPARE(b->getThldByPolygon(1, ids.zones.at(1)), triangle.translated(2, 2));
    QVERIFY(b->getThldByPolygon(1, 99).isEmpty());
    QCOMPARE(b->getThldByLine(3, 2), 0u);
}

void TestBllInstance::qcFile_data()
{
    QTest::addColumn<QByteArray>("content"); // "-" for no file
    QTest::addColumn<bool>("read");
    QTest::addColumn<QString>("expected");
    const QString defaults = "1500 0.85 10 0.1 0.5 0.5 3 3";
    // Before each read the limits are "1 0.2 2 0.3 0.4 0.6 4 5" (from a first file).
    QTest::newRow("missing file keeps the limits") << QByteArray("-") << false << "1 0.2 2 0.3 0.4 0.6 4 5";
    QTest::newRow("no keys gives the defaults") << QByteArray("") << true << defaults;
    QTest::newRow("only rain") << QByteArray("[Thresholds]\nRain=0.7\n") << true << "1500 0.85 10 0.1 0.5 0.7 3 3";
    QTest::newRow("sharpness truncated") << QByteArray("[Thresholds]\nImageSharpness=99.9\n") << true
                                         << "99 0.85 10 0.1 0.5 0.5 3 3";
    QTest::newRow("negative sharpness") << QByteArray("[Thresholds]\nImageSharpness=-5.5\n") << true
                                        << "0 0.85 10 0.1 0.5 0.5 3 3";
    QTest::newRow("huge sharpness") << QByteArray("[Thresholds]\nImageSharpness=1e12\n") << true
                                    << "4294967295 0.85 10 0.1 0.5 0.5 3 3";
    QTest::newRow("odd counts") << QByteArray("[Thresholds]\nNbStaturatedObjects=-3\n"
                                              "[CalRange]\nRainRangeStddevNum=abc\nRecogExcludeStddevNum=4.8\n")
                                << true << "1500 0.85 0 0.1 0.5 0.5 0 4";
    QTest::newRow("odd reals") << QByteArray("[Thresholds]\nNbAnalyzableDroplets=abc\nRs=nan\nRFuCv=0.25\n") << true
                               << "1500 0 10 0.25 0 0.5 3 3";
    QTest::newRow("all keys, UTF-8 comment") << QByteArray("; QC-Grenzwerte für Läufe\n[Thresholds]\nImageSharpness=2000\n"
                                                           "NbAnalyzableDroplets=0.9\nNbStaturatedObjects=12\nRFuCv=0.2\n"
                                                           "Rs=0.6\nRain=0.4\n[CalRange]\nRainRangeStddevNum=2\n"
                                                           "RecogExcludeStddevNum=5\n")
                                             << true << "2000 0.9 12 0.2 0.6 0.4 2 5";
    // The misspelt key is the file's own; the correctly spelt one is not read.
    QTest::newRow("saturated key as the file spells it") << QByteArray("[Thresholds]\nNbSaturatedObjects=99\n") << true
                                                         << defaults;
}

void TestBllInstance::qcFile()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, read);
    QFETCH(QString, expected);
    QVERIFY(BllTest::seedDocument(readerSeed()));
    QTemporaryDir dir;
    const QString first = dir.filePath("first.ini");
    QFile f(first);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[Thresholds]\nImageSharpness=1\nNbAnalyzableDroplets=0.2\nNbStaturatedObjects=2\nRFuCv=0.3\n"
            "Rs=0.4\nRain=0.6\n[CalRange]\nRainRangeStddevNum=4\nRecogExcludeStddevNum=5\n");
    f.close();
    QVERIFY(readQc(first));
    QCOMPARE(qcText(BLLInstance::getInstance()->getQcSettings()), QString("1 0.2 2 0.3 0.4 0.6 4 5"));

    const QString path = dir.filePath("QcParams.ini");
    if (content != "-") {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QCOMPARE(readQc(path), read);
    QCOMPARE(qcText(BLLInstance::getInstance()->getQcSettings()), expected);
}

void TestBllInstance::defaultPlots_data()
{
    QTest::addColumn<QList<QList<uint>>>("wells");
    QTest::addColumn<QStringList>("plots2D");
    QTest::addColumn<QStringList>("plots3D");
    QTest::newRow("one channel") << QList<QList<uint>>{{2}, {2}} << QStringList{} << QStringList{};
    QTest::newRow("two channels") << QList<QList<uint>>{{3, 1}} << QStringList{"T3_T1:3,1"} << QStringList{};
    // First-seen order 2, 4, 1, 6: pairs (i < j) and triples (i < j < k) of those positions.
    QTest::newRow("four channels")
        << QList<QList<uint>>{{2, 4}, {1}, {4, 6}}
        << QStringList{"T2_T4:2,4", "T2_T1:2,1", "T2_T6:2,6", "T4_T1:4,1", "T4_T6:4,6", "T1_T6:1,6"}
        << QStringList{"T2_T4_T1:2,4,1", "T2_T4_T6:2,4,6", "T2_T1_T6:2,1,6", "T4_T1_T6:4,1,6"};
    QTest::newRow("no wells") << QList<QList<uint>>{} << QStringList{} << QStringList{};
}

void TestBllInstance::defaultPlots()
{
    QFETCH(QList<QList<uint>>, wells);
    QFETCH(QStringList, plots2D);
    QFETCH(QStringList, plots3D);
    DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2, 3, 4, 5, 6});
    uint id = 1;
    for (const QList<uint> &channels : wells) {
        seed.wells.append(BllTest::well(id, QString("A%1").arg(id), channels));
        ++id;
    }
    QVERIFY(BllTest::seedDocument(seed));
    BLLInstance::getInstance()->createDefaultPlots();
    PlotGroupMgr *plots = BLLInstance::getInstance()->getPlotGroupMgr();
    QStringList got2D, got3D;
    uint expectedId = 1;
    for (const Customized2DPlotInfo &p : plots->get2DPlots()) {
        QCOMPARE(p.id, expectedId++);
        got2D.append(QString("%1:%2,%3").arg(p.name).arg(p.xChannel).arg(p.yChannel));
    }
    for (const Customized3DPlotInfo &p : plots->get3DPlots())
        got3D.append(QString("%1:%2,%3,%4").arg(p.name).arg(p.xChannel).arg(p.yChannel).arg(p.zChannel));
    QCOMPARE(got2D, plots2D);
    QCOMPARE(got3D, plots3D);
}

void TestBllInstance::defaultPlotsKeepExistingLists()
{
    DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2, 3});
    seed.targets[0].name = "%2"; // a name that looks like a placeholder stays as it is
    seed.wells = {BllTest::well(1, "A1", {1, 2, 3})};
    seed.plots2D = {{"Mine", {2, 3}}};
    QVERIFY(BllTest::seedDocument(seed));
    BLLInstance *b = BLLInstance::getInstance();
    b->createDefaultPlots();
    QCOMPARE(b->getPlotGroupMgr()->get2DPlots().size(), 1);
    QCOMPARE(b->getPlotGroupMgr()->get3DPlots().size(), 1);
    QCOMPARE(b->getPlotGroupMgr()->get3DPlots().first().name, QString("%2_T2_T3"));
    b->createDefaultPlots(); // a second time: both lists are there now
    QCOMPARE(b->getPlotGroupMgr()->get2DPlots().size(), 1);
    QCOMPARE(b->getPlotGroupMgr()->get3DPlots().size(), 1);
}

void TestBllInstance::channelPopulationNames()
{
    DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 3, 5});
    seed.targets[0].fluorophore = "FAM";
    seed.targets[2].fluorophore = "";
    seed.wells = {BllTest::well(1, "A1", {1, 3, 5})};
    QVERIFY(BllTest::seedDocument(seed));
    PopulationsMgr *populations = BLLInstance::getInstance()->getPopulationsMgr();
    // The line classification names its populations after the channel table.
    QCOMPARE(populations->getPopulationNames(), (QStringList{"Blue Channel", "Green Channel", "Red Channel"}));
    BLLInstance::getInstance()->renameChannelPopulations();
    QCOMPARE(populations->getPopulationNames(), (QStringList{"FAM", "", "D5"}));
}

void TestBllInstance::populationNamesOfPolygonMode()
{
    DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2, 3, 4, 5, 6});
    seed.wells = {BllTest::well(1, "A1", {1, 2})};
    seed.mode = PolygonThreshold;
    seed.populations = {{"Green Channel", "#1", false, {}},  {"green channel", "#2", false, {}},
                        {"Dark Red Channel", "#3", false, {}}, {"Red Channel ", "#4", false, {}},
                        {"Mine", "#5", false, {}},            {"Blue Channel", "#6", false, {}}};
    QVERIFY(BllTest::seedDocument(seed));
    BLLInstance::getInstance()->renameChannelPopulations();
    QCOMPARE(BLLInstance::getInstance()->getPopulationsMgr()->getPopulationNames(),
             (QStringList{"D3", "green channel", "D6", "Red Channel ", "Mine", "D1"}));
}

void TestBllInstance::machineFolder_data()
{
    QTest::addColumn<QByteArray>("root");
    QTest::addColumn<QString>("folder");
    QTest::newRow("set") << QByteArray("/tmp/lumara-root") << "/tmp/lumara-root";
    QTest::newRow("trailing slashes") << QByteArray("/tmp/lumara-root//") << "/tmp/lumara-root";
    QTest::newRow("unset") << QByteArray() << QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

void TestBllInstance::machineFolder()
{
    QFETCH(QByteArray, root);
    QFETCH(QString, folder);
    const QByteArray saved = qgetenv("LUMARA_ROOT");
    if (root.isNull())
        qunsetenv("LUMARA_ROOT");
    else
        qputenv("LUMARA_ROOT", root);
    const QString got = Platform::machineFolder();
    const QString path = Platform::machinePath("/uninform/uniform.tif");
    qputenv("LUMARA_ROOT", saved);
    QCOMPARE(got, folder);
    QCOMPARE(path, folder + "/uninform/uniform.tif");
}

LUMARA_TEST_MAIN(TestBllInstance)
#include "tst_bllinstance.moc"
