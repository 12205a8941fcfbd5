#pragma once
// The compensation page's decisions that need no widget: the matrix its jobs are handed, the
// channel pairs of its scatter plots and how they are paged, and the points and ranges drawn.
#include "compensationmatrix.h"

#include <QList>
#include <QPair>
#include <QPointF>
#include <QSet>
#include <QVector>

namespace CompensationSteps {

// The matrix a preview or an apply is handed: the edited matrix as a whole (the business
// layer compensates every well from its raw values), with 1.0 on the diagonal.
CompensationMatrix workingMatrix(const CompensationMatrix &edited);

// Every pair (c_i, c_j) with i < j of the channels, ordered by i, then j.
QList<QPair<uint, uint>> channelPairs(const QList<uint> &channels);

// Two pairs per page; `index` is the position of the pair in the second plot (the first page
// shows pairs 0 and 1 and has index 1).
enum class PageTurn { Redraw, Next, Previous };
struct PlotPage {
    int first = -1;  // pair in the first plot; -1: nothing to draw
    int second = -1; // pair in the second plot; -1: the second plot is hidden
    int index = 1;
    bool disablePrevious = false;
    bool disableNext = false;
};
PlotPage turnPage(int pairs, int index, PageTurn turn);

// The values without the droplets at the excluded positions.
QVector<uint> keptValues(const QVector<uint> &all, const QSet<uint> &excluded);

// (x[i], y[i]) for every droplet both lists hold.
QVector<QPointF> pairPoints(const QVector<uint> &x, const QVector<uint> &y);

// From the smallest and largest coordinates (starting at 100000 and 0): x from half the
// smallest x to 1.2 times the largest, y likewise. Without points both run 50000 down to 0.
struct AxisRanges {
    double xLower = 0.0;
    double xUpper = 0.0;
    double yLower = 0.0;
    double yUpper = 0.0;
};
AxisRanges axisRanges(const QVector<QPointF> &points);

} // namespace CompensationSteps
