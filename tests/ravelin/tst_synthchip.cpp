// The synthetic chips every image test stands on: what they promise about their truth.
#include "cutouts.h"
#include "synthchip.h"
#include "testmain.h"

#include <cmath>

using namespace LumaraSynth;

Q_DECLARE_METATYPE(LumaraSynth::Volume)

class TestSynthChip : public QObject {
    Q_OBJECT
private slots:
    void deterministic()
    {
        ChipPlan plan = planFor(Volume::Pl600, 200, 160, 77);
        plan.debrisCount = 3;
        plan.hazeCount = 1;
        const Chip a = makeChip(plan), b = makeChip(plan);
        QCOMPARE(a.droplets.size(), b.droplets.size());
        for (int c = 0; c < ChannelCount; ++c)
            QCOMPARE(cv::norm(a.images[c], b.images[c], cv::NORM_INF), 0.0);
        plan.seed = 78;
        const Chip other = makeChip(plan);
        QVERIFY(cv::norm(a.images[2], other.images[2], cv::NORM_INF) > 0.0);
    }

    void absentChannelLeavesTheOthers()
    {
        ChipPlan plan = planFor(Volume::Pl300, 128, 128, 5);
        const Chip all = makeChip(plan);
        plan.channelPresent[4] = false;
        const Chip some = makeChip(plan);
        QVERIFY(some.images[4].empty());
        for (int c : {0, 1, 2, 3, 5})
            QCOMPARE(cv::norm(all.images[c], some.images[c], cv::NORM_INF), 0.0);
    }

    void geometryAndLevels_data()
    {
        QTest::addColumn<Volume>("volume");
        for (Volume v : allVolumes())
            QTest::newRow(volumeName(v)) << v;
    }
    void geometryAndLevels()
    {
        QFETCH(Volume, volume);
        ChipPlan plan = planFor(volume, 318, 300, 9); // width rounds up to 320
        plan.positiveFraction = {{0.3, 0.3, 0.0, 0.3, 0.3, 0.3}};
        plan.blobCount = 2;
        plan.hazeCount = 2;
        plan.positiveGrey = 60000.0; // with blobs and haze on top, still below 65280
        const Chip chip = makeChip(plan);
        QCOMPARE(chip.width, 320);
        QCOMPARE(chip.images[0].cols, 320);
        QCOMPARE(chip.images[0].rows, 300);
        QCOMPARE(chip.images[0].type(), CV_16UC1);
        for (int c = 0; c < ChannelCount; ++c) {
            double hi = 0;
            cv::minMaxLoc(chip.images[c], nullptr, &hi);
            QVERIFY(hi < 65280.0);
        }
        const Geometry g = geometryFor(volume);
        int positives = 0, targets = 0;
        for (const Droplet &d : chip.droplets) {
            QVERIFY(d.x >= 0 && d.y >= 0 && d.x < chip.width && d.y < chip.height);
            QVERIFY(std::abs(d.radius - g.radius) <= 0.1 * g.radius);
            QVERIFY(std::abs(d.grey[2] - 12000.0) <= 600.0);
            for (int c : {0, 1, 3, 4, 5}) {
                const double level = d.positive[c] ? 60000.0 : 5000.0;
                QVERIFY(std::abs(d.grey[c] - level) <= 0.05 * level + 1e-6);
                positives += d.positive[c];
                ++targets;
            }
            // The nearest neighbour sits one pitch away (jitter is 2 % of it).
            double nearest = 1e9;
            for (const Droplet &e : chip.droplets)
                if (&e != &d)
                    nearest = std::min(nearest, std::hypot(e.x - d.x, e.y - d.y));
            QVERIFY(std::abs(nearest - g.pitch) < 0.15 * g.pitch);
        }
        // 30 % positives, binomial over this many draws
        const double p = double(positives) / targets;
        QVERIFY2(std::abs(p - 0.3) < 0.05, qPrintable(QString::number(p)));
    }

    void centreGreyAndCrosstalk()
    {
        ChipPlan plan = planFor(Volume::Pl800, 256, 256, 3);
        plan.vignetting = 0.3;
        plan.crosstalk[1][0] = 0.1; // channel 1 sees a tenth of channel 0
        const Chip chip = makeChip(plan);
        int checked = 0;
        for (const Droplet &d : chip.droplets) {
            QVERIFY(std::abs(d.grey[1] - (d.pureGrey[1] + 0.1 * d.pureGrey[0])) < 1e-6);
            QCOMPARE(d.grey[0], d.pureGrey[0]);
            const int x = int(std::lround(d.x)), y = int(std::lround(d.y));
            if (x < 1 || y < 1 || x >= chip.width - 1 || y >= chip.height - 1)
                continue;
            // The mean of the 3 by 3 pixels around the centre is the shaded level within noise
            // (deviation sqrt(20^2 + v) per pixel, a third of that for the mean).
            const double v = d.grey[2] * d.shading;
            const double mean = cv::mean(chip.images[2](cv::Rect(x - 1, y - 1, 3, 3)))[0];
            QVERIFY(std::abs(mean - v) < 5.0 * std::sqrt(400.0 + v) / 3.0);
            QVERIFY(d.shading <= 1.0 && d.shading >= 0.7);
            ++checked;
        }
        QVERIFY(checked > 80);
    }

    // Other appearances: droplets never overlap, whatever the packing; the lattice keeps its
    // pitch (tight: a pixel between neighbours); the radius scales with the pitch.
    void packingAndScale_data()
    {
        QTest::addColumn<int>("packing");
        QTest::addColumn<double>("scale");
        QTest::newRow("lattice") << int(Packing::Lattice) << 1.0;
        QTest::newRow("lattice, radius 1.2") << int(Packing::Lattice) << 1.2;
        QTest::newRow("tight") << int(Packing::Tight) << 1.0;
        QTest::newRow("tight, radius 0.8") << int(Packing::Tight) << 0.8;
        QTest::newRow("random") << int(Packing::Random) << 1.0;
    }
    void packingAndScale()
    {
        QFETCH(int, packing);
        QFETCH(double, scale);
        ChipPlan plan = planFor(Volume::Pl800, 256, 256, 4);
        plan.geometry = scaledGeometry(plan.geometry, scale);
        plan.packing = Packing(packing);
        const Chip chip = makeChip(plan);
        const Geometry nominal = geometryFor(Volume::Pl800);
        const double pitch = Packing(packing) == Packing::Tight ? 2.0 * nominal.radius * scale + 1.0 : nominal.pitch * scale;
        QVERIFY(chip.droplets.size() > 50);
        for (const Droplet &d : chip.droplets) {
            QVERIFY(std::abs(d.radius - nominal.radius * scale) <= 0.1 * nominal.radius * scale + 1e-9);
            double nearest = 1e9;
            for (const Droplet &e : chip.droplets) {
                if (&e == &d)
                    continue;
                nearest = std::min(nearest, std::hypot(e.x - d.x, e.y - d.y));
                QVERIFY(std::hypot(e.x - d.x, e.y - d.y) >= d.radius + e.radius);
            }
            if (Packing(packing) != Packing::Random)
                QVERIFY(std::abs(nearest - pitch) < 0.25 * pitch);
        }
        // About as many random droplets as the lattice holds, at least half of them.
        if (Packing(packing) == Packing::Random)
            QVERIFY(chip.droplets.size() > 0.5 * 256 * 256 / (pitch * pitch * std::sqrt(3.0) / 2.0));
    }

    // An 8-bit chip is the 16-bit one truncated to its high byte.
    void eightBit()
    {
        ChipPlan plan = planFor(Volume::Pl300, 128, 96, 12);
        plan.profile = Profile::Dome;
        const Chip wide = makeChip(plan);
        plan.bitDepth = 8;
        const Chip narrow = makeChip(plan);
        QCOMPARE(narrow.images[2].type(), CV_8UC1);
        QCOMPARE(cv::norm(narrow.images[2], toEightBit(wide.images[2]), cv::NORM_INF), 0.0);
        plan.bitDepth = 12;
        QVERIFY_EXCEPTION_THROWN(makeChip(plan), std::invalid_argument);
    }

    void cutouts()
    {
        const std::vector<Cutout> cuts = makeCutouts(Volume::Pl3000, 11, 5);
        int labels[2] = {0, 0};
        for (const Cutout &c : cuts) {
            QCOMPARE(c.image.rows, 31); // the pitch, 30, made odd
            QCOMPARE(c.image.cols, 31);
            QCOMPARE(c.label, c.kind == CutoutKind::Droplet ? 1 : 0);
            ++labels[c.label];
        }
        QCOMPARE(labels[1], 20);
        QCOMPARE(labels[0], 20);
    }
};

LUMARA_TEST_MAIN(TestSynthChip)
#include "tst_synthchip.moc"
