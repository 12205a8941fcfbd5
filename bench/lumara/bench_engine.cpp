// The analysis engine on a generated 96-well run archive (see benchpackage.h), driven as the
// program drives it:
//   BM_Open        the package opened (records, images, exposure normalisation, automatic
//                  thresholds, default plots), against the bare inflate and decode of its
//                  images on the same pool;
//   BM_Reanalyse   every well recognised anew, on one thread against all of the pool's.
// Each iteration measures both sides back to back, so they see the same machine load, and
// reports their ratio. Run from build/bin (the classifier model is read from ../data).
#include "benchpackage.h"
#include "driver.h"

#include "bll/bllinstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QThreadPool>
#include <benchmark/benchmark.h>
#include <opencv2/core/utility.hpp>

namespace {

using namespace BenchPackage;

const Archive &archive()
{
    static const Archive a = generate(defaultOptions(), QStringLiteral("bench"));
    return a;
}

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

void BM_Open(benchmark::State &state)
{
    const Archive &a = archive();
    if (!a.error.isEmpty()) {
        state.SkipWithError(qPrintable(a.error));
        return;
    }
    double bare = 0.0, open = 0.0;
    for (auto _ : state) {
        bare += bareDecode(a).seconds;
        bool ok = false;
        const double s = seconds([&] { ok = driver().open(a.path); });
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
}
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

// One re-analysis with the pool limited to threads, OpenCV's own threads to openCvThreads
// (-1: its default).
double reanalyse(int threads, int openCvThreads)
{
    QThreadPool *pool = QThreadPool::globalInstance();
    const int savedPool = pool->maxThreadCount();
    const int savedCv = cv::getNumThreads();
    pool->setMaxThreadCount(threads);
    cv::setNumThreads(openCvThreads);
    const double s = seconds([] { driver().reanalyse(0, 1); });
    pool->setMaxThreadCount(savedPool);
    cv::setNumThreads(savedCv);
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
    double one = 0.0, all = 0.0, allCvSingle = 0.0;
    for (auto _ : state) {
        one += reanalyse(1, 1);
        const double s = reanalyse(cores, -1);
        all += s;
        allCvSingle += reanalyse(cores, 1);
        state.SetIterationTime(s);
    }
    const double n = double(state.iterations());
    state.counters["cores"] = cores;
    state.counters["one_thread_s"] = one / n;
    state.counters["speedup"] = one / all;
    state.counters["speedup_opencv_single"] = one / allCvSingle;
    state.counters["wells_per_s"] = a.wells * n / all;
}
BENCHMARK(BM_Reanalyse)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);

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
