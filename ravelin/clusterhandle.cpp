#include "clusterhandle.h"

#include "analysissettings.h"

#include <algorithm>
#include <cmath>

namespace {

// Greys are on a 16-bit scale; brighter values (after exposure normalisation) count as full
// scale instead of wrapping round to a dim value.
quint32 sixteenBit(double value)
{
    if (!(value > 0.0))
        return 0;
    if (value >= 65535.0)
        return 65535;
    return quint32(value);
}

// One class of the split, on the 16-bit values the threshold is taken from.
struct ClassFigures {
    double count = 0.0;
    double mean = 0.0;
    double deviation = 0.0; // population standard deviation
    quint32 lowest = 65535;
    quint32 highest = 0;
};

ClassFigures figuresOf(const Cluster &cluster, const std::vector<std::vector<double>> &points)
{
    ClassFigures f;
    if (cluster.members.empty())
        return f;
    double sum = 0.0;
    for (uint32_t m : cluster.members) {
        const quint32 v = sixteenBit(points[m][0]);
        f.lowest = std::min(f.lowest, v);
        f.highest = std::max(f.highest, v);
        sum += double(v);
    }
    f.count = double(cluster.members.size());
    f.mean = sum / f.count;
    double squares = 0.0;
    for (uint32_t m : cluster.members) {
        const double d = double(sixteenBit(points[m][0])) - f.mean;
        squares += d * d;
    }
    f.deviation = std::sqrt(squares / f.count);
    return f;
}

// k-means always splits in two, also a channel whose droplets form one group (a well without
// positives, the reference dye), and then cuts the group near its middle: half of it would
// count as positive. The halves of one group touch, so the bands of k standard deviations
// around their means overlap (the class means of a split normal group lie 1.3 summed class
// deviations apart, of a uniform one 1.7), while positives lie many deviations above the
// negatives, and a handful of droplets far above a group stays a class of its own, as
// positives would. So the classes are two groups only where
// lower mean + k sd(lower) < upper mean - k sd(upper), the band test that the droplet
// quality's rain figure makes of the two classes too.
bool oneGroup(const ClassFigures &lower, const ClassFigures &upper, double k)
{
    if (lower.count == 0.0 || upper.count == 0.0)
        return false;
    return !(lower.mean + k * lower.deviation < upper.mean - k * upper.deviation);
}

// Above the whole group: its highest value plus k deviations of the group, and at least one
// grey level above it, since a value equal to the threshold counts as positive.
double aboveGroup(const ClassFigures &a, const ClassFigures &b, double k)
{
    const double n = a.count + b.count;
    const double mean = (a.count * a.mean + b.count * b.mean) / n;
    const double variance = (a.count * (a.deviation * a.deviation + (a.mean - mean) * (a.mean - mean)) +
                             b.count * (b.deviation * b.deviation + (b.mean - mean) * (b.mean - mean))) /
                            n;
    const double top = double(std::max(a.highest, b.highest));
    return top + std::max(1.0, k * std::sqrt(variance));
}

} // namespace

ClusterHandle::ClusterHandle() : deviations(Ravelin::AnalysisSettings().StandardDeviationThld) {}
ClusterHandle::ClusterHandle(const ClusterHandle &other) = default;
ClusterHandle::ClusterHandle(ClusterHandle &&other) noexcept = default;
ClusterHandle &ClusterHandle::operator=(const ClusterHandle &other) = default;
ClusterHandle &ClusterHandle::operator=(ClusterHandle &&other) noexcept = default;
ClusterHandle::~ClusterHandle() = default;

bool ClusterHandle::clusterDrpltGray(const QVector<uint> &greys, double &threshold)
{
    if (greys.size() < 3) {
        errString += tr("the data size is less then 2");
        threshold = 0;
        return false;
    }
    std::vector<std::vector<double>> points;
    points.reserve(size_t(greys.size()));
    for (uint g : greys)
        points.push_back({double(g)});

    const std::vector<Cluster> clusters = k_means(points, 2);
    if (clusters[0].centroid.empty() && clusters[1].centroid.empty()) {
        threshold = 0;
        return false;
    }

    const ClassFigures figures[2] = {figuresOf(clusters[0], points), figuresOf(clusters[1], points)};
    // Equal centroids leave cluster 0 on top.
    const int upper = clusters[1].centroid[0] > clusters[0].centroid[0] ? 1 : 0;
    const int lower = 1 - upper;
    if (oneGroup(figures[lower], figures[upper], deviations)) {
        threshold = aboveGroup(figures[lower], figures[upper], deviations);
        return true;
    }
    threshold = (double(figures[lower].highest) + double(figures[upper].lowest)) / 2.0;
    return true;
}

QString ClusterHandle::getErrString() const
{
    return errString;
}

void ClusterHandle::clearErrString()
{
    errString.clear();
}

void ClusterHandle::setSeparationDeviations(double value)
{
    deviations = value;
}

double ClusterHandle::separationDeviations() const
{
    return deviations;
}

std::vector<Cluster> ClusterHandle::k_means(const std::vector<std::vector<double>> &points, unsigned int k)
{
    std::vector<Cluster> clusters(k);
    if (k == 0 || points.empty())
        return clusters;

    double smallest = points[0][0];
    double largest = points[0][0];
    for (const auto &p : points) {
        smallest = std::min(smallest, p[0]);
        largest = std::max(largest, p[0]);
    }
    if (smallest == largest)
        return clusters;

    // Start from the extremes (spread evenly between them for more than two clusters).
    for (unsigned int i = 0; i < k; ++i) {
        const double start = k == 1 ? smallest : smallest + (largest - smallest) * double(i) / double(k - 1);
        clusters[i].centroid = {i + 1 == k ? largest : start};
        clusters[i].previousCentroid = {-1.0};
    }

    const double eps = 1e-5;
    bool updated = false;
    for (;;) {
        // Settled when no centroid moved by eps or more since the last update. Both directions
        // count: a cluster can still drift while its neighbour has come to rest.
        if (updated) {
            bool settled = true;
            for (const Cluster &c : clusters) {
                if (!(std::fabs(c.centroid[0] - c.previousCentroid[0]) < eps)) {
                    settled = false;
                    break;
                }
            }
            if (settled)
                break;
        }

        for (Cluster &c : clusters)
            c.members.clear();
        for (size_t i = 0; i < points.size(); ++i) {
            unsigned int nearest = 0;
            double best = cal_distance(points[i], clusters[0].centroid);
            for (unsigned int c = 1; c < k; ++c) {
                const double d = cal_distance(points[i], clusters[c].centroid);
                if (d < best) { // ties stay with the lower cluster
                    best = d;
                    nearest = c;
                }
            }
            clusters[nearest].members.push_back(uint32_t(i));
        }

        for (Cluster &c : clusters) {
            c.previousCentroid = c.centroid;
            if (c.members.empty())
                continue;
            std::vector<double> mean(c.centroid.size(), 0.0);
            for (uint32_t m : c.members)
                for (size_t dim = 0; dim < mean.size(); ++dim)
                    mean[dim] += points[m][dim];
            for (double &v : mean)
                v /= double(c.members.size());
            c.centroid = mean;
        }
        updated = true;
    }
    return clusters;
}

double ClusterHandle::cal_distance(const std::vector<double> &a, const std::vector<double> &b)
{
    if (a.size() != b.size())
        return -1.0;
    double sum = 0.0;
    for (size_t i = 0; i < a.size(); ++i)
        sum += (a[i] - b[i]) * (a[i] - b[i]);
    return std::sqrt(sum);
}
