#include "twoclasssplit.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace LumaraTest {

namespace {

double fullScaleLimited(double v)
{
    if (!(v > 0.0))
        return 0.0;
    return v >= 65535.0 ? 65535.0 : double(quint32(v));
}

} // namespace

bool splitThreshold(const QVector<uint> &greys, double *threshold)
{
    *threshold = 0.0;
    if (greys.size() < 3)
        return false;
    const auto range = std::minmax_element(greys.cbegin(), greys.cend());
    if (*range.first == *range.second)
        return false;

    double centre[2] = {double(*range.first), double(*range.second)};
    std::vector<int> side(size_t(greys.size()), 0);
    for (;;) {
        double sum[2] = {0.0, 0.0};
        int count[2] = {0, 0};
        for (int i = 0; i < greys.size(); ++i) {
            const double v = greys.at(i);
            const double d0 = std::sqrt((v - centre[0]) * (v - centre[0]));
            const double d1 = std::sqrt((v - centre[1]) * (v - centre[1]));
            const int s = d1 < d0 ? 1 : 0; // a tie stays with the dim start
            side[size_t(i)] = s;
            sum[s] += v;
            ++count[s];
        }
        bool resting = true;
        for (int s = 0; s < 2; ++s) {
            const double next = count[s] ? sum[s] / count[s] : centre[s];
            resting = resting && std::fabs(next - centre[s]) < 1e-5;
            centre[s] = next;
        }
        if (resting)
            break;
    }

    const int bright = centre[1] > centre[0] ? 1 : 0;
    double dimTop = 0.0;
    double brightBottom = 65535.0;
    for (int i = 0; i < greys.size(); ++i) {
        const double v = fullScaleLimited(greys.at(i));
        if (side[size_t(i)] == bright)
            brightBottom = std::min(brightBottom, v);
        else
            dimTop = std::max(dimTop, v);
    }
    *threshold = (dimTop + brightBottom) / 2.0;
    return true;
}

} // namespace LumaraTest
