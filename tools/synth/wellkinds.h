#pragma once
// The kinds of wells a lab's plate holds, each with the goal its automatic count is held to:
// wells without positives, a few positives far above, clusters close together, very high
// wells with broad clusters, rain, debris, saturated droplets, droplets a compensation
// pushed down, to 0 or part of the way, and the shapes of real wells: negatives trailing down,
// positives in a broad plateau, in several levels or scattered far above. The clustering sweep reports on them and the tests
// hold the clustering to them.
#include "wellshape.h"

#include <string>
#include <vector>

namespace LumaraSynth {

enum class CountGoal {
    Report,      // no goal: shown, not judged
    NoPositives, // at most 0.1 % of the droplets counted positive (besides debris)
    EveryOne,    // every positive counted, give or take one
    Within,      // within `tolerance` of the truth, as a share of it
};

struct WellKind {
    std::string name;
    WellShape shape;
    CountGoal goal = CountGoal::Report;
    double tolerance = 0.0;
    int slack = 0;    // Within: at least this many droplets, where the share allows fewer
    int droplets = 0; // 0: the caller's well size
};

std::vector<WellKind> plateWellKinds();

bool meetsGoal(const WellKind &kind, int truth, int count, int droplets);
std::string goalText(const WellKind &kind);

} // namespace LumaraSynth
