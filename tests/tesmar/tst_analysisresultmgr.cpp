// Per-well results, populations located through the first well, and the QC limits.
#include "model/analysisresultmgr.h"
#include "testmain.h"

#include <functional>

using namespace LumaraAnalysisData;

Q_DECLARE_METATYPE(std::function<bool(AnalysisResultMgr &)>)
Q_DECLARE_METATYPE(LumaraAnalysisData::PopulationResultInfo)

namespace {

using Setter = std::function<bool(AnalysisResultMgr &)>;

PopulationResultInfo population(quint32 id, quint32 pos = 0)
{
    PopulationResultInfo p;
    p.populationId = id;
    p.posDrpltNum = pos;
    return p;
}

WellResultInfo wellResult(quint32 id, const QVector<PopulationResultInfo> &pops)
{
    WellResultInfo w;
    w.wellId = id;
    w.effDrpltNum = 100 + id;
    for (int c = 0; c < w.chanResults.size(); ++c)
        w.chanResults[c].chanId = quint32(c + 1);
    w.populationResults = pops;
    return w;
}

QList<WellResultInfo> snapshot(AnalysisResultMgr &mgr) { return mgr.getWellResults(); }

} // namespace

class TestAnalysisResultMgr : public QObject {
    Q_OBJECT
private slots:
    void refusedChanges_data();
    void refusedChanges();
    void populationSetters_data();
    void populationSetters();
    void channelSetters_data();
    void channelSetters();
    void removePopulationResult();
    void clearAndRemove();
    void qcThresholds();
};

// Wells 1 {populations 1, 2}, 2 {2}, 3 {1, 2} with two channels, 4 {7}. Population 2 sits
// at position 1 of the first well; population 7 is not in the first well.
static void fill(AnalysisResultMgr &mgr)
{
    mgr.appendWellResult(wellResult(1, {population(1), population(2)}));
    mgr.appendWellResult(wellResult(2, {population(2)}));
    WellResultInfo shortChannels = wellResult(3, {population(1), population(2)});
    shortChannels.chanResults.resize(2); // a stored record with only two channels
    mgr.appendWellResult(shortChannels);
    mgr.appendWellResult(wellResult(4, {population(7)}));
}

void TestAnalysisResultMgr::refusedChanges_data()
{
    QTest::addColumn<bool>("filled");
    QTest::addColumn<Setter>("change");
    QTest::newRow("no wells: population result") << false << Setter([](AnalysisResultMgr &m) {
        return m.setPopulationResult(1, population(1, 5));
    });
    QTest::newRow("no wells: remove population") << false << Setter([](AnalysisResultMgr &m) {
        return m.removePopulationResult(1);
    });
    QTest::newRow("unknown well") << true << Setter([](AnalysisResultMgr &m) {
        return m.setPopulationDilution(9, 1, 2.0);
    });
    QTest::newRow("population only in a later well") << true << Setter([](AnalysisResultMgr &m) {
        return m.setPopulationPosDrpltNum(4, 7, 3);
    });
    QTest::newRow("remove population of a later well") << true << Setter([](AnalysisResultMgr &m) {
        return m.removePopulationResult(7);
    });
    // Well 2 has no entry at population 2's position (1).
    QTest::newRow("well without entry at the position") << true << Setter([](AnalysisResultMgr &m) {
        return m.setPopulationNegDrpltNum(2, 2, 4);
    });
}

void TestAnalysisResultMgr::refusedChanges()
{
    QFETCH(bool, filled);
    QFETCH(Setter, change);
    AnalysisResultMgr mgr;
    if (filled)
        fill(mgr);
    const QList<WellResultInfo> before = snapshot(mgr);
    QVERIFY(!change(mgr));
    QCOMPARE(snapshot(mgr), before);
}

void TestAnalysisResultMgr::populationSetters_data()
{
    QTest::addColumn<Setter>("change");
    QTest::addColumn<PopulationResultInfo>("expected"); // entry 1 of well 3 afterwards
    PopulationResultInfo base = population(2);
    PopulationResultInfo all = base;
    all.dilution = 2.5;
    all.posDrpltNum = 11;
    all.negDrpltNum = 12;
    all.concentration = 1.5;
    all.concentrationLower = 1.25;
    all.concentrationUpper = 1.75;
    all.uncertainty = 0.125;
    QTest::newRow("whole result") << Setter([all](AnalysisResultMgr &m) {
        return m.setPopulationResult(3, all);
    }) << all;
    PopulationResultInfo cctt = base;
    cctt.concentration = 3.0;
    cctt.concentrationLower = 2.0;
    cctt.concentrationUpper = 4.0;
    QTest::newRow("concentration") << Setter([](AnalysisResultMgr &m) {
        return m.setPopulationCcttInfo(3, 2, 3.0, 2.0, 4.0);
    }) << cctt;
    PopulationResultInfo unc = base;
    unc.uncertainty = 0.03;
    QTest::newRow("uncertainty") << Setter([](AnalysisResultMgr &m) {
        return m.setPopulationUncertainty(3, 2, 0.03);
    }) << unc;
}

void TestAnalysisResultMgr::populationSetters()
{
    QFETCH(Setter, change);
    QFETCH(PopulationResultInfo, expected);
    AnalysisResultMgr mgr;
    fill(mgr);
    QVERIFY(change(mgr));
    const WellResultInfo &w = mgr.getWellResult(3);
    QCOMPARE(w.populationResults.at(1), expected);
    QCOMPARE(w.populationResults.at(0), population(1));        // other entry untouched
    QCOMPARE(mgr.getWellResult(1).populationResults.at(1), population(2)); // other well too
}

void TestAnalysisResultMgr::channelSetters_data()
{
    QTest::addColumn<uint>("wellId");
    QTest::addColumn<uint>("channel");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("channel 1 is entry 0") << 1u << 1u << true;
    QTest::newRow("channel 6") << 1u << 6u << true;
    QTest::newRow("channel 0") << 1u << 0u << false;
    QTest::newRow("channel 7") << 1u << 7u << false;
    QTest::newRow("record with two channels, channel 2") << 3u << 2u << true;
    QTest::newRow("record with two channels, channel 3") << 3u << 3u << false;
    QTest::newRow("unknown well") << 9u << 1u << false;
}

void TestAnalysisResultMgr::channelSetters()
{
    QFETCH(uint, wellId);
    QFETCH(uint, channel);
    QFETCH(bool, accepted);
    AnalysisResultMgr mgr;
    fill(mgr);
    const QList<WellResultInfo> before = snapshot(mgr);
    QCOMPARE(mgr.setChanType(wellId, channel, ushort('U')), accepted);
    QCOMPARE(mgr.setChanRefCctt(wellId, channel, 42.5), accepted);
    QCOMPARE(mgr.setChanDilution(wellId, channel, 4.0), accepted);
    if (!accepted) {
        QCOMPARE(snapshot(mgr), before);
        return;
    }
    const ChanResultInfo &c = mgr.getWellResult(wellId).chanResults.at(int(channel) - 1);
    QCOMPARE(c.chanId, channel);
    QCOMPARE(c.chanType, quint16('U'));
    QCOMPARE(c.refConcentration, 42.5);
    QCOMPARE(c.dilution, 4.0);
}

void TestAnalysisResultMgr::removePopulationResult()
{
    AnalysisResultMgr mgr;
    mgr.appendWellResult(wellResult(1, {population(1), population(2), population(3)}));
    mgr.appendWellResult(wellResult(2, {population(1), population(2), population(3)}));
    mgr.appendWellResult(wellResult(3, {population(1)})); // no entry at position 1
    QVERIFY(mgr.removePopulationResult(2));
    const QVector<PopulationResultInfo> expected{population(1), population(3)};
    QCOMPARE(mgr.getWellResult(1).populationResults, expected);
    QCOMPARE(mgr.getWellResult(2).populationResults, expected);
    QCOMPARE(mgr.getWellResult(3).populationResults, QVector<PopulationResultInfo>{population(1)});
    QVERIFY(!mgr.removePopulationResult(2));
}

void TestAnalysisResultMgr::clearAndRemove()
{
    AnalysisResultMgr mgr;
    fill(mgr);
    mgr.clearPopulationResults();
    QCOMPARE(mgr.getWellResults().size(), 4);
    for (const WellResultInfo &w : mgr.getWellResults()) {
        QVERIFY(w.populationResults.isEmpty());
        QCOMPARE(w.effDrpltNum, 100 + w.wellId); // everything else stays
    }
    QVERIFY(mgr.removeWell(2));
    QString text;
    try {
        mgr.getWellResult(2);
    } catch (const char *t) {
        text = QString::fromLatin1(t);
    }
    QCOMPARE(text, QStringLiteral("Well id is invalid!"));
}

void TestAnalysisResultMgr::qcThresholds()
{
    AnalysisResultMgr mgr;
    QCOMPARE(mgr.getQcThresholds(), (QcThresholdInfo{1500, 0.85, 10, 0.1, 0.5, 0.5, 3, 3}));
    const QcThresholdInfo changed{900, 0.7, 4, 0.2, 0.6, 0.4, 2, 5};
    mgr.setQcThresholds(changed);
    QCOMPARE(mgr.getQcThresholds(), changed);
}

LUMARA_TEST_MAIN(TestAnalysisResultMgr)
#include "tst_analysisresultmgr.moc"
