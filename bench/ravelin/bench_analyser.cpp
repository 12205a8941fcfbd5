// One well of six 1024 by 1024 channels (800 pl droplets, crosstalk, vignetting) through the
// analyser in the program's order of steps, and eight such wells on one thread against eight
// threads with an analyser each. The argument is OpenCV's own thread count (0: its default),
// since OpenCV parallelises some calls inside a single well already.
#include "drpltimganalyser.h"
#include "settings.h"
#include "spillovercompensation.h"
#include "synthchip.h"

#include <benchmark/benchmark.h>

#include <opencv2/core.hpp>

#include <memory>
#include <thread>
#include <vector>

namespace {

const QString DataDir = QStringLiteral(LUMARA_BENCH_DATA);
const int Wells = 8;
const int Ref = LumaraSynth::ReferenceChannel;

struct Scene {
    std::vector<LumaraSynth::Chip> chips;
    CompensationMatrix matrix;

    Scene()
    {
        auto crosstalk = LumaraSynth::ChipPlan::identity();
        crosstalk[1][0] = 0.15;
        crosstalk[4][3] = 0.12;
        for (int r = 0; r < 6; ++r)
            for (int c = 0; c < 6; ++c)
                matrix.matrix[r][c] = crosstalk[size_t(c)][size_t(r)];
        for (int i = 0; i < Wells; ++i) {
            LumaraSynth::ChipPlan plan = LumaraSynth::planFor(LumaraSynth::Volume::Pl800, 1024, 1024, 500 + i);
            plan.positiveFraction = {{0.3, 0.45, 0.0, 0.2, 0.35, 0.1}};
            plan.vignetting = 0.3;
            plan.crosstalk = crosstalk;
            chips.push_back(LumaraSynth::makeChip(plan));
        }
    }
};

const Scene &scene()
{
    static const Scene s;
    return s;
}

DrpltImgsOnWell<DrpltImg> viewsOf(const LumaraSynth::Chip &chip)
{
    DrpltImgsOnWell<DrpltImg> imgs;
    for (const cv::Mat &m : chip.images)
        imgs.append(DrpltImg{m.cols, m.rows, 1, m.data});
    return imgs;
}

std::unique_ptr<Ravelin::DrpltImgAnalyser> makeAnalyser()
{
    std::unique_ptr<Ravelin::DrpltImgAnalyser> a(new Ravelin::DrpltImgAnalyser);
    QString templ = DataDir + QStringLiteral("/template/modelTemp800pl.tif");
    QString kernel = DataDir + QStringLiteral("/template/Kernel_11.tif");
    a->setTemplateModel(templ);
    a->setMexicanhatKernel(kernel);
    a->setRandomTreesModelPath(DataDir + QStringLiteral("/classify_droplet.xml"));
    a->getSettings()->loadAnalysisSettingsFile(DataDir + QStringLiteral("/800pl_analysisparams.json"));
    Ravelin::AnalysisSettings s = a->getSettings()->getAnalysisSettings();
    s.CrosstalkAdjustType = 1;
    a->getSettings()->setAnalysisSettings(s);
    a->getSpilloverCompensation()->setCompensationMatrix(scene().matrix);
    a->setUseRecogChanFilterDrplt(true);
    a->setStrategy();
    return a;
}

// Returns the number of droplets, -1 on failure.
int analyseWell(Ravelin::DrpltImgAnalyser &a, const LumaraSynth::Chip &chip)
{
    const DrpltImgsOnWell<DrpltImg> in = viewsOf(chip);
    DrpltImgsOnWell<DrpltImg> pre(in.size());
    WellImageAnalysisInfo info;
    bool ok = a.preprocess(in, pre) && a.recogDrplt(pre, Ref, &info) && a.adjustDrpltGysl(&info);
    Ravelin::DrpltImgAnalyser::releaseImages(pre);
    WellImageAnalysisInfo copy = info;
    ok = ok && a.negPosCluster(&copy) && a.adjustCrosstalk(&info) && a.negPosCluster(&info);
    return ok ? info.droplets.size() : -1;
}

class OpenCvThreads {
public:
    explicit OpenCvThreads(int n) : m_saved(cv::getNumThreads())
    {
        if (n > 0)
            cv::setNumThreads(n);
    }
    ~OpenCvThreads() { cv::setNumThreads(m_saved); }

private:
    int m_saved;
};

void BM_AnalyseOneWell(benchmark::State &state)
{
    const OpenCvThreads threads(int(state.range(0)));
    const Scene &s = scene();
    auto a = makeAnalyser();
    int droplets = 0;
    for (auto _ : state) {
        droplets = analyseWell(*a, s.chips[0]);
        if (droplets < 0) {
            state.SkipWithError(qPrintable(a->errorString()));
            return;
        }
    }
    state.counters["droplets"] = droplets;
    state.counters["droplets/s"] = benchmark::Counter(double(droplets), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_AnalyseOneWell)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EightWellsOneThread(benchmark::State &state)
{
    const OpenCvThreads threads(int(state.range(0)));
    const Scene &s = scene();
    std::vector<std::unique_ptr<Ravelin::DrpltImgAnalyser>> analysers;
    for (int i = 0; i < Wells; ++i)
        analysers.push_back(makeAnalyser());
    int droplets = 0;
    for (auto _ : state) {
        droplets = 0;
        for (int i = 0; i < Wells; ++i) {
            const int n = analyseWell(*analysers[size_t(i)], s.chips[size_t(i)]);
            if (n < 0) {
                state.SkipWithError("a well failed");
                return;
            }
            droplets += n;
        }
    }
    state.counters["droplets/s"] = benchmark::Counter(double(droplets), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_EightWellsOneThread)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EightWellsEightThreads(benchmark::State &state)
{
    const OpenCvThreads threads(int(state.range(0)));
    const Scene &s = scene();
    std::vector<std::unique_ptr<Ravelin::DrpltImgAnalyser>> analysers;
    for (int i = 0; i < Wells; ++i)
        analysers.push_back(makeAnalyser());
    std::vector<int> found(Wells, 0);
    for (auto _ : state) {
        std::vector<std::thread> workers;
        for (int i = 0; i < Wells; ++i)
            workers.emplace_back([&, i] { found[size_t(i)] = analyseWell(*analysers[size_t(i)], s.chips[size_t(i)]); });
        for (std::thread &t : workers)
            t.join();
    }
    int droplets = 0;
    for (int n : found) {
        if (n < 0) {
            state.SkipWithError("a well failed");
            return;
        }
        droplets += n;
    }
    state.counters["droplets/s"] = benchmark::Counter(double(droplets), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_EightWellsEightThreads)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
