#pragma once
// How the 2D page turns droplets into coloured dots, and the small rules around its plots:
// pure functions, so that the page, its thumbnails and the tests share one version of each.
#include "bll/populationsmgr.h"
#include "shell/globalvalues.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QPointF>
#include <QPolygonF>
#include <QString>
#include <QVector>

// Ordered (colour, points) pairs: each pair is one dot curve, drawn in this order.
using PointMap = QVector<QPair<QString, QVector<QPointF>>>;

// The droplets of one well not on a threshold quadrant (line mode) but in the zones of a plot.
struct Plot2DCreateZoneInfo {
    QVector<uint> gx; // kept droplets' grey values of the x channel
    QVector<uint> gy; // ... of the y channel, droplet i the same droplet
    uint xChannel = 0;
    uint yChannel = 0;
    QList<PlotPolygonInfo> zones;     // the well's polygon zones, in the document's order
    QMap<uint, QString> zoneColours;  // zone id -> colour, resolved on the GUI thread
};

// The colour of droplets outside every quadrant and zone.
extern const char *const NegativeDotColour;

// Line mode, one well: the four curves (both channels, y only, neither, x only), empty ones
// included. A droplet on a threshold counts as above it, as the recount does: what is drawn
// is what is counted. Only droplets present in both channels are taken.
PointMap lineWellPoints(const QVector<uint> &gx, const QVector<uint> &gy, uint xThreshold, uint yThreshold,
                        const QString &bothColour, const QString &yColour, const QString &xColour);

// Polygon mode, one well: each droplet in the first zone of this plot's channel pair that
// contains it (odd-even fill) takes the zone's colour, the others NegativeDotColour.
QMap<QString, QVector<QPointF>> collectZonePoints(const Plot2DCreateZoneInfo &item);

// The proposed colour of a new population when `index` populations exist: six colours in turn.
QString newPopulationColor(int index);

// A combination's thumbnail caption: its name, or "x target_y target" when it has none.
QString thumbnailTitle(const QString &name, const QString &xTarget, const QString &yTarget);

// The polygon editor's vertex tolerance in axis units for a plot area of that size and axis
// spans: k = width / 80, each axis trunc(span / size) * k. False for an area under one pixel
// (not laid out yet): the caller keeps the tolerance it had.
bool vertexTolerance(int width, int height, double xSpan, double ySpan, uint *xTolerance, uint *yTolerance);

// The stored per-well range of the channel for the selected wells: the first entry whose well
// is selected, its lower bound raised to 1. False without such an entry, when the pair was
// never set, or when it would be empty or inverted.
bool wellAxisRangeOf(const QVector<WellAxisRange> &ranges, const QList<uint> &selectedWells, uint channel,
                     AxisRange *range);

// A channel the six-entry tables can index.
inline bool isChannel(uint channel)
{
    return channel >= 1 && channel <= 6;
}
