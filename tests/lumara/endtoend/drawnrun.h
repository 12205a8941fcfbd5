#pragma once
// Every droplet the generator drew for a run, not only those its archive stores, rendered once
// so that the droplets a document holds after any step can be judged by the drawn droplets they
// lie on.
#include "dropletlattice.h"
#include "generator.h"

#include <vector>

namespace EndToEnd {

class DrawnRun {
public:
    explicit DrawnRun(const MkPackage::GeneratorOptions &options);

    // False when the options make no run.
    bool isValid() const { return m_valid; }
    const MkPackage::GeneratorOptions &options() const { return m_options; }
    int wellCount() const { return int(m_wells.size()); }
    const MkPackage::WellPlan &well(int index) const { return m_wells[size_t(index)]; }
    // The drawn droplet of well `index` that the point (x, y) lies on; -1 when none.
    int dropletAt(int index, double x, double y) const;
    int imageWidth() const { return m_width; }
    int imageHeight() const { return m_height; }

private:
    MkPackage::GeneratorOptions m_options;
    bool m_valid = false;
    int m_width = 0;
    int m_height = 0;
    std::vector<MkPackage::WellPlan> m_wells;
    std::vector<MkPackage::DropletLattice> m_lattices;
};

} // namespace EndToEnd
