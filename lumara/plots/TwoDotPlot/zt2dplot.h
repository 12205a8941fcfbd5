#pragma once
// The 2D dot plot of one channel pair: droplets as dot curves, one per colour, a solid
// threshold cross (being edited) and a dotted one (stored), and the polygon zones, which an
// Editor on the canvas lets the user reshape. In line mode the solid lines are dragged; in
// polygon mode Ctrl + right clicks draw a new polygon. Off-screen users (thumbnails, export)
// only add curves and polygons.
#include "plots/TwoDotPlot/polygonzoneinfo.h"

#include "qwtbasic.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QPointF>
#include <QPolygon>
#include <QPolygonF>
#include <QString>
#include <QVector>

class Editor;
class QwtPlotCurve;
class QwtPlotMarker;
class QwtPlotShapeItem;

class Zt2DPlot : public QwtBasic {
    Q_OBJECT
public:
    // Axis units within which the pointer takes hold of a solid threshold line.
    static constexpr int LineHoverDistance = 200;

    explicit Zt2DPlot(QWidget *parent = nullptr);
    ~Zt2DPlot() override;

    void setSolidXLinePen(QString color, double width);
    void setSolidYLinePen(QString color, double width);
    void setDottedXLinePen(QString color, double width);
    void setDottedYLinePen(QString color, double width);
    // Move the cross; the caller's next replot shows it.
    void setSolidThreshold(QPointF threshold);
    void setDottedThreshold(QPointF threshold);
    // Shows or hides all four lines (no replot); true means line mode.
    void setThresholdVisible(bool visible);

    void clearCurves();
    // The editor forgets every shape it knew (ending a drag), then every visible polygon
    // shape is deleted; other hidden shapes stay attached. No replot.
    void clearShapes();
    void addCurve(QString color, QVector<QPointF> points, double size);
    void setPolygons(QList<PolygonZoneInfo> zones);
    void setVertexTolerance(uint x, uint y);
    void clearShapeSelection();
    // Colours the polygon drawn last, once its population is known.
    void setNewPolygonColor(QString color);

    QPointF solidThreshold() const { return m_solidThreshold; }
    QPointF dottedThreshold() const { return m_dottedThreshold; }
    bool isThresholdVisible() const { return m_thresholdVisible; }
    double lineWidth() const { return m_lineWidth; }
    QString xLineColor() const { return m_xLineColor; }
    QString yLineColor() const { return m_yLineColor; }
    const QList<QwtPlotCurve *> &curves() const { return m_curves; }
    Editor *editor() const { return m_editor; }

signals:
    void updateTempThreshold(QPointF threshold);
    void axisXYClicked(QPair<double, double> xRange, QPair<double, double> yRange);
    void addPolygon(QPolygonF polygon);
    void updateSharp(QVector<QPair<QPolygonF, QPolygonF>> shape);
    void enableRemove(bool enable);
    void enableApply();
    void zoneSelectStatus(QPolygonF polygon, bool select);
    void resetAxisScale();

private slots:
    void enablePannel(bool flag);
    void converToPolygon(QMap<QwtPlotShapeItem *, QwtPlotShapeItem *> shapeItem);
    void selectShapeItem(QwtPlotShapeItem *shape, bool select);

protected:
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void hoverLines(const QPoint &point);
    void setLineHot(QwtPlotMarker *line, bool *hot, bool on, const QString &color);
    void addDrawingPoint(const QPoint &point);
    void finishDrawing(QKeyEvent *event);
    void setLinePen(QwtPlotMarker *line, const QString &color, double width, Qt::PenStyle style);

    bool m_hotX = false; // the pointer is near the solid vertical line
    bool m_hotY = false; // ... near the solid horizontal line
    bool m_thresholdVisible = false;
    QPointF m_solidThreshold;
    QPointF m_dottedThreshold;
    QwtPlotMarker *m_solidXLine = nullptr;
    QwtPlotMarker *m_solidYLine = nullptr;
    QwtPlotMarker *m_dottedXLine = nullptr;
    QwtPlotMarker *m_dottedYLine = nullptr;
    Editor *m_editor = nullptr;
    QwtPlotShapeItem *m_preview = nullptr; // attached only while a polygon is drawn
    QwtPlotShapeItem *m_lastShape = nullptr; // the polygon finished last, while it exists
    QPolygon m_drawnPoints;
    bool m_drawing = false;
    bool m_rubberPoint = false; // the last drawn point follows the pointer
    bool m_pannerEnabled = true;
    double m_lineWidth = 0.0;
    QString m_xLineColor;
    QString m_yLineColor;
    QList<QwtPlotCurve *> m_curves;
};
