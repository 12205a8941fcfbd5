// Recognition on its two roads: on a separate reference channel, and on the channel that holds
// the classes when a well has no reference of its own.
#include "analysersupport.h"
#include "chipoptions.h"
#include "testmain.h"

#include <QStringList>

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

} // namespace

class TestRecognitionRoads : public QObject {
    Q_OBJECT
private slots:
    // On the separate-reference-channel road recognition must not change at all. The sums were
    // taken from the recognition as it stood before the classes' road got its own stretch: of
    // the engine's droplets after every channel was measured (position, score, mean grey, greys,
    // flags, in result order), and of the analyser's record as the program gets it.
    void referenceRoadUnchanged_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("engineSum");
        QTest::addColumn<QString>("analyserSum");
        QTest::newRow("300 pl") << QStringList{"volume=300"} << QStringLiteral("dd247d703c66833f")
                                << QStringLiteral("871d8c9935aeef08");
        QTest::newRow("300 pl dome, tight, noise, vignetting")
            << QStringList{"volume=300", "profile=dome", "packing=tight", "noise=0.05", "vignetting=0.1"}
            << QStringLiteral("99234dad32faff3a") << QStringLiteral("8673d6f1c8ec4a56");
        QTest::newRow("300 pl gaussian 1.1x, 8-bit")
            << QStringList{"volume=300", "profile=gaussian", "radius=1.1", "bits=8"}
            << QStringLiteral("3127106a4d37aec6") << QStringLiteral("67e75de73eb8ce50");
        QTest::newRow("600 pl flat 1.1x") << QStringList{"volume=600", "profile=flat", "radius=1.1"}
                                          << QStringLiteral("da48d6be9fcd04f2") << QStringLiteral("a80bcd939663ccc3");
        QTest::newRow("800 pl") << QStringList{"volume=800"} << QStringLiteral("afc8210c9c01693a")
                                << QStringLiteral("606c39bd3b1c46b8");
        QTest::newRow("800 pl soft 0.9x, debris, haze, dim negatives")
            << QStringList{"volume=800", "profile=soft", "radius=0.9", "debris=8", "haze=1", "negatives=2"}
            << QStringLiteral("78f5b2f0a8a2b5a7") << QStringLiteral("4acb3290e09ba77d");
        QTest::newRow("3000 pl dome") << QStringList{"volume=3000", "profile=dome"}
                                      << QStringLiteral("526f85e9218f7f78") << QStringLiteral("4cdff0a5f84f6ca6");
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

        Ravelin::DrpltImgAnalyser a;
        QVERIFY(AnalyserSupport::configure(a, o.volume));
        a.setUseRecogChanFilterDrplt(true);
        a.setStrategy();
        const DrpltImgsOnWell<DrpltImg> views = AnalyserSupport::viewsOf(chip);
        DrpltImgsOnWell<DrpltImg> pre(views.size());
        QVERIFY(a.preprocess(views, pre));
        a.setRemoveDiscreteRegions(Ravelin::DiscreteRegionsNone);
        WellImageAnalysisInfo info;
        const bool recognised = a.recogDrplt(pre, ref, &info);
        Ravelin::DrpltImgAnalyser::releaseImages(pre);
        QVERIFY2(recognised, qPrintable(a.errorString()));
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
};

LUMARA_TEST_MAIN(TestRecognitionRoads)
#include "tst_recognitionroads.moc"
