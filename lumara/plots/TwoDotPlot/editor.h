#pragma once
// Reshapes the polygon zones drawn on a 2D plot: shows the vertices of the polygon under the
// pointer, drags whole polygons and single vertices, inserts and removes vertices with the
// right button and selects polygons with Ctrl + left click. It never writes the analysis: for
// every changed polygon it keeps a dotted copy of the applied outline beside it and reports
// the pairs on every release. It watches the plot canvas's events and never consumes them.
#include "plots/TwoDotPlot/polygonzoneinfo.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QRegion>
#include <qwt_plot_shapeitem.h>

class Overlay;
class QMouseEvent;
class QwtPlot;

Q_DECLARE_METATYPE(QwtPlotShapeItem *)

class Editor : public QObject {
    Q_OBJECT
public:
    using ShapeMap = QMap<QwtPlotShapeItem *, QwtPlotShapeItem *>;

    // Vertex half sizes, in axis units, until the page sets its own.
    static constexpr double DefaultHalfX = 70.0;
    static constexpr double DefaultHalfY = 90.0;

    explicit Editor(QwtPlot *plot);
    ~Editor() override;

    // Draws the zones: a zone with a pending outline as that outline (solid) beside its
    // applied one (dotted), recorded as edited; any other zone as its applied outline.
    void setPolygons(const QList<PolygonZoneInfo> &zones);
    // Half sizes below 1 count as 1, so that a vertex can always be grabbed.
    void setVertexTolerance(int x, int y);
    void clearSelection();
    // Forgets every shape it knows (the plot is about to delete them): the edited pairs, the
    // current, dragged and selected shapes, a highlighted or grabbed vertex and the overlay.
    void clearEditedShapes();
    virtual void setEnabled(bool on);
    bool isEnabled() const { return m_enabled; }

    QwtPlot *plot() const;
    const ShapeMap &editedShapes() const { return m_edited; }
    const QList<QwtPlotShapeItem *> &selection() const { return m_selection; }
    QwtPlotShapeItem *currentShape() const { return m_current; }
    QwtPlotShapeItem *draggedShape() const { return m_dragged; }
    bool isDragging() const { return !m_overlay.isNull(); }
    QPointF vertexHalfSize() const { return QPointF(m_halfX, m_halfY); }

    // The canvas region a shape covers, grown by 5 pixels; empty without plot or shape.
    QRegion maskHint(const QwtPlotShapeItem *shape) const;

    bool eventFilter(QObject *object, QEvent *event) override;

signals:
    void enablePannel(bool enable);
    void enableRemove(bool enable);
    void enableApply();
    void updateSharp(QMap<QwtPlotShapeItem *, QwtPlotShapeItem *> shapeItem);
    void selectShapeItem(QwtPlotShapeItem *item, bool select);

private:
    void mousePress(const QMouseEvent *event);
    void mouseRelease(const QMouseEvent *event);
    void mouseMove(const QMouseEvent *event);

    void hoverAt(const QPoint &pixel);
    void grabVertex(const QPoint &pixel);
    void dragVertex(const QPoint &pixel);
    void insertVertex(const QPoint &pixel);
    void toggleSelection(const QPoint &pixel);
    bool moveItem(const QPoint &pixel);
    QwtPlotShapeItem *itemAt(const QPoint &pixel) const;
    void setItemVisible(QwtPlotShapeItem *shape, bool on);

    QPointF pointerPoint(const QPoint &pixel) const;
    QPolygonF currentVertices() const;
    void showVertexHandles(const QPolygonF &vertices, int highlight);
    void showPlainOutline();
    void makeDottedCopy(QwtPlotShapeItem *shape, bool antialiased);
    void replot();

    bool m_enabled = false;
    QPointer<Overlay> m_overlay;
    QPointF m_pressPos;
    QwtPlotShapeItem *m_dragged = nullptr;
    int m_overlayMode = 1;
    QwtPlotShapeItem *m_current = nullptr;
    ShapeMap m_edited;
    QList<QwtPlotShapeItem *> m_selection;
    int m_vertexCount = 0;
    bool m_vertexGrabbed = false;
    int m_grabbedIndex = 0;
    bool m_moveAllowed = false;
    bool m_handlesDrawn = false;
    int m_highlightedIndex = -1;
    double m_halfX = DefaultHalfX;
    double m_halfY = DefaultHalfY;
    bool m_vertexHighlighted = false;
};
