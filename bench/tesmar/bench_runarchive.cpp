// Reading a generated 96-well .imrs run archive (about 15000 droplets a well, six channels of
// 1024 x 1024 16-bit PNG) into fresh managers, against the bare cost of inflating and decoding
// the same images on the same pool. Reports the time ratio and the peak memory of each run
// next to the decoded image bytes plus the droplet records the managers hold.
//
// The archive is generated once, at start-up, into a temporary folder (about a minute).
// LUMARA_BENCH_WELLS sets a smaller well count for a quick look; LUMARA_BENCH_KEEP names a
// folder to generate into once and reuse on later runs.
#include "generator.h"

#include "io/analysisdatafileparser3.h"
#include "model/analysisdatamgr.h"
#include "model/analysisexperimentmgr.h"
#include "model/drpltimginfomgr.h"
#include "model/filelogmgr.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QTemporaryDir>
#include <QtConcurrent>
#include <benchmark/benchmark.h>
#include <quazip.h>
#include <quazipfile.h>

#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

namespace {

struct Archive {
    std::unique_ptr<QTemporaryDir> dir;
    QString path;
    int wells = 0;
    QString error;
    QList<QStringList> imageEntries; // per well, the "capture/" entries
};

const Archive &archive()
{
    static const Archive a = [] {
        Archive out;
        MkPackage::GeneratorOptions o;
        o.wells = qEnvironmentVariableIsSet("LUMARA_BENCH_WELLS") ? qEnvironmentVariableIntValue("LUMARA_BENCH_WELLS") : 96;
        const QString keep = qEnvironmentVariable("LUMARA_BENCH_KEEP");
        if (keep.isEmpty()) {
            out.dir.reset(new QTemporaryDir);
            out.path = out.dir->filePath(QStringLiteral("bench.imrs"));
        } else {
            out.path = QDir(keep).filePath(QStringLiteral("bench%1.imrs").arg(o.wells));
        }
        o.droplets = 15000;
        o.width = o.height = 1024;
        // Five targets and the reference: six channels.
        o.targets = {{"FAM target", "FAM", 0.2}, {"HEX target", "HEX", 0.3}, {"CY5 target", "CY5", 0.1},
                     {"CY5.5 target", "CY5.5", 0.25}, {"CY3 target", "CY3", 0.15}};
        o.crosstalk = 0.05;
        o.matrix = true;
        o.seed = 2024;
        out.wells = o.wells;
        QElapsedTimer t;
        t.start();
        if (!keep.isEmpty() && QFile::exists(out.path) && QFile::exists(MkPackage::truthPathFor(out.path))) {
            QFile f(MkPackage::truthPathFor(out.path));
            f.open(QIODevice::ReadOnly);
            for (const QJsonValue &w : QJsonDocument::fromJson(f.readAll()).object().value("wells").toArray()) {
                QStringList entries;
                for (const QJsonValue &e : w.toObject().value("images").toArray())
                    entries.append(e.toString());
                out.imageEntries.append(entries);
            }
            return out;
        }
        MkPackage::RunTruth truth;
        if (!MkPackage::generatePackage(o, out.path, &truth, &out.error))
            return out;
        for (const MkPackage::WellTruth &w : truth.wells)
            out.imageEntries.append(w.imageEntries);
        std::fprintf(stderr, "generated %d wells in %.1f s, %.0f MB\n", o.wells, t.elapsed() / 1000.0,
                     QFile(out.path).size() / 1048576.0);
        return out;
    }();
    return a;
}

// Peak resident memory above the level when sampling started, sampled every millisecond.
class PeakSampler {
public:
    PeakSampler()
    {
        malloc_trim(0);
        m_base = resident();
        m_peak = m_base;
        m_thread = std::thread([this] {
            while (!m_stop.load()) {
                const qint64 r = resident();
                if (r > m_peak.load())
                    m_peak.store(r);
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
    }
    ~PeakSampler() { stop(); }
    qint64 stop()
    {
        if (m_thread.joinable()) {
            m_stop.store(true);
            m_thread.join();
            const qint64 r = resident();
            if (r > m_peak.load())
                m_peak.store(r);
        }
        return m_peak.load() - m_base;
    }

private:
    static qint64 resident()
    {
        QFile f(QStringLiteral("/proc/self/statm"));
        if (!f.open(QIODevice::ReadOnly))
            return 0;
        const QList<QByteArray> parts = f.readAll().split(' ');
        return parts.size() > 1 ? parts.at(1).toLongLong() * sysconf(_SC_PAGESIZE) : 0;
    }

    qint64 m_base = 0;
    std::atomic<qint64> m_peak{0};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

qint64 imageBytes(const QVector<QImage> &images)
{
    qint64 n = 0;
    for (const QImage &img : images)
        n += img.sizeInBytes();
    return n;
}

// The bare cost: one task per well opens the archive, inflates its images and decodes them.
struct BareTask {
    using result_type = QVector<QImage>;
    QString path;
    result_type operator()(const QStringList &entries) const
    {
        QVector<QImage> images;
        QuaZip zip(path);
        if (!zip.open(QuaZip::mdUnzip))
            return images;
        for (const QString &name : entries) {
            QImage img;
            if (zip.setCurrentFile(name)) {
                QuaZipFile f(&zip);
                if (f.open(QIODevice::ReadOnly))
                    img.loadFromData(f.readAll());
            }
            images.append(img);
        }
        return images;
    }
};

void appendImages(QList<QVector<QImage>> &out, const QVector<QImage> &images)
{
    out.append(images);
}

struct Bare {
    double seconds = 0.0;
    double peak = 0.0;
    double imageBytes = 0.0;
};

Bare bareDecode(const Archive &a)
{
    Bare out;
    PeakSampler sampler;
    QElapsedTimer t;
    t.start();
    QList<QVector<QImage>> decoded = QtConcurrent::blockingMappedReduced<QList<QVector<QImage>>>(
        a.imageEntries, BareTask{a.path}, appendImages, QtConcurrent::OrderedReduce | QtConcurrent::SequentialReduce);
    out.seconds = t.nsecsElapsed() / 1e9;
    out.peak = double(sampler.stop());
    for (const QVector<QImage> &w : qAsConst(decoded))
        out.imageBytes += double(imageBytes(w));
    return out;
}

struct Read {
    bool ok = false;
    double seconds = 0.0;
    double peak = 0.0;
    double imageBytes = 0.0;
    double recordBytes = 0.0;
};

Read readArchive(const Archive &a)
{
    Read out;
    PeakSampler sampler;
    QElapsedTimer t;
    t.start();
    auto log = std::make_unique<FileLogMgr>();
    auto data = std::make_unique<AnalysisDataMgr>(log.get());
    AnalysisDataMgr *slot = data.get();
    {
        AnalysisDataFileParser3 parser(a.path, &slot);
        out.ok = parser.parse();
    }
    out.seconds = t.nsecsElapsed() / 1e9;
    out.peak = double(sampler.stop());
    out.ok = out.ok && data->getAnalysisExpMgr()->getAnalysisExpGlobalInfo().wells.size() == a.wells;
    for (const WellDrpltImgInfo<QImage> &w : data->getAnalysisExpMgr()->getWellDrpltImgInfos())
        out.imageBytes += double(imageBytes(w.images));
    // A droplet record as the managers hold it: the record and its four six-entry lists, list
    // headers included.
    constexpr double perDroplet = sizeof(LumaraAnalysisData::DrpltInfo) + 3 * (24 + 6 * 4) + (24 + 6 * 8);
    for (const LumaraAnalysisData::WellImageAnalysisInfo &w : data->getDrpltImgInfoMgr()->getWellImgAnalysisInfos())
        out.recordBytes += perDroplet * w.droplets.size();
    return out;
}

// Each iteration decodes the bare images, then reads the archive, so that both see the same
// machine load; the iteration time is the read's.
void BM_ReadImrs(benchmark::State &state)
{
    const Archive &a = archive();
    if (!a.error.isEmpty()) {
        state.SkipWithError(qPrintable(a.error));
        return;
    }
    double bareSeconds = 0.0, readSeconds = 0.0, barePeak = 0.0, readPeak = 0.0;
    Bare bare;
    Read read;
    for (auto _ : state) {
        bare = bareDecode(a);
        read = readArchive(a);
        if (!read.ok) {
            state.SkipWithError("the archive did not read");
            return;
        }
        bareSeconds += bare.seconds;
        readSeconds += read.seconds;
        barePeak = std::max(barePeak, bare.peak);
        readPeak = std::max(readPeak, read.peak);
        state.SetIterationTime(read.seconds);
    }
    const double n = double(state.iterations());
    state.counters["bare_decode_ms"] = 1000.0 * bareSeconds / n;
    state.counters["read_per_bare_decode"] = readSeconds / bareSeconds;
    state.counters["image_MB"] = read.imageBytes / 1048576.0;
    state.counters["droplet_MB"] = read.recordBytes / 1048576.0;
    state.counters["read_peak_MB"] = readPeak / 1048576.0;
    state.counters["read_peak_per_data"] = readPeak / (read.imageBytes + read.recordBytes);
    state.counters["bare_peak_per_image"] = barePeak / bare.imageBytes;
}
BENCHMARK(BM_ReadImrs)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    archive(); // generated before any timing
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
