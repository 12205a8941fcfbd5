#include "dropletlattice.h"

#include <cmath>

namespace MkPackage {

namespace {

// Unsigned: cells left of or above the image are negative.
qint64 key(qint64 cx, qint64 cy)
{
    return qint64((quint64(cy) << 32) ^ (quint64(cx) & 0xffffffffu));
}

} // namespace

DropletLattice::DropletLattice(double pitch) : m_pitch(pitch) {}

qint64 DropletLattice::cellOf(double x, double y) const
{
    return key(qint64(std::floor(x / m_pitch)), qint64(std::floor(y / m_pitch)));
}

void DropletLattice::add(double x, double y)
{
    m_cells[cellOf(x, y)].push_back(int(m_x.size()));
    m_x.push_back(x);
    m_y.push_back(y);
}

int DropletLattice::nearest(double x, double y, double *distance) const
{
    const qint64 cx = qint64(std::floor(x / m_pitch)), cy = qint64(std::floor(y / m_pitch));
    int best = -1;
    double bestDistance = 0.0;
    for (qint64 dy = -1; dy <= 1; ++dy) {
        for (qint64 dx = -1; dx <= 1; ++dx) {
            const auto cell = m_cells.find(key(cx + dx, cy + dy));
            if (cell == m_cells.end())
                continue;
            for (int k : cell->second) {
                const double d = std::hypot(m_x[size_t(k)] - x, m_y[size_t(k)] - y);
                if (best < 0 || d < bestDistance) {
                    best = k;
                    bestDistance = d;
                }
            }
        }
    }
    if (distance)
        *distance = bestDistance;
    return best;
}

} // namespace MkPackage
