#pragma once
// Small helpers shared by the plots of this library; not part of its interface.
#include <QBrush>
#include <QColor>
#include <QPen>
#include <QPointF>
#include <QVector>

#include <cmath>
#include <limits>

class QwtPlotCurve;

namespace CorvelDetail {

// Truncates towards zero like a plain int conversion, but saturates instead of invoking
// undefined behaviour for values outside int (and maps NaN to 0).
inline int truncToInt(double v)
{
    if (!std::isfinite(v)) {
        if (std::isnan(v))
            return 0;
        return v > 0 ? std::numeric_limits<int>::max() : std::numeric_limits<int>::min();
    }
    if (v >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (v <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return int(v);
}

inline bool isFinitePoint(const QPointF &p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

// Curves must never see NaN or infinite samples: Qwt's bounding rectangle and the scale
// engines then produce NaN ranges.
template<typename Container>
QVector<QPointF> finitePoints(const Container &points)
{
    QVector<QPointF> out;
    out.reserve(int(points.size()));
    for (const QPointF &p : points) {
        if (isFinitePoint(p))
            out.append(p);
    }
    return out;
}

// The pen of a dot curve: the dot size is the pen width.
inline QPen dotPen(const QString &colour, double size)
{
    return QPen(QBrush(QColor(colour), Qt::SolidPattern), size, Qt::SolidLine, Qt::SquareCap,
                Qt::BevelJoin);
}

// Dots drawn through an image buffer: with tens of thousands of droplets per well this is
// far cheaper than painting each point through the canvas painter.
void setupDotCurve(QwtPlotCurve *curve);

} // namespace CorvelDetail
