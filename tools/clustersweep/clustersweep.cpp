// The automatic threshold over the kinds of wells a lab's plate holds: wells without positives
// (normal, log-normal and flat-tailed negatives, and negatives trailing down), a few positives
// far above, clusters from 4 to 10 deviations apart, very high wells with broad clusters, rain,
// debris, saturated droplets, droplets a compensation pushed down, and positives over a broad
// plateau, in several levels or scattered far above. Per row and seed: the truth, the count with the
// threshold before groups were told apart by their shape ("band", the test of 3 deviations
// around the class means), with the two-class split alone ("split"), and now; then whether the
// row meets its goal, and a summary of the rows meeting it. Beside them ("known"), the count at
// the threshold the drawn groups themselves balance, where they are normal. Last, the kinds of
// well whose count, averaged over the seeds, meets the goal for the averaged truth: a kind
// missed on average is a fault of the threshold, a kind missed on some seeds only may be the
// count's own noise (see "known").
#include "clusterhandle.h"
#include "greygroups.h"
#include "wellkinds.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QVector>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

using LumaraSynth::CountGoal;
using LumaraSynth::WellKind;

namespace {

int countFrom(const QVector<uint> &greys, double threshold)
{
    const uint t = uint(threshold);
    return int(std::count_if(greys.cbegin(), greys.cend(), [t](uint v) { return v >= t; }));
}

// The threshold as the clustering gave it before: the split, unless bands of three deviations
// around the two class means overlap; then the largest value plus three deviations of all.
double bandThreshold(const QVector<uint> &greys, double split)
{
    double sum[2] = {0, 0}, squares[2] = {0, 0}, count[2] = {0, 0};
    double top = 0;
    for (uint g : greys) {
        const double v = std::min(65535u, g);
        const int c = v >= split ? 1 : 0;
        sum[c] += v;
        squares[c] += v * v;
        ++count[c];
        top = std::max(top, v);
    }
    if (!count[0] || !count[1])
        return split;
    const double mean[2] = {sum[0] / count[0], sum[1] / count[1]};
    const double sd[2] = {std::sqrt(std::max(0.0, squares[0] / count[0] - mean[0] * mean[0])),
                          std::sqrt(std::max(0.0, squares[1] / count[1] - mean[1] * mean[1]))};
    if (mean[0] + 3 * sd[0] < mean[1] - 3 * sd[1])
        return split;
    const double n = count[0] + count[1];
    const double all = (sum[0] + sum[1]) / n;
    const double deviation = std::sqrt(std::max(0.0, (squares[0] + squares[1]) / n - all * all));
    return top + std::max(1.0, 3 * deviation);
}

// The threshold the drawn shape's own groups and rain put where as many negatives are counted
// as positives lost: what the best fit could reach, so that a row's misses show the count's
// own noise. NaN where the negatives are not normal or no positives are drawn.
double knownThreshold(const LumaraSynth::WellShape &w, int droplets)
{
    const int positives = w.positivesOf(droplets);
    if (w.logNormal > 0 || w.flatTail > 0 || w.lowerTail > 0 || !w.levels.empty() || w.plateauTo > w.plateauFrom ||
        positives == 0 || !(w.positiveMean > w.negativeMean))
        return std::nan("");
    const int rain = w.rainOf(droplets);
    const double negatives = w.negativesOf(droplets);
    const double positiveSd = w.positiveCv * w.positiveMean;
    const double rainDensity = rain / (w.positiveMean - w.negativeMean);
    auto tail = [](double z) { return 0.5 * std::erfc(z / std::sqrt(2.0)); };
    auto miscount = [&](double t) {
        return negatives * tail((t - w.negativeMean) / w.negativeSd) - positives * tail((w.positiveMean - t) / positiveSd) +
               rainDensity * (w.rainMidpoint() - t);
    };
    double lo = w.negativeMean, hi = w.positiveMean;
    for (int i = 0; i < 100; ++i) {
        const double mid = (lo + hi) / 2.0;
        (miscount(mid) > 0.0 ? lo : hi) = mid;
    }
    return (lo + hi) / 2.0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Automatic thresholds over the kinds of wells a plate holds.");
    parser.addHelpOption();
    const QCommandLineOption seedsOption("seeds", "Seeds per row (default 3).", "n", "3");
    const QCommandLineOption dropletsOption("droplets", "Droplets per well (default 15000).", "n", "15000");
    const QCommandLineOption onlyOption("only", "Only rows whose name holds this text.", "text");
    const QCommandLineOption failingOption("failing", "Print only the rows that miss their goal now.");
    const QCommandLineOption whyOption("why", "Print the groups found and the thresholds.");
    parser.addOptions({seedsOption, dropletsOption, onlyOption, failingOption, whyOption});
    parser.process(app);
    const int seeds = std::max(1, parser.value(seedsOption).toInt());
    const int wellSize = std::max(10, parser.value(dropletsOption).toInt());
    const std::string only = parser.value(onlyOption).toStdString();

    int judged = 0, metNow = 0, metBand = 0, metSplit = 0, knownJudged = 0, metKnown = 0, missedNow = 0;
    int kinds = 0, kindsMet = 0;
    std::vector<std::string> kindsMissed;
    std::printf("%-46s %4s %6s %6s %6s %6s %6s %7s %s\n", "well", "seed", "truth", "band", "split", "now", "known",
                "goal", "now meets");
    for (const WellKind &row : LumaraSynth::plateWellKinds()) {
        if (!only.empty() && row.name.find(only) == std::string::npos)
            continue;
        const int droplets = row.droplets > 0 ? row.droplets : wellSize;
        double truthSum = 0.0, nowSum = 0.0;
        const double known = knownThreshold(row.shape, droplets);
        for (int seed = 1; seed <= seeds; ++seed) {
            const std::vector<LumaraSynth::ShapedDroplet> well = LumaraSynth::drawWell(row.shape, droplets, seed);
            QVector<uint> greys, before;
            greys.reserve(int(well.size()));
            before.reserve(int(well.size()));
            for (const LumaraSynth::ShapedDroplet &d : well) {
                greys.append(LumaraSynth::storedGrey(d.grey));
                before.append(LumaraSynth::storedGrey(d.before));
            }
            const int truth = LumaraSynth::truePositives(well);
            ClusterHandle handle;
            double split = 0, now = 0;
            handle.splitDrpltGray(greys, split);
            // As the program clusters a compensated channel, which knows each grey before it.
            handle.clusterDrpltGray(greys, now, before);
            const int nowCount = countFrom(greys, now);
            const int bandCount = countFrom(greys, bandThreshold(greys, split));
            const int splitCount = countFrom(greys, split);
            const bool ok = LumaraSynth::meetsGoal(row, truth, nowCount, droplets);
            truthSum += truth;
            nowSum += nowCount;
            const int knownCount = std::isnan(known) ? -1 : countFrom(greys, std::floor(known));
            if (row.goal != CountGoal::Report) {
                ++judged;
                metNow += ok;
                metBand += LumaraSynth::meetsGoal(row, truth, bandCount, droplets);
                metSplit += LumaraSynth::meetsGoal(row, truth, splitCount, droplets);
                if (knownCount >= 0) {
                    const bool knownOk = LumaraSynth::meetsGoal(row, truth, knownCount, droplets);
                    ++knownJudged;
                    metKnown += knownOk;
                    missedNow += knownOk && !ok;
                }
            }
            if (parser.isSet(failingOption) && ok)
                continue;
            const std::string knownText = knownCount >= 0 ? std::to_string(knownCount) : "-";
            std::printf("%-46s %4d %6d %6d %6d %6d %6s %7s %s\n", row.name.c_str(), seed, truth, bandCount, splitCount,
                        nowCount, knownText.c_str(), LumaraSynth::goalText(row).c_str(),
                        row.goal == CountGoal::Report ? "-" : ok ? "yes" : "NO");
            if (parser.isSet(whyOption)) {
                std::vector<quint32> sorted(greys.cbegin(), greys.cend()), sortedBefore(before.cbegin(), before.cend());
                Ravelin::GreyGroups::sortWithBefore(&sorted, &sortedBefore);
                Ravelin::GreyGroups groups(sorted, sortedBefore);
                groups.threshold(split);
                std::printf("    split %.1f now %.1f: %s%s lower %.1f +-%.1f (%.0f) upper %.1f +-%.1f (%.0f) rain %.4f/level\n",
                            split, now, groups.twoGroups() ? "two groups" : "one group",
                            groups.keptSplit() ? ", split kept," : "", groups.lower().centre, groups.lower().spread,
                            groups.lower().count, groups.upper().centre, groups.upper().spread, groups.upper().count,
                            groups.rain());
            }
        }
        if (row.goal != CountGoal::Report) {
            ++kinds;
            const bool met = LumaraSynth::meetsGoal(row, int(std::lround(truthSum / seeds)),
                                                    int(std::lround(nowSum / seeds)), droplets);
            kindsMet += met;
            if (!met)
                kindsMissed.push_back(row.name);
        }
    }
    std::printf("rows meeting the goal: now %d / %d, band %d / %d, split %d / %d\n", metNow, judged, metBand, judged,
                metSplit, judged);
    std::printf("rows with known groups: the known threshold meets %d / %d; now misses %d of those\n", metKnown,
                knownJudged, missedNow);
    std::printf("kinds of well meeting the goal on average over the seeds: %d / %d\n", kindsMet, kinds);
    for (const std::string &name : kindsMissed)
        std::printf("    missed on average: %s\n", name.c_str());
    return 0;
}
