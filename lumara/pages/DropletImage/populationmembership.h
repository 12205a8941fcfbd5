#pragma once
// Whether the droplets of a well belong to a population, by the analysis's threshold mode and
// with the values the recount classifies, so that marked droplets are the counted ones:
// line mode by the zone that the droplet's positive target channels make (a value at or above
// the threshold is positive), polygon mode by the first bound zone whose polygon holds the
// droplet. Everything is read once, when the object is made.
#include <QPolygonF>
#include <QVector>

#include <vector>

class PopulationMembership {
public:
    PopulationMembership(uint wellId, uint populationId);

    // Droplet i of the well's record (excluded droplets count by their values too).
    bool contains(int droplet) const;

private:
    struct CodeBit {
        QVector<uint> values;
        uint threshold = 0;
        int shift = 0;
    };
    struct BoundPolygon {
        QPolygonF polygon;
        QVector<uint> x;
        QVector<uint> y;
        bool member = false; // the zone is not bound as negative
    };

    bool m_found = false;
    bool m_lineMode = true;
    // Line mode: a droplet's code is the forced bits plus one bit per measured target.
    QVector<CodeBit> m_bits;
    uint m_forced = 0;
    std::vector<char> m_memberCodes;
    // Polygon mode.
    QVector<BoundPolygon> m_polygons;
};
