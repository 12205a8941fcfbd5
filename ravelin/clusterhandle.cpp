#include "clusterhandle.h"

#include "greygroups.h"

#include <algorithm>
#include <cmath>

ClusterHandle::ClusterHandle() = default;
ClusterHandle::ClusterHandle(const ClusterHandle &other) = default;
ClusterHandle::ClusterHandle(ClusterHandle &&other) noexcept = default;
ClusterHandle &ClusterHandle::operator=(const ClusterHandle &other) = default;
ClusterHandle &ClusterHandle::operator=(ClusterHandle &&other) noexcept = default;
ClusterHandle::~ClusterHandle() = default;

bool ClusterHandle::sortedGreys(const QVector<uint> &greys, std::vector<quint32> *sorted, const QVector<uint> &before,
                                std::vector<quint32> *sortedBefore)
{
    if (greys.size() < 3) {
        errString += tr("the data size is less then 2");
        return false;
    }
    sorted->assign(greys.cbegin(), greys.cend());
    std::vector<quint32> none;
    if (!sortedBefore)
        sortedBefore = &none;
    if (before.size() == greys.size())
        sortedBefore->assign(before.cbegin(), before.cend());
    Ravelin::GreyGroups::sortWithBefore(sorted, sortedBefore);
    return sorted->front() != sorted->back();
}

bool ClusterHandle::splitDrpltGray(const QVector<uint> &greys, double &threshold)
{
    threshold = 0;
    std::vector<quint32> sorted;
    if (!sortedGreys(greys, &sorted))
        return false;
    threshold = splitOf(sorted, k_means(sorted));
    return true;
}

bool ClusterHandle::clusterDrpltGray(const QVector<uint> &greys, double &threshold, const QVector<uint> &before)
{
    threshold = 0;
    std::vector<quint32> sorted, sortedBefore;
    if (!sortedGreys(greys, &sorted, before, &sortedBefore))
        return false;
    const double split = splitOf(sorted, k_means(sorted));
    threshold = Ravelin::GreyGroups(sorted, sortedBefore).threshold(split);
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

// Halfway between the top of the lower class and the bottom of the upper one, each value taken
// on the 16-bit scale (brighter values count as full scale). An empty class has the bottom
// 65535 and the top 0.
double ClusterHandle::splitOf(const std::vector<quint32> &sorted, std::ptrdiff_t upper)
{
    const std::ptrdiff_t n = std::ptrdiff_t(sorted.size());
    const double lowerTop = upper > 0 ? double(Ravelin::GreyGroups::sixteenBit(sorted[size_t(upper - 1)])) : 0.0;
    const double upperBottom = upper < n ? double(Ravelin::GreyGroups::sixteenBit(sorted[size_t(upper)])) : 65535.0;
    return (lowerTop + upperBottom) / 2.0;
}

// Lloyd's iteration from the smallest and the largest value. On ascending values the nearer
// centroid changes only once along the list, so each pass finds that place by bisection and
// takes the class means from running sums. The sums of whole numbers are exact in doubles, so
// every centroid, and with it every assignment and the pass at which the centroids come to
// rest, is the same as a pass over the points one by one would give.
std::ptrdiff_t ClusterHandle::k_means(const std::vector<quint32> &sorted)
{
    const size_t n = sorted.size();
    if (n == 0 || sorted.front() == sorted.back())
        return -1;
    std::vector<double> prefix(n + 1, 0.0);
    for (size_t i = 0; i < n; ++i)
        prefix[i + 1] = prefix[i] + double(sorted[i]);

    double centroid[2] = {double(sorted.front()), double(sorted.back())};
    double previous[2] = {-1.0, -1.0};
    const double eps = 1e-5;
    bool updated = false;
    size_t upper = n;
    for (;;) {
        // Settled when neither centroid moved by eps or more since the last update.
        if (updated && std::fabs(centroid[0] - previous[0]) < eps && std::fabs(centroid[1] - previous[1]) < eps)
            break;
        // A value joins the upper class only when strictly nearer to it; ties stay below.
        const auto first = std::partition_point(sorted.cbegin(), sorted.cend(), [&centroid](quint32 v) {
            return !(cal_distance(double(v), centroid[1]) < cal_distance(double(v), centroid[0]));
        });
        upper = size_t(first - sorted.cbegin());
        previous[0] = centroid[0];
        previous[1] = centroid[1];
        if (upper > 0)
            centroid[0] = prefix[upper] / double(upper);
        if (upper < n)
            centroid[1] = (prefix[n] - prefix[upper]) / double(n - upper);
        updated = true;
    }
    return std::ptrdiff_t(upper);
}

double ClusterHandle::cal_distance(double a, double b)
{
    return std::sqrt((a - b) * (a - b));
}
