#pragma once
// The arithmetic of the concentration and uncertainty charts, kept apart from the widgets so
// that it can be checked without drawing anything.
#include <QPointF>
#include <QVector>

#include <functional>

namespace ChartGeometry {

// Every result row takes this many units of the concentration chart's x axis.
constexpr int GroupWidth = 200;

// The bottom scale of the concentration chart: group boundaries as medium ticks, group
// centres as major ticks (where the labels go), from 0 to one past the last boundary.
struct XDivision {
    QVector<double> boundaries;
    QVector<double> centres;
    double lower = 0.0;
    double upper = 1.0;
};

// From the width of each group; without a group the scale runs 0 ... 1 without ticks.
XDivision buildXDivision(const QVector<int> &widths);

// The label key (and centre) of group i.
int groupCentre(int group);

// x of bar j among n bars of group i, spread evenly with integer steps.
int barX(int group, int bar, int barsInGroup);

// Half of a 30-pixel bar in x units (integer units: the bars sit on integer positions).
int halfWidth(double xRange, int plotWidth);
// Half of a 10-pixel box in y units.
double halfHeight(double yRange, int plotHeight);

struct YRange {
    double lower = 0.0;
    double upper = 1.0;
};
// Room above the largest upper bound: 1.3 times it on a linear axis, twice it on a log axis
// starting at 0.001. Without a positive finite maximum: 0 ... 1 (log 0.001 ... 1).
YRange concentrationYRange(double maximum, bool linear);

// Where the group dividers start: 0, or a value far below any log axis.
double dividerBottom(bool linear);

// The three polylines of one bar: whiskers with caps at the bounds (a negative lower bound
// drawn at 0) and the box around the concentration, which the caller fills. A bound that is
// not finite has no whisker and does not limit the box.
struct BarCurves {
    QVector<QPointF> upperWhisker;
    QVector<QPointF> lowerWhisker;
    QVector<QPointF> box;
};
BarCurves barCurves(double x, double concentration, double lower, double upper, double halfWidth, double halfHeight);

// Pixel size of the group labels: the scaled 20 px when the longest label plus 10 px fits in
// one group's width, else the largest scaled size from 19 down to 1 that fits, else 10 px.
// advanceAt gives the longest label's advance width at a pixel size.
int fitLabelPixelSize(int perGroup, double scale, const std::function<int(int pixelSize)> &advanceAt);

// Upper end of the uncertainty chart's percent axis for its largest point.
double uncertaintyAxisUpper(double largestUncertainty);

} // namespace ChartGeometry
