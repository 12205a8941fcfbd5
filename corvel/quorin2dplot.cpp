#include "quorin2dplot.h"
#include "plotutil.h"

#include <QPen>
#include <qwt_plot_curve.h>
#include <qwt_plot_marker.h>

namespace {
QwtPlotMarker *newCrossMarker(QwtPlot *plot)
{
    auto *marker = new QwtPlotMarker;
    marker->setLabel(QwtText(QString()));
    marker->setLineStyle(QwtPlotMarker::Cross);
    marker->setVisible(false);
    marker->attach(plot);
    return marker;
}
} // namespace

struct Quorin2DPlot::Private {
    QwtPlotMarker *solidMarker = nullptr;
    QwtPlotMarker *dottedMarker = nullptr;
    QList<QwtPlotCurve *> curves;
};

Quorin2DPlot::Quorin2DPlot(QWidget *parent) : QwtBasic(parent), d(new Private)
{
    d->solidMarker = newCrossMarker(this);
    d->dottedMarker = newCrossMarker(this);
    for (int i = 0; i < 4; ++i)
        d->curves.append(newDotCurve());
}

Quorin2DPlot::~Quorin2DPlot() = default; // attached items go with the plot

QwtPlotCurve *Quorin2DPlot::newDotCurve()
{
    auto *curve = new QwtPlotCurve(QString());
    CorvelDetail::setupDotCurve(curve);
    curve->attach(this);
    return curve;
}

void Quorin2DPlot::AppendPlot2DPoints(const QVector<QPointF> &points, const QString &colour,
                                      const double &size)
{
    QwtPlotCurve *curve = newDotCurve();
    curve->setPen(CorvelDetail::dotPen(colour, size));
    curve->setSamples(CorvelDetail::finitePoints(points));
    d->curves.append(curve);
    replot();
}

void Quorin2DPlot::ClearPlot2DPoints()
{
    qDeleteAll(d->curves);
    d->curves.clear();
    replot();
}

void Quorin2DPlot::SetPlot2DPointsColor(const QStringList &colours, const double &size)
{
    if (colours.size() != d->curves.size())
        return;
    for (int i = 0; i < colours.size(); ++i)
        d->curves[i]->setPen(CorvelDetail::dotPen(colours[i], size));
    replot();
}

void Quorin2DPlot::Set2DThresholdSoildLineDraw(const QString &colour, const double &width)
{
    d->solidMarker->setLinePen(QPen(QColor(colour), width, Qt::SolidLine));
    replot();
}

void Quorin2DPlot::Set2DThresholdSoildLineValue(const double &x, const double &y)
{
    d->solidMarker->setValue(x, y);
    d->solidMarker->setVisible(true);
    replot();
}

void Quorin2DPlot::Set2DThresholdSoildLineVisible(const bool &visible)
{
    d->solidMarker->setVisible(visible);
    replot();
}

void Quorin2DPlot::Set2DThresholdDottedLineDraw(const QString &colour, const double &width)
{
    d->dottedMarker->setLinePen(QPen(QColor(colour), width, Qt::DotLine));
    replot();
}

void Quorin2DPlot::Set2DThresholdDottedLineValue(const double &x, const double &y)
{
    d->dottedMarker->setValue(x, y);
    d->dottedMarker->setVisible(true);
    replot();
}

void Quorin2DPlot::Set2DThresholdDottedLineVisible(const bool &visible)
{
    d->dottedMarker->setVisible(visible);
    replot();
}
