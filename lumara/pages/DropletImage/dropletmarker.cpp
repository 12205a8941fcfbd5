#include "pages/DropletImage/dropletmarker.h"

#include "pages/DropletImage/dropletmarkerlayer.h"
#include "shell/globalvalues.h"

#include <QPainter>

int markerColorMode = 0;
QString markerColor;
double markerOpacity = 0.5;

DropletMarker::DropletMarker() : halfWidth(dropletMarkerLineWidth * 0.5)
{
    setFlag(QGraphicsItem::ItemIsSelectable);
    setFlag(QGraphicsItem::ItemHasNoContents);
}

QRectF DropletMarker::boundingRect() const
{
    const double corner = -(dropletMarkerSize / 2.0) - halfWidth;
    const double side = dropletMarkerSize + dropletMarkerLineWidth;
    return QRectF(corner, corner, side, side);
}

void DropletMarker::setMarkSelected(bool value)
{
    setSelected(value);
    // Qt refuses to select a hidden marker: the flag shows what the item really is.
    selected = isSelected();
}

void DropletMarker::repaint()
{
    if (DropletMarkerLayer *layer = DropletMarkerLayer::of(parentItem()))
        layer->markerChanged(mapRectToParent(boundingRect()));
}

void DropletMarker::togglePick()
{
    setMarkSelected(!selected);
    repaint();
}

DropletMarker *DropletMarker::fromItem(QGraphicsItem *item)
{
    if (!item)
        return nullptr;
    const int type = item->type();
    return type > TypeBase && type < TypeBase + 16 ? static_cast<DropletMarker *>(item) : nullptr;
}

QVariant DropletMarker::itemChange(GraphicsItemChange change, const QVariant &value)
{
    if (change == ItemSelectedHasChanged) {
        selected = value.toBool();
        repaint();
    } else if (change == ItemVisibleHasChanged) {
        repaint();
    }
    return QGraphicsItem::itemChange(change, value);
}

void DropletMarker::paintHexagon(QPainter *painter, const QColor &pen, const QColor &fill)
{
    const double h = dropletMarkerSize * 0.5;
    const QPointF corners[6] = {QPointF(-h, 0), QPointF(-h / 2, h), QPointF(h / 2, h),
                                QPointF(h, 0),  QPointF(h / 2, -h), QPointF(-h / 2, -h)};
    painter->setPen(QPen(QBrush(pen), dropletMarkerLineWidth, Qt::SolidLine));
    painter->setBrush(fill);
    painter->drawPolygon(corners, 6, Qt::OddEvenFill);
}
