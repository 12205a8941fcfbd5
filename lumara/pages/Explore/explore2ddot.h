#pragma once
// The explore page's plot of two channels (x and y grey values) with the two thresholds. A
// left click picks the quadrant, a left drag a rectangle, any other button cancels; the plot
// draws the pick and reports it.
#include "qwtbasic.h"

#include <QList>
#include "pages/Explore/exploreplotpick.h"

#include <QPair>
#include <QPoint>
#include <QPointF>
#include <QPolygonF>

class QwtPlotCurve;
class QwtPlotShapeItem;

class Explore2DDot : public QwtBasic {
    Q_OBJECT
public:
    explicit Explore2DDot(QWidget *parent = nullptr);
    ~Explore2DDot() override;

    void clearSelection();
    void drawSelectRect(QPointF a, QPointF b);
    void addSeries(const QString &colour, const QPolygonF &points, double size);
    void clearCurves();
    void setXThresholdPen(const QString &colour, double width);
    void setYThresholdPen(const QString &colour, double width);
    // Lines across the current axis ranges: set the ranges first.
    void setThresholds(QPointF thresholds);
    void setThresholdVisible(bool visible);
    // 0 both positive, 1 only y, 2 neither, 3 only x; any other code an empty pick.
    void drawQuadrant(int code);

    const QList<QwtPlotCurve *> &curves() const { return m_curves; }
    const QwtPlotShapeItem *shape() const { return m_shape; }
    const QwtPlotCurve *xThresholdCurve() const { return m_xThresholdCurve; }
    const QwtPlotCurve *yThresholdCurve() const { return m_yThresholdCurve; }

signals:
    void showMarkerByThreshold(bool ch1_positive, bool ch2_positive);
    // Both ranges as (lower, upper).
    void showMarkerBySelectRect(QPair<quint32, quint32> ch1GrayRange, QPair<quint32, quint32> ch2GrayRange);
    void canlcelMark();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QRectF quadrantRect(int code) const;

    ExplorePick::DragPick m_drag;
    QwtPlotShapeItem *m_shape = nullptr;
    QwtPlotCurve *m_xThresholdCurve = nullptr;
    QwtPlotCurve *m_yThresholdCurve = nullptr;
    QPointF m_thresholds;
    QList<QwtPlotCurve *> m_curves;
};
