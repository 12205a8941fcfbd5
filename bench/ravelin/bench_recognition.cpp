// Recognition of one 1024 by 1024 reference image (800 pl droplets), next to the single
// template-matching call it makes on the same image, and the whole per-channel measurement.
#include "recognitionsetup.h"
#include "synthchip.h"

#include <benchmark/benchmark.h>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

namespace {

struct Scene {
    LumaraSynth::Chip chip;

    Scene()
    {
        LumaraSynth::ChipPlan plan = LumaraSynth::planFor(LumaraSynth::Volume::Pl800, 1024, 1024, 2024);
        plan.vignetting = 0.2;
        plan.debrisCount = 20;
        chip = LumaraSynth::makeChip(plan);
    }
    void configure(DropletImgAnalysisHelper &e) const
    {
        RecognitionSetup::configure800(e);
        e.setRTreesModelPath(RecognitionSetup::dataPath("classify_droplet.xml"));
        e.alterReferenceIndex(LumaraSynth::ReferenceChannel);
    }
};

const Scene &scene()
{
    static const Scene s;
    return s;
}

void BM_Recognition(benchmark::State &state)
{
    const Scene &s = scene();
    const cv::Mat &img = s.chip.images[LumaraSynth::ReferenceChannel];
    int found = 0;
    for (auto _ : state) {
        DropletImgAnalysisHelper e;
        s.configure(e);
        if (!e.recogDrplt(unsigned(img.cols), unsigned(img.rows), img.data, 1)) {
            state.SkipWithError("recognition failed");
            return;
        }
        found = e.getResultData()->droplets.size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["droplets"] = found;
    state.SetItemsProcessed(state.iterations() * found);
}
BENCHMARK(BM_Recognition)->Unit(benchmark::kMillisecond);

void BM_MatchTemplateAlone(benchmark::State &state)
{
    const Scene &s = scene();
    DropletImgAnalysisHelper e;
    s.configure(e);
    const cv::Mat T = cv::imread(RecognitionSetup::templatePath().toStdString(), cv::IMREAD_GRAYSCALE);
    cv::Mat N, P, R;
    if (T.empty() || !e.prepareMatchImage(s.chip.images[LumaraSynth::ReferenceChannel], T.rows, N)) {
        state.SkipWithError("no match image");
        return;
    }
    const int h = T.cols / 2;
    cv::copyMakeBorder(N, P, h, h, h, h, cv::BORDER_REPLICATE);
    for (auto _ : state) {
        cv::matchTemplate(P, T, R, cv::TM_CCOEFF_NORMED);
        benchmark::DoNotOptimize(R.data);
    }
}
BENCHMARK(BM_MatchTemplateAlone)->Unit(benchmark::kMillisecond);

void BM_RecognitionAndSixChannels(benchmark::State &state)
{
    const Scene &s = scene();
    int found = 0;
    for (auto _ : state) {
        DropletImgAnalysisHelper e;
        s.configure(e);
        const cv::Mat &ref = s.chip.images[LumaraSynth::ReferenceChannel];
        bool ok = e.recogDrplt(unsigned(ref.cols), unsigned(ref.rows), ref.data, 1);
        for (int c = 0; c < LumaraSynth::ChannelCount && ok; ++c) {
            const cv::Mat &img = s.chip.images[size_t(c)];
            ok = e.getChannelDrpltGray(c, unsigned(img.cols), unsigned(img.rows), img.data, 1);
        }
        if (!ok) {
            state.SkipWithError("analysis failed");
            return;
        }
        found = e.getResultData()->droplets.size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["droplets"] = found;
    state.SetItemsProcessed(state.iterations() * found);
}
BENCHMARK(BM_RecognitionAndSixChannels)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
