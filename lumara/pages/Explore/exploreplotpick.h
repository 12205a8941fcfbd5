#pragma once
// What both explore dot plots share: their look, the pick shape with its pens, the pointer in
// plot coordinates, and the pending image action on a press and on entering or leaving.
#include <QBrush>
#include <QPair>
#include <QPen>
#include <QPoint>
#include <QRectF>

class QwtBasic;
class QwtPlotShapeItem;
class QMouseEvent;

namespace ExplorePick {

// White plot, "Roboto" axis titles of 10 scaled pixels in "#333333", the explore scale draws,
// no panning.
void stylePlot(QwtBasic *plot);

// A pick shape: empty title, in the legend, antialiased, not attached.
QwtPlotShapeItem *newShape();

QPen areaPen();
QBrush areaBrush();
QPen rectPen();
QBrush rectBrush();

// The upper bounds of the two axes, truncated.
int xUpper(const QwtBasic *plot);
int yUpper(const QwtBasic *plot);
int xLower(const QwtBasic *plot);
int yLower(const QwtBasic *plot);

// The rectangle spanned by two corners in either order.
QRectF spanned(const QPointF &a, const QPointF &b);

// An emitted end of a range: what lies left of or below zero is zero.
quint32 rangeEnd(int value);

// Sets the shape's pen, brush and rectangle, attaches it and replots.
void showShape(QwtBasic *plot, QwtPlotShapeItem *shape, const QRectF &rect, const QPen &pen, const QBrush &brush);

// The pointer's part of a pick: a left press inside the axes' upper bounds may become a drag.
struct DragPick {
    bool pressed = false;
    bool dragged = false;
    QPoint start;   // plot coordinates
    QPoint current; // stored even outside the bounds
};

// A press. Another button than the left takes the pick off the plot and returns false (the
// caller cancels); a left one starts the pick, with negative coordinates made 0 when asked.
// Either way the pending image action ends.
bool pressPick(QwtBasic *plot, QwtPlotShapeItem *shape, DragPick &drag, const QMouseEvent *event,
               bool clampNegative);
// A move while pressed: inside the upper bounds the rectangle follows the pointer. The drag
// counts from the first move (anyMove) or from the first move inside the bounds.
void movePick(QwtBasic *plot, QwtPlotShapeItem *shape, DragPick &drag, const QMouseEvent *event, bool anyMove);
// The shape's rectangle in the given pen and brush, not yet redrawn.
void setPick(QwtPlotShapeItem *shape, const QRectF &rect, const QPen &pen, const QBrush &brush);

// Every press ends the pending image action; in help mode the mask goes, the arrow comes back
// and a left press opens the plots' help text.
void pressAction(QwtBasic *plot, const QMouseEvent *event);
void enterAction(QwtBasic *plot);
void leaveAction(QwtBasic *plot);

// Sets an axis' range and takes it at once, so that the bounds read right after are the new ones.
void setScale(QwtBasic *plot, int axis, double lower, double upper);

} // namespace ExplorePick
