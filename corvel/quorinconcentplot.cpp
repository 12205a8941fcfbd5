#include "quorinconcentplot.h"
#include "plotutil.h"

#include <QPen>
#include <qwt_plot_curve.h>
#include <qwt_plot_marker.h>
#include <qwt_scale_engine.h>
#include <qwt_symbol.h>

PlotConcentScaleDraw::PlotConcentScaleDraw(const QFont &labelFont, const QString &labelColor)
    : QuorinScaleDraw(labelFont, labelColor)
{
}

PlotConcentScaleDraw::~PlotConcentScaleDraw() = default;

// ---------------------------------------------------------------------------------------

namespace {
// Half the width of the caps at both ends of a bar, in x units.
constexpr double CapHalfWidth = 0.08;
} // namespace

struct QuorinConcentPlot::Private {
    QList<QPair<uint, StructConcentData>> points;
    QList<uint> chosen;
    QList<QwtPlotCurve *> bars;
    QList<QwtPlotCurve *> topCaps;
    QList<QwtPlotCurve *> bottomCaps;
    QList<QwtPlotMarker *> markers;
    QString colour;
    double penWidth = 1.0;
    double symbolSize = 0.0;
};

QuorinConcentPlot::QuorinConcentPlot(QWidget *parent) : QwtBasic(parent), d(new Private)
{
    SetAxisZoomEnabled(QwtPlot::xBottom, false);
    SetAxisPannerEnabled(QwtPlot::xBottom, false);
}

QuorinConcentPlot::~QuorinConcentPlot() = default; // attached items go with the plot

void QuorinConcentPlot::SetConcentPointsValue(const QString &colour, const double &penWidth,
                                              const double &symbolSize,
                                              const QList<QPair<uint, StructConcentData>> &points)
{
    d->colour = colour;
    d->penWidth = penWidth;
    d->symbolSize = symbolSize;
    d->points = points;
    drawAxis();
    drawBars();
    drawPoints();
    replot();
}

void QuorinConcentPlot::SetChoosedPoints(const QList<uint> &chosen)
{
    d->chosen = chosen;
    drawPoints();
    replot();
}

void QuorinConcentPlot::SetLinearAxis(const QwtPlot::Axis &axis)
{
    setAxisScaleEngine(axis, new QwtLinearScaleEngine(10));
    replot();
}

void QuorinConcentPlot::SetLogAxis(const QwtPlot::Axis &axis)
{
    setAxisScaleEngine(axis, new QwtLogScaleEngine(10));
    replot();
}

void QuorinConcentPlot::drawAxis()
{
    const int n = d->points.size();
    // In double: a first position of 0 must give -1, not a wrapped unsigned value.
    const double lower = n > 0 ? double(d->points.first().first) - 1.0 : 0.0;
    setAxisScale(QwtPlot::xBottom, lower, double(n) + 1.0);
    setAxisMaxMajor(QwtPlot::xBottom, n + 1);
    setAxisAutoScale(QwtPlot::yLeft, true);
    auto *draw = new PlotConcentScaleDraw(GetXAxisFont(), GetXAxisFontColor());
    draw->setTickLength(QwtScaleDiv::MinorTick, 0);
    draw->setTickLength(QwtScaleDiv::MediumTick, 0);
    setAxisScaleDraw(QwtPlot::xBottom, draw);
}

void QuorinConcentPlot::drawBars()
{
    qDeleteAll(d->bars);
    qDeleteAll(d->topCaps);
    qDeleteAll(d->bottomCaps);
    d->bars.clear();
    d->topCaps.clear();
    d->bottomCaps.clear();
    const QPen pen(QColor(d->colour), d->penWidth, Qt::SolidLine);
    auto line = [&](double x1, double y1, double x2, double y2) {
        auto *curve = new QwtPlotCurve(QString());
        curve->setStyle(QwtPlotCurve::Lines);
        curve->setRenderHint(QwtPlotItem::RenderAntialiased, true);
        curve->setPen(pen);
        curve->setSamples(QVector<QPointF>{QPointF(x1, y1), QPointF(x2, y2)});
        curve->attach(this);
        return curve;
    };
    for (const auto &entry : qAsConst(d->points)) {
        const double x = entry.first;
        const double low = entry.second.lowerBound;
        const double high = entry.second.upperBound;
        // A bound that could not be computed has no bar.
        if (!std::isfinite(low) || !std::isfinite(high))
            continue;
        d->bars.append(line(x, high, x, low));
        d->topCaps.append(line(x - CapHalfWidth, high, x + CapHalfWidth, high));
        d->bottomCaps.append(line(x - CapHalfWidth, low, x + CapHalfWidth, low));
    }
}

void QuorinConcentPlot::drawPoints()
{
    qDeleteAll(d->markers);
    d->markers.clear();
    const int size = CorvelDetail::truncToInt(d->symbolSize);
    const QPen pen(QBrush(QColor(d->colour)), d->penWidth, Qt::SolidLine, Qt::SquareCap,
                   Qt::BevelJoin);
    for (const auto &entry : qAsConst(d->points)) {
        const double value = entry.second.concentration;
        if (!std::isfinite(value))
            continue;
        const bool chosen = d->chosen.contains(entry.first);
        const QBrush brush(QColor(chosen ? d->colour : QStringLiteral("white")));
        auto *marker = new QwtPlotMarker;
        marker->setRenderHint(QwtPlotItem::RenderAntialiased, true);
        marker->setValue(double(entry.first), value);
        marker->setSymbol(new QwtSymbol(QwtSymbol::Ellipse, brush, pen, QSize(size, size)));
        marker->attach(this);
        d->markers.append(marker);
    }
}
