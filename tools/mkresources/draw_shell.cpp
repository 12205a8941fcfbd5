// Pictures of the start-up, the menu bar, the shared dialogs, the well list's marks and the
// cursors of the plot actions.
#include "drawings.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace MkResources {

namespace {

const QColor Accent(QStringLiteral("#3b9fc8"));
const QColor Ink(QStringLiteral("#333333"));
const QColor Alert(QStringLiteral("#f7624f"));
const QColor Idle(QStringLiteral("#9a9a9a"));
const QColor Faint(QStringLiteral("#d2d2d2"));

QPen pen(const QColor &colour, double width)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A ring with a slash: the mark of excluded droplets, in one colour.
void drawExclusionMark(QPainter &p, const QRectF &area, const QColor &colour)
{
    useDesignBox(p, area, 32);
    p.setPen(pen(colour, 3));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(16, 16), 11, 11);
    p.drawLine(QPointF(8.5, 23.5), QPointF(23.5, 8.5));
}

// A three-by-three matrix whose diagonal is filled: the spill-over compensation.
void drawMatrixMark(QPainter &p, const QRectF &area, const QColor &colour)
{
    useDesignBox(p, area, 32);
    p.setPen(pen(colour, 1.6));
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            p.setBrush(row == col ? QBrush(colour) : QBrush(Qt::NoBrush));
            p.drawRoundedRect(QRectF(5 + col * 8, 5 + row * 8, 6, 6), 1.2, 1.2);
        }
    }
}

// White disc with a dark rim, the face of both cursors; readable on white plots and on images.
void drawCursorDisc(QPainter &p)
{
    p.setPen(pen(Ink, 1.5));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16, 16), 12, 12);
}

} // namespace

void drawSplash(QPainter &p, const QRectF &area)
{
    QLinearGradient ground(area.topLeft(), area.bottomRight());
    ground.setColorAt(0, QColor(QStringLiteral("#17334f")));
    ground.setColorAt(1, QColor(QStringLiteral("#08121d")));
    p.fillRect(area, ground);

    // A lattice of droplets on the right, some lit in channel colours, fading towards the text.
    const QColor lit[] = {QColor("#2b4b9b"), QColor("#009ada"), QColor("#67b32e"), QColor("#e8a400"),
                          QColor("#e42520")};
    const double pitch = 22;
    const double left = area.width() * 0.45;
    for (int row = 0; row * pitch * 0.87 < area.height() + pitch; ++row) {
        const double y = 12 + row * pitch * 0.87;
        for (int col = 0; left + col * pitch < area.width() + pitch; ++col) {
            const double x = left + col * pitch + ((row % 2) ? pitch / 2 : 0);
            const double fade = qBound(0.0, (x - left) / (area.width() - left) * 1.6, 1.0);
            const bool positive = (row * 7 + col * 13) % 5 == 0;
            QColor fill = positive ? lit[(row + col) % 5] : QColor(QStringLiteral("#24435f"));
            fill.setAlphaF(fade * (positive ? 0.9 : 0.7));
            p.setPen(Qt::NoPen);
            p.setBrush(fill);
            p.drawEllipse(QPointF(x, y), 8, 8);
        }
    }

    p.setPen(Qt::white);
    p.setFont(pixelFont(46, true));
    p.drawText(QPointF(40, 112), QStringLiteral("Lumara"));
    p.setPen(QColor(QStringLiteral("#9fc3dc")));
    p.setFont(pixelFont(16));
    p.drawText(QPointF(40, 140), QStringLiteral("Digital PCR analysis"));
    p.setPen(pen(Accent, 3));
    p.drawLine(QPointF(40, 154), QPointF(96, 154));
}

void drawLogo(QPainter &p, const QRectF &area)
{
    useDesignBox(p, area, 64);
    QLinearGradient face(QPointF(0, 0), QPointF(64, 64));
    face.setColorAt(0, Accent);
    face.setColorAt(1, QColor(QStringLiteral("#1d4f7a")));
    p.setPen(Qt::NoPen);
    p.setBrush(face);
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 14, 14);
    // Three droplets, one lit.
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(22, 24), 9, 9);
    p.drawEllipse(QPointF(42, 24), 9, 9);
    p.setBrush(QColor(QStringLiteral("#f4b400")));
    p.drawEllipse(QPointF(32, 42), 9, 9);
}

void drawSaveImageIcon(QPainter &p, const QRectF &area)
{
    useDesignBox(p, area, 32);
    p.setPen(pen(Ink, 2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(4, 6, 24, 20), 3, 3);
    QPainterPath hills;
    hills.moveTo(6, 24);
    hills.lineTo(13, 15);
    hills.lineTo(18, 20);
    hills.lineTo(21, 17);
    hills.lineTo(26, 24);
    hills.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Accent);
    p.drawPath(hills);
    p.setBrush(QColor(QStringLiteral("#f4b400")));
    p.drawEllipse(QPointF(22, 11.5), 2.5, 2.5);
}

void drawSaveVectorIcon(QPainter &p, const QRectF &area)
{
    useDesignBox(p, area, 32);
    const QPointF start(6, 25), end(26, 8), c1(8, 8), c2(24, 26);
    p.setPen(pen(Idle, 1.2));
    p.drawLine(start, c1);
    p.drawLine(end, c2);
    QPainterPath curve(start);
    curve.cubicTo(c1, c2, end);
    p.setPen(pen(Accent, 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curve);
    p.setPen(pen(Ink, 1.5));
    p.setBrush(Qt::white);
    for (const QPointF &anchor : {start, end})
        p.drawRect(QRectF(anchor.x() - 2.5, anchor.y() - 2.5, 5, 5));
    p.setBrush(Ink);
    p.setPen(Qt::NoPen);
    for (const QPointF &handle : {c1, c2})
        p.drawEllipse(handle, 1.8, 1.8);
}

void drawCopyImageIcon(QPainter &p, const QRectF &area)
{
    useDesignBox(p, area, 32);
    p.setPen(pen(Idle, 2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(5, 4, 16, 19), 2.5, 2.5);
    p.setPen(pen(Ink, 2));
    p.drawRoundedRect(QRectF(11, 9, 16, 19), 2.5, 2.5);
    p.setPen(pen(Accent, 2));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(15, 15 + i * 4.5), QPointF(23, 15 + i * 4.5));
}

void drawHelpIcon(QPainter &p, const QRectF &area)
{
    useDesignBox(p, area, 60);
    p.setPen(Qt::NoPen);
    p.setBrush(Accent);
    p.drawEllipse(QPointF(30, 30), 26, 26);
    p.setPen(Qt::white);
    p.setFont(pixelFont(36, true));
    drawCentredText(p, QPointF(30, 30), QStringLiteral("?"));
}

void drawWarningIcon(QPainter &p, const QRectF &area)
{
    useDesignBox(p, area, 48);
    QPainterPath triangle;
    triangle.moveTo(24, 5);
    triangle.lineTo(44, 41);
    triangle.lineTo(4, 41);
    triangle.closeSubpath();
    p.setPen(pen(QColor(QStringLiteral("#f5a623")), 5));
    p.setBrush(QColor(QStringLiteral("#f5a623")));
    p.drawPath(triangle);
    p.setPen(pen(Qt::white, 4.5));
    p.drawLine(QPointF(24, 17), QPointF(24, 29));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(24, 35.5), 2.6, 2.6);
}

void drawExcludedIcon(QPainter &p, const QRectF &area)
{
    drawExclusionMark(p, area, Alert);
}

void drawNotExcludedIcon(QPainter &p, const QRectF &area)
{
    drawExclusionMark(p, area, Idle);
}

void drawExcludeDisabledIcon(QPainter &p, const QRectF &area)
{
    drawExclusionMark(p, area, Faint);
}

void drawCompensatedIcon(QPainter &p, const QRectF &area)
{
    drawMatrixMark(p, area, Accent);
}

void drawCompensateDisabledIcon(QPainter &p, const QRectF &area)
{
    drawMatrixMark(p, area, Faint);
}

void drawHelpCursor(QPainter &p, const QRectF &area)
{
    useDesignBox(p, area, 32);
    drawCursorDisc(p);
    p.setPen(Ink);
    p.setFont(pixelFont(17, true));
    drawCentredText(p, QPointF(16, 16), QStringLiteral("?"));
}

void drawSaveCursor(QPainter &p, const QRectF &area)
{
    useDesignBox(p, area, 32);
    drawCursorDisc(p);
    // An arrow into a tray.
    p.setPen(pen(Ink, 2));
    p.drawLine(QPointF(16, 8.5), QPointF(16, 18));
    p.drawLine(QPointF(12, 14.5), QPointF(16, 18.5));
    p.drawLine(QPointF(20, 14.5), QPointF(16, 18.5));
    p.drawLine(QPointF(10, 19), QPointF(10, 22.5));
    p.drawLine(QPointF(10, 22.5), QPointF(22, 22.5));
    p.drawLine(QPointF(22, 22.5), QPointF(22, 19));
}

} // namespace MkResources
