#include "quorinhistogramplot.h"

#include <QDebug>
#include <algorithm>
#include <qwt_interval.h>
#include <qwt_plot_histogram.h>
#include <qwt_plot_marker.h>
#include <qwt_samples.h>
#include <qwt_scale_engine.h>
#include <qwt_series_data.h>
#include <vector>

namespace {

QwtPlotMarker *newLineMarker(QwtPlot *plot)
{
    auto *marker = new QwtPlotMarker;
    marker->setLabel(QwtText(QString()));
    marker->setLineStyle(QwtPlotMarker::VLine);
    marker->setVisible(false);
    marker->attach(plot);
    return marker;
}

// Above this many bins the counts are gathered by sorting the values' bins instead of in one
// dense array, so a huge maxValue with a small bin width cannot exhaust memory.
constexpr qint64 DenseBinLimit = qint64(1) << 20;

QVector<QwtIntervalSample> binValues(int binWidth, int maxValue, const QVector<uint> &values)
{
    const qint64 bins = maxValue / binWidth;
    const uint cap = uint(maxValue);
    QVector<QwtIntervalSample> samples;
    auto addSample = [&](qint64 bin, qint64 count) {
        QwtIntervalSample s(double(count), double(bin) * binWidth, double(bin + 1) * binWidth);
        s.interval.setBorderFlags(QwtInterval::ExcludeBorders);
        samples.append(s);
    };
    if (bins < DenseBinLimit) {
        std::vector<int> counts(size_t(bins + 1), 0);
        for (uint v : values)
            ++counts[size_t(std::min(v, cap) / uint(binWidth))];
        for (qint64 i = 0; i <= bins; ++i) {
            if (counts[size_t(i)] > 0)
                addSample(i, counts[size_t(i)]);
        }
        return samples;
    }
    std::vector<uint> binOf;
    binOf.reserve(size_t(values.size()));
    for (uint v : values)
        binOf.push_back(std::min(v, cap) / uint(binWidth));
    std::sort(binOf.begin(), binOf.end());
    for (size_t i = 0; i < binOf.size();) {
        size_t j = i;
        while (j < binOf.size() && binOf[j] == binOf[i])
            ++j;
        addSample(qint64(binOf[i]), qint64(j - i));
        i = j;
    }
    return samples;
}

} // namespace

struct QuorinHistogramPlot::Private {
    QwtPlotHistogram *histogram = nullptr;
    QwtPlotMarker *solidMarker = nullptr;
    QwtPlotMarker *dottedMarker = nullptr;
};

QuorinHistogramPlot::QuorinHistogramPlot(QWidget *parent) : QwtBasic(parent), d(new Private)
{
    d->histogram = new QwtPlotHistogram(QString());
    // Bars stand on 1, not 0, so that they also show on a logarithmic count axis.
    d->histogram->setBaseline(1.0);
    d->histogram->attach(this);
    d->solidMarker = newLineMarker(this);
    d->dottedMarker = newLineMarker(this);
}

QuorinHistogramPlot::~QuorinHistogramPlot() = default; // attached items go with the plot

void QuorinHistogramPlot::SetHistogramData(const QString &colour, const int &binWidth,
                                           const int &maxValue, const QVector<uint> &values)
{
    QVector<QwtIntervalSample> samples;
    if (binWidth < 1 || maxValue < 0)
        qWarning() << "Histogram: bin width" << binWidth << "and upper limit" << maxValue
                   << "cannot bin values; the histogram is left empty";
    else
        samples = binValues(binWidth, maxValue, values);

    const QColor c(colour);
    d->histogram->setPen(QPen(c, 0, Qt::SolidLine));
    d->histogram->setBrush(QBrush(c, Qt::SolidPattern));
    d->histogram->setData(new QwtIntervalSeriesData(samples));
    d->histogram->attach(this);
    setAxisAutoScale(QwtPlot::xBottom, true);
    setAxisAutoScale(QwtPlot::yLeft, true);
    replot();
}

void QuorinHistogramPlot::SetHistogramThresholdSoildLineDraw(const QString &colour,
                                                             const double &width)
{
    d->solidMarker->setLinePen(QPen(QColor(colour), width, Qt::SolidLine));
    replot();
}

void QuorinHistogramPlot::SetHistogramThresholdSoildLineValue(const double &x)
{
    d->solidMarker->setXValue(x);
    d->solidMarker->setVisible(true);
    replot();
}

void QuorinHistogramPlot::SetHistogramThresholdSoildLineVisible(const bool &visible)
{
    d->solidMarker->setVisible(visible);
    replot();
}

void QuorinHistogramPlot::SetHistogramThresholdDottedLineDraw(const QString &colour,
                                                              const double &width)
{
    d->dottedMarker->setLinePen(QPen(QColor(colour), width, Qt::DotLine));
    replot();
}

void QuorinHistogramPlot::SetHistogramThresholdDottedLineValue(const double &x)
{
    d->dottedMarker->setXValue(x);
    d->dottedMarker->setVisible(true);
    replot();
}

void QuorinHistogramPlot::SetHistogramThresholdDottedLineVisible(const bool &visible)
{
    d->dottedMarker->setVisible(visible);
    replot();
}

QPen QuorinHistogramPlot::GetSolidlinePen() const
{
    return d->solidMarker->linePen();
}

QPen QuorinHistogramPlot::GetDotlinePen() const
{
    return d->dottedMarker->linePen();
}

double QuorinHistogramPlot::getSolidlineThreshold() const
{
    return d->solidMarker->xValue();
}

double QuorinHistogramPlot::getDotlineThreshold() const
{
    return d->dottedMarker->xValue();
}

void QuorinHistogramPlot::SetLinearAxis(const QwtPlot::Axis &axis)
{
    setAxisScaleEngine(axis, new QwtLinearScaleEngine(10));
    replot();
}

void QuorinHistogramPlot::SetLogAxis(const QwtPlot::Axis &axis)
{
    setAxisScaleEngine(axis, new QwtLogScaleEngine(10));
    replot();
}
