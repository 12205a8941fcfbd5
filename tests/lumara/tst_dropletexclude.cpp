// Droplet exclusion with the effective droplet number, the two hub announcements per change and
// the zone recount between them, in line and in polygon mode.
#include "bll/bllinstance.h"
#include "bll/dropletexclude.h"
#include "bll/experimenteditmgr.h"
#include "bll/plotgroupmgr.h"
#include "bll/signaltransfer.h"
#include "model/analysisdatamgr.h"
#include "model/analysisresultmgr.h"
#include "model/drpltclassifymgr.h"
#include "pcranalysisdocument.h"
#include "seeddocument.h"
#include "testmain.h"

#include <QSignalSpy>

using namespace LumaraAnalysisData;
using BllTest::DocumentSeed;
using BllTest::droplet;
using BllTest::Greys;

namespace {

AnalysisDataMgr *data()
{
    return PcrAnalysisDocument::getInstance()->getAnalysisDataMgr();
}

uint effective(uint wellId)
{
    return data()->getAnalysisRetMgr()->getWellResult(wellId).effDrpltNum;
}

QList<uint> lineCounts(uint wellId)
{
    QList<uint> counts;
    for (const ZoneDrpltNumInfo &z : data()->getDrpltClassifyMgr()->getWellDrpltNumOfZonesByLine(wellId))
        counts.append(z.drpltNum);
    return counts;
}

QList<uint> polygonCounts(uint wellId)
{
    QList<uint> counts;
    for (const ZoneDrpltNumInfo &z : data()->getDrpltClassifyMgr()->getWellDrpltNumOfZonesByPolygon(wellId))
        counts.append(z.drpltNum);
    return counts;
}

// One well of n droplets on channels 1 and 2.
DocumentSeed wellOf(int n)
{
    DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2});
    seed.wells.append(BllTest::well(1, "A1", {1, 2}, QVector<BllTest::DropletSeed>(n)));
    seed.wells.append(BllTest::well(2, "A2", {1, 2}, QVector<BllTest::DropletSeed>(4)));
    return seed;
}

// Three targets on channels 1..3. Well 1 measures all three with thresholds 100, 200, 50;
// well 2 lacks channel 3 and has thresholds 10, 10.
DocumentSeed lineSeed()
{
    DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2, 3});
    BllTest::WellSeed a = BllTest::well(1, "A1", {1, 2, 3});
    a.lineThresholds = Greys{{100, 200, 50, 0, 0, 0}};
    const Greys greys[] = {{{50, 50, 10}}, {{100, 50, 10}}, {{99, 200, 10}}, {{150, 250, 60}},
                           {{0, 0, 50}},   {{101, 0, 51}},  {{150, 250, 60}}};
    for (const Greys &g : greys)
        a.droplets.append(droplet(g));
    a.excluded = {5};
    BllTest::WellSeed b = BllTest::well(2, "A2", {1, 2});
    b.lineThresholds = Greys{{10, 10, 0, 0, 0, 0}};
    for (const Greys &g : {Greys{{5, 5, 0}}, Greys{{10, 5, 999}}, Greys{{20, 20, 0}}})
        b.droplets.append(droplet(g));
    seed.wells = {a, b};
    return seed;
}

} // namespace

class TestDropletExclude : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void effectiveNumber_data();
    void effectiveNumber();
    void restoreWithoutExclusions();
    void storedExclusionsBeyondTheDroplets();
    void announcements();
    void announcementWithoutWells();
    void excludedFlagOfRows();
    void readers();
    void lineRecount_data();
    void lineRecount();
    void polygonRecount_data();
    void polygonRecount();
    void engineRequests();

private:
    DropletExclude *exclude() { return BLLInstance::getInstance()->getDropletExclude(); }
};

void TestDropletExclude::initTestCase()
{
    BLLInstance::createSingletons();
}

void TestDropletExclude::effectiveNumber_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QList<uint>>("indices");
    QTest::addColumn<uint>("expected");
    QTest::addColumn<int>("excludedAfter");
    QTest::addColumn<bool>("announced"); // only a call that changed a droplet
    // A well of 1000 droplets with droplets 10 and 11 already excluded: 998 before.
    QTest::newRow("exclude five") << "exclude" << QList<uint>{1, 2, 3, 4, 5} << 993u << 7 << true;
    QTest::newRow("exclude already excluded") << "exclude" << QList<uint>{10, 11, 12} << 997u << 3 << true;
    QTest::newRow("exclude beyond the droplets") << "exclude" << QList<uint>{5, 1000, 4000000000u} << 997u << 3 << true;
    QTest::newRow("exclude nothing") << "exclude" << QList<uint>{} << 998u << 2 << false;
    QTest::newRow("exclude only excluded ones") << "exclude" << QList<uint>{11, 10} << 998u << 2 << false;
    QTest::newRow("exclude only beyond the droplets") << "exclude" << QList<uint>{1000, 5000} << 998u << 2 << false;
    QTest::newRow("include excluded") << "include" << QList<uint>{10} << 999u << 1 << true;
    QTest::newRow("include never excluded") << "include" << QList<uint>{500, 501} << 998u << 2 << false;
    QTest::newRow("include nothing") << "include" << QList<uint>{} << 998u << 2 << false;
    QTest::newRow("restore") << "restore" << QList<uint>{} << 1000u << 0 << true;
}

void TestDropletExclude::effectiveNumber()
{
    QFETCH(QString, operation);
    QFETCH(QList<uint>, indices);
    QFETCH(uint, expected);
    QFETCH(int, excludedAfter);
    QFETCH(bool, announced);
    DocumentSeed seed = wellOf(1000);
    seed.wells[0].excluded = {10, 11};
    QVERIFY(BllTest::seedDocument(seed));
    QCOMPARE(effective(1), 998u);

    QSignalSpy fixed(exclude(), &DropletExclude::dataFixed);
    QSignalSpy hub(SignalTransfer::getInstance(), &SignalTransfer::dataFixed);
    const QSet<uint> set(indices.begin(), indices.end());
    if (operation == "exclude")
        exclude()->excludeDroplets(1, set);
    else if (operation == "include")
        exclude()->includeDroplets(1, set);
    else
        exclude()->restoreDroplets(1);
    QCOMPARE(fixed.count(), announced ? 1 : 0);
    // Through the hub once from the exclusion, once from the recount that follows it.
    QCOMPARE(hub.count(), announced ? 2 : 0);
    QCOMPARE(effective(1), expected);
    QCOMPARE(exclude()->getImgAnalysisInfo(1).excludedDrplts.size(), excludedAfter);
    QCOMPARE(effective(2), 4u); // the other well is untouched
}

// A well whose set is already empty: Restore changes nothing and announces nothing.
void TestDropletExclude::restoreWithoutExclusions()
{
    QVERIFY(BllTest::seedDocument(wellOf(50)));
    QSignalSpy fixed(exclude(), &DropletExclude::dataFixed);
    exclude()->restoreDroplets(1);
    exclude()->restoreDroplets(1);
    QCOMPARE(fixed.count(), 0);
    QCOMPARE(effective(1), 50u);
    exclude()->excludeDroplets(1, {3});
    exclude()->restoreDroplets(1);
    QCOMPARE(fixed.count(), 2);
    QCOMPARE(effective(1), 50u);
}

// A package may name excluded droplets that the well does not have: they do not count, so the
// effective number cannot wrap below 0.
void TestDropletExclude::storedExclusionsBeyondTheDroplets()
{
    DocumentSeed seed = wellOf(10);
    seed.wells[0].excluded = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    QVERIFY(BllTest::seedDocument(seed));
    exclude()->includeDroplets(1, {});
    QCOMPARE(effective(1), 0u);
    exclude()->includeDroplets(1, {3});
    QCOMPARE(effective(1), 1u);
}

// Every change reaches the hub twice: first the exclusion itself, then the recount's
// announcement, by which time the zone counts are renewed.
void TestDropletExclude::announcements()
{
    QVERIFY(BllTest::seedDocument(lineSeed()));
    QList<QList<uint>> seen;
    QMetaObject::Connection c = connect(SignalTransfer::getInstance(), &SignalTransfer::dataFixed, this,
                                        [&seen] { seen.append(lineCounts(1)); });
    QSignalSpy facade(BLLInstance::getInstance(), &BLLInstance::dataFixed);
    exclude()->excludeDroplets(1, {0});
    disconnect(c);
    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen.at(0), (QList<uint>{0, 0, 0, 0, 0, 0, 0, 0})); // not counted yet
    // Droplet 0 and the stored exclusion 5 left out: see lineRecount for the codes.
    QCOMPARE(seen.at(1), (QList<uint>{0, 1, 1, 1, 0, 0, 0, 2}));
    QCOMPARE(facade.count(), 1);
}

void TestDropletExclude::announcementWithoutWells()
{
    QVERIFY(BllTest::seedDocument(DocumentSeed()));
    QSignalSpy hub(SignalTransfer::getInstance(), &SignalTransfer::dataFixed);
    QSignalSpy facade(BLLInstance::getInstance(), &BLLInstance::dataFixed);
    // A well the document does not hold: nothing changes, nothing is announced.
    exclude()->excludeDroplets(1, {0});
    QCOMPARE(hub.count(), 0);
    // An announcement with no wells reaches the hub, and the facade has nothing to recount.
    emit exclude()->dataFixed();
    QCOMPARE(hub.count(), 1);
    QCOMPARE(facade.count(), 0);
}

void TestDropletExclude::excludedFlagOfRows()
{
    QVERIFY(BllTest::seedDocument(wellOf(20)));
    ExperimentEditMgr *edit = BLLInstance::getInstance()->getExperimentEditMgr();
    QCOMPARE(edit->getWellRows().at(0).hasExcludedDroplets, false);
    exclude()->excludeDroplets(1, {7});
    QCOMPARE(edit->getWellRows().at(0).hasExcludedDroplets, true);
    QCOMPARE(edit->getWellRows().at(1).hasExcludedDroplets, false);
    exclude()->restoreDroplets(1);
    QCOMPARE(edit->getWellRows().at(0).hasExcludedDroplets, false);
}

void TestDropletExclude::readers()
{
    DocumentSeed seed = lineSeed();
    seed.wells[0].imageSizes = {QSize(30, 20), QSize(31, 21), QSize(32, 22)};
    QVERIFY(BllTest::seedDocument(seed));
    QCOMPARE(exclude()->getWellImage(1, 1).size(), QSize(30, 20));
    QCOMPARE(exclude()->getWellImage(1, 3).size(), QSize(32, 22));
    QVERIFY(exclude()->getWellImage(1, 4).isNull());
    QVERIFY(exclude()->getWellImage(1, 0).isNull());
    QVERIFY(exclude()->getWellImage(1, 7).isNull());
    QVERIFY(exclude()->getWellImage(99, 1).isNull());
    QCOMPARE(exclude()->getImgAnalysisInfo(1).droplets.size(), 7);
    QCOMPARE(exclude()->getImgAnalysisInfo(99).droplets.size(), 0);
    // Three channels: masks ordered by the number of positive channels.
    QCOMPARE(exclude()->getZoneCombinationOfChan(), (QVector<uint>{0, 1, 2, 4, 3, 5, 6, 7}));
}

void TestDropletExclude::lineRecount_data()
{
    QTest::addColumn<uint>("wellId");
    QTest::addColumn<QList<uint>>("counts");
    // Zones by id carry the codes 0, 1, 2, 4, 3, 5, 6, 7 (bit j: positive in target j).
    // Well 1 (thresholds 100, 200, 50; droplet 5 excluded):
    //   (50,50,10) code 0 -> zone 0; (100,50,10) equal counts as above, code 1 -> zone 1;
    //   (99,200,10) code 2 -> zone 2; (150,250,60) twice, code 7 -> zone 7; (0,0,50) code 4 -> zone 3.
    QTest::newRow("all channels") << 1u << QList<uint>{1, 1, 1, 1, 0, 0, 0, 2};
    // Well 2 lacks channel 3, whose bit is always set (thresholds 10, 10):
    //   (5,5,0) code 4 -> zone 3; (10,5,999) code 5 -> zone 5; (20,20,0) code 7 -> zone 7.
    QTest::newRow("missing channel") << 2u << QList<uint>{0, 0, 0, 1, 0, 1, 0, 1};
}

void TestDropletExclude::lineRecount()
{
    QFETCH(uint, wellId);
    QFETCH(QList<uint>, counts);
    QVERIFY(BllTest::seedDocument(lineSeed()));
    // Any change recounts every well: well 1's excluded droplet included and excluded again.
    exclude()->includeDroplets(1, {5});
    exclude()->excludeDroplets(1, {5});
    QCOMPARE(lineCounts(wellId), counts);
}

void TestDropletExclude::polygonRecount_data()
{
    QTest::addColumn<bool>("compensated");
    QTest::addColumn<QList<uint>>("counts");
    // Ten droplets, 0 and 1 excluded; raw x = 10 i + 5 (all inside the 0..100 square),
    // compensated x = 20 i + 5 (inside for i <= 4); y = 5 for all.
    // Zone 1 (the square on plot (1, 2)): raw 8 droplets (i = 2..9), compensated 3 (i = 2..4).
    // Zone 2 (the square on plot (2, 1), x and y swapped): y = 5 < 100 always, x as y:
    //   the point (5, x) is inside for the same droplets as zone 1.
    // Zone 3 lies on a plot that was removed: channels (0, 0) give no values, so 0.
    QTest::newRow("raw") << false << QList<uint>{8, 8, 0};
    QTest::newRow("compensated") << true << QList<uint>{3, 3, 0};
}

void TestDropletExclude::polygonRecount()
{
    QFETCH(bool, compensated);
    QFETCH(QList<uint>, counts);
    DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2});
    BllTest::WellSeed w = BllTest::well(1, "A1", {1, 2});
    for (uint i = 0; i < 10; ++i)
        w.droplets.append(droplet(Greys{{10 * i + 5, 5}}, Greys{{20 * i + 5, 5}}));
    seed.wells = {w};
    seed.mode = PolygonThreshold;
    seed.plots2D = {{"x_y", {1, 2}}, {"y_x", {2, 1}}, {"gone", {1, 2}}};
    const QPolygonF square({QPointF(0, 0), QPointF(100, 0), QPointF(100, 100), QPointF(0, 100)});
    seed.zones = {BllTest::ZoneSeed{0, square, {}}, BllTest::ZoneSeed{1, square, {}}, BllTest::ZoneSeed{2, square, {}}};
    if (compensated)
        seed.matrix = QByteArray(336, '\0');
    BllTest::SeededIds ids;
    QVERIFY(BllTest::seedDocument(seed, &ids));
    QVERIFY(BLLInstance::getInstance()->getPlotGroupMgr()->remove2DPlot(ids.plots2D.at(2)));
    exclude()->excludeDroplets(1, {0, 1});
    QCOMPARE(polygonCounts(1), counts);
}

// Storing a threshold and recounting one well, as the analysis engine asks for them and as
// the well list's threshold Apply calls them: announced only when asked.
void TestDropletExclude::engineRequests()
{
    QVERIFY(BllTest::seedDocument(lineSeed()));
    BLLInstance *bll = BLLInstance::getInstance();
    QSignalSpy facade(bll, &BLLInstance::dataFixed);
    bll->updateThldByLine(2, 1, 6);
    QCOMPARE(bll->getThldByLine(2, 1), 6u);
    QCOMPARE(lineCounts(2), (QList<uint>{0, 0, 0, 0, 0, 0, 0, 0})); // no recount yet
    bll->updateZonesDroplets(2, false);
    QCOMPARE(facade.count(), 0);
    // Threshold 6 on channel 1: (5,5,0) code 4 -> zone 3; (10,5,999) code 5; (20,20,0) code 7.
    QCOMPARE(lineCounts(2), (QList<uint>{0, 0, 0, 1, 0, 1, 0, 1}));
    QCOMPARE(lineCounts(1), (QList<uint>{0, 0, 0, 0, 0, 0, 0, 0})); // only the named well
    bll->updateZonesDroplets(1, true);
    QCOMPARE(facade.count(), 1);
    QCOMPARE(lineCounts(1), (QList<uint>{1, 1, 1, 1, 0, 0, 0, 2}));
    // A well the document does not hold: nothing stored or counted, still announced.
    bll->updateThldByLine(9, 1, 6);
    QCOMPARE(bll->getThldByLine(9, 1), 0u);
    bll->updateZonesDroplets(9, true);
    QCOMPARE(facade.count(), 2);
}

LUMARA_TEST_MAIN(TestDropletExclude)
#include "tst_dropletexclude.moc"
