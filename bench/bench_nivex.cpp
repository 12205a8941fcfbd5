// Droplet quality of one channel of 20000 droplets, against a plain pass summing the values.
#include "qualityevaluation.h"
#include <benchmark/benchmark.h>
#include <random>

static QVector<quint32> channelValues()
{
    std::mt19937 gen(7);
    std::normal_distribution<double> neg(5000, 250), pos(20000, 1000);
    QVector<quint32> v;
    for (int i = 0; i < 20000; ++i)
        v.append(quint32(i % 10 == 0 ? pos(gen) : neg(gen)));
    return v;
}

static void BM_PlainSum(benchmark::State &state)
{
    const QVector<quint32> v = channelValues();
    for (auto _ : state) {
        double s = 0;
        for (quint32 x : v)
            s += x;
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(BM_PlainSum);

static void BM_DropletQuality(benchmark::State &state)
{
    const QVector<quint32> v = channelValues();
    for (auto _ : state)
        benchmark::DoNotOptimize(QualityEvaluation::calDrpltQuality(v, 12000, 3));
}
BENCHMARK(BM_DropletQuality);

BENCHMARK_MAIN();
