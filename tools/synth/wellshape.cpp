#include "wellshape.h"

#include <algorithm>
#include <cmath>

namespace LumaraSynth {

int WellShape::Level::countOf(int droplets) const
{
    return int(std::lround(std::max(0.0, share) * droplets));
}

int WellShape::positivesOf(int droplets) const
{
    if (!levels.empty()) {
        int sum = 0;
        for (const Level &level : levels)
            sum += level.countOf(droplets);
        return std::min(sum, droplets);
    }
    if (positiveCount >= 0)
        return std::min(positiveCount, droplets);
    return std::min(droplets, int(std::lround(std::max(0.0, positiveFraction) * droplets)));
}

int WellShape::rainOf(int droplets) const
{
    return std::min(droplets - positivesOf(droplets), int(std::lround(std::max(0.0, rain) * droplets)));
}

int WellShape::negativesOf(int droplets) const
{
    const int special = std::max(0, debris) + std::max(0, saturated) + std::max(0, low);
    return std::max(0, droplets - positivesOf(droplets) - rainOf(droplets) - special);
}

namespace {

// How far below the negatives' centre a droplet of their lower tail lies, for u uniform in
// [0, 1): a tail's density falls evenly to nothing at the depth, a shelf's stays level to it.
double lowerReach(const WellShape &shape, double u)
{
    const double reach = (1.0 - shape.lowerDepth) * shape.negativeMean;
    return shape.lowerShelf ? reach * u : reach * (1.0 - std::sqrt(1.0 - u));
}

// A plateau droplet's level as a multiple of the negatives' centre: evenly over the plateau, or
// (half of them, where it has humps) in one of its humps, a quarter of a hump's share of the
// plateau wide, never outside the plateau.
double plateauMultiple(const WellShape &shape, Random &random)
{
    const double from = shape.plateauFrom;
    const double to = shape.plateauTo;
    if (shape.plateauHumps <= 0 || random.uniform() < 0.5)
        return random.uniform(from, to);
    const double width = (to - from) / shape.plateauHumps;
    const double centre = from + (random.below(shape.plateauHumps) + 0.5) * width;
    for (;;) {
        const double m = centre + width / 4.0 * random.normal();
        if (m >= from && m <= to)
            return m;
    }
}

} // namespace

unsigned int storedGrey(double grey)
{
    if (!(grey > 0.0))
        return 0;
    return unsigned(std::lround(std::min(grey, 65535.0)));
}

std::vector<ShapedDroplet> drawWell(const WellShape &shape, int droplets, std::uint64_t seed)
{
    Random random(seed);
    const int positives = shape.positivesOf(droplets);
    const int rain = shape.rainOf(droplets);
    const int negatives = shape.negativesOf(droplets);

    std::vector<ShapedDroplet> well;
    well.reserve(size_t(droplets));
    auto add = [&well](double grey, DrawnAs as, bool positive, double before = -1.0) {
        well.push_back({grey, as, positive, before < 0.0 ? grey : before});
    };
    for (int i = 0; i < negatives; ++i) {
        double g;
        if (shape.flatTail > 0.0 && random.uniform() < shape.flatTail)
            g = shape.negativeMean + random.uniform() * shape.flatTailWidth * shape.negativeSd;
        else if (shape.lowerTail > 0.0 && random.uniform() < shape.lowerTail)
            g = shape.negativeMean - lowerReach(shape, random.uniform()) + shape.negativeSd * random.normal();
        else if (shape.logNormal > 0.0)
            g = shape.negativeMean * std::exp(shape.logNormal * random.normal());
        else
            g = shape.negativeMean + shape.negativeSd * random.normal();
        add(g, DrawnAs::Negative, false);
    }
    if (!shape.levels.empty()) {
        int left = positives;
        for (const WellShape::Level &level : shape.levels) {
            const double centre = level.multiple * shape.negativeMean;
            for (int i = std::min(left, level.countOf(droplets)); i > 0; --i, --left)
                add(centre * (1.0 + shape.positiveCv * random.normal()), DrawnAs::Positive, true);
        }
    } else if (shape.plateauTo > shape.plateauFrom) {
        for (int i = 0; i < positives; ++i)
            add(shape.negativeMean * plateauMultiple(shape, random), DrawnAs::Positive, true);
    } else {
        const double positiveSd = shape.positiveCv * shape.positiveMean;
        for (int i = 0; i < positives; ++i)
            add(shape.positiveMean + positiveSd * random.normal(), DrawnAs::Positive, true);
    }
    for (int i = 0; i < rain; ++i) {
        const double g = random.uniform(shape.negativeMean, shape.positiveMean);
        add(g, DrawnAs::Rain, g >= shape.rainMidpoint());
    }
    for (int i = 0; i < shape.debris; ++i)
        add(shape.debrisGrey * (1.0 + 0.02 * random.normal()), DrawnAs::Debris, true);
    for (int i = 0; i < shape.saturated; ++i)
        add(65535.0, DrawnAs::Saturated, true);
    // Pushed part of the way, a negative keeps its spread; pushed past 0, it stops there.
    for (int i = 0; i < shape.low; ++i) {
        const double deviation = shape.lowGrey > 0.0 ? shape.negativeSd * random.normal() : 0.0;
        add(std::max(0.0, shape.lowGrey + deviation), DrawnAs::Low, false, shape.negativeMean + deviation);
    }

    // Shuffled, so that no class sits in front of the others.
    for (int i = int(well.size()) - 1; i > 0; --i)
        std::swap(well[size_t(i)], well[size_t(random.below(i + 1))]);
    return well;
}

int truePositives(const std::vector<ShapedDroplet> &well)
{
    return int(std::count_if(well.cbegin(), well.cend(), [](const ShapedDroplet &d) { return d.positive; }));
}

} // namespace LumaraSynth
