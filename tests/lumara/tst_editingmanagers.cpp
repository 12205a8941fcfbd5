// The experiment-editing, plot-group and population managers on seeded documents.
#include "bll/bllinstance.h"
#include "bll/experimenteditmgr.h"
#include "bll/plotgroupmgr.h"
#include "bll/populationsmgr.h"
#include "model/analysisdatamgr.h"
#include "model/analysisresultmgr.h"
#include "model/drpltclassifymgr.h"
#include "model/drpltimginfomgr.h"
#include "pcranalysisdocument.h"
#include "seeddocument.h"
#include "testmain.h"

using namespace LumaraAnalysisData;
using BllTest::DocumentSeed;

Q_DECLARE_METATYPE(QList<QList<uint>>)

namespace {

using ChannelLists = QList<QList<uint>>;

DocumentSeed seedOfChannels(const ChannelLists &wells, const QVector<TargetInfo> &targets)
{
    DocumentSeed seed;
    seed.targets = targets;
    uint id = 1;
    for (const QList<uint> &channels : wells) {
        seed.wells.append(BllTest::well(id, QStringLiteral("A%1").arg(id), channels));
        ++id;
    }
    return seed;
}

AnalysisDataMgr *data()
{
    return PcrAnalysisDocument::getInstance()->getAnalysisDataMgr();
}

// The population results of a well, as (population id, dilution) pairs.
QList<QPair<uint, double>> populationEntries(uint wellId)
{
    QList<QPair<uint, double>> entries;
    for (const PopulationResultInfo &r : data()->getAnalysisRetMgr()->getWellResult(wellId).populationResults)
        entries.append(qMakePair(uint(r.populationId), r.dilution));
    return entries;
}

// A polygon-mode document of three wells and four 2D plots.
DocumentSeed polygonSeed(int wells = 3)
{
    DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2, 4});
    for (int i = 1; i <= wells; ++i)
        seed.wells.append(BllTest::well(uint(i), QStringLiteral("B%1").arg(i), {1, 2, 4}));
    seed.mode = PolygonThreshold;
    seed.plots2D = {{"P1", {1, 2}}, {"P2", {2, 4}}, {"P3", {1, 4}}, {"P4", {4, 1}}};
    return seed;
}

} // namespace

class TestEditingManagers : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();

    void usedChannels_data();
    void usedChannels();
    void targetChannels_data();
    void targetChannels();
    void wellRows();
    void wellRowWithoutRecords();

    void plotLookups_data();
    void plotLookups();
    void plotNamesAndRemoval();

    void addPopulation();
    void addZones();
    void zoneColour_data();
    void zoneColour();
    void populationLookups_data();
    void populationLookups();
    void plotIdsOfZones();
    void removeZoneUnbinds();
    void removePopulation();
    void wellPlotPolygons();

private:
    ExperimentEditMgr *edit() { return BLLInstance::getInstance()->getExperimentEditMgr(); }
    PlotGroupMgr *plots() { return BLLInstance::getInstance()->getPlotGroupMgr(); }
    PopulationsMgr *populations() { return BLLInstance::getInstance()->getPopulationsMgr(); }
};

void TestEditingManagers::initTestCase()
{
    BLLInstance::createSingletons();
}

// ---- Experiment editing ----------------------------------------------------------------------

void TestEditingManagers::usedChannels_data()
{
    QTest::addColumn<ChannelLists>("wells");
    QTest::addColumn<QList<uint>>("used");
    // Stored 0-based {2, 0} and {1, 2}: channels 3, 1 then 2 in first-seen order.
    QTest::newRow("first seen") << ChannelLists{{3, 1}, {2, 3}} << QList<uint>{3, 1, 2};
    QTest::newRow("repeats") << ChannelLists{{5}, {5}, {5, 6}} << QList<uint>{5, 6};
    QTest::newRow("no channels") << ChannelLists{{}, {}} << QList<uint>{};
    QTest::newRow("no wells") << ChannelLists{} << QList<uint>{};
}

void TestEditingManagers::usedChannels()
{
    QFETCH(ChannelLists, wells);
    QFETCH(QList<uint>, used);
    QVERIFY(BllTest::seedDocument(seedOfChannels(wells, BllTest::namedTargets({1, 2, 3, 4, 5, 6}))));
    QCOMPARE(edit()->getUsedChannels(), used);
}

void TestEditingManagers::targetChannels_data()
{
    QTest::addColumn<ChannelLists>("wells");
    QTest::addColumn<QList<uint>>("named");
    QTest::addColumn<QList<uint>>("expected");
    QTest::newRow("all named, channel order") << ChannelLists{{4, 2}, {1}} << QList<uint>{1, 2, 3, 4, 5, 6}
                                              << QList<uint>{1, 2, 4};
    // Channel 2 is used but has no target name; channel 6 is named but unused.
    QTest::newRow("unnamed and unused") << ChannelLists{{2, 3}} << QList<uint>{1, 3, 6} << QList<uint>{3};
    QTest::newRow("nothing named") << ChannelLists{{1, 2}} << QList<uint>{} << QList<uint>{};
}

void TestEditingManagers::targetChannels()
{
    QFETCH(ChannelLists, wells);
    QFETCH(QList<uint>, named);
    QFETCH(QList<uint>, expected);
    QVERIFY(BllTest::seedDocument(seedOfChannels(wells, BllTest::namedTargets(named))));
    const QList<TargetChannelInfo> targets = edit()->getTargetChannels();
    QList<uint> channels;
    for (const TargetChannelInfo &t : targets) {
        channels.append(t.channel);
        QCOMPARE(t.targetName, QStringLiteral("T%1").arg(t.channel));
        QCOMPARE(t.dyeName, QStringLiteral("D%1").arg(t.channel));
    }
    QCOMPARE(channels, expected);
}

void TestEditingManagers::wellRows()
{
    DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2});
    BllTest::WellSeed a = BllTest::well(7, "C3", {1, 2}, QVector<BllTest::DropletSeed>(5));
    a.prefix = "Plate1";
    a.sampleName = "Blood";
    a.plateIndex = 2;
    a.comment = "repeat";
    a.dropletSum = 1000;
    a.excluded = {1, 3};
    BllTest::WellSeed b = BllTest::well(3, "C1", {2}, QVector<BllTest::DropletSeed>(4));
    b.sampleName = "NTC";
    b.dropletSum = -5; // a damaged record: no negative sum leaves the row
    seed.wells = {a, b};
    QVERIFY(BllTest::seedDocument(seed));
    data()->getAnalysisRetMgr()->setChanType(7, 2, 'U');
    data()->getAnalysisRetMgr()->setChanDilution(7, 2, 4.0);

    const QList<WellEditRow> rows = edit()->getWellRows();
    QCOMPARE(rows.size(), 2);
    const WellEditRow &r = rows.at(0);
    QCOMPARE(r.wellId, 7u);
    QCOMPARE(r.wellText, QString("C3"));
    QCOMPARE(r.sampleName, QString("Blood"));
    QCOMPARE(r.hasExcludedDroplets, true);
    QCOMPARE(r.wellName, QString("Plate1_C3_Blood"));
    QCOMPARE(r.plateIndex, 2u);
    QCOMPARE(r.comment, QString("repeat"));
    QCOMPARE(r.dropletSum, 1000u);
    QCOMPARE(r.effDropletNum, 3u); // 5 droplets, 2 excluded
    QCOMPARE(r.chanResults.size(), 6);
    QCOMPARE(r.chanResults.at(1).chanType, quint16('U'));
    QCOMPARE(r.chanResults.at(1).dilution, 4.0);
    const WellEditRow &s = rows.at(1);
    QCOMPARE(s.wellId, 3u);
    QCOMPARE(s.wellName, QString("C1_NTC")); // no prefix, no leading "_"
    QCOMPARE(s.hasExcludedDroplets, false);
    QCOMPARE(s.dropletSum, 0u);
    QCOMPARE(s.effDropletNum, 4u);
    QCOMPARE(edit()->getWellDropletNumber(7), 1000u);
    QCOMPARE(edit()->getWellDropletNumber(9), 0u); // not configured
}

// A configured well that lost its image-analysis and result records gives a plain row rather
// than an exception.
void TestEditingManagers::wellRowWithoutRecords()
{
    DocumentSeed seed = seedOfChannels({{1}, {1}}, BllTest::namedTargets({1}));
    seed.wells[0].droplets.resize(3);
    seed.wells[0].excluded = {0};
    QVERIFY(BllTest::seedDocument(seed));
    QVERIFY(data()->getDrpltImgInfoMgr()->removeWell(1));
    QVERIFY(data()->getAnalysisRetMgr()->removeWell(1));
    const QList<WellEditRow> rows = edit()->getWellRows();
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows.at(0).hasExcludedDroplets, false);
    QCOMPARE(rows.at(0).effDropletNum, 0u);
    QCOMPARE(rows.at(0).dropletSum, 3u);
}

// ---- Plot groups -------------------------------------------------------------------------------

void TestEditingManagers::plotLookups_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QList<uint>>("args");
    QTest::addColumn<QList<uint>>("expected");
    // Plots (ids from 1): 2D "A_B" (1, 2), "B_A" (2, 1), "A_C" (1, 3);
    // 3D "A_B_C" (1, 2, 3), "D_D_E" (4, 4, 5).
    QTest::newRow("find2D exact") << "find2D" << QList<uint>{1, 2} << QList<uint>{1};
    QTest::newRow("find2D order matters") << "find2D" << QList<uint>{2, 1} << QList<uint>{2};
    QTest::newRow("find2D none") << "find2D" << QList<uint>{3, 1} << QList<uint>{0};
    QTest::newRow("find3D any order") << "find3D" << QList<uint>{3, 1, 2} << QList<uint>{1};
    QTest::newRow("find3D repeated channel") << "find3D" << QList<uint>{5, 4, 6} << QList<uint>{2};
    QTest::newRow("find3D none") << "find3D" << QList<uint>{1, 2, 4} << QList<uint>{0};
    QTest::newRow("channels2D") << "channels2D" << QList<uint>{3} << QList<uint>{1, 3};
    QTest::newRow("channels2D none") << "channels2D" << QList<uint>{4} << QList<uint>{0, 0};
    QTest::newRow("channels3D") << "channels3D" << QList<uint>{2} << QList<uint>{4, 4, 5};
    QTest::newRow("channels3D none") << "channels3D" << QList<uint>{0} << QList<uint>{0, 0, 0};
}

void TestEditingManagers::plotLookups()
{
    QFETCH(QString, query);
    QFETCH(QList<uint>, args);
    QFETCH(QList<uint>, expected);
    DocumentSeed seed = seedOfChannels({{1, 2, 3}}, BllTest::namedTargets({1, 2, 3}));
    QVERIFY(BllTest::seedDocument(seed));
    QCOMPARE(plots()->add2DPlot("A_B", 1, 2), 1u);
    QCOMPARE(plots()->add2DPlot("B_A", 2, 1), 2u);
    QCOMPARE(plots()->add2DPlot("A_C", 1, 3), 3u);
    QCOMPARE(plots()->add3DPlot("A_B_C", 1, 2, 3), 1u);
    QCOMPARE(plots()->add3DPlot("D_D_E", 4, 4, 5), 2u);

    QList<uint> got;
    if (query == "find2D") {
        got = {plots()->find2DPlot(args.at(0), args.at(1))};
    } else if (query == "find3D") {
        got = {plots()->find3DPlot(args.at(0), args.at(1), args.at(2))};
    } else if (query == "channels2D") {
        const QPair<uint, uint> c = plots()->get2DPlotChannels(args.at(0));
        got = {c.first, c.second};
    } else {
        const QVector3D c = plots()->get3DPlotChannels(args.at(0));
        got = {uint(c.x()), uint(c.y()), uint(c.z())};
    }
    QCOMPARE(got, expected);
}

void TestEditingManagers::plotNamesAndRemoval()
{
    QVERIFY(BllTest::seedDocument(seedOfChannels({{1, 2}}, BllTest::namedTargets({1, 2}))));
    const uint a = plots()->add2DPlot("FAM_VIC", 1, 2);
    QVERIFY(plots()->is2DPlotNameExist("FAM_VIC"));
    QVERIFY(!plots()->is2DPlotNameExist("fam_vic")); // names differ by case
    QVERIFY(!plots()->is3DPlotNameExist("FAM_VIC"));
    QVERIFY(plots()->rename2DPlot(a, "Other"));
    QVERIFY(!plots()->rename2DPlot(99, "None"));
    QVERIFY(!plots()->is2DPlotNameExist("FAM_VIC"));
    QVERIFY(plots()->remove2DPlot(a));
    QVERIFY(!plots()->remove2DPlot(a));
    QCOMPARE(plots()->add2DPlot("Again", 1, 2), 2u); // ids are not given out again
}

// ---- Populations and zones ---------------------------------------------------------------------

void TestEditingManagers::addPopulation()
{
    QVERIFY(BllTest::seedDocument(polygonSeed(8)));
    const uint first = populations()->addPopulation("Pos", "#123456");
    const uint second = populations()->addPopulation("Neg", "#654321");
    QCOMPARE(first, 1u);
    QCOMPARE(second, 2u);
    QCOMPARE(populations()->getPopulations().size(), 2);
    const PopulationsInfo p = populations()->getPopulation(second);
    QCOMPARE(p.name, QString("Neg"));
    QCOMPARE(p.signColor, QString("#654321"));
    QCOMPARE(p.negEdited, false);
    QVERIFY(p.zones.isEmpty());
    for (uint well = 1; well <= 8; ++well) {
        const QVector<PopulationResultInfo> entries = data()->getAnalysisRetMgr()->getWellResult(well).populationResults;
        QCOMPARE(entries.size(), 2);
        PopulationResultInfo expected;
        expected.populationId = second;
        expected.dilution = 1.0;
        QCOMPARE(entries.at(1), expected); // all counts and figures 0
    }
}

void TestEditingManagers::addZones()
{
    QVERIFY(BllTest::seedDocument(polygonSeed()));
    const uint population = populations()->addPopulation("Pos", "#123456");
    const QPolygonF triangle({QPointF(0, 0), QPointF(100, 0), QPointF(0, 100)});
    const uint plain = populations()->addPolygonZoneOfPopulation(triangle, 0, 2);
    const uint owned = populations()->addPolygonZoneOfPopulation(triangle, population, 3);
    const uint other = populations()->addPolygonZone(triangle.translated(5, 5), 1);
    QCOMPARE(plain, 1u);
    QCOMPARE(owned, 2u);
    QCOMPARE(other, 3u);
    const QVector<DrpltZoneInfo> zones = populations()->getZones();
    QCOMPARE(zones.size(), 3);
    QVERIFY(zones.at(0).populationIds.isEmpty()); // population id 0 lists none
    QCOMPARE(zones.at(1).populationIds, QList<quint32>{population});
    QCOMPARE(populations()->getZonePlotId(owned), 3u);
    QCOMPARE(populations()->getZonePlotId(42), 0u);
    for (uint well = 1; well <= 3; ++well) {
        const QVector<PolygonThresholdInfo> polygons = data()->getDrpltClassifyMgr()->getThldsByPolygon(well);
        QCOMPARE(polygons.size(), 3);
        QCOMPARE(polygons.at(1).value, triangle);
        QCOMPARE(polygons.at(2).value, triangle.translated(5, 5));
    }
}

void TestEditingManagers::zoneColour_data()
{
    QTest::addColumn<int>("zone");
    QTest::addColumn<QString>("colour");
    // Zones: 0 lists no population, 1 lists "Pos" then "Neg", 2 lists "Gone" (removed).
    QTest::newRow("no population") << 0 << "#b37c4e";
    QTest::newRow("first population's colour") << 1 << "#00ff00";
    QTest::newRow("first population removed") << 2 << "#ffffff";
    QTest::newRow("no such zone") << 99 << "#b37c4e";
}

void TestEditingManagers::zoneColour()
{
    QFETCH(int, zone);
    QFETCH(QString, colour);
    DocumentSeed seed = polygonSeed();
    seed.zones = {BllTest::ZoneSeed{0, {}, {}}, BllTest::ZoneSeed{0, {}, {}}, BllTest::ZoneSeed{1, {}, {}}};
    seed.populations = {{"Pos", "#00ff00", false, {{1, PositiveZone}}},
                        {"Neg", "#ff0000", false, {{1, NegativeZone}}},
                        {"Gone", "#0000ff", false, {{2, PositiveZone}}}};
    BllTest::SeededIds ids;
    QVERIFY(BllTest::seedDocument(seed, &ids));
    populations()->removePopulation(ids.populations.at(2));
    const uint zoneId = zone < ids.zones.size() ? ids.zones.at(zone) : uint(zone);
    QCOMPARE(populations()->getZoneColor(zoneId), colour);
}

void TestEditingManagers::populationLookups_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("name");
    QTest::addColumn<uint>("id");
    QTest::addColumn<QString>("expected");
    // Populations 1 "Alpha" (#aaaaaa, negative-edited), 2 "Beta" (#bbbbbb), 3 "alpha" (#cccccc).
    QTest::newRow("id of name") << "id" << "Beta" << 0u << "2";
    QTest::newRow("id is case-sensitive") << "id" << "alpha" << 0u << "3";
    QTest::newRow("colour of unknown id") << "colour" << "" << 0u << "#ffffff";
    QTest::newRow("negative edited") << "negEdited" << "" << 1u << "true";
    QTest::newRow("unknown not negative edited") << "negEdited" << "" << 7u << "false";
    QTest::newRow("name differs by case") << "exists" << "BETA" << 0u << "false";
    QTest::newRow("own name is not used by other") << "usedByOther" << "Beta" << 2u << "false";
    QTest::newRow("other's name is used") << "usedByOther" << "Beta" << 1u << "true";
    QTest::newRow("empty record by name") << "byName" << "ALPHA" << 0u << "0:";
}

void TestEditingManagers::populationLookups()
{
    QFETCH(QString, query);
    QFETCH(QString, name);
    QFETCH(uint, id);
    QFETCH(QString, expected);
    DocumentSeed seed = polygonSeed();
    seed.populations = {{"Alpha", "#aaaaaa", true, {}}, {"Beta", "#bbbbbb", false, {}}, {"alpha", "#cccccc", false, {}}};
    QVERIFY(BllTest::seedDocument(seed));
    PopulationsMgr *p = populations();
    QString got;
    if (query == "id")
        got = QString::number(p->getPopulationId(name));
    else if (query == "name")
        got = p->getPopulationName(id);
    else if (query == "colour")
        got = p->getPopulationColor(id);
    else if (query == "negEdited")
        got = p->isNegEdited(id) ? "true" : "false";
    else if (query == "exists")
        got = p->isPopulationNameExist(name) ? "true" : "false";
    else if (query == "usedByOther")
        got = p->isPopulationNameUsedByOther(id, name) ? "true" : "false";
    else if (query == "byName")
        got = QString("%1:%2").arg(p->getPopulationByName(name).id).arg(p->getPopulationByName(name).signColor);
    else
        got = p->getPopulationNames().join(',');
    QCOMPARE(got, expected);
}

void TestEditingManagers::plotIdsOfZones()
{
    DocumentSeed seed = polygonSeed();
    // Zones in list order on plots 3, 3, 1 and 2.
    seed.zones = {BllTest::ZoneSeed{2, {}, {}}, BllTest::ZoneSeed{2, {}, {}}, BllTest::ZoneSeed{0, {}, {}},
                  BllTest::ZoneSeed{1, {}, {}}};
    BllTest::SeededIds ids;
    QVERIFY(BllTest::seedDocument(seed, &ids));
    QCOMPARE(ids.plots2D, (QList<uint>{1, 2, 3, 4}));
    const QVector<uint> first3 = {ids.zones.at(0), ids.zones.at(1), ids.zones.at(2)};
    QCOMPARE(populations()->getPlotIdsOfZones(first3), (QList<uint>{3, 1}));
    // Walks the zone list, not the argument's order.
    const QVector<uint> reversed = {ids.zones.at(3), ids.zones.at(2), ids.zones.at(0)};
    QCOMPARE(populations()->getPlotIdsOfZones(reversed), (QList<uint>{3, 1, 2}));
    QCOMPARE(populations()->getPlotIdsOfZones({77}), QList<uint>{});
}

void TestEditingManagers::removeZoneUnbinds()
{
    DocumentSeed seed = polygonSeed();
    seed.zones = {BllTest::ZoneSeed{0, {}, {}}, BllTest::ZoneSeed{1, {}, {}}};
    seed.populations = {{"Pos", "#00ff00", false, {{0, PositiveZone}, {1, NegativeZone}}},
                        {"Neg", "#ff0000", false, {{0, PositiveAndNegativeZone}}}};
    BllTest::SeededIds ids;
    QVERIFY(BllTest::seedDocument(seed, &ids));
    const uint z0 = ids.zones.at(0);
    const uint z1 = ids.zones.at(1);

    QVERIFY(populations()->removeZone(z0));
    QCOMPARE(populations()->getZones().size(), 1);
    for (const PopulationsInfo &p : populations()->getPopulations())
        for (const auto &bound : p.zones)
            QVERIFY(bound.first != z0);
    QCOMPARE(populations()->getPopulation(ids.populations.at(0)).zones.size(), 1);
    QCOMPARE(data()->getDrpltClassifyMgr()->getThldsByPolygon(2).size(), 1);

    // A binding to a zone that does not exist is dropped although the removal fails.
    populations()->bindPopulationAndZone(qMakePair(500u, PositiveZone), ids.populations.at(1));
    QCOMPARE(populations()->getPopulation(ids.populations.at(1)).zones.size(), 1);
    QVERIFY(!populations()->removeZone(500));
    QVERIFY(populations()->getPopulation(ids.populations.at(1)).zones.isEmpty());
    QCOMPARE(populations()->getPopulation(ids.populations.at(0)).zones.first().first, z1);
}

void TestEditingManagers::removePopulation()
{
    DocumentSeed seed = polygonSeed();
    seed.populations = {{"A", "#000001", false, {}}, {"B", "#000002", false, {}}, {"C", "#000003", false, {}}};
    BllTest::SeededIds ids;
    QVERIFY(BllTest::seedDocument(seed, &ids));
    populations()->removePopulation(ids.populations.at(1));
    QCOMPARE(populations()->getPopulationNames(), (QStringList{"A", "C"}));
    for (uint well = 1; well <= 3; ++well)
        QCOMPARE(populationEntries(well), (QList<QPair<uint, double>>{{ids.populations.at(0), 1.0},
                                                                       {ids.populations.at(2), 1.0}}));
}

void TestEditingManagers::wellPlotPolygons()
{
    DocumentSeed seed = polygonSeed(2);
    const QPolygonF square({QPointF(10, 10), QPointF(20, 10), QPointF(20, 20), QPointF(10, 20)});
    seed.zones = {BllTest::ZoneSeed{1, square, {{2, square.translated(1, 1)}}},
                  BllTest::ZoneSeed{2, square.translated(50, 0), {}},
                  BllTest::ZoneSeed{3, square.translated(0, 50), {}}};
    BllTest::SeededIds ids;
    QVERIFY(BllTest::seedDocument(seed, &ids));
    QVERIFY(plots()->remove2DPlot(ids.plots2D.at(2))); // the second zone's plot

    const QList<PlotPolygonInfo> polygons = populations()->getWellPlotPolygons(2);
    QCOMPARE(polygons.size(), 2);
    QCOMPARE(polygons.at(0).zoneId, ids.zones.at(0));
    QCOMPARE(polygons.at(0).polygon, square.translated(1, 1));
    QCOMPARE(polygons.at(0).plotId, ids.plots2D.at(1));
    QCOMPARE(polygons.at(0).plotName, QString("P2"));
    QCOMPARE(polygons.at(0).xChannel, 2u);
    QCOMPARE(polygons.at(0).yChannel, 4u);
    QCOMPARE(polygons.at(1).zoneId, ids.zones.at(2));
    QCOMPARE(polygons.at(1).plotName, QString("P4"));
    QCOMPARE(polygons.at(1).xChannel, 4u);
    QCOMPARE(polygons.at(1).yChannel, 1u);
    QCOMPARE(populations()->getWellPlotPolygons(1).at(0).polygon, square);
    // A well without a polygon classification has no polygons.
    QVERIFY(populations()->getWellPlotPolygons(77).isEmpty());
}

LUMARA_TEST_MAIN(TestEditingManagers)
#include "tst_editingmanagers.moc"
