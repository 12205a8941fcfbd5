// Line and polygon thresholds, the mode switch, both automatic threshold methods, the grey
// readers and the zone recount of the facade, on seeded documents.
#include "bllaccess.h"
#include "bll/populationsmgr.h"
#include "bll/resultcalculate.h"
#include "model/analysisdatamgr.h"
#include "model/analysisresultmgr.h"
#include "model/drpltclassifymgr.h"
#include "model/drpltimginfomgr.h"
#include "pcranalysisdocument.h"
#include "seeddocument.h"
#include "testmain.h"

#include "clusterhandle.h"

#include <QSignalSpy>

#include <cmath>

using namespace LumaraAnalysisData;
using BllTest::DocumentSeed;
using BllTest::droplet;
using BllTest::Greys;

namespace {

AnalysisDataMgr *data()
{
    return PcrAnalysisDocument::getInstance()->getAnalysisDataMgr();
}

QList<uint> lineCounts(uint wellId)
{
    QList<uint> counts;
    for (const ZoneDrpltNumInfo &z : data()->getDrpltClassifyMgr()->getWellDrpltNumOfZonesByLine(wellId))
        counts.append(z.drpltNum);
    return counts;
}

QList<uint> lineThresholds(uint wellId, uint channels = 3)
{
    QList<uint> values;
    for (uint c = 1; c <= channels; ++c)
        values.append(bll()->getThldByLine(wellId, c));
    return values;
}

void recountAll()
{
    QVERIFY(QMetaObject::invokeMethod(bll(), "reCalculateZonesDroplets"));
}

const QByteArray Matrix(336, '\0'); // stored means applied

// count droplets of channel 1 around centre, spread evenly over +-spread, then the same again.
QVector<BllTest::DropletSeed> spreadDroplets(int count, uint centre, uint spread)
{
    QVector<BllTest::DropletSeed> droplets;
    for (int i = 0; i < count; ++i)
        droplets.append(droplet(Greys{{centre - spread + uint(i * 37) % (2 * spread + 1), 0, 0}}));
    return droplets;
}

int countFrom(const QVector<uint> &values, uint threshold)
{
    return int(std::count_if(values.cbegin(), values.cend(), [threshold](uint v) { return v >= threshold; }));
}

} // namespace

class TestThresholds : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void lineRecount_data();
    void lineRecount();
    void polygonRecountByOddEvenRule();
    void greyReaders();
    void setPolygonAnnouncesWithoutRecount();
    void switchModes_data();
    void switchModes();
    void switchWithoutWells();
    void pooledThresholds_data();
    void pooledThresholds();
    void firstAnalysisThresholds_data();
    void firstAnalysisThresholds();
    void firstAnalysisLeavesOutSaturated_data();
    void firstAnalysisLeavesOutSaturated();
    void pooledOverWellsWithBoth_data();
    void pooledOverWellsWithBoth();
};

void TestThresholds::initTestCase()
{
    BLLInstance::createSingletons();
}

void TestThresholds::lineRecount_data()
{
    QTest::addColumn<bool>("matrix");
    QTest::addColumn<QList<uint>>("counts");
    // Targets 1..3; well 1 measures 1 and 2 (bit 2 always set), thresholds 100 and 200.
    // Zones by id carry the codes 0, 1, 2, 4, 3, 5, 6, 7. Droplets raw -> compensated:
    //   (100, 199) -> (99, 200): raw code 5 (equal counts as above), compensated 6;
    //   (150, 250) both code 7; (50, 50) both code 4; (99, 300) -> (120, 210): raw 6, comp 7;
    //   an excluded (150, 250) is not counted.
    QTest::newRow("raw values") << false << QList<uint>{0, 0, 0, 1, 0, 1, 1, 1};
    QTest::newRow("compensated values") << true << QList<uint>{0, 0, 0, 1, 0, 0, 1, 2};
}

// The recount classifies the values the plots show: raw ones unless the matrix is applied,
// whatever the droplet's working values hold (the seed puts the compensated ones there).
void TestThresholds::lineRecount()
{
    QFETCH(bool, matrix);
    DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2, 3});
    BllTest::WellSeed w = BllTest::well(1, "A1", {1, 2});
    w.lineThresholds = Greys{{100, 200}};
    w.droplets = {droplet(Greys{{100, 199}}, Greys{{99, 200}}), droplet(Greys{{150, 250}}), droplet(Greys{{50, 50}}),
                  droplet(Greys{{150, 250}}), droplet(Greys{{99, 300}}, Greys{{120, 210}})};
    w.excluded = {3};
    seed.wells = {w, BllTest::well(2, "A2", {3})}; // puts channel 3 among the targets
    if (matrix)
        seed.matrix = Matrix;
    QVERIFY(BllTest::seedDocument(seed));
    recountAll();
    QTEST(lineCounts(1), "counts");
}

// A five-pointed star drawn in one stroke: its inner pentagon is crossed twice and lies
// outside by the odd-even rule (a winding rule would count it in).
void TestThresholds::polygonRecountByOddEvenRule()
{
    QPolygonF star;
    for (int i = 0; i < 5; ++i) {
        const double a = (90.0 + 144.0 * i) * M_PI / 180.0;
        star << QPointF(500 + 400 * std::cos(a), 500 + 400 * std::sin(a));
    }
    DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2});
    BllTest::WellSeed w = BllTest::well(1, "A1", {1, 2});
    // Centre, upper tip, far outside, and an excluded droplet in the tip.
    w.droplets = {droplet(Greys{{500, 500}}), droplet(Greys{{500, 850}}), droplet(Greys{{50, 50}}),
                  droplet(Greys{{500, 860}})};
    w.excluded = {3};
    seed.wells = {w};
    seed.mode = PolygonThreshold;
    seed.plots2D = {{"x_y", {1, 2}}};
    seed.zones = {BllTest::ZoneSeed{0, star, {}}};
    QVERIFY(BllTest::seedDocument(seed));
    recountAll();
    QCOMPARE(data()->getDrpltClassifyMgr()->getWellDrpltNumOfZonesByPolygon(1).at(0).drpltNum, 1u);
}

void TestThresholds::greyReaders()
{
    DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2});
    BllTest::WellSeed w = BllTest::well(1, "A1", {1, 2});
    w.lineThresholds = Greys{{100}};
    const uint big = 4000000000u;
    w.droplets = {droplet(Greys{{100, 10}}, Greys{{1, 11}}), droplet(Greys{{big, 10}}), droplet(Greys{{big, 500}}),
                  droplet(Greys{{big, 10}}), droplet(Greys{{50, 10}})};
    w.excluded = {4, 10}; // 10 names no droplet
    seed.wells = {w};
    seed.plots2D = {{"x_y", {1, 2}}};
    QVERIFY(BllTest::seedDocument(seed));
    QCOMPARE(bll()->getWellChannelGrayPairs(1, 1),
             (QVector<QPair<uint, uint>>{{100, 1}, {big, big}, {big, big}, {big, big}}));
    QVERIFY(bll()->getWellChannelGrayPairs(1, 7).isEmpty());
    // At or above 100, as the recount counts them; the positive mean alone takes those strictly
    // above: the mean of three 4e9 in 64 bits (a 32-bit sum gives 1136688469).
    QCOMPARE(bll()->getPositiveGrayValues(1, 1), (QVector<uint>{100, big, big, big}));
    QCOMPARE(bll()->getPFuMean(1, 1), big);
    QCOMPARE(bll()->getPFuMean(1, 3), 0u);
    QCOMPARE(bll()->getExcludedDroplets(1), (QSet<uint>{4, 10}));
    QCOMPARE(bll()->getWellEffDropletCount(1), 4);
    QCOMPARE(bll()->getWellEffDropletCount(9), 0);

    // A stored droplet without a channel-2 value reads 0 there and keeps its place, so the
    // channels stay aligned for the 2D plots and polygon counts.
    data()->getDrpltImgInfoMgr()->getWellImgAnalysisInfos()[0].droplets[2].grayPairs.resize(1);
    QCOMPARE(bll()->getWellChannelGrayValues(1, 2), (QVector<uint>{10, 10, 0, 10}));
    // Every droplet in record order, the excluded droplet 4 too.
    QCOMPARE(bll()->getAllDropletGrayValues(1, 2), (QVector<uint>{10, 10, 0, 10, 10}));
    QVERIFY(bll()->getAllDropletGrayValues(9, 2).isEmpty());
    QCOMPARE(bll()->getWellChannelGrayValues(1, 1).size(), 4);
    // Polygon mode has no line thresholds: every value is at or above 0.
    data()->switch2PolygonMode();
    QCOMPARE(bll()->getPositiveGrayValues(1, 2), (QVector<uint>{10, 10, 0, 10}));
    QCOMPARE(bll()->getPFuMean(1, 2), 10u);
}

void TestThresholds::setPolygonAnnouncesWithoutRecount()
{
    DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2});
    seed.wells = {BllTest::well(1, "A1", {1, 2}, {droplet(Greys{{5, 5}})})};
    seed.mode = PolygonThreshold;
    seed.plots2D = {{"x_y", {1, 2}}};
    seed.zones = {BllTest::ZoneSeed{0, QPolygonF(), {}}};
    BllTest::SeededIds ids;
    QVERIFY(BllTest::seedDocument(seed, &ids));
    QSignalSpy fixed(bll(), &BLLInstance::dataFixed);
    const QPolygonF square({QPointF(0, 0), QPointF(10, 0), QPointF(10, 10), QPointF(0, 10)});
    bll()->setThldByPolygon(1, ids.zones.at(0), square);
    QCOMPARE(fixed.count(), 1);
    QCOMPARE(bll()->getThldByPolygon(1, ids.zones.at(0)), square);
    QCOMPARE(data()->getDrpltClassifyMgr()->getWellDrpltNumOfZonesByPolygon(1).at(0).drpltNum, 0u);
    recountAll();
    QCOMPARE(data()->getDrpltClassifyMgr()->getWellDrpltNumOfZonesByPolygon(1).at(0).drpltNum, 1u);
}

void TestThresholds::switchModes_data()
{
    QTest::addColumn<bool>("matrix");
    QTest::addColumn<QList<uint>>("thresholds"); // channels 1..3 of well 1
    QTest::addColumn<QList<uint>>("counts1");
    QTest::addColumn<QList<uint>>("counts2");
    // Targets on channels 2 and 3 (zones by id carry codes 0, 1, 2, 3). Well 1 measures both:
    // (100, 49), (99, 50), (300, 150); well 2 only channel 2 (bit 1 always set): (100), (5).
    // Analysis thresholds raw 100, 50: codes 1, 2, 3 and 3, 2.
    QTest::newRow("raw thresholds") << false << QList<uint>{0, 100, 50} << QList<uint>{0, 1, 1, 1}
                                    << QList<uint>{0, 0, 1, 1};
    // Compensated 300, 150: codes 0, 0, 3 and 2, 2.
    QTest::newRow("compensated thresholds") << true << QList<uint>{0, 300, 150} << QList<uint>{2, 0, 0, 1}
                                            << QList<uint>{0, 0, 2, 0};
}

void TestThresholds::switchModes()
{
    QFETCH(bool, matrix);
    DocumentSeed seed;
    seed.targets = BllTest::namedTargets({2, 3});
    BllTest::WellSeed a = BllTest::well(1, "A1", {2, 3});
    a.droplets = {droplet(Greys{{0, 100, 49}}), droplet(Greys{{0, 99, 50}}), droplet(Greys{{0, 300, 150}})};
    BllTest::WellSeed b = BllTest::well(2, "A2", {2});
    b.droplets = {droplet(Greys{{0, 100}}), droplet(Greys{{0, 5}})};
    for (BllTest::WellSeed *w : {&a, &b}) {
        w->analysisThresholds = Greys{{0, 100, 50}};
        w->compensatedThresholds = Greys{{0, 300, 150}};
    }
    seed.wells = {a, b};
    seed.mode = PolygonThreshold;
    seed.plots2D = {{"x_y", {2, 3}}};
    seed.zones = {BllTest::ZoneSeed{0, QPolygonF(), {}}};
    seed.populations = {{"P", "#123456", false, {{0, PositiveZone}}}};
    if (matrix)
        seed.matrix = Matrix;
    QVERIFY(BllTest::seedDocument(seed));
    QSignalSpy fixed(bll(), &BLLInstance::dataFixed);

    bll()->setThresholdingType(0);
    QCOMPARE(fixed.count(), 1);
    QCOMPARE(bll()->getThldType(), LineThreshold);
    QTEST(lineThresholds(1), "thresholds");
    QTEST(lineCounts(1), "counts1");
    QTEST(lineCounts(2), "counts2");
    // One population per target, named after its dye; every well holds a fresh result for
    // each of them, under the population's own id.
    PopulationsMgr *populations = bll()->getPopulationsMgr();
    QCOMPARE(populations->getPopulationNames(), (QStringList{"D2", "D3"}));
    for (uint w : {1u, 2u}) {
        const QVector<PopulationResultInfo> results = bll()->getResultCalculate()->getPopulationResults(w);
        QCOMPARE(results.size(), 2);
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(results.at(i).populationId, populations->getPopulations().at(i).id);
            QCOMPARE(results.at(i).dilution, 1.0);
        }
    }

    bll()->setThresholdingType(1);
    QCOMPARE(fixed.count(), 1);
    QCOMPARE(bll()->getThldType(), PolygonThreshold);
    QVERIFY(populations->getPopulations().isEmpty());
}

void TestThresholds::switchWithoutWells()
{
    DocumentSeed seed;
    seed.mode = PolygonThreshold;
    QVERIFY(BllTest::seedDocument(seed));
    QSignalSpy fixed(bll(), &BLLInstance::dataFixed);
    bll()->setThresholdingType(0);
    QCOMPARE(bll()->getThldType(), PolygonThreshold);
    QCOMPARE(fixed.count(), 0);
}

void TestThresholds::pooledThresholds_data()
{
    QTest::addColumn<bool>("matrix");
    QTest::addColumn<bool>("individual");
    QTest::addColumn<QList<uint>>("ids");
    QTest::addColumn<QList<uint>>("thresholds1"); // well 1, channels 1..3
    QTest::addColumn<QList<uint>>("thresholds4");
    QTest::addColumn<QList<uint>>("counts1");
    QTest::addColumn<QList<uint>>("counts4");
    // Analysis thresholds (raw; compensated ten times as large) of wells 1..5, pooled over
    // each well's targets and reference channel (well 5's reference is its target 1: twice):
    //   channel 1: 100 200 300 400 500 500 -> drop 100 and one 500 -> 1400 / 4 = 350;
    //   channel 2 (wells 1..3 only): 10 20 31 -> fewer than four, 61 / 3 = 20;
    //   channel 3 (reference of wells 1..4): 7 8 9 1000 -> (8 + 9) / 2 = 8.
    // Compensated: 3500; 610 / 3 = 203; (80 + 90) / 2 = 85, above every droplet of well 1.
    // Well 1 droplets (349, 20), (350, 19), (351, 21): codes 2, 1, 3 against (350, 20).
    // Well 4 lacks channel 2: (349), (360): codes 2, 3.
    const QList<uint> none{0, 0, 0};
    const QList<uint> pooled{350, 20, 8};
    const QList<uint> zero{0, 0, 0, 0};
    QTest::newRow("common") << false << false << QList<uint>{} << pooled << pooled << QList<uint>{0, 1, 1, 1}
                            << QList<uint>{0, 0, 1, 1};
    QTest::newRow("listed wells 2 and 4") << false << true << QList<uint>{2, 4} << none << pooled << zero
                                          << QList<uint>{0, 0, 1, 1};
    QTest::newRow("no listed wells") << false << true << QList<uint>{} << none << none << zero << zero;
    QTest::newRow("compensated") << true << false << QList<uint>{} << QList<uint>{3500, 203, 85}
                                 << QList<uint>{3500, 203, 85} << QList<uint>{3, 0, 0, 0} << QList<uint>{0, 0, 2, 0};
}

void TestThresholds::pooledThresholds()
{
    QFETCH(bool, matrix);
    QFETCH(bool, individual);
    QFETCH(QList<uint>, ids);
    DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2});
    const Greys analysed[] = {{{100, 10, 7}}, {{200, 20, 8}}, {{300, 31, 9}}, {{400, 9999, 1000}}, {{500, 9999, 9999}}};
    for (uint i = 0; i < 5; ++i) {
        BllTest::WellSeed w = BllTest::well(i + 1, QString("A%1").arg(i + 1), i < 3 ? QList<uint>{1, 2} : QList<uint>{1});
        w.referenceChannel = i == 4 ? 1 : 3;
        w.analysisThresholds = analysed[i];
        for (int c = 0; c < 3; ++c)
            w.compensatedThresholds[c] = 10 * analysed[i][c];
        seed.wells.append(w);
    }
    seed.wells[0].droplets = {droplet(Greys{{349, 20}}), droplet(Greys{{350, 19}}), droplet(Greys{{351, 21}}),
                              droplet(Greys{{1000, 1000}})};
    seed.wells[0].excluded = {3};
    seed.wells[3].droplets = {droplet(Greys{{349}}), droplet(Greys{{360}})};
    if (matrix)
        seed.matrix = Matrix;
    QVERIFY(BllTest::seedDocument(seed));
    QSignalSpy fixed(bll(), &BLLInstance::dataFixed);
    bll()->autoThreshold(ids, individual);
    QCOMPARE(fixed.count(), 1);
    QTEST(lineThresholds(1), "thresholds1");
    QTEST(lineThresholds(4), "thresholds4");
    QCOMPARE(bll()->getThldByLine(1, 4), 0u); // no well uses channels 4..6
    QTEST(lineCounts(1), "counts1");
    QTEST(lineCounts(4), "counts4");
}

void TestThresholds::firstAnalysisThresholds_data()
{
    QTest::addColumn<bool>("matrix");
    QTest::addColumn<uint>("raw");
    QTest::addColumn<uint>("compensated");
    // Kept channel-1 values 100 110 120 | 1000 1010 1020 (compensated twice as large): the
    // threshold lies midway between the clusters' facing ends, (120 + 1000) / 2 = 560 and
    // (240 + 2000) / 2 = 1120. The excluded 500 would join the lower cluster and give 750.
    // The other record's threshold stays as seeded (55 raw, 77 compensated).
    QTest::newRow("raw") << false << 560u << 77u;
    QTest::newRow("compensated") << true << 55u << 1120u;
}

void TestThresholds::firstAnalysisThresholds()
{
    QFETCH(bool, matrix);
    DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2});
    BllTest::WellSeed w = BllTest::well(1, "A1", {1, 2});
    for (uint v : {100u, 110u, 500u, 120u, 1000u, 1010u, 1020u})
        w.droplets.append(droplet(Greys{{v, 0, 0}}, Greys{{2 * v, 0, 0}}));
    w.excluded = {2};
    w.analysisThresholds = Greys{{55, 66}};
    w.compensatedThresholds = Greys{{77, 88}};
    w.lineThresholds = Greys{{9, 9}};
    seed.wells = {w, BllTest::well(2, "A2", {1, 2})};
    if (matrix)
        seed.matrix = Matrix;
    QVERIFY(BllTest::seedDocument(seed));
    QSignalSpy fixed(bll(), &BLLInstance::dataFixed);
    bll()->autoThresholdAllWells();
    QCOMPARE(fixed.count(), 0);
    const QVector<ChanAnalysisInfo> &channels = data()->getDrpltImgInfoMgr()->getImgAnalysisInfo(1).chanInfos;
    QTEST(channels.at(0).lineThld, "raw");
    QTEST(channels.at(0).compensatedLineThld, "compensated");
    // Channel 2 is all 0: no threshold, stored as 0 in the list the flag names.
    QCOMPARE(matrix ? channels.at(1).compensatedLineThld : channels.at(1).lineThld, 0u);
    QCOMPARE(lineThresholds(1, 2), (QList<uint>{9, 9})); // the classification is not touched
    QCOMPARE(lineCounts(1), (QList<uint>{0, 0, 0, 0}));
}

// Saturated droplets take no part in the first analysis's clustering, as the re-analysis's
// leaves them out: a handful at full scale would otherwise make a class of their own and hide
// the well's positives below the threshold.
void TestThresholds::firstAnalysisLeavesOutSaturated_data()
{
    QTest::addColumn<int>("saturated");
    QTest::newRow("one") << 1;
    QTest::newRow("five") << 5;
}

void TestThresholds::firstAnalysisLeavesOutSaturated()
{
    QFETCH(int, saturated);
    DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1});
    BllTest::WellSeed w = BllTest::well(1, "A1", {1});
    w.droplets = spreadDroplets(600, 1000, 150) + spreadDroplets(20, 5000, 200);
    QVector<uint> unsaturated;
    for (const BllTest::DropletSeed &d : qAsConst(w.droplets))
        unsaturated.append(d.raw[0]);
    for (int i = 0; i < saturated; ++i) {
        BllTest::DropletSeed d = droplet(Greys{{65535, 0, 0}});
        d.flags[0] = 3;
        w.droplets.insert(100 * i, d);
    }
    seed.wells = {w};
    QVERIFY(BllTest::seedDocument(seed));
    bll()->autoThresholdAllWells();
    const uint threshold = data()->getDrpltImgInfoMgr()->getImgAnalysisInfo(1).chanInfos.at(0).lineThld;
    double expected = 0;
    QVERIFY(ClusterHandle().clusterDrpltGray(unsaturated, expected));
    QCOMPARE(threshold, uint(expected));
    // The positives and the saturated droplets, which are bright whatever their class.
    QCOMPARE(countFrom(bll()->getWellChannelGrayValues(1, 1), threshold), 20 + saturated);
}

// The Auto button pools the thresholds of the wells that part their droplets into negatives
// and positives; wells of one group (no-template controls, wells all positive) join the pool
// only where no well has both.
void TestThresholds::pooledOverWellsWithBoth_data()
{
    QTest::addColumn<QList<uint>>("analysed"); // channel-1 thresholds of the five wells
    QTest::addColumn<QList<int>>("positives"); // of 400 droplets per well, at 3000
    QTest::addColumn<uint>("pooled");
    // A no-template control, wells of 30 % and 50 %, two wells all positive (their thresholds
    // above their one group): (1900 + 2000) / 2. Pooled over all five: (1900 + 2000 + 4500) / 3.
    QTest::newRow("two wells all positive") << QList<uint>{1800, 1900, 2000, 4500, 4600}
                                            << QList<int>{0, 120, 200, 400, 400} << 1950u;
    // No well has both: all are pooled, the smallest and the largest dropped.
    QTest::newRow("no well with both") << QList<uint>{1800, 1810, 1820, 1830, 1840}
                                       << QList<int>{0, 0, 0, 0, 0} << 1820u;
}

void TestThresholds::pooledOverWellsWithBoth()
{
    QFETCH(QList<uint>, analysed);
    QFETCH(QList<int>, positives);
    QFETCH(uint, pooled);
    DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1});
    for (int i = 0; i < analysed.size(); ++i) {
        BllTest::WellSeed w = BllTest::well(uint(i + 1), QString("A%1").arg(i + 1), {1});
        w.droplets = spreadDroplets(400 - positives.at(i), 1000, 150) + spreadDroplets(positives.at(i), 3000, 150);
        w.analysisThresholds = Greys{{analysed.at(i), 0, 0}};
        seed.wells.append(w);
    }
    QVERIFY(BllTest::seedDocument(seed));
    bll()->autoThreshold({}, false);
    for (int i = 0; i < analysed.size(); ++i) {
        QCOMPARE(bll()->getThldByLine(uint(i + 1), 1), pooled);
        QCOMPARE(countFrom(bll()->getWellChannelGrayValues(uint(i + 1), 1), pooled), positives.at(i));
    }
}

LUMARA_TEST_MAIN(TestThresholds)
#include "tst_thresholds.moc"
