#include "pages/DropletImage/dropletmarkerlayer.h"

#include "pages/DropletImage/dropletmarker.h"
#include "shell/globalvalues.h"

#include <QPainter>
#include <QStyleOptionGraphicsItem>

namespace {

// The image item's data key under which it keeps its layer.
constexpr int LayerKey = 0x4c4d4b;
constexpr int MaxPendingAreas = 64;

} // namespace

DropletMarkerLayer::DropletMarkerLayer(QGraphicsItem *imageItem)
    : QGraphicsItem(imageItem), m_margin(2.0 * (dropletMarkerSize + dropletMarkerLineWidth))
{
    setAcceptedMouseButtons(Qt::NoButton);
    setFlag(QGraphicsItem::ItemUsesExtendedStyleOption);
    setCacheMode(QGraphicsItem::DeviceCoordinateCache);
    setZValue(1.0);
    if (imageItem)
        imageItem->setData(LayerKey, QVariant::fromValue(static_cast<void *>(this)));
}

DropletMarkerLayer::~DropletMarkerLayer()
{
    if (QGraphicsItem *imageItem = parentItem())
        if (imageItem->data(LayerKey).value<void *>() == this)
            imageItem->setData(LayerKey, QVariant());
}

DropletMarkerLayer *DropletMarkerLayer::of(const QGraphicsItem *imageItem)
{
    if (!imageItem)
        return nullptr;
    return static_cast<DropletMarkerLayer *>(imageItem->data(LayerKey).value<void *>());
}

QRectF DropletMarkerLayer::boundingRect() const
{
    const QGraphicsItem *imageItem = parentItem();
    if (!imageItem)
        return QRectF();
    return imageItem->boundingRect().adjusted(-m_margin, -m_margin, m_margin, m_margin);
}

void DropletMarkerLayer::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget)
{
    m_pending = 0;
    const QGraphicsItem *imageItem = parentItem();
    if (!imageItem)
        return;
    const QRectF exposed = option->exposedRect;
    const qreal baseOpacity = painter->opacity();
    for (QGraphicsItem *child : imageItem->childItems()) {
        DropletMarker *marker = DropletMarker::fromItem(child);
        if (!marker || !marker->isVisible())
            continue;
        const QPointF at = marker->pos();
        if (!marker->boundingRect().translated(at).intersects(exposed))
            continue;
        painter->setOpacity(baseOpacity * marker->opacity());
        painter->translate(at);
        marker->paint(painter, option, widget);
        painter->translate(-at);
    }
    painter->setOpacity(baseOpacity);
}

void DropletMarkerLayer::markerChanged(const QRectF &area)
{
    if (m_pending > MaxPendingAreas)
        return; // a full update is already on its way
    if (++m_pending > MaxPendingAreas)
        update();
    else
        update(area);
}

void DropletMarkerLayer::markersChanged()
{
    m_pending = MaxPendingAreas + 1;
    update();
}
