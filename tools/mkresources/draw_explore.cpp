// Pictures of the explore page's tool bar.
#include "drawings.h"

#include <QPainterPath>

namespace MkResources {

namespace {

const QColor Accent(88, 180, 218);

void roundButton(QPainter &p, const QRectF &area)
{
    useDesignBox(p, area, 32);
    p.setPen(QPen(Accent, 2.0));
    p.setBrush(QColor(255, 255, 255));
    p.drawEllipse(QPointF(16, 16), 13, 13);
    p.setPen(QPen(Accent, 3.0, Qt::SolidLine, Qt::RoundCap));
}

void turnArrow(QPainter &p, const QRectF &area, bool mirrored)
{
    useDesignBox(p, area, 32);
    if (mirrored) {
        p.translate(32, 0);
        p.scale(-1, 1);
    }
    p.setPen(QPen(Accent, 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    QPainterPath bend;
    bend.moveTo(9, 12);
    bend.lineTo(20, 12);
    bend.cubicTo(29, 12, 29, 26, 20, 26);
    bend.lineTo(12, 26);
    p.drawPath(bend);
    p.drawPolyline(QPolygonF({QPointF(14, 6), QPointF(8, 12), QPointF(14, 18)}));
}

} // namespace

// A soft card behind each group of the tool bar.
void drawExploreGroupBackground(QPainter &p, const QRectF &area)
{
    p.setPen(QPen(QColor(221, 232, 238), 2.0));
    p.setBrush(QColor(246, 250, 252));
    p.drawRoundedRect(area.adjusted(1, 1, -1, -1), 8, 8);
}

void drawExploreMinus(QPainter &p, const QRectF &area)
{
    roundButton(p, area);
    p.drawLine(QPointF(10, 16), QPointF(22, 16));
}

void drawExplorePlus(QPainter &p, const QRectF &area)
{
    roundButton(p, area);
    p.drawLine(QPointF(10, 16), QPointF(22, 16));
    p.drawLine(QPointF(16, 10), QPointF(16, 22));
}

void drawExploreUndo(QPainter &p, const QRectF &area)
{
    turnArrow(p, area, false);
}

void drawExploreRedo(QPainter &p, const QRectF &area)
{
    turnArrow(p, area, true);
}

} // namespace MkResources
