#include "plots/TwoDotPlot/zt2dplot.h"

#include "plots/TwoDotPlot/editor.h"
#include "plots/TwoDotPlot/polygongeometry.h"

#include "bll/bllinstance.h"
#include "shell/globalvalues.h"
#include "shell/imageactions.h"

#include <QHoverEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainterPath>
#include <cmath>
#include <qwt_plot_curve.h>
#include <qwt_plot_marker.h>
#include <qwt_plot_shapeitem.h>
#include <qwt_scale_div.h>
#include <qwt_scale_widget.h>

using namespace PolygonGeometry;

namespace {

const char *const DrawingColor = "#b37c4e";

// The outline that follows the pointer while a polygon is drawn. It is no zone: the editor
// never takes it for one and clearing the zones leaves it alone.
class PreviewShape : public QwtPlotShapeItem {
public:
    PreviewShape() : QwtPlotShapeItem(QString()) {}
    int rtti() const override { return QwtPlotItem::Rtti_PlotUserItem + 1; }
};

QwtPlotMarker *newLine(QwtPlotMarker::LineStyle style, QwtPlot *plot)
{
    auto *line = new QwtPlotMarker;
    line->setLineStyle(style);
    line->setVisible(false);
    line->attach(plot);
    return line;
}

void setDrawnLook(QwtPlotShapeItem *shape)
{
    shape->setItemAttribute(QwtPlotItem::Legend, true);
    shape->setLegendMode(QwtPlotShapeItem::LegendShape);
    shape->setRenderHint(QwtPlotItem::RenderAntialiased, true);
}

ImageActionNames imageNames(const QwtPlot *plot)
{
    return plotImageNames(plot, QStringLiteral("2DPlot"), QStringLiteral("2DDotPlot"));
}

bool polygonMode()
{
    return BLLInstance::getInstance()->getThldType() == LumaraAnalysisData::PolygonThreshold;
}

void registerSignalTypes()
{
    // Signal spies and queued connections need the argument types by name.
    static const bool registered = [] {
        qRegisterMetaType<QPair<double, double>>("QPair<double,double>");
        qRegisterMetaType<QVector<QPair<QPolygonF, QPolygonF>>>("QVector<QPair<QPolygonF,QPolygonF> >");
        qRegisterMetaType<QMap<QwtPlotShapeItem *, QwtPlotShapeItem *>>("QMap<QwtPlotShapeItem*,QwtPlotShapeItem*>");
        qRegisterMetaType<QwtPlotShapeItem *>("QwtPlotShapeItem*");
        return true;
    }();
    Q_UNUSED(registered)
}

} // namespace

Zt2DPlot::Zt2DPlot(QWidget *parent) : QwtBasic(parent)
{
    registerSignalTypes();
    setAttribute(Qt::WA_Hover);
    installEventFilter(this);
    m_solidXLine = newLine(QwtPlotMarker::VLine, this);
    m_solidYLine = newLine(QwtPlotMarker::HLine, this);
    m_dottedXLine = newLine(QwtPlotMarker::VLine, this);
    m_dottedYLine = newLine(QwtPlotMarker::HLine, this);
    // Buttonless moves reach the canvas only; the plot itself sees moves with a button held.
    canvas()->setMouseTracking(true);

    m_preview = new PreviewShape;
    setDrawnLook(m_preview);
    QPen pen(QColor(DrawingColor), 2.0, Qt::SolidLine);
    pen.setJoinStyle(Qt::MiterJoin);
    m_preview->setPen(pen);
    QColor fill(DrawingColor);
    fill.setAlphaF(0.2);
    m_preview->setBrush(QBrush(fill, Qt::SolidPattern));

    m_editor = new Editor(this);
    connect(m_editor, &Editor::enablePannel, this, &Zt2DPlot::enablePannel);
    connect(m_editor, &Editor::updateSharp, this, &Zt2DPlot::converToPolygon);
    connect(m_editor, &Editor::enableRemove, this, &Zt2DPlot::enableRemove);
    connect(m_editor, &Editor::enableApply, this, &Zt2DPlot::enableApply);
    connect(m_editor, &Editor::selectShapeItem, this, &Zt2DPlot::selectShapeItem);
}

Zt2DPlot::~Zt2DPlot()
{
    // Attached items go with the plot; the preview is attached only while a polygon is drawn.
    m_preview->detach();
    delete m_preview;
}

void Zt2DPlot::setLinePen(QwtPlotMarker *line, const QString &color, double width, Qt::PenStyle style)
{
    m_lineWidth = width;
    line->setLinePen(QColor(color), width, style);
    replot();
}

void Zt2DPlot::setSolidXLinePen(QString color, double width)
{
    m_xLineColor = color;
    setLinePen(m_solidXLine, color, width, Qt::SolidLine);
}

void Zt2DPlot::setSolidYLinePen(QString color, double width)
{
    m_yLineColor = color;
    setLinePen(m_solidYLine, color, width, Qt::SolidLine);
}

void Zt2DPlot::setDottedXLinePen(QString color, double width)
{
    m_xLineColor = color;
    setLinePen(m_dottedXLine, color, width, Qt::DotLine);
}

void Zt2DPlot::setDottedYLinePen(QString color, double width)
{
    m_yLineColor = color;
    setLinePen(m_dottedYLine, color, width, Qt::DotLine);
}

void Zt2DPlot::setSolidThreshold(QPointF threshold)
{
    m_solidThreshold = threshold;
    m_solidXLine->setXValue(threshold.x());
    m_solidYLine->setYValue(threshold.y());
}

void Zt2DPlot::setDottedThreshold(QPointF threshold)
{
    m_dottedThreshold = threshold;
    m_dottedXLine->setXValue(threshold.x());
    m_dottedYLine->setYValue(threshold.y());
}

void Zt2DPlot::setThresholdVisible(bool visible)
{
    m_thresholdVisible = visible;
    for (QwtPlotMarker *line : {m_solidXLine, m_solidYLine, m_dottedXLine, m_dottedYLine})
        line->setVisible(visible);
    if (!visible) {
        // Hidden lines are out of reach: a drag in polygon mode must not move them.
        setLineHot(m_solidXLine, &m_hotX, false, m_xLineColor);
        setLineHot(m_solidYLine, &m_hotY, false, m_yLineColor);
    }
}

void Zt2DPlot::clearCurves()
{
    for (QwtPlotCurve *curve : qAsConst(m_curves)) {
        curve->detach();
        delete curve;
    }
    m_curves.clear();
    replot();
}

void Zt2DPlot::clearShapes()
{
    m_editor->clearEditedShapes();
    const QwtPlotItemList items = itemList();
    for (QwtPlotItem *item : items) {
        if (!item->isVisible() || item->rtti() != QwtPlotItem::Rtti_PlotShape)
            continue;
        if (item == m_lastShape)
            m_lastShape = nullptr;
        item->detach();
        delete item;
    }
}

void Zt2DPlot::addCurve(QString color, QVector<QPointF> points, double size)
{
    addCurves({{color, points}}, size);
}

void Zt2DPlot::addCurves(const QVector<QPair<QString, QVector<QPointF>>> &curves, double size)
{
    for (const auto &pair : curves) {
        auto *curve = new QwtPlotCurve(QString());
        curve->setStyle(QwtPlotCurve::Dots);
        curve->setRenderHint(QwtPlotItem::RenderAntialiased, true);
        curve->setPen(QPen(QBrush(QColor(pair.first), Qt::SolidPattern), size, Qt::SolidLine));
        curve->setSamples(pair.second);
        curve->attach(this);
        m_curves.append(curve);
    }
    replot();
}

void Zt2DPlot::setPolygons(QList<PolygonZoneInfo> zones)
{
    m_editor->setPolygons(zones);
}

void Zt2DPlot::setVertexTolerance(uint x, uint y)
{
    m_editor->setVertexTolerance(int(std::min<uint>(x, INT_MAX)), int(std::min<uint>(y, INT_MAX)));
}

void Zt2DPlot::clearShapeSelection()
{
    m_editor->clearSelection();
}

void Zt2DPlot::setNewPolygonColor(QString color)
{
    if (m_lastShape == nullptr)
        return;
    m_lastShape->setPen(QColor(color), 2.0, Qt::SolidLine);
    m_lastShape->setBrush(Qt::NoBrush);
    replot();
}

void Zt2DPlot::enablePannel(bool flag)
{
    // Every change of the panner replots the whole plot: only when it really changes.
    if (flag == m_pannerEnabled)
        return;
    m_pannerEnabled = flag;
    if (!flag) {
        SetAxisPannerEnabled(false);
        return;
    }
    // Enabling puts the panner's filter in front of the canvas's other filters. Done while
    // the editor filters an event, Qt would then hand the editor that same event again.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_pannerEnabled)
                SetAxisPannerEnabled(true);
        },
        Qt::QueuedConnection);
}

void Zt2DPlot::converToPolygon(QMap<QwtPlotShapeItem *, QwtPlotShapeItem *> shapeItem)
{
    QVector<QPair<QPolygonF, QPolygonF>> pairs;
    pairs.reserve(shapeItem.size());
    for (auto it = shapeItem.cbegin(); it != shapeItem.cend(); ++it)
        pairs.append(qMakePair(vertexPolygon(pathPolygon(it.value()->shape())),
                               vertexPolygon(pathPolygon(it.key()->shape()))));
    emit updateSharp(pairs);
}

void Zt2DPlot::selectShapeItem(QwtPlotShapeItem *shape, bool select)
{
    emit zoneSelectStatus(vertexPolygon(pathPolygon(shape->shape())), select);
}

bool Zt2DPlot::event(QEvent *event)
{
    if (event->type() == QEvent::HoverMove) {
        const QPoint point = GetQwtPoint(static_cast<QHoverEvent *>(event)->pos());
        if (m_thresholdVisible) {
            hoverLines(point);
            return true;
        }
        if (!m_drawnPoints.isEmpty()) {
            // The Ctrl release that finishes the polygon must reach this plot.
            setFocus(Qt::OtherFocusReason);
            if (m_drawing) {
                if (m_rubberPoint)
                    m_drawnPoints.removeLast();
                else
                    m_rubberPoint = true;
                addDrawingPoint(point);
            }
        }
    }
    return QwtBasic::event(event);
}

void Zt2DPlot::setLineHot(QwtPlotMarker *line, bool *hot, bool on, const QString &color)
{
    if (*hot == on)
        return;
    *hot = on;
    line->setLinePen(QColor(color), on ? 2.0 * m_lineWidth : m_lineWidth, Qt::SolidLine);
}

void Zt2DPlot::hoverLines(const QPoint &point)
{
    const bool wasX = m_hotX, wasY = m_hotY;
    setLineHot(m_solidXLine, &m_hotX, std::fabs(m_solidXLine->xValue() - point.x()) < LineHoverDistance, m_xLineColor);
    setLineHot(m_solidYLine, &m_hotY, std::fabs(m_solidYLine->yValue() - point.y()) < LineHoverDistance, m_yLineColor);
    // A pass over 1.9 M dots only when a line changes its look.
    if (wasX != m_hotX || wasY != m_hotY)
        replot();
}

void Zt2DPlot::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_hotX && !m_hotY) {
        enablePannel(true);
        QwtBasic::mouseMoveEvent(event);
        return;
    }
    enablePannel(false);
    const QPoint point = GetQwtPoint(event->pos());
    // The kept cross follows the drag, so that what the plot reports is what it shows.
    setSolidThreshold(QPointF(m_hotX ? point.x() : m_solidXLine->xValue(),
                              m_hotY ? point.y() : m_solidYLine->yValue()));
    emit updateTempThreshold(m_solidThreshold);
    replot();
}

void Zt2DPlot::mousePressEvent(QMouseEvent *event)
{
    if (polygonMode()) {
        if (event->buttons() == Qt::RightButton && event->modifiers() == Qt::ControlModifier) {
            m_drawing = true;
            m_rubberPoint = false;
            addDrawingPoint(GetQwtPoint(event->pos()));
        } else if (event->button() == Qt::RightButton && event->modifiers() == Qt::ShiftModifier) {
            // The points stay until Shift is released.
            m_drawing = false;
            m_rubberPoint = false;
        }
    }
    plotImageActionPress(this, event, imageNames(this));
    QWidget::mousePressEvent(event);
}

void Zt2DPlot::addDrawingPoint(const QPoint &point)
{
    m_preview->detach();
    m_drawnPoints.append(point);
    m_preview->setShape(closedPath(QPolygonF(m_drawnPoints)));
    m_preview->attach(this);
    replot();
}

void Zt2DPlot::keyReleaseEvent(QKeyEvent *event)
{
    if (event->isAutoRepeat() || !polygonMode())
        return;
    if (event->key() == Qt::Key_Shift) {
        m_drawnPoints.clear();
        m_preview->detach();
    } else if (event->key() == Qt::Key_Control && m_drawing) {
        finishDrawing(event);
    }
}

void Zt2DPlot::finishDrawing(QKeyEvent *event)
{
    m_drawing = false;
    const QPolygonF drawn(m_drawnPoints);
    const QPolygonF unique = uniquePoints(drawn);
    const bool tooSmall = unique.size() <= 2 || uniquePoints(pathPolygon(m_preview->shape())).size() < 3;
    if (tooSmall) {
        m_drawnPoints.clear();
        m_preview->detach();
        replot();
        QwtBasic::keyReleaseEvent(event);
        return;
    }
    auto *shape = new QwtPlotShapeItem(QString());
    setDrawnLook(shape);
    shape->setPen(QColor(DrawingColor), 2.0, Qt::SolidLine);
    shape->setShape(closedPath(unique));
    shape->attach(this);
    m_lastShape = shape;
    // Every drawn point, the last rubber point and repetitions included.
    emit addPolygon(drawn);
    m_drawnPoints.clear();
    m_preview->detach();
    replot();
}

void Zt2DPlot::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->pos().x() <= axisWidget(QwtPlot::yLeft)->width()) {
        const QwtScaleDiv &x = axisScaleDiv(QwtPlot::xBottom);
        const QwtScaleDiv &y = axisScaleDiv(QwtPlot::yLeft);
        emit axisXYClicked(qMakePair(x.lowerBound(), x.upperBound()), qMakePair(y.lowerBound(), y.upperBound()));
    } else {
        emit resetAxisScale();
    }
    QwtBasic::mouseDoubleClickEvent(event);
}

void Zt2DPlot::enterEvent(QEvent *event)
{
    plotImageActionEnter(this, QStringLiteral(":/TwoDotPlot/assets/cursor_help.png"),
                         QStringLiteral(":/TwoDotPlot/assets/cursor_save.png"));
    QwtBasic::enterEvent(event);
}

void Zt2DPlot::leaveEvent(QEvent *event)
{
    plotImageActionLeave(this);
    QwtBasic::leaveEvent(event);
}
