// recogsweep: droplet recognition over the range of droplet appearances an instrument may
// produce. Each variant is a synthetic chip changed from a base appearance along one axis (or,
// with --grid, along several); the analyser is driven as the program drives it (data-folder
// template, kernel and parameter file of the volume; preprocessing, recognition, grey
// adjustment; two image blocks recognised apart and joined), and the result is compared with
// the drawn droplets:
//   found     eligible drawn droplets with exactly one recognised centre within 2 px
//   false     recognised droplets with no drawn droplet within 2 px (or a second match)
//   off seam  found among the eligible droplets away from the rows where two sets meet
//   bias      positive fraction of the classes' channel among the found droplets against
//             the same among all eligible droplets, relative (0: loss independent of class)
// Eligible droplets are those the recognition can see at all: centres beyond the border guard
// of 1.5 template half-widths.
//
// Each row is judged against the goal of its road, and every road ends with the line
// "<road> road: rows meeting the goal / rows" and the rows that miss it:
//   reference  no failed well; radius 0.9x to 1.1x: >= 95 % found and |bias| <= 2 %;
//              radius 0.8x and 1.2x: >= 80 % found
//   classes    radius 0.9x to 1.1x with negatives at 3 times the background or more:
//              >= 90 % found and |bias| <= 5 %
//   both       false detections <= 2 % of the eligible droplets
// Two sets are judged on the droplets off the seam, which neither set can see.
//
//   recogsweep [--seeds n] [--size px] [--threads n] [--volume 800] [--grid] [--only text|text...]
//              [--data folder]
#include "analysisrecords.h"
#include "drpltimganalyser.h"
#include "settings.h"
#include "chipoptions.h"

#include <QCoreApplication>
#include <QFile>
#include <QString>

#include <opencv2/imgcodecs.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using namespace LumaraSynth;

namespace {

constexpr int ClassChannel = 0;
constexpr double MatchLimit = 2.0;

struct Variant {
    std::string name;
    Profile profile = Profile::AntiAliased;
    double radiusScale = 1.0;
    Packing packing = Packing::Lattice;
    double emptyFraction = 0.0;
    double noise = 0.015;     // deviation, share of the negatives' level
    double vignetting = 0.0;
    double negatives = 6.25;  // negatives' level over the background
    double background = -1.0; // grey of the oil; below 0: the plan's own
    double positivesLow = -1.0; // positives' level over the negatives', a range; below 0: the plan's
    double positivesHigh = -1.0;
    double positiveFraction = 0.3;
    int bits = 16;
    int sets = 1;
    bool classRoad = false;   // recognise on the classes' own channel
    bool artefacts = false;   // debris, haze and a bright blob: real false matches
};

struct Tally {
    int runs = 0;
    int failed = 0;
    long eligible = 0;
    long found = 0;
    long falseHits = 0;
    long eligiblePositive = 0;
    long foundPositive = 0;
    long eligibleOffSeam = 0; // away from the rows where two sets would meet
    long foundOffSeam = 0;
    std::string error;

    void add(const Tally &t)
    {
        runs += t.runs;
        failed += t.failed;
        eligible += t.eligible;
        found += t.found;
        falseHits += t.falseHits;
        eligiblePositive += t.eligiblePositive;
        foundPositive += t.foundPositive;
        eligibleOffSeam += t.eligibleOffSeam;
        foundOffSeam += t.foundOffSeam;
        if (error.empty())
            error = t.error;
    }
    double foundShare() const { return eligible ? double(found) / eligible : 0.0; }
    double foundOffSeamShare() const { return eligibleOffSeam ? double(foundOffSeam) / eligibleOffSeam : 0.0; }
    double bias() const
    {
        if (!found || !eligible || !eligiblePositive)
            return 0.0;
        return (double(foundPositive) / found) / (double(eligiblePositive) / eligible) - 1.0;
    }
};

// Whether a row meets its road's goal, and if not, why.
struct Verdict {
    bool held = true;
    std::string why;

    void miss(const std::string &reason)
    {
        held = false;
        why += (why.empty() ? "" : ", ") + reason;
    }
};

Verdict judge(const Variant &v, const Tally &t)
{
    Verdict out;
    const double found = v.sets == 2 ? t.foundOffSeamShare() : t.foundShare();
    const bool nominal = v.radiusScale > 0.85 && v.radiusScale < 1.15;
    if (t.eligible && double(t.falseHits) > 0.02 * double(t.eligible))
        out.miss("false > 2 %");
    if (!v.classRoad) {
        if (t.failed)
            out.miss("well failed");
        if (nominal) {
            if (found < 0.95)
                out.miss("found < 95 %");
            if (std::abs(t.bias()) > 0.02)
                out.miss("|bias| > 2 %");
        } else if (found < 0.80) {
            out.miss("found < 80 %");
        }
    } else if (nominal && v.negatives >= 3.0) {
        if (found < 0.90)
            out.miss("found < 90 %");
        if (std::abs(t.bias()) > 0.05)
            out.miss("|bias| > 5 %");
    }
    return out;
}

struct Options {
    int seeds = 4;
    int size = 512;
    int threads = 4;
    Volume volume = Volume::Pl800;
    bool grid = false;
    std::string only;
    QString data;
};

QString dataFile(const Options &o, const QString &relative)
{
    return o.data + QLatin1Char('/') + relative;
}

QString templateFile(const Options &o)
{
    return dataFile(o, QStringLiteral("template/modelTemp%1.tif").arg(QLatin1String(volumeName(o.volume))));
}

QString kernelFile(const Options &o)
{
    return dataFile(o, o.volume == Volume::Pl3000 ? QStringLiteral("template/Kernel_15.tif")
                                                  : QStringLiteral("template/Kernel_11.tif"));
}

DrpltImg viewOf(const cv::Mat &m)
{
    DrpltImg img;
    if (m.empty())
        return img;
    img.width = unsigned(m.cols);
    img.height = unsigned(m.rows);
    img.type = m.depth() == CV_16U ? 1 : 0;
    img.data = m.data;
    return img;
}

// One block of images through the program's steps for one well.
bool analyseBlock(Ravelin::DrpltImgAnalyser &a, const std::array<cv::Mat, ChannelCount> &images, int refChannel,
                  bool filter, Ravelin::DiscreteRegions mode, WellImageAnalysisInfo &info, std::string *error)
{
    DrpltImgsOnWell<DrpltImg> in;
    for (const cv::Mat &m : images)
        in.append(viewOf(m));
    a.setUseRecogChanFilterDrplt(filter);
    a.setStrategy();
    DrpltImgsOnWell<DrpltImg> pre(in.size());
    a.preprocess(in, pre);
    a.setRemoveDiscreteRegions(mode);
    const bool ok = a.recogDrplt(pre, refChannel, &info) && a.adjustDrpltGysl(&info);
    Ravelin::DrpltImgAnalyser::releaseImages(pre);
    if (!ok && error)
        *error = a.errorString().trimmed().toStdString();
    return ok;
}

Tally runOne(const Options &o, const Variant &v, std::uint64_t seed)
{
    Tally t;
    t.runs = 1;
    ChipOptions chipOptions;
    chipOptions.volume = o.volume;
    chipOptions.width = chipOptions.height = o.size;
    chipOptions.seed = seed;
    chipOptions.profile = v.profile;
    chipOptions.radiusScale = v.radiusScale;
    chipOptions.packing = v.packing;
    chipOptions.emptyFraction = v.emptyFraction;
    chipOptions.noise = v.noise;
    chipOptions.vignetting = v.vignetting;
    chipOptions.negatives = v.negatives;
    chipOptions.background = v.background;
    chipOptions.positivesLow = v.positivesLow;
    chipOptions.positivesHigh = v.positivesHigh;
    chipOptions.bits = v.bits;
    if (v.artefacts) {
        chipOptions.debris = 12;
        chipOptions.haze = 1;
        chipOptions.blobs = 1;
    }
    ChipPlan plan = chipPlanOf(chipOptions);
    plan.channelPresent.fill(false);
    plan.channelPresent[ClassChannel] = plan.channelPresent[ReferenceChannel] = true;
    plan.positiveFraction.fill(0.0);
    plan.positiveFraction[ClassChannel] = v.positiveFraction;
    const Chip chip = makeChip(plan);

    Ravelin::DrpltImgAnalyser a;
    QString templ = templateFile(o), kernel = kernelFile(o);
    a.setTemplateModel(templ);
    a.setMexicanhatKernel(kernel);
    a.setRandomTreesModelPath(dataFile(o, QStringLiteral("classify_droplet.xml")));
    a.getSettings()->loadAnalysisSettingsFile(
        dataFile(o, QStringLiteral("%1_analysisparams.json").arg(QLatin1String(volumeName(o.volume)))));
    a.setStrategy();
    // The program turns off the reference-channel checks when the reference is a target.
    const int ref = v.classRoad ? ClassChannel : ReferenceChannel;
    const bool filter = !v.classRoad;

    WellImageAnalysisInfo info;
    bool ok = true;
    if (v.sets == 1) {
        ok = analyseBlock(a, chip.images, ref, filter, Ravelin::DiscreteRegionsNone, info, &t.error);
    } else {
        const int half = chip.height / 2;
        const auto sets = imageSets(chip, 2);
        const std::array<cv::Mat, ChannelCount> &top = sets[0], &bottom = sets[1];
        WellImageAnalysisInfo second;
        ok = analyseBlock(a, top, ref, filter, Ravelin::DiscreteRegionsKeepRight, info, &t.error);
        ok = ok && analyseBlock(a, bottom, ref, filter, Ravelin::DiscreteRegionsKeepLeft, second, &t.error);
        for (DropletAnalysisInfo d : qAsConst(second.droplets)) {
            d.y += quint32(half);
            info.droplets.append(d);
        }
    }
    if (!ok)
        t.failed = 1;

    const cv::Mat templImage = cv::imread(templ.toStdString(), cv::IMREAD_GRAYSCALE);
    const double margin = 1.5 * (templImage.cols / 2);
    std::vector<char> eligible(chip.droplets.size(), 0), matched(chip.droplets.size(), 0);
    for (size_t k = 0; k < chip.droplets.size(); ++k) {
        const Droplet &d = chip.droplets[k];
        eligible[k] = d.x > margin && d.y > margin && d.x < chip.width - 1 - margin && d.y < chip.height - 1 - margin;
    }
    // Nearest drawn droplet of every recognised one; a drawn droplet takes one match.
    const double pitch = plan.geometry.pitch;
    const int gw = int(chip.width / pitch) + 2, gh = int(chip.height / pitch) + 2;
    std::vector<std::vector<int>> cells(size_t(gw) * size_t(gh));
    auto cellOf = [&](double x, double y) {
        return std::make_pair(std::clamp(int(x / pitch), 0, gw - 1), std::clamp(int(y / pitch), 0, gh - 1));
    };
    for (size_t k = 0; k < chip.droplets.size(); ++k) {
        const auto [cx, cy] = cellOf(chip.droplets[k].x, chip.droplets[k].y);
        cells[size_t(cy) * size_t(gw) + size_t(cx)].push_back(int(k));
    }
    for (const DropletAnalysisInfo &f : qAsConst(info.droplets)) {
        const auto [cx, cy] = cellOf(f.x, f.y);
        int best = -1;
        double bestDistance = MatchLimit;
        for (int gy = std::max(0, cy - 1); gy <= std::min(gh - 1, cy + 1); ++gy)
            for (int gx = std::max(0, cx - 1); gx <= std::min(gw - 1, cx + 1); ++gx)
                for (int k : cells[size_t(gy) * size_t(gw) + size_t(gx)]) {
                    const double d = std::hypot(chip.droplets[size_t(k)].x - f.x, chip.droplets[size_t(k)].y - f.y);
                    if (d <= bestDistance) {
                        best = k;
                        bestDistance = d;
                    }
                }
        if (best < 0 || matched[size_t(best)])
            ++t.falseHits;
        else
            matched[size_t(best)] = 1;
    }
    for (size_t k = 0; k < chip.droplets.size(); ++k) {
        if (!eligible[k])
            continue;
        const bool positive = chip.droplets[k].positive[ClassChannel];
        ++t.eligible;
        t.eligiblePositive += positive;
        t.found += matched[k];
        t.foundPositive += matched[k] && positive;
        // Within the border guard of the cut no set can see a droplet.
        if (std::abs(chip.droplets[k].y - chip.height / 2) > margin + 1) {
            ++t.eligibleOffSeam;
            t.foundOffSeam += matched[k];
        }
    }
    return t;
}

std::string fmt(const char *f, double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, f, v);
    return buf;
}

std::vector<Variant> variants(const Options &o)
{
    const Profile profiles[] = {Profile::Flat,  Profile::AntiAliased, Profile::Soft,
                                Profile::Dome,  Profile::Gaussian,    Profile::BrightRim};
    std::vector<Variant> out;
    for (bool classRoad : {false, true}) {
        const std::string road = classRoad ? "classes" : "reference";
        auto add = [&](const std::string &axis, Variant v) {
            v.classRoad = classRoad;
            v.name = road + " " + axis;
            out.push_back(v);
        };
        add("base", Variant());
        for (Profile p : profiles) {
            if (p == Profile::AntiAliased)
                continue;
            Variant v;
            v.profile = p;
            add(std::string("profile ") + profileName(p), v);
        }
        for (double r : {0.8, 0.9, 1.1, 1.2}) {
            Variant v;
            v.radiusScale = r;
            add(fmt("radius %.1fx", r), v);
        }
        {
            Variant v;
            v.packing = Packing::Tight;
            add("packing tight", v);
            v.packing = Packing::Lattice;
            v.emptyFraction = 0.2;
            add("packing 20% empty", v);
            v.emptyFraction = 0.0;
            v.packing = Packing::Random;
            add("packing random", v);
        }
        for (double n : {0.01, 0.05, 0.10}) {
            Variant v;
            v.noise = n;
            add(fmt("noise %.0f%%", 100 * n), v);
        }
        for (double g : {0.15, 0.30}) {
            Variant v;
            v.vignetting = g;
            add(fmt("vignetting %.0f%%", 100 * g), v);
        }
        for (double k : {1.2, 2.0, 3.0, 5.0}) {
            Variant v;
            v.negatives = k;
            add(fmt("negatives %.1fx bg", k), v);
        }
        {
            Variant v;
            v.artefacts = true;
            add("debris, haze, blob", v);
            v.vignetting = 0.25;
            add("debris, haze, blob, vignetting", v);
        }
        {
            Variant v;
            v.bits = 8;
            add("8-bit", v);
            v.bits = 16;
            v.sets = 2;
            add("two sets", v);
        }
        // The goal's square: the droplet profiles at the radii a template must cover.
        for (Profile p : profiles) {
            for (double r : {0.9, 1.1}) {
                Variant v;
                v.profile = p;
                v.radiusScale = r;
                add(std::string(profileName(p)) + fmt(" at %.1fx", r), v);
            }
        }
        // Droplets packed tight, as chips drawn apart from this generator show them: background
        // 2000, noise 5 % of the negatives, vignetting 10 %, positives 3 to 4 times the
        // negatives, at the shares of positives a well may hold.
        for (Profile p : {Profile::Dome, Profile::Gaussian, Profile::BrightRim})
            for (double r : {0.9, 1.0, 1.1})
                for (double k : {2.0, 3.0, 5.0})
                    for (double share : {0.1, 0.3, 0.5}) {
                        Variant v;
                        v.profile = p;
                        v.radiusScale = r;
                        v.packing = Packing::Tight;
                        v.noise = 0.05;
                        v.vignetting = 0.10;
                        v.background = 2000.0;
                        v.negatives = k;
                        v.positivesLow = 3.0;
                        v.positivesHigh = 4.0;
                        v.positiveFraction = share;
                        add(std::string("tight ") + profileName(p) + fmt(" %.1fx", r) + fmt(" neg %.0fx", k)
                                + fmt(" pos %.0f%%", 100 * share),
                            v);
                    }
        if (!o.grid)
            continue;
        for (Profile p : profiles)
            for (double r : {0.8, 0.9, 1.0, 1.1, 1.2})
                for (double n : {0.01, 0.05})
                    for (double g : {0.0, 0.30})
                        for (double k : {2.0, 5.0})
                            for (int sets : {1, 2}) {
                                Variant v;
                                v.profile = p;
                                v.radiusScale = r;
                                v.noise = n;
                                v.vignetting = g;
                                v.negatives = k;
                                v.sets = sets;
                                add(std::string("grid ") + profileName(p) + fmt(" r%.1f", r) + fmt(" n%.2f", n)
                                        + fmt(" v%.2f", g) + fmt(" neg%.0f", k) + (sets == 2 ? " 2sets" : ""),
                                    v);
                            }
    }
    if (!o.only.empty()) {
        // Alternatives separated by "|".
        std::vector<std::string> wanted;
        for (size_t from = 0;;) {
            const size_t bar = o.only.find('|', from);
            wanted.push_back(o.only.substr(from, bar == std::string::npos ? std::string::npos : bar - from));
            if (bar == std::string::npos)
                break;
            from = bar + 1;
        }
        std::vector<Variant> kept;
        for (const Variant &v : out)
            if (std::any_of(wanted.begin(), wanted.end(),
                            [&](const std::string &w) { return v.name.find(w) != std::string::npos; }))
                kept.push_back(v);
        out = kept;
    }
    return out;
}

bool parse(int argc, char **argv, Options &o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> const char * { return i + 1 < argc ? argv[++i] : nullptr; };
        const char *v = nullptr;
        if (a == "--grid") {
            o.grid = true;
            continue;
        }
        if (!(v = value())) {
            std::fprintf(stderr, "%s needs a value\n", a.c_str());
            return false;
        }
        if (a == "--seeds")
            o.seeds = std::max(1, std::atoi(v));
        else if (a == "--size")
            o.size = std::max(64, std::atoi(v));
        else if (a == "--threads")
            o.threads = std::max(1, std::atoi(v));
        else if (a == "--only")
            o.only = v;
        else if (a == "--data")
            o.data = QString::fromLocal8Bit(v);
        else if (a == "--volume") {
            const std::string name = std::string(v) + "pl";
            bool known = false;
            for (Volume vol : allVolumes())
                if (name == volumeName(vol)) {
                    o.volume = vol;
                    known = true;
                }
            if (!known) {
                std::fprintf(stderr, "unknown volume %s\n", v);
                return false;
            }
        } else {
            std::fprintf(stderr, "unknown option %s\n", a.c_str());
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Options o;
    o.data = QCoreApplication::applicationDirPath() + QStringLiteral("/../data");
    if (!parse(argc, argv, o)) {
        std::fprintf(stderr,
                     "usage: %s [--seeds n] [--size px] [--threads n] [--volume 300|600|800|3000] [--grid] "
                     "[--only text] [--data folder]\n",
                     argv[0]);
        return 2;
    }
    if (!QFile::exists(templateFile(o))) {
        std::fprintf(stderr, "no template at %s\n", qPrintable(templateFile(o)));
        return 2;
    }
    const std::vector<Variant> list = variants(o);
    const size_t jobs = list.size() * size_t(o.seeds);
    std::vector<Tally> tallies(list.size());
    std::mutex mutex;
    std::atomic<size_t> next{0};
    const auto start = std::chrono::steady_clock::now();
    auto work = [&]() {
        for (size_t j = next.fetch_add(1); j < jobs; j = next.fetch_add(1)) {
            const size_t vi = j / size_t(o.seeds);
            const Tally t = runOne(o, list[vi], 1000 + j % size_t(o.seeds));
            std::lock_guard<std::mutex> lock(mutex);
            tallies[vi].add(t);
        }
    };
    std::vector<std::thread> threads;
    for (int i = 0; i < o.threads; ++i)
        threads.emplace_back(work);
    for (std::thread &t : threads)
        t.join();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::printf("%s, %d x %d px, %d seeds per variant, %.0f s\n", volumeName(o.volume), o.size, o.size, o.seeds,
                seconds);
    std::printf("| %-48s | %7s | %8s | %7s | %6s | %5s | %4s | %s\n", "variant", "found", "off seam", "false",
                "bias", "fail", "goal", "error");
    std::printf("|%s|%s|%s|%s|%s|%s|%s|\n", std::string(50, '-').c_str(), std::string(9, '-').c_str(),
                std::string(10, '-').c_str(), std::string(9, '-').c_str(), std::string(8, '-').c_str(),
                std::string(7, '-').c_str(), std::string(6, '-').c_str());
    std::vector<Verdict> verdicts;
    for (size_t i = 0; i < list.size(); ++i) {
        const Tally &t = tallies[i];
        verdicts.push_back(judge(list[i], t));
        std::printf("| %-48s | %6.1f%% | %7.1f%% | %7ld | %+5.1f%% | %2d/%-2d | %4s | %s\n", list[i].name.c_str(),
                    100.0 * t.foundShare(), 100.0 * t.foundOffSeamShare(), t.falseHits, 100.0 * t.bias(), t.failed,
                    t.runs, verdicts.back().held ? "yes" : "no", t.error.c_str());
    }
    for (bool classRoad : {false, true}) {
        int rows = 0, held = 0;
        for (size_t i = 0; i < list.size(); ++i) {
            if (list[i].classRoad != classRoad)
                continue;
            ++rows;
            held += verdicts[i].held;
        }
        if (!rows)
            continue;
        std::printf("\n%s %s road: %d / %d rows meet the goal\n", volumeName(o.volume),
                    classRoad ? "classes" : "reference", held, rows);
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i].classRoad == classRoad && !verdicts[i].held)
                std::printf("  missed: %s (%s)\n", list[i].name.c_str(), verdicts[i].why.c_str());
    }
    return 0;
}
