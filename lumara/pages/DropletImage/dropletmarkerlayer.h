#pragma once
// Paints every droplet marker of an image item in one pass, cached in device coordinates:
// thousands of markers painted one item at a time cost many times the image itself. The layer
// is a child of the image item, above the markers, and takes no mouse buttons, so presses
// still reach the markers.
#include <QGraphicsItem>

class DropletMarkerLayer : public QGraphicsItem {
public:
    enum { Type = QGraphicsItem::UserType + 269 };

    // Becomes a child of the image item and its layer.
    explicit DropletMarkerLayer(QGraphicsItem *imageItem);
    ~DropletMarkerLayer() override;

    // The layer of the image item; null when it has none.
    static DropletMarkerLayer *of(const QGraphicsItem *imageItem);

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;
    int type() const override { return Type; }

    // One marker changed within the rectangle (image coordinates).
    void markerChanged(const QRectF &area);
    // Markers were added or removed: everything is painted again.
    void markersChanged();

private:
    double m_margin;
    // Rectangles handed to the cache since the last paint: many of them cost more than
    // painting everything once.
    int m_pending = 0;
};
