#pragma once
// The shape of one channel's droplet greys: one group or two, each group's robust centre and
// spread, the rain between them, and the threshold that counts what a scientist calls positive.
#include "ravelin_global.h"

#include <QtGlobal>

#include <cstddef>
#include <vector>

namespace Ravelin {

class RAVELIN_EXPORT GreyGroups {
public:
    // A group's centre (median) and spread (scaled median absolute deviation) over its core.
    struct Group {
        double centre = 0.0;
        double spread = 1.0;
        double count = 0.0; // droplets of the group's own distribution, rain taken off
    };

    // sorted: the greys in ascending order, not all equal. before: each one's grey before a
    // spill-over compensation, at any common scale; empty where none was applied.
    explicit GreyGroups(const std::vector<quint32> &sorted, const std::vector<quint32> &before = {});

    // The threshold for these greys, given the two-class split's; the split is kept where the
    // groups it separates are the ones the shape shows and it miscounts nothing.
    double threshold(double split);

    // What the last threshold found.
    bool twoGroups() const { return m_two; }
    Group lower() const { return m_lower; }
    Group upper() const { return m_upper; }
    double rain() const { return m_rain; }
    bool keptSplit() const { return m_keptSplit; }

    static quint32 sixteenBit(quint32 value) { return value > 65535u ? 65535u : value; }
    // Sorts the greys ascending, and the greys before the compensation (when as many) with them.
    static void sortWithBefore(std::vector<quint32> *greys, std::vector<quint32> *before);

private:
    std::ptrdiff_t valley(size_t lo, size_t hi, size_t few) const;
    std::vector<size_t> valleys(size_t lo, size_t hi, const std::vector<double> &y, double offset, double h) const;
    static bool fewBelow(size_t lo, size_t cut, size_t hi);
    bool partedBelow(size_t lo, size_t cut, size_t hi, bool valleyAtCut) const;
    std::ptrdiff_t groupBeside(size_t lo, size_t hi, size_t few) const;
    bool negativesBelow(size_t lo, size_t hi) const;
    bool tailBelow(size_t lo, size_t cut, size_t hi) const;
    bool setAsideBelow(size_t lo, size_t cut, size_t hi, size_t few) const;
    bool pushedBelow(size_t lo, size_t cut, size_t hi) const;
    std::ptrdiff_t twoNormals(size_t lo, size_t hi, double split) const;
    Group groupOf(size_t lo, size_t hi, bool fromMode = false) const;
    void fitMixture(size_t lo, size_t hi);
    double aboveGroup(size_t lo, size_t hi);
    std::ptrdiff_t positivesFoot(size_t lo, size_t hi) const;
    double shapeThreshold(double split);
    size_t countFrom(double threshold) const;
    double miscount(double t) const;
    double balanced() const;
    size_t countBelow(double value) const;

    std::vector<double> m_values; // 16-bit greys, ascending
    std::vector<double> m_prefix; // running sums of m_values, from 0
    std::vector<double> m_before; // beside m_values: the greys before a compensation, or empty
    bool m_two = false;
    bool m_keptSplit = false;
    Group m_lower;
    Group m_upper;
    double m_rain = 0.0;        // rain droplets per grey level between the two centres
};

} // namespace Ravelin
