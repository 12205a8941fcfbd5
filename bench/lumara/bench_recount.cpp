// The line recount of every well (96 wells of 20000 droplets, six target channels, 1 % of the
// droplets excluded), and the grey-value readers over every well and channel, each against one
// plain pass that only reads and sums the same grey values of the same kept droplets. Reports
// the time ratios. LUMARA_BENCH_WELLS sets another well count.
#include "bll/bllinstance.h"
#include "model/analysisdatamgr.h"
#include "model/compensationmatrixmgr.h"
#include "model/drpltimginfomgr.h"
#include "model/experimentcfgmgr.h"
#include "pcranalysisdocument.h"
#include "seededrun.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <functional>
#include <vector>

using namespace LumaraAnalysisData;

namespace {

using BenchSeed::seeded;

// The bare cost: the value every reader and the recount classify, of every kept droplet in
// every target channel, summed.
quint64 plainSum()
{
    PcrAnalysisDocument *doc = PcrAnalysisDocument::getInstance();
    const bool compensated = doc->getCompensationMatrixMgr()->isApplied();
    DrpltImgInfoMgr *images = doc->getAnalysisDataMgr()->getDrpltImgInfoMgr();
    quint64 sum = 0;
    for (const WellInfo &well : doc->getExperimentCfgMgr()->getWells()) {
        const WellImageAnalysisInfo &info = images->getImgAnalysisInfo(well.id);
        std::vector<char> excluded(size_t(info.droplets.size()), 0);
        for (quint32 index : info.excludedDrplts)
            if (index < excluded.size())
                excluded[index] = 1;
        for (int i = 0; i < info.droplets.size(); ++i) {
            if (excluded[size_t(i)])
                continue;
            const QPair<quint32, quint32> *pairs = info.droplets.at(i).grayPairs.constData();
            for (quint32 c : well.channels)
                sum += compensated ? pairs[c].second : pairs[c].first;
        }
    }
    return sum;
}

// Each iteration times the plain pass, then work (the iteration's time); the counters give the
// plain pass's mean and the ratio of the two totals under `ratioName`.
void againstPlainSum(benchmark::State &state, const char *ratioName, const std::function<void()> &work)
{
    const QString &error = seeded();
    if (!error.isEmpty()) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    double workSeconds = 0.0, plainSeconds = 0.0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        benchmark::DoNotOptimize(plainSum());
        plainSeconds += timer.nsecsElapsed() * 1e-9;
        timer.restart();
        work();
        const double seconds = timer.nsecsElapsed() * 1e-9;
        workSeconds += seconds;
        state.SetIterationTime(seconds);
    }
    const double n = double(state.iterations());
    state.counters["plain_sum_ms"] = 1000.0 * plainSeconds / n;
    state.counters[ratioName] = workSeconds / plainSeconds;
}

void BM_LineRecount(benchmark::State &state)
{
    againstPlainSum(state, "recount_per_plain_sum", [] {
        QMetaObject::invokeMethod(BLLInstance::getInstance(), "reCalculateZonesDroplets", Qt::DirectConnection);
    });
}
BENCHMARK(BM_LineRecount)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

// The droplet readers the pages call per well and channel (every droplet, as the markers and
// the export read them; the kept ones, as the plots read them) against the same plain pass.
void BM_GreyReaders(benchmark::State &state)
{
    const bool all = state.range(0) != 0;
    againstPlainSum(state, "reader_per_plain_sum", [all] {
        BLLInstance *bll = BLLInstance::getInstance();
        quint64 sum = 0;
        for (uint id : bll->getWellIds()) {
            for (uint channel : bll->getWellChannels(id)) {
                const QVector<uint> values = all ? bll->getAllDropletGrayValues(id, channel)
                                                 : bll->getWellChannelGrayValues(id, channel);
                for (uint v : values)
                    sum += v;
            }
        }
        benchmark::DoNotOptimize(sum);
    });
}
BENCHMARK(BM_GreyReaders)->ArgName("every_droplet")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

} // namespace

int main(int argc, char **argv)
{
    return BenchSeed::runBenchmarks(argc, argv);
}
