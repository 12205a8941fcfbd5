// Droplet classification: line-mode zones and populations, polygon zones parallel to the
// per-well vectors, bindings, and ids from the counters.
#include "model/drpltclassifymgr.h"
#include "model/filelogmgr.h"
#include "testmain.h"
#include "thrown.h"

using namespace LumaraAnalysisData;

using Ids = QList<quint32>;
using IdLists = QList<QList<quint32>>;
using Names = QList<QString>;
Q_DECLARE_METATYPE(IdLists)

namespace {

Ids boundZones(const PopulationsInfo &p)
{
    Ids ids;
    for (const auto &b : p.zones)
        ids.append(b.first);
    return ids;
}

QPolygonF square(double side)
{
    return QPolygonF(QRectF(0, 0, side, side));
}

} // namespace

class TestDrpltClassifyMgr : public QObject {
    Q_OBJECT
private slots:
    void lineMode_data();
    void lineMode();
    void lineWells_data();
    void lineWells();
    void polygonZonesFromCounter();
    void polygonWritesStayInRange_data();
    void polygonWritesStayInRange();
    void removeZoneWithShortWell();
    void bindings();
    void populations();
    void missingWellsThrow();
    void noCounters();
    void polygonInitKeepsOtherLists();
};

void TestDrpltClassifyMgr::lineMode_data()
{
    QTest::addColumn<QList<int>>("channels");
    QTest::addColumn<Ids>("masks");
    QTest::addColumn<IdLists>("zonePopulations");
    QTest::addColumn<IdLists>("populationZones");
    QTest::addColumn<Names>("names");
    QTest::addColumn<Names>("colors");
    // Expected masks and bindings worked out by a separate script from the mask order
    // (fewer set bits first, then lowest set bit first).
    QTest::newRow("channels 1 and 3") << QList<int>{0, 2} << Ids{0, 1, 2, 3}
                                      << IdLists{{}, {1}, {2}, {1, 2}} << IdLists{{1, 3}, {2, 3}}
                                      << Names{"Blue Channel", "Green Channel"}
                                      << Names{"#0024d9", "#009944"};
    QTest::newRow("indices 1 and 3") << QList<int>{1, 3} << Ids{0, 1, 2, 3}
                                     << IdLists{{}, {1}, {2}, {1, 2}} << IdLists{{1, 3}, {2, 3}}
                                     << Names{"Cyan Channel", "Orange Channel"}
                                     << Names{"#009ada", "#f45000"};
    QTest::newRow("three channels") << QList<int>{0, 1, 2} << Ids{0, 1, 2, 4, 3, 5, 6, 7}
                                    << IdLists{{}, {1}, {2}, {3}, {1, 2}, {1, 3}, {2, 3}, {1, 2, 3}}
                                    << IdLists{{1, 4, 5, 7}, {2, 4, 6, 7}, {3, 5, 6, 7}}
                                    << Names{"Blue Channel", "Cyan Channel", "Green Channel"}
                                    << Names{"#0024d9", "#009ada", "#009944"};
    // Population order follows the caller's channel order, not the index order.
    QTest::newRow("four channels, reversed")
        << QList<int>{5, 4, 1, 0} << Ids{0, 1, 2, 4, 8, 3, 5, 9, 6, 10, 12, 7, 11, 13, 14, 15}
        << IdLists{{}, {1}, {2}, {3}, {4}, {1, 2}, {1, 3}, {1, 4}, {2, 3}, {2, 4}, {3, 4},
                   {1, 2, 3}, {1, 2, 4}, {1, 3, 4}, {2, 3, 4}, {1, 2, 3, 4}}
        << IdLists{{1, 5, 6, 11, 7, 12, 13, 15}, {2, 5, 8, 11, 9, 12, 14, 15},
                   {3, 6, 8, 11, 10, 13, 14, 15}, {4, 7, 9, 12, 10, 13, 14, 15}}
        << Names{"Dark Red Channel", "Red Channel", "Cyan Channel", "Blue Channel"}
        << Names{"#840000", "#ff0014", "#009ada", "#0024d9"};
    QTest::newRow("no channels") << QList<int>() << Ids{0} << IdLists{{}} << IdLists() << Names()
                                 << Names();
}

void TestDrpltClassifyMgr::lineMode()
{
    QFETCH(QList<int>, channels);
    QFETCH(Ids, masks);
    QFETCH(IdLists, zonePopulations);
    QFETCH(IdLists, populationZones);
    QFETCH(Names, names);
    QFETCH(Names, colors);

    FileLogMgr log;
    DrpltClassifyMgr mgr(&log);
    mgr.appendZone(DrpltZoneInfo{40, 1, {}}); // earlier content is replaced
    mgr.appendPopulation(PopulationsInfo{40, "old", "#000000", true, {}});
    mgr.initClassifyGlobalInfoByLine(channels);

    QCOMPARE(mgr.getZoneCombinationOfChan(), QVector<uint>(masks.begin(), masks.end()));
    QCOMPARE(mgr.getZones().size(), masks.size());
    for (int i = 0; i < masks.size(); ++i) {
        QCOMPARE(mgr.getZones().at(i).id, quint32(i)); // the id is the position
        QCOMPARE(mgr.getZones().at(i).code, masks.at(i));
        QCOMPARE(mgr.getZones().at(i).populationIds, zonePopulations.at(i));
    }
    QCOMPARE(mgr.getPopulations().size(), populationZones.size());
    for (int p = 0; p < populationZones.size(); ++p) {
        const PopulationsInfo &pop = mgr.getPopulations().at(p);
        QCOMPARE(pop.id, quint32(p + 1));
        QCOMPARE(pop.name, names.at(p));
        QCOMPARE(pop.signColor, colors.at(p));
        QCOMPARE(pop.negEdited, false);
        QCOMPARE(boundZones(pop), populationZones.at(p));
        for (const auto &b : pop.zones)
            QCOMPARE(b.second, PositiveZone);
    }
    QCOMPARE(log.getLog(), FileLogMgr::Log{}); // building line zones takes no ids
}

void TestDrpltClassifyMgr::lineWells_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("zoneCounts");
    QTest::newRow("no channels") << 0 << 1;
    QTest::newRow("two channels") << 2 << 4;
    QTest::newRow("more than six is capped") << 9 << 64;
}

void TestDrpltClassifyMgr::lineWells()
{
    QFETCH(int, n);
    QFETCH(int, zoneCounts);
    DrpltClassifyMgr mgr;
    if (n > 6)
        QTest::ignoreMessage(QtWarningMsg, "DrpltClassifyMgr: line mode limited to 6 channels, got 9");
    mgr.initClassifyInfosOfWellsByLine({7, 3}, n);
    QCOMPARE(mgr.getClassifyInfosOfWellsByLine().size(), 2);
    QCOMPARE(mgr.getClassifyInfosOfWellsByLine().at(0).wellId, 7u);
    const QVector<LineThresholdInfo> &thlds = mgr.getThldsByLine(3);
    QCOMPARE(thlds.size(), 6); // six thresholds whatever n is
    for (int c = 0; c < 6; ++c)
        QCOMPARE(thlds.at(c), (LineThresholdInfo{quint32(c + 1), 0}));
    const QVector<ZoneDrpltNumInfo> &counts = mgr.getWellDrpltNumOfZonesByLine(3);
    QCOMPARE(counts.size(), zoneCounts);
    QCOMPARE(counts.last().zoneId, quint32(zoneCounts - 1));

    mgr.setThldByLine(3, 1, 500);
    mgr.setThldByLine(3, 0, 600);
    mgr.setThldByLine(3, 7, 700);
    mgr.setThldOfAllWellsByLine(6, 900);
    mgr.setThldOfAllWellsByLine(0, 901);
    QCOMPARE(mgr.getThldsByLine(3).at(0).value, 500u);
    QCOMPARE(mgr.getThldsByLine(7).at(0).value, 0u);
    QCOMPARE(mgr.getThldsByLine(7).at(5).value, 900u);
    for (int c = 1; c < 5; ++c)
        QCOMPARE(mgr.getThldsByLine(3).at(c).value, 0u);
}

void TestDrpltClassifyMgr::polygonZonesFromCounter()
{
    FileLogMgr log; // zone counter 0, as after a switch to polygon mode
    DrpltClassifyMgr mgr(&log);
    mgr.initClassifyInfosOfWellsByPolygon({1, 2});
    QCOMPARE(mgr.addZone(DrpltZoneInfo{99, 11, {}}), 1u);
    QCOMPARE(mgr.addZone(DrpltZoneInfo{99, 12, {}}), 2u);
    QCOMPARE(mgr.addZone(DrpltZoneInfo{99, 13, {}}), 3u);
    QCOMPARE(log.getLog()[FileLogMgr::ZoneCounter], 3u);
    QCOMPARE(mgr.getZones().at(2), (DrpltZoneInfo{3, 13, {}}));
    for (uint well : {1u, 2u}) {
        QCOMPARE(mgr.getThldsByPolygon(well).size(), 3);
        QCOMPARE(mgr.getWellDrpltNumOfZonesByPolygon(well).at(2), (ZoneDrpltNumInfo{3, 0}));
        QVERIFY(mgr.getThldsByPolygon(well).at(2).value.isEmpty());
    }
    QVERIFY(mgr.setThldByPolygon(1, 2, square(10)));
    QVERIFY(mgr.setThldByPolygon(1, 3, square(30)));
    QVERIFY(mgr.setDrpltNumByPolygon(1, 3, 333));
    mgr.setThldOfAllWellsByPolygon(3, square(31)); // overwrites well 1's, sets well 2's

    // Removing the second zone moves the third one to position 1 in every polygon well.
    QVERIFY(mgr.removeZone(2));
    QCOMPARE(mgr.getZones().size(), 2);
    QCOMPARE(mgr.getZones().at(1).id, 3u);
    for (uint well : {1u, 2u}) {
        QCOMPARE(mgr.getThldsByPolygon(well).size(), 2);
        QCOMPARE(mgr.getThldsByPolygon(well).at(1).id, 3u);
        QCOMPARE(mgr.getThldsByPolygon(well).at(1).value, square(31));
        QCOMPARE(mgr.getWellDrpltNumOfZonesByPolygon(well).at(1).zoneId, 3u);
    }
    QCOMPARE(mgr.getWellDrpltNumOfZonesByPolygon(1).at(1).drpltNum, 333u);
    QVERIFY(!mgr.removeZone(2));
    QCOMPARE(mgr.addZone(DrpltZoneInfo{}), 4u); // ids are not reused
}

void TestDrpltClassifyMgr::polygonWritesStayInRange_data()
{
    QTest::addColumn<uint>("wellId");
    QTest::addColumn<uint>("zoneId");
    QTest::addColumn<bool>("written");
    // Zones 1, 2; well 1 has both entries, well 2 was made after the zones (no entries).
    QTest::newRow("in range") << 1u << 2u << true;
    QTest::newRow("well without entries") << 2u << 1u << false;
    QTest::newRow("unknown zone") << 1u << 5u << false;
    QTest::newRow("unknown well") << 9u << 1u << false;
}

void TestDrpltClassifyMgr::polygonWritesStayInRange()
{
    QFETCH(uint, wellId);
    QFETCH(uint, zoneId);
    QFETCH(bool, written);
    FileLogMgr log;
    DrpltClassifyMgr mgr(&log);
    mgr.initClassifyInfosOfWellsByPolygon({1});
    mgr.addZone(DrpltZoneInfo{});
    mgr.addZone(DrpltZoneInfo{});
    mgr.getClassifyInfosOfWellsByPolygon().append(WellClassifyInfoByPolygon{2, {}, {}});
    const QList<WellClassifyInfoByPolygon> before = mgr.getClassifyInfosOfWellsByPolygon();

    QCOMPARE(mgr.setThldByPolygon(wellId, zoneId, square(5)), written);
    QCOMPARE(mgr.setDrpltNumByPolygon(wellId, zoneId, 55), written);
    mgr.setThldOfAllWellsByPolygon(zoneId, square(6));
    if (!written && wellId != 1) {
        QCOMPARE(mgr.getClassifyInfosOfWellsByPolygon().last(), before.last());
        QVERIFY(mgr.getThldsByPolygon(2).isEmpty());
    }
    if (written) {
        QCOMPARE(mgr.getWellDrpltNumOfZonesByPolygon(wellId).at(1).drpltNum, 55u);
        QCOMPARE(mgr.getThldsByPolygon(wellId).at(1).value, square(6));
    }
    // The well without entries can still be removed with its zone-less vectors.
    QVERIFY(mgr.removeZone(1));
    QCOMPARE(mgr.getThldsByPolygon(1).size(), 1);
    QVERIFY(mgr.getThldsByPolygon(2).isEmpty());
}

void TestDrpltClassifyMgr::removeZoneWithShortWell()
{
    FileLogMgr log;
    DrpltClassifyMgr mgr(&log);
    mgr.initClassifyInfosOfWellsByPolygon({1});
    mgr.addZone(DrpltZoneInfo{});
    mgr.addZone(DrpltZoneInfo{});
    // A stored well holding only the first zone's entries.
    mgr.getClassifyInfosOfWellsByPolygon().append(
        WellClassifyInfoByPolygon{2, {PolygonThresholdInfo{1, square(1)}}, {ZoneDrpltNumInfo{1, 4}}});
    const QList<WellClassifyInfoByPolygon> wellsBefore = mgr.getClassifyInfosOfWellsByPolygon();
    const QVector<DrpltZoneInfo> zonesBefore = mgr.getZones();
    QVERIFY(!mgr.removeZone(2)); // refused: nothing may be removed out of step
    QCOMPARE(mgr.getZones(), zonesBefore);
    QCOMPARE(mgr.getClassifyInfosOfWellsByPolygon(), wellsBefore);
    QVERIFY(!mgr.setThldByPolygon(2, 2, square(2)));
    QVERIFY(!mgr.setDrpltNumByPolygon(2, 2, 9));
    QVERIFY(mgr.removeZone(1)); // position 0 exists in both wells
    QVERIFY(mgr.getThldsByPolygon(2).isEmpty());
    QCOMPARE(mgr.getThldsByPolygon(1).size(), 1);
}

void TestDrpltClassifyMgr::bindings()
{
    FileLogMgr log;
    DrpltClassifyMgr mgr(&log);
    const uint z1 = mgr.addZone(DrpltZoneInfo{});
    const uint z2 = mgr.addZone(DrpltZoneInfo{});
    const uint pop = mgr.addPopulation(PopulationsInfo{0, "P", "#4FB1DB", false, {}});

    mgr.bindPopulationAndZone(qMakePair(z1, PositiveZone), pop);
    mgr.bindPopulationAndZone(qMakePair(z2, NegativeZone), pop);
    // Rebinding z1: listed once in the zone, moved to the end with the new type.
    mgr.bindPopulationAndZone(qMakePair(z1, PositiveAndNegativeZone), pop);
    QCOMPARE(mgr.getZones().at(0).populationIds, Ids{pop});
    const QList<QPair<quint32, ZoneType>> expected{{z2, NegativeZone}, {z1, PositiveAndNegativeZone}};
    QCOMPARE(mgr.getPopulations().at(0).zones, expected);

    // A population that does not exist is still listed in the zone.
    mgr.bindPopulationAndZone(qMakePair(z2, PositiveZone), 77);
    QCOMPARE(mgr.getZones().at(1).populationIds, (Ids{pop, 77}));
    // An unknown zone only changes the population.
    mgr.bindPopulationAndZone(qMakePair(50u, PositiveZone), pop);
    QCOMPARE(boundZones(mgr.getPopulations().at(0)), (Ids{z2, z1, 50}));

    mgr.unbindPopulationAndZone(z2, pop);
    QCOMPARE(mgr.getZones().at(1).populationIds, Ids{77});
    QCOMPARE(boundZones(mgr.getPopulations().at(0)), (Ids{z1, 50}));

    // removeZone leaves bindings; removePopulation leaves the id in the zones.
    QVERIFY(mgr.removeZone(z1));
    QCOMPARE(boundZones(mgr.getPopulations().at(0)), (Ids{z1, 50}));
    QVERIFY(mgr.removePopulation(pop));
    QVERIFY(!mgr.removePopulation(pop));
    QVERIFY(mgr.getPopulations().isEmpty());
    QCOMPARE(mgr.getZones().at(0).populationIds, Ids{77});
}

void TestDrpltClassifyMgr::populations()
{
    FileLogMgr log;
    log.setLog(FileLogMgr::Log{0, 0, 0, 2, 0, 0}); // two line populations exist
    DrpltClassifyMgr mgr(&log);
    mgr.initClassifyGlobalInfoByLine({0, 1});
    const uint id = mgr.addPopulation(PopulationsInfo{9, "Mine", "#123456", true, {{1, PositiveZone}}});
    QCOMPARE(id, 3u);
    QCOMPARE(mgr.getPopulations().last(),
             (PopulationsInfo{3, "Mine", "#123456", true, {{1, PositiveZone}}}));
    QCOMPARE(mgr.getZones().at(1).populationIds, Ids{1}); // zones untouched by addPopulation
    // Unknown population ids change nothing.
    const QList<PopulationsInfo> before = mgr.getPopulations();
    mgr.setPopulationName(8, QStringLiteral("nobody"));
    mgr.setPopulationSignColor(8, QStringLiteral("#000000"));
    mgr.setNegEdited(8, false);
    QCOMPARE(mgr.getPopulations(), before);
}

void TestDrpltClassifyMgr::missingWellsThrow()
{
    DrpltClassifyMgr mgr;
    mgr.initClassifyInfosOfWellsByLine({1}, 1);
    mgr.initClassifyInfosOfWellsByPolygon({2});
    const QString text = QStringLiteral("Well id is invalid!");
    QCOMPARE(thrownText([&] { mgr.getThldsByLine(2); }), text);
    QCOMPARE(thrownText([&] { mgr.getThldsByPolygon(1); }), text);
    QCOMPARE(thrownText([&] { mgr.getWellDrpltNumOfZonesByLine(2); }), text);
    QCOMPARE(thrownText([&] { mgr.getWellDrpltNumOfZonesByPolygon(1); }), text);
    QVERIFY(!mgr.removeWellnfoByLine(2));
    QVERIFY(mgr.removeWellnfoByPolygon(2));
}

void TestDrpltClassifyMgr::noCounters()
{
    DrpltClassifyMgr mgr;
    mgr.initClassifyInfosOfWellsByPolygon({1});
    QCOMPARE(mgr.addZone(DrpltZoneInfo{5, 1, {}}), 0u);
    QCOMPARE(mgr.addPopulation(PopulationsInfo{}), 0u);
    QVERIFY(mgr.getZones().isEmpty());
    QVERIFY(mgr.getPopulations().isEmpty());
    QVERIFY(mgr.getThldsByPolygon(1).isEmpty());
}

void TestDrpltClassifyMgr::polygonInitKeepsOtherLists()
{
    DrpltClassifyMgr mgr;
    mgr.initClassifyGlobalInfoByLine({0, 1});
    mgr.initClassifyInfosOfWellsByLine({4}, 2);
    mgr.setDrpltNumByLine(4, 3, 12);
    mgr.setDrpltNumByLine(4, 9, 13); // no such zone
    QCOMPARE(mgr.getWellDrpltNumOfZonesByLine(4).at(3).drpltNum, 12u);
    mgr.initClassifyInfosOfWellsByPolygon({4});
    mgr.initClassifyGlobalInfoByPolygon();
    QVERIFY(mgr.getZones().isEmpty());
    QVERIFY(mgr.getPopulations().isEmpty());
    QCOMPARE(mgr.getZoneCombinationOfChan().size(), 4);
    QCOMPARE(mgr.getWellDrpltNumOfZonesByLine(4).at(3).drpltNum, 12u);
    mgr.generateZoneCombination(3);
    QCOMPARE(mgr.getZoneCombinationOfChan(), (QVector<uint>{0, 1, 2, 4, 3, 5, 6, 7}));
    mgr.generateZoneCombination(-1);
    QCOMPARE(mgr.getZoneCombinationOfChan(), QVector<uint>{0});
}

LUMARA_TEST_MAIN(TestDrpltClassifyMgr)
#include "tst_drpltclassifymgr.moc"
