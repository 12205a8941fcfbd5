// Why the threshold is found this way.
//
// The two-class split (k-means) is right where negatives and positives form two separate
// groups, and then it stands unchanged. It is wrong where the values do not split into two
// such classes: a well without positives is cut through its middle; a few positives, or one
// bright droplet, become a class of their own or none; rain and a broad cluster's tail pull the
// class boundary into the negatives; in a well nearly all positive the broad positive cluster
// is cut instead of parting it from the few negatives. So the groups are told from the shape of
// the values, not from the split's classes:
// - Two groups show as a valley of the density between two peaks that stands out of the
//   counting noise, read on a logarithmic scale where a group's width grows with its
//   brightness; also without a valley, as many droplets far below the main group (a left flank
//   is short) or a shoulder far above it. Where several valleys part the values, the one that
//   parts them most is taken, as k-means would.
// - One group's threshold lies seven of its robust deviations (median, scaled median absolute
//   deviation) above its centre, and further where a tail thins out past that, so that a
//   long-tailed no-template control stays negative while droplets ten deviations above a tight
//   group count. Its centre and spread do not move with the few droplets far above it.
// - Between two groups, normal groups with rain spread evenly between their centres are fitted
//   to the values, and the threshold goes where as many negatives are counted as positives
//   are lost, with rain counted positive from the midpoint of the two centres on: the count
//   then equals the positives the fit finds, whatever the share of either group.
// - One or a few droplets far below or above all others (a compensation's zeros, debris, a
//   saturated droplet) take no part; those above count as positive.
#include "greygroups.h"

#include <algorithm>
#include <cmath>

namespace Ravelin {

namespace {

// A normal group's deviation is 1.4826 times its median absolute deviation.
constexpr double MadScale = 1.4826;
// Above one group the threshold lies this many of its deviations over its centre: a normal
// group reaches past it with a chance of 1e-12, a log-normal one of shape 0.35 (a long tail)
// with 0.03 %, while droplets 10 deviations above still count.
constexpr double AboveOneGroup = 7.0;
// A valley tells two groups apart when its density is below this share of the lower of the
// two peaks around it and the difference stands out of the counting noise by this many of
// its deviations: a long tail or a flat shoulder of one group has no second peak, and a
// spurious dip in a sparse tail holds too few droplets to stand out.
constexpr double ValleyDepth = 0.95;
constexpr double ValleySignificance = 2.0;
// Two groups also lie this many of their (mean) deviations apart; the halves of one group
// lie about one apart.
constexpr double GroupSeparation = 2.5;
// The core a group's centre and spread come from: this many of its deviations around its
// median, so that rain beside it and droplets far off move neither.
constexpr double CoreWidth = 3.0;
// Droplets this many deviations below a group cannot be its own: droplets are brighter than
// their group by chance far more often than dimmer, and a group's left flank is short. Where
// more of them than a few lie there, they are the negatives of a well that is nearly all
// positive.
constexpr double BelowGroup = 6.0;
// Above a group its own droplets thin out fast: past this many deviations a normal group has
// none and a log-normal one of shape 0.35 some 0.06 %. More than this share there are
// positives whose peak the negatives' flank hides.
constexpr double Shoulder = 6.0;
constexpr double ShoulderShare = 0.01;
// More than this share below three deviations of the main group, and this many times the
// droplets above three: see groupBeside.
constexpr double FlankShare = 0.005;
constexpr double FlankRatio = 3.0;
// With fewer droplets than this no density stands out of chance: the split's two classes are
// taken as two groups where they lie as far apart as bands of three deviations around each
// leave.
constexpr size_t ShapeSample = 50;
constexpr double SmallSampleSeparation = 6.0;
// Above a valley, so many droplets or fewer are debris; up to SmallGroup they are a group
// only where a gap of FarGap of the others' deviations sets them apart (see shapeThreshold).
constexpr size_t Debris = 3;
constexpr size_t SmallGroup = 25;
constexpr double FarGap = 3.0;

double medianOf(const double *v, size_t n)
{
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

// The median distance from centre of ascending values, walking outwards from the centre.
double madOf(const double *v, size_t n, double centre)
{
    size_t right = size_t(std::lower_bound(v, v + n, centre) - v);
    std::ptrdiff_t left = std::ptrdiff_t(right) - 1;
    const size_t wanted = n / 2; // the (n / 2)-th distance, counted from 0
    double previous = 0.0;
    for (size_t taken = 0;; ++taken) {
        const double dl = left >= 0 ? centre - v[left] : HUGE_VAL;
        const double dr = right < n ? v[right] - centre : HUGE_VAL;
        const double d = std::min(dl, dr);
        if (dl <= dr)
            --left;
        else
            ++right;
        if (taken == wanted)
            return n % 2 ? d : (previous + d) / 2.0;
        previous = d;
    }
}

// Where the k consecutive ascending values that lie closest together start.
size_t densestStart(const double *v, size_t n, size_t k)
{
    size_t best = 0;
    for (size_t i = 0; i + k <= n; ++i)
        if (v[i + k - 1] - v[i] < v[best + k - 1] - v[best])
            best = i;
    return best;
}

double upperTail(double z)
{
    return 0.5 * std::erfc(z / std::sqrt(2.0));
}

// A spread below one grey level, or one per cent of the centre, is the measure's own
// resolution rather than the droplets'.
double spreadFloor(double centre)
{
    return std::max(1.0, 0.01 * centre);
}

} // namespace

GreyGroups::GreyGroups(const std::vector<quint32> &sorted)
{
    m_values.reserve(sorted.size());
    m_prefix.reserve(sorted.size() + 1);
    m_prefix.push_back(0.0);
    for (quint32 v : sorted) {
        m_values.push_back(double(sixteenBit(v)));
        m_prefix.push_back(m_prefix.back() + m_values.back());
    }
}

size_t GreyGroups::countBelow(double value) const
{
    return size_t(std::lower_bound(m_values.cbegin(), m_values.cend(), value) - m_values.cbegin());
}

// The group's centre and spread over its core. fromMode: from the densest quarter of the values
// instead, so that a group beside rain that outnumbers it is found at its own peak.
GreyGroups::Group GreyGroups::groupOf(size_t lo, size_t hi, bool fromMode) const
{
    Group g;
    g.count = double(hi - lo);
    if (hi <= lo)
        return g;
    const double *v = m_values.data();
    size_t a = lo;
    size_t b = hi;
    if (fromMode && hi - lo >= 4) {
        const size_t quarter = (hi - lo + 3) / 4;
        const size_t best = lo + densestStart(v + lo, hi - lo, quarter);
        // The densest quarter of a normal group spans 0.637 of its deviations.
        g.centre = medianOf(v + best, quarter);
        g.spread = std::max((v[best + quarter - 1] - v[best]) / 0.637, spreadFloor(g.centre));
        return g;
    }
    for (int round = 0; round < 4; ++round) {
        g.centre = medianOf(v + a, b - a);
        g.spread = std::max(MadScale * madOf(v + a, b - a, g.centre), spreadFloor(g.centre));
        const size_t na = size_t(std::lower_bound(v + lo, v + hi, g.centre - CoreWidth * g.spread) - v);
        const size_t nb = size_t(std::upper_bound(v + lo, v + hi, g.centre + CoreWidth * g.spread) - v);
        if ((na == a && nb == b) || nb <= na)
            break;
        a = na;
        b = nb;
    }
    return g;
}

// A valley of the values' density that stands out, as the index of the first value above it;
// -1 when there is none. The density is taken over the logarithm of the grey (with an offset,
// so that dim values keep their resolution): a group's width then grows with its brightness as
// a droplet's spread does, and a log-normal group is symmetric. The bandwidth is a quarter of
// the deviation of the densest quarter of the values, so that the narrowest group shows its
// shape; then three and nine times that, so that a sparse group a fine one cuts into noise
// still shows.
std::ptrdiff_t GreyGroups::valley(size_t lo, size_t hi) const
{
    const size_t n = hi - lo;
    if (n < 3)
        return -1;
    const double *v = m_values.data() + lo;
    const double offset = std::max(32.0, 0.25 * medianOf(v, n));
    std::vector<double> y(n);
    for (size_t i = 0; i < n; ++i)
        y[i] = std::log(v[i] + offset);
    if (!(y[n - 1] > y[0]))
        return -1;
    const size_t quarter = std::max<size_t>(2, n / 4);
    const size_t densest = densestStart(y.data(), n, quarter);
    const double deviation = (y[densest + quarter - 1] - y[densest]) / 0.637;
    for (double scale : {1.0, 3.0, 9.0}) {
        const std::ptrdiff_t cut = valley(lo, hi, y, offset, scale * deviation / 4.0);
        if (cut >= 0)
            return cut;
    }
    return -1;
}

// The valley at bandwidth h over y, the logarithms of the values lo..hi with the offset.
std::ptrdiff_t GreyGroups::valley(size_t lo, size_t hi, const std::vector<double> &y, double offset, double h) const
{
    const size_t n = hi - lo;
    const double *v = m_values.data() + lo;
    const double y0 = y[0];
    const double y1 = y[n - 1];
    const int bins = int(std::clamp((y1 - y0) / std::max(h / 3.0, 1e-12), 16.0, 4096.0));
    const double width = (y1 - y0) / bins;
    h = std::max(h, 3.0 * width);

    std::vector<double> histogram(static_cast<size_t>(bins), 0.0);
    for (size_t i = 0; i < n; ++i)
        histogram[size_t(std::min(bins - 1, int((y[i] - y0) / width)))] += 1.0;
    const int radius = int(std::ceil(3.0 * h / width));
    std::vector<double> kernel(static_cast<size_t>(2 * radius + 1));
    double sum = 0.0;
    for (int i = -radius; i <= radius; ++i)
        sum += kernel[size_t(i + radius)] = std::exp(-0.5 * (i * width / h) * (i * width / h));
    double squares = 0.0;
    for (double &k : kernel) {
        k /= sum;
        squares += k * k;
    }
    std::vector<double> density(static_cast<size_t>(bins), 0.0);
    for (int j = 0; j < bins; ++j) {
        double s = 0.0;
        for (int i = std::max(0, j - radius); i <= std::min(bins - 1, j + radius); ++i)
            s += kernel[size_t(i - j + radius)] * histogram[size_t(i)];
        density[size_t(j)] = s;
    }
    // A smoothed bin counts like this many droplets: its noise is that of a count this large.
    const double droplets = 1.0 / squares;

    std::vector<double> leftPeak(static_cast<size_t>(bins)), rightPeak(static_cast<size_t>(bins));
    for (int j = 0; j < bins; ++j)
        leftPeak[size_t(j)] = std::max(density[size_t(j)], j ? leftPeak[size_t(j - 1)] : 0.0);
    for (int j = bins - 1; j >= 0; --j)
        rightPeak[size_t(j)] = std::max(density[size_t(j)], j + 1 < bins ? rightPeak[size_t(j + 1)] : 0.0);

    // Every stretch of bins that makes a valley gives one candidate, its deepest bin. Where
    // there are several (the negatives of a channel split by another dye's spill-over, and the
    // positives above both), the one that parts the values most, as k-means would, is taken.
    std::ptrdiff_t chosen = -1;
    double chosenScore = -1.0;
    int runBest = -1;
    double runDepth = 0.0;
    auto closeRun = [&]() {
        if (runBest < 0)
            return;
        const double cut = std::exp(y0 + (runBest + 0.5) * width) - offset;
        const size_t index = lo + size_t(std::lower_bound(v, v + n, cut) - v);
        runBest = -1;
        if (index <= lo || index >= hi)
            return;
        const double nl = double(index - lo);
        const double nu = double(hi - index);
        const double lowerMean = (m_prefix[index] - m_prefix[lo]) / nl;
        const double upperMean = (m_prefix[hi] - m_prefix[index]) / nu;
        const double score = nl * nu * (upperMean - lowerMean) * (upperMean - lowerMean);
        if (score > chosenScore) {
            chosenScore = score;
            chosen = std::ptrdiff_t(index);
        }
    };
    for (int j = 1; j + 1 < bins; ++j) {
        const double peak = std::min(leftPeak[size_t(j)], rightPeak[size_t(j)]);
        const double level = density[size_t(j)];
        const double depth = peak > 0.0 ? level / peak : 1.0;
        const double np = peak * droplets;
        const double nv = level * droplets;
        if (depth < ValleyDepth && np - nv >= ValleySignificance * std::sqrt(np + nv)) {
            if (runBest < 0 || depth < runDepth) {
                runBest = j;
                runDepth = depth;
            }
        } else {
            closeRun();
        }
    }
    closeRun();
    return chosen;
}

// A group without a valley to the main one: droplets far below the one group the others form
// (the negatives of a well nearly all positive), or a shoulder of many droplets far above it
// (positives close to the negatives). As the index of the first value above the cut between
// them; -1 when there is none.
std::ptrdiff_t GreyGroups::groupBeside(size_t lo, size_t hi, size_t few) const
{
    const Group main = groupOf(lo, hi);
    const size_t below = countBelow(main.centre - BelowGroup * main.spread);
    if (below > lo)
        return std::ptrdiff_t(below);
    const size_t shoulder = hi - std::min(hi, countBelow(main.centre + Shoulder * main.spread));
    if (shoulder > std::max(few, size_t(ShoulderShare * double(hi - lo))))
        return std::ptrdiff_t(countBelow(main.centre + CoreWidth * main.spread));
    // A left flank far heavier than the right one: a broad positive cluster with the few
    // negatives and the rain of a very high well below it (a group's own droplets stray
    // upwards, not downwards).
    const size_t leftCut = std::clamp(countBelow(main.centre - CoreWidth * main.spread), lo, hi);
    const size_t left = leftCut - lo;
    const size_t right = hi - std::clamp(countBelow(main.centre + CoreWidth * main.spread), lo, hi);
    if (left > std::max(few, size_t(FlankShare * double(hi - lo))) && left > FlankRatio * right)
        return std::ptrdiff_t(leftCut);
    return -1;
}

// Two normal groups and rain spread evenly between their centres, fitted to the values by
// expectation maximisation over a fine histogram, starting from the two groups' cores. The fit
// takes what a cut between two touching groups does not: the lower group's tail above the cut
// and the upper group's below it.
void GreyGroups::fitMixture(size_t lo, size_t hi)
{
    const double *v = m_values.data();
    Group &a = m_lower;
    Group &b = m_upper;
    const double from = std::max(v[lo], a.centre - 6.0 * a.spread);
    const double to = std::min(v[hi - 1], b.centre + 6.0 * b.spread);
    const size_t first = countBelow(from);
    const size_t last = size_t(std::upper_bound(m_values.cbegin(), m_values.cend(), to) - m_values.cbegin());
    const double belowFit = double(first - lo); // these stay with the lower group, those above with the upper
    const double aboveFit = double(hi - last);
    const int bins = int(std::clamp((to - from) / (std::min(a.spread, b.spread) / 6.0), 32.0, 4096.0));
    const double width = (to - from) / bins;
    std::vector<double> histogram(static_cast<size_t>(bins), 0.0);
    for (size_t i = first; i < last; ++i)
        histogram[size_t(std::clamp(int((v[i] - from) / width), 0, bins - 1))] += 1.0;

    // Start: each group's core count, and the droplets between the two cores as rain.
    double weights[3] = {a.count, b.count, 0.0};
    {
        const double gapFrom = a.centre + 3.0 * a.spread;
        const double gapTo = b.centre - 3.0 * b.spread;
        if (gapTo > gapFrom)
            weights[2] = double(countBelow(gapTo) - countBelow(gapFrom)) * (b.centre - a.centre) / (gapTo - gapFrom);
        weights[2] = std::max(weights[2], 1e-3 * double(hi - lo));
    }
    const double sqrt2pi = std::sqrt(2.0 * M_PI);
    // Per bin, its droplets shared out to the lower group, the upper group and the rain.
    std::vector<double> share[3];
    for (auto &s : share)
        s.assign(static_cast<size_t>(bins), 0.0);
    for (int round = 0; round < 40; ++round) {
        double w[3] = {0, 0, 0}, mean[2] = {0, 0}, squares[2] = {0, 0};
        const double span = b.centre - a.centre;
        for (int j = 0; j < bins; ++j) {
            const double count = histogram[size_t(j)];
            const double x = from + (j + 0.5) * width;
            const double za = (x - a.centre) / a.spread;
            const double zb = (x - b.centre) / b.spread;
            const double p[3] = {weights[0] * std::exp(-0.5 * za * za) / (sqrt2pi * a.spread),
                                 weights[1] * std::exp(-0.5 * zb * zb) / (sqrt2pi * b.spread),
                                 x >= a.centre && x <= b.centre && span > 0 ? weights[2] / span : 0.0};
            const double total = p[0] + p[1] + p[2];
            for (int k = 0; k < 3; ++k) {
                share[k][size_t(j)] = count > 0.0 && total > 0.0 ? count * p[k] / total : 0.0;
                w[k] += share[k][size_t(j)];
            }
            mean[0] += share[0][size_t(j)] * x;
            mean[1] += share[1][size_t(j)] * x;
        }
        if (!(w[0] > 0.0) || !(w[1] > 0.0))
            break;
        const double ca = mean[0] / w[0];
        const double cb = mean[1] / w[1];
        for (int j = 0; j < bins; ++j) {
            const double x = from + (j + 0.5) * width;
            squares[0] += share[0][size_t(j)] * (x - ca) * (x - ca);
            squares[1] += share[1][size_t(j)] * (x - cb) * (x - cb);
        }
        const double oldA = a.centre, oldB = b.centre;
        a.centre = ca;
        b.centre = cb;
        // The histogram's own width adds width^2 / 12 to every variance.
        a.spread = std::max(std::sqrt(std::max(0.0, squares[0] / w[0] - width * width / 12.0)), spreadFloor(ca));
        b.spread = std::max(std::sqrt(std::max(0.0, squares[1] / w[1] - width * width / 12.0)), spreadFloor(cb));
        for (int k = 0; k < 3; ++k)
            weights[k] = w[k];
        if (std::fabs(a.centre - oldA) < 1e-3 && std::fabs(b.centre - oldB) < 1e-3)
            break;
    }
    a.count = weights[0] + belowFit;
    b.count = weights[1] + aboveFit;
    m_rain = b.centre > a.centre ? weights[2] / (b.centre - a.centre) : 0.0;
}

// Droplets counted positive from t on, less those that are: the negatives' tail above t and
// the rain between t and the midpoint count too many, the positives' tail below t too few.
double GreyGroups::miscount(double t) const
{
    const double midpoint = (m_lower.centre + m_upper.centre) / 2.0;
    return m_lower.count * upperTail((t - m_lower.centre) / m_lower.spread) -
           m_upper.count * upperTail((m_upper.centre - t) / m_upper.spread) + m_rain * (midpoint - t);
}

// Where the miscount changes sign: as many negatives counted as positives lost.
double GreyGroups::balanced() const
{
    double lo = m_lower.centre;
    double hi = m_upper.centre;
    for (int i = 0; i < 100 && hi - lo > 1e-6; ++i) {
        const double mid = (lo + hi) / 2.0;
        (miscount(mid) > 0.0 ? lo : hi) = mid;
    }
    return (lo + hi) / 2.0;
}

// Above one group: AboveOneGroup deviations over its centre, and further where a tail runs on
// past it and thins out on the way there (an exponential or log-normal tail rather than a
// cluster of positives, which starts where it starts): as far as the tail, extended at the
// rate it thins at, leaves fewer than one droplet in two thousand beyond.
double GreyGroups::aboveGroup(size_t lo, size_t hi)
{
    m_lower = groupOf(lo, hi);
    m_upper = Group();
    const double c = m_lower.centre;
    const double s = m_lower.spread;
    auto from = [this, lo, hi](double x) { return double(hi - std::clamp(countBelow(x), lo, hi)); };
    const double t = c + AboveOneGroup * s;
    const double past = from(t);
    const double before = from(c + (AboveOneGroup - 2.0) * s);
    const double allowed = 0.0005 * double(hi - lo);
    if (past >= 3.0 && past > allowed && before > past)
        return t + 2.0 * s / std::log(before / past) * std::log(past / allowed);
    return t;
}

size_t GreyGroups::countFrom(double threshold) const
{
    // The program compares whole greys with the threshold truncated to a whole grey.
    return m_values.size() - countBelow(std::floor(threshold));
}

double GreyGroups::threshold(double split)
{
    const double found = shapeThreshold(split);
    // Where the split counts the same droplets, it stands as it is.
    if (!m_keptSplit && countFrom(split) == countFrom(found)) {
        m_keptSplit = true;
        return split;
    }
    return found;
}

double GreyGroups::shapeThreshold(double split)
{
    const size_t n = m_values.size();
    m_two = false;
    m_keptSplit = false;
    m_rain = 0.0;
    if (n < ShapeSample) {
        const size_t cut = countBelow(split);
        m_lower = groupOf(0, cut);
        m_upper = groupOf(cut, n);
        m_two = cut > 0 && cut < n &&
                m_upper.centre - m_lower.centre >= SmallSampleSeparation * (m_lower.spread + m_upper.spread) / 2.0;
        m_keptSplit = m_two;
        return m_two ? split : aboveGroup(0, n);
    }

    // A few droplets far below all others (a compensation pushed them to 0) are negatives, and
    // one or a few far above (debris, a saturated droplet) positives; neither takes part in the
    // split. A small group above a valley is positives where a gap sets it apart from the
    // others, and the end of their tail where none does.
    const size_t few = std::max<size_t>(2, n / 1000);
    size_t lo = 0;
    size_t hi = n;
    std::ptrdiff_t cut = -1;
    for (int round = 0; round < 4; ++round) {
        cut = valley(lo, hi);
        if (cut < 0)
            break;
        if (size_t(cut) - lo <= few) {
            lo = size_t(cut);
            cut = -1;
            continue;
        }
        if (hi - size_t(cut) > SmallGroup)
            break;
        const Group rest = groupOf(lo, size_t(cut));
        if (m_values[size_t(cut)] - m_values[size_t(cut) - 1] < FarGap * rest.spread) {
            cut = -1;
            break;
        }
        if (hi - size_t(cut) > Debris)
            break;
        hi = size_t(cut);
        cut = -1;
    }
    if (cut < 0) {
        cut = groupBeside(lo, hi, few);
        if (cut >= 0 && size_t(cut) - lo <= few) {
            lo = size_t(cut);
            cut = -1;
        }
    }
    if (cut > 0) {
        // Two groups lie apart as the halves of one do not; the groups' cores tell, their peaks
        // (where the fit starts from) do not, as one of them may be a narrow cluster in rain.
        const Group lower = groupOf(lo, size_t(cut));
        const Group upper = groupOf(size_t(cut), hi);
        m_two = upper.centre - lower.centre >= GroupSeparation * (lower.spread + upper.spread) / 2.0;
        m_lower = groupOf(lo, size_t(cut), true);
        m_upper = groupOf(size_t(cut), hi, true);
    }
    if (!m_two)
        return aboveGroup(lo, hi);

    fitMixture(lo, hi);
    // The split stands where it lies between the groups and miscounts less than a droplet in
    // a thousand positives.
    const double positives = m_upper.count + m_rain * (m_upper.centre - m_lower.centre) / 2.0;
    if (lo == 0 && hi == n && split > m_lower.centre && split < m_upper.centre &&
        std::fabs(miscount(split)) <= 0.5 + 0.001 * positives) {
        m_keptSplit = true;
        return split;
    }
    return balanced();
}

} // namespace Ravelin
