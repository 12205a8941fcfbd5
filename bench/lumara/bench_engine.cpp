// The analysis engine on a generated 96-well run archive (see benchpackage.h), driven as the
// program drives it:
//   BM_Open        the package opened (records, images, exposure normalisation, automatic
//                  thresholds, default plots), against the bare inflate and decode of its
//                  images on the same pool;
//   BM_Reanalyse   every well recognised anew on one thread, against the same with every image
//                  read from the package again (the document's images withheld, as when it did
//                  not hold them), with the decodes each of the two made;
//   BM_ReanalyseParallel  the same on one thread against all of the pool's;
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

#include <algorithm>
#include <atomic>
#include <ctime>
#include <vector>

#include <malloc.h>
#include <sys/resource.h>

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
        o.storedDroplets = MkPackage::StoredDroplets::Drawn; // too small for the recognition
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

// What one measured run cost.
struct Run {
    double seconds = 0.0;
    double cpu = 0.0;
    double faults = 0.0; // minor page faults: fresh memory touched
    int decodes = 0;
};

// One re-analysis with the pool limited to threads, OpenCV's own threads to openCvThreads
// (-1: its default).
Run reanalyse(int threads, int openCvThreads)
{
    // The decodes stand beside the time, so that a comparison that decoded nothing shows as
    // such.
    std::atomic<int> decodes{0};
    WellImages::setDecodeObserver([&decodes](const QString &) { decodes.fetch_add(1); });
    QThreadPool *pool = QThreadPool::globalInstance();
    const int savedPool = pool->maxThreadCount();
    const int savedCv = cv::getNumThreads();
    pool->setMaxThreadCount(threads);
    cv::setNumThreads(openCvThreads);
    // Every run starts from the same state: nothing an earlier run queued (the images it let
    // go) still working, and no freed memory kept for reuse. Memory the allocator kept from the
    // run before spares a run most of its page faults, which on a virtual machine can cost as
    // much as the work itself: a run's time otherwise depends on which run came before it.
    pool->waitForDone();
    malloc_trim(0);
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    const double cpuBefore = cpuSeconds();
    Run run;
    run.seconds = seconds([] { driver().reanalyse(0, 1); });
    run.cpu = cpuSeconds() - cpuBefore;
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    run.faults = double(after.ru_minflt - before.ru_minflt);
    pool->waitForDone();
    pool->setMaxThreadCount(savedPool);
    cv::setNumThreads(savedCv);
    WellImages::setDecodeObserver(nullptr);
    run.decodes = decodes.load();
    return run;
}

// One re-analysis on one thread with the document's images withheld: every image is read and
// decoded from the package again, the way each re-analysis went before it used the document's.
Run reanalyseFromPackage()
{
    QList<WellDrpltImgInfo<QImage>> &held = DocumentAccess::analysisExperiments()->getWellDrpltImgInfos();
    const QList<WellDrpltImgInfo<QImage>> kept = held;
    for (WellDrpltImgInfo<QImage> &well : held)
        well.images.clear();
    const Run run = reanalyse(1, 1);
    held = kept;
    return run;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

bool openArchive(benchmark::State &state, const Archive &a)
{
    if (!a.error.isEmpty()) {
        state.SkipWithError(qPrintable(a.error));
        return false;
    }
    if (BLLInstance::getInstance()->getWellIds().size() != a.wells && !driver().open(a.path)) {
        state.SkipWithError("the package did not open");
        return false;
    }
    return true;
}

// One thread (pool and OpenCV): a re-analysis with the document's images against one with them
// withheld. Each iteration runs the two back to back, the first of them alternating, and gives
// one ratio; the counters are medians over the iterations, in wall-clock and in processor time
// (on a shared machine a one-thread run's wall-clock time also measures the other users), with
// the spread of the wall-clock ratios and each side's page faults beside them.
void BM_Reanalyse(benchmark::State &state)
{
    const Archive &a = archive();
    if (!openArchive(state, a))
        return;
    // The first re-analysis after the open replaces the opened records and images; measured
    // runs start from the state a re-analysis leaves, on both sides.
    reanalyse(QThread::idealThreadCount(), -1);
    std::vector<double> held, fromPackage, ratios, cpuRatios, heldFaults, fromPackageFaults;
    int heldDecodes = 0, fromPackageDecodes = 0;
    bool heldFirst = true;
    for (auto _ : state) {
        Run h, p;
        if (heldFirst) {
            h = reanalyse(1, 1);
            p = reanalyseFromPackage();
        } else {
            p = reanalyseFromPackage();
            h = reanalyse(1, 1);
        }
        heldFirst = !heldFirst;
        held.push_back(h.seconds);
        fromPackage.push_back(p.seconds);
        ratios.push_back(p.seconds / h.seconds);
        cpuRatios.push_back(p.cpu / h.cpu);
        heldFaults.push_back(h.faults);
        fromPackageFaults.push_back(p.faults);
        heldDecodes += h.decodes;
        fromPackageDecodes += p.decodes;
        state.SetIterationTime(h.seconds);
    }
    const double n = double(state.iterations());
    state.counters["one_thread_s"] = median(held);
    state.counters["one_thread_from_package_s"] = median(fromPackage);
    state.counters["held_speedup_one_thread"] = median(ratios);
    state.counters["held_speedup_one_thread_min"] = *std::min_element(ratios.begin(), ratios.end());
    state.counters["held_speedup_one_thread_max"] = *std::max_element(ratios.begin(), ratios.end());
    state.counters["held_speedup_one_thread_cpu"] = median(cpuRatios);
    state.counters["faults_held"] = median(heldFaults);
    state.counters["faults_from_package"] = median(fromPackageFaults);
    state.counters["decodes_held"] = heldDecodes / n;
    state.counters["decodes_from_package"] = fromPackageDecodes / n;
}
BENCHMARK(BM_Reanalyse)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(4);

// The pool's threads against one: every well recognised anew on one thread, on all cores with
// OpenCV's own threads on (as the program runs) and on all cores with them off (the wells alone
// spread the work).
void BM_ReanalyseParallel(benchmark::State &state)
{
    const Archive &a = archive();
    if (!openArchive(state, a))
        return;
    const int cores = QThread::idealThreadCount();
    reanalyse(cores, -1);
    double one = 0.0, all = 0.0, allCvSingle = 0.0;
    for (auto _ : state) {
        one += reanalyse(1, 1).seconds;
        const double s = reanalyse(cores, -1).seconds;
        all += s;
        allCvSingle += reanalyse(cores, 1).seconds;
        state.SetIterationTime(s);
    }
    const double n = double(state.iterations());
    state.counters["cores"] = cores;
    state.counters["speedup"] = one / all;
    state.counters["speedup_opencv_single"] = one / allCvSingle;
    state.counters["wells_per_s"] = a.wells * n / all;
}
BENCHMARK(BM_ReanalyseParallel)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

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
