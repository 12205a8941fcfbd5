#pragma once
// The seeded run the business-layer and well-list benchmarks share: 96 wells of 20000
// droplets, six target channels, about 30 % positives per channel and 1 % of the droplets
// excluded, line thresholds 2000..2050. LUMARA_BENCH_WELLS sets another well count. Seeded
// once per process; an error message when it cannot be.
#include "bll/bllinstance.h"
#include "seeddocument.h"

#include <QCoreApplication>
#include <QString>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <random>

namespace BenchSeed {

constexpr int Droplets = 20000;

inline QString seedRun()
{
    using namespace LumaraAnalysisData;
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

inline const QString &seeded()
{
    static const QString error = seedRun();
    return error;
}

// The main of a benchmark over the seeded run: the application object, a per-machine folder
// removed when main ends, the business layer's singletons on this thread, then every
// registered benchmark.
inline int runBenchmarks(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir machine;
    if (qEnvironmentVariableIsEmpty("LUMARA_ROOT"))
        qputenv("LUMARA_ROOT", machine.path().toLocal8Bit());
    BLLInstance::createSingletons();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}

} // namespace BenchSeed
