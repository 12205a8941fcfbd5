#include "plots/TwoDotPlot/dotlayer.h"

#include <QPainter>
#include <QPen>

#include <qwt_plot_curve.h>

QRectF pointMapBounds(const PointMap &map)
{
    double left = 0, right = 0, top = 0, bottom = 0;
    bool any = false;
    for (const auto &pair : map) {
        for (const QPointF &p : pair.second) {
            if (!any) {
                left = right = p.x();
                top = bottom = p.y();
                any = true;
                continue;
            }
            left = std::min(left, p.x());
            right = std::max(right, p.x());
            top = std::min(top, p.y());
            bottom = std::max(bottom, p.y());
        }
    }
    if (!any)
        return QRectF(1.0, 1.0, -2.0, -2.0); // invalid, as an empty curve's
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

QImage paintDotLayer(const PointMap &map, const QSize &canvasSize, const QwtScaleMap &xMap,
                     const QwtScaleMap &yMap, double size)
{
    QImage layer(canvasSize, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    if (layer.isNull())
        return layer;
    QPainter painter(&layer);
    painter.setRenderHint(QPainter::Antialiasing, true);
    // As the curves on a raster canvas: points rounded to whole pixels, those off the canvas
    // left out.
    const QRectF canvas(QPointF(0, 0), QSizeF(canvasSize));
    QVector<QPoint> mapped;
    for (const auto &pair : map) {
        if (pair.second.isEmpty())
            continue;
        painter.setPen(QPen(QBrush(QColor(pair.first), Qt::SolidPattern), size, Qt::SolidLine));
        mapped.resize(pair.second.size());
        const QPointF *in = pair.second.constData();
        QPoint *out = mapped.data();
        int n = 0;
        for (int i = 0; i < pair.second.size(); ++i) {
            const QPointF p(xMap.transform(in[i].x()), yMap.transform(in[i].y()));
            if (canvas.contains(p))
                out[n++] = QPoint(qRound(p.x()), qRound(p.y()));
        }
        painter.drawPoints(mapped.constData(), n);
    }
    return layer;
}

DotLayerItem::DotLayerItem(const QRectF &bounds) : m_bounds(bounds)
{
    setItemAttribute(QwtPlotItem::AutoScale, true);
    setItemAttribute(QwtPlotItem::Legend, false);
    // Where the dot curves would be: under the threshold markers.
    setZ(QwtPlotCurve(QString()).z());
}

void DotLayerItem::draw(QPainter *painter, const QwtScaleMap &, const QwtScaleMap &, const QRectF &) const
{
    if (!m_layer.isNull())
        painter->drawImage(QPointF(0.0, 0.0), m_layer);
}
