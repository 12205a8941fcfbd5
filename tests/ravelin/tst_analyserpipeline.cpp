// Whole wells from generated chips: six channels with known positives, crosstalk between
// channels and vignetting, through the analyser's steps in the program's order.
#include "analysersupport.h"
#include "testmain.h"

#include <QTemporaryDir>

#include <opencv2/imgcodecs.hpp>

#include <thread>

using namespace AnalyserSupport;
using LumaraSynth::Chip;
using LumaraSynth::ChipPlan;
using Ravelin::AnalysisSettings;
using Ravelin::DrpltImgAnalyser;

Q_DECLARE_METATYPE(Volume)

namespace {

const int Ref = LumaraSynth::ReferenceChannel;
const int Channels = LumaraSynth::ChannelCount;

// observed[c] = sum_k crosstalk[c][k] * pure[k]: dye 0 shows 15 % in channel 1, dye 1 5 % in
// channel 0, dye 3 12 % in channel 4, dye 4 8 % in channel 5. The reference channel is kept
// clear, as its dye is not one of the targets.
std::array<std::array<double, Channels>, Channels> crosstalk()
{
    auto m = ChipPlan::identity();
    m[1][0] = 0.15;
    m[0][1] = 0.05;
    m[4][3] = 0.12;
    m[5][4] = 0.08;
    return m;
}

// The same spill-over as the analyser's matrix: entry (r, c) is the share of dye r in channel c.
CompensationMatrix compensationFor(const std::array<std::array<double, Channels>, Channels> &m)
{
    CompensationMatrix cm;
    for (int r = 0; r < Channels; ++r)
        for (int c = 0; c < Channels; ++c)
            cm.matrix[r][c] = m[size_t(c)][size_t(r)];
    return cm;
}

struct WellCase {
    Volume volume = Volume::Pl800;
    int size = 512;
    std::uint64_t seed = 1;
    double vignetting = 0.75; // corners at a quarter: uncorrected classes would overlap
    bool crossed = true;
    int debris = 0;
};

Chip makeWell(const WellCase &w, bool crossed)
{
    ChipPlan plan = LumaraSynth::planFor(w.volume, w.size, w.size, w.seed);
    plan.positiveFraction = {{0.3, 0.45, 0.0, 0.2, 0.35, 0.1}};
    plan.vignetting = w.vignetting;
    plan.debrisCount = w.debris;
    if (crossed)
        plan.crosstalk = crosstalk();
    return LumaraSynth::makeChip(plan);
}

// An analyser set up as the program does for one analysis run.
bool setUp(DrpltImgAnalyser &a, Volume v, int background, int grey, const QString &flatField, bool compensate)
{
    if (!configure(a, v))
        return false;
    editSettings(a, [&](AnalysisSettings &s) {
        s.BackgroundUniformAdjustType = background;
        s.DrpltGyslAdjustType = grey;
        s.CrosstalkAdjustType = compensate ? 1 : 0;
    });
    a.setUseRecogChanFilterDrplt(true); // the reference dye is no target
    a.setStrategy();
    if (compensate)
        a.getSpilloverCompensation()->setCompensationMatrix(compensationFor(crosstalk()));
    return a.setUniformData(DrpltImgsOnWell<QString>(Channels, flatField));
}

int nearestTruth(const Chip &chip, const DropletAnalysisInfo &d, double limit)
{
    int best = -1;
    double bestDist = limit;
    for (size_t i = 0; i < chip.droplets.size(); ++i) {
        const double dist = std::hypot(chip.droplets[i].x - d.x, chip.droplets[i].y - d.y);
        if (dist <= bestDist) {
            bestDist = dist;
            best = int(i);
        }
    }
    return best;
}

int findAt(const WellImageAnalysisInfo &info, quint32 x, quint32 y)
{
    for (int k = 0; k < info.droplets.size(); ++k) {
        if (info.droplets[k].x == x && info.droplets[k].y == y)
            return k;
    }
    return -1;
}

// Share of recognised droplets whose class by the channel's threshold is the true one, and
// the largest negative and smallest positive grey among those clear of artefacts.
struct ChannelCheck {
    double agreement = 0.0;
    double maxNegative = -1.0;
    double minPositive = 1e18;
};

ChannelCheck checkChannel(const Chip &chip, const WellImageAnalysisInfo &info, const std::vector<int> &truth, int c)
{
    ChannelCheck r;
    const quint32 threshold = info.thresholds[c][0];
    int agree = 0;
    for (int k = 0; k < info.droplets.size(); ++k) {
        const LumaraSynth::Droplet &d = chip.droplets[size_t(truth[size_t(k)])];
        const quint32 g = info.droplets[k].workingGreys[c];
        agree += (g > threshold) == d.positive[size_t(c)];
        if (!RecogSupport::clearOfArtefacts(chip, d))
            continue;
        if (d.positive[size_t(c)])
            r.minPositive = std::min(r.minPositive, double(g));
        else
            r.maxNegative = std::max(r.maxNegative, double(g));
    }
    r.agreement = info.droplets.isEmpty() ? 0.0 : double(agree) / info.droplets.size();
    return r;
}

} // namespace

class TestAnalyserPipeline : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
    }

    void wellsComeOutClassifiedAndCompensated_data()
    {
        QTest::addColumn<Volume>("volume");
        QTest::addColumn<int>("background");
        QTest::addColumn<int>("grey");
        QTest::addColumn<int>("debris");
        QTest::addColumn<bool>("checkCompensation");
        // Reference-channel normalisation takes the vignetting out.
        QTest::newRow("800pl, grey by reference") << Volume::Pl800 << 0 << 1 << 0 << true;
        QTest::newRow("300pl, grey by reference") << Volume::Pl300 << 0 << 1 << 0 << true;
        QTest::newRow("3000pl, grey by reference") << Volume::Pl3000 << 0 << 1 << 0 << true;
        // The instrument's flat field takes it out before recognition.
        QTest::newRow("800pl, flat field") << Volume::Pl800 << 1 << 0 << 0 << true;
        QTest::newRow("600pl, flat field and grey") << Volume::Pl600 << 1 << 1 << 0 << true;
        // The top-hat subtracts the oil level, which is not crossed, so the compensated values
        // are only checked through their classes there.
        QTest::newRow("800pl, top-hat") << Volume::Pl800 << 2 << 1 << 0 << false;
        QTest::newRow("800pl, grey by reference, debris") << Volume::Pl800 << 0 << 1 << 6 << true;
    }
    void wellsComeOutClassifiedAndCompensated()
    {
        QFETCH(Volume, volume);
        QFETCH(int, background);
        QFETCH(int, grey);
        QFETCH(int, debris);
        QFETCH(bool, checkCompensation);
        WellCase w;
        w.volume = volume;
        w.seed = 40 + std::uint64_t(volume);
        w.debris = debris;
        const Chip chip = makeWell(w, true);
        const Chip plain = makeWell(w, false);
        const QString flat = m_dir.filePath(QStringLiteral("flat%1.tif").arg(QTest::currentDataTag()));
        QVERIFY(cv::imwrite(flat.toStdString(), chip.shading));

        DrpltImgAnalyser a, b;
        QVERIFY2(setUp(a, volume, background, grey, flat, true), qPrintable(a.errorString()));
        QVERIFY2(setUp(b, volume, background, grey, flat, false), qPrintable(b.errorString()));
        WellImageAnalysisInfo info, uncompensated, reference;
        QString error;
        QVERIFY2(analyseWell(a, viewsOf(chip), Ref, info, &uncompensated, &error), qPrintable(error));
        QVERIFY2(analyseWell(b, viewsOf(plain), Ref, reference, nullptr, &error), qPrintable(error));
        QVERIFY(info.valid);
        QCOMPARE(info.channels, (QVector<qint32>{0, 1, 2, 3, 4, 5}));

        // Every recognised droplet is a true one; most true ones are recognised.
        std::vector<int> truth;
        for (const DropletAnalysisInfo &d : qAsConst(info.droplets)) {
            truth.push_back(nearestTruth(chip, d, 3.0));
            QVERIFY2(truth.back() >= 0, qPrintable(QStringLiteral("no droplet near %1, %2").arg(d.x).arg(d.y)));
        }
        QVERIFY2(info.droplets.size() >= int(0.7 * chip.droplets.size()),
                 qPrintable(QStringLiteral("%1 of %2").arg(info.droplets.size()).arg(chip.droplets.size())));

        const auto spill = crosstalk();
        for (int c = 0; c < Channels; ++c) {
            if (c == Ref)
                continue; // every droplet carries the reference dye: nothing to split
            // Before the compensation, another dye spilling into the channel lifts the negatives
            // it lights to a level of their own, which the clustering takes for positives as it
            // would any level above the lowest: settling it is the compensation's work.
            bool spilledInto = false;
            for (int k = 0; k < Channels; ++k)
                spilledInto = spilledInto || (k != c && spill[size_t(c)][size_t(k)] > 0.0);
            for (const WellImageAnalysisInfo *record : {&info, &uncompensated}) {
                if (record == &uncompensated && spilledInto)
                    continue;
                const ChannelCheck r = checkChannel(chip, *record, truth, c);
                const QString what = QStringLiteral("channel %1 %2: agreement %3, threshold %4, negatives up to "
                                                    "%5, positives from %6")
                                         .arg(c)
                                         .arg(record == &info ? "compensated" : "uncompensated")
                                         .arg(r.agreement)
                                         .arg(record->thresholds[c][0])
                                         .arg(r.maxNegative)
                                         .arg(r.minPositive);
                QVERIFY2(r.agreement >= 0.99, qPrintable(what));
                QVERIFY2(r.maxNegative >= 0 && r.minPositive < 1e18, qPrintable(what));
                QVERIFY2(r.maxNegative < record->thresholds[c][0] && record->thresholds[c][0] < r.minPositive,
                         qPrintable(what));
            }
        }

        if (!checkCompensation)
            return;
        // The uncrossed chip has the same reference image, hence the same droplets; its greys
        // are what compensation must bring the crossed ones back to.
        int compared = 0, crossedOff = 0;
        for (int k = 0; k < info.droplets.size(); ++k) {
            const DropletAnalysisInfo &d = info.droplets[k];
            const int j = findAt(reference, d.x, d.y);
            QVERIFY2(j >= 0, qPrintable(QStringLiteral("droplet at %1, %2 not in the uncrossed well").arg(d.x).arg(d.y)));
            const LumaraSynth::Droplet &t = chip.droplets[size_t(truth[size_t(k)])];
            if (!RecogSupport::clearOfArtefacts(chip, t))
                continue;
            for (int c : {0, 1, 4, 5}) {
                const double want = reference.droplets[j].workingGreys[c];
                const double got = d.workingGreys[c];
                QCOMPARE(d.compensatedGreys[c], d.workingGreys[c]);
                QVERIFY2(std::abs(got - want) <= 0.02 * want,
                         qPrintable(QStringLiteral("droplet %1 channel %2: %3 against %4").arg(k).arg(c).arg(got).arg(want)));
                crossedOff += std::abs(double(uncompensated.droplets[k].workingGreys[c]) - want) > 0.05 * want;
                ++compared;
            }
        }
        QVERIFY(compared > 4 * 100);
        QVERIFY(crossedOff > compared / 10); // the crosstalk was there to take out
    }

    // Distinct analysers on distinct threads give exactly what one thread gives, and so does a
    // single analyser taking the wells one after another.
    void parallelAnalysersMatchOneThread_data()
    {
        QTest::addColumn<int>("background");
        QTest::newRow("grey by reference") << 0;
        QTest::newRow("top-hat") << 2;
    }
    void parallelAnalysersMatchOneThread()
    {
        QFETCH(int, background);
        const int wells = 6;
        std::vector<Chip> chips;
        for (int i = 0; i < wells; ++i) {
            WellCase w;
            w.size = 320;
            w.seed = 700 + std::uint64_t(i);
            chips.push_back(makeWell(w, true));
        }
        auto run = [&](DrpltImgAnalyser &a, int i, WellImageAnalysisInfo &out) {
            QString error;
            WellImageAnalysisInfo uncompensated;
            const bool ok = analyseWell(a, viewsOf(chips[size_t(i)]), Ref, out, &uncompensated, &error);
            out.message += ok ? QString() : QStringLiteral("failed: ") + error;
        };

        std::vector<WellImageAnalysisInfo> serial(wells), parallel(wells), shared(wells);
        for (int i = 0; i < wells; ++i) {
            DrpltImgAnalyser a;
            QVERIFY(setUp(a, Volume::Pl800, background, 1, QString(), true));
            run(a, i, serial[size_t(i)]);
            QVERIFY2(serial[size_t(i)].valid, qPrintable(serial[size_t(i)].message));
        }
        {
            DrpltImgAnalyser a;
            QVERIFY(setUp(a, Volume::Pl800, background, 1, QString(), true));
            for (int i = 0; i < wells; ++i)
                run(a, i, shared[size_t(i)]);
        }
        {
            std::vector<std::unique_ptr<DrpltImgAnalyser>> analysers;
            for (int i = 0; i < wells; ++i) {
                analysers.emplace_back(new DrpltImgAnalyser);
                QVERIFY(setUp(*analysers.back(), Volume::Pl800, background, 1, QString(), true));
            }
            std::vector<std::thread> threads;
            for (int i = 0; i < wells; ++i)
                threads.emplace_back([&, i] { run(*analysers[size_t(i)], i, parallel[size_t(i)]); });
            for (std::thread &t : threads)
                t.join();
        }
        for (int i = 0; i < wells; ++i) {
            QCOMPARE(difference(parallel[size_t(i)], serial[size_t(i)]), QString());
            QCOMPARE(difference(shared[size_t(i)], serial[size_t(i)]), QString());
        }
    }
};

LUMARA_TEST_MAIN(TestAnalyserPipeline)
#include "tst_analyserpipeline.moc"
