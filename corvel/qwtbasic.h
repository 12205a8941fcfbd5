#pragma once
#include "corvel_global.h"
#include "quorinscaledraw.h"

#include <QFont>
#include <QPixmap>
#include <QPoint>
#include <QString>
#include <memory>
#include <qwt_plot.h>
#include <qwt_plot_magnifier.h>
#include <qwt_plot_panner.h>

class QFrame;
class QPen;
class QwtPlotGrid;

// Wheel zoom. A zoom-out that starts from a view touching or crossing zero on the bottom or
// left axis first asks the plot to return to its home ranges.
class CORVEL_EXPORT QuorinPlotMagnifier : public QwtPlotMagnifier {
    Q_OBJECT
public:
    explicit QuorinPlotMagnifier(QWidget *canvas);
    ~QuorinPlotMagnifier() override;

    // One wheel notch scales the visible range by this factor (out) or its inverse (in).
    static constexpr double WheelFactor = 1.1;

signals:
    void signalReplot();

protected:
    void rescale(double factor) override;
};

// Mouse panning that never leaves the bottom or left axis below zero.
class CORVEL_EXPORT QuorinPlotPanner : public QwtPlotPanner {
    Q_OBJECT
public:
    explicit QuorinPlotPanner(QWidget *canvas);
    ~QuorinPlotPanner() override;

public slots:
    void moveCanvas(int dx, int dy) override;
};

// Base of every plot: mask frame, wheel zoom, panning, home ranges per axis, axis titles and
// label styling, an optional grid and a double-click signal on the left axis.
class CORVEL_EXPORT QwtBasic : public QwtPlot {
    Q_OBJECT
public:
    explicit QwtBasic(QWidget *parent = nullptr);
    ~QwtBasic() override;

    QPixmap GetPlotGrab();
    QPoint GetQwtPoint(QPoint p);
    QFont GetXAxisFont() const;
    QString GetXAxisFontColor() const;

    void SetAxisPannerEnabled(const QwtPlot::Axis &axis, const bool &on);
    void SetAxisPannerEnabled(bool on);
    void SetPannerEnabled(const int &axis, const bool &on);
    void SetAxisZoomEnable(bool on);
    void SetAxisZoomEnabled(const QwtPlot::Axis &axis, const bool &on);
    void SetMagnifierEnabled(const QwtPlot::Axis &axis, const bool &on);

    void SetMaskBackgroundVisible(const bool &visible);
    void SetMaskBorderVisible(const bool &visible);
    void SetMaskBorderWidth(const int &width);
    void SetMaskColor(const QString &colour);

    void SetPlotGrid(const bool &xEnabled, const bool &yEnabled, const QPen &pen);
    void SetQwtPlotAutoAxis(const QwtPlot::Axis &axis, const bool &on);
    virtual void SetQwtPlotAxisDraw(const QwtPlot::Axis &axis, const QFont &font,
                                    const QString &colour);
    void SetQwtPlotAxisEnable(const QwtPlot::Axis &axis, const bool &on);
    void SetQwtPlotAxisInfo(const QwtPlot::Axis &axis, const double &lower, const double &upper,
                            const double &step);
    void SetTitleFont(const QwtPlot::Axis &axis, const QFont &font);
    void SetTitleFontColor(const QwtPlot::Axis &axis, const QString &colour);
    void SetTitleName(const QwtPlot::Axis &axis, const QString &name);
    void rePaintAxis(const QwtPlot::Axis &axis);

signals:
    void axisYLeftDoubleClicked(double lower, double upper);
    void repaintPlot();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private slots:
    void slotPlotRepaint();

private:
    void resetAxis(int axis);
    void restyleMaskFrame();
    void refreshCanvasBackground();

    struct Private;
    std::unique_ptr<Private> d;
};
