#pragma once
#include "corvel_global.h"
#include "qwtbasic.h"

#include <QList>
#include <QPointF>
#include <qwt_plot_curve.h>

class QwtPlotMarker;

class CORVEL_EXPORT PlotUncertainlyCurve : public QwtPlotCurve {
public:
    PlotUncertainlyCurve();
    ~PlotUncertainlyCurve() override;
};

// Percent labels: the tick value truncated to an integer, followed by "%".
class CORVEL_EXPORT PlotUncertainlyCurveScaleDraw : public QuorinScaleDraw {
public:
    PlotUncertainlyCurveScaleDraw(const QFont &labelFont, const QString &labelColor);
    ~PlotUncertainlyCurveScaleDraw() override;

    QwtText label(double value) const override;
};

// A relative-uncertainty curve with single points, an optimal point, a dotted cross line
// through a point and two dashed vertical lines.
class CORVEL_EXPORT QuorinUncertainlyCurvePlot : public QwtBasic {
    Q_OBJECT
public:
    explicit QuorinUncertainlyCurvePlot(QWidget *parent = nullptr);
    ~QuorinUncertainlyCurvePlot() override;

    void SetUncertainlyCurvePoints(const QList<QPointF> &points);
    void SetUncertainlyCurveStyle(const QString &colour, const double &width);
    void SetUncertainlyCurveVisible(const bool &visible);

    void SetUncertainlyPoint(const QList<QPointF> &points, const QString &colour,
                             const int &size);
    void SetUncertainlyPointVisible(const bool &visible);

    void SetUncertainlyOptimalPoint(const double &x, const double &y, const QString &colour,
                                    const int &size);
    void SetUncertainlyOptimalPointVisible(const bool &visible);

    void SetUncertainlyPointLine(const double &x, const double &y, const double &width,
                                 const QString &colour);
    void SetUncertainlyPointLineVisible(const bool &visible);

    void SetVerticalLine(const QString &colour, const double &width, const double &x1,
                         const double &x2);
    void SetVerticalLineVisible(const bool &visible);

    void SetLinearAxis(const QwtPlot::Axis &axis);
    void SetLogAxis(const QwtPlot::Axis &axis);

    // Either y axis puts the percent labels on the left axis; an x axis gets plain labels.
    // The x-axis label font and colour of the base are left as they were.
    void SetQwtPlotAxisDraw(const QwtPlot::Axis &axis, const QFont &font,
                            const QString &colour) override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};
