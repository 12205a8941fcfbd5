#include "pages/QualityControl/qcdrpltmarker.h"

#include "shell/globalvalues.h"

#include <QGraphicsSceneMouseEvent>
#include <QPainter>

QCDrpltMarker::QCDrpltMarker() = default;

QCDrpltMarker::~QCDrpltMarker() = default;

void QCDrpltMarker::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    const double h = dropletMarkerSize * 0.5;
    const double r = halfWidth;
    const auto pen = [](const QColor &colour) {
        return QPen(QBrush(colour), dropletMarkerLineWidth, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    };
    painter->save();
    QColor cross(0, 128, 0);
    if (excluded)
        cross = QColor(Qt::red);
    else if (saturated)
        cross = QColor(227, 188, 31);
    painter->setPen(pen(cross));
    painter->drawLine(QPointF(r - h, 0), QPointF(h - r, 0));
    painter->drawLine(QPointF(0, r - h), QPointF(0, h - r));
    if (positive && !excluded && !saturated) {
        painter->setPen(pen(QColor(Qt::blue)));
        painter->setBrush(Qt::NoBrush);
        painter->drawEllipse(QPointF(0, 0), h, h);
    }
    if (selected) {
        QColor fill(Qt::yellow);
        fill.setAlpha(127);
        paintHexagon(painter, QColor(Qt::yellow), fill);
    }
    painter->restore();
}

void QCDrpltMarker::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() == Qt::RightButton)
        event->accept();
    else
        event->ignore();
}

void QCDrpltMarker::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    if (event->button() != Qt::RightButton || !(flags() & QGraphicsItem::ItemIsSelectable)) {
        event->ignore();
        return;
    }
    togglePick();
    event->accept();
}
