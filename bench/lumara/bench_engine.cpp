// The analysis engine on a generated 96-well run archive (see benchpackage.h), driven as the
// program drives it:
//   BM_Open        the package opened (records, images, exposure normalisation, automatic
//                  thresholds, default plots), against the bare inflate and decode of its
//                  images on the same pool;
//   BM_Reanalyse   every well recognised anew, on one thread against all of the pool's, and on
//                  one thread against the same with every image read from the package again
//                  (the document's images withheld, as when it did not hold them), with the
//                  decodes each of the two one-thread runs made;
//   BM_OpenMemory  peak resident memory of the open against the decoded image bytes plus the
//                  stored records (the run.pcr entry's inflated size);
//   BM_Reopen      opening a package saved from the archive against opening the archive.
// Each iteration measures both sides back to back, so they see the same machine load, and
// reports their ratio. Run from build/bin (the classifier model is read from ../data).
#include "benchpackage.h"
#include "driver.h"

#include "bll/bllinstance.h"
#include "bll/documentaccess.h"
#include "io/imagestack.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QThreadPool>
#include <benchmark/benchmark.h>
#include <opencv2/core/utility.hpp>

#include <atomic>
#include <ctime>

namespace {

using namespace BenchPackage;

const Archive &archive()
{
    static const Archive a = generate(defaultOptions(), QStringLiteral("bench"));
    return a;
}

// A one-well archive opened between measurements, so that the big document is let go first.
const Archive &tiny()
{
    static const Archive a = [] {
        MkPackage::GeneratorOptions o;
        o.wells = 1;
        o.width = o.height = 64;
        return generate(o, QStringLiteral("tiny"));
    }();
    return a;
}

// The package saved from the archive, made once.
QString savedPackage();

EndToEnd::Driver &driver()
{
    static EndToEnd::Driver d;
    return d;
}

double seconds(const std::function<void()> &work)
{
    QElapsedTimer t;
    t.start();
    work();
    return t.nsecsElapsed() / 1e9;
}

// The processor time of the whole process: on a shared, loaded machine a one-thread run's
// wall-clock time mostly measures the other users.
double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec / 1e9;
}

void BM_Open(benchmark::State &state)
{
    const Archive &a = archive();
    if (!a.error.isEmpty()) {
        state.SkipWithError(qPrintable(a.error));
        return;
    }
    double bare = 0.0, open = 0.0, bareCpu = 0.0, openCpu = 0.0;
    for (auto _ : state) {
        double cpu = cpuSeconds();
        bare += bareDecode(a).seconds;
        bareCpu += cpuSeconds() - cpu;
        bool ok = false;
        cpu = cpuSeconds();
        const double s = seconds([&] { ok = driver().open(a.path); });
        openCpu += cpuSeconds() - cpu;
        if (!ok || BLLInstance::getInstance()->getWellIds().size() != a.wells) {
            state.SkipWithError("the package did not open");
            return;
        }
        open += s;
        state.SetIterationTime(s);
    }
    const double n = double(state.iterations());
    state.counters["bare_decode_ms"] = 1000.0 * bare / n;
    state.counters["open_per_bare_decode"] = open / bare;
    state.counters["open_per_bare_decode_cpu"] = openCpu / bareCpu;
}
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

// One re-analysis with the pool limited to threads, OpenCV's own threads to openCvThreads
// (-1: its default).
double reanalyse(int threads, int openCvThreads, double *cpu = nullptr, int *decodes = nullptr)
{
    // Decodes counted only where asked for: the count stands beside the time, so that a
    // comparison that decoded nothing shows as such.
    std::atomic<int> counted{0};
    if (decodes)
        WellImages::setDecodeObserver([&counted](const QString &) { counted.fetch_add(1); });
    QThreadPool *pool = QThreadPool::globalInstance();
    const int savedPool = pool->maxThreadCount();
    const int savedCv = cv::getNumThreads();
    pool->setMaxThreadCount(threads);
    cv::setNumThreads(openCvThreads);
    const double cpuBefore = cpuSeconds();
    const double s = seconds([] { driver().reanalyse(0, 1); });
    if (cpu)
        *cpu += cpuSeconds() - cpuBefore;
    pool->setMaxThreadCount(savedPool);
    cv::setNumThreads(savedCv);
    if (decodes) {
        WellImages::setDecodeObserver(nullptr);
        *decodes += counted.load();
    }
    return s;
}

// The single-thread run keeps OpenCV to that thread too; the all-core run is measured with
// OpenCV's own threads on (as the program runs) and off (the wells alone spread the work).
void BM_Reanalyse(benchmark::State &state)
{
    const Archive &a = archive();
    if (!a.error.isEmpty()) {
        state.SkipWithError(qPrintable(a.error));
        return;
    }
    if (BLLInstance::getInstance()->getWellIds().size() != a.wells && !driver().open(a.path)) {
        state.SkipWithError("the package did not open");
        return;
    }
    const int cores = QThread::idealThreadCount();
    // The first re-analysis after the open replaces the opened records and images; measured
    // runs start from the state a re-analysis leaves.
    reanalyse(cores, -1);
    double one = 0.0, all = 0.0, allCvSingle = 0.0, oneFromPackage = 0.0;
    double oneCpu = 0.0, oneFromPackageCpu = 0.0;
    int heldDecodes = 0, fromPackageDecodes = 0;
    for (auto _ : state) {
        one += reanalyse(1, 1, &oneCpu, &heldDecodes);
        {
            // The document's images withheld for one run: every image is read and decoded from
            // the package again, the way each re-analysis went before it used the document's.
            QList<WellDrpltImgInfo<QImage>> &held = DocumentAccess::analysisExperiments()->getWellDrpltImgInfos();
            const QList<WellDrpltImgInfo<QImage>> kept = held;
            for (WellDrpltImgInfo<QImage> &well : held)
                well.images.clear();
            oneFromPackage += reanalyse(1, 1, &oneFromPackageCpu, &fromPackageDecodes);
            held = kept;
        }
        const double s = reanalyse(cores, -1);
        all += s;
        allCvSingle += reanalyse(cores, 1);
        state.SetIterationTime(s);
    }
    const double n = double(state.iterations());
    state.counters["cores"] = cores;
    state.counters["one_thread_s"] = one / n;
    state.counters["one_thread_from_package_s"] = oneFromPackage / n;
    state.counters["held_speedup_one_thread"] = oneFromPackage / one;
    state.counters["one_thread_cpu_s"] = oneCpu / n;
    state.counters["one_thread_from_package_cpu_s"] = oneFromPackageCpu / n;
    state.counters["held_speedup_one_thread_cpu"] = oneFromPackageCpu / oneCpu;
    state.counters["decodes_held"] = heldDecodes / n;
    state.counters["decodes_from_package"] = fromPackageDecodes / n;
    state.counters["speedup"] = one / all;
    state.counters["speedup_opencv_single"] = one / allCvSingle;
    state.counters["wells_per_s"] = a.wells * n / all;
}
BENCHMARK(BM_Reanalyse)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

void BM_OpenMemory(benchmark::State &state)
{
    const Archive &a = archive();
    if (!a.error.isEmpty() || !tiny().error.isEmpty()) {
        state.SkipWithError("no archive");
        return;
    }
    // The records as stored: the inflated size of the archive's run.pcr.
    double records = 0.0;
    {
        QuaZip zip(a.path);
        if (zip.open(QuaZip::mdUnzip) && zip.setCurrentFile(QStringLiteral("run.pcr"))) {
            QuaZipFileInfo64 info;
            if (zip.getCurrentFileInfo(&info))
                records = double(info.uncompressedSize);
        }
    }
    double peak = 0.0, bytes = 0.0;
    for (auto _ : state) {
        bytes = bareDecode(a).imageBytes;
        driver().open(tiny().path);
        PeakSampler sampler;
        const double s = seconds([&] { driver().open(a.path); });
        peak = double(sampler.stop());
        state.SetIterationTime(s);
    }
    state.counters["image_MB"] = bytes / 1048576.0;
    state.counters["records_MB"] = records / 1048576.0;
    state.counters["peak_MB"] = peak / 1048576.0;
    state.counters["peak_per_images_and_records"] = peak / (bytes + records);
}
BENCHMARK(BM_OpenMemory)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

QString savedPackage()
{
    static const QString path = [] {
        const QString saved = QFileInfo(archive().path).dir().filePath(QStringLiteral("bench_saved.arlx"));
        if (!driver().open(archive().path) || !driver().save(saved))
            return QString();
        return saved;
    }();
    return path;
}

void BM_Reopen(benchmark::State &state)
{
    const Archive &a = archive();
    const QString saved = a.error.isEmpty() ? savedPackage() : QString();
    if (saved.isEmpty()) {
        state.SkipWithError("the package could not be saved");
        return;
    }
    double archiveOpen = 0.0, reopen = 0.0;
    for (auto _ : state) {
        driver().open(tiny().path);
        archiveOpen += seconds([&] { driver().open(a.path); });
        driver().open(tiny().path);
        bool ok = false;
        const double s = seconds([&] { ok = driver().open(saved); });
        if (!ok || BLLInstance::getInstance()->getWellIds().size() != a.wells) {
            state.SkipWithError("the saved package did not open");
            return;
        }
        reopen += s;
        state.SetIterationTime(s);
    }
    state.counters["reopen_per_archive_open"] = reopen / archiveOpen;
}
BENCHMARK(BM_Reopen)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(2);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // The engine's data paths are relative to the working folder, as the program's are.
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    QTemporaryDir machine;
    if (qEnvironmentVariableIsEmpty("LUMARA_ROOT"))
        qputenv("LUMARA_ROOT", machine.path().toUtf8());
    benchmark::Initialize(&argc, argv);
    BLLInstance::createSingletons();
    archive(); // generated before any timing
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
