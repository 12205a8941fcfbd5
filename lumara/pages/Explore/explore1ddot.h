#pragma once
// The explore page's plot of one channel (x the droplet's position among the kept droplets,
// y its grey value). A left click picks the side of the threshold, a left drag a rectangle,
// any other button cancels; the plot draws the pick and reports it.
#include "quorin1dplot.h"

#include "pages/Explore/exploreplotpick.h"

#include <QPair>
#include <QPoint>
#include <QPolygonF>
#include <QVector>

class QwtPlotShapeItem;

class Explore1DDot : public Quorin1DPlot {
    Q_OBJECT
public:
    explicit Explore1DDot(QWidget *parent = nullptr);
    ~Explore1DDot() override;

    void clearSelection();
    void drawSelectRect(QPointF a, QPointF b);
    // Both threshold kinds get the lines; in line mode the click threshold follows the first
    // point of the first line (0 without lines).
    void setThresholdLines(const QVector<QPolygonF> &lines);
    // The area above (positive) or below the threshold, as a click draws it.
    void drawThresholdArea(bool positive);

    int threshold() const { return m_threshold; }
    const QwtPlotShapeItem *shape() const { return m_shape; }

signals:
    void showMarkerByThreshold(bool positive);
    // Both ranges in drag order: the first value may be the larger.
    void showMarkerBySelectRect(QPair<quint32, quint32> indexRange, QPair<quint32, quint32> graysRange);
    void canlcelMark();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QRectF thresholdArea(bool positive) const;

    ExplorePick::DragPick m_drag;
    QwtPlotShapeItem *m_shape = nullptr;
    int m_threshold = 0;
};
