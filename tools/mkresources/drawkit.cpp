#include "drawings.h"

#include <QFontMetricsF>

namespace MkResources {

void useDesignBox(QPainter &painter, const QRectF &area, double design)
{
    painter.translate(area.topLeft());
    painter.scale(area.width() / design, area.height() / design);
}

QFont pixelFont(int pixels, bool bold)
{
    QFont font(QStringLiteral("Roboto"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void drawCentredText(QPainter &painter, const QPointF &centre, const QString &text)
{
    const QFontMetricsF metrics(painter.font());
    const QRectF bounds = metrics.tightBoundingRect(text);
    painter.drawText(QPointF(centre.x() - bounds.width() / 2 - bounds.left(),
                             centre.y() - bounds.height() / 2 - bounds.top()),
                     text);
}

} // namespace MkResources
