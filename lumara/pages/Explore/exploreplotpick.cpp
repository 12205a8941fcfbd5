#include "pages/Explore/exploreplotpick.h"

#include "pages/Explore/explorescaledraw.h"
#include "shell/globalvalues.h"
#include "shell/imageactions.h"

#include "qwtbasic.h"

#include <qwt_plot_canvas.h>
#include <qwt_plot_shapeitem.h>
#include <qwt_scale_div.h>

#include <QCursor>
#include <QMouseEvent>
#include <QPainterPath>

#include <algorithm>

namespace ExplorePick {

namespace {

const QString helpCursor = QStringLiteral(":/Histogram/assets/cursor_help.png");

QPen shapePen(const QColor &colour)
{
    return QPen(QBrush(colour), 2.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
}

QColor withAlpha(QColor colour, double alpha)
{
    colour.setAlphaF(alpha);
    return colour;
}

} // namespace

void stylePlot(QwtBasic *plot)
{
    const QString white = QStringLiteral("background-color: rgb(255,255,255)");
    plot->setStyleSheet(white);
    plot->canvas()->setStyleSheet(white);
    QFont title(QStringLiteral("Roboto"));
    title.setPixelSize(std::max(1, int(10 * uiScaleFactor)));
    for (QwtPlot::Axis axis : {QwtPlot::xBottom, QwtPlot::yLeft}) {
        plot->SetTitleFont(axis, title);
        plot->SetTitleFontColor(axis, QStringLiteral("#333333"));
    }
    plot->setAxisScaleDraw(QwtPlot::xBottom, new ExploreScaleDraw(false));
    plot->setAxisScaleDraw(QwtPlot::yLeft, new ExploreScaleDraw(true));
    plot->SetAxisPannerEnabled(false);
}

QwtPlotShapeItem *newShape()
{
    auto *shape = new QwtPlotShapeItem(QString());
    shape->setItemAttribute(QwtPlotItem::Legend, true);
    shape->setLegendMode(QwtPlotShapeItem::LegendShape);
    shape->setRenderHint(QwtPlotItem::RenderAntialiased, true);
    return shape;
}

QPen areaPen()
{
    return shapePen(QColor(191, 236, 255));
}

QBrush areaBrush()
{
    return QBrush(withAlpha(QColor(191, 236, 255), 0.6));
}

QPen rectPen()
{
    return shapePen(QColor(QStringLiteral("#b37c4e")));
}

QBrush rectBrush()
{
    return QBrush(withAlpha(QColor(QStringLiteral("#b37c4e")), 0.2));
}

int xUpper(const QwtBasic *plot)
{
    return int(plot->axisScaleDiv(QwtPlot::xBottom).upperBound());
}

int yUpper(const QwtBasic *plot)
{
    return int(plot->axisScaleDiv(QwtPlot::yLeft).upperBound());
}

int xLower(const QwtBasic *plot)
{
    return int(plot->axisScaleDiv(QwtPlot::xBottom).lowerBound());
}

int yLower(const QwtBasic *plot)
{
    return int(plot->axisScaleDiv(QwtPlot::yLeft).lowerBound());
}

QRectF spanned(const QPointF &a, const QPointF &b)
{
    return QRectF(a, b).normalized();
}

quint32 rangeEnd(int value)
{
    return value < 0 ? 0u : quint32(value);
}

void setPick(QwtPlotShapeItem *shape, const QRectF &rect, const QPen &pen, const QBrush &brush)
{
    shape->setPen(pen);
    shape->setBrush(brush);
    shape->setRect(rect);
}

void showShape(QwtBasic *plot, QwtPlotShapeItem *shape, const QRectF &rect, const QPen &pen, const QBrush &brush)
{
    setPick(shape, rect, pen, brush);
    shape->attach(plot);
    plot->replot();
}

bool pressPick(QwtBasic *plot, QwtPlotShapeItem *shape, DragPick &drag, const QMouseEvent *event,
               bool clampNegative)
{
    drag.dragged = false;
    if (event->button() != Qt::LeftButton) {
        shape->detach();
        drag.pressed = false;
        plot->replot();
        pressAction(plot, event);
        return false;
    }
    const QPoint p = plot->GetQwtPoint(event->pos());
    drag.start = clampNegative ? QPoint(std::max(0, p.x()), std::max(0, p.y())) : p;
    shape->attach(plot);
    drag.pressed = drag.start.x() < xUpper(plot) && drag.start.y() < yUpper(plot);
    pressAction(plot, event);
    return true;
}

void movePick(QwtBasic *plot, QwtPlotShapeItem *shape, DragPick &drag, const QMouseEvent *event, bool anyMove)
{
    if (!drag.pressed)
        return;
    drag.current = plot->GetQwtPoint(event->pos());
    if (anyMove)
        drag.dragged = true;
    if (drag.current.x() < xUpper(plot) && drag.current.y() < yUpper(plot)) {
        setPick(shape, spanned(drag.start, drag.current), rectPen(), rectBrush());
        drag.dragged = true;
        plot->replot();
    }
}

void pressAction(QwtBasic *plot, const QMouseEvent *event)
{
    if (imageActionMode == 4) {
        plotImageActionPress(plot, event, {QString(), QString(), QStringLiteral("Explore"),
                                           QStringLiteral("ProviewPlot")});
        return;
    }
    if (imageActionMode != 0) {
        plot->SetMaskBorderVisible(false);
        plot->SetMaskBackgroundVisible(false);
    }
    imageActionMode = 0;
}

void enterAction(QwtBasic *plot)
{
    if (imageActionMode == 4)
        plotImageActionEnter(plot, helpCursor, helpCursor);
    else
        setViewCursor(QCursor(Qt::CrossCursor));
}

void leaveAction(QwtBasic *plot)
{
    plotImageActionLeave(plot);
}

void setScale(QwtBasic *plot, int axis, double lower, double upper)
{
    plot->setAxisScale(axis, lower, upper);
    plot->updateAxes();
}

} // namespace ExplorePick
