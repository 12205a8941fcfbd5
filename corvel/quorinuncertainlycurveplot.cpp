#include "quorinuncertainlycurveplot.h"
#include "plotutil.h"

#include <QPen>
#include <qwt_plot_marker.h>
#include <qwt_scale_engine.h>
#include <qwt_symbol.h>

PlotUncertainlyCurve::PlotUncertainlyCurve() : QwtPlotCurve(QString()) {}

PlotUncertainlyCurve::~PlotUncertainlyCurve() = default;

PlotUncertainlyCurveScaleDraw::PlotUncertainlyCurveScaleDraw(const QFont &labelFont,
                                                             const QString &labelColor)
    : QuorinScaleDraw(labelFont, labelColor)
{
}

PlotUncertainlyCurveScaleDraw::~PlotUncertainlyCurveScaleDraw() = default;

QwtText PlotUncertainlyCurveScaleDraw::label(double value) const
{
    return styledText(QwtText(QString::number(CorvelDetail::truncToInt(value)) +
                              QLatin1Char('%')));
}

// ---------------------------------------------------------------------------------------

struct QuorinUncertainlyCurvePlot::Private {
    PlotUncertainlyCurve *curve = nullptr;
    QwtPlotMarker *firstLine = nullptr;
    QwtPlotMarker *secondLine = nullptr;
    QwtPlotMarker *optimalPoint = nullptr;
    QwtPlotMarker *crossLine = nullptr;
    QList<QwtPlotMarker *> pointMarkers;
};

QuorinUncertainlyCurvePlot::QuorinUncertainlyCurvePlot(QWidget *parent)
    : QwtBasic(parent), d(new Private)
{
    d->curve = new PlotUncertainlyCurve;
    d->curve->setRenderHint(QwtPlotItem::RenderAntialiased, true);
    d->curve->attach(this);
    d->firstLine = new QwtPlotMarker;
    d->firstLine->attach(this);
    d->secondLine = new QwtPlotMarker;
    d->secondLine->attach(this);
    d->optimalPoint = new QwtPlotMarker;
    d->optimalPoint->setLineStyle(QwtPlotMarker::NoLine);
    d->optimalPoint->attach(this);
    d->crossLine = new QwtPlotMarker;
    d->crossLine->setLineStyle(QwtPlotMarker::Cross);
    d->crossLine->setVisible(false);
    d->crossLine->attach(this);

    SetAxisZoomEnabled(QwtPlot::xBottom, false);
    SetAxisPannerEnabled(QwtPlot::xBottom, false);
    SetAxisZoomEnabled(QwtPlot::yLeft, false);
    SetAxisPannerEnabled(QwtPlot::yLeft, false);
}

QuorinUncertainlyCurvePlot::~QuorinUncertainlyCurvePlot() = default; // items go with the plot

void QuorinUncertainlyCurvePlot::SetUncertainlyCurvePoints(const QList<QPointF> &points)
{
    QVector<double> xs;
    QVector<double> ys;
    for (const QPointF &p : points) {
        if (!CorvelDetail::isFinitePoint(p))
            continue;
        xs.append(p.x());
        ys.append(p.y());
    }
    d->curve->setSamples(xs, ys);
    replot();
}

void QuorinUncertainlyCurvePlot::SetUncertainlyCurveStyle(const QString &colour,
                                                          const double &width)
{
    QColor c(colour);
    c.setAlphaF(0.8);
    d->curve->setPen(QPen(QBrush(c), width, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    d->curve->setBrush(Qt::NoBrush);
}

void QuorinUncertainlyCurvePlot::SetUncertainlyCurveVisible(const bool &visible)
{
    d->curve->setVisible(visible);
}

void QuorinUncertainlyCurvePlot::SetUncertainlyPoint(const QList<QPointF> &points,
                                                     const QString &colour, const int &size)
{
    qDeleteAll(d->pointMarkers);
    d->pointMarkers.clear();
    const QColor c(colour);
    for (const QPointF &p : points) {
        if (!CorvelDetail::isFinitePoint(p))
            continue;
        auto *marker = new QwtPlotMarker;
        marker->setLineStyle(QwtPlotMarker::NoLine);
        marker->setValue(p);
        marker->setSymbol(
            new QwtSymbol(QwtSymbol::Ellipse, QBrush(c), QPen(c, 0), QSize(size, size)));
        marker->attach(this);
        d->pointMarkers.append(marker);
    }
    replot();
}

void QuorinUncertainlyCurvePlot::SetUncertainlyPointVisible(const bool &visible)
{
    for (QwtPlotMarker *marker : qAsConst(d->pointMarkers))
        marker->setVisible(visible);
    replot();
}

void QuorinUncertainlyCurvePlot::SetUncertainlyOptimalPoint(const double &x, const double &y,
                                                            const QString &colour,
                                                            const int &size)
{
    d->optimalPoint->setValue(x, y);
    d->optimalPoint->setSymbol(new QwtSymbol(QwtSymbol::Ellipse, QBrush(Qt::NoBrush),
                                             QPen(QColor(colour), 0), QSize(size, size)));
}

void QuorinUncertainlyCurvePlot::SetUncertainlyOptimalPointVisible(const bool &visible)
{
    d->optimalPoint->setVisible(visible);
    replot();
}

void QuorinUncertainlyCurvePlot::SetUncertainlyPointLine(const double &x, const double &y,
                                                         const double &width,
                                                         const QString &colour)
{
    d->crossLine->setValue(x, y);
    d->crossLine->setLinePen(QPen(QColor(colour), width, Qt::DotLine));
    d->crossLine->setVisible(true);
    replot();
}

void QuorinUncertainlyCurvePlot::SetUncertainlyPointLineVisible(const bool &visible)
{
    d->crossLine->setVisible(visible);
    replot();
}

void QuorinUncertainlyCurvePlot::SetVerticalLine(const QString &colour, const double &width,
                                                 const double &x1, const double &x2)
{
    const QPen pen(QColor(colour), width, Qt::DashLine);
    d->firstLine->setLineStyle(QwtPlotMarker::VLine);
    d->firstLine->setLinePen(pen);
    d->firstLine->setXValue(x1);
    d->firstLine->setVisible(true);
    d->secondLine->setLineStyle(QwtPlotMarker::VLine);
    d->secondLine->setLinePen(pen);
    d->secondLine->setXValue(x2);
    d->secondLine->setVisible(true);
    replot();
}

void QuorinUncertainlyCurvePlot::SetVerticalLineVisible(const bool &visible)
{
    d->firstLine->setVisible(visible);
    d->secondLine->setVisible(visible);
    replot();
}

void QuorinUncertainlyCurvePlot::SetLinearAxis(const QwtPlot::Axis &axis)
{
    setAxisScaleEngine(axis, new QwtLinearScaleEngine(10));
    replot();
}

void QuorinUncertainlyCurvePlot::SetLogAxis(const QwtPlot::Axis &axis)
{
    setAxisScaleEngine(axis, new QwtLogScaleEngine(10));
    SetQwtPlotAutoAxis(QwtPlot::xBottom, true);
    replot();
}

void QuorinUncertainlyCurvePlot::SetQwtPlotAxisDraw(const QwtPlot::Axis &axis,
                                                    const QFont &font, const QString &colour)
{
    if (axis == QwtPlot::yLeft || axis == QwtPlot::yRight)
        setAxisScaleDraw(QwtPlot::yLeft, new PlotUncertainlyCurveScaleDraw(font, colour));
    else
        setAxisScaleDraw(axis, new QuorinScaleDraw(font, colour));
    replot();
}
