// Pictures of the droplet image views.
#include "drawings.h"

#include <QRadialGradient>

namespace MkResources {

// A glowing ring. The views draw the picture over twice the marker's size, and a marker may
// paint only within its own rectangle: ring and glow stay inside the middle half.
void drawDropletRing(QPainter &p, const QRectF &area)
{
    useDesignBox(p, area, 64);
    QRadialGradient glow(QPointF(32, 32), 16);
    glow.setColorAt(0.0, QColor(0, 229, 255, 0));
    glow.setColorAt(0.55, QColor(0, 229, 255, 0));
    glow.setColorAt(0.78, QColor(0, 229, 255, 150));
    glow.setColorAt(1.0, QColor(0, 229, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(QPointF(32, 32), 16, 16);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 229, 255), 3.0));
    p.drawEllipse(QPointF(32, 32), 12.5, 12.5);
}

} // namespace MkResources
