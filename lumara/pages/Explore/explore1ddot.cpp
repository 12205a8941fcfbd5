#include "pages/Explore/explore1ddot.h"

#include "pages/Explore/exploreplotpick.h"

#include "bll/bllinstance.h"

#include <qwt_plot_shapeitem.h>

#include <QMouseEvent>

#include <algorithm>

using namespace ExplorePick;

Explore1DDot::Explore1DDot(QWidget *parent) : Quorin1DPlot(parent), m_shape(newShape())
{
    stylePlot(this);
}

Explore1DDot::~Explore1DDot()
{
    m_shape->detach();
    delete m_shape;
}

void Explore1DDot::clearSelection()
{
    m_shape->setShape(QPainterPath());
    replot();
}

void Explore1DDot::drawSelectRect(QPointF a, QPointF b)
{
    m_shape->detach();
    showShape(this, m_shape, spanned(a, b), rectPen(), rectBrush());
}

void Explore1DDot::setThresholdLines(const QVector<QPolygonF> &lines)
{
    Set1DThresholdSoildLineValue(lines, {});
    Set1DThresholdDottedLineValue(lines);
    if (BLLInstance::getInstance()->getThldType() == 0)
        m_threshold = (lines.isEmpty() || lines.first().isEmpty()) ? 0 : int(lines.first().first().y());
}

QRectF Explore1DDot::thresholdArea(bool positive) const
{
    const QPointF low(xLower(this), yLower(this));
    const QPointF high(xUpper(this), yUpper(this));
    return positive ? spanned(QPointF(low.x(), m_threshold), high) : spanned(low, QPointF(high.x(), m_threshold));
}

void Explore1DDot::drawThresholdArea(bool positive)
{
    showShape(this, m_shape, thresholdArea(positive), areaPen(), areaBrush());
}

void Explore1DDot::mousePressEvent(QMouseEvent *event)
{
    if (!pressPick(this, m_shape, m_drag, event, true))
        emit canlcelMark();
}

void Explore1DDot::mouseMoveEvent(QMouseEvent *event)
{
    movePick(this, m_shape, m_drag, event, false);
}

void Explore1DDot::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_drag.dragged) {
        emit showMarkerBySelectRect(qMakePair(rangeEnd(m_drag.start.x()), rangeEnd(m_drag.current.x())),
                                    qMakePair(rangeEnd(m_drag.start.y()), rangeEnd(m_drag.current.y())));
    } else if (event->button() == Qt::LeftButton && BLLInstance::getInstance()->getThldType() == 0) {
        const QPoint p = GetQwtPoint(event->pos());
        const bool positive = p.y() > m_threshold;
        setPick(m_shape, thresholdArea(positive), areaPen(), areaBrush());
        emit showMarkerByThreshold(positive);
        replot();
    }
    m_drag.pressed = false;
}

void Explore1DDot::enterEvent(QEvent *event)
{
    enterAction(this);
    Quorin1DPlot::enterEvent(event);
}

void Explore1DDot::leaveEvent(QEvent *event)
{
    leaveAction(this);
    Quorin1DPlot::leaveEvent(event);
}
