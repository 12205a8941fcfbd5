#include "chipoptions.h"
#include "testmain.h"

#include <QStringList>

#include <cmath>

using namespace LumaraSynth;

namespace {

// Applies "name=value" pairs in order; the first refused one is returned in `refused`.
ChipOptions apply(const QStringList &pairs, QString *refused = nullptr)
{
    ChipOptions o;
    for (const QString &p : pairs) {
        const int eq = p.indexOf(QLatin1Char('='));
        std::string error;
        if (!setChipOption(o, p.left(eq).toStdString(), p.mid(eq + 1).toStdString(), &error)) {
            if (refused && refused->isEmpty())
                *refused = QString::fromStdString(error);
        }
    }
    return o;
}

} // namespace

class TestChipOptions : public QObject {
    Q_OBJECT
private slots:
    // Values out of range or malformed are refused and leave the option as it was.
    void refusals_data()
    {
        QTest::addColumn<QString>("pair");
        QTest::newRow("radius beyond 2") << "radius=3";
        QTest::newRow("radius with a suffix") << "radius=1.1x";
        QTest::newRow("radius empty") << "radius=";
        QTest::newRow("bits 12") << "bits=12";
        QTest::newRow("three sets") << "sets=3";
        QTest::newRow("unknown packing") << "packing=hex";
        QTest::newRow("unknown profile") << "profile=ring";
        QTest::newRow("negative noise") << "noise=-0.1";
        QTest::newRow("every site empty") << "empty=1";
        QTest::newRow("negatives below the background") << "negatives=0.5";
        QTest::newRow("narrow image") << "width=10";
        QTest::newRow("unknown volume") << "volume=500";
        QTest::newRow("unknown road") << "recognise-on=ROX";
        QTest::newRow("positives below the negatives") << "positives=0.5";
        QTest::newRow("positives' range reversed") << "positives=4-3";
        QTest::newRow("positives' range open") << "positives=3-";
        QTest::newRow("no background") << "background=0";
        QTest::newRow("positive fraction above one") << "positive-fraction=1.5";
        QTest::newRow("unknown name") << "colour=red";
    }
    void refusals()
    {
        QFETCH(QString, pair);
        QString refused;
        const ChipOptions o = apply({pair}, &refused);
        QVERIFY(!refused.isEmpty());
        QVERIFY2(refused.contains(pair.left(pair.indexOf(QLatin1Char('=')))), qPrintable(refused));
        const ChipOptions fresh;
        QCOMPARE(o.radiusScale, fresh.radiusScale);
        QCOMPARE(o.bits, fresh.bits);
        QCOMPARE(o.sets, fresh.sets);
        QCOMPARE(int(o.packing), int(fresh.packing));
        QCOMPARE(int(o.profile), int(fresh.profile));
        QCOMPARE(o.noise, fresh.noise);
        QCOMPARE(o.width, fresh.width);
        QCOMPARE(o.reference, fresh.reference);
        QCOMPARE(o.background, fresh.background);
        QCOMPARE(o.positivesLow, fresh.positivesLow);
        QCOMPARE(o.positivesHigh, fresh.positivesHigh);
        QCOMPARE(o.positiveFraction, fresh.positiveFraction);
    }

    // The levels the options draw: negatives over the background, positives over the
    // negatives (a range drawn per droplet), and the share of positives, in any order.
    void levels_data()
    {
        QTest::addColumn<QStringList>("pairs");
        QTest::addColumn<double>("background");
        QTest::addColumn<double>("negative");
        QTest::addColumn<double>("positiveLow");  // lowest and highest positive level allowed
        QTest::addColumn<double>("positiveHigh");
        QTest::addColumn<double>("fraction");
        const ChipPlan p = planFor(Volume::Pl300, 64, 64, 1);
        const double s = p.greySpread;
        QTest::newRow("plan's own") << QStringList{} << p.background << p.negativeGrey
                                    << p.positiveGrey * (1 - s) << p.positiveGrey * (1 + s) << -1.0;
        QTest::newRow("background, negatives, a range of positives")
            << QStringList{"background=2000", "negatives=3", "positives=3-4", "positive-fraction=0.3"} << 2000.0
            << 6000.0 << 18000.0 << 24000.0 << 0.3;
        QTest::newRow("the same, the other way round")
            << QStringList{"positive-fraction=0.3", "positives=3-4", "negatives=3", "background=2000"} << 2000.0
            << 6000.0 << 18000.0 << 24000.0 << 0.3;
        QTest::newRow("one factor keeps the common spread")
            << QStringList{"positives=4", "positive-fraction=0.5"} << p.background << p.negativeGrey
            << 4 * p.negativeGrey * (1 - s) << 4 * p.negativeGrey * (1 + s) << 0.5;
        QTest::newRow("a tenth positive") << QStringList{"positive-fraction=0.1"} << p.background << p.negativeGrey
                                          << p.positiveGrey * (1 - s) << p.positiveGrey * (1 + s) << 0.1;
    }
    void levels()
    {
        QFETCH(QStringList, pairs);
        QFETCH(double, background);
        QFETCH(double, negative);
        QFETCH(double, positiveLow);
        QFETCH(double, positiveHigh);
        QFETCH(double, fraction);
        QString refused;
        const ChipPlan plan = chipPlanOf(apply(QStringList{"volume=300", "width=256", "height=256"} + pairs, &refused));
        QVERIFY2(refused.isEmpty(), qPrintable(refused));
        QCOMPARE(plan.background, background);
        QVERIFY(std::abs(plan.negativeGrey - negative) < 1e-9);
        const Chip chip = makeChip(plan);
        QVERIFY(chip.droplets.size() > 250);
        const double tolerance = 1e-6 * positiveHigh;
        double lowest = 1e18, highest = 0.0;
        int positives = 0;
        for (const Droplet &d : chip.droplets) {
            for (int c = 0; c < ChannelCount; ++c) {
                if (c == ReferenceChannel || !d.positive[size_t(c)])
                    continue;
                lowest = std::min(lowest, d.pureGrey[size_t(c)]);
                highest = std::max(highest, d.pureGrey[size_t(c)]);
            }
            positives += d.positive[0];
        }
        QVERIFY2(lowest >= positiveLow - tolerance && highest <= positiveHigh + tolerance,
                 qPrintable(QStringLiteral("%1 to %2").arg(lowest).arg(highest)));
        // The draws fill the range, not a part of it.
        QVERIFY(lowest < positiveLow + 0.1 * (positiveHigh - positiveLow));
        QVERIFY(highest > positiveHigh - 0.1 * (positiveHigh - positiveLow));
        if (fraction >= 0.0) {
            const double share = double(positives) / double(chip.droplets.size());
            QVERIFY2(std::abs(share - fraction) < 0.05, qPrintable(QString::number(share)));
            for (const Droplet &d : chip.droplets)
                QVERIFY(d.positive[ReferenceChannel]);
        }
    }

    // The plan the options give: shares and factors of the volume's own levels and geometry,
    // whatever order the options come in.
    void plans_data()
    {
        QTest::addColumn<QStringList>("pairs");
        QTest::addColumn<double>("radius");
        QTest::addColumn<double>("pitch");
        QTest::addColumn<double>("negative");
        QTest::addColumn<double>("readNoise");
        QTest::addColumn<double>("shotGain");
        QTest::addColumn<int>("bits");
        QTest::addColumn<bool>("reference");
        const ChipPlan p300 = planFor(Volume::Pl300, 64, 64, 1), p800 = planFor(Volume::Pl800, 64, 64, 1);
        const double bg = p800.background;
        QTest::newRow("defaults") << QStringList{} << p800.geometry.radius << p800.geometry.pitch
                                  << p800.negativeGrey << p800.readNoise << p800.shotGain << 16 << true;
        QTest::newRow("noise before negatives")
            << QStringList{"noise=0.05", "negatives=2"} << p800.geometry.radius << p800.geometry.pitch << 2 * bg
            << 0.05 * 2 * bg << 0.0 << 16 << true;
        QTest::newRow("negatives before noise")
            << QStringList{"negatives=2", "noise=0.05"} << p800.geometry.radius << p800.geometry.pitch << 2 * bg
            << 0.05 * 2 * bg << 0.0 << 16 << true;
        QTest::newRow("300 pl a tenth larger, 8-bit, classes' road")
            << QStringList{"volume=300", "radius=1.1", "bits=8", "recognise-on=classes"}
            << 1.1 * p300.geometry.radius << 1.1 * p300.geometry.pitch << p300.negativeGrey << p300.readNoise
            << p300.shotGain << 8 << false;
        QTest::newRow("named volume, smaller")
            << QStringList{"volume=300pl", "radius=0.8"} << 0.8 * p300.geometry.radius
            << 0.8 * p300.geometry.pitch << p300.negativeGrey << p300.readNoise << p300.shotGain << 16 << true;
    }
    void plans()
    {
        QFETCH(QStringList, pairs);
        QFETCH(double, radius);
        QFETCH(double, pitch);
        QFETCH(double, negative);
        QFETCH(double, readNoise);
        QFETCH(double, shotGain);
        QFETCH(int, bits);
        QFETCH(bool, reference);
        QString refused;
        const ChipPlan plan = chipPlanOf(apply(pairs, &refused));
        QVERIFY2(refused.isEmpty(), qPrintable(refused));
        QVERIFY(std::abs(plan.geometry.radius - radius) < 1e-9);
        QVERIFY(std::abs(plan.geometry.pitch - pitch) < 1e-9);
        QVERIFY(std::abs(plan.negativeGrey - negative) < 1e-9);
        QVERIFY(std::abs(plan.readNoise - readNoise) < 1e-9);
        QCOMPARE(plan.shotGain, shotGain);
        QCOMPARE(plan.bitDepth, bits);
        QCOMPARE(plan.channelPresent[ReferenceChannel], reference);
    }

    // The chip the options draw: the appearance asked for shows in its images.
    void chips_data()
    {
        QTest::addColumn<QStringList>("pairs");
        QTest::addColumn<int>("depth");
        QTest::addColumn<bool>("reference");
        QTest::addColumn<double>("emptyShare"); // of the lattice's sites, roughly
        QTest::newRow("8-bit") << QStringList{"bits=8"} << int(CV_8U) << true << 0.0;
        QTest::newRow("classes' road has no reference image") << QStringList{"recognise-on=classes"} << int(CV_16U)
                                                             << false << 0.0;
        QTest::newRow("a fifth of the sites empty") << QStringList{"empty=0.2"} << int(CV_16U) << true << 0.2;
        QTest::newRow("gaps: the plain lattice") << QStringList{"packing=gaps"} << int(CV_16U) << true << 0.0;
    }
    void chips()
    {
        QFETCH(QStringList, pairs);
        QFETCH(int, depth);
        QFETCH(bool, reference);
        QFETCH(double, emptyShare);
        const ChipOptions o = apply(QStringList{"width=256", "height=256", "seed=7"} + pairs);
        const Chip chip = makeChip(chipPlanOf(o));
        const Chip full = makeChip(chipPlanOf(apply({"width=256", "height=256", "seed=7"})));
        QCOMPARE(chip.images[ReferenceChannel].empty(), !reference);
        for (int c = 0; c < ChannelCount; ++c) {
            if (c != ReferenceChannel)
                QCOMPARE(chip.images[size_t(c)].depth(), depth);
        }
        const double share = 1.0 - double(chip.droplets.size()) / double(full.droplets.size());
        QVERIFY2(std::abs(share - emptyShare) < 0.06, qPrintable(QString::number(share)));
    }

    // Two sets are the chip's halves, top to bottom, together the whole image.
    void imageSets_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("sets");
        QTest::newRow("one set") << 128 << 1;
        QTest::newRow("two sets") << 128 << 2;
        QTest::newRow("two sets of an odd height") << 129 << 2;
    }
    void imageSets()
    {
        QFETCH(int, height);
        QFETCH(int, sets);
        const Chip chip = makeChip(chipPlanOf(apply({"width=96", QStringLiteral("height=%1").arg(height),
                                                     "recognise-on=classes"})));
        const auto blocks = LumaraSynth::imageSets(chip, sets);
        QCOMPARE(int(blocks.size()), sets);
        const int rows = height / sets;
        for (int c = 0; c < ChannelCount; ++c) {
            for (int k = 0; k < sets; ++k) {
                const cv::Mat &b = blocks[size_t(k)][size_t(c)];
                QCOMPARE(b.empty(), chip.images[size_t(c)].empty());
                if (b.empty())
                    continue;
                QCOMPARE(b.rows, rows);
                QCOMPARE(b.cols, chip.width);
                QVERIFY(b.data != chip.images[size_t(c)].ptr(k * rows)); // a copy, not a view of the chip
                QCOMPARE(cv::norm(b, chip.images[size_t(c)].rowRange(k * rows, (k + 1) * rows), cv::NORM_INF), 0.0);
            }
        }
    }
};

LUMARA_TEST_MAIN(TestChipOptions)
#include "tst_chipoptions.moc"
