#include "pages/Explore/explore2ddot.h"

#include "pages/Explore/exploreplotpick.h"

#include "bll/bllinstance.h"

#include <qwt_plot_curve.h>
#include <qwt_plot_shapeitem.h>

#include <QMouseEvent>

#include <algorithm>

using namespace ExplorePick;

namespace {

QwtPlotCurve *newThresholdCurve(QwtPlot *plot)
{
    auto *curve = new QwtPlotCurve(QString());
    curve->setStyle(QwtPlotCurve::Lines);
    curve->setRenderHint(QwtPlotItem::RenderAntialiased, true);
    curve->setVisible(false);
    curve->attach(plot);
    return curve;
}

} // namespace

Explore2DDot::Explore2DDot(QWidget *parent) : QwtBasic(parent), m_shape(newShape())
{
    stylePlot(this);
    setAttribute(Qt::WA_Hover);
    m_xThresholdCurve = newThresholdCurve(this);
    m_yThresholdCurve = newThresholdCurve(this);
}

Explore2DDot::~Explore2DDot()
{
    m_shape->detach();
    delete m_shape;
    // The curves still attached go with the plot.
}

void Explore2DDot::clearSelection()
{
    m_shape->setShape(QPainterPath());
    replot();
}

void Explore2DDot::drawSelectRect(QPointF a, QPointF b)
{
    showShape(this, m_shape, spanned(a, b), rectPen(), rectBrush());
}

void Explore2DDot::addSeries(const QString &colour, const QPolygonF &points, double size)
{
    auto *curve = new QwtPlotCurve(QString());
    curve->setStyle(QwtPlotCurve::Dots);
    curve->setRenderHint(QwtPlotItem::RenderAntialiased, true);
    curve->setPen(QPen(QBrush(QColor(colour)), size));
    curve->setSamples(points);
    curve->attach(this);
    m_curves.append(curve);
}

void Explore2DDot::clearCurves()
{
    for (QwtPlotCurve *curve : qAsConst(m_curves)) {
        curve->detach();
        delete curve;
    }
    m_curves.clear();
    replot();
}

void Explore2DDot::setXThresholdPen(const QString &colour, double width)
{
    m_xThresholdCurve->setPen(QPen(QBrush(QColor(colour)), width, Qt::SolidLine));
    replot();
}

void Explore2DDot::setYThresholdPen(const QString &colour, double width)
{
    m_yThresholdCurve->setPen(QPen(QBrush(QColor(colour)), width, Qt::SolidLine));
    replot();
}

void Explore2DDot::setThresholds(QPointF thresholds)
{
    m_thresholds = thresholds;
    m_xThresholdCurve->setSamples(
        QVector<QPointF>{QPointF(thresholds.x(), 0), QPointF(thresholds.x(), axisScaleDiv(yLeft).upperBound())});
    m_yThresholdCurve->setSamples(
        QVector<QPointF>{QPointF(0, thresholds.y()), QPointF(axisScaleDiv(xBottom).upperBound(), thresholds.y())});
}

void Explore2DDot::setThresholdVisible(bool visible)
{
    m_xThresholdCurve->setVisible(visible);
    m_yThresholdCurve->setVisible(visible);
}

QRectF Explore2DDot::quadrantRect(int code) const
{
    const double tx = m_thresholds.x();
    const double ty = m_thresholds.y();
    const QPointF low(xLower(this), yLower(this));
    const QPointF high(xUpper(this), yUpper(this));
    switch (code) {
    case 0:
        return spanned(QPointF(tx, ty), high);
    case 1:
        return spanned(QPointF(low.x(), ty), QPointF(tx, high.y()));
    case 2:
        return spanned(low, QPointF(tx, ty));
    case 3:
        return spanned(QPointF(tx, low.y()), QPointF(high.x(), ty));
    default:
        return QRectF();
    }
}

void Explore2DDot::drawQuadrant(int code)
{
    showShape(this, m_shape, quadrantRect(code), areaPen(), areaBrush());
}

void Explore2DDot::mousePressEvent(QMouseEvent *event)
{
    if (!pressPick(this, m_shape, m_drag, event, false))
        emit canlcelMark();
}

void Explore2DDot::mouseMoveEvent(QMouseEvent *event)
{
    movePick(this, m_shape, m_drag, event, true);
}

void Explore2DDot::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_drag.dragged) {
        emit showMarkerBySelectRect(
            qMakePair(rangeEnd(std::min(m_drag.start.x(), m_drag.current.x())), rangeEnd(std::max(m_drag.start.x(), m_drag.current.x()))),
            qMakePair(rangeEnd(std::min(m_drag.start.y(), m_drag.current.y())), rangeEnd(std::max(m_drag.start.y(), m_drag.current.y()))));
    } else if (event->button() == Qt::LeftButton && BLLInstance::getInstance()->getThldType() == 0) {
        const QPoint p = GetQwtPoint(event->pos());
        const double tx = m_thresholds.x();
        const double ty = m_thresholds.y();
        int code = 3;
        if (p.y() > ty && p.x() > tx)
            code = 0;
        else if (p.y() > ty && p.x() < tx)
            code = 1;
        else if (p.y() < ty && p.x() < tx)
            code = 2;
        // The signal first: the page clears the other plots' picks before this one shows.
        emit showMarkerByThreshold(code == 0 || code == 3, code == 0 || code == 1);
        setPick(m_shape, quadrantRect(code), areaPen(), areaBrush());
        replot();
    }
    m_drag.pressed = false;
}

void Explore2DDot::enterEvent(QEvent *event)
{
    enterAction(this);
    QwtBasic::enterEvent(event);
}

void Explore2DDot::leaveEvent(QEvent *event)
{
    leaveAction(this);
    QwtBasic::leaveEvent(event);
}
