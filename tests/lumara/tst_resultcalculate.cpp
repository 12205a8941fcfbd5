// Concentrations with bounds, relative uncertainty, the uncertainty curve, ratios, copies,
// dilution look-ups and the stored population results, on seeded documents. Expected
// figures come from tests/lumara/figures/result_figures.py (formulas only, no program code).
#include "bll/bllinstance.h"
#include "bll/populationsmgr.h"
#include "bll/resultcalculate.h"
#include "model/analysisdatamgr.h"
#include "model/analysisresultmgr.h"
#include "model/drpltclassifymgr.h"
#include "pcranalysisdocument.h"
#include "seeddocument.h"
#include "testmain.h"

#include <cmath>
#include <limits>

using namespace LumaraAnalysisData;
using BllTest::DocumentSeed;

namespace {

const double Inf = std::numeric_limits<double>::infinity();
const double NaN = std::numeric_limits<double>::quiet_NaN();

ResultCalculate *calc()
{
    return BLLInstance::getInstance()->getResultCalculate();
}

AnalysisResultMgr *results()
{
    return PcrAnalysisDocument::getInstance()->getAnalysisDataMgr()->getAnalysisRetMgr();
}

// Wells 1 (800 pL), 2 (600 pL) and 3 (no volume stored) on channels {2}, {5, 2} and {3}.
DocumentSeed volumeSeed()
{
    DocumentSeed seed;
    seed.targets = BllTest::namedTargets({2, 3, 5});
    seed.wells = {BllTest::well(1, "A1", {2}), BllTest::well(2, "A2", {5, 2}), BllTest::well(3, "A3", {3})};
    seed.wells[1].volume = 600;
    seed.wells[2].volume = 0;
    return seed;
}

PopulationResultInfo stored(uint wellId, uint populationId)
{
    for (const PopulationResultInfo &r : calc()->getPopulationResults(wellId))
        if (r.populationId == populationId)
            return r;
    return PopulationResultInfo();
}

} // namespace

class TestResultCalculate : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void concentration_data();
    void concentration();
    void relativeUncertainty_data();
    void relativeUncertainty();
    void curve_data();
    void curve();
    void ratioBounds_data();
    void ratioBounds();
    void copiesAndRatio();
    void dilutionLookups();
    void populationResults_data();
    void populationResults();
    void lineModeResultsAndStoredCurve();
    void failedSettersAreLogged();
};

void TestResultCalculate::initTestCase()
{
    BLLInstance::createSingletons();
}

void TestResultCalculate::init()
{
    QVERIFY(BllTest::seedDocument(volumeSeed()));
}

void TestResultCalculate::concentration_data()
{
    QTest::addColumn<double>("total");
    QTest::addColumn<double>("positive");
    QTest::addColumn<double>("dilution");
    QTest::addColumn<uint>("wellId");
    QTest::addColumn<double>("c");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    // C = -ln(1 - p) 1e6 d / V, bounds at p -/+ 1.96 sqrt(p (1 - p) / N).
    QTest::newRow("1 of 20000: lower < 0") << 20000.0 << 1.0 << 1.0 << 1u << 0.06250156255207841
                                            << -0.05999549765485084 << 0.18501062835934534;
    QTest::newRow("10 %") << 20000.0 << 2000.0 << 1.0 << 1u << 131.70064457228284 << 125.93923714161657
                          << 137.48873006541262;
    QTest::newRow("no dilution counts as 1") << 20000.0 << 2000.0 << -1.0 << 1u << 131.70064457228284
                                             << 125.93923714161657 << 137.48873006541262;
    QTest::newRow("dilution 2") << 20000.0 << 2000.0 << 2.0 << 1u << 263.4012891445657 << 251.87847428323315
                                << 274.97746013082525;
    QTest::newRow("600 pL") << 20000.0 << 2000.0 << 1.0 << 2u << 175.60085942971048 << 167.91898285548876
                            << 183.31830675388352;
    // No volume stored, or no such well: 800 pL.
    QTest::newRow("volume 0") << 20000.0 << 2000.0 << 1.0 << 3u << 131.70064457228284 << 125.93923714161657
                              << 137.48873006541262;
    QTest::newRow("unknown well") << 20000.0 << 2000.0 << 1.0 << 99u << 131.70064457228284 << 125.93923714161657
                                  << 137.48873006541262;
    QTest::newRow("all positive") << 20000.0 << 20000.0 << 1.0 << 1u << Inf << Inf << Inf;
    QTest::newRow("no droplets") << 0.0 << 0.0 << 1.0 << 1u << 0.0 << 0.0 << 0.0;
}

void TestResultCalculate::concentration()
{
    QFETCH(double, total);
    QFETCH(double, positive);
    QFETCH(double, dilution);
    QFETCH(uint, wellId);
    const DropletConcentration r = calc()->poissonConcentration(total, positive, dilution, wellId);
    QTEST(r.concentration, "c");
    QTEST(r.lower, "lower");
    QTEST(r.upper, "upper");
}

void TestResultCalculate::relativeUncertainty_data()
{
    QTest::addColumn<double>("k");
    QTest::addColumn<double>("N");
    QTest::addColumn<double>("dilution");
    QTest::addColumn<double>("expected");
    // q = 1 - k/N, s = 1.96 sqrt(q p / N): -1 exactly when q - s < 0.
    QTest::newRow("7 of 10: q - s = 0.016") << 7.0 << 10.0 << 1.0 << 1.4947612159421666;
    QTest::newRow("8 of 10: q - s = -0.048") << 8.0 << 10.0 << 1.0 << -1.0;
    // (ln(q - s) - ln(q + s)) / (2 ln q): the dilution cancels.
    QTest::newRow("2000 of 20000, dilution 3") << 2000.0 << 20000.0 << 3.0 << 0.043847518595314765;
}

void TestResultCalculate::relativeUncertainty()
{
    QFETCH(double, k);
    QFETCH(double, N);
    QFETCH(double, dilution);
    QTEST(ResultCalculate::relativeUncertainty(k, 8e-4, N, dilution), "expected");
}

void TestResultCalculate::curve_data()
{
    QTest::addColumn<uint>("N");
    QTest::addColumn<uint>("k");
    QTest::addColumn<double>("dilution");
    QTest::addColumn<double>("detection");
    QTest::addColumn<double>("upper");
    QTest::addColumn<double>("atRef");
    QTest::addColumn<double>("uncertaintyAtRef");
    QTest::addColumn<double>("uncertaintyAt");
    QTest::addColumn<int>("points");
    QTest::addColumn<QPointF>("last");
    // V = 8e-4 uL. Limits 3 / (N V) and 8.5 / V = 10625. k0 = round(0.797 N) half up; the
    // reference point is -ln(1 - k0 / N) / V. Points: the k in 1..N-1 with q - s >= 0.
    // k0 = 797; the last point (k = 996) stays below 10625.
    QTest::newRow("N 1000") << 1000u << 100u << 1.0 << 3.75 << 10625.0 << 1993.1866249254372 << 7.741000340568038
                            << 19.61185766447301 << 996 << QPointF(6901.826147327806, 40.75505345165477);
    QTest::newRow("N 1000, no dilution") << 1000u << 100u << -1.0 << 3.75 << 10625.0 << 1993.1866249254372
                                         << 7.741000340568038 << 19.61185766447301 << 996
                                         << QPointF(6901.826147327806, 40.75505345165477);
    // k0 = 15940; the last point (k = 19996) passes 10625: the upper limit becomes its x + 1.
    QTest::newRow("N 20000") << 20000u << 2000u << 1.0 << 0.1875 << 10647.491489270435 << 1993.1866249254372
                             << 1.7226358089965539 << 4.384751859531411 << 19996
                             << QPointF(10646.491489270435, 26.946565437844523);
    // At the measured count the well's own figure, 100 (upper - lower) / (2 C): none without
    // positives, none one droplet short of saturation (p + s > 1), whatever the curve holds.
    const struct {
        const char *name;
        uint k;
        double uncertaintyAt;
    } edges[] = {{"N 20000, no positives", 0, NaN},
                 {"N 20000, saturation - 1", 19999, NaN},
                 {"N 20000, 50 %", 10000, 1.9996013496972067}};
    for (const auto &edge : edges)
        QTest::newRow(edge.name) << 20000u << edge.k << 1.0 << 0.1875 << 10647.491489270435 << 1993.1866249254372
                                 << 1.7226358089965539 << edge.uncertaintyAt << 19996
                                 << QPointF(10646.491489270435, 26.946565437844523);
    // 0.797 N = 398.5 and 1992.5 exactly: k0 = 399 and 1993, not the even 398 and 1992.
    QTest::newRow("N 500") << 500u << 50u << 1.0 << 7.5 << 10625.0 << 1999.3594769761653 << 11.004462005205433
                           << 27.739303791993635 << 496 << QPointF(6035.3921716278755, 45.70770115905243);
    QTest::newRow("N 2500") << 2500u << 250u << 1.0 << 1.5 << 10625.0 << 1994.4187590813863 << 4.880970083957583
                            << 12.402568760362866 << 2496 << QPointF(8047.189562170465, 35.38702340952814);
    // k0 = 1 = N: the reference point is infinite, its uncertainty NaN; no points.
    QTest::newRow("N 1") << 1u << 0u << 1.0 << 3750.0 << 10625.0 << Inf << NaN << NaN << 0 << QPointF();
    QTest::newRow("N 0") << 0u << 0u << 1.0 << Inf << 10625.0 << 0.0 << 0.0 << NaN << 0 << QPointF();
}

void TestResultCalculate::curve()
{
    QFETCH(uint, N);
    QFETCH(uint, k);
    QFETCH(double, dilution);
    QFETCH(int, points);
    QFETCH(QPointF, last);
    const UncertainlyCurveInfo info = calc()->uncertaintyCurve(N, k, dilution, 1);
    QCOMPARE(info.concentration, calc()->poissonConcentration(N, k, 1.0, 1).concentration);
    QTEST(info.detectionLimit, "detection");
    QTEST(info.upperConcentration, "upper");
    QTEST(info.concentrationAtRef, "atRef");
    QTEST(info.uncertaintyAtRef, "uncertaintyAtRef");
    QTEST(info.uncertaintyAtConcentration, "uncertaintyAt");
    QCOMPARE(info.curve.size(), points);
    if (points > 0) {
        QCOMPARE(info.curve.last().x(), last.x());
        QCOMPARE(info.curve.last().y(), last.y());
        for (int i = 1; i < info.curve.size(); ++i)
            QVERIFY(info.curve.at(i).x() > info.curve.at(i - 1).x());
    }
}

void TestResultCalculate::ratioBounds_data()
{
    QTest::addColumn<QVector<double>>("a");
    QTest::addColumn<QVector<double>>("b");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    // lower = (A0 B0 - sqrt(A0^2 B0^2 - (A0^2 - (A0 - A1)^2)(B0^2 - (B2 - B0)^2))) / (B0^2 - (B2 - B0)^2),
    // upper likewise with A2 - A0 and B0 - B1. A divisor at or below 0 (the denominator's
    // interval reaches 0) leaves that bound unbounded.
    QTest::newRow("symmetric") << QVector<double>{100, 90, 110} << QVector<double>{50, 45, 55} << 1.735217454956245
                               << 2.3051865854477955;
    QTest::newRow("asymmetric") << QVector<double>{100, 80, 130} << QVector<double>{50, 40, 65}
                                << 1.4164224688074207 << 2.8240162014429657;
    QTest::newRow("zero estimate, bounds 1 and 3") << QVector<double>{100, 90, 110} << QVector<double>{0, 1, 3}
                                                   << -Inf << Inf;
    // B0 = 0 with a bound 0: nothing written (the -7 stay).
    QTest::newRow("zero estimate, bound 0") << QVector<double>{100, 90, 110} << QVector<double>{0, 0, 3} << -7.0
                                            << -7.0;
    // 50 % of 20000 droplets of 800 pL over k of 20000, as poissonConcentration gives them.
    const QVector<double> half{866.4339756999316, 849.2288117586794, 883.8792627033414};
    QTest::newRow("over 0 of 20000") << half << QVector<double>{-0.0, -0.0, -0.0} << -7.0 << -7.0;
    QTest::newRow("over 1 of 20000")
        << half << QVector<double>{0.06250156255207841, -0.05999549765485084, 0.18501062835934534} << -Inf << Inf;
    QTest::newRow("over 2 of 20000")
        << half << QVector<double>{0.12500625041668414, -0.048231568590411576, 0.2982680818252506} << -Inf << Inf;
    QTest::newRow("over 3 of 20000")
        << half << QVector<double>{0.18751406390638756, -0.024660066864507935, 0.3997242150808626} << -Inf << Inf;
    QTest::newRow("over 10 of 20000") << half
                                      << QVector<double>{0.6251563021028036, 0.23774045026677323, 1.0126922639997706}
                                      << 855.1340655952188 << 3644.90658541473;
    QTest::newRow("over 100 of 20000") << half << QVector<double>{6.265677279430358, 5.038206118492983, 7.494354973613339}
                                       << 115.47285667911754 << 172.11543183221892;
    QTest::newRow("50 of 100 over 3 of 100")
        << QVector<double>{866.4339756999316, 642.7056562893816, 1139.128987953895}
        << QVector<double>{38.07400935588572, -4.286511088301443, 81.92056741242575} << -Inf << Inf;
}

void TestResultCalculate::ratioBounds()
{
    QFETCH(QVector<double>, a);
    QFETCH(QVector<double>, b);
    double lower = -7, upper = -7;
    ResultCalculate::calRatioBounds(a.constData(), b.constData(), &lower, &upper);
    QTEST(lower, "lower");
    QTEST(upper, "upper");
    // A written interval holds its estimate.
    if (b[0] != 0)
        QVERIFY2(lower <= a[0] / b[0] && a[0] / b[0] <= upper, qPrintable(QStringLiteral("%1 %2").arg(lower).arg(upper)));
}

void TestResultCalculate::copiesAndRatio()
{
    QCOMPARE(ResultCalculate::calRatio(5, 0), -1.0);
    QCOMPARE(ResultCalculate::calRatio(5, 4), 1.25);
    // Copies in the droplets: n b a / 1e6 with the concentration of 3000 of 20000 droplets of
    // 800 pL is -ln(1 - 0.15) * 20000.
    const double c = calc()->poissonConcentration(20000, 3000, 1, 1).concentration;
    QCOMPARE(ResultCalculate::calCopies(c, 800, 20000), 3250.3785899554987);
}

void TestResultCalculate::dilutionLookups()
{
    // Used channels of wells {2}, {5, 2}, {3}: 2, 3, 5.
    QCOMPARE(calc()->getUsedChannel(1), 2u);
    QCOMPARE(calc()->getUsedChannel(3), 5u);
    QCOMPARE(calc()->getUsedChannel(0), 0u);
    QCOMPARE(calc()->getUsedChannel(4), 0u);
    QVERIFY(results()->setChanDilution(2, 3, 4.5));
    QCOMPARE(calc()->getChannelDilution(2, 2), 4.5); // population 2 stands for channel 3
    QCOMPARE(calc()->getChannelDilution(4, 2), -1.0);
    QCOMPARE(calc()->getChannelDilution(2, 99), -1.0);

    // The seed's line populations (channels 2, 3, 5) start at dilution 1 in every well.
    QCOMPARE(calc()->getCommonPopulationDilution(1), 1.0);
    for (uint p = 1; p <= 3; ++p)
        results()->setPopulationDilution(1, p, 2);
    QCOMPARE(calc()->getCommonPopulationDilution(1), 2.0);
    results()->setPopulationDilution(1, 3, 3);
    QCOMPARE(calc()->getCommonPopulationDilution(1), -1.0);
    results()->setPopulationDilution(2, 1, NaN);
    QCOMPARE(calc()->getCommonPopulationDilution(2), -1.0);
    QCOMPARE(calc()->getCommonPopulationDilution(99), -1.0);
}

void TestResultCalculate::populationResults_data()
{
    QTest::addColumn<uint>("wellId");
    QTest::addColumn<int>("population");
    QTest::addColumn<double>("dilution");
    QTest::addColumn<uint>("pos");
    QTest::addColumn<uint>("neg");
    QTest::addColumn<double>("c");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::addColumn<double>("u");
    // Zone counts z0..z5 = 120, 30, 10, 100, 5, 19990. A: flag off on z0, z1; B: flag on with
    // z2 (pos), z3 (neg), z4 (both); C: no zones; D: flag off on z0 and the overlapping z5.
    // Well 1: 20000 droplets, 800 pL, dilutions all 1.
    QTest::newRow("off: 150 of 20000") << 1u << 0 << 1.0 << 150u << 19850u << 9.410333025989406 << 7.905268991330978
                                       << 10.917211419647213 << 0.16003378520174946;
    QTest::newRow("on: 15 of 15 + 105") << 1u << 1 << 1.0 << 15u << 105u << 166.91424078065327 << 85.11687846960479
                                        << 254.44138186210003 << 0.5072200628315752;
    QTest::newRow("no zones") << 1u << 2 << 1.0 << 0u << 20000u << 0.0 << 0.0 << 0.0 << NaN;
    // 20110 positives of 20000: no negatives instead of a wrapped count; p > 1 gives NaN.
    QTest::newRow("overlap") << 1u << 3 << 1.0 << 20110u << 0u << NaN << NaN << NaN << NaN;
    // Well 2: 1000 droplets, 600 pL, every population at dilution 2 before the run.
    QTest::newRow("600 pL, dilution 2") << 2u << 0 << 2.0 << 150u << 850u << 541.7297649925832 << 456.0501511882324
                                        << 629.6699098296584 << 0.1602457256929597;
    QTest::newRow("600 pL, dilution 2, on") << 2u << 1 << 2.0 << 15u << 105u << 445.10464208174204
                                            << 226.97834258561275 << 678.5103516322667 << 0.5072200628315753;
    // Well 3: dilutions differed, so -1 is stored and the figures are those of dilution 1.
    QTest::newRow("dilutions differ") << 3u << 0 << -1.0 << 150u << 19850u << 9.410333025989406
                                      << 7.905268991330978 << 10.917211419647213 << 0.16003378520174946;
}

void TestResultCalculate::populationResults()
{
    QFETCH(uint, wellId);
    QFETCH(int, population);
    DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2});
    seed.wells = {BllTest::well(1, "A1", {1, 2}), BllTest::well(2, "A2", {1, 2}), BllTest::well(3, "A3", {1, 2})};
    seed.wells[1].volume = 600;
    seed.mode = PolygonThreshold;
    seed.plots2D = {{"x_y", {1, 2}}};
    for (int z = 0; z < 6; ++z)
        seed.zones.append(BllTest::ZoneSeed{0, QPolygonF(), {}});
    seed.populations = {
        {"A", "#111111", false, {{0, PositiveZone}, {1, PositiveZone}}},
        {"B", "#222222", true, {{2, PositiveZone}, {3, NegativeZone}, {4, PositiveAndNegativeZone}}},
        {"C", "#333333", false, {}},
        {"D", "#444444", false, {{0, PositiveZone}, {5, PositiveZone}}},
    };
    BllTest::SeededIds ids;
    QVERIFY(BllTest::seedDocument(seed, &ids));
    const uint counts[] = {120, 30, 10, 100, 5, 19990};
    PopulationsMgr *populations = BLLInstance::getInstance()->getPopulationsMgr();
    for (uint w = 1; w <= 3; ++w)
        for (int z = 0; z < 6; ++z)
            populations->setDrpltNumByPolygon(w, ids.zones.at(z), counts[z]);
    QVERIFY(results()->setEffDrpltNum(1, 20000));
    QVERIFY(results()->setEffDrpltNum(2, 1000));
    QVERIFY(results()->setEffDrpltNum(3, 20000));
    for (uint p : ids.populations)
        results()->setPopulationDilution(2, p, 2);
    results()->setPopulationDilution(3, ids.populations.at(1), 3);

    calc()->updatePopulationResults();
    const PopulationResultInfo r = stored(wellId, ids.populations.at(population));
    QTEST(r.dilution, "dilution");
    QTEST(r.posDrpltNum, "pos");
    QTEST(r.negDrpltNum, "neg");
    QTEST(r.concentration, "c");
    QTEST(r.concentrationLower, "lower");
    QTEST(r.concentrationUpper, "upper");
    QTEST(r.uncertainty, "u");

    // The uncertainty view's curve of the stored population: over its positives plus
    // negatives, with the stored figures at the estimate (the table's).
    const UncertainlyCurveInfo info = calc()->uncertaintyCurveOfPopulation(wellId, ids.populations.at(population));
    const auto same = [](double a, double b) { return std::isfinite(a) || std::isfinite(b) ? a == b : true; };
    QVERIFY2(same(info.concentration, r.concentration), qPrintable(QString::number(info.concentration)));
    QVERIFY2(same(info.uncertaintyAtConcentration, 100 * r.uncertainty),
             qPrintable(QString::number(info.uncertaintyAtConcentration)));
    const double N = r.posDrpltNum + r.negDrpltNum;
    QCOMPARE(info.detectionLimit, 3 / (N * (wellId == 2 ? 600e-6 : 800e-6)));
}

// Line mode: each population takes its channel's dilution; the stored curve is that of the
// stored counts.
void TestResultCalculate::lineModeResultsAndStoredCurve()
{
    DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2});
    BllTest::WellSeed w = BllTest::well(1, "A1", {1, 2});
    // Channel 1 at or above 100 for i < 6, channel 2 for every fourth droplet; droplet 0
    // excluded: 5 and 4 positives of 19.
    for (uint i = 0; i < 20; ++i)
        w.droplets.append(BllTest::droplet(BllTest::Greys{{i < 6 ? 100u : 50u, i % 4 == 0 ? 150u : 99u}}));
    w.excluded = {0};
    w.lineThresholds = BllTest::Greys{{100, 100}};
    seed.wells = {w};
    QVERIFY(BllTest::seedDocument(seed));
    QVERIFY(results()->setChanDilution(1, 1, 2));
    QVERIFY(results()->setChanDilution(1, 2, -1));
    QVERIFY(QMetaObject::invokeMethod(BLLInstance::getInstance(), "reCalculateZonesDroplets"));

    calc()->updatePopulationResults();
    const PopulationResultInfo one = stored(1, 1);
    QCOMPARE(one.dilution, 2.0);
    QCOMPARE(one.posDrpltNum, 5u);
    QCOMPARE(one.negDrpltNum, 14u);
    QCOMPARE(one.concentration, 763.4541238779544);
    QCOMPARE(one.uncertainty, 0.9020969781303901);
    const PopulationResultInfo two = stored(1, 2);
    QCOMPARE(two.dilution, -1.0); // stored as given, computed as 1
    QCOMPARE(two.posDrpltNum, 4u);
    QCOMPARE(two.negDrpltNum, 15u);
    QCOMPARE(two.concentration, 295.485972580288);
    QCOMPARE(two.concentrationLower, 34.483714521129606);
    QCOMPARE(two.concentrationUpper, 625.7697055343692);

    // N = 19, dilution 2, k0 = round(15.143) = 15: -ln(4/19) 2 / V; 15 points.
    const UncertainlyCurveInfo info = calc()->uncertaintyCurveOfPopulation(1, 1);
    QCOMPARE(info.concentration, 763.4541238779544);
    QCOMPARE(info.detectionLimit, 197.3684210526316);
    QCOMPARE(info.concentrationAtRef, 3895.3615451163746);
    QCOMPARE(info.uncertaintyAtConcentration, 90.20969781303901);
    QCOMPARE(info.curve.size(), 15);
    QCOMPARE(calc()->uncertaintyCurveOfPopulation(1, 7).concentration, 0.0);
}

// A well of the configuration without a result record: every setter fails and says so.
void TestResultCalculate::failedSettersAreLogged()
{
    QVERIFY(results()->removeWell(3));
    for (int population = 0; population < 3; ++population) {
        QTest::ignoreMessage(QtDebugMsg, "set populationdilution error!");
        QTest::ignoreMessage(QtDebugMsg, "set population ccttInfo error!");
        QTest::ignoreMessage(QtDebugMsg, "set population posDrplet error!");
        QTest::ignoreMessage(QtDebugMsg, "set population negDroplet error!");
        QTest::ignoreMessage(QtDebugMsg, "set population uncertain error!");
    }
    calc()->updatePopulationResults();
    // The other wells are stored: well 1 has no droplets, so 0 of 0.
    QCOMPARE(stored(1, 1).negDrpltNum, 0u);
    QVERIFY(std::isnan(stored(1, 1).uncertainty));
}

LUMARA_TEST_MAIN(TestResultCalculate)
#include "tst_resultcalculate.moc"
