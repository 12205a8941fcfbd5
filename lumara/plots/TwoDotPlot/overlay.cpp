#include "plots/TwoDotPlot/overlay.h"

#include "plots/TwoDotPlot/editor.h"

#include <QPainter>
#include <qwt_plot.h>
#include <qwt_plot_shapeitem.h>

Overlay::Overlay(QWidget *canvas, Editor *editor) : QwtWidgetOverlay(canvas), m_editor(editor) {}

QRegion Overlay::maskHint() const
{
    return m_editor ? m_editor->maskHint(m_editor->draggedShape()) : QRegion();
}

void Overlay::drawOverlay(QPainter *painter) const
{
    if (!m_editor)
        return;
    const QwtPlotShapeItem *shape = m_editor->draggedShape();
    const QwtPlot *plot = m_editor->plot();
    if (!shape || !plot)
        return;
    const QRectF canvasRect = plot->canvas()->contentsRect();
    painter->setRenderHint(QPainter::Antialiasing, shape->testRenderHint(QwtPlotItem::RenderAntialiased));
    shape->draw(painter, plot->canvasMap(shape->xAxis()), plot->canvasMap(shape->yAxis()), canvasRect);
}
