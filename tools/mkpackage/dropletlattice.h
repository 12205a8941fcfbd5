#pragma once
// Droplet centres filed by cells of the droplet pitch, to find the drawn droplet a found centre
// lies nearest to: it lies in the centre's cell or in one of the eight around it.
#include <QtGlobal>

#include <unordered_map>
#include <vector>

namespace MkPackage {

class DropletLattice {
public:
    explicit DropletLattice(double pitch);

    // Files the next centre; its index is the number of centres added before it.
    void add(double x, double y);
    // The index of the filed centre nearest to (x, y) within the neighbouring cells, and its
    // distance; -1 when none lies there.
    int nearest(double x, double y, double *distance) const;

private:
    qint64 cellOf(double x, double y) const;

    double m_pitch;
    std::vector<double> m_x, m_y;
    std::unordered_map<qint64, std::vector<int>> m_cells;
};

} // namespace MkPackage
