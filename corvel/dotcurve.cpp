#include "dotcurve.h"


#include <QImage>
#include <QPainter>
#include <qwt_scale_map.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace CorvelDetail {

namespace {

// The share of each pixel, along one axis, that a dot of width `w` centred on a whole pixel
// position covers: offsets from the position and their coverage. The painter draws a dot as
// a stroke a 63rd of a pixel long, so a dot reaches that much further to the right.
struct Coverage {
    std::vector<int> offsets;
    std::vector<float> shares;
};

Coverage coverageOf(double w, double longer)
{
    Coverage c;
    const double from = -w / 2.0;
    const double to = w / 2.0 + longer;
    for (int i = int(std::floor(from)); i < int(std::ceil(to)); ++i) {
        const double share = std::min(i + 1.0, to) - std::max(double(i), from);
        if (share > 0) {
            c.offsets.push_back(i);
            c.shares.push_back(float(share));
        }
    }
    return c;
}

// Kept between paints and shared by every dot curve of the thread: a fresh buffer of a
// canvas' size costs page faults on every paint.
struct Buffers {
    std::vector<quint8> counts;
    std::vector<float> clear;
};

Buffers &buffers()
{
    static thread_local Buffers kept;
    return kept;
}

} // namespace

DotCurve::DotCurve() : QwtPlotCurve(QString()) {}

QImage DotCurve::dotImage(const QwtScaleMap &xMap, const QwtScaleMap &yMap, const QRectF &canvasRect, int from,
                          int to, bool antialiased) const
{
    const QPen p = pen();
    // Qwt sets single pixels for thin pens; those it does quickly itself.
    if (!antialiased || p.width() <= 1 || p.brush().style() != Qt::SolidPattern
        || brush().style() != Qt::NoBrush || !testPaintAttribute(ImageBuffer))
        return QImage();
    const QRect rect = canvasRect.toAlignedRect();
    if (rect.isEmpty() || from > to)
        return QImage();
    const int w = rect.width();
    const int h = rect.height();
    // Positions run to the canvas' right and bottom edges inclusive: one more column and row
    // than the image, as a dot centred on an edge still shows its inner half.
    const int gw = w + 1;
    const int gh = h + 1;

    // How many dots sit on each whole pixel position (saturating: beyond a few dozen the
    // pixel is opaque anyway). Positions are rounded and clipped to the canvas as Qwt does.
    std::vector<quint8> &dotCounts = buffers().counts;
    std::vector<float> &passing = buffers().clear;
    dotCounts.assign(size_t(gw) * size_t(gh), 0);
    const QwtSeriesData<QPointF> *series = data();
    int left = gw, right = -1, top = gh, bottom = -1;
    for (int i = from; i <= to; ++i) {
        const QPointF s = series->sample(size_t(i));
        const double x = xMap.transform(s.x());
        const double y = yMap.transform(s.y());
        if (!(x >= canvasRect.left() && x <= canvasRect.right() && y >= canvasRect.top()
              && y <= canvasRect.bottom()))
            continue;
        const int px = qRound(x) - rect.left();
        const int py = qRound(y) - rect.top();
        if (px < 0 || py < 0 || px >= gw || py >= gh)
            continue;
        quint8 &n = dotCounts[size_t(py) * size_t(gw) + size_t(px)];
        if (n < 255)
            ++n;
        left = std::min(left, px);
        right = std::max(right, px);
        top = std::min(top, py);
        bottom = std::max(bottom, py);
    }
    QImage image(rect.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (right < 0)
        return image;

    // Each pixel keeps the share of light that passes all dots over it: a dot of opacity a
    // lets 1 - a through, and n dots on one position (1 - a)^n.
    const QColor colour = p.color();
    const double alpha = colour.alphaF();
    const Coverage cx = coverageOf(p.widthF(), 1.0 / 63.0);
    const Coverage cy = coverageOf(p.widthF(), 0.0);
    const int nx = int(cx.offsets.size());
    const int ny = int(cy.offsets.size());
    std::vector<float> passes(size_t(nx) * size_t(ny) * 256);
    for (int j = 0; j < ny; ++j) {
        for (int i = 0; i < nx; ++i) {
            const double through = 1.0 - alpha * double(cx.shares[size_t(i)]) * double(cy.shares[size_t(j)]);
            float *row = &passes[(size_t(j) * size_t(nx) + size_t(i)) * 256];
            for (int n = 0; n < 256; ++n)
                row[n] = float(std::pow(through, n));
        }
    }
    // The region the dots touch, within the image.
    const int x0 = std::max(0, left + cx.offsets.front());
    const int x1 = std::min(w - 1, right + cx.offsets.back());
    const int y0 = std::max(0, top + cy.offsets.front());
    const int y1 = std::min(h - 1, bottom + cy.offsets.back());
    passing.assign(size_t(w) * size_t(h), 1.0f);
    for (int py = top; py <= bottom; ++py) {
        const quint8 *counts = &dotCounts[size_t(py) * size_t(gw)];
        for (int px = left; px <= right; ++px) {
            const int n = counts[px];
            if (n == 0)
                continue;
            for (int j = 0; j < ny; ++j) {
                const int y = py + cy.offsets[size_t(j)];
                if (y < 0 || y >= h)
                    continue;
                float *clear = &passing[size_t(y) * size_t(w)];
                const float *pass = &passes[size_t(j) * size_t(nx) * 256 + size_t(n)];
                for (int i = 0; i < nx; ++i) {
                    const int x = px + cx.offsets[size_t(i)];
                    if (x >= 0 && x < w)
                        clear[x] *= pass[size_t(i) * 256];
                }
            }
        }
    }
    const float r = float(colour.redF()), g = float(colour.greenF()), b = float(colour.blueF());
    for (int y = y0; y <= y1; ++y) {
        const float *clear = &passing[size_t(y) * size_t(w)];
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = x0; x <= x1; ++x) {
            const float a = 1.0f - clear[x];
            if (a <= 0.0f)
                continue;
            line[x] = qRgba(int(r * a * 255.0f + 0.5f), int(g * a * 255.0f + 0.5f), int(b * a * 255.0f + 0.5f),
                            int(a * 255.0f + 0.5f));
        }
    }
    return image;
}

void DotCurve::drawDots(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
                        const QRectF &canvasRect, int from, int to) const
{
    if (painter->pen().style() == Qt::NoPen || painter->pen().color().alpha() == 0)
        return;
    const QImage image =
        dotImage(xMap, yMap, canvasRect, from, to, painter->testRenderHint(QPainter::Antialiasing));
    if (image.isNull()) {
        QwtPlotCurve::drawDots(painter, xMap, yMap, canvasRect, from, to);
        return;
    }
    painter->drawImage(canvasRect.toAlignedRect(), image);
}

} // namespace CorvelDetail
