#pragma once
// The histogram of the histogram page: a QuorinHistogramPlot whose solid threshold line the
// user drags. Hovering within 200 grey values of the line highlights it; dragging it moves it
// and reports the value. It also carries out the menu's pending image action on a press.
#include "quorinhistogramplot.h"

class ZetanHistogramPlot : public QuorinHistogramPlot {
    Q_OBJECT
public:
    // Grey values within which the pointer takes hold of the solid line.
    static constexpr int LineHoverDistance = 200;

    explicit ZetanHistogramPlot(QWidget *parent = nullptr);
    ~ZetanHistogramPlot() override;

    bool isNearLine() const { return m_nearLine; }

signals:
    void updateTempThreshold(uint gray);
    void resetAxisScale();

protected:
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    // The grey value under the pointer, truncated.
    int greyAt(const QPoint &pos) const;
    // A hidden line (polygon mode, several wells per well) cannot be taken hold of.
    bool solidLineShown() const;
    void setPanning(bool on);

    bool m_nearLine = false;
    bool m_panning = true;
};

// Whether a pointer at grey value x is near a solid line at `threshold`.
bool nearHistogramLine(double threshold, int x);
