#pragma once
// A marker of the quality-control image, one on every droplet: a cross coloured by the
// droplet's state (red excluded, gold saturated, green otherwise), a blue ring around a
// positive droplet, and a yellow hexagon while picked. The id is the droplet's index.
#include "pages/DropletImage/dropletmarker.h"

class QCDrpltMarker : public DropletMarker {
public:
    enum { Type = DropletMarker::TypeBase + 2 };

    QCDrpltMarker();
    ~QCDrpltMarker() override;

    bool positive = false;  // the droplet belongs to the chosen population
    bool saturated = false; // saturated in some channel

    int type() const override { return Type; }
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

protected:
    // Any right press is taken; its release toggles the pick.
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
};
