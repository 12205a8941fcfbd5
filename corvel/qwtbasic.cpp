#include "qwtbasic.h"
#include "plotutil.h"

#include <QFrame>
#include <QMap>
#include <QMouseEvent>
#include <QPen>
#include <QResizeEvent>
#include <cmath>
#include <qwt_plot_canvas.h>
#include <qwt_plot_grid.h>
#include <qwt_scale_div.h>
#include <qwt_scale_map.h>
#include <qwt_scale_widget.h>

QuorinPlotMagnifier::QuorinPlotMagnifier(QWidget *canvas) : QwtPlotMagnifier(canvas)
{
    // Qwt starts with 0.9 and the factor decides the direction of a wheel notch; setting it
    // only inside rescale() would make the very first notch zoom the other way.
    setWheelFactor(WheelFactor);
}

QuorinPlotMagnifier::~QuorinPlotMagnifier() = default;

void QuorinPlotMagnifier::rescale(double factor)
{
    setWheelFactor(WheelFactor);
    QwtPlot *plt = plot();
    if (plt == nullptr)
        return;
    const double xLower = plt->axisScaleDiv(QwtPlot::xBottom).lowerBound();
    const double yLower = plt->axisScaleDiv(QwtPlot::yLeft).lowerBound();
    if (factor > 1.0 && (xLower <= 0.0 || yLower <= 0.0))
        emit signalReplot();
    QwtPlotMagnifier::rescale(factor);
}

// ---------------------------------------------------------------------------------------

QuorinPlotPanner::QuorinPlotPanner(QWidget *canvas) : QwtPlotPanner(canvas) {}

QuorinPlotPanner::~QuorinPlotPanner() = default;

namespace {
// Pixels per scale unit of an axis as laid out on the canvas.
double pixelsPerUnit(const QwtPlot *plot, int axis)
{
    const QwtScaleMap map = plot->canvasMap(axis);
    const double range = map.s2() - map.s1();
    if (range == 0.0 || !std::isfinite(range))
        return 0.0;
    return std::fabs(map.p2() - map.p1()) / std::fabs(range);
}
} // namespace

void QuorinPlotPanner::moveCanvas(int dx, int dy)
{
    QwtPlotPanner::moveCanvas(dx, dy);
    QwtPlot *plt = plot();
    if (plt == nullptr)
        return;
    const double x0 = plt->axisScaleDiv(QwtPlot::xBottom).lowerBound();
    const double y0 = plt->axisScaleDiv(QwtPlot::yLeft).lowerBound();
    if (!(x0 < 0.0) && !(y0 < 0.0))
        return;
    const int dx2 = x0 < 0.0 ? CorvelDetail::truncToInt(pixelsPerUnit(plt, QwtPlot::xBottom) * x0) : 0;
    const int dy2 = y0 < 0.0 ? CorvelDetail::truncToInt(-y0 * pixelsPerUnit(plt, QwtPlot::yLeft)) : 0;
    QwtPlotPanner::moveCanvas(dx2, dy2);
}

// ---------------------------------------------------------------------------------------

struct QwtBasic::Private {
    QFrame *maskFrame = nullptr;
    QuorinPlotMagnifier *magnifier = nullptr;
    QwtPlotGrid *grid = nullptr;
    QuorinPlotPanner *panner = nullptr;
    QString maskColor = QStringLiteral("#3b9fc8");
    int maskBorderWidth = 2;
    double xLower = 0.0, xUpper = 1000.0, xStep = 0.0;
    double yLower = 0.0, yUpper = 1000.0, yStep = 0.0;
    QString xAxisLabelColor;
    QFont xAxisLabelFont;
    QMap<int, bool> autoScale;
};

QwtBasic::QwtBasic(QWidget *parent) : QwtPlot(parent), d(new Private)
{
    d->maskFrame = new QFrame(this);
    d->maskFrame->setObjectName(QStringLiteral("mask"));
    d->maskFrame->setFrameShape(QFrame::Box);
    restyleMaskFrame();
    d->maskFrame->hide();

    d->magnifier = new QuorinPlotMagnifier(canvas());
    connect(d->magnifier, SIGNAL(signalReplot()), this, SLOT(slotPlotRepaint()));

    d->panner = new QuorinPlotPanner(canvas());
    d->grid = new QwtPlotGrid;

    for (QwtPlot::Axis axis : {QwtPlot::xBottom, QwtPlot::xTop, QwtPlot::yRight, QwtPlot::yLeft})
        SetQwtPlotAutoAxis(axis, true);
}

QwtBasic::~QwtBasic()
{
    // The magnifier, panner and mask frame are children of this widget tree and go with it.
    d->grid->detach();
    delete d->grid;
}

QPixmap QwtBasic::GetPlotGrab()
{
    return grab(QRect(QPoint(0, 0), QSize(-1, -1)));
}

QPoint QwtBasic::GetQwtPoint(QPoint p)
{
    const QPoint c = canvas()->mapFromParent(p);
    return QPoint(CorvelDetail::truncToInt(invTransform(QwtPlot::xBottom, c.x())),
                  CorvelDetail::truncToInt(invTransform(QwtPlot::yLeft, c.y())));
}

QFont QwtBasic::GetXAxisFont() const
{
    return d->xAxisLabelFont;
}

QString QwtBasic::GetXAxisFontColor() const
{
    return d->xAxisLabelColor;
}

void QwtBasic::SetAxisPannerEnabled(const QwtPlot::Axis &axis, const bool &on)
{
    d->panner->setAxisEnabled(axis, on);
    replot();
}

void QwtBasic::SetAxisPannerEnabled(bool on)
{
    d->panner->setEnabled(on);
    replot();
}

void QwtBasic::SetPannerEnabled(const int &axis, const bool &on)
{
    d->panner->setAxisEnabled(axis, on);
}

void QwtBasic::SetAxisZoomEnable(bool on)
{
    d->magnifier->setEnabled(on);
    replot();
}

void QwtBasic::SetAxisZoomEnabled(const QwtPlot::Axis &axis, const bool &on)
{
    d->magnifier->setAxisEnabled(axis, on);
    replot();
}

void QwtBasic::SetMagnifierEnabled(const QwtPlot::Axis &axis, const bool &on)
{
    d->magnifier->setAxisEnabled(axis, on);
}

void QwtBasic::SetMaskBackgroundVisible(const bool &visible)
{
    const QString sheet = visible ? QStringLiteral("background-color: %1").arg(d->maskColor)
                                  : QStringLiteral("background-color: rgb(255,255,255)");
    setStyleSheet(sheet);
    canvas()->setStyleSheet(sheet);
    refreshCanvasBackground();
}

void QwtBasic::SetMaskBorderVisible(const bool &visible)
{
    d->maskFrame->setVisible(visible);
    if (visible)
        d->maskFrame->raise();
    replot();
}

void QwtBasic::SetMaskBorderWidth(const int &width)
{
    d->maskBorderWidth = width;
    restyleMaskFrame();
    d->maskFrame->update();
}

void QwtBasic::SetMaskColor(const QString &colour)
{
    d->maskColor = colour;
    restyleMaskFrame();
    const QString sheet = QStringLiteral("background-color: %1").arg(colour);
    setStyleSheet(sheet);
    canvas()->setStyleSheet(sheet);
    refreshCanvasBackground();
    d->maskFrame->update();
}

void QwtBasic::refreshCanvasBackground()
{
    // The canvas caches its last paint; a new background must not wait for the next replot.
    if (auto *c = qobject_cast<QwtPlotCanvas *>(canvas()))
        c->invalidateBackingStore();
    canvas()->update();
}

void QwtBasic::restyleMaskFrame()
{
    d->maskFrame->setStyleSheet(QStringLiteral("background:transparent; border:%1px solid %2")
                                    .arg(d->maskBorderWidth)
                                    .arg(d->maskColor));
}

void QwtBasic::SetPlotGrid(const bool &xEnabled, const bool &yEnabled, const QPen &pen)
{
    d->grid->setPen(pen);
    d->grid->enableX(xEnabled);
    d->grid->enableY(yEnabled);
    d->grid->attach(this);
    replot();
}

void QwtBasic::SetQwtPlotAutoAxis(const QwtPlot::Axis &axis, const bool &on)
{
    d->autoScale[axis] = on;
    setAxisAutoScale(axis, on);
    replot();
}

void QwtBasic::SetQwtPlotAxisDraw(const QwtPlot::Axis &axis, const QFont &font,
                                  const QString &colour)
{
    setAxisScaleDraw(axis, new QuorinScaleDraw(font, colour));
    if (axis == QwtPlot::xBottom) {
        d->xAxisLabelFont = font;
        d->xAxisLabelColor = colour;
    }
    replot();
}

void QwtBasic::SetQwtPlotAxisEnable(const QwtPlot::Axis &axis, const bool &on)
{
    enableAxis(axis, on);
    replot();
}

void QwtBasic::SetQwtPlotAxisInfo(const QwtPlot::Axis &axis, const double &lower,
                                  const double &upper, const double &step)
{
    if (axis == QwtPlot::xBottom || axis == QwtPlot::xTop) {
        d->xLower = lower;
        d->xUpper = upper;
        d->xStep = step;
    } else {
        d->yLower = lower;
        d->yUpper = upper;
        d->yStep = step;
    }
    setAxisScale(axis, lower, upper, step);
    replot();
}

void QwtBasic::SetTitleFont(const QwtPlot::Axis &axis, const QFont &font)
{
    QwtText title = axisTitle(axis);
    title.setFont(font);
    setAxisTitle(axis, title);
    replot();
}

void QwtBasic::SetTitleFontColor(const QwtPlot::Axis &axis, const QString &colour)
{
    QwtText title = axisTitle(axis);
    title.setColor(QColor(colour));
    setAxisTitle(axis, title);
    replot();
}

void QwtBasic::SetTitleName(const QwtPlot::Axis &axis, const QString &name)
{
    QwtText title = axisTitle(axis);
    title.setText(name);
    setAxisTitle(axis, title);
    replot();
}

void QwtBasic::rePaintAxis(const QwtPlot::Axis &axis)
{
    resetAxis(axis);
    replot();
}

void QwtBasic::resetAxis(int axis)
{
    // Axes the user cannot zoom or pan keep whatever the caller set on them.
    if (!d->magnifier->isAxisEnabled(axis) || !d->panner->isAxisEnabled(axis))
        return;
    if (d->autoScale[axis]) {
        SetQwtPlotAutoAxis(QwtPlot::Axis(axis), true);
        return;
    }
    if (axis == QwtPlot::xBottom || axis == QwtPlot::xTop)
        setAxisScale(axis, d->xLower, d->xUpper, d->xStep);
    else
        setAxisScale(axis, d->yLower, d->yUpper, d->yStep);
    replot();
}

void QwtBasic::slotPlotRepaint()
{
    for (int axis : {QwtPlot::xBottom, QwtPlot::xTop, QwtPlot::yLeft, QwtPlot::yRight})
        resetAxis(axis);
    emit repaintPlot();
}

void QwtBasic::mouseDoubleClickEvent(QMouseEvent *event)
{
    // A hidden left axis keeps a stale geometry, so only a shown one counts.
    if (!axisEnabled(QwtPlot::yLeft))
        return;
    if (event->pos().x() <= axisWidget(QwtPlot::yLeft)->width()) {
        const QwtScaleDiv &div = axisScaleDiv(QwtPlot::yLeft);
        emit axisYLeftDoubleClicked(div.lowerBound(), div.upperBound());
    }
}

void QwtBasic::resizeEvent(QResizeEvent *event)
{
    d->maskFrame->setGeometry(0, 0, width(), height());
    QwtPlot::resizeEvent(event);
}
