#pragma once
// The dots of a 2D plot painted without the plot widget: into an image of the canvas size with
// the canvas maps, as the plot's dot curves would draw them, so that the painting can run on
// the thread pool. The plot then carries the image as one item at the curves' place.
#include "plots/TwoDotPlot/pointmaps.h"

#include <QImage>
#include <QRectF>
#include <QSize>

#include <qwt_plot_item.h>
#include <qwt_scale_map.h>

// The smallest rectangle holding every point; invalid without points.
QRectF pointMapBounds(const PointMap &map);

// Each pair painted in order with the curves' pen (the colour, `size` wide, antialiased), the
// points mapped by the canvas maps; transparent elsewhere.
QImage paintDotLayer(const PointMap &map, const QSize &canvasSize, const QwtScaleMap &xMap,
                     const QwtScaleMap &yMap, double size);

// Stands where the dot curves would stand: its bounds take part in the automatic axis ranges
// as theirs would, and it draws the painted layer under the threshold lines.
class DotLayerItem : public QwtPlotItem {
public:
    explicit DotLayerItem(const QRectF &bounds);

    void setLayer(const QImage &layer) { m_layer = layer; }

    int rtti() const override { return QwtPlotItem::Rtti_PlotUserItem + 26; }
    QRectF boundingRect() const override { return m_bounds; }
    void draw(QPainter *painter, const QwtScaleMap &xMap, const QwtScaleMap &yMap,
              const QRectF &canvasRect) const override;

private:
    QRectF m_bounds;
    QImage m_layer;
};
