// The automatic threshold on real wells of a flow-read two-colour droplet instrument, held to
// the calls their operators made: one row per channel that carries a call. The wells and where
// they come from: tests/fixtures/realwells/README.md.
#include "clusterhandle.h"
#include "testmain.h"

#include <QFile>
#include <QStringList>

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

// Every well of the folder: one that goes missing fails the test rather than taking its rows.
const char *const WellNames[] = {
    "braf-duplex-A01",     "braf-duplex-A05",     "braf-duplex-C01",     "braf-duplex-C05",
    "braf-duplex-F05",     "braf-duplex-vignette_B06",
    "quality-example-A01", "quality-example-A02", "quality-example-A03", "quality-example-A04",
};

struct Channel {
    bool called = false;
    QVector<uint> greys;    // as the instrument hands them to the analysis
    QVector<bool> positive; // the operators' call of each droplet

    int positives() const { return int(std::count(positive.cbegin(), positive.cend(), true)); }
};

struct Well {
    QString name;
    Channel channels[2];
};

// Amplitudes reach the analysis as whole 16-bit greys.
uint greyOf(double amplitude)
{
    return uint(std::lround(std::min(65535.0, std::max(0.0, amplitude))));
}

// One well's file: header ch1,ch2,ref1,ref2, then one droplet a line. A channel's calls are on
// every droplet or on none.
bool readWell(const QString &path, Well *well, QString *error)
{
    const std::unique_ptr<gzFile_s, int (*)(gzFile)> opened(gzopen(QFile::encodeName(path).constData(), "rb"),
                                                             gzclose);
    gzFile file = opened.get();
    if (!file) {
        *error = QStringLiteral("%1: cannot open").arg(path);
        return false;
    }
    auto fail = [&](int line, const QString &what) {
        *error = QStringLiteral("%1:%2: %3").arg(path).arg(line).arg(what);
        return false;
    };
    char buffer[512];
    int line = 0;
    bool seen[2] = {false, false}; // whether the channel's first droplet carried a call
    while (gzgets(file, buffer, int(sizeof buffer))) {
        ++line;
        QByteArray text(buffer);
        if (!text.endsWith('\n') && !gzeof(file))
            return fail(line, QStringLiteral("line longer than %1 bytes").arg(sizeof buffer - 1));
        text = text.trimmed();
        if (line == 1) {
            if (text != "ch1,ch2,ref1,ref2")
                return fail(line, QStringLiteral("header \"%1\", expected \"ch1,ch2,ref1,ref2\"")
                                      .arg(QString::fromLatin1(text)));
            continue;
        }
        const QList<QByteArray> fields = text.split(',');
        if (fields.size() != 4)
            return fail(line, QStringLiteral("%1 fields, expected 4").arg(fields.size()));
        for (int c = 0; c < 2; ++c) {
            bool ok = false;
            const double amplitude = fields[c].toDouble(&ok);
            if (!ok || !std::isfinite(amplitude))
                return fail(line, QStringLiteral("amplitude \"%1\" of channel %2 is not a number")
                                      .arg(QString::fromLatin1(fields[c]))
                                      .arg(c + 1));
            const QByteArray &ref = fields[2 + c];
            if (ref != "0" && ref != "1" && !ref.isEmpty())
                return fail(line, QStringLiteral("call \"%1\" of channel %2, expected 0, 1 or nothing")
                                      .arg(QString::fromLatin1(ref))
                                      .arg(c + 1));
            Channel &channel = well->channels[c];
            if (line == 2)
                seen[c] = !ref.isEmpty();
            else if (seen[c] == ref.isEmpty())
                return fail(line, QStringLiteral("channel %1 called on some droplets only").arg(c + 1));
            channel.called = seen[c];
            channel.greys.append(greyOf(amplitude));
            channel.positive.append(ref == "1");
        }
    }
    int status = Z_OK;
    const char *message = gzerror(file, &status);
    if (status != Z_OK)
        return fail(line, QStringLiteral("unreadable: %1").arg(QString::fromLatin1(message)));
    if (line == 0)
        return fail(line, QStringLiteral("empty"));
    if (line == 1)
        return fail(line, QStringLiteral("no droplets"));
    if (!well->channels[0].called && !well->channels[1].called)
        return fail(line, QStringLiteral("neither channel carries a call"));
    return true;
}

double medianOf(QVector<double> values)
{
    const int half = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + half, values.end());
    const double upper = values[half];
    if (values.size() % 2)
        return upper;
    return (*std::max_element(values.begin(), values.begin() + half) + upper) / 2.0;
}

// A class's centre and spread that a handful of rain droplets does not move: the median and
// 1.4826 times the median absolute deviation (a normal cluster's standard deviation).
struct Core {
    double median = 0.0;
    double deviation = 0.0;
};

Core coreOf(const Channel &channel, bool positive)
{
    QVector<double> values;
    for (int i = 0; i < channel.greys.size(); ++i)
        if (channel.positive[i] == positive)
            values.append(channel.greys[i]);
    Core core;
    if (values.isEmpty())
        return core;
    core.median = medianOf(values);
    for (double &v : values)
        v = std::abs(v - core.median);
    core.deviation = 1.4826 * medianOf(values);
    return core;
}

// Labs set the threshold anywhere in the rain, from the negatives' upper flank to the foot of
// the positive cluster, so a threshold is right where the count matches the operators' or
// where it lies in that stretch of sparse droplets. The flank: four deviations above the
// negatives' median, which leaves about one in 30,000 of a normal cluster above it (the
// negatives are the larger class in most wells, and the 0.13 % that three deviations leave
// would be some twenty droplets of a 15,000-negative well). The foot: three deviations below
// the positives' median, the usual edge of a cluster. Between the two no populated cluster lies.
struct Rain {
    double from = 0.0;
    double to = 0.0;
};

Rain rainOf(const Channel &channel)
{
    const Core negatives = coreOf(channel, false);
    const Core positives = coreOf(channel, true);
    return Rain{negatives.median + 4 * negatives.deviation, positives.median - 3 * positives.deviation};
}

int countFrom(const QVector<uint> &greys, uint threshold)
{
    return int(std::count_if(greys.cbegin(), greys.cend(), [threshold](uint v) { return v >= threshold; }));
}

// Whether a threshold agrees with the operators' calls of the channel: with positives, the
// count within 3 % of theirs or the threshold in the rain; without, at most 0.1 % of the
// droplets counted. detail says what was found.
bool agrees(const Channel &channel, double threshold, QString *detail)
{
    const uint applied = uint(threshold); // the program truncates and counts >=
    const int count = countFrom(channel.greys, applied);
    const int operators = channel.positives();
    const Rain rain = rainOf(channel);
    if (operators == 0) {
        const double allowed = 0.001 * channel.greys.size();
        *detail = QStringLiteral("count %1 of %2 droplets (at most %3), operators 0, threshold %4 (%5), "
                                 "negatives' flank %6")
                      .arg(count)
                      .arg(channel.greys.size())
                      .arg(allowed, 0, 'f', 1)
                      .arg(applied)
                      .arg(threshold, 0, 'f', 2)
                      .arg(rain.from, 0, 'f', 0);
        return count <= allowed;
    }
    const double off = 100.0 * (count - operators) / operators;
    *detail = QStringLiteral("count %1, operators %2 (%3%4 %), threshold %5 (%6), rain %7..%8")
                  .arg(count)
                  .arg(operators)
                  .arg(off >= 0 ? QStringLiteral("+") : QString())
                  .arg(off, 0, 'f', 2)
                  .arg(applied)
                  .arg(threshold, 0, 'f', 2)
                  .arg(rain.from, 0, 'f', 0)
                  .arg(rain.to, 0, 'f', 0);
    const bool countMatches = std::abs(count - operators) <= 0.03 * operators;
    const bool inRain = rain.from <= applied && applied <= rain.to;
    return countMatches || inRain;
}

enum class Probe {
    NegativeMedian,
    PositiveMedian,
    Split,
};

} // namespace

Q_DECLARE_METATYPE(Probe)

class TestRealWells : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void automaticThreshold_data();
    void automaticThreshold();
    void clusterThresholdRejected_data();
    void clusterThresholdRejected();

private:
    const Channel &channelOf(const QString &well, int number) const;
    // fill(well, channel number, channel) for every channel that carries a call.
    template <typename Fill>
    void channelRows(Fill fill) const;

    QVector<Well> m_wells;
};

void TestRealWells::initTestCase()
{
    const QString folder = QString::fromUtf8(LUMARA_REALWELLS_DIR);
    for (const char *name : WellNames) {
        Well well;
        well.name = QString::fromLatin1(name);
        QString error;
        QVERIFY2(readWell(folder + QLatin1Char('/') + well.name + QStringLiteral(".csv.gz"), &well, &error),
                 qPrintable(error));
        m_wells.append(well);
    }
}

const Channel &TestRealWells::channelOf(const QString &well, int number) const
{
    for (const Well &w : m_wells)
        if (w.name == well)
            return w.channels[number - 1];
    qFatal("no well %s", qPrintable(well));
}

template <typename Fill>
void TestRealWells::channelRows(Fill fill) const
{
    for (const Well &w : m_wells)
        for (int c = 1; c <= 2; ++c)
            if (w.channels[c - 1].called)
                fill(w.name, c, w.channels[c - 1]);
}

void TestRealWells::automaticThreshold_data()
{
    QTest::addColumn<QString>("well");
    QTest::addColumn<int>("channel");
    channelRows([](const QString &well, int c, const Channel &) {
        QTest::newRow(qPrintable(QStringLiteral("%1, channel %2").arg(well).arg(c))) << well << c;
    });
}

void TestRealWells::automaticThreshold()
{
    QFETCH(QString, well);
    QFETCH(int, channel);
    const Channel &ch = channelOf(well, channel);
    ClusterHandle handle;
    double threshold = 0.0;
    QVERIFY2(handle.clusterDrpltGray(ch.greys, threshold), qPrintable(handle.getErrString()));
    QString detail;
    const bool ok = agrees(ch, threshold, &detail);
    qInfo("%s", qPrintable(detail));
    QVERIFY2(ok, qPrintable(detail));
}

// The check has teeth: a threshold at the centre of either class fails it, and so does the
// two-class split alone on a channel without positives, which cuts the negatives in two.
void TestRealWells::clusterThresholdRejected_data()
{
    QTest::addColumn<QString>("well");
    QTest::addColumn<int>("channel");
    QTest::addColumn<Probe>("probe");
    channelRows([](const QString &well, int c, const Channel &ch) {
        const QString row = QStringLiteral("%1, channel %2, ").arg(well).arg(c);
        QTest::newRow(qPrintable(row + QStringLiteral("at the negatives' median")))
            << well << c << Probe::NegativeMedian;
        if (ch.positives() > 0)
            QTest::newRow(qPrintable(row + QStringLiteral("at the positives' median")))
                << well << c << Probe::PositiveMedian;
        else
            QTest::newRow(qPrintable(row + QStringLiteral("two-class split"))) << well << c << Probe::Split;
    });
}

void TestRealWells::clusterThresholdRejected()
{
    QFETCH(QString, well);
    QFETCH(int, channel);
    QFETCH(Probe, probe);
    const Channel &ch = channelOf(well, channel);
    double threshold = 0.0;
    switch (probe) {
    case Probe::NegativeMedian:
        threshold = coreOf(ch, false).median;
        break;
    case Probe::PositiveMedian:
        threshold = coreOf(ch, true).median;
        break;
    case Probe::Split: {
        ClusterHandle handle;
        QVERIFY2(handle.splitDrpltGray(ch.greys, threshold), qPrintable(handle.getErrString()));
        break;
    }
    }
    QString detail;
    QVERIFY2(!agrees(ch, threshold, &detail), qPrintable(detail));
}

LUMARA_TEST_MAIN(TestRealWells)
#include "tst_realwells.moc"
