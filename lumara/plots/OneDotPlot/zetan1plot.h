#pragma once
// The 1D dot plot of the 1D page: Quorin1DPlot with one solid (being edited) and one dotted
// (stored) threshold line per well. Hovering near a solid line highlights it; dragging it moves
// it and reports the grey value. In common scope every line moves together. It also carries
// out the menu's pending image action on a press.
#include "quorin1dplot.h"

#include <QPolygonF>
#include <QVector>

class Zetan1Plot : public Quorin1DPlot {
    Q_OBJECT
public:
    explicit Zetan1Plot(QWidget *parent = nullptr);
    ~Zetan1Plot() override;

    // Keep a copy and hand one to the plot (the solid ones without highlight). The export's
    // 1D image writer feeds the plot through these too.
    void setSolidThresholdLines(const QVector<QPolygonF> &lines);
    void setDottedThresholdLines(const QVector<QPolygonF> &lines);
    // Both kinds shown or hidden; hidden lines are never caught.
    void setThresholdLinesVisible(bool visible);
    // Per-well lines move alone; common ones all together.
    void setIndividual(bool individual) { m_individual = individual; }

    const QVector<QPolygonF> &solidThresholdLines() const { return m_solidLines; }
    const QVector<QPolygonF> &dottedThresholdLines() const { return m_dottedLines; }
    bool isLineCaught() const { return m_lineCaught; }
    bool areThresholdLinesVisible() const { return m_linesVisible; }

    // The well names under the x axis would ask for their whole width (96 wells: several
    // screens) and push the page beyond its window; the plot takes the room it is given.
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

signals:
    void updateTempThreshold(QVector<int> thldIdx, uint gray);
    void resetAxisScale();

protected:
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void hover(const QPoint &pos);
    // The pointer in plot values: x on the bottom axis, grey value on the left one.
    QPointF valueAt(const QPoint &pos) const;
    // The lines a pointer at x would move: one well's, all of them, or none.
    QVector<int> linesAt(double x) const;
    void highlight(const QVector<int> &lines);
    void setPanning(bool on);

    QVector<QPolygonF> m_solidLines;
    QVector<QPolygonF> m_dottedLines;
    QVector<int> m_highlighted;
    bool m_lineCaught = false;
    bool m_individual = false;
    bool m_linesVisible = true;
    bool m_panning = true;
};
