#include "plots/TwoDotPlot/editor.h"

#include "plots/TwoDotPlot/overlay.h"
#include "plots/TwoDotPlot/polygongeometry.h"

#include "bll/bllinstance.h"
#include "bll/populationsmgr.h"

#include <QMouseEvent>
#include <climits>
#include <QPainterPath>
#include <qwt_plot.h>
#include <qwt_plot_canvas.h>
#include <qwt_plot_shapeitem.h>
#include <qwt_scale_map.h>

using namespace PolygonGeometry;

namespace {

// Handle radii, in axis units, right after a right click changed the vertices; the next
// hover draws them at the half sizes again.
constexpr double ReshapedHandleX = 7.0;
constexpr double ReshapedHandleY = 9.0;

QwtPlotShapeItem *newOutline(const QPolygonF &points, const QColor &colour, Qt::PenStyle style,
                             bool antialiased)
{
    auto *shape = new QwtPlotShapeItem(QString());
    shape->setShape(closedPath(points));
    shape->setPen(colour, 2.0, style);
    shape->setRenderHint(QwtPlotItem::RenderAntialiased, antialiased);
    shape->setZ(0.0);
    return shape;
}

QPolygonF shapeVertices(const QwtPlotShapeItem *shape)
{
    return vertexPolygon(pathPolygon(shape->shape()));
}

} // namespace

Editor::Editor(QwtPlot *plot) : QObject(plot)
{
    if (plot == nullptr)
        return;
    m_enabled = true;
    plot->canvas()->installEventFilter(this);
    plot->canvas()->setMouseTracking(true);
}

Editor::~Editor()
{
    // The overlay is a child of the canvas; it is already gone when the plot is destroyed.
    delete m_overlay;
}

QwtPlot *Editor::plot() const
{
    return qobject_cast<QwtPlot *>(parent());
}

void Editor::replot()
{
    if (QwtPlot *p = plot())
        p->replot();
}

void Editor::setPolygons(const QList<PolygonZoneInfo> &zones)
{
    QwtPlot *p = plot();
    if (p == nullptr)
        return;
    PopulationsMgr *populations = BLLInstance::getInstance()->getPopulationsMgr();
    for (const PolygonZoneInfo &zone : zones) {
        const QColor colour(populations->getZoneColor(zone.zoneID));
        if (zone.pending.size() > 2) {
            QwtPlotShapeItem *applied = newOutline(vertexPolygon(zone.applied), colour, Qt::DotLine, true);
            QwtPlotShapeItem *pending = newOutline(zone.pending, colour, Qt::SolidLine, true);
            applied->attach(p);
            pending->attach(p);
            m_edited.insert(pending, applied);
        } else if (zone.applied.size() > 2) {
            newOutline(zone.applied, colour, Qt::SolidLine, true)->attach(p);
        }
    }
    // Off-screen users grab the plot right after this; the canvas must not show old shapes.
    p->replot();
}

void Editor::setVertexTolerance(int x, int y)
{
    m_halfX = std::max(1, x);
    m_halfY = std::max(1, y);
}

void Editor::clearSelection()
{
    m_selection.clear();
}

void Editor::clearEditedShapes()
{
    if (m_overlay) {
        // The shape being dragged is hidden; shown again it goes with the others.
        if (m_dragged)
            m_dragged->setVisible(true);
        delete m_overlay;
    }
    m_edited.clear();
    m_selection.clear();
    m_current = nullptr;
    m_dragged = nullptr;
    m_vertexCount = 0;
    m_vertexGrabbed = false;
    m_moveAllowed = false;
    m_handlesDrawn = false;
    m_highlightedIndex = -1;
    m_vertexHighlighted = false;
}

void Editor::setEnabled(bool on)
{
    if (on == m_enabled)
        return;
    m_enabled = on;
    QwtPlot *p = plot();
    if (p == nullptr)
        return;
    if (on) {
        p->canvas()->installEventFilter(this);
        return;
    }
    p->canvas()->removeEventFilter(this);
    if (m_overlay) {
        setItemVisible(m_dragged, true);
        delete m_overlay;
    }
}

bool Editor::eventFilter(QObject *object, QEvent *event)
{
    QwtPlot *p = plot();
    if (m_enabled && p != nullptr && object == p->canvas()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            mousePress(static_cast<QMouseEvent *>(event));
            break;
        case QEvent::MouseButtonRelease:
            mouseRelease(static_cast<QMouseEvent *>(event));
            break;
        case QEvent::MouseMove:
            mouseMove(static_cast<QMouseEvent *>(event));
            break;
        default:
            break;
        }
    }
    // The panner and the plot see every event too.
    return QObject::eventFilter(object, event);
}

void Editor::mousePress(const QMouseEvent *event)
{
    const QPoint pixel = event->pos();
    if (event->button() == Qt::LeftButton && event->modifiers() != Qt::ControlModifier && !m_overlay) {
        if (!m_vertexHighlighted) {
            QwtPlotShapeItem *shape = itemAt(pixel);
            if (QwtPlotShapeItem *edited = m_edited.key(shape, nullptr))
                shape = edited;
            if (shape != nullptr) {
                m_dragged = shape;
                m_pressPos = pixel;
                setItemVisible(shape, false);
                m_overlay = new Overlay(plot()->canvas(), this);
                m_overlay->setMaskMode(m_overlayMode == 1 ? QwtWidgetOverlay::MaskHint : QwtWidgetOverlay::NoMask);
                m_overlay->setRenderMode(QwtWidgetOverlay::AutoRenderMode);
                m_overlay->updateOverlay();
                m_overlay->show();
            }
        } else {
            grabVertex(pixel);
        }
        // Only an edit stops the panner: a press on empty canvas stays a pan.
        if (m_overlay || m_vertexGrabbed)
            emit enablePannel(false);
    } else if (event->button() == Qt::RightButton) {
        insertVertex(pixel);
        emit enableApply();
    } else if (event->button() == Qt::LeftButton && event->modifiers() == Qt::ControlModifier) {
        toggleSelection(pixel);
    }
}

void Editor::mouseRelease(const QMouseEvent *event)
{
    m_vertexGrabbed = false;
    emit enablePannel(true);
    if (m_overlay && event->button() == Qt::LeftButton) {
        setItemVisible(m_dragged, true);
        delete m_overlay;
    }
    emit updateSharp(m_edited);
}

void Editor::mouseMove(const QMouseEvent *event)
{
    const QPoint pixel = event->pos();
    if (event->button() == Qt::NoButton && event->buttons() == Qt::NoButton
        && event->modifiers() == Qt::NoModifier) {
        hoverAt(pixel);
        return;
    }
    if (event->buttons() != Qt::LeftButton || event->modifiers() == Qt::ControlModifier)
        return;
    if (m_vertexHighlighted) {
        dragVertex(pixel);
        emit enableApply();
    } else if (m_overlay) {
        if (moveItem(pixel))
            m_overlay->updateOverlay();
        emit enableApply();
    }
}

QPointF Editor::pointerPoint(const QPoint &pixel) const
{
    const QwtPlot *p = plot();
    return QPointF(truncatedPoint(QPointF(p->invTransform(QwtPlot::xBottom, pixel.x()),
                                          p->invTransform(QwtPlot::yLeft, pixel.y()))));
}

QPolygonF Editor::currentVertices() const
{
    if (m_current == nullptr)
        return QPolygonF();
    return pathPolygon(m_current->shape()).mid(0, m_vertexCount);
}

void Editor::showVertexHandles(const QPolygonF &vertices, int highlight)
{
    m_vertexCount = vertices.size();
    m_vertexHighlighted = highlight >= 0 && highlight < vertices.size();
    m_highlightedIndex = m_vertexHighlighted ? highlight : -1;
    m_current->setZ(1.0);
    m_current->setShape(closedPathWithHandles(vertices, m_halfX, m_halfY, m_highlightedIndex));
    replot();
}

void Editor::showPlainOutline()
{
    m_current->setShape(closedPath(currentVertices()));
}

void Editor::hoverAt(const QPoint &pixel)
{
    QwtPlotShapeItem *shape = itemAt(pixel);
    const QPointF point = pointerPoint(pixel);
    if (shape != nullptr && shape == m_current) {
        const QPolygonF vertices = currentVertices();
        const int i = vertexAt(vertices, m_vertexCount, point, m_halfX, m_halfY);
        m_moveAllowed = true;
        if (i < 0) {
            if (m_handlesDrawn)
                return;
            m_handlesDrawn = true;
            showVertexHandles(vertices, -1);
        } else {
            if (i == m_highlightedIndex) {
                m_handlesDrawn = false;
                return;
            }
            showVertexHandles(vertices, i);
            m_handlesDrawn = false;
        }
        return;
    }
    if (shape != nullptr) {
        // Still on the enlarged handle of the current polygon, which reaches over this one.
        const int j = vertexAt(shapeVertices(shape), INT_MAX, point, m_halfX, m_halfY);
        if (j >= 0 && j == m_highlightedIndex)
            return;
        if (m_current != nullptr)
            showPlainOutline();
        QwtPlotShapeItem *edited = m_edited.key(shape, nullptr);
        m_current = edited != nullptr ? edited : shape;
        m_moveAllowed = edited == nullptr;
        showVertexHandles(shapeVertices(m_current), -1);
        m_handlesDrawn = true;
        return;
    }
    if (m_current == nullptr)
        return;
    if (m_vertexHighlighted) {
        const QPolygonF vertices = currentVertices();
        if (m_highlightedIndex < vertices.size()
            && onVertex(point, vertices.at(m_highlightedIndex), m_halfX, m_halfY))
            return;
    }
    showPlainOutline();
    m_current = nullptr;
    m_vertexHighlighted = false;
    m_highlightedIndex = -1;
    m_handlesDrawn = false;
    replot();
}

void Editor::grabVertex(const QPoint &pixel)
{
    if (m_current == nullptr)
        return;
    const int i = lastVertexAt(currentVertices(), m_vertexCount, pointerPoint(pixel), m_halfX, m_halfY);
    if (i >= 0) {
        m_vertexGrabbed = true;
        m_grabbedIndex = i;
    }
}

void Editor::dragVertex(const QPoint &pixel)
{
    if (!m_vertexGrabbed || m_current == nullptr)
        return;
    QPolygonF vertices = currentVertices();
    if (m_grabbedIndex >= vertices.size())
        return;
    if (!m_edited.contains(m_current))
        makeDottedCopy(m_current, false);
    vertices[m_grabbedIndex] = pointerPoint(pixel);
    m_current->setShape(closedPathWithHandles(vertices, m_halfX, m_halfY));
    replot();
}

void Editor::insertVertex(const QPoint &pixel)
{
    if (m_current == nullptr)
        return;
    QPolygonF reshaped;
    if (!reshapeAtPoint(shapeVertices(m_current), truncatedPoint(pointerPoint(pixel)), &reshaped))
        return;
    // The outline before its first change is what the page matches to the zone.
    if (!m_edited.contains(m_current))
        makeDottedCopy(m_current, false);
    m_vertexCount = reshaped.size();
    m_current->setShape(closedPathWithHandles(reshaped, ReshapedHandleX, ReshapedHandleY));
    // The vertex indexes changed: the next hover highlights afresh.
    m_vertexHighlighted = false;
    m_highlightedIndex = -1;
    m_handlesDrawn = false;
    replot();
}

void Editor::toggleSelection(const QPoint &pixel)
{
    QwtPlotShapeItem *shape = itemAt(pixel);
    if (shape == nullptr || m_edited.key(shape, nullptr) != nullptr) {
        emit enableRemove(!m_selection.isEmpty());
        return;
    }
    if (shape != m_current) {
        if (m_current != nullptr)
            showPlainOutline();
        m_current = shape;
        m_vertexCount = shapeVertices(shape).size();
        m_handlesDrawn = false;
        m_vertexHighlighted = false;
        m_highlightedIndex = -1;
    }
    const QColor colour = shape->pen().color();
    QColor fill = colour;
    if (m_selection.contains(shape)) {
        m_selection.removeOne(shape);
        shape->setPen(colour, 2.0, Qt::SolidLine);
        fill.setAlphaF(0.0);
        shape->setBrush(fill);
        emit selectShapeItem(shape, false);
    } else {
        m_selection.append(shape);
        shape->setPen(colour, 3.0, Qt::SolidLine);
        fill.setAlphaF(0.08);
        shape->setBrush(fill);
        emit selectShapeItem(shape, true);
    }
    replot();
    emit enableRemove(!m_selection.isEmpty());
}

bool Editor::moveItem(const QPoint &pixel)
{
    if (!m_moveAllowed || m_dragged == nullptr)
        return false;
    if (!m_edited.contains(m_dragged) && m_edited.key(m_dragged, nullptr) == nullptr) {
        makeDottedCopy(m_dragged, true);
        replot();
    }
    const QwtPlot *p = plot();
    const QwtScaleMap xMap = p->canvasMap(m_dragged->xAxis());
    const QwtScaleMap yMap = p->canvasMap(m_dragged->yAxis());
    const QPointF from(xMap.invTransform(m_pressPos.x()), yMap.invTransform(m_pressPos.y()));
    const QPointF to(xMap.invTransform(pixel.x()), yMap.invTransform(pixel.y()));
    QPainterPath path = m_dragged->shape();
    path.translate(to - from);
    m_dragged->setShape(path);
    m_dragged->setZ(1.0);
    m_pressPos = pixel;
    return true;
}

QwtPlotShapeItem *Editor::itemAt(const QPoint &pixel) const
{
    const QwtPlot *p = plot();
    if (p == nullptr)
        return nullptr;
    double coords[QwtPlot::axisCnt];
    for (int axis : {QwtPlot::xBottom, QwtPlot::xTop})
        coords[axis] = p->invTransform(axis, pixel.x());
    for (int axis : {QwtPlot::yLeft, QwtPlot::yRight})
        coords[axis] = p->invTransform(axis, pixel.y());
    const QwtPlotItemList &items = p->itemList();
    for (int i = items.size() - 1; i >= 0; --i) {
        QwtPlotItem *item = items.at(i);
        if (!item->isVisible() || item->rtti() != QwtPlotItem::Rtti_PlotShape)
            continue;
        auto *shape = static_cast<QwtPlotShapeItem *>(item);
        const QPointF point(coords[shape->xAxis()], coords[shape->yAxis()]);
        if (shape->boundingRect().contains(point) && shape->shape().contains(point))
            return shape;
    }
    return nullptr;
}

void Editor::setItemVisible(QwtPlotShapeItem *shape, bool on)
{
    QwtPlot *p = plot();
    if (p == nullptr || shape == nullptr || shape->isVisible() == on)
        return;
    const bool autoReplot = p->autoReplot();
    p->setAutoReplot(false);
    shape->setVisible(on);
    p->setAutoReplot(autoReplot);
    if (auto *canvas = qobject_cast<QwtPlotCanvas *>(p->canvas()))
        canvas->invalidateBackingStore();
    p->canvas()->repaint(maskHint(shape));
}

QRegion Editor::maskHint(const QwtPlotShapeItem *shape) const
{
    const QwtPlot *p = plot();
    if (p == nullptr || shape == nullptr)
        return QRegion();
    const QRectF area = QwtScaleMap::transform(p->canvasMap(shape->xAxis()), p->canvasMap(shape->yAxis()),
                                               shape->shape().boundingRect());
    return QRegion(area.normalized().toAlignedRect().adjusted(-5, -5, 5, 5));
}

void Editor::makeDottedCopy(QwtPlotShapeItem *shape, bool antialiased)
{
    QwtPlotShapeItem *copy = newOutline(shapeVertices(shape), shape->pen().color(), Qt::DotLine, antialiased);
    copy->attach(plot());
    m_edited.insert(shape, copy);
}
