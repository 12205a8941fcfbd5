#pragma once
// Where the droplets of several wells lie side by side on the 1D plot's x axis, and the x span
// of each well's threshold lines.
#include <QPolygonF>
#include <QVector>

struct DotLayout {
    // offsets[i] is the x of well i's first droplet; offsets[n] is where a next well would
    // start. After each well a gap of a thirtieth of its droplets (rounded down).
    QVector<uint> offsets;
    // Each well's lines run from offsets[i] - 0.5 to offsets[i + 1] - 0.5: they cover exactly
    // that well's droplets, and their widths put the well boundaries at offsets[i + 1].
    QVector<QPair<double, double>> spans;
};

// Counts are the wells' effective droplet numbers, in plot order.
DotLayout dotLayout(const QVector<uint> &counts);

// One two-point line per well at its height over its span.
QVector<QPolygonF> thresholdLines(const DotLayout &layout, const QVector<uint> &heights);

// The index of the well whose span holds x strictly inside it, -1 for none. x below 0 is
// outside every span.
int wellAtX(const QVector<QPolygonF> &lines, double x);

// Whether a pointer at grey value `grey` catches a line at `threshold`: on the line or less
// than 200 below it.
bool catchesLine(uint threshold, uint grey);

// The grey value a pointer's y stands for: truncated, 0 below 0.
uint greyAt(double y);
