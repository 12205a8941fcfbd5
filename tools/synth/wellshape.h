#pragma once
// What one channel of a real plate's well looks like, droplet by droplet: a negative group
// (normal, log-normal, with a flat tail upwards, or trailing down), a positive cluster with its
// own spread, a broad plateau or several levels of positives, rain between negatives and
// positives, debris and saturated droplets far above, and droplets a compensation pushed far
// below. The clustering sweep, the tests and the package generator draw wells from the
// same shapes, so "rain" or "a broad cluster" means one thing everywhere, and so does the
// truth a count is judged against.
#include "synthchip.h"

#include <vector>

namespace LumaraSynth {

struct WellShape {
    double negativeMean = 1000.0; // the centre (median) of the negatives
    double negativeSd = 100.0;
    // Above 0: the negatives are log-normal with this shape around their centre (the
    // deviation is then not used).
    double logNormal = 0.0;
    // A share of the negatives spread evenly from their centre up to flatTailWidth deviations.
    double flatTail = 0.0;
    double flatTailWidth = 5.0;
    // A share of the negatives trailing down from their centre to lowerDepth times it (partly
    // filled, small and out-of-focus droplets), each with the negatives' own deviation besides:
    // thinning out towards the dimmest (a tail), or evenly (a shelf). They are negatives.
    double lowerTail = 0.0;
    double lowerDepth = 0.4;
    bool lowerShelf = false;

    double positiveFraction = 0.0; // share of the droplets drawn positive
    int positiveCount = -1;        // 0 or more: this many positives instead
    double positiveMean = 3000.0;
    double positiveCv = 0.05; // the positives' deviation over their mean
    // Where plateauTo > plateauFrom, the positives are spread over a plateau from plateauFrom to
    // plateauTo times the negatives' centre instead of forming one cluster; with humps, half of
    // them lie in that many normal humps evenly across it, none outside it.
    double plateauFrom = 0.0;
    double plateauTo = 0.0;
    int plateauHumps = 0;
    // Where not empty, the positives lie in these levels instead: each one's centre as a multiple
    // of the negatives' centre and its share of the droplets, with the deviation positiveCv of
    // its centre. positiveFraction and positiveCount are then not used.
    struct Level {
        double multiple = 2.0;
        double share = 0.0;
        int countOf(int droplets) const; // its droplets of `droplets`
    };
    std::vector<Level> levels;

    // A share of the droplets spread evenly between the two means. A rain droplet counts as
    // positive from the midpoint of the two means on.
    double rain = 0.0;

    int debris = 0; // droplets far above everything, each counted positive
    double debrisGrey = 30000.0;
    int saturated = 0; // droplets at full scale, counted positive
    int low = 0;       // droplets far below the negatives, counted negative
    double lowGrey = 0.0;

    // How many of `droplets` are drawn positive, as rain, and negative.
    int positivesOf(int droplets) const;
    int rainOf(int droplets) const;
    int negativesOf(int droplets) const;
    double rainMidpoint() const { return (negativeMean + positiveMean) / 2.0; }
};

struct ShapedDroplet {
    double grey = 0.0; // not rounded, not limited
    DrawnAs drawnAs = DrawnAs::Negative;
    bool positive = false; // the truth a count is judged against
    // Before the compensation: a low droplet was a negative like the others.
    double before = 0.0;
};

// `droplets` droplets in random order; positives, rain, debris, saturated and low droplets are
// exact counts (rounded shares), the rest negatives. Deterministic in the seed.
std::vector<ShapedDroplet> drawWell(const WellShape &shape, int droplets, std::uint64_t seed);

// A grey as the analysis stores it: rounded and limited to 16 bits.
unsigned int storedGrey(double grey);

int truePositives(const std::vector<ShapedDroplet> &well);

} // namespace LumaraSynth
