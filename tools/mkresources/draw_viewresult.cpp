// Pictures of the View Results pages: the Both / Merge / Individual row-set buttons, the tick of
// the panels' check boxes and the legend of the uncertainty chart.
#include "drawings.h"

#include <QPainterPath>

namespace MkResources {

namespace {

const QColor Accent(QStringLiteral("#58b4da"));
const QColor Muted(QStringLiteral("#777777"));

enum class RowSet { Both, Merge, Individual };

QPen pen(const QColor &colour, double width, Qt::PenStyle style = Qt::SolidLine)
{
    return QPen(colour, width, style, Qt::RoundCap, Qt::RoundJoin);
}

// Maps a design box of width x height units onto the area.
void useDesignRect(QPainter &p, const QRectF &area, double width, double height)
{
    p.translate(area.topLeft());
    p.scale(area.width() / width, area.height() / height);
}

// A 72 x 80 button: three wells as dots, drawn apart (individual rows), gathered in one
// capsule (the merged row) or both; a caption below. Checked: white on the accent.
void drawRowSetButton(QPainter &p, const QRectF &area, RowSet set, bool checked)
{
    useDesignRect(p, area, 72, 80);
    const QColor ink = checked ? QColor(Qt::white) : Muted;
    p.setPen(checked ? Qt::NoPen : pen(QColor(QStringLiteral("#cccccc")), 1.5));
    p.setBrush(checked ? Accent : QColor(Qt::white));
    p.drawRoundedRect(QRectF(1, 1, 70, 78), 10, 10);

    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    const double dotsY = set == RowSet::Both ? 19 : 28;
    for (double x : {21.0, 36.0, 51.0})
        p.drawEllipse(QPointF(x, dotsY), 5.5, 5.5);
    if (set == RowSet::Merge) {
        p.setPen(pen(ink, 2.5));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(10, 17, 52, 22), 11, 11);
    } else if (set == RowSet::Both) {
        p.drawRoundedRect(QRectF(13, 33, 46, 11), 5.5, 5.5);
    }

    p.setPen(ink);
    p.setFont(pixelFont(16, true));
    const char *caption = set == RowSet::Both ? "Both" : set == RowSet::Merge ? "Merge" : "Indiv";
    drawCentredText(p, QPointF(36, 63), QString::fromLatin1(caption));
}

// A check mark in a 16 x 12 box.
void drawTickMark(QPainter &p, const QRectF &area, const QColor &colour)
{
    useDesignRect(p, area, 16, 12);
    p.setPen(pen(colour, 2.6));
    QPainterPath mark;
    mark.moveTo(2, 6);
    mark.lineTo(6, 10);
    mark.lineTo(14, 2);
    p.drawPath(mark);
}

} // namespace

void drawBothChecked(QPainter &p, const QRectF &area)
{
    drawRowSetButton(p, area, RowSet::Both, true);
}

void drawBothUnchecked(QPainter &p, const QRectF &area)
{
    drawRowSetButton(p, area, RowSet::Both, false);
}

void drawMergeChecked(QPainter &p, const QRectF &area)
{
    drawRowSetButton(p, area, RowSet::Merge, true);
}

void drawMergeUnchecked(QPainter &p, const QRectF &area)
{
    drawRowSetButton(p, area, RowSet::Merge, false);
}

void drawIndividualChecked(QPainter &p, const QRectF &area)
{
    drawRowSetButton(p, area, RowSet::Individual, true);
}

void drawIndividualUnchecked(QPainter &p, const QRectF &area)
{
    drawRowSetButton(p, area, RowSet::Individual, false);
}

void drawTick(QPainter &p, const QRectF &area)
{
    drawTickMark(p, area, QColor(QStringLiteral("#3b9fc8")));
}

void drawTickDisabled(QPainter &p, const QRectF &area)
{
    drawTickMark(p, area, QColor(QStringLiteral("#bbbbbb")));
}

void drawLegendCurve(QPainter &p, const QRectF &area)
{
    // The chart's curve: dark, two pixels wide at display size.
    useDesignRect(p, area, 36, 8);
    p.setPen(pen(QColor(11, 11, 11), 3.5));
    QPainterPath curve;
    curve.moveTo(2, 2.5);
    curve.cubicTo(12, 7, 24, 7, 34, 2.5);
    p.drawPath(curve);
}

void drawLegendPoint(QPainter &p, const QRectF &area)
{
    useDesignBox(p, area, 24);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(QStringLiteral("#3b9fc8")));
    p.drawEllipse(QPointF(12, 12), 10, 10);
}

void drawLegendOptimal(QPainter &p, const QRectF &area)
{
    useDesignBox(p, area, 18);
    p.setPen(pen(QColor(QStringLiteral("#333333")), 2.2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(9, 9), 7, 7);
}

void drawLegendRangeLimit(QPainter &p, const QRectF &area)
{
    useDesignRect(p, area, 8, 36);
    QPen dashed(QColor(Qt::gray), 4, Qt::CustomDashLine, Qt::FlatCap);
    dashed.setDashPattern({2.0, 1.5});
    p.setPen(dashed);
    p.drawLine(QPointF(4, 0), QPointF(4, 36));
}

} // namespace MkResources
