// The well list's reload on the hub's updateWellInfo (population results, wells, threshold
// cache, scope and axis resets, updateComplete) on the seeded 96-well run, against the business
// layer's own line recount of the same wells, in one run. Reports the time ratio.
// LUMARA_BENCH_WELLS sets another well count.
#include "bll/bllinstance.h"
#include "bll/signaltransfer.h"
#include "seededrun.h"
#include "shell/welllistmodel.h"

#include <QElapsedTimer>
#include <benchmark/benchmark.h>

namespace {

void BM_WellListReload(benchmark::State &state)
{
    const QString &error = BenchSeed::seeded();
    if (!error.isEmpty()) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    BLLInstance *bll = BLLInstance::getInstance();
    WellListModel *wells = WellListModel::instance();
    SignalTransfer *hub = SignalTransfer::getInstance();
    double reloadSeconds = 0.0, recountSeconds = 0.0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        QMetaObject::invokeMethod(bll, "reCalculateZonesDroplets", Qt::DirectConnection);
        recountSeconds += timer.nsecsElapsed() * 1e-9;
        timer.restart();
        emit hub->updateWellInfo();
        const double seconds = timer.nsecsElapsed() * 1e-9;
        reloadSeconds += seconds;
        state.SetIterationTime(seconds);
        benchmark::DoNotOptimize(wells->rowCount());
    }
    if (wells->getAllWellIDs().size() != bll->getWellIds().size())
        state.SkipWithError("the well list does not hold every well");
    const double n = double(state.iterations());
    state.counters["recount_ms"] = 1000.0 * recountSeconds / n;
    state.counters["reload_per_recount"] = reloadSeconds / recountSeconds;
}
BENCHMARK(BM_WellListReload)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

} // namespace

int main(int argc, char **argv)
{
    return BenchSeed::runBenchmarks(argc, argv);
}
