// Why the threshold is found this way.
//
// The negatives are the lowest populated level of a channel, and every populated level above
// them is positive. So the values are read for their levels: groups of droplets with stretches
// between them where the density falls. The two-class split (k-means) stands where it parts two
// such groups and miscounts nothing. Where the values are not two such classes it is wrong: a
// well without positives is cut through its middle, a few positives become a class of their own
// or none, rain pulls the class boundary into the negatives, and positives in several levels or
// a broad plateau are cut through. So the levels are told from the shape of the values:
// - A valley of the density that stands out of the counting noise parts two levels, read on a
//   logarithmic scale where a group's width grows with its brightness. Of several valleys, the
//   lowest that parts the values nearly as well as the best one: the negatives are the lowest
//   level. Without a valley, many droplets far below the main group, a shoulder of many far
//   above it, or two normal groups that explain a few hundred droplets far better than one.
// - Droplets below the main group are its own unless they form a group of their own. Partly
//   filled, small and out-of-focus droplets trail below their group as a tail or a shelf that
//   runs on into its lower flank, at least as densely there as further down. The negatives of a
//   well nearly all positive are a peak the density falls away from: between them and the main
//   group lie no more droplets than the two groups' flanks put there, or, where rain runs on
//   there, far fewer than in their core.
// - One group's threshold lies seven of its robust deviations (median, scaled median absolute
//   deviation) above its centre, and further where a tail thins out past that, so that a
//   long-tailed no-template control stays negative while droplets ten deviations above a tight
//   group count. Its centre and spread do not move with the few droplets far above it.
// - Between two groups, normal groups with rain spread evenly between their centres are fitted
//   to the values, and the threshold goes where as many negatives are counted as positives are
//   lost, with rain counted positive from the midpoint of the two centres on: the count then
//   equals the positives the fit finds, whatever the share of either group. Where rain
//   outnumbers a group, the group's centre is placed where the rain's end makes the values
//   likeliest, as the group's own few droplets cannot place it.
// - Rain runs on from the negatives' centre, so right above their flank it lies as densely as
//   further up. Where that stretch is far emptier than such rain leaves it, the positives rise
//   from above the negatives' foot (a plateau, several levels): every droplet from their foot
//   on is positive, and the threshold lies in the sparse stretch below it, never inside a level.
// - One or a few droplets far below or above all others (debris, a saturated droplet) take no
//   part; those above count as positive. Values at 0 are a compensation's and take no part while
//   they are fewer than the others.
// - A spill-over coefficient too strong pushes this dye's negatives that are another dye's
//   positives below the others, part of the way or to 0. From one channel a few such droplets
//   look like the negatives of a well nearly all positive; before the compensation they lay
//   among the others, which a very high well's negatives did not. So where the greys before
//   the compensation are known, droplets below that lay among the rest before it are negatives
//   and take no part, however many, while they are fewer than the rest.
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
// Where droplets lie this many deviations below the main group, they may be the negatives of a
// well nearly all positive (see groupBeside; partedBelow decides).
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
// An upper group this many times as broad for its brightness as the lower one may be rain
// taken for a group (see fitMixture).
constexpr double BroadUpper = 1.5;
// Two normal groups explain the values better than one by more than this many times the
// information criterion's margin (three more parameters, each worth half the logarithm of the
// droplets): a flat tail of 10 % of a few hundred negatives gains up to 3.4 times it, two
// groups five deviations apart 4 times and more.
constexpr double TwoNormalsPenalty = 3.5;
// Two normal groups fitted put no more droplets than this past the values' ends.
constexpr double BeyondEnds = 6.0;
// A tail past a group thins out at least this much over two of its deviations: an
// exponential one as long as three deviations by 1.9 times, a log-normal one of shape 0.35 by
// five times.
constexpr double TailThinning = 1.5;
// Droplets below a group that its normal flank holds with this chance or more are its own.
constexpr double TailChance = 1e-3;
// Below this many of a group's deviations its flank holds a droplet in 30,000.
constexpr double DimFlank = 4.0;
// Below this share of the droplets, the droplets below a cut are few: a tail's or a shelf's
// share (real negatives trail 1 to 5 % of their droplets down), or the negatives of a well
// nearly all positive. Only such droplets need telling from the group above's own.
constexpr double FewBelow = 0.1;
// A valley parts the values nearly as well as the best one with this share of its score.
constexpr double NearlyBest = 0.8;
// A group below is parted from the one above where, over the stretch between them, what neither
// group's flank puts there lies at most this share as densely as its core; a tail or shelf runs
// on at least as densely. The stretch must be able to show that: a tail as dense as the core
// lies this many times above its counting noise there. Where droplets do run on there (rain),
// the core must stand out of them beyond this chance (see partedBelow).
constexpr double RunOnDepth = 0.5;
constexpr double RunOnNoise = 2.0;
constexpr double RunOnChance = 1e-4;
// Rain leaves the stretch above the negatives' flank as empty as it lies with this chance at
// most where the positives rise from above it (see positivesFoot): a chance in ten thousand, as
// the scan looks at some twenty places.
constexpr double FootChance = 1e-4;
// A cluster of droplets has a spread under a third of its centre (negatives about a tenth).
constexpr double ClearOfZero = 3.0;
// A droplet below the rest that lay at or above the rest's dimmest hundredth before a
// compensation was pushed there by it: one of the rest's own lies there with a chance of 99 %,
// while the negatives of a very high well lay below all of its positives before as after.
constexpr double PushedQuantile = 0.01;

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

// The chance of fewer than k droplets where `expected` are expected (Poisson).
double fewerThan(size_t k, double expected)
{
    double term = std::exp(-expected);
    double fewer = 0.0;
    for (size_t i = 0; i < k; ++i) {
        fewer += term;
        term *= expected / double(i + 1);
    }
    return fewer;
}

// The chance of k or more droplets where `expected` are expected (Poisson).
double atLeast(size_t k, double expected)
{
    return std::max(0.0, 1.0 - fewerThan(k, expected));
}

// The chance of k or more successes in n trials of chance p (binomial).
double atLeastOf(size_t k, size_t n, double p)
{
    if (k == 0)
        return 1.0;
    if (k > n)
        return 0.0;
    if (double(k) < double(n) * p)
        return 1.0; // fewer than expected: no chance worth telling
    const double lp = std::log(p), lq = std::log1p(-p);
    double sum = 0.0;
    for (size_t i = k; i <= n; ++i) {
        const double term = std::exp(std::lgamma(double(n) + 1.0) - std::lgamma(double(i) + 1.0) -
                                     std::lgamma(double(n - i) + 1.0) + double(i) * lp + double(n - i) * lq);
        sum += term;
        if (term < 1e-12 * sum)
            break;
    }
    return std::min(1.0, sum);
}

// How many deviations past its centre a normal group of `count` droplets holds `tail` of them.
double deviationsHolding(double tail, double count)
{
    if (!(count > tail))
        return 0.0;
    double lo = 0.0, hi = 40.0;
    for (int i = 0; i < 60; ++i) {
        const double mid = (lo + hi) / 2.0;
        (count * upperTail(mid) > tail ? lo : hi) = mid;
    }
    return (lo + hi) / 2.0;
}

// A normal group's density at x, for `weight` droplets.
double normalDensity(double x, double weight, double centre, double spread)
{
    static const double sqrt2pi = std::sqrt(2.0 * M_PI);
    const double z = (x - centre) / spread;
    return weight * std::exp(-0.5 * z * z) / (sqrt2pi * spread);
}

// The offset the logarithmic scale adds to the greys, so that dim values keep their resolution.
double logOffset(const double *v, size_t n)
{
    return std::max(32.0, 0.25 * medianOf(v, n));
}

// A spread below one grey level, or one per cent of the centre, is the measure's own
// resolution rather than the droplets'.
double spreadFloor(double centre)
{
    return std::max(1.0, 0.01 * centre);
}

} // namespace

GreyGroups::GreyGroups(const std::vector<quint32> &sorted, const std::vector<quint32> &before)
{
    m_values.reserve(sorted.size());
    m_prefix.reserve(sorted.size() + 1);
    m_prefix.push_back(0.0);
    for (quint32 v : sorted) {
        m_values.push_back(double(sixteenBit(v)));
        m_prefix.push_back(m_prefix.back() + m_values.back());
    }
    if (before.size() == sorted.size())
        for (quint32 v : before)
            m_before.push_back(double(sixteenBit(v)));
}

void GreyGroups::sortWithBefore(std::vector<quint32> *greys, std::vector<quint32> *before)
{
    if (before->size() != greys->size()) {
        std::sort(greys->begin(), greys->end());
        return;
    }
    std::vector<quint64> pairs(greys->size());
    for (size_t i = 0; i < pairs.size(); ++i)
        pairs[i] = quint64((*greys)[i]) << 32 | (*before)[i];
    std::sort(pairs.begin(), pairs.end());
    for (size_t i = 0; i < pairs.size(); ++i) {
        (*greys)[i] = quint32(pairs[i] >> 32);
        (*before)[i] = quint32(pairs[i]);
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
// still shows. Of the valleys at one bandwidth, the lowest that parts the values nearly as well
// as the best one, as k-means would part them, is taken: the negatives are the lowest level of
// the channel. Few droplets below count only as a group of their own (partedBelow), or as
// droplets to set aside, which the caller does.
std::ptrdiff_t GreyGroups::valley(size_t lo, size_t hi, size_t few) const
{
    const size_t n = hi - lo;
    if (n < 3)
        return -1;
    const double *v = m_values.data() + lo;
    const double offset = logOffset(v, n);
    std::vector<double> y(n);
    for (size_t i = 0; i < n; ++i)
        y[i] = std::log(v[i] + offset);
    if (!(y[n - 1] > y[0]))
        return -1;
    const size_t quarter = std::max<size_t>(2, n / 4);
    const size_t densest = densestStart(y.data(), n, quarter);
    const double deviation = (y[densest + quarter - 1] - y[densest]) / 0.637;
    for (double scale : {1.0, 3.0, 9.0}) {
        std::vector<size_t> kept;
        std::vector<double> scores;
        double best = 0.0;
        for (size_t cut : valleys(lo, hi, y, offset, scale * deviation / 4.0)) {
            if (fewBelow(lo, cut, hi)) {
                if (setAsideBelow(lo, cut, hi, few))
                    return std::ptrdiff_t(cut);
                if (!partedBelow(lo, cut, hi, true))
                    continue;
            }
            const double nl = double(cut - lo);
            const double nu = double(hi - cut);
            const double lowerMean = (m_prefix[cut] - m_prefix[lo]) / nl;
            const double upperMean = (m_prefix[hi] - m_prefix[cut]) / nu;
            kept.push_back(cut);
            scores.push_back(nl * nu * (upperMean - lowerMean) * (upperMean - lowerMean));
            best = std::max(best, scores.back());
        }
        for (size_t i = 0; i < kept.size(); ++i)
            if (scores[i] >= NearlyBest * best)
                return std::ptrdiff_t(kept[i]);
    }
    return -1;
}

// The valleys at bandwidth h over y, the logarithms of the values lo..hi with the offset, each
// as the index of the first value above its deepest bin, ascending.
std::vector<size_t> GreyGroups::valleys(size_t lo, size_t hi, const std::vector<double> &y, double offset, double h) const
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

    // Every stretch of bins that makes a valley gives one candidate, its deepest bin.
    std::vector<size_t> found;
    int runBest = -1;
    double runDepth = 0.0;
    auto closeRun = [&]() {
        if (runBest < 0)
            return;
        const double cut = std::exp(y0 + (runBest + 0.5) * width) - offset;
        const size_t index = lo + size_t(std::lower_bound(v, v + n, cut) - v);
        runBest = -1;
        if (index > lo && index < hi && (found.empty() || found.back() != index))
            found.push_back(index);
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
    return found;
}

// Two normal groups on the logarithmic scale (see valley) that explain the values far better
// than one, as the index of the first value above the point where they are equally likely; -1
// where one group does nearly as well. Groups some four deviations apart, as a re-measure of
// a few hundred droplets leaves them, show a valley that stands out of the counting noise only
// by a little; the likelihood of all the values tells more. A log-normal group is one normal
// group on this scale. A flat shelf of a tail is fitted by a second group too, but gains less
// than a real one does (hence the margin), and a flat spread of values leaves normal groups
// reaching past its sharp ends.
std::ptrdiff_t GreyGroups::twoNormals(size_t lo, size_t hi, double split) const
{
    const size_t n = hi - lo;
    if (n < ShapeSample)
        return -1;
    const double *v = m_values.data() + lo;
    const double offset = logOffset(v, n);
    const double y0 = std::log(v[0] + offset);
    const double y1 = std::log(v[n - 1] + offset);
    if (!(y1 > y0))
        return -1;
    // The values are ascending: a bin's count is the distance between its edges' places.
    auto histogramOf = [&](int bins) {
        std::vector<double> counts(static_cast<size_t>(bins), 0.0);
        const double step = (y1 - y0) / bins;
        size_t below = 0;
        for (int j = 0; j < bins; ++j) {
            const double edge = std::exp(y0 + (j + 1) * step) - offset;
            const size_t next = j + 1 < bins ? size_t(std::lower_bound(v + below, v + n, edge) - v) : n;
            counts[size_t(j)] = double(next - below);
            below = next;
        }
        return counts;
    };
    // The spread of the logarithms, from a fine histogram of them.
    double mean = 0.0, deviation = 0.0;
    {
        const int fine = 1024;
        const std::vector<double> counts = histogramOf(fine);
        double sum = 0.0, squares = 0.0;
        for (int j = 0; j < fine; ++j) {
            const double y = y0 + (j + 0.5) * (y1 - y0) / fine;
            sum += counts[size_t(j)] * y;
            squares += counts[size_t(j)] * y * y;
        }
        mean = sum / double(n);
        deviation = std::sqrt(std::max(0.0, squares / double(n) - mean * mean));
    }
    if (!(deviation > 0.0))
        return -1;
    const int bins = int(std::clamp((y1 - y0) / (deviation / 10.0), 32.0, 1024.0));
    const double width = (y1 - y0) / bins;
    const std::vector<double> histogram = histogramOf(bins);
    auto at = [y0, width](int j) { return y0 + (j + 0.5) * width; };
    // A group narrower than this is a few equal values, not droplets.
    const double narrowest = std::max(2.0 * width, 0.05 * deviation);
    double one = 0.0;
    for (int j = 0; j < bins; ++j)
        if (histogram[size_t(j)] > 0.0)
            one += histogram[size_t(j)] * std::log(std::max(normalDensity(at(j), 1.0, mean, deviation), 1e-300));

    // From the two-class split's classes on.
    const double ySplit = std::log(std::clamp(split, v[0], v[n - 1]) + offset);
    double w[2] = {0, 0}, c[2] = {0, 0}, d[2] = {0, 0};
    for (int j = 0; j < bins; ++j) {
        const int k = at(j) >= ySplit;
        w[k] += histogram[size_t(j)];
        c[k] += histogram[size_t(j)] * at(j);
        d[k] += histogram[size_t(j)] * at(j) * at(j);
    }
    for (int k = 0; k < 2; ++k) {
        if (w[k] < 1.0)
            return -1;
        c[k] /= w[k];
        d[k] = std::max(narrowest, std::sqrt(std::max(0.0, d[k] / w[k] - c[k] * c[k])));
        w[k] /= double(n);
    }
    double two = 0.0;
    for (int round = 0; round < 200; ++round) {
        double nw[2] = {0, 0}, nc[2] = {0, 0}, nd[2] = {0, 0};
        double likelihood = 0.0;
        for (int j = 0; j < bins; ++j) {
            const double count = histogram[size_t(j)];
            if (count <= 0.0)
                continue;
            const double p0 = normalDensity(at(j), w[0], c[0], d[0]);
            const double p1 = normalDensity(at(j), w[1], c[1], d[1]);
            const double total = std::max(p0 + p1, 1e-300);
            likelihood += count * std::log(total);
            const double r[2] = {count * p0 / total, count * p1 / total};
            for (int k = 0; k < 2; ++k) {
                nw[k] += r[k];
                nc[k] += r[k] * at(j);
                nd[k] += r[k] * at(j) * at(j);
            }
        }
        if (!(nw[0] > 0.5) || !(nw[1] > 0.5))
            return -1;
        for (int k = 0; k < 2; ++k) {
            c[k] = nc[k] / nw[k];
            d[k] = std::max(narrowest, std::sqrt(std::max(0.0, nd[k] / nw[k] - c[k] * c[k])));
            w[k] = nw[k] / double(n);
        }
        // The criterion below is tens of units wide; a hundredth is close enough.
        const bool still = round > 0 && likelihood - two < 0.01;
        two = likelihood;
        if (still)
            break;
    }
    if (two - one < 1.5 * std::log(double(n)) * TwoNormalsPenalty)
        return -1;
    const int low = c[0] <= c[1] ? 0 : 1;
    const int high = 1 - low;
    if (c[high] - c[low] < GroupSeparation * (d[low] + d[high]) / 2.0)
        return -1;
    // The groups make a valley: a tail that thins out is fitted by a broad second group on the
    // first one's flank, with no valley between them.
    {
        auto mixture = [&](double y) {
            return normalDensity(y, w[0], c[0], d[0]) + normalDensity(y, w[1], c[1], d[1]);
        };
        double lowest = HUGE_VAL;
        for (int j = 0; j < bins; ++j)
            if (at(j) > c[low] && at(j) < c[high])
                lowest = std::min(lowest, mixture(at(j)));
        if (!(lowest < ValleyDepth * std::min(mixture(c[low]), mixture(c[high]))))
            return -1;
    }
    // Normal groups reach past the values' ends by about a droplet. A flat spread of values (a
    // reference dye drawn evenly) is fitted by two normal groups too, whose flanks then reach
    // far past its sharp ends.
    {
        double outside = 0.0;
        for (int k = 0; k < 2; ++k)
            outside += double(n) * w[k] * (upperTail((c[k] - y0) / d[k]) + upperTail((y1 - c[k]) / d[k]));
        if (outside > BeyondEnds)
            return -1;
    }
    for (int j = 0; j < bins; ++j) {
        const double y = at(j);
        if (y > c[low] && normalDensity(y, w[high], c[high], d[high]) >= normalDensity(y, w[low], c[low], d[low])) {
            // A few droplets below are the end of a tail, or found by a gap. A few above are a
            // cluster where they lie no broader (for their brightness) than the negatives, and
            // the end of an upward tail, which is broader, where they do not.
            const size_t index = lo + size_t(std::lower_bound(v, v + n, std::exp(y) - offset) - v);
            const bool clusterAbove = index + SmallGroup < hi || (index + Debris < hi && d[high] <= d[low]);
            return index > lo + SmallGroup && clusterAbove ? std::ptrdiff_t(index) : -1;
        }
    }
    return -1;
}

// A group without a valley to the main one: droplets far below the one group the others form
// (the negatives of a well nearly all positive), or a shoulder of many droplets far above it
// (positives close to the negatives). As the index of the first value above the cut between
// them; -1 when there is none. Where droplets lie below the main group (far below it, more of
// them than its flank holds by chance, or a left flank far heavier than its right one), they
// are the main group's own tail unless they stand apart from it (partedBelow), or are droplets
// to set aside, which the caller does.
std::ptrdiff_t GreyGroups::groupBeside(size_t lo, size_t hi, size_t few) const
{
    const Group main = groupOf(lo, hi);
    auto apart = [&](size_t cut) {
        return cut > lo && cut < hi &&
               (!fewBelow(lo, cut, hi) || setAsideBelow(lo, cut, hi, few) || partedBelow(lo, cut, hi, false));
    };
    const size_t below = countBelow(main.centre - BelowGroup * main.spread);
    if (below > lo && apart(below))
        return std::ptrdiff_t(below);
    const size_t shoulder = hi - std::min(hi, countBelow(main.centre + Shoulder * main.spread));
    if (shoulder > std::max(few, size_t(ShoulderShare * double(hi - lo))))
        return std::ptrdiff_t(countBelow(main.centre + CoreWidth * main.spread));
    // A left flank far heavier than the right one: a broad positive cluster with the few
    // negatives and the rain of a very high well below it, or a tail trailing down.
    const size_t leftCut = std::clamp(countBelow(main.centre - CoreWidth * main.spread), lo, hi);
    const size_t left = leftCut - lo;
    const size_t right = hi - std::clamp(countBelow(main.centre + CoreWidth * main.spread), lo, hi);
    if (left > std::max(few, size_t(FlankShare * double(hi - lo))) && left > FlankRatio * right && apart(leftCut))
        return std::ptrdiff_t(leftCut);
    // More droplets far below than the group's normal flank holds by chance: the few negatives
    // of a well nearly all positive, too few to show a valley beside a broad cluster, or a tail.
    const size_t dimCut = std::clamp(countBelow(main.centre - DimFlank * main.spread), lo, hi);
    if (dimCut > lo && atLeast(dimCut - lo, double(hi - lo) * upperTail(DimFlank)) < TailChance && apart(dimCut))
        return std::ptrdiff_t(dimCut);
    return -1;
}

namespace {

// Two normal groups and rain spread evenly between their centres over a fine histogram of the
// values from..to, fitted by expectation maximisation.
class Mixture {
public:
    using Group = GreyGroups::Group;

    Mixture(const std::vector<double> &values, size_t first, size_t last, double from, double to, double width)
        : m_from(from)
        , m_bins(int(std::clamp((to - from) / width, 32.0, 4096.0)))
        , m_width((to - from) / m_bins)
        , m_histogram(static_cast<size_t>(m_bins), 0.0)
    {
        for (size_t i = first; i < last; ++i)
            m_histogram[size_t(std::clamp(int((values[i] - from) / m_width), 0, m_bins - 1))] += 1.0;
        for (auto &s : m_share)
            s.assign(static_cast<size_t>(m_bins), 0.0);
    }

    // From these groups and rain (droplets in all) on; the log-likelihood of the values at the end.
    double fit(const Group &lower, const Group &upper, double rain)
    {
        a = lower;
        b = upper;
        weights[0] = a.count;
        weights[1] = b.count;
        weights[2] = rain;
        for (int r = 0; r < 40 && !round(false, false); ++r) {
        }
        // Where rain rivals a group, the mean of what the fit gives that group drifts into the
        // rain, which then ends short of the group's true centre. The rain's end is sharp, so
        // the centre is found as the one that makes the values likeliest with the parts fitted
        // to it, and the fit goes on from there.
        for (int k = 0; k < 12; ++k) {
            if (weights[2] < RainRivals * std::min(weights[0], weights[1]))
                break;
            const bool stillA = weights[2] < RainRivals * weights[0] || scan(false);
            const bool stillB = weights[2] < RainRivals * weights[1] || scan(true);
            settle();
            if (stillA && stillB)
                break;
        }
        return likelihood(a.centre, b.centre);
    }

    Group a;
    Group b;
    double weights[3] = {0, 0, 0}; // droplets of the lower group, the upper group, the rain

private:
    // Rain four times a group's droplets or more moves the group's fitted centre; with less,
    // the mean of what the fit gives the group places it better.
    static constexpr double RainRivals = 4.0;

    // The groups and the parts' droplets as fitted so far.
    struct Fitted {
        Group a;
        Group b;
        double weights[3];
    };
    Fitted fitted() const { return {a, b, {weights[0], weights[1], weights[2]}}; }
    void restore(const Fitted &f)
    {
        a = f.a;
        b = f.b;
        std::copy(f.weights, f.weights + 3, weights);
    }

    double at(int j) const { return m_from + (j + 0.5) * m_width; }

    // The three parts' densities at x, for the groups' centres ca and cb.
    void parts(double x, double ca, double cb, double p[3]) const
    {
        p[0] = normalDensity(x, weights[0], ca, a.spread);
        p[1] = normalDensity(x, weights[1], cb, b.spread);
        p[2] = x >= ca && x <= cb && cb > ca ? weights[2] / (cb - ca) : 0.0;
    }

    // Rounds with both centres held, until the parts' droplets and spreads stand still.
    void settle()
    {
        for (int r = 0; r < 40; ++r) {
            const double before[5] = {weights[0], weights[1], weights[2], a.spread, b.spread};
            round(true, true);
            const double after[5] = {weights[0], weights[1], weights[2], a.spread, b.spread};
            bool still = true;
            for (int k = 0; k < 5; ++k)
                still = still && std::fabs(after[k] - before[k]) < 1e-3 * std::max(1.0, before[k]);
            if (still)
                break;
        }
    }

    // One round; a group held keeps its centre. True when the centres stand still.
    bool round(bool holdA, bool holdB)
    {
        double w[3] = {0, 0, 0}, mean[2] = {0, 0}, squares[2] = {0, 0};
        for (int j = 0; j < m_bins; ++j) {
            const double count = m_histogram[size_t(j)];
            const double x = at(j);
            double p[3];
            parts(x, a.centre, b.centre, p);
            const double total = p[0] + p[1] + p[2];
            for (int k = 0; k < 3; ++k) {
                m_share[k][size_t(j)] = count > 0.0 && total > 0.0 ? count * p[k] / total : 0.0;
                w[k] += m_share[k][size_t(j)];
            }
            mean[0] += m_share[0][size_t(j)] * x;
            mean[1] += m_share[1][size_t(j)] * x;
        }
        if (!(w[0] > 0.0) || !(w[1] > 0.0))
            return true;
        const double ca = holdA ? a.centre : mean[0] / w[0];
        const double cb = holdB ? b.centre : mean[1] / w[1];
        for (int j = 0; j < m_bins; ++j) {
            const double x = at(j);
            squares[0] += m_share[0][size_t(j)] * (x - ca) * (x - ca);
            squares[1] += m_share[1][size_t(j)] * (x - cb) * (x - cb);
        }
        const double oldA = a.centre, oldB = b.centre;
        a.centre = ca;
        b.centre = cb;
        // The histogram's own width adds width^2 / 12 to every variance.
        const double binVariance = m_width * m_width / 12.0;
        a.spread = std::max(std::sqrt(std::max(0.0, squares[0] / w[0] - binVariance)), spreadFloor(ca));
        b.spread = std::max(std::sqrt(std::max(0.0, squares[1] / w[1] - binVariance)), spreadFloor(cb));
        for (int k = 0; k < 3; ++k)
            weights[k] = w[k];
        return std::fabs(a.centre - oldA) < 1e-3 && std::fabs(b.centre - oldB) < 1e-3;
    }

    double likelihood(double ca, double cb) const
    {
        double sum = 0.0;
        for (int j = 0; j < m_bins; ++j) {
            const double count = m_histogram[size_t(j)];
            if (count <= 0.0)
                continue;
            double p[3];
            parts(at(j), ca, cb, p);
            sum += count * std::log(std::max(p[0] + p[1] + p[2], 1e-300));
        }
        return sum;
    }

    // The likeliest centre of one group within three of its deviations, the parts' droplets
    // and spreads fitted anew to each: held as they were, the rain's droplets the group took
    // for its own keep its centre where it was. Coarsely, then to a bin around the best. True
    // when it stays.
    bool scan(bool upper)
    {
        const Fitted start = fitted();
        const double from = upper ? b.centre : a.centre;
        const double spread = upper ? b.spread : a.spread;
        Fitted bestFit = start;
        double bestValue = likelihood(a.centre, b.centre);
        double best = from;
        auto tryCentre = [&](double c) {
            restore(start);
            (upper ? b : a).centre = c;
            settle();
            const double value = likelihood(a.centre, b.centre);
            if (value > bestValue) {
                bestValue = value;
                best = c;
                bestFit = fitted();
            }
        };
        const double step = std::max(m_width, spread / 8.0);
        const int steps = int(std::min(48.0, std::ceil(3.0 * spread / step)));
        for (int i = -steps; i <= steps; ++i)
            if (i != 0)
                tryCentre(from + i * step);
        const double coarse = best;
        for (double d = m_width; d < step; d += m_width) {
            tryCentre(coarse - d);
            tryCentre(coarse + d);
        }
        restore(bestFit);
        return std::fabs(best - from) < 0.5 * m_width;
    }

    double m_from;
    int m_bins;
    double m_width;
    std::vector<double> m_histogram;
    std::vector<double> m_share[3]; // per bin, its droplets shared out to the three parts
};

} // namespace

// The mixture fitted to the values lo..hi, starting from the two groups' cores. The fit takes
// what a cut between two touching groups does not: the lower group's tail above the cut and
// the upper group's below it.
void GreyGroups::fitMixture(size_t lo, size_t hi)
{
    const double *v = m_values.data();
    const Group a = m_lower;
    const Group b = m_upper;
    // The droplets between two groups' cores, as rain.
    auto rainBetween = [&](const Group &lower, const Group &upper) {
        double rain = 0.0;
        const double gapFrom = lower.centre + 3.0 * lower.spread;
        const double gapTo = upper.centre - 3.0 * upper.spread;
        if (gapTo > gapFrom)
            rain = double(countBelow(gapTo) - countBelow(gapFrom)) * (upper.centre - lower.centre) / (gapTo - gapFrom);
        return std::max(rain, 1e-3 * double(hi - lo));
    };
    auto upTo = [this](double x) {
        return size_t(std::upper_bound(m_values.cbegin(), m_values.cend(), x) - m_values.cbegin());
    };
    const double from = std::max(v[lo], a.centre - 6.0 * a.spread);
    const size_t first = countBelow(from);
    auto take = [&](const Mixture &m, size_t last) {
        m_lower = m.a;
        m_upper = m.b;
        m_lower.count = m.weights[0] + double(first - lo); // below the fit: the lower group's
        m_upper.count = m.weights[1] + double(hi - last);  // above: the upper's
        m_rain = m_upper.centre > m_lower.centre ? m.weights[2] / (m_upper.centre - m_lower.centre) : 0.0;
    };
    const double width = std::min(a.spread, b.spread) / 6.0;
    const double to = std::min(v[hi - 1], b.centre + 6.0 * b.spread);
    Mixture fit(m_values, first, upTo(to), from, to, width);
    fit.fit(a, b, rainBetween(a, b));
    take(fit, upTo(to));

    // A few positives in rain that outnumbers them: a fit from the groups' cores may take the
    // rain for a broad upper group. Fitted again from the top of the values, where such
    // positives lie, over all values, that fit stands where it is likelier than the first
    // one's over the same values.
    // A well mostly positive holds no few positives; its broad cluster is its own.
    auto cv = [](const Group &g) { return g.spread / std::max(g.centre, 1.0); };
    if (!(cv(m_upper) > BroadUpper * cv(m_lower)) || m_upper.count > m_lower.count)
        return;
    Mixture again(m_values, first, hi, from, v[hi - 1], width);
    const double fromCores = again.fit(a, b, rainBetween(a, b));
    // The positives may be a few in a thousand droplets or a few in fifty: fitted from both.
    Group lower = a;
    lower.count = std::max(1.0, a.count);
    double best = fromCores;
    for (size_t share : {1000, 50}) {
        Group top;
        top.centre = v[hi - 1 - std::min(hi - 1 - first, std::max<size_t>(3, (hi - first) / share))];
        top.spread = std::max(b.spread / 4.0, cv(m_lower) * top.centre / 2.0);
        top.count = 2.0 * double(hi - upTo(top.centre));
        Mixture rainy(m_values, first, hi, from, v[hi - 1], width);
        const double fromTop = rainy.fit(lower, top, rainBetween(a, top));
        // A fit whose groups swapped places or left the values explains nothing.
        const bool inPlace = rainy.a.centre < rainy.b.centre && rainy.b.centre <= v[hi - 1];
        if (inPlace && fromTop > best) {
            best = fromTop;
            take(rainy, hi);
        }
    }
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
    // Droplets that barely thin out from five deviations to seven are a cluster of positives
    // that starts below seven, not a tail. Fewer than three past five show no rate at all; one
    // or two past seven still do where more lie before them (a long tail of a small well).
    if (past > allowed && before >= 3.0 && before > TailThinning * past)
        return t + 2.0 * s / std::log(before / past) * std::log(past / allowed);
    return t;
}

// Whether the few droplets lo..hi below all others are the negatives of a well nearly all
// positive rather than values a compensation pushed to 0 or stray dim droplets: a cluster of
// droplets lies well clear of 0 for its spread. One or two droplets tell nothing.
bool GreyGroups::negativesBelow(size_t lo, size_t hi) const
{
    if (hi - lo < 3)
        return false;
    const Group g = groupOf(lo, hi);
    return g.centre > ClearOfZero * g.spread;
}

// Whether the droplets lo..cut below the others are few (see FewBelow).
bool GreyGroups::fewBelow(size_t lo, size_t cut, size_t hi)
{
    return double(cut - lo) < FewBelow * double(hi - lo);
}

// Whether the droplets lo..cut below all others take no part in the split: a few not in a
// cluster clear of zero, the others' own flank, or droplets a compensation pushed there.
bool GreyGroups::setAsideBelow(size_t lo, size_t cut, size_t hi, size_t few) const
{
    return (cut - lo <= few && !negativesBelow(lo, cut)) || tailBelow(lo, cut, hi) || pushedBelow(lo, cut, hi);
}

// Whether most of the droplets lo..cut below the rest cut..hi, fewer than the rest, lay among
// the rest before the compensation: at or above the rest's dimmest PushedQuantile then. By
// order alone, as the greys before may be at another scale, and their groups wider where the
// images hold the crosstalk the compensation takes off.
bool GreyGroups::pushedBelow(size_t lo, size_t cut, size_t hi) const
{
    if (m_before.empty() || cut <= lo || cut >= hi || cut - lo >= hi - cut)
        return false;
    std::vector<double> rest(m_before.cbegin() + std::ptrdiff_t(cut), m_before.cbegin() + std::ptrdiff_t(hi));
    const auto dimmest = rest.begin() + std::ptrdiff_t(PushedQuantile * double(rest.size()));
    std::nth_element(rest.begin(), dimmest, rest.end());
    const double among = *dimmest;
    const auto pushed = size_t(std::count_if(m_before.cbegin() + std::ptrdiff_t(lo), m_before.cbegin() + std::ptrdiff_t(cut),
                                             [among](double v) { return v >= among; }));
    return 2 * pushed > cut - lo;
}

// Whether the few droplets lo..cut below the group cut..hi are likely enough the group's own
// lower flank: for each of them, the group's normal tail below it holds as many droplets as lie
// there with a chance of TailChance or more. A clump of a few negatives three deviations below
// the rest of a small well's negatives is chance; the few negatives of a well nearly all
// positive lie too far below a broad positive cluster for its flank to reach them, even where
// its flank's own droplets lie among them.
bool GreyGroups::tailBelow(size_t lo, size_t cut, size_t hi) const
{
    if (cut == lo || cut - lo > SmallGroup || cut >= hi)
        return false;
    const Group rest = groupOf(cut, hi);
    for (size_t i = lo; i < cut; ++i) {
        const double expected = double(hi - cut) * upperTail((rest.centre - m_values[i]) / rest.spread);
        if (atLeast(i - lo + 1, expected) < TailChance)
            return false;
    }
    return true;
}

// Whether the few droplets lo..cut below the droplets cut..hi are a group of their own (the
// negatives of a well nearly all positive) rather than the lower tail or shelf of the group
// above. A tail or shelf runs on into that group's lower flank at least as densely as it lies
// further down; a group of its own is a peak the density falls away from. So over the stretch
// from past the lower group's own flank up to the core above, what neither group's flank puts
// there must lie at most half as densely as the lower group's core, the stretch able to show a
// tail as dense as the core. Where droplets do run on there (rain between a very high well's
// negatives and positives), the core must also stand out of them far beyond chance. Where the
// stretch is narrower than half the core, the cores meet: only a valley at the cut, far below
// the core's density, parts them. valleyAtCut: the density was seen to fall at the cut.
bool GreyGroups::partedBelow(size_t lo, size_t cut, size_t hi, bool valleyAtCut) const
{
    // One or two droplets tell nothing.
    if (cut - lo < 3)
        return false;
    const Group low = groupOf(lo, cut);
    const Group main = groupOf(cut, hi);
    // The core: a deviation each side of the lower group's centre. Past two of its deviations a
    // normal group has 2 % of its droplets left.
    const double coreWidth = 2.0 * low.spread;
    const double core = double(countBelow(low.centre + low.spread) - countBelow(low.centre - low.spread));
    if (core < 2.0)
        return false;
    const double coreDensity = core / coreWidth;
    const double from = low.centre + 2.0 * low.spread;
    const double to = main.centre - CoreWidth * main.spread;
    const double stretch = to - from;
    if (stretch < coreWidth / 2.0) {
        if (!valleyAtCut)
            return false;
        const double at = m_values[cut];
        const double window = double(countBelow(at + low.spread / 2.0) - countBelow(at - low.spread / 2.0));
        return window <= RunOnDepth * coreDensity * low.spread &&
               atLeastOf(size_t(std::lround(core)), size_t(std::lround(core + window)), 2.0 / 3.0) < RunOnChance;
    }
    // The group above's own flank over the stretch, as its normal model puts it there, or as its
    // mirror image above its centre holds it where that holds more: the model's count at three
    // deviations swings with the spread's last per cent. No more than chance lets the mirror's
    // exceed the model's, though.
    const double modelFlank =
        main.count * (upperTail((main.centre - to) / main.spread) - upperTail((main.centre - from) / main.spread));
    const double mirrorFlank = double(countBelow(2.0 * main.centre - from) - countBelow(2.0 * main.centre - to));
    const double mainFlank = std::clamp(mirrorFlank, modelFlank, modelFlank + 2.0 * std::sqrt(modelFlank));
    const double lowFlank = low.count * (upperTail(2.0) - upperTail((to - low.centre) / low.spread));
    const double between = std::max(0.0, double(countBelow(to) - countBelow(std::nextafter(from, to))) - mainFlank);
    const double runOn = between - lowFlank;
    // The count's own noise and that of the flank taken off.
    const double noise = std::sqrt(lowFlank + modelFlank + mainFlank + 1.0);
    const double asCore = coreDensity * stretch;
    if (asCore < RunOnNoise * noise || runOn > RunOnDepth * asCore)
        return false;
    // Droplets spread over the stretch as densely as over the core would fall in the core with
    // this share; so many of them lying in the core is the chance below.
    const bool runsOn = runOn > 3.0 * noise;
    return !runsOn || atLeastOf(size_t(std::lround(core)), size_t(std::lround(core + between)),
                                coreWidth / (coreWidth + stretch)) < RunOnChance;
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
    // No droplet images black: values at 0 are a compensation's, pushed there from another
    // dye's positives, and negatives here; they take no part where they are fewer than the
    // others (most droplets are pushed there only where they are all this dye's negatives).
    const size_t few = std::max<size_t>(2, n / 1000);
    const size_t zeros = countBelow(1.0);
    size_t lo = 2 * zeros < n ? zeros : 0;
    size_t hi = n;
    std::ptrdiff_t cut = -1;
    for (int round = 0; round < 4; ++round) {
        cut = valley(lo, hi, few);
        if (cut < 0)
            break;
        if (setAsideBelow(lo, size_t(cut), hi, few)) {
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
        if (cut >= 0 && setAsideBelow(lo, size_t(cut), hi, few)) {
            lo = size_t(cut);
            cut = -1;
        }
    }
    if (cut < 0) {
        cut = twoNormals(lo, hi, split);
        // A normal group fitted to few droplets below the main one is its tail unless they stand
        // apart from it.
        if (cut > 0 && fewBelow(lo, size_t(cut), hi) && !partedBelow(lo, size_t(cut), hi, true))
            cut = -1;
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
    const std::ptrdiff_t foot = positivesFoot(lo, hi);
    // The split stands where it lies between the groups, below the positives' foot, and
    // miscounts less than a droplet in a thousand positives.
    const double positives = m_upper.count + m_rain * (m_upper.centre - m_lower.centre) / 2.0;
    if (lo == 0 && hi == n && split > m_lower.centre && split < m_upper.centre &&
        (foot < 0 || split <= m_values[size_t(foot)]) && std::fabs(miscount(split)) <= 0.5 + 0.001 * positives) {
        m_keptSplit = true;
        return split;
    }
    // Above a stretch rain would not leave empty, every droplet is a positive: the threshold
    // goes halfway between the positives' foot and the droplet below it.
    if (foot >= 0)
        return (m_values[size_t(foot) - 1] + m_values[size_t(foot)]) / 2.0;
    return balanced();
}

// Where the positives start: the first droplet above the negatives' flank, when the stretch
// from the flank to it is far emptier than the fitted rain leaves it; -1 where it is not. Rain
// runs on from the negatives' centre, so right above their flank it lies as densely as further
// up. Positives that rise from above the negatives' foot (a broad plateau, several levels, of
// which the fit takes the lower ones for rain) leave that stretch empty. The scan takes the
// droplet after which the stretch is emptiest for its rain.
std::ptrdiff_t GreyGroups::positivesFoot(size_t lo, size_t hi) const
{
    if (!(m_rain > 0.0))
        return -1;
    // Past here fewer than half a negative is expected.
    const double flank = m_lower.centre + deviationsHolding(0.5, m_lower.count) * m_lower.spread;
    const size_t first = std::max(lo + 1, countBelow(flank));
    std::ptrdiff_t foot = -1;
    double least = FootChance;
    for (size_t j = first; j < hi && j - first <= SmallGroup && m_values[j] < m_upper.centre; ++j) {
        // The chance that rain leaves no more than j - first droplets before this one.
        const double below = fewerThan(j - first + 1, 0.5 + m_rain * (m_values[j] - flank));
        if (below < least) {
            least = below;
            foot = std::ptrdiff_t(j);
        }
    }
    return foot;
}

} // namespace Ravelin
