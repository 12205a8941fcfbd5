#pragma once
// How the 3D page sorts droplets, kept apart from the drawing so that it is what the recount
// does: a value at or above a line threshold is positive, in the octant colouring and in the
// population test alike.
#include <QPolygonF>
#include <QString>
#include <QVector>
#include <QVector3D>

namespace Dot3D {

// 4 for the x channel, 2 for y, 1 for z, each when the value reaches its threshold.
int octantIndex(uint gx, uint gy, uint gz, uint tx, uint ty, uint tz);

// One bit of a droplet's zone code as the recount makes it: the bit of a named target channel
// (its position among them, ascending) that the well measures, and the well's threshold of it.
struct CodeBit {
    int shift = 0;
    uint threshold = 0;
};
// The forced bits (targets the well does not measure count as reached) plus the bit of every
// values[i] that reaches bits[i]'s threshold.
uint populationCode(const QVector<uint> &values, const QVector<CodeBit> &bits, uint forced);

// A selected zone of polygon thresholding: its polygon in the well and the channels of the
// 2D plot it was drawn on.
struct PolygonZone {
    QPolygonF polygon;
    uint px = 0;
    uint py = 0;
};
enum Membership { NoZone = -1, Out = 0, In = 1 };
// The first zone that lies on (x, y), (x, z) or (y, z), tried in that order of pairs, decides
// by the odd-even rule, as the recount counts; NoZone when none lies on two of the three shown
// channels.
Membership polygonMembership(const QVector<PolygonZone> &zones, uint x, uint y, uint z, const QVector3D &point);

// The plot's name, or "x_y_z" of the target names when it has none.
QString plotTitle(const QString &name, const QString &xTarget, const QString &yTarget, const QString &zTarget);

// The upper end of the three axes: the largest value walked plus 10.
float axisUpper(uint largest);

} // namespace Dot3D
