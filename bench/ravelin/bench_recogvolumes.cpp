// Recognition of one well per droplet volume with the data folder's template, kernel and
// parameter file: the reference image recognised and two channels measured, as the analyser
// does for a well. With LUMARA_BENCH_DATA_BEFORE naming another data folder (an earlier set of
// assets), the same wells run with its files too, so that the two sets compare in one run.
#include "analysissettings.h"
#include "chipoptions.h"
#include "dropletimganalysishelper.h"
#include "settings.h"

#include <benchmark/benchmark.h>

#include <QString>

#include <array>
#include <memory>
#include <string>

namespace {

using namespace LumaraSynth;

constexpr int ClassChannel = 0;

struct Scene {
    Chip chip;

    explicit Scene(Volume v)
    {
        ChipOptions o;
        o.volume = v;
        o.width = o.height = 1024;
        o.seed = 2024;
        o.vignetting = 0.15;
        ChipPlan plan = chipPlanOf(o);
        plan.channelPresent.fill(false);
        plan.channelPresent[ClassChannel] = plan.channelPresent[ReferenceChannel] = true;
        chip = makeChip(plan);
    }
};

const Scene &scene(Volume v)
{
    static std::array<std::unique_ptr<Scene>, 4> scenes;
    std::unique_ptr<Scene> &s = scenes[size_t(v)];
    if (!s)
        s = std::make_unique<Scene>(v);
    return *s;
}

struct Assets {
    QString templ;
    QString kernel;
    Ravelin::AnalysisSettings settings;
    bool ok = false;
};

Assets assetsOf(const QString &folder, Volume v)
{
    Assets a;
    const QString name = QLatin1String(volumeName(v));
    a.templ = folder + QStringLiteral("/template/modelTemp%1.tif").arg(name);
    a.kernel = folder + (v == Volume::Pl3000 ? QStringLiteral("/template/Kernel_15.tif")
                                             : QStringLiteral("/template/Kernel_11.tif"));
    Ravelin::Settings s;
    a.ok = s.loadAnalysisSettingsFile(folder + QStringLiteral("/%1_analysisparams.json").arg(name));
    a.settings = s.getAnalysisSettings();
    a.settings.RandomShuffle = false;
    return a;
}

void wellRecognition(benchmark::State &state, Volume v, const QString &folder)
{
    const Assets assets = assetsOf(folder, v);
    if (!assets.ok) {
        state.SkipWithError("no parameter file");
        return;
    }
    const Scene &s = scene(v);
    int found = 0;
    for (auto _ : state) {
        DropletImgAnalysisHelper e;
        e.clearData();
        e.setSettings(assets.settings);
        QString templ = assets.templ, kernel = assets.kernel;
        e.setTemplateModel(templ);
        e.setMexicanhatKernel(kernel);
        e.alterReferenceIndex(ReferenceChannel);
        const cv::Mat &ref = s.chip.images[ReferenceChannel];
        bool ok = e.recogDrplt(unsigned(ref.cols), unsigned(ref.rows), ref.data, 1);
        for (int c : {ClassChannel, ReferenceChannel}) {
            const cv::Mat &img = s.chip.images[size_t(c)];
            ok = ok && e.getChannelDrpltGray(c, unsigned(img.cols), unsigned(img.rows), img.data, 1);
        }
        if (!ok) {
            state.SkipWithError("recognition failed");
            return;
        }
        found = e.getResultData()->droplets.size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["droplets"] = found;
}

int registerAll()
{
    const QString current = QStringLiteral(LUMARA_BENCH_DATA);
    const QString before = qEnvironmentVariable("LUMARA_BENCH_DATA_BEFORE");
    for (Volume v : allVolumes()) {
        const std::string name = std::string("BM_WellRecognition/") + volumeName(v);
        benchmark::RegisterBenchmark((name + "/current").c_str(), wellRecognition, v, current)
            ->Unit(benchmark::kMillisecond);
        if (!before.isEmpty())
            benchmark::RegisterBenchmark((name + "/before").c_str(), wellRecognition, v, before)
                ->Unit(benchmark::kMillisecond);
    }
    return 0;
}
const int registered = registerAll();

} // namespace

BENCHMARK_MAIN();
