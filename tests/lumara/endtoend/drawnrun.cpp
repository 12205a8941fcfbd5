#include "drawnrun.h"

namespace EndToEnd {

DrawnRun::DrawnRun(const MkPackage::GeneratorOptions &options) : m_options(options)
{
    MkPackage::GeneratorOptions drawn = options;
    drawn.storedDroplets = MkPackage::StoredDroplets::Drawn;
    MkPackage::SynthWells wells;
    if (!wells.setOptions(drawn, nullptr))
        return;
    m_width = wells.imageWidth();
    m_height = wells.imageHeight();
    for (int i = 0; i < wells.wellCount(); ++i) {
        MkPackage::WellPlan plan;
        if (!wells.well(i, &plan, nullptr))
            return;
        // Only the droplets are needed; the images would hold most of the memory.
        plan.images = {};
        MkPackage::DropletLattice lattice(wells.dropletPitch());
        for (const MkPackage::DropletPlan &d : plan.droplets)
            lattice.add(d.x, d.y);
        m_wells.push_back(std::move(plan));
        m_lattices.push_back(std::move(lattice));
    }
    m_valid = true;
}

int DrawnRun::dropletAt(int index, double x, double y) const
{
    if (index < 0 || index >= wellCount())
        return -1;
    double distance = 0.0;
    const int nearest = m_lattices[size_t(index)].nearest(x, y, &distance);
    if (nearest < 0 || distance > m_wells[size_t(index)].droplets[size_t(nearest)].radius)
        return -1;
    return nearest;
}

} // namespace EndToEnd
