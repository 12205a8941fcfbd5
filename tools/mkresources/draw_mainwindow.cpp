// Pictures of the main window: the menu bar's actions and window buttons (dark on the white
// bar) and the navigation bar's module marks (white on its blue).
#include "drawings.h"

#include <QPainterPath>

namespace MkResources {

namespace {

const QColor Ink(QStringLiteral("#333333"));
const QColor Accent(QStringLiteral("#3b9fc8"));

QPen pen(const QColor &colour, double width)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void inkPen(QPainter &p, const QRectF &area, double width = 2)
{
    useDesignBox(p, area, 32);
    p.setPen(pen(Ink, width));
    p.setBrush(Qt::NoBrush);
}

void whitePen(QPainter &p, const QRectF &area, double width = 2.2)
{
    useDesignBox(p, area, 32);
    p.setPen(pen(Qt::white, width));
    p.setBrush(Qt::NoBrush);
}

// A floppy disk outline, the face of Save and Save as.
void drawDisk(QPainter &p)
{
    QPainterPath body;
    body.moveTo(6, 6);
    body.lineTo(22, 6);
    body.lineTo(26, 10);
    body.lineTo(26, 26);
    body.lineTo(6, 26);
    body.closeSubpath();
    p.drawPath(body);
    p.drawRect(QRectF(11, 6, 9, 6));
    p.drawRect(QRectF(10, 17, 12, 9));
}

} // namespace

void drawOpenIcon(QPainter &p, const QRectF &area)
{
    inkPen(p, area);
    QPainterPath folder;
    folder.moveTo(4, 25);
    folder.lineTo(4, 8);
    folder.lineTo(12, 8);
    folder.lineTo(15, 11);
    folder.lineTo(25, 11);
    folder.lineTo(25, 14);
    p.drawPath(folder);
    QPainterPath front;
    front.moveTo(4, 25);
    front.lineTo(9, 14);
    front.lineTo(29, 14);
    front.lineTo(24, 25);
    front.closeSubpath();
    p.setBrush(QColor(QStringLiteral("#d8edf6")));
    p.drawPath(front);
}

void drawRecentIcon(QPainter &p, const QRectF &area)
{
    inkPen(p, area);
    p.drawEllipse(QPointF(16, 16), 11, 11);
    p.setPen(pen(Accent, 2.2));
    p.drawLine(QPointF(16, 16), QPointF(16, 9));
    p.drawLine(QPointF(16, 16), QPointF(21, 19));
}

void drawSaveIcon(QPainter &p, const QRectF &area)
{
    inkPen(p, area);
    drawDisk(p);
}

void drawSaveAsIcon(QPainter &p, const QRectF &area)
{
    inkPen(p, area);
    p.scale(0.85, 0.85);
    drawDisk(p);
    // A pen across the lower right corner.
    p.resetTransform();
    useDesignBox(p, area, 32);
    p.setPen(pen(Accent, 3));
    p.drawLine(QPointF(19, 29), QPointF(29, 19));
    p.setPen(pen(Ink, 1.5));
    p.drawLine(QPointF(17.5, 30.5), QPointF(19, 29));
}

void drawDropDownIcon(QPainter &p, const QRectF &area)
{
    inkPen(p, area, 2.4);
    p.drawPolyline(QPolygonF({QPointF(10, 13), QPointF(16, 19), QPointF(22, 13)}));
}

void drawWhatIsIcon(QPainter &p, const QRectF &area)
{
    inkPen(p, area);
    p.drawEllipse(QPointF(16, 16), 11.5, 11.5);
    p.setPen(Ink);
    p.setFont(pixelFont(16, true));
    drawCentredText(p, QPointF(16, 16), QStringLiteral("?"));
}

void drawMinimiseIcon(QPainter &p, const QRectF &area)
{
    inkPen(p, area);
    p.drawLine(QPointF(9, 21), QPointF(23, 21));
}

void drawRestoreIcon(QPainter &p, const QRectF &area)
{
    inkPen(p, area);
    p.drawRect(QRectF(9, 9, 14, 14));
    p.drawLine(QPointF(9, 11), QPointF(23, 11));
}

void drawCloseIcon(QPainter &p, const QRectF &area)
{
    inkPen(p, area);
    p.drawLine(QPointF(10, 10), QPointF(22, 22));
    p.drawLine(QPointF(22, 10), QPointF(10, 22));
}

void drawNaviQualityIcon(QPainter &p, const QRectF &area)
{
    whitePen(p, area);
    QPainterPath shield;
    shield.moveTo(16, 4);
    shield.lineTo(26, 8);
    shield.cubicTo(26, 18, 22, 24, 16, 28);
    shield.cubicTo(10, 24, 6, 18, 6, 8);
    shield.closeSubpath();
    p.drawPath(shield);
    p.drawPolyline(QPolygonF({QPointF(11, 16), QPointF(15, 20), QPointF(21, 12)}));
}

void drawNaviSetupIcon(QPainter &p, const QRectF &area)
{
    whitePen(p, area);
    const double knobs[] = {11, 20, 14};
    for (int i = 0; i < 3; ++i) {
        const double y = 9 + i * 7;
        p.drawLine(QPointF(5, y), QPointF(27, y));
        p.setBrush(QColor(QStringLiteral("#3b9fc8")));
        p.drawEllipse(QPointF(knobs[i], y), 3, 3);
        p.setBrush(Qt::NoBrush);
    }
}

void drawNaviAnalyzeIcon(QPainter &p, const QRectF &area)
{
    whitePen(p, area);
    p.drawLine(QPointF(5, 27), QPointF(27, 27));
    const double heights[] = {8, 16, 20, 11};
    for (int i = 0; i < 4; ++i)
        p.drawRect(QRectF(7 + i * 5, 27 - heights[i], 3, heights[i]));
}

void drawNaviExploreIcon(QPainter &p, const QRectF &area)
{
    whitePen(p, area, 2.6);
    p.drawEllipse(QPointF(14, 14), 8, 8);
    p.drawLine(QPointF(20, 20), QPointF(27, 27));
}

void drawNaviResultsIcon(QPainter &p, const QRectF &area)
{
    whitePen(p, area);
    p.drawRoundedRect(QRectF(5, 6, 22, 20), 2, 2);
    p.drawLine(QPointF(5, 12), QPointF(27, 12));
    p.drawLine(QPointF(5, 19), QPointF(27, 19));
    p.drawLine(QPointF(13, 6), QPointF(13, 26));
}

void drawNaviExportIcon(QPainter &p, const QRectF &area)
{
    whitePen(p, area);
    p.drawPolyline(QPolygonF({QPointF(12, 9), QPointF(6, 9), QPointF(6, 27), QPointF(24, 27), QPointF(24, 21)}));
    p.drawLine(QPointF(14, 19), QPointF(27, 6));
    p.drawPolyline(QPolygonF({QPointF(19, 6), QPointF(27, 6), QPointF(27, 14)}));
}

} // namespace MkResources
