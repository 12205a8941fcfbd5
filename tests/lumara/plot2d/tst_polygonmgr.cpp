// The 2D page's working copy of the polygon zones: records, pending outlines, the matching of
// a reshaped outline to its zone, removal, loading from a seeded polygon-mode document.
#include "plots/TwoDotPlot/polygonmgr.h"
#include "plot2dtest.h"

#include "bll/bllinstance.h"
#include "bll/populationsmgr.h"
#include "bll/signaltransfer.h"
#include "seeddocument.h"
#include "shell/globalvalues.h"
#include "shell/welllistmodel.h"
#include "testmain.h"

#include <QSignalSpy>

using LumaraAnalysisData::PolygonThreshold;

using Plot2DTest::poly;
using Plot2DTest::zone;

namespace {

const QPolygonF Square = poly({{100, 100}, {500, 100}, {500, 500}, {100, 500}});
const QPolygonF Triangle = poly({{1000, 1000}, {3000, 1000}, {2000, 3000}});

// "well/zone/plot/applied points/pending points" per record.
QStringList describe(const QList<PolygonZoneInfo> &records)
{
    QStringList out;
    for (const PolygonZoneInfo &r : records)
        out << QStringLiteral("%1/%2/%3/%4/%5").arg(r.wellID).arg(r.zoneID).arg(r.plotID).arg(r.applied.size()).arg(r.pending.size());
    return out;
}

QStringList describe(const QVector<PolygonZoneInfo> &records)
{
    return describe(records.toList());
}

QList<uint> documentZones()
{
    QList<uint> ids;
    for (const LumaraAnalysisData::DrpltZoneInfo &z : BLLInstance::getInstance()->getPopulationsMgr()->getZones())
        ids << z.id;
    return ids;
}

// Wells 11, 12, 13 on channels 1..3; plots (1, 2) and (1, 3); zone 0 a square on the first
// plot, zone 1 a triangle on the second (well 12 its own), zone 2 on no plot.
bool seedThreeWells(BllTest::SeededIds *ids)
{
    BllTest::DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2, 3});
    seed.wells = {BllTest::well(11, QStringLiteral("A1"), {1, 2, 3}), BllTest::well(12, QStringLiteral("A2"), {1, 2, 3}),
                  BllTest::well(13, QStringLiteral("A3"), {1, 2, 3})};
    seed.mode = PolygonThreshold;
    seed.plots2D = {{QStringLiteral("x_y"), {1, 2}}, {QStringLiteral("x_z"), {1, 3}}};
    seed.zones = {BllTest::ZoneSeed{0, Square, {}},
                  BllTest::ZoneSeed{1, Triangle, {{12, Triangle.translated(50, 0)}}},
                  BllTest::ZoneSeed{-1, Square, {}}};
    return BllTest::seedDocument(seed, ids);
}

// The well list as the program fills it: the hub announces the seeded wells.
void loadWellList()
{
    WellListModel::instance()->setModelType(0);
    emit SignalTransfer::getInstance()->updateWellInfo();
}

} // namespace

class TestPolygonMgr : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { BLLInstance::createSingletons(); }
    void pendingPolygons();
    void plotZones();
    void findZoneId_data();
    void findZoneId();
    void loadZones();
    void loadNothingInLineMode();
    void removeZones();
    void applyPolygonChange_data();
    void applyPolygonChange();
    void reloadWhileCounting_data();
    void reloadWhileCounting();
};

void TestPolygonMgr::pendingPolygons()
{
    PolygonMgr mgr;
    mgr.addZone(zone(7, Square, QPolygonF(), 1, 1));
    mgr.addZone(zone(7, Square, QPolygonF(), 2, 1));
    mgr.addZone(zone(7, Triangle, QPolygonF(), 1, 2)); // same well and zone again: never reached
    mgr.setPendingPolygon(1, 7, Triangle);
    mgr.setPendingPolygon(3, 7, Triangle); // no such record
    mgr.setPendingPolygon(1, 8, Triangle);
    QCOMPARE(describe(mgr.zones()), (QStringList{"1/7/1/4/3", "2/7/1/4/0", "1/7/2/3/0"}));
    QCOMPARE(mgr.zones().first().pending, Triangle);
    mgr.clearPendingPolygons();
    QCOMPARE(describe(mgr.zones()), (QStringList{"1/7/1/4/0", "2/7/1/4/0", "1/7/2/3/0"}));
    mgr.clear();
    QVERIFY(mgr.zones().isEmpty());
}

void TestPolygonMgr::plotZones()
{
    PolygonMgr mgr;
    mgr.addZone(zone(5, Square, QPolygonF(), 1, 1));
    mgr.addZone(zone(6, Triangle, QPolygonF(), 1, 2));
    mgr.addZone(zone(5, Square, QPolygonF(), 2, 1));
    mgr.addZone(zone(9, Triangle, Square, 1, 1));
    QCOMPARE(describe(mgr.getPlotZones(1, 1)), (QStringList{"1/5/1/4/0", "1/9/1/3/4"}));
    QCOMPARE(describe(mgr.getPlotZones(2, 1)), QStringList{"2/5/1/4/0"});
    QVERIFY(mgr.getPlotZones(2, 2).isEmpty());
    QVERIFY(mgr.getPlotZones(-1, 1).isEmpty()); // no single well selected
    // Copies: changing them leaves the records alone.
    QList<PolygonZoneInfo> copies = mgr.getPlotZones(1, 1);
    copies.first().pending = Triangle;
    QVERIFY(mgr.zones().first().pending.isEmpty());
}

void TestPolygonMgr::findZoneId_data()
{
    QTest::addColumn<uint>("well");
    QTest::addColumn<uint>("plot");
    QTest::addColumn<QPolygonF>("outline");
    QTest::addColumn<int>("zone");
    const QPointF a(100, 100), b(500, 100), c(500, 500), d(100, 500);
    QTest::newRow("same points") << 1u << 1u << poly({a, b, c, d}) << 4;
    QTest::newRow("closed and repeated points") << 1u << 1u << poly({a, a, b, c, c, d, a}) << 4;
    QTest::newRow("starting at another vertex") << 1u << 1u << poly({b, c, d, a}) << -1;
    QTest::newRow("reversed") << 1u << 1u << poly({a, d, c, b}) << -1;
    QTest::newRow("other well") << 3u << 1u << poly({a, b, c, d}) << -1;
    QTest::newRow("other plot") << 1u << 3u << poly({a, b, c, d}) << -1;
    QTest::newRow("matched on the applied outline only") << 1u << 2u << Triangle << -1;
    QTest::newRow("first of two equal outlines") << 2u << 1u << poly({a, b, c, d}) << 6;
}

void TestPolygonMgr::findZoneId()
{
    QFETCH(uint, well);
    QFETCH(uint, plot);
    QFETCH(QPolygonF, outline);
    PolygonMgr mgr;
    mgr.addZone(zone(3, Triangle, QPolygonF(), 1, 1));
    mgr.addZone(zone(4, Square, QPolygonF(), 1, 1));
    mgr.addZone(zone(5, Square, Triangle, 1, 2));
    mgr.addZone(zone(6, Square, QPolygonF(), 2, 1));
    mgr.addZone(zone(7, Square, QPolygonF(), 2, 1));
    QTEST(mgr.findZoneId(well, plot, outline), "zone");
}

void TestPolygonMgr::loadZones()
{
    BllTest::SeededIds ids;
    QVERIFY(seedThreeWells(&ids));
    const uint z0 = ids.zones.at(0), z1 = ids.zones.at(1);
    const uint p0 = ids.plots2D.at(0), p1 = ids.plots2D.at(1);
    PolygonMgr mgr;
    mgr.addZone(zone(1, Square, QPolygonF(), 99, 1)); // kept
    mgr.loadZones();
    QList<PolygonZoneInfo> expected{zone(1, Square, QPolygonF(), 99, 1)};
    for (uint well : {11u, 12u, 13u}) {
        expected << zone(z0, Square, QPolygonF(), well, p0);
        expected << zone(z1, well == 12 ? Triangle.translated(50, 0) : Triangle, QPolygonF(), well, p1);
    }
    QCOMPARE(describe(mgr.zones()), describe(expected));
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(mgr.zones().at(i).applied, expected.at(i).applied);
}

void TestPolygonMgr::loadNothingInLineMode()
{
    BllTest::DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2});
    seed.wells = {BllTest::well(1, QStringLiteral("A1"), {1, 2})};
    seed.plots2D = {{QStringLiteral("x_y"), {1, 2}}};
    QVERIFY(BllTest::seedDocument(seed));
    PolygonMgr mgr;
    mgr.loadZones();
    QVERIFY(mgr.zones().isEmpty());
}

// Removing goes to the document for every id, also one of which no record is held here.
void TestPolygonMgr::removeZones()
{
    BllTest::SeededIds ids;
    QVERIFY(seedThreeWells(&ids));
    const uint z0 = ids.zones.at(0), z1 = ids.zones.at(1), z2 = ids.zones.at(2);
    PolygonMgr mgr;
    mgr.loadZones();
    QCOMPARE(mgr.zones().size(), 6);
    mgr.removeZones({z1, z2});
    QCOMPARE(documentZones(), QList<uint>{z0});
    QCOMPARE(mgr.zones().size(), 3);
    for (const PolygonZoneInfo &r : mgr.zones())
        QCOMPARE(r.zoneID, z0);
    QVERIFY(BLLInstance::getInstance()->getPopulationsMgr()->getWellPlotPolygons(12).size() == 1);
}

void TestPolygonMgr::applyPolygonChange_data()
{
    QTest::addColumn<int>("individual");
    QTest::addColumn<QStringList>("counted"); // zone index/plot index/well/points, in order
    QTest::addColumn<QStringList>("stored");  // per well 11..13: points of zone 0 and zone 1
    QTest::addColumn<QStringList>("records"); // well/zone index/applied x of the first point/pending points
    // Changes: zone 0 on well 11 (square moved by 10) and on well 12 (moved by 20), zone 1 on
    // well 11 (triangle moved by 7) and a two-point change of zone 1 on well 13. Well 13 is the
    // one selected. Well 12's triangle starts at 1050, the others' at 1000.
    QTest::newRow("per well: each change to its own well")
        << 1
        << QStringList{"0/0/11/110", "1/1/11/1007", "0/0/12/120"}
        << QStringList{"11:110,1007", "12:120,1050", "13:100,1000"}
        << QStringList{"11/0/110/0", "11/1/1007/0", "12/0/120/0", "12/1/1050/0", "13/0/100/0", "13/1/1000/2"};
    // Once per zone and well, with the zone's last change; the two-point change stays pending.
    QTest::newRow("common: once per zone and well")
        << 0
        << QStringList{"0/0/11/120", "0/0/12/120", "0/0/13/120", "1/1/11/1007", "1/1/12/1007", "1/1/13/1007"}
        << QStringList{"11:120,1007", "12:120,1007", "13:120,1007"}
        << QStringList{"11/0/120/0", "11/1/1007/0", "12/0/120/0", "12/1/1007/0", "13/0/120/0", "13/1/1007/2"};
}

void TestPolygonMgr::applyPolygonChange()
{
    QFETCH(int, individual);
    BllTest::SeededIds ids;
    QVERIFY(seedThreeWells(&ids));
    loadWellList();
    WellListModel *wells = WellListModel::instance();
    QCOMPARE(wells->getAllWellIDs(), (QList<uint>{11, 12, 13}));
    wells->clearSelect();
    wells->setData(wells->index(2, 0), true, WellListModel::WellSelect);
    QCOMPARE(wells->getSelectWellID(), 13);
    isIndividualMode = individual;

    const uint z[] = {ids.zones.at(0), ids.zones.at(1)};
    const uint p[] = {ids.plots2D.at(0), ids.plots2D.at(1)};
    PolygonMgr mgr;
    mgr.loadZones();
    mgr.setPendingPolygon(11, int(z[0]), Square.translated(10, 0));
    mgr.setPendingPolygon(12, int(z[0]), Square.translated(20, 0));
    mgr.setPendingPolygon(11, int(z[1]), Triangle.translated(7, 30));
    mgr.setPendingPolygon(13, int(z[1]), poly({{1, 1}, {2, 2}}));

    BLLInstance *bll = BLLInstance::getInstance();
    QSignalSpy writes(bll, &BLLInstance::dataFixed);
    QSignalSpy counts(&mgr, &PolygonMgr::updateZoneDroplets);
    mgr.applyPolygonChange();
    isIndividualMode = 0;

    auto zoneIndex = [&](uint id) { return id == z[0] ? 0 : id == z[1] ? 1 : -1; };
    QStringList counted;
    for (const QList<QVariant> &c : counts) {
        const QPolygonF outline = c.at(3).value<QPolygonF>();
        QVERIFY(outline.size() >= 3);
        counted << QStringLiteral("%1/%2/%3/%4")
                       .arg(zoneIndex(c.at(0).toUInt()))
                       .arg(c.at(1).toUInt() == p[0] ? 0 : c.at(1).toUInt() == p[1] ? 1 : -1)
                       .arg(c.at(2).toUInt())
                       .arg(outline.first().x());
    }
    QTEST(counted, "counted");
    QCOMPARE(writes.count(), counted.size()); // one document write per count, no more
    QStringList stored;
    for (uint well : {11u, 12u, 13u}) {
        stored << QStringLiteral("%1:%2,%3")
                      .arg(well)
                      .arg(bll->getThldByPolygon(well, z[0]).first().x())
                      .arg(bll->getThldByPolygon(well, z[1]).first().x());
    }
    QTEST(stored, "stored");
    QStringList records;
    for (const PolygonZoneInfo &r : mgr.zones())
        records << QStringLiteral("%1/%2/%3/%4").arg(r.wellID).arg(zoneIndex(r.zoneID)).arg(r.applied.first().x()).arg(r.pending.size());
    QTEST(records, "records");
}

void TestPolygonMgr::reloadWhileCounting_data()
{
    QTest::addColumn<int>("individual");
    QTest::addColumn<int>("counts");
    QTest::addColumn<QString>("seen");    // applied x of the first point/pending points
    QTest::addColumn<QStringList>("stored"); // per well 11..13: points of zone 0 and zone 1
    QTest::newRow("per well") << 1 << 3 << QStringLiteral("110/0")
                              << QStringList{"11:110,1007", "12:120,1050", "13:100,1000"};
    QTest::newRow("common") << 0 << 6 << QStringLiteral("120/0")
                            << QStringList{"11:120,1007", "12:120,1007", "13:120,1007"};
}

// The page counts the droplets of each written zone; if it reads the records meanwhile it
// finds them applied, and if it reloads them the remaining writes still all happen.
void TestPolygonMgr::reloadWhileCounting()
{
    QFETCH(int, individual);
    BllTest::SeededIds ids;
    QVERIFY(seedThreeWells(&ids));
    loadWellList();
    isIndividualMode = individual;
    const uint z0 = ids.zones.at(0), z1 = ids.zones.at(1);
    PolygonMgr mgr;
    mgr.loadZones();
    mgr.setPendingPolygon(11, int(z0), Square.translated(10, 0));
    mgr.setPendingPolygon(12, int(z0), Square.translated(20, 0));
    mgr.setPendingPolygon(11, int(z1), Triangle.translated(7, 30));

    int counts = 0;
    QString seen;
    connect(&mgr, &PolygonMgr::updateZoneDroplets, &mgr, [&](uint zoneId, uint plotId, uint wellId, QPolygonF) {
        if (counts++ > 0)
            return;
        for (const PolygonZoneInfo &r : mgr.getPlotZones(int(wellId), plotId)) {
            if (r.zoneID == zoneId)
                seen = QStringLiteral("%1/%2").arg(r.applied.first().x()).arg(r.pending.size());
        }
        mgr.clear();
        mgr.loadZones();
    });
    mgr.applyPolygonChange();
    isIndividualMode = 0;

    QTEST(counts, "counts");
    QTEST(seen, "seen");
    BLLInstance *bll = BLLInstance::getInstance();
    QStringList stored;
    for (uint well : {11u, 12u, 13u})
        stored << QStringLiteral("%1:%2,%3")
                      .arg(well)
                      .arg(bll->getThldByPolygon(well, z0).first().x())
                      .arg(bll->getThldByPolygon(well, z1).first().x());
    QTEST(stored, "stored");
}

LUMARA_TEST_GUI_MAIN(TestPolygonMgr)
#include "tst_polygonmgr.moc"
