#pragma once
// The pure rules of the explore page's plots: which plot entries the chosen wells offer, how
// two channels' droplets split into quadrants, and the axis ranges of the dot plots. Kept apart
// from the widgets so that they are checked without a display.
#include <QHash>
#include <QList>
#include <QPolygonF>
#include <QString>
#include <QStringList>
#include <QVector>

// What a click, a drag or a population choice last marked on the image.
enum ExploreMarkerMode { Population = 0, Threshold = 1, SelectRect = 2 };

// One item of the plot drop-down: one channel (1D), a pair (2D) or a triple (3D).
struct ExplorePlotEntry {
    QString name;
    QVector<uint> channels;
};

// "1D", "2D" or "3D" by the number of channels; "" for any other count.
QString explorePlotTag(const ExplorePlotEntry &entry);

// Every channel alone, then "Ref" for a reference channel (1..6) that is not one of the
// channels, then every pair and every triple of the channels in their order. The reference is
// never paired. Names are the channels' target names joined by '-'.
QVector<ExplorePlotEntry> explorePlotEntries(const QList<uint> &channels, const QHash<uint, QString> &targetNames,
                                             uint refChannel);

// The channels of the first entry of that name; empty when none has it.
QVector<uint> explorePlotChannels(const QVector<ExplorePlotEntry> &entries, const QString &name);

// One colour and its dots.
struct ExploreSeries {
    QString colour;
    QPolygonF points;
};

// Always four series: both positive, only y positive, negative, only x positive. A droplet is
// positive in a channel at or above its threshold. In polygon mode every droplet goes to the
// second series and every colour is the negative grey. colours: both, y, negative, x.
QVector<ExploreSeries> exploreQuadrants(const QVector<uint> &gx, const QVector<uint> &gy, uint tx, uint ty,
                                        const QVector<QString> &colours, bool lineMode);

// The box around every point; the box starts at the first both-positive point, or at 0 when
// there is none (so it then always reaches 0).
struct ExploreBounds {
    double xMin = 0.0;
    double xMax = 0.0;
    double yMin = 0.0;
    double yMax = 0.0;
};
ExploreBounds exploreSeriesBounds(const QVector<ExploreSeries> &series);

using ExploreRange = QPair<double, double>; // (lower, upper)

// A range that came out empty (lower >= upper) becomes 0 to 100, so an axis never collapses.
ExploreRange exploreUsableRange(double lower, double upper);

// The 2D axes: the bounds widened to 0.8 of the lower and 1.2 of the upper end.
ExploreRange explore2DXRange(const ExploreBounds &bounds);
ExploreRange explore2DYRange(const ExploreBounds &bounds);

// The 1D axes of a channel's kept grey values: x from 0 to count + count / 100; y from the
// lowest value less 100 (not below 0) to the highest plus a fiftieth of it.
ExploreRange explore1DXRange(int count);
ExploreRange explore1DYRange(const QVector<uint> &greys);
