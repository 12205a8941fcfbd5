// Pictures of the Export page: its background and the fixed mark of the ".csv" box.
#include "drawings.h"

#include <QLinearGradient>

namespace MkResources {

void drawExportBackground(QPainter &p, const QRectF &area)
{
    // A quiet light field with a faint diagonal sheen, so the white panel stands out.
    QLinearGradient field(area.topLeft(), area.bottomRight());
    field.setColorAt(0.0, QColor(QStringLiteral("#f3f6f8")));
    field.setColorAt(1.0, QColor(QStringLiteral("#e6ecf0")));
    p.fillRect(area, field);
    p.setPen(QPen(QColor(255, 255, 255, 90), area.width() / 60.0));
    for (int i = 1; i < 6; ++i) {
        const double x = area.width() * i / 5.0;
        p.drawLine(QPointF(area.left() + x, area.top()), QPointF(area.left() + x - area.height(), area.bottom()));
    }
}

void drawUnpickMark(QPainter &p, const QRectF &area)
{
    // A filled grey dot: chosen, but not for the user to change.
    useDesignBox(p, area, 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(QStringLiteral("#cccccc")));
    p.drawEllipse(QPointF(8, 8), 8, 8);
    p.setBrush(QColor(QStringLiteral("#888888")));
    p.drawEllipse(QPointF(8, 8), 4, 4);
}

} // namespace MkResources
