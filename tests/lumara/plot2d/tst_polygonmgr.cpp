// The 2D page's working copy of the polygon zones: records, pending outlines, the matching of
// a reshaped outline to its zone, removal, loading from a seeded polygon-mode document.
#include "plots/TwoDotPlot/polygonmgr.h"

#include "bll/bllinstance.h"
#include "bll/populationsmgr.h"
#include "seeddocument.h"
#include "testmain.h"

#include <QSignalSpy>

using LumaraAnalysisData::PolygonThreshold;

namespace {

QPolygonF poly(std::initializer_list<QPointF> points)
{
    return QPolygonF(QVector<QPointF>(points));
}

const QPolygonF Square = poly({{100, 100}, {500, 100}, {500, 500}, {100, 500}});
const QPolygonF Triangle = poly({{1000, 1000}, {3000, 1000}, {2000, 3000}});

PolygonZoneInfo record(uint well, uint zone, uint plot, const QPolygonF &applied,
                       const QPolygonF &pending = QPolygonF())
{
    PolygonZoneInfo r;
    r.wellID = well;
    r.zoneID = zone;
    r.plotID = plot;
    r.applied = applied;
    r.pending = pending;
    return r;
}

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
};

void TestPolygonMgr::pendingPolygons()
{
    PolygonMgr mgr;
    mgr.addZone(record(1, 7, 1, Square));
    mgr.addZone(record(2, 7, 1, Square));
    mgr.addZone(record(1, 7, 2, Triangle)); // same well and zone again: never reached
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
    mgr.addZone(record(1, 5, 1, Square));
    mgr.addZone(record(1, 6, 2, Triangle));
    mgr.addZone(record(2, 5, 1, Square));
    mgr.addZone(record(1, 9, 1, Triangle, Square));
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
    mgr.addZone(record(1, 3, 1, Triangle));
    mgr.addZone(record(1, 4, 1, Square));
    mgr.addZone(record(1, 5, 2, Square, Triangle));
    mgr.addZone(record(2, 6, 1, Square));
    mgr.addZone(record(2, 7, 1, Square));
    QTEST(mgr.findZoneId(well, plot, outline), "zone");
}

void TestPolygonMgr::loadZones()
{
    BllTest::SeededIds ids;
    QVERIFY(seedThreeWells(&ids));
    const uint z0 = ids.zones.at(0), z1 = ids.zones.at(1);
    const uint p0 = ids.plots2D.at(0), p1 = ids.plots2D.at(1);
    PolygonMgr mgr;
    mgr.addZone(record(99, 1, 1, Square)); // kept
    mgr.loadZones();
    QList<PolygonZoneInfo> expected{record(99, 1, 1, Square)};
    for (uint well : {11u, 12u, 13u}) {
        expected << record(well, z0, p0, Square);
        expected << record(well, z1, p1, well == 12 ? Triangle.translated(50, 0) : Triangle);
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

LUMARA_TEST_MAIN(TestPolygonMgr)
#include "tst_polygonmgr.moc"
