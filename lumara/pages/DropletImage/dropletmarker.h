#pragma once
// What the droplet markers of both image views share: the droplet id, the selected and
// excluded flags, the bounding rectangle and the selected-flag setter. Markers are children of
// the view's image item, so their coordinates are image pixels. They paint nothing by
// themselves: the image's marker layer paints them all in one cached pass, and they stay
// items for hits and selection.
#include <QGraphicsItem>
#include <QString>

class QColor;

// How the explore markers show: 0 as ring pictures, otherwise as discs of markerColor. Both
// are set by each marker set.
extern int markerColorMode;
extern QString markerColor;
// Opacity of the explore markers created from now on.
extern double markerOpacity;

class DropletMarker : public QGraphicsItem {
public:
    // Every kind of marker has its own type above this one.
    enum { TypeBase = QGraphicsItem::UserType + 270 };

    DropletMarker();

    uint id = 0;        // the droplet's 0-based position in the well's droplet list
    bool selected = false;
    bool excluded = false;
    double halfWidth;   // half the marker line width when the marker was made

    // From (-(D / 2) - halfWidth, same) with side D + W, D and W the current marker size and
    // line width.
    QRectF boundingRect() const override;
    // The item's selection and the flag together; a marker Qt will not select (a hidden one)
    // stays unpicked.
    void setMarkSelected(bool value);
    // Has the marker layer paint this marker again.
    void repaint();

    // The item as a marker of any kind; null for other items.
    static DropletMarker *fromItem(QGraphicsItem *item);

protected:
    // Keeps the flag equal to the item's selection, whoever changes it (the view clears the
    // scene's selection on a plain left click).
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;
    // A right click's toggle of the pick.
    void togglePick();
    // The filled selection hexagon of both kinds, with h = D / 2.
    static void paintHexagon(QPainter *painter, const QColor &pen, const QColor &fill);
};
