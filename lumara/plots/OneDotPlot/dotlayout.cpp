#include "plots/OneDotPlot/dotlayout.h"

#include <cmath>
#include <limits>

DotLayout dotLayout(const QVector<uint> &counts)
{
    DotLayout layout;
    layout.offsets.reserve(counts.size() + 1);
    layout.offsets.append(0);
    for (uint n : counts)
        layout.offsets.append(layout.offsets.last() + n + n / 30);
    for (int i = 0; i < counts.size(); ++i)
        layout.spans.append(qMakePair(layout.offsets.at(i) - 0.5, layout.offsets.at(i + 1) - 0.5));
    return layout;
}

QVector<QPolygonF> thresholdLines(const DotLayout &layout, const QVector<uint> &heights)
{
    QVector<QPolygonF> lines;
    lines.reserve(layout.spans.size());
    for (int i = 0; i < layout.spans.size(); ++i) {
        const double y = heights.value(i, 0);
        lines.append(QPolygonF(QVector<QPointF>{QPointF(layout.spans.at(i).first, y), QPointF(layout.spans.at(i).second, y)}));
    }
    return lines;
}

int wellAtX(const QVector<QPolygonF> &lines, double x)
{
    // A negative pointer position is left of every droplet; converting it would be undefined.
    if (!(x >= 0) || x >= double(std::numeric_limits<uint>::max()))
        return -1;
    const double at = std::trunc(x);
    for (int i = 0; i < lines.size(); ++i) {
        const QPolygonF &line = lines.at(i);
        if (line.size() >= 2 && line.first().x() < at && at < line.last().x())
            return i;
    }
    return -1;
}

bool catchesLine(uint threshold, uint grey)
{
    // Unsigned on purpose: a pointer above the line wraps to a huge difference.
    return threshold - grey < 200u;
}

uint greyAt(double y)
{
    if (!(y >= 0))
        return 0;
    if (y >= double(std::numeric_limits<uint>::max()))
        return std::numeric_limits<uint>::max();
    return uint(y);
}
