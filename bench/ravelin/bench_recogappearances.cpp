// Recognition of 1024 by 1024 images of 800 pl droplets of several appearances, each next to
// the bare template match of the same image: what the steps around the match cost, and
// whether an appearance (wide flat droplets, the classes' own channel, two sets) costs more.
#include "chipoptions.h"
#include "recognitionsetup.h"

#include <benchmark/benchmark.h>

#include <opencv2/core/utility.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <array>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace LumaraSynth;

constexpr int ClassChannel = 0;

struct Appearance {
    const char *name;
    std::vector<std::pair<std::string, std::string>> options;
};

const Appearance Appearances[] = {
    {"base", {}},
    {"flat 1.1x", {{"profile", "flat"}, {"radius", "1.1"}}},
    {"gaussian 0.9x", {{"profile", "gaussian"}, {"radius", "0.9"}}},
    {"classes, negatives 3x", {{"recognise-on", "classes"}, {"negatives", "3"}}},
    {"two sets", {{"sets", "2"}}},
};

struct Scene {
    std::vector<cv::Mat> images; // the recognition image of each set

    explicit Scene(const Appearance &a)
    {
        ChipOptions o;
        o.width = o.height = 1024;
        o.seed = 2024;
        for (const auto &kv : a.options)
            setChipOption(o, kv.first, kv.second, nullptr);
        const Chip chip = makeChip(chipPlanOf(o));
        const int channel = o.reference ? ReferenceChannel : ClassChannel;
        for (const auto &set : imageSets(chip, o.sets))
            images.push_back(set[size_t(channel)]);
    }
};

const Scene &scene(int index)
{
    static std::array<std::unique_ptr<Scene>, std::size(Appearances)> scenes;
    if (!scenes[size_t(index)])
        scenes[size_t(index)] = std::make_unique<Scene>(Appearances[index]);
    return *scenes[size_t(index)];
}

void BM_RecogniseAppearance(benchmark::State &state)
{
    const Scene &s = scene(int(state.range(0)));
    state.SetLabel(Appearances[state.range(0)].name);
    int found = 0;
    for (auto _ : state) {
        found = 0;
        for (const cv::Mat &img : s.images) {
            DropletImgAnalysisHelper e;
            RecognitionSetup::configure800(e);
            if (!e.recogDrplt(unsigned(img.cols), unsigned(img.rows), img.data, 1)) {
                state.SkipWithError("recognition failed");
                return;
            }
            found += e.getResultData()->droplets.size();
        }
        benchmark::DoNotOptimize(found);
    }
    state.counters["droplets"] = found;
}
BENCHMARK(BM_RecogniseAppearance)->DenseRange(0, int(std::size(Appearances)) - 1)->Unit(benchmark::kMillisecond);

// The bare cost: the template match alone over the same prepared images.
void BM_MatchAloneAppearance(benchmark::State &state)
{
    const Scene &s = scene(int(state.range(0)));
    state.SetLabel(Appearances[state.range(0)].name);
    const cv::Mat T = cv::imread(RecognitionSetup::templatePath().toStdString(), cv::IMREAD_GRAYSCALE);
    const int h = T.cols / 2;
    std::vector<cv::Mat> padded;
    for (const cv::Mat &img : s.images) {
        DropletImgAnalysisHelper e;
        RecognitionSetup::configure800(e);
        cv::Mat N, P;
        if (T.empty() || !e.prepareMatchImage(img, T.rows, N)) {
            state.SkipWithError("no match image");
            return;
        }
        cv::copyMakeBorder(N, P, h, h, h, h, cv::BORDER_REPLICATE);
        padded.push_back(P);
    }
    cv::Mat R;
    for (auto _ : state) {
        for (const cv::Mat &P : padded) {
            cv::matchTemplate(P, T, R, cv::TM_CCOEFF_NORMED);
            benchmark::DoNotOptimize(R.data);
        }
    }
}
BENCHMARK(BM_MatchAloneAppearance)->DenseRange(0, int(std::size(Appearances)) - 1)->Unit(benchmark::kMillisecond);

} // namespace

// One OpenCV thread: the program analyses each well on a pool thread of its own, and on a
// shared machine OpenCV's own pool makes the bare match swing tenfold between runs.
int main(int argc, char **argv)
{
    cv::setNumThreads(1);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
