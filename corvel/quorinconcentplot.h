#pragma once
#include "corvel_global.h"
#include "qwtbasic.h"

#include <QList>
#include <QPair>

class QwtPlotCurve;
class QwtPlotMarker;

// One concentration with its confidence bounds.
struct StructConcentData {
    double lowerBound = 0.0;
    double upperBound = 0.0;
    double concentration = 0.0;
};

class CORVEL_EXPORT PlotConcentScaleDraw : public QuorinScaleDraw {
public:
    PlotConcentScaleDraw(const QFont &labelFont, const QString &labelColor);
    ~PlotConcentScaleDraw() override;
};

// One point per entry at its integer x position with a vertical bar from the lower to the
// upper bound; chosen positions are drawn filled.
class CORVEL_EXPORT QuorinConcentPlot : public QwtBasic {
    Q_OBJECT
public:
    explicit QuorinConcentPlot(QWidget *parent = nullptr);
    ~QuorinConcentPlot() override;

    void SetConcentPointsValue(const QString &colour, const double &penWidth,
                               const double &symbolSize,
                               const QList<QPair<uint, StructConcentData>> &points);
    void SetChoosedPoints(const QList<uint> &chosen);
    void SetLinearAxis(const QwtPlot::Axis &axis);
    void SetLogAxis(const QwtPlot::Axis &axis);

private:
    void drawAxis();
    void drawBars();
    void drawPoints();

    struct Private;
    std::unique_ptr<Private> d;
};
