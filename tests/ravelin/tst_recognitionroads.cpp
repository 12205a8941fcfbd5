// Recognition on its two roads: on a separate reference channel, and on the channel that holds
// the classes when a well has no reference of its own.
#include "analysersupport.h"
#include "chipoptions.h"
#include "testmain.h"

#include <QStringList>

#include <opencv2/imgcodecs.hpp>

#include <cmath>
#include <cstring>

using namespace RecogSupport;
using LumaraSynth::Chip;
using LumaraSynth::ChipOptions;

namespace {

// Options given as "name=value", as the chip maker takes them.
ChipOptions chipOptions(const QStringList &pairs, QString *refused)
{
    ChipOptions o;
    for (const QString &p : pairs) {
        const int eq = p.indexOf(QLatin1Char('='));
        std::string error;
        if (!LumaraSynth::setChipOption(o, p.left(eq).toStdString(), p.mid(eq + 1).toStdString(), &error)
            && refused->isEmpty())
            *refused = QString::fromStdString(error);
    }
    return o;
}

// FNV-1a over the bytes of the values fed to it.
class Checksum {
public:
    template <typename T>
    void add(const T &v)
    {
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, &v, sizeof(T));
        for (unsigned char b : bytes) {
            m_hash ^= b;
            m_hash *= 0x100000001b3ull;
        }
    }
    QString hex() const { return QStringLiteral("%1").arg(m_hash, 16, 16, QLatin1Char('0')); }

private:
    quint64 m_hash = 0xcbf29ce484222325ull;
};

// The analyser's recognition of a chip on one channel, as the program drives it: with the
// reference-channel checks when the channel is a reference of its own.
bool analyse(const Chip &chip, LumaraSynth::Volume volume, int channel, bool referenceChecks,
             WellImageAnalysisInfo *info, QString *error)
{
    Ravelin::DrpltImgAnalyser a;
    if (!AnalyserSupport::configure(a, volume)) {
        *error = QStringLiteral("no assets");
        return false;
    }
    a.setUseRecogChanFilterDrplt(referenceChecks);
    a.setStrategy();
    const DrpltImgsOnWell<DrpltImg> views = AnalyserSupport::viewsOf(chip);
    DrpltImgsOnWell<DrpltImg> pre(views.size());
    if (!a.preprocess(views, pre)) {
        *error = a.errorString();
        return false;
    }
    a.setRemoveDiscreteRegions(Ravelin::DiscreteRegionsNone);
    const bool recognised = a.recogDrplt(pre, channel, info);
    Ravelin::DrpltImgAnalyser::releaseImages(pre);
    if (!recognised)
        *error = a.errorString();
    return recognised;
}

} // namespace

class TestRecognitionRoads : public QObject {
    Q_OBJECT
private slots:
    // On the separate-reference-channel road recognition changes only with the data folder's
    // assets. The sums were taken with the templates and kernels the recognition sweep chose:
    // of the engine's droplets after every channel was measured (position, score, mean grey,
    // greys, flags, in result order), and of the analyser's record as the program gets it.
    void referenceRoadUnchanged_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("engineSum");
        QTest::addColumn<QString>("analyserSum");
        QTest::newRow("300 pl") << QStringList{"volume=300"} << QStringLiteral("6e2fbd319e11b328")
                                << QStringLiteral("9d2f9ea1e522236a");
        QTest::newRow("300 pl dome, tight, noise, vignetting")
            << QStringList{"volume=300", "profile=dome", "packing=tight", "noise=0.05", "vignetting=0.1"}
            << QStringLiteral("a79b33388e1df6e4") << QStringLiteral("099ce5b4bd82b147");
        QTest::newRow("300 pl gaussian 1.1x, 8-bit")
            << QStringList{"volume=300", "profile=gaussian", "radius=1.1", "bits=8"}
            << QStringLiteral("10078720e5021c63") << QStringLiteral("20f4c32db9b7f8eb");
        QTest::newRow("600 pl flat 1.1x") << QStringList{"volume=600", "profile=flat", "radius=1.1"}
                                          << QStringLiteral("dd59426571b91da6") << QStringLiteral("a3d043e21022f562");
        QTest::newRow("800 pl") << QStringList{"volume=800"} << QStringLiteral("93a31ed1e420272d")
                                << QStringLiteral("c1712f62ab19090e");
        QTest::newRow("800 pl soft 0.9x, debris, haze, dim negatives")
            << QStringList{"volume=800", "profile=soft", "radius=0.9", "debris=8", "haze=1", "negatives=2"}
            << QStringLiteral("934891128b6abd22") << QStringLiteral("5e2468e2d8500f1d");
        QTest::newRow("3000 pl dome") << QStringList{"volume=3000", "profile=dome"}
                                      << QStringLiteral("afc7ac682b085cb9") << QStringLiteral("9be76675c85b2453");
    }
    void referenceRoadUnchanged()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, engineSum);
        QFETCH(QString, analyserSum);
        QString refused;
        const ChipOptions o = chipOptions(QStringList{"width=384", "height=384", "seed=31"} + options, &refused);
        QVERIFY2(refused.isEmpty(), qPrintable(refused));
        const Chip chip = LumaraSynth::makeChip(LumaraSynth::chipPlanOf(o));
        const int ref = LumaraSynth::ReferenceChannel;

        bool ok = false;
        const Ravelin::AnalysisSettings settings = loadSettings(paramsPath(o.volume), &ok);
        QVERIFY(ok);
        DropletImgAnalysisHelper engine;
        configure(engine, o.volume, settings);
        engine.alterIsTargetsUsedRox(false);
        QVERIFY2(recognise(engine, chip.images[size_t(ref)]), qPrintable(engine.GetErrString()));
        for (int c = 0; c < LumaraSynth::ChannelCount; ++c)
            QVERIFY2(measure(engine, c, chip.images[size_t(c)]), qPrintable(engine.GetErrString()));
        const QVector<DrpltRecogRecord> &found = engine.getResultData()->droplets;
        QVERIFY(found.size() > 100);
        Checksum e;
        for (const DrpltRecogRecord &r : found) {
            e.add(r.x);
            e.add(r.y);
            e.add(r.size);
            e.add(r.score);
            e.add(r.meanGrey);
            for (int c = 0; c < 6; ++c) {
                e.add(r.flags[c]);
                e.add(r.measuredGreys[c]);
                e.add(r.workingGreys[c]);
            }
        }

        WellImageAnalysisInfo info;
        QString error;
        QVERIFY2(analyse(chip, o.volume, ref, true, &info, &error), qPrintable(error));
        QVERIFY(info.droplets.size() > 100);
        Checksum r;
        for (const DropletAnalysisInfo &d : qAsConst(info.droplets)) {
            r.add(d.x);
            r.add(d.y);
            r.add(d.maskSize);
            for (int c = 0; c < 6; ++c) {
                r.add(d.measuredGreys[c]);
                r.add(d.workingGreys[c]);
                r.add(d.flags[c]);
            }
        }
        QCOMPARE(e.hex(), engineSum);
        QCOMPARE(r.hex(), analyserSum);
    }

    // What a well needs of its recognition, per droplet volume and road, at a low and a high
    // share of positives: nearly every droplet found, and as many of the negatives as of the
    // positives, or the concentration comes out too high or too low. The bars are the goals
    // the data folder's templates, kernels and parameter files were chosen for.
    void foundWithoutClassBias_data()
    {
        QTest::addColumn<QString>("volume");
        QTest::addColumn<int>("side");
        QTest::addColumn<bool>("classRoad");
        QTest::addColumn<double>("share");
        const struct {
            const char *volume;
            int side; // some 500 droplets
        } chips[] = {{"300", 320}, {"600", 416}, {"800", 528}, {"3000", 704}};
        for (const auto &c : chips)
            for (bool classRoad : {false, true})
                for (double share : {0.1, 0.5})
                    QTest::addRow("%s pl, %s, %.0f %% positive", c.volume, classRoad ? "classes" : "reference",
                                  100 * share)
                        << QString::fromLatin1(c.volume) << c.side << classRoad << share;
    }
    void foundWithoutClassBias()
    {
        QFETCH(QString, volume);
        QFETCH(int, side);
        QFETCH(bool, classRoad);
        QFETCH(double, share);
        QString refused;
        const ChipOptions o = chipOptions(
            {"volume=" + volume, QStringLiteral("width=%1").arg(side), QStringLiteral("height=%1").arg(side), "seed=7"},
            &refused);
        QVERIFY2(refused.isEmpty(), qPrintable(refused));
        LumaraSynth::ChipPlan plan = LumaraSynth::chipPlanOf(o);
        const int classChannel = 0;
        plan.channelPresent.fill(false);
        plan.channelPresent[classChannel] = plan.channelPresent[LumaraSynth::ReferenceChannel] = true;
        plan.positiveFraction.fill(0.0);
        plan.positiveFraction[classChannel] = share;
        const Chip chip = LumaraSynth::makeChip(plan);

        // As the program drives it: without a reference of its own a well is recognised on its
        // target's channel, with the reference-channel checks off.
        WellImageAnalysisInfo info;
        QString error;
        QVERIFY2(analyse(chip, o.volume, classRoad ? classChannel : LumaraSynth::ReferenceChannel, !classRoad, &info,
                         &error),
                 qPrintable(error));

        // Droplets the border guard hides from any recognition do not count.
        const cv::Mat templ = cv::imread(templatePath(o.volume).toStdString(), cv::IMREAD_GRAYSCALE);
        QVERIFY(!templ.empty());
        const double margin = 1.5 * (templ.cols / 2);
        const Matching m = match(info.droplets, chip, 2.0);
        int eligible = 0, eligiblePositive = 0, found = 0, foundPositive = 0;
        for (size_t k = 0; k < chip.droplets.size(); ++k) {
            const LumaraSynth::Droplet &d = chip.droplets[k];
            if (!(d.x > margin && d.y > margin && d.x < chip.width - 1 - margin && d.y < chip.height - 1 - margin))
                continue;
            const bool positive = d.positive[size_t(classChannel)];
            ++eligible;
            eligiblePositive += positive;
            found += m.hits[k] > 0;
            foundPositive += m.hits[k] > 0 && positive;
        }
        int extra = m.unmatched;
        for (int h : m.hits)
            extra += std::max(0, h - 1);
        QVERIFY(eligible > 400 && eligiblePositive > 40);
        QVERIFY(found > 0);
        const double foundShare = double(found) / eligible;
        const double bias = (double(foundPositive) / found) / (double(eligiblePositive) / eligible) - 1.0;
        const QString figures = QStringLiteral("found %1 of %2, positives %3 of %4, bias %5 %, false %6")
                                    .arg(found)
                                    .arg(eligible)
                                    .arg(foundPositive)
                                    .arg(eligiblePositive)
                                    .arg(100 * bias, 0, 'f', 1)
                                    .arg(extra);
        const bool held = extra <= 0.02 * eligible && foundShare >= (classRoad ? 0.90 : 0.95)
                          && std::abs(bias) <= (classRoad ? 0.05 : 0.02);
        QVERIFY2(held, qPrintable(figures));
    }
};

LUMARA_TEST_MAIN(TestRecognitionRoads)
#include "tst_recognitionroads.moc"
