// The package generator against its bare costs: rendering a chip and encoding its images is
// what any generator pays; composing the stored records and writing the zip come on top.
#include "generator.h"
#include "synthchip.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace MkPackage;

namespace {

GeneratorOptions options(int size, int wells)
{
    GeneratorOptions o;
    o.wells = wells;
    o.width = o.height = size;
    return o;
}

// Render the well's four channels and encode them, nothing else.
void BM_RenderAndEncode(benchmark::State &state)
{
    const int size = int(state.range(0));
    LumaraSynth::ChipPlan plan = LumaraSynth::planFor(LumaraSynth::Volume::Pl800, size, size, 1);
    plan.channelPresent = {{true, true, true, true, false, false}};
    for (auto _ : state) {
        const LumaraSynth::Chip chip = LumaraSynth::makeChip(plan);
        for (const cv::Mat &m : chip.images) {
            if (m.empty())
                continue;
            const QImage img(m.data, m.cols, m.rows, int(m.step), QImage::Format_Grayscale16);
            benchmark::DoNotOptimize(encodePng(img));
        }
    }
}
BENCHMARK(BM_RenderAndEncode)->Arg(512)->Arg(1024)->Unit(benchmark::kMillisecond);

// One well as the generator makes it: render, measure greys, compose records, encode images.
void BM_ComposeWell(benchmark::State &state)
{
    SynthWells wells;
    QString error;
    if (!wells.setOptions(options(int(state.range(0)), 1), &error)) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    Composer composer;
    composer.prepare(wells.runPlan(), {wells.summary(0)}, &error);
    for (auto _ : state) {
        WellPlan well;
        ComposedWell composed;
        wells.well(0, &well, &error);
        composer.composeWell(well, 0, &composed, &error);
        benchmark::DoNotOptimize(PkgWriter::pcr3DropletRecord(composed.dropletData));
    }
}
BENCHMARK(BM_ComposeWell)->Arg(512)->Arg(1024)->Unit(benchmark::kMillisecond);

// A whole 4-well archive on the global pool, as tests make them.
void BM_WritePackage(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("bench.imrs");
    for (auto _ : state) {
        QString error;
        if (!generatePackage(options(int(state.range(0)), 4), path, nullptr, &error))
            state.SkipWithError(qPrintable(error));
    }
}
BENCHMARK(BM_WritePackage)->Arg(512)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
