// Thresholds and spill-over compensation of one well of 20000 droplets, each against a plain
// pass over the same greys.
#include "clusterhandle.h"
#include "negposcluster.h"
#include "spillovercompensation.h"

#include <benchmark/benchmark.h>
#include <random>

static WellImageAnalysisInfo syntheticWell()
{
    std::mt19937 gen(11);
    std::normal_distribution<double> neg(5000, 250), pos(20000, 1000);
    WellImageAnalysisInfo w;
    w.valid = true;
    w.channels = {0, 1, 2, 3, 4, 5};
    for (int i = 0; i < 20000; ++i) {
        DropletAnalysisInfo d;
        for (int ch = 0; ch < 6; ++ch)
            d.workingGreys[ch] = quint32((i + ch) % 10 == 0 ? pos(gen) : neg(gen));
        w.droplets.append(d);
    }
    return w;
}

static QVector<uint> channelGreys(const WellImageAnalysisInfo &w, int ch)
{
    QVector<uint> v;
    for (const DropletAnalysisInfo &d : w.droplets)
        v.append(d.workingGreys[ch]);
    return v;
}

static void BM_PlainSum(benchmark::State &state)
{
    const QVector<uint> v = channelGreys(syntheticWell(), 0);
    for (auto _ : state) {
        double s = 0;
        for (uint x : v)
            s += x;
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(BM_PlainSum);

static void BM_ClusterOneChannel(benchmark::State &state)
{
    const QVector<uint> v = channelGreys(syntheticWell(), 0);
    ClusterHandle handle;
    for (auto _ : state) {
        double t = 0;
        benchmark::DoNotOptimize(handle.clusterDrpltGray(v, t));
        benchmark::DoNotOptimize(t);
    }
}
BENCHMARK(BM_ClusterOneChannel);

static void BM_ClusterWell(benchmark::State &state)
{
    const WellImageAnalysisInfo base = syntheticWell();
    QString progress;
    for (auto _ : state) {
        WellImageAnalysisInfo w = base;
        benchmark::DoNotOptimize(Ravelin::clusterWellThresholds(&w, 1, &progress));
    }
}
BENCHMARK(BM_ClusterWell);

static void BM_CopyWell(benchmark::State &state)
{
    const WellImageAnalysisInfo base = syntheticWell();
    for (auto _ : state) {
        WellImageAnalysisInfo w = base;
        for (DropletAnalysisInfo &d : w.droplets)
            d.workingGreys[0] += 1; // detaches every droplet, as the compensation does
        benchmark::DoNotOptimize(w.droplets.constData());
    }
}
BENCHMARK(BM_CopyWell);

static void BM_CompensateWell(benchmark::State &state)
{
    const WellImageAnalysisInfo base = syntheticWell();
    Ravelin::SpilloverCompensation s;
    CompensationMatrix m;
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 6; ++c)
            if (r != c)
                m.matrix[r][c] = 0.01 * (r + 2 * c + 1);
    s.setCompensationMatrix(m);
    for (auto _ : state) {
        WellImageAnalysisInfo w = base;
        s.applyCompensationMatrix(w);
        benchmark::DoNotOptimize(w.droplets.constData());
    }
}
BENCHMARK(BM_CompensateWell);

// A compensated well's thresholds, clustered with each grey before the compensation beside the
// compensated one; against BM_ClusterWell.
static void BM_ClusterCompensatedWell(benchmark::State &state)
{
    WellImageAnalysisInfo base = syntheticWell();
    Ravelin::SpilloverCompensation s;
    CompensationMatrix m;
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 6; ++c)
            m.matrix[r][c] = r == c ? 1.0 : 0.002 * (r + 2 * c + 1);
    s.setCompensationMatrix(m);
    for (DropletAnalysisInfo &d : base.droplets)
        d.adjustedGreys = d.workingGreys;
    s.applyCompensationMatrix(base);
    QString progress;
    for (auto _ : state) {
        WellImageAnalysisInfo w = base;
        benchmark::DoNotOptimize(Ravelin::clusterWellThresholds(&w, 1, &progress));
    }
}
BENCHMARK(BM_ClusterCompensatedWell);

BENCHMARK_MAIN();
