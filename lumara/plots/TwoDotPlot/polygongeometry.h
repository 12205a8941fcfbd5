#pragma once
// The arithmetic of the 2D plot's polygons, kept apart from the widgets so that it can be
// checked on its own. Coordinates are plot coordinates (axis units). Points compare with
// QPointF's own equality, which is fuzzy: per coordinate a difference of at most 1e-12 when
// either value is 0, otherwise a relative difference of at most 1e-12.
#include <QPoint>
#include <QPointF>
#include <QPolygonF>

class QPainterPath;

namespace PolygonGeometry {

// Distance, in axis units, within which a right click reaches an edge or a vertex.
constexpr int EdgeTolerance = 80;

// A plot position truncated toward zero to whole axis units (saturated at the int range),
// as every pointer position of the 2D plot is taken.
QPoint truncatedPoint(const QPointF &point);

// The points of a shape's path (sub-paths joined, as QPainterPath::toFillPolygon gives them
// under the identity transform).
QPolygonF pathPolygon(const QPainterPath &path);

// The polygon's distinct points in order, up to the point that closes it again: a point
// already taken is skipped, unless it equals the first point, which ends the walk. For a
// shape whose path also holds vertex handles this gives exactly the outline's vertices.
QPolygonF vertexPolygon(const QPolygonF &polygon);

// The points in order with every later repetition of a point left out.
QPolygonF uniquePoints(const QPolygonF &polygon);

// Same distinct points in the same order: how a reshaped outline is matched to its zone.
bool sameOutline(const QPolygonF &a, const QPolygonF &b);

// A closed path through the points; with handles, an ellipse of the given radii on every
// vertex as well, and a point on a handle counts as on the path.
QPainterPath closedPath(const QPolygonF &points);
QPainterPath closedPathWithHandles(const QPolygonF &points, double rx, double ry,
                                   int enlarged = -1);

// The point of edge a-b that p is nearest to along one axis, when p lies within `tolerance`
// of the edge; (-1, -1) when it does not. Single-precision arithmetic, as the plot's hit
// tests have always used.
QPointF projectOnEdge(const QPoint &a, const QPoint &b, const QPoint &p, int tolerance);

// A point is on a vertex when it lies strictly inside the box of 1.5 half sizes around it.
bool onVertex(const QPointF &point, const QPointF &vertex, double halfX, double halfY);
// First (or last) index below `count` whose vertex box holds the point; -1 when none.
int vertexAt(const QPolygonF &vertices, int count, const QPointF &point, double halfX,
             double halfY);
int lastVertexAt(const QPolygonF &vertices, int count, const QPointF &point, double halfX,
                 double halfY);

// The right-click rule on an outline's vertices: the first edge (the closing one last) that
// the point projects onto either loses its start vertex, when the projection is within the
// tolerance of it, or gains the projection after its start vertex. Returns false, leaving
// `result` alone, when no edge takes the point or fewer than 3 vertices would remain.
bool reshapeAtPoint(const QPolygonF &vertices, const QPoint &point, QPolygonF *result);

} // namespace PolygonGeometry
