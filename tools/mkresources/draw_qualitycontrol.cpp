// Pictures of the Quality Control page and of its re-analysis dialog.
#include "drawings.h"

#include <QPainterPath>

namespace MkResources {

namespace {

// A white card with a thin frame and a tinted title band; the view writes the title over it.
void drawCard(QPainter &p, const QRectF &area)
{
    const QRectF card = area.adjusted(1, 1, -1, -1);
    p.setPen(QPen(QColor(0xc8, 0xd3, 0xda), 1.0));
    p.setBrush(QColor(0xff, 0xff, 0xff));
    p.drawRoundedRect(card, 4, 4);
    QPainterPath band;
    band.addRoundedRect(QRectF(card.left(), card.top(), card.width(), 30), 4, 4);
    band.addRect(QRectF(card.left(), card.top() + 15, card.width(), 15));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xe5, 0xf7, 0xff));
    p.drawPath(band.simplified());
    p.setPen(QPen(QColor(0x3b, 0x9f, 0xc8), 2.0));
    p.drawLine(QPointF(card.left() + 12, card.top() + 30), QPointF(card.right() - 12, card.top() + 30));
}

// The colours of a small control in its four states.
QColor stateColour(int state)
{
    switch (state) {
    case 1: // hover
        return QColor(0x58, 0xb4, 0xda);
    case 2: // press
        return QColor(0x2a, 0x7f, 0xa3);
    case 3: // disabled
        return QColor(0xcc, 0xcc, 0xcc);
    default:
        return QColor(0x3b, 0x9f, 0xc8);
    }
}

// A round button with a plus or a minus, in a 32-unit box.
template <bool Plus, int State>
void drawStepButton(QPainter &p, const QRectF &area)
{
    useDesignBox(p, area, 32);
    const QColor colour = stateColour(State);
    p.setPen(QPen(colour, 2.5));
    p.setBrush(State == 2 ? colour : QColor(0xff, 0xff, 0xff));
    p.drawEllipse(QPointF(16, 16), 14, 14);
    p.setPen(QPen(State == 2 ? QColor(0xff, 0xff, 0xff) : colour, 3.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9, 16), QPointF(23, 16));
    if (Plus)
        p.drawLine(QPointF(16, 9), QPointF(16, 23));
}

// A curved arrow turning left (undo) or right (redo), in a 56-unit box.
template <bool Redo, int State>
void drawHistoryButton(QPainter &p, const QRectF &area)
{
    useDesignBox(p, area, 56);
    if (Redo) {
        p.translate(56, 0);
        p.scale(-1, 1);
    }
    const QColor colour = stateColour(State);
    p.setPen(QPen(colour, 2.0));
    p.setBrush(State == 2 ? QColor(0xe5, 0xf7, 0xff) : QColor(0xff, 0xff, 0xff));
    p.drawRoundedRect(QRectF(2, 2, 52, 52), 6, 6);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colour, 4.5, Qt::SolidLine, Qt::RoundCap));
    QPainterPath arc;
    arc.moveTo(18, 22);
    arc.lineTo(32, 22);
    arc.cubicTo(46, 22, 46, 42, 32, 42);
    arc.lineTo(22, 42);
    p.drawPath(arc);
    QPainterPath head;
    head.moveTo(10, 22);
    head.lineTo(21, 13);
    head.lineTo(21, 31);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(head);
}

// The legend's marker pictures, in a 32-unit box: a cross of the marker colour, with a ring
// for the positive kind.
template <int R, int G, int B, bool Ring>
void drawLegendMarker(QPainter &p, const QRectF &area)
{
    useDesignBox(p, area, 32);
    p.setPen(QPen(QColor(R, G, B), 3.5, Qt::SolidLine, Qt::SquareCap));
    p.drawLine(QPointF(8, 16), QPointF(24, 16));
    p.drawLine(QPointF(16, 8), QPointF(16, 24));
    if (Ring) {
        p.setPen(QPen(QColor(0, 0, 255), 3.0));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(16, 16), 13, 13);
    }
}

} // namespace

void drawQcGroupBackground(QPainter &p, const QRectF &area)
{
    drawCard(p, area);
}

void drawReanalysisDialogBackground(QPainter &p, const QRectF &area)
{
    const QRectF card = area.adjusted(1, 1, -1, -1);
    p.setPen(QPen(QColor(0xc8, 0xd3, 0xda), 1.0));
    p.setBrush(QColor(0xff, 0xff, 0xff));
    p.drawRoundedRect(card, 6, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3b, 0x9f, 0xc8));
    p.drawRect(QRectF(card.left() + 1, card.top() + 1, card.width() - 2, 4));
}

// The table rows take their functions from these instances.
void (*const drawSubtractDefault)(QPainter &, const QRectF &) = drawStepButton<false, 0>;
void (*const drawSubtractHover)(QPainter &, const QRectF &) = drawStepButton<false, 1>;
void (*const drawSubtractPress)(QPainter &, const QRectF &) = drawStepButton<false, 2>;
void (*const drawSubtractDisable)(QPainter &, const QRectF &) = drawStepButton<false, 3>;
void (*const drawAddDefault)(QPainter &, const QRectF &) = drawStepButton<true, 0>;
void (*const drawAddHover)(QPainter &, const QRectF &) = drawStepButton<true, 1>;
void (*const drawAddPress)(QPainter &, const QRectF &) = drawStepButton<true, 2>;
void (*const drawAddDisable)(QPainter &, const QRectF &) = drawStepButton<true, 3>;
void (*const drawUndoDefault)(QPainter &, const QRectF &) = drawHistoryButton<false, 0>;
void (*const drawUndoHover)(QPainter &, const QRectF &) = drawHistoryButton<false, 1>;
void (*const drawUndoPress)(QPainter &, const QRectF &) = drawHistoryButton<false, 2>;
void (*const drawUndoDisable)(QPainter &, const QRectF &) = drawHistoryButton<false, 3>;
void (*const drawRedoDefault)(QPainter &, const QRectF &) = drawHistoryButton<true, 0>;
void (*const drawRedoHover)(QPainter &, const QRectF &) = drawHistoryButton<true, 1>;
void (*const drawRedoPress)(QPainter &, const QRectF &) = drawHistoryButton<true, 2>;
void (*const drawRedoDisable)(QPainter &, const QRectF &) = drawHistoryButton<true, 3>;
void (*const drawExcludedMarkerIcon)(QPainter &, const QRectF &) = drawLegendMarker<255, 0, 0, false>;
void (*const drawNegativeMarkerIcon)(QPainter &, const QRectF &) = drawLegendMarker<0, 128, 0, false>;
void (*const drawPositiveMarkerIcon)(QPainter &, const QRectF &) = drawLegendMarker<0, 128, 0, true>;
void (*const drawSaturatedMarkerIcon)(QPainter &, const QRectF &) = drawLegendMarker<227, 188, 31, false>;
void (*const drawMarkerIconDisabled)(QPainter &, const QRectF &) = drawLegendMarker<0xcc, 0xcc, 0xcc, false>;
void (*const drawPositiveMarkerIconDisabled)(QPainter &, const QRectF &) = drawLegendMarker<0xcc, 0xcc, 0xcc, true>;

} // namespace MkResources
