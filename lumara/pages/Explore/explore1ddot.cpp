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

void Explore1DDot::drawThresholdArea(bool positive)
{
    const QPointF low(xLower(this), yLower(this));
    const QPointF high(xUpper(this), yUpper(this));
    const QRectF area = positive ? spanned(QPointF(low.x(), m_threshold), high)
                                 : spanned(low, QPointF(high.x(), m_threshold));
    showShape(this, m_shape, area, areaPen(), areaBrush());
}

void Explore1DDot::mousePressEvent(QMouseEvent *event)
{
    m_dragged = false;
    if (event->button() != Qt::LeftButton) {
        m_shape->detach();
        m_pressed = false;
        replot();
        pressAction(this, event);
        emit canlcelMark();
        return;
    }
    const QPoint p = GetQwtPoint(event->pos());
    m_start = QPoint(std::max(0, p.x()), std::max(0, p.y()));
    m_shape->attach(this);
    m_pressed = m_start.x() < xUpper(this) && m_start.y() < yUpper(this);
    pressAction(this, event);
}

void Explore1DDot::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_pressed)
        return;
    m_current = GetQwtPoint(event->pos());
    if (m_current.x() < xUpper(this) && m_current.y() < yUpper(this)) {
        m_shape->setPen(rectPen());
        m_shape->setBrush(rectBrush());
        m_shape->setRect(spanned(m_start, m_current));
        m_dragged = true;
        replot();
    }
}

void Explore1DDot::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_dragged) {
        emit showMarkerBySelectRect(qMakePair(rangeEnd(m_start.x()), rangeEnd(m_current.x())),
                                    qMakePair(rangeEnd(m_start.y()), rangeEnd(m_current.y())));
    } else if (event->button() == Qt::LeftButton && BLLInstance::getInstance()->getThldType() == 0) {
        const QPoint p = GetQwtPoint(event->pos());
        const bool positive = p.y() > m_threshold;
        const QPointF low(xLower(this), yLower(this));
        const QPointF high(xUpper(this), yUpper(this));
        m_shape->setPen(areaPen());
        m_shape->setBrush(areaBrush());
        m_shape->setRect(positive ? spanned(QPointF(low.x(), m_threshold), high)
                                  : spanned(low, QPointF(high.x(), m_threshold)));
        emit showMarkerByThreshold(positive);
        replot();
    }
    m_pressed = false;
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
