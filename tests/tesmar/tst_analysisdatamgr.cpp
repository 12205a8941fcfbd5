// The owner of the five analysis managers: well removal and the threshold-mode switches.
#include "model/analysisdatamgr.h"
#include "model/analysisexperimentmgr.h"
#include "model/analysisresultmgr.h"
#include "model/customizedplotmgr.h"
#include "model/drpltclassifymgr.h"
#include "model/drpltimginfomgr.h"
#include "model/filelogmgr.h"
#include "testmain.h"

using namespace LumaraAnalysisData;
using Log = FileLogMgr::Log;
Q_DECLARE_METATYPE(FileLogMgr::Log)

namespace {

// Wells 5, 2, 9 held by every manager (well 9 has no image-analysis record).
void fill(AnalysisDataMgr &data)
{
    for (quint32 id : {5u, 2u, 9u}) {
        WellItemInfo w;
        w.wellId = id;
        w.expId = 1;
        data.getAnalysisExpMgr()->appendWellGlobal(w);
        WellResultInfo r;
        r.wellId = id;
        PopulationResultInfo p;
        p.populationId = 1;
        r.populationResults = {p};
        data.getAnalysisRetMgr()->appendWellResult(r);
        if (id != 9) {
            WellImageAnalysisInfo info;
            info.wellId = id;
            data.getDrpltImgInfoMgr()->appendImgAnalysis(info);
        }
    }
    data.getAnalysisExpMgr()->appendExpFile(ExpItemInfo{1, "run.imrs", {5, 2, 9}});
}

QList<quint32> lineWellIds(AnalysisDataMgr &data)
{
    QList<quint32> ids;
    for (const auto &w : data.getDrpltClassifyMgr()->getClassifyInfosOfWellsByLine())
        ids.append(w.wellId);
    return ids;
}

QList<quint32> polygonWellIds(AnalysisDataMgr &data)
{
    QList<quint32> ids;
    for (const auto &w : data.getDrpltClassifyMgr()->getClassifyInfosOfWellsByPolygon())
        ids.append(w.wellId);
    return ids;
}

} // namespace

class TestAnalysisDataMgr : public QObject {
    Q_OBJECT
private slots:
    void ownsFiveManagers();
    void removeWell_data();
    void removeWell();
    void switchToLine_data();
    void switchToLine();
    void switchToPolygon();
    void switchesWithoutCounters();
    void countersHandedOn();
};

void TestAnalysisDataMgr::ownsFiveManagers()
{
    FileLogMgr log;
    AnalysisDataMgr data(&log);
    QCOMPARE(data.getCustomizedPlotMgr()->fileLogMgr(), &log);
    QCOMPARE(data.getDrpltClassifyMgr()->fileLogMgr(), &log);
    QVERIFY(data.getAnalysisExpMgr() && data.getAnalysisRetMgr() && data.getDrpltImgInfoMgr());
}

void TestAnalysisDataMgr::removeWell_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<uint>("wellId");
    QTest::addColumn<bool>("result");
    QTest::newRow("line, held everywhere") << int(LineThreshold) << 5u << true;
    QTest::newRow("polygon, held everywhere") << int(PolygonThreshold) << 2u << true;
    // Well 9 has no image-analysis record: false, yet every other manager drops it.
    QTest::newRow("missing in one manager") << int(LineThreshold) << 9u << false;
}

void TestAnalysisDataMgr::removeWell()
{
    QFETCH(int, mode);
    QFETCH(uint, wellId);
    QFETCH(bool, result);
    AnalysisDataMgr data;
    fill(data);
    data.getDrpltClassifyMgr()->initClassifyInfosOfWellsByLine({5, 2, 9}, 1);
    data.getDrpltClassifyMgr()->initClassifyInfosOfWellsByPolygon({5, 2, 9});
    data.setThldType(ThresholdMode(mode));

    QCOMPARE(data.removeWell(wellId), result);
    QList<quint32> rest{5, 2, 9};
    rest.removeOne(wellId);
    QList<quint32> wells;
    for (const auto &w : data.getAnalysisExpMgr()->getAnalysisExpGlobalInfo().wells)
        wells.append(w.wellId);
    QCOMPARE(wells, rest);
    QCOMPARE(data.getAnalysisRetMgr()->getWellResults().size(), 2);
    QCOMPARE(data.getDrpltImgInfoMgr()->getWellImgAnalysisInfos().size(), wellId == 9 ? 2 : 1);
    // Only the classification of the current mode loses the well.
    QCOMPARE(lineWellIds(data), mode == LineThreshold ? rest : (QList<quint32>{5, 2, 9}));
    QCOMPARE(polygonWellIds(data), mode == PolygonThreshold ? rest : (QList<quint32>{5, 2, 9}));
}

void TestAnalysisDataMgr::switchToLine_data()
{
    QTest::addColumn<QList<int>>("channels");
    QTest::addColumn<Log>("counters");
    QTest::addColumn<int>("zones");
    QTest::addColumn<QStringList>("names");
    // Starting counters {3, 9, 40, 12, 6, 4}: zone 2^n - 1, population n, the rest kept.
    QTest::newRow("three channels") << QList<int>{0, 1, 2} << Log{3, 9, 7, 3, 6, 4} << 8
                                    << QStringList{"Blue Channel", "Cyan Channel", "Green Channel"};
    QTest::newRow("no channels") << QList<int>() << Log{3, 9, 0, 0, 6, 4} << 1 << QStringList();
    QTest::newRow("indices 0 and 4") << QList<int>{0, 4} << Log{3, 9, 3, 2, 6, 4} << 4
                                     << QStringList{"Blue Channel", "Red Channel"};
}

void TestAnalysisDataMgr::switchToLine()
{
    QFETCH(QList<int>, channels);
    QFETCH(Log, counters);
    QFETCH(int, zones);
    QFETCH(QStringList, names);
    FileLogMgr log;
    log.setLog(Log{3, 9, 40, 12, 6, 4});
    AnalysisDataMgr data(&log);
    fill(data);
    data.setThldType(PolygonThreshold);
    data.getCustomizedPlotMgr()->setCustomizedPlotGlobalInfo({{{6, "xy", 1, 2}}, {{4, "xyz", 1, 2, 3}}});

    data.switch2LineMode(channels);
    QCOMPARE(data.getThldType(), LineThreshold);
    QCOMPARE(log.getLog(), counters);
    QCOMPARE(data.getDrpltClassifyMgr()->getZones().size(), zones);
    QStringList got;
    for (const auto &p : data.getDrpltClassifyMgr()->getPopulations())
        got.append(p.name);
    QCOMPARE(got, names);
    QCOMPARE(lineWellIds(data), (QList<quint32>{5, 2, 9})); // in well-list order
    QCOMPARE(data.getDrpltClassifyMgr()->getWellDrpltNumOfZonesByLine(2).size(), zones);
    for (const auto &r : data.getAnalysisRetMgr()->getWellResults())
        QVERIFY(r.populationResults.isEmpty());
    // Plots and experiments stay, and new ids do not repeat theirs.
    QCOMPARE(data.getCustomizedPlotMgr()->get2DPlots().size(), 1);
    QCOMPARE(data.getCustomizedPlotMgr()->add2DPlot({0, "new", 1, 3}), 7u);
    QCOMPARE(data.getCustomizedPlotMgr()->add3DPlot({0, "new", 1, 3, 4}), 5u);
    QCOMPARE(log.nextExperimentId(), 4u);
    // The next zone and population follow the line-mode ones.
    QCOMPARE(data.getDrpltClassifyMgr()->addPopulation({}), uint(names.size() + 1));
}

void TestAnalysisDataMgr::switchToPolygon()
{
    FileLogMgr log;
    log.setLog(Log{3, 9, 7, 3, 6, 4});
    AnalysisDataMgr data(&log);
    fill(data);
    data.switch2LineMode({0, 1});
    data.getDrpltClassifyMgr()->setThldByLine(5, 1, 1234);

    data.switch2PolygonMode();
    QCOMPARE(data.getThldType(), PolygonThreshold);
    QCOMPARE(log.getLog(), (Log{3, 9, 0, 0, 6, 4}));
    QVERIFY(data.getDrpltClassifyMgr()->getZones().isEmpty());
    QVERIFY(data.getDrpltClassifyMgr()->getPopulations().isEmpty());
    QCOMPARE(polygonWellIds(data), (QList<quint32>{5, 2, 9}));
    QVERIFY(data.getDrpltClassifyMgr()->getThldsByPolygon(9).isEmpty());
    // The line wells are left as they were.
    QCOMPARE(data.getDrpltClassifyMgr()->getThldsByLine(5).at(0).value, 1234u);
    // Zone ids start again at 1.
    QCOMPARE(data.getDrpltClassifyMgr()->addZone({}), 1u);
    QCOMPARE(data.getDrpltClassifyMgr()->getThldsByPolygon(9).size(), 1);
}

void TestAnalysisDataMgr::switchesWithoutCounters()
{
    AnalysisDataMgr data;
    fill(data);
    data.switch2LineMode({2, 3});
    QCOMPARE(data.getDrpltClassifyMgr()->getPopulations().size(), 2);
    data.switch2PolygonMode();
    QCOMPARE(polygonWellIds(data), (QList<quint32>{5, 2, 9}));
    QCOMPARE(data.getDrpltClassifyMgr()->addZone({}), 0u);
}

void TestAnalysisDataMgr::countersHandedOn()
{
    AnalysisDataMgr data;
    FileLogMgr log;
    log.setLog(Log{0, 0, 4, 0, 2, 0});
    data.setFileLogMgr(&log);
    QCOMPARE(data.getDrpltClassifyMgr()->addZone({}), 5u);
    QCOMPARE(data.getCustomizedPlotMgr()->add2DPlot({}), 3u);
    data.switch2PolygonMode();
    QCOMPARE(log.getLog()[FileLogMgr::ZoneCounter], 0u);
}

LUMARA_TEST_MAIN(TestAnalysisDataMgr)
#include "tst_analysisdatamgr.moc"
