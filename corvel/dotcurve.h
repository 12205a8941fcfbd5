#pragma once
// A dot curve that draws its antialiased square dots itself. Qwt's image-buffer path paints
// every thick dot through a QPainter stroke, which for a million droplets costs far more than
// the picture needs: dots of one colour only ever darken the same pixels, so the picture is
// the dot colour with, per pixel, the opacity of all dots over it laid on one another. That
// opacity is computed here from how many dots fall on each pixel position, and the result is
// drawn as one image. Thin dots, brushes and unsmoothed painters go the usual way.
#include "corvel_global.h"

#include <qwt_plot_curve.h>

namespace CorvelDetail {

class CORVEL_EXPORT DotCurve : public QwtPlotCurve {
public:
    DotCurve();

    // The picture of samples [from, to] on a canvas of `rect` (its aligned pixels): the pen's
    // colour, premultiplied, with each pixel's combined opacity. Null when the curve would not
    // draw it itself (see above).
    QImage dotImage(const QwtScaleMap &xMap, const QwtScaleMap &yMap, const QRectF &rect, int from,
                    int to, bool antialiased) const;

protected:
    void drawDots(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                  const QRectF &canvasRect, int from, int to) const override;
};

} // namespace CorvelDetail
