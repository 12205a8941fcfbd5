#pragma once
#include "corvel_global.h"
#include "qwtbasic.h"

#include <QPen>
#include <QVector>

class QwtPlotHistogram;
class QwtPlotMarker;

// Distribution of one channel's grey values as bars of equal width, with a solid (being
// edited) and a dotted (stored) vertical threshold line.
class CORVEL_EXPORT QuorinHistogramPlot : public QwtBasic {
    Q_OBJECT
public:
    explicit QuorinHistogramPlot(QWidget *parent = nullptr);
    ~QuorinHistogramPlot() override;

    // Values at or above maxValue all count in the last bin. binWidth must be at least 1 and
    // maxValue at least 0; otherwise the histogram is emptied and a warning is logged.
    void SetHistogramData(const QString &colour, const int &binWidth, const int &maxValue,
                          const QVector<uint> &values);

    void SetHistogramThresholdSoildLineDraw(const QString &colour, const double &width);
    void SetHistogramThresholdSoildLineValue(const double &x);
    void SetHistogramThresholdSoildLineVisible(const bool &visible);
    void SetHistogramThresholdDottedLineDraw(const QString &colour, const double &width);
    void SetHistogramThresholdDottedLineValue(const double &x);
    void SetHistogramThresholdDottedLineVisible(const bool &visible);

    QPen GetSolidlinePen() const;
    QPen GetDotlinePen() const;
    double getSolidlineThreshold() const;
    double getDotlineThreshold() const;

    void SetLinearAxis(const QwtPlot::Axis &axis);
    void SetLogAxis(const QwtPlot::Axis &axis);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
