#pragma once
// A marker of the explore image: a ring picture or a disc on each droplet of a marker set, a
// red cross on an excluded droplet, a yellow hexagon while picked. Drawn semi-transparent.
#include "pages/DropletImage/dropletmarker.h"

class ExplorDrpltMarker : public DropletMarker {
public:
    enum { Type = DropletMarker::TypeBase + 1 };

    // Opacity markerOpacity; no parent.
    ExplorDrpltMarker();
    ~ExplorDrpltMarker() override;

    bool shown = false; // set on every marker a marker set makes

    int type() const override { return Type; }
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

protected:
    // A plain right press on a shown or excluded marker is taken; its release toggles the pick.
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
};
