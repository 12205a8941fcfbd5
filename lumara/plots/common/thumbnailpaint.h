#pragma once
// What both thumbnail delegates paint alike. Offsets are pixel values times uiScaleFactor,
// truncated.
#include <QFont>
#include <QImage>
#include <QModelIndex>
#include <QRect>

class QPainter;

namespace ThumbnailPaint {

// A design pixel value at the current scale.
int scaled(double pixels);
// The rectangle from (left, top) to (right, bottom), both corners inside.
QRect spanning(int left, int top, int right, int bottom);
// The caption and number font: the given font at 12 scaled pixels, family "Roboto".
QFont textFont(QFont font);
// The row's picture; empty when the model holds none that converts to an image.
QImage image(const QModelIndex &index);
// " 1." for row 0, in the caption colour, left-aligned and vertically centred.
void drawNumber(QPainter *painter, const QRect &rect, const QModelIndex &index);
// The title elided at the right to the given width and drawn with the given alignment.
void drawTitle(QPainter *painter, const QRect &rect, int width, int alignment, const QString &title);

} // namespace ThumbnailPaint
