#include "plots/TwoDotPlot/polygongeometry.h"

#include <QPainterPath>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <limits>

namespace PolygonGeometry {

namespace {
int truncated(double v)
{
    if (std::isnan(v))
        return 0;
    return int(std::clamp(std::trunc(v), double(std::numeric_limits<int>::min()),
                          double(std::numeric_limits<int>::max())));
}
} // namespace

QPoint truncatedPoint(const QPointF &point)
{
    return QPoint(truncated(point.x()), truncated(point.y()));
}

QPolygonF pathPolygon(const QPainterPath &path)
{
    return path.toFillPolygon(QTransform());
}

QPolygonF vertexPolygon(const QPolygonF &polygon)
{
    QPolygonF vertices;
    for (int i = 0; i < polygon.size(); ++i) {
        const QPointF &p = polygon.at(i);
        if (!vertices.contains(p)) {
            vertices.append(p);
            continue;
        }
        if (i > 0 && p == vertices.first())
            break;
    }
    return vertices;
}

QPolygonF uniquePoints(const QPolygonF &polygon)
{
    QPolygonF unique;
    for (const QPointF &p : polygon) {
        if (!unique.contains(p))
            unique.append(p);
    }
    return unique;
}

bool sameOutline(const QPolygonF &a, const QPolygonF &b)
{
    return uniquePoints(a) == uniquePoints(b);
}

QPainterPath closedPath(const QPolygonF &points)
{
    QPainterPath path;
    path.addPolygon(points);
    path.closeSubpath();
    return path;
}

QPainterPath closedPathWithHandles(const QPolygonF &points, double rx, double ry, int enlarged)
{
    QPainterPath path = closedPath(points);
    // The handles add to the polygon: the inner half of a handle is still on the polygon.
    path.setFillRule(Qt::WindingFill);
    for (int i = 0; i < points.size(); ++i) {
        const double scale = i == enlarged ? 1.5 : 1.0;
        path.addEllipse(points.at(i), rx * scale, ry * scale);
    }
    return path;
}

QPointF projectOnEdge(const QPoint &a, const QPoint &b, const QPoint &p, int tolerance)
{
    // Every operand is converted first: the products of two grey values overflow an int.
    const float ax = float(a.x()), ay = float(a.y());
    const float bx = float(b.x()), by = float(b.y());
    const float px = float(p.x()), py = float(p.y());
    const float tol = float(tolerance);
    const QPointF none(-1, -1);
    if (a.x() == b.x()) {
        if (std::fabs(ax - px) < tol && py > std::min(ay, by) + tol && py < std::max(ay, by) - tol)
            return QPointF(ax, py);
        return none;
    }
    const float k = (ay - by) / (ax - bx);
    const float c = (ax * by - bx * ay) / (ax - bx);
    if (k >= -1.0f && k <= 1.0f) {
        if (!(px > std::min(ax, bx) - tol && px < std::max(ax, bx) + tol))
            return none;
        const float y = k * px + c;
        if (std::fabs(y - py) < tol)
            return QPointF(px, y);
        return none;
    }
    if (!(py > std::min(ay, by) - tol && py < std::max(ay, by) + tol))
        return none;
    const float x = (py - c) / k;
    if (std::fabs(x - px) < tol)
        return QPointF(x, py);
    return none;
}

bool onVertex(const QPointF &point, const QPointF &vertex, double halfX, double halfY)
{
    return std::fabs(point.x() - vertex.x()) < 1.5 * halfX
        && std::fabs(point.y() - vertex.y()) < 1.5 * halfY;
}

int vertexAt(const QPolygonF &vertices, int count, const QPointF &point, double halfX, double halfY)
{
    const int n = std::min(count, int(vertices.size()));
    for (int i = 0; i < n; ++i) {
        if (onVertex(point, vertices.at(i), halfX, halfY))
            return i;
    }
    return -1;
}

int lastVertexAt(const QPolygonF &vertices, int count, const QPointF &point, double halfX,
                 double halfY)
{
    const int n = std::min(count, int(vertices.size()));
    for (int i = n - 1; i >= 0; --i) {
        if (onVertex(point, vertices.at(i), halfX, halfY))
            return i;
    }
    return -1;
}

namespace {
bool within(const QPointF &a, const QPointF &b, int tolerance)
{
    return std::fabs(a.x() - b.x()) < tolerance && std::fabs(a.y() - b.y()) < tolerance;
}
} // namespace

bool reshapeAtPoint(const QPolygonF &vertices, const QPoint &point, QPolygonF *result)
{
    const int n = vertices.size();
    QPolygonF out;
    out.reserve(n + 1);
    bool handled = false;
    for (int i = 0; i < n; ++i) {
        const QPointF &start = vertices.at(i);
        if (handled) {
            out.append(start);
            continue;
        }
        const bool closing = i == n - 1;
        const QPointF &end = vertices.at(closing ? 0 : i + 1);
        const QPointF q = projectOnEdge(start.toPoint(), end.toPoint(), point, EdgeTolerance);
        if (int(q.x()) == -1 || int(q.y()) == -1) {
            out.append(start);
        } else if (within(q, start, EdgeTolerance)) {
            handled = true; // a click on a vertex removes it
        } else if (!closing && within(q, end, EdgeTolerance)) {
            out.append(start); // the next edge starts at that vertex and decides
        } else {
            out.append(start);
            out.append(q);
            handled = true;
        }
    }
    if (!handled || out.size() < 3)
        return false;
    *result = out;
    return true;
}

} // namespace PolygonGeometry
