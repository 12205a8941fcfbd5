// Pictures of the 2D dot-plot views: the axis dialog's background and the spin-box arrows.
#include "drawings.h"

#include <QPainterPath>

namespace MkResources {

namespace {

const QColor Accent(QStringLiteral("#3b9fc8"));
const QColor Ink(QStringLiteral("#333333"));

// A chevron pointing up or down on a face of the given colours, in a 32 x 24 design box.
void drawArrowButton(QPainter &p, const QRectF &area, bool up, const QColor &face, const QColor &mark)
{
    p.translate(area.topLeft());
    p.scale(area.width() / 32, area.height() / 24);
    p.setPen(QPen(QColor(QStringLiteral("#9aa5ad")), 1));
    p.setBrush(face);
    p.drawRect(QRectF(0.5, 0.5, 31, 23));
    QPainterPath chevron;
    const double tip = up ? 8 : 16;
    const double base = up ? 16 : 8;
    chevron.moveTo(10, base);
    chevron.lineTo(16, tip);
    chevron.lineTo(22, base);
    p.setPen(QPen(mark, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(chevron);
}

} // namespace

// A white card on a soft shadow with an accent band along its top; the card leaves a
// transparent margin for the shadow. Returns the card.
static QRectF drawDialogCard(QPainter &p, const QRectF &area)
{
    const QRectF card = area.adjusted(12, 10, -12, -18);
    for (int i = 8; i >= 1; --i) {
        QColor shade(0, 0, 0, 6 + (8 - i) * 3);
        p.setPen(Qt::NoPen);
        p.setBrush(shade);
        p.drawRoundedRect(card.adjusted(-i, -i + 3, i, i + 3), 6 + i, 6 + i);
    }
    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(QStringLiteral("#c8d3da")), 1));
    p.drawRoundedRect(card, 6, 6);
    QPainterPath outline;
    outline.addRoundedRect(card, 6, 6);
    p.setClipPath(outline);
    p.fillRect(QRectF(card.left(), card.top(), card.width(), 4), Accent);
    p.setClipping(false);
    return card;
}

void drawAxisDialogBackground(QPainter &p, const QRectF &area)
{
    const QRectF card = drawDialogCard(p, area);
    // Faint rules between the columns and above the buttons.
    p.setPen(QPen(QColor(QStringLiteral("#e3e8eb")), 1));
    const double middle = area.left() + area.width() / 2;
    p.drawLine(QPointF(middle, card.top() + 36), QPointF(middle, card.top() + 150));
    p.drawLine(QPointF(card.left() + 24, card.bottom() - 80), QPointF(card.right() - 24, card.bottom() - 80));
}

void drawCombinationDialogBackground(QPainter &p, const QRectF &area)
{
    const QRectF card = drawDialogCard(p, area);
    // Rules under the prompt and above the name field.
    p.setPen(QPen(QColor(QStringLiteral("#e3e8eb")), 1));
    p.drawLine(QPointF(card.left() + 24, card.top() + 66), QPointF(card.right() - 24, card.top() + 66));
    p.drawLine(QPointF(card.left() + 24, card.bottom() - 122), QPointF(card.right() - 24, card.bottom() - 122));
}

void drawPopulationDialogBackground(QPainter &p, const QRectF &area)
{
    const QRectF card = drawDialogCard(p, area);
    // A rule under the title.
    p.setPen(QPen(QColor(QStringLiteral("#e3e8eb")), 1));
    p.drawLine(QPointF(card.left() + 20, card.top() + 44), QPointF(card.right() - 20, card.top() + 44));
}

void drawTrigon(QPainter &p, const QRectF &area)
{
    // A small triangle pointing down: the drop-down arrow of the combo boxes.
    useDesignBox(p, area, 16);
    QPainterPath arrow;
    arrow.moveTo(3, 5.5);
    arrow.lineTo(13, 5.5);
    arrow.lineTo(8, 11);
    arrow.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(QStringLiteral("#666666")));
    p.drawPath(arrow);
}

void drawSpinUpArrow(QPainter &p, const QRectF &area)
{
    drawArrowButton(p, area, true, QColor(QStringLiteral("#f2f4f5")), Ink);
}

void drawSpinUpArrowPressed(QPainter &p, const QRectF &area)
{
    drawArrowButton(p, area, true, Accent, Qt::white);
}

void drawSpinDownArrow(QPainter &p, const QRectF &area)
{
    drawArrowButton(p, area, false, QColor(QStringLiteral("#f2f4f5")), Ink);
}

void drawSpinDownArrowPressed(QPainter &p, const QRectF &area)
{
    drawArrowButton(p, area, false, Accent, Qt::white);
}

} // namespace MkResources
