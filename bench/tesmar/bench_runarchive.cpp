// Reading a generated 96-well .imrs run archive (about 15000 droplets a well, six channels of
// 1024 x 1024 16-bit PNG) into fresh managers, against the bare cost of inflating and decoding
// the same images on the same pool. Reports the time ratio and the peak memory of each run
// next to the decoded image bytes plus the droplet records the managers hold.
//
// The archive is generated once, at start-up, into a temporary folder (about a minute; see
// benchpackage.h for a smaller or kept one).
#include "benchpackage.h"

#include "io/analysisdatafileparser3.h"
#include "model/analysisdatamgr.h"
#include "model/analysisexperimentmgr.h"
#include "model/drpltimginfomgr.h"
#include "model/filelogmgr.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace BenchPackage;

const Archive &archive()
{
    static const Archive a = generate(defaultOptions(), QStringLiteral("bench"));
    return a;
}

struct Read {
    bool ok = false;
    double seconds = 0.0;
    double peak = 0.0;
    double imageBytes = 0.0;
    double recordBytes = 0.0;
};

Read readArchive(const Archive &a)
{
    Read out;
    PeakSampler sampler;
    QElapsedTimer t;
    t.start();
    auto log = std::make_unique<FileLogMgr>();
    auto data = std::make_unique<AnalysisDataMgr>(log.get());
    AnalysisDataMgr *slot = data.get();
    {
        AnalysisDataFileParser3 parser(a.path, &slot);
        out.ok = parser.parse();
    }
    out.seconds = t.nsecsElapsed() / 1e9;
    out.peak = double(sampler.stop());
    out.ok = out.ok && data->getAnalysisExpMgr()->getAnalysisExpGlobalInfo().wells.size() == a.wells;
    for (const WellDrpltImgInfo<QImage> &w : data->getAnalysisExpMgr()->getWellDrpltImgInfos())
        out.imageBytes += double(imageBytes(w.images));
    // A droplet record as the managers hold it: the record and its four six-entry lists, list
    // headers included.
    constexpr double perDroplet = sizeof(LumaraAnalysisData::DrpltInfo) + 3 * (24 + 6 * 4) + (24 + 6 * 8);
    for (const LumaraAnalysisData::WellImageAnalysisInfo &w : data->getDrpltImgInfoMgr()->getWellImgAnalysisInfos())
        out.recordBytes += perDroplet * w.droplets.size();
    return out;
}

// Each iteration decodes the bare images, then reads the archive, so that both see the same
// machine load; the iteration time is the read's.
void BM_ReadImrs(benchmark::State &state)
{
    const Archive &a = archive();
    if (!a.error.isEmpty()) {
        state.SkipWithError(qPrintable(a.error));
        return;
    }
    double bareSeconds = 0.0, readSeconds = 0.0, barePeak = 0.0, readPeak = 0.0;
    Bare bare;
    Read read;
    for (auto _ : state) {
        bare = bareDecode(a);
        read = readArchive(a);
        if (!read.ok) {
            state.SkipWithError("the archive did not read");
            return;
        }
        bareSeconds += bare.seconds;
        readSeconds += read.seconds;
        barePeak = std::max(barePeak, bare.peak);
        readPeak = std::max(readPeak, read.peak);
        state.SetIterationTime(read.seconds);
    }
    const double n = double(state.iterations());
    state.counters["bare_decode_ms"] = 1000.0 * bareSeconds / n;
    state.counters["read_per_bare_decode"] = readSeconds / bareSeconds;
    state.counters["image_MB"] = read.imageBytes / 1048576.0;
    state.counters["droplet_MB"] = read.recordBytes / 1048576.0;
    state.counters["read_peak_MB"] = readPeak / 1048576.0;
    state.counters["read_peak_per_data"] = readPeak / (read.imageBytes + read.recordBytes);
    state.counters["bare_peak_per_image"] = barePeak / bare.imageBytes;
}
BENCHMARK(BM_ReadImrs)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    archive(); // generated before any timing
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
