// Expected figures were computed independently (a short Python script of the formulas,
// population standard deviation), not by this library.
#include "classifystatistic.h"
#include "qualityevaluation.h"
#include "quantitativeanalysis.h"
#include "testmain.h"

#include <cmath>
#include <limits>

using U32s = QVector<quint32>;
Q_DECLARE_METATYPE(U32s)

namespace {
const double NaN = std::numeric_limits<double>::quiet_NaN();

bool sameFigure(double a, double b)
{
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) && std::isnan(b);
    if (std::isinf(a) || std::isinf(b))
        return a == b;
    return std::fabs(a - b) <= 1e-12 * std::max(1.0, std::fabs(b));
}
} // namespace

class TestStatistics : public QObject {
    Q_OBJECT
private slots:
    void basicStatistics_data();
    void basicStatistics();
    void dropletQuality_data();
    void dropletQuality();
    void qualityEqualsItsBuildingBlocks();
    void concentration_data();
    void concentration();
    void masks_data();
    void masks();
    void masksAreCompleteAndUnique();
};

void TestStatistics::basicStatistics_data()
{
    QTest::addColumn<U32s>("values");
    QTest::addColumn<double>("mean");
    QTest::addColumn<double>("stdev");
    QTest::addColumn<double>("cv");
    QTest::newRow("empty") << U32s{} << 0.0 << 0.0 << 0.0;
    QTest::newRow("population form") << U32s{2, 4} << 3.0 << 1.0 << 1.0 / 3.0;
    QTest::newRow("all zero gives NaN cv") << U32s{0, 0} << 0.0 << 0.0 << NaN;
    QTest::newRow("single") << U32s{7} << 7.0 << 0.0 << 0.0;
    // Values above 2^31 are unsigned, not negative.
    QTest::newRow("large unsigned") << U32s{4000000000u, 4000000002u} << 4000000001.0 << 1.0
                                    << 1.0 / 4000000001.0;
}

void TestStatistics::basicStatistics()
{
    QFETCH(U32s, values);
    QFETCH(double, mean);
    QFETCH(double, stdev);
    QFETCH(double, cv);
    QVERIFY(sameFigure(QualityEvaluation::calMean(values), mean));
    QVERIFY(sameFigure(QualityEvaluation::calStdev(values), stdev));
    QVERIFY(sameFigure(QualityEvaluation::calCv(values), cv));
}

void TestStatistics::dropletQuality_data()
{
    QTest::addColumn<U32s>("greys");
    QTest::addColumn<quint32>("threshold");
    QTest::addColumn<quint32>("k");
    QTest::addColumn<double>("posMean");
    QTest::addColumn<double>("posCv");
    QTest::addColumn<double>("negMean");
    QTest::addColumn<double>("negCv");
    QTest::addColumn<double>("rs");
    QTest::addColumn<double>("rain");

    QTest::newRow("empty") << U32s{} << 10u << 3u << 0.0 << 0.0 << 0.0 << 0.0 << -1.0 << -1.0;
    // Threshold equality is positive: {10} is the positive class. Both classes have no spread,
    // so the band [5, 10] holds the only negative: no negative is left outside it to divide
    // by, and rain stays undefined.
    QTest::newRow("equal is positive") << U32s{5, 10} << 10u << 3u << 10.0 << 0.0 << 5.0 << 0.0
                                       << -1.0 << -1.0;
    QTest::newRow("all below") << U32s{2, 4} << 100u << 3u << 0.0 << 0.0 << 3.0 << 1.0 / 3.0
                               << -1.0 << -1.0;
    // No negatives: Rs = posMean / posCv = 3 / (1/3) = 9.
    QTest::newRow("all above") << U32s{2, 4} << 1u << 3u << 3.0 << 1.0 / 3.0 << 0.0 << 0.0 << 9.0
                               << -1.0;
    QTest::newRow("all above, equal values") << U32s{5, 5} << 1u << 3u << 5.0 << 0.0 << 0.0 << 0.0
                                             << -1.0 << -1.0;
    // A class of zeros keeps CV 0 (no division by a zero mean). Band [0, 30] holds both
    // negatives, so n_neg drops to 0 and rain stays undefined.
    QTest::newRow("zero class") << U32s{0, 0, 50, 70} << 10u << 3u << 60.0 << 10.0 / 60.0 << 0.0
                                << 0.0 << 360.0 << -1.0;
    // neg {10,20}: mean 15, sd 5 -> lo 20; pos {30,40,50}: mean 40, sd 8.1650 -> hi 31.835.
    // Band [20, 31.835] holds 20 (a negative, on lo exactly) and 30: rain = ln(2/1+1)/ln(5/1).
    QTest::newRow("rain band inclusive") << U32s{10, 20, 30, 40, 50} << 30u << 1u << 40.0
                                         << 0.2041241452319315 << 15.0 << 1.0 / 3.0
                                         << 46.51530771650466 << std::log(3.0) / std::log(5.0);
    // lo 338.6 >= hi 72.8: overlapping classes leave rain at -1.
    QTest::newRow("overlap") << U32s{100, 102, 98, 101, 99, 100, 300, 500, 2000, 2010, 1990, 2005, 1995}
                             << 400u << 3u << 1750.0 << 0.3194595776756544 << 128.57142857142858
                             << 0.5444104297764534 << 1876.9358322912512 << -1.0;
    // Both classes without spread, k = 0: band [100, 1000] holds every negative -> undefined.
    QTest::newRow("every negative in band") << U32s{100, 100, 100, 1000, 1000, 1000} << 1000u << 0u
                                            << 1000.0 << 0.0 << 100.0 << 0.0 << -1.0 << -1.0;
}

void TestStatistics::dropletQuality()
{
    QFETCH(U32s, greys);
    QFETCH(quint32, threshold);
    QFETCH(quint32, k);
    const DrpltQuality q = QualityEvaluation::calDrpltQuality(greys, threshold, k);
    QFETCH(double, posMean);
    QFETCH(double, posCv);
    QFETCH(double, negMean);
    QFETCH(double, negCv);
    QFETCH(double, rs);
    QFETCH(double, rain);
    QVERIFY2(sameFigure(q.posMean, posMean), qPrintable(QString::number(q.posMean, 'g', 17)));
    QVERIFY2(sameFigure(q.posCv, posCv), qPrintable(QString::number(q.posCv, 'g', 17)));
    QVERIFY2(sameFigure(q.negMean, negMean), qPrintable(QString::number(q.negMean, 'g', 17)));
    QVERIFY2(sameFigure(q.negCv, negCv), qPrintable(QString::number(q.negCv, 'g', 17)));
    QVERIFY2(sameFigure(q.Rs, rs), qPrintable(QString::number(q.Rs, 'g', 17)));
    QVERIFY2(sameFigure(q.rain, rain), qPrintable(QString::number(q.rain, 'g', 17)));
}

void TestStatistics::qualityEqualsItsBuildingBlocks()
{
    const U32s greys{10, 20, 30, 40, 50, 22, 27, 31};
    const quint32 t = 30;
    U32s neg, pos;
    for (quint32 v : greys)
        (v < t ? neg : pos).append(v);
    DrpltQuality manual;
    QualityEvaluation::calDrpltValue(neg, manual.negMean, manual.negCv);
    QualityEvaluation::calDrpltValue(pos, manual.posMean, manual.posCv);
    QualityEvaluation::calRainValue(manual, greys, pos, neg, 1, t);
    QualityEvaluation::calRsValue(manual);
    const DrpltQuality q = QualityEvaluation::calDrpltQuality(greys, t, 1);
    QCOMPARE(q.posMean, manual.posMean);
    QCOMPARE(q.posCv, manual.posCv);
    QCOMPARE(q.negMean, manual.negMean);
    QCOMPARE(q.negCv, manual.negCv);
    QCOMPARE(q.Rs, manual.Rs);
    QCOMPARE(q.rain, manual.rain);

    // An empty class leaves the outputs of calDrpltValue untouched.
    double mean = 42.0, cv = 7.0;
    QualityEvaluation::calDrpltValue(U32s{}, mean, cv);
    QCOMPARE(mean, 42.0);
    QCOMPARE(cv, 7.0);
    QualityEvaluation::calDrpltValue(U32s{0, 0}, mean, cv);
    QCOMPARE(mean, 0.0);
    QCOMPARE(cv, 7.0);
}

void TestStatistics::concentration_data()
{
    QTest::addColumn<quint32>("positives");
    QTest::addColumn<quint32>("total");
    QTest::addColumn<quint32>("volume");
    QTest::addColumn<double>("dilution");
    QTest::addColumn<double>("concentration");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::addColumn<double>("uncertainty");
    QTest::newRow("no positives") << 0u << 10000u << 1u << 1.0 << 0.0 << 0.0 << 0.0 << NaN;
    // p = 0.1: -ln(0.9)*1e6; bounds from p -/+ 1.96*sqrt(p(1-p)/N).
    QTest::newRow("1000 of 10000") << 1000u << 10000u << 1u << 1.0 << 105360.51565782628
                                   << 98848.43204260324 << 111915.28462850058
                                   << 0.06201019662970265;
    QTest::newRow("800 pL, dilution 2") << 20u << 1000u << 800u << 2.0 << 50.50676829379867
                                        << 28.468250001214077 << 72.74129426998486
                                        << (72.74129426998486 - 28.468250001214077) / (2 * 50.50676829379867);
    // All positive: sigma 0, ln(0) everywhere -> +inf figures and inf - inf uncertainty.
    QTest::newRow("all positive") << 10u << 10u << 1u << 1.0 << std::numeric_limits<double>::infinity()
                                  << std::numeric_limits<double>::infinity()
                                  << std::numeric_limits<double>::infinity() << NaN;
    QTest::newRow("no droplets") << 0u << 0u << 1u << 1.0 << NaN << NaN << NaN << NaN;
}

void TestStatistics::concentration()
{
    QFETCH(quint32, positives);
    QFETCH(quint32, total);
    QFETCH(quint32, volume);
    QFETCH(double, dilution);
    QFETCH(double, concentration);
    QFETCH(double, lower);
    QFETCH(double, upper);
    QFETCH(double, uncertainty);
    const DropletConcentration c = QuantitativeAnalysis::calConcentration(positives, total, volume, dilution);
    QVERIFY2(sameFigure(c.concentration, concentration), qPrintable(QString::number(c.concentration, 'g', 17)));
    QVERIFY2(sameFigure(c.lower, lower), qPrintable(QString::number(c.lower, 'g', 17)));
    QVERIFY2(sameFigure(c.upper, upper), qPrintable(QString::number(c.upper, 'g', 17)));
    QVERIFY2(sameFigure(QuantitativeAnalysis::relativeUncertainty(c), uncertainty),
             qPrintable(QString::number(QuantitativeAnalysis::relativeUncertainty(c), 'g', 17)));
}

void TestStatistics::masks_data()
{
    QTest::addColumn<quint32>("n");
    QTest::addColumn<int>("k"); // -1: the full list
    QTest::addColumn<U32s>("expected");
    QTest::newRow("full 0") << 0u << -1 << U32s{0};
    QTest::newRow("full 1") << 1u << -1 << U32s{0, 1};
    QTest::newRow("full 2") << 2u << -1 << U32s{0, 1, 2, 3};
    QTest::newRow("full 3") << 3u << -1 << U32s{0, 1, 2, 4, 3, 5, 6, 7};
    QTest::newRow("full 4") << 4u << -1 << U32s{0, 1, 2, 4, 8, 3, 5, 9, 6, 10, 12, 7, 11, 13, 14, 15};
    QTest::newRow("3 of 4 not numeric") << 4u << 3 << U32s{7, 11, 13, 14};
    QTest::newRow("2 of 3") << 3u << 2 << U32s{3, 5, 6};
    QTest::newRow("3 of 3") << 3u << 3 << U32s{7};
    QTest::newRow("0 of 5") << 5u << 0 << U32s{0};
    QTest::newRow("k above n terminates") << 2u << 3 << U32s{};
}

void TestStatistics::masks()
{
    QFETCH(quint32, n);
    QFETCH(int, k);
    QFETCH(U32s, expected);
    const U32s got = k < 0 ? ClassifyStatistic::generateFullPermutationVals(n)
                           : ClassifyStatistic::combinValCal(n, quint32(k));
    QCOMPARE(got, expected);
}

void TestStatistics::masksAreCompleteAndUnique()
{
    for (quint32 n = 0; n <= 6; ++n) {
        const U32s all = ClassifyStatistic::generateFullPermutationVals(n);
        QCOMPARE(all.size(), 1 << n);
        QSet<quint32> seen;
        int lastBits = 0;
        for (quint32 m : all) {
            QVERIFY(m < (1u << n));
            QVERIFY(!seen.contains(m));
            seen.insert(m);
            const int bits = qPopulationCount(m);
            QVERIFY(bits >= lastBits); // grouped by number of set bits
            lastBits = bits;
        }
    }
}

LUMARA_TEST_MAIN(TestStatistics)
#include "tst_statistics.moc"
