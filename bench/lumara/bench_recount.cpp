// The line recount of every well (96 wells of 20000 droplets, six target channels, 1 % of the
// droplets excluded) against one plain pass that only reads and sums the same grey values of
// the same kept droplets. Reports the time ratio. LUMARA_BENCH_WELLS sets another well count.
#include "bll/bllinstance.h"
#include "model/analysisdatamgr.h"
#include "model/compensationmatrixmgr.h"
#include "model/drpltimginfomgr.h"
#include "model/experimentcfgmgr.h"
#include "pcranalysisdocument.h"
#include "seeddocument.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

using namespace LumaraAnalysisData;

namespace {

constexpr int Droplets = 20000;

QString seedRun()
{
    const int wells = qEnvironmentVariableIsSet("LUMARA_BENCH_WELLS") ? qEnvironmentVariableIntValue("LUMARA_BENCH_WELLS") : 96;
    BllTest::DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2, 3, 4, 5, 6});
    std::mt19937 random(7);
    std::uniform_int_distribution<uint> negative(500, 1500), positive(3000, 9000), coin(0, 9), rare(0, 99);
    for (int w = 0; w < wells; ++w) {
        BllTest::WellSeed well = BllTest::well(uint(w) + 1, QStringLiteral("W%1").arg(w + 1), {1, 2, 3, 4, 5, 6});
        well.droplets.reserve(Droplets);
        for (int i = 0; i < Droplets; ++i) {
            BllTest::Greys g{};
            for (int c = 0; c < PerChannel; ++c)
                g[c] = coin(random) < 3 ? positive(random) : negative(random);
            well.droplets.append(BllTest::droplet(g));
            if (rare(random) == 0)
                well.excluded.insert(uint(i));
        }
        for (int c = 0; c < PerChannel; ++c)
            well.lineThresholds[c] = 2000 + 10 * uint(c);
        seed.wells.append(well);
    }
    QString error;
    return BllTest::seedDocument(seed, nullptr, &error) ? QString() : error;
}

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

void BM_LineRecount(benchmark::State &state)
{
    static const QString error = seedRun();
    if (!error.isEmpty()) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    BLLInstance *bll = BLLInstance::getInstance();
    double recountSeconds = 0.0, plainSeconds = 0.0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        benchmark::DoNotOptimize(plainSum());
        plainSeconds += timer.nsecsElapsed() * 1e-9;
        timer.restart();
        QMetaObject::invokeMethod(bll, "reCalculateZonesDroplets", Qt::DirectConnection);
        const double seconds = timer.nsecsElapsed() * 1e-9;
        recountSeconds += seconds;
        state.SetIterationTime(seconds);
    }
    const double n = double(state.iterations());
    state.counters["plain_sum_ms"] = 1000.0 * plainSeconds / n;
    state.counters["recount_per_plain_sum"] = recountSeconds / plainSeconds;
}
BENCHMARK(BM_LineRecount)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    BLLInstance::createSingletons();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
