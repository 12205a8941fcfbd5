#pragma once
// What the package benchmarks share: a generated 96-well run archive (made once per run, or
// kept in a folder between runs), the bare cost of inflating and decoding its images on the
// global pool, and a sampler of peak resident memory.
//
// LUMARA_BENCH_WELLS sets a smaller well count for a quick look; LUMARA_BENCH_KEEP names a
// folder to generate into once and reuse on later runs.
#include "generator.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtConcurrent>
#include <quazip.h>
#include <quazipfile.h>

#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

namespace BenchPackage {

struct Archive {
    std::unique_ptr<QTemporaryDir> dir;
    QString path;
    int wells = 0;
    QString error;
    QList<QStringList> imageEntries; // per well, the "capture/" entries
};

// About 15000 droplets a well, six channels of 1024 x 1024 16-bit PNG. tag names the kept file
// apart from other benchmarks' archives of other options.
inline MkPackage::GeneratorOptions defaultOptions()
{
    MkPackage::GeneratorOptions o;
    o.wells = qEnvironmentVariableIsSet("LUMARA_BENCH_WELLS") ? qEnvironmentVariableIntValue("LUMARA_BENCH_WELLS") : 96;
    o.droplets = 15000;
    o.width = o.height = 1024;
    // Five targets and the reference: six channels.
    o.targets = {{"FAM target", "FAM", 0.2}, {"HEX target", "HEX", 0.3}, {"CY5 target", "CY5", 0.1},
                 {"CY5.5 target", "CY5.5", 0.25}, {"CY3 target", "CY3", 0.15}};
    o.crosstalk = 0.05;
    o.matrix = true;
    o.seed = 2024;
    // Droplets scaled to fit the count: no template of the recognition fits them.
    o.storedDroplets = MkPackage::StoredDroplets::Drawn;
    return o;
}

inline Archive generate(const MkPackage::GeneratorOptions &o, const QString &tag)
{
    Archive out;
    const QString keep = qEnvironmentVariable("LUMARA_BENCH_KEEP");
    const QString name = QStringLiteral("%1%2.imrs").arg(tag).arg(o.wells);
    if (keep.isEmpty()) {
        out.dir.reset(new QTemporaryDir);
        out.path = out.dir->filePath(name);
    } else {
        QDir().mkpath(keep);
        out.path = QDir(keep).filePath(name);
    }
    out.wells = o.wells;
    QElapsedTimer t;
    t.start();
    if (!keep.isEmpty() && QFile::exists(out.path) && QFile::exists(MkPackage::truthPathFor(out.path))) {
        QFile f(MkPackage::truthPathFor(out.path));
        if (f.open(QIODevice::ReadOnly)) {
            for (const QJsonValue &w : QJsonDocument::fromJson(f.readAll()).object().value("wells").toArray()) {
                QStringList entries;
                for (const QJsonValue &e : w.toObject().value("images").toArray())
                    entries.append(e.toString());
                out.imageEntries.append(entries);
            }
            if (out.imageEntries.size() == o.wells)
                return out;
            out.imageEntries.clear();
        }
    }
    MkPackage::RunTruth truth;
    if (!MkPackage::generatePackage(o, out.path, &truth, &out.error))
        return out;
    for (const MkPackage::WellTruth &w : truth.wells)
        out.imageEntries.append(w.imageEntries);
    std::fprintf(stderr, "generated %d wells in %.1f s, %.0f MB\n", o.wells, t.elapsed() / 1000.0,
                 QFile(out.path).size() / 1048576.0);
    return out;
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

inline qint64 imageBytes(const QVector<QImage> &images)
{
    qint64 n = 0;
    for (const QImage &img : images)
        n += img.sizeInBytes();
    return n;
}

// One task per well opens the archive, inflates its images and decodes them.
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

struct Bare {
    double seconds = 0.0;
    double peak = 0.0;
    double imageBytes = 0.0;
};

inline Bare bareDecode(const Archive &a)
{
    Bare out;
    PeakSampler sampler;
    QElapsedTimer t;
    t.start();
    const QList<QVector<QImage>> decoded = QtConcurrent::blockingMappedReduced<QList<QVector<QImage>>>(
        a.imageEntries, BareTask{a.path},
        [](QList<QVector<QImage>> &all, const QVector<QImage> &images) { all.append(images); },
        QtConcurrent::OrderedReduce | QtConcurrent::SequentialReduce);
    out.seconds = t.nsecsElapsed() / 1e9;
    out.peak = double(sampler.stop());
    for (const QVector<QImage> &w : decoded)
        out.imageBytes += double(imageBytes(w));
    return out;
}

} // namespace BenchPackage
