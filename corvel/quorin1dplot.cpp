#include "quorin1dplot.h"
#include "dotcurve.h"
#include "plotutil.h"

#include <QPen>
#include <algorithm>
#include <qwt_plot_curve.h>
#include <qwt_plot_marker.h>
#include <qwt_scale_div.h>

using CorvelDetail::truncToInt;

Plot1dScaleDraw::Plot1dScaleDraw(const QFont &labelFont, const QString &labelColor,
                                 const QMap<int, QString> &labels)
    : QuorinScaleDraw(labelFont, labelColor), m_labels(labels)
{
}

Plot1dScaleDraw::~Plot1dScaleDraw() = default;

QwtText Plot1dScaleDraw::label(double value) const
{
    return styledText(QwtText(m_labels.value(truncToInt(value)), QwtText::RichText));
}

// ---------------------------------------------------------------------------------------

namespace {

// The x span and threshold height of one well, taken from its dotted polyline.
struct WellSpan {
    bool valid = false;
    double minX = 0.0;
    double maxX = 0.0;
    double maxY = 0.0;
};

WellSpan spanOf(const QVector<QPointF> &line)
{
    WellSpan s;
    for (const QPointF &p : line) {
        if (!s.valid) {
            s.valid = true;
            s.minX = s.maxX = p.x();
            s.maxY = p.y();
            continue;
        }
        s.minX = std::min(s.minX, p.x());
        s.maxX = std::max(s.maxX, p.x());
        s.maxY = std::max(s.maxY, p.y());
    }
    return s;
}

bool sortedByFiniteX(const QVector<QPointF> &points)
{
    for (int i = 0; i < points.size(); ++i) {
        if (!std::isfinite(points[i].x()))
            return false;
        if (i > 0 && points[i].x() < points[i - 1].x())
            return false;
    }
    return true;
}

QwtPlotCurve *newLineCurve(const QVector<QPointF> &samples, const QPen &pen, bool visible)
{
    auto *curve = new QwtPlotCurve(QString());
    curve->setStyle(QwtPlotCurve::Lines);
    curve->setRenderHint(QwtPlotItem::RenderAntialiased, true);
    curve->setPen(pen);
    curve->setVisible(visible);
    curve->setSamples(samples);
    return curve;
}

} // namespace

struct Quorin1DPlot::Private {
    QwtPlotCurve *aboveCurve = nullptr;
    QwtPlotCurve *belowCurve = nullptr;
    QVector<QPointF> points;
    // The split points, kept between splits so that refilling them reuses their memory.
    QVector<QPointF> above;
    QVector<QPointF> below;
    QList<QwtPlotCurve *> solidCurves;
    QList<QwtPlotCurve *> dottedCurves;
    QVector<WellSpan> spans; // one per dotted curve
    QList<QwtPlotMarker *> dividers;
    QString solidColor;
    QString dottedColor;
    double solidWidth = 1.0;
    double dottedWidth = 1.0;
    bool solidVisible = true;
    bool dottedVisible = true;
};

Quorin1DPlot::Quorin1DPlot(QWidget *parent) : QwtBasic(parent), d(new Private)
{
    d->aboveCurve = new CorvelDetail::DotCurve;
    CorvelDetail::setupDotCurve(d->aboveCurve);
    d->aboveCurve->attach(this);
    d->belowCurve = new CorvelDetail::DotCurve;
    CorvelDetail::setupDotCurve(d->belowCurve);
    d->belowCurve->attach(this);
}

Quorin1DPlot::~Quorin1DPlot() = default; // attached items go with the plot

void Quorin1DPlot::SetPlot1DPoints(const QVector<QPointF> &points)
{
    d->points = points;
    splitPoints();
    replot();
}

void Quorin1DPlot::AppendPlot1DPoints(const QVector<QPointF> &points)
{
    d->points += points;
    splitPoints();
    replot();
}

QVector<QPointF> Quorin1DPlot::TakePlot1DPoints()
{
    QVector<QPointF> points;
    points.swap(d->points);
    splitPoints();
    replot();
    return points;
}

void Quorin1DPlot::SetPlot1DPointsColor(const QString &aboveColor, const QString &belowColor,
                                        const double &size)
{
    d->aboveCurve->setPen(CorvelDetail::dotPen(aboveColor, size));
    d->belowCurve->setPen(CorvelDetail::dotPen(belowColor, size));
}

void Quorin1DPlot::Set1DThresholdDottedLineDraw(const QString &colour, const double &width)
{
    d->dottedColor = colour;
    d->dottedWidth = width;
}

void Quorin1DPlot::Set1DThresholdDottedLineValue(const QVector<QPolygonF> &lines)
{
    qDeleteAll(d->dottedCurves);
    d->dottedCurves.clear();
    d->spans.clear();
    const QPen pen(QColor(d->dottedColor), d->dottedWidth, Qt::DotLine);
    for (const QPolygonF &line : lines) {
        const QVector<QPointF> samples = CorvelDetail::finitePoints(line);
        QwtPlotCurve *curve = newLineCurve(samples, pen, d->dottedVisible);
        curve->attach(this);
        d->dottedCurves.append(curve);
        d->spans.append(spanOf(samples));
    }
    splitPoints();
    replot();
}

void Quorin1DPlot::Set1DThresholdDottedLineVisible(const bool &visible)
{
    d->dottedVisible = visible;
    for (QwtPlotCurve *curve : qAsConst(d->dottedCurves))
        curve->setVisible(visible);
    replot();
}

void Quorin1DPlot::Set1DThresholdSoildLineDraw(const QString &colour, const double &width)
{
    d->solidColor = colour;
    d->solidWidth = width;
}

void Quorin1DPlot::Set1DThresholdSoildLineValue(const QVector<QPolygonF> &lines,
                                                const QVector<int> &boldIndexes)
{
    qDeleteAll(d->solidCurves);
    d->solidCurves.clear();
    for (int i = 0; i < lines.size(); ++i) {
        const double width = boldIndexes.contains(i) ? 2.0 * d->solidWidth : d->solidWidth;
        const QPen pen(QColor(d->solidColor), width, Qt::SolidLine);
        QwtPlotCurve *curve =
            newLineCurve(CorvelDetail::finitePoints(lines[i]), pen, d->solidVisible);
        curve->attach(this);
        d->solidCurves.append(curve);
    }
    replot();
}

void Quorin1DPlot::Set1DThresholdSoildLineVisible(const bool &visible)
{
    d->solidVisible = visible;
    for (QwtPlotCurve *curve : qAsConst(d->solidCurves))
        curve->setVisible(visible);
    replot();
}

void Quorin1DPlot::splitPoints()
{
    // The curves let go of the buffers first: refilled while shared they would be copied.
    d->aboveCurve->setSamples(QVector<QPointF>());
    d->belowCurve->setSamples(QVector<QPointF>());
    QVector<QPointF> &above = d->above;
    QVector<QPointF> &below = d->below;
    above.clear();
    below.clear();
    const QVector<QPointF> &pts = d->points;
    const bool sorted = sortedByFiniteX(pts);
    auto place = [&](const QPointF &p, double threshold) {
        if (!std::isfinite(p.y()))
            return;
        if (p.y() >= threshold)
            above.append(p);
        else
            below.append(p);
    };
    for (const WellSpan &span : qAsConst(d->spans)) {
        if (!span.valid)
            continue;
        if (sorted) {
            // Droplet indices usually come in order: only the span's own run is visited.
            auto first = std::lower_bound(pts.cbegin(), pts.cend(), span.minX,
                                          [](const QPointF &p, double x) { return p.x() < x; });
            auto last = std::upper_bound(first, pts.cend(), span.maxX,
                                         [](double x, const QPointF &p) { return x < p.x(); });
            for (auto it = first; it != last; ++it)
                place(*it, span.maxY);
        } else {
            for (const QPointF &p : pts) {
                if (p.x() >= span.minX && p.x() <= span.maxX)
                    place(p, span.maxY);
            }
        }
    }
    d->aboveCurve->setSamples(above);
    d->belowCurve->setSamples(below);
}

void Quorin1DPlot::Set1DXAxisDivInfo(const QStringList &wellNames, const QString &colour,
                                     const double &width)
{
    if (d->dottedCurves.size() < 2)
        return;

    // Wells are laid out from 0 by their widths, not at their curves' own x positions.
    QMap<int, QString> labels;
    QList<double> centres;
    QList<double> boundaries;
    int start = 0;
    for (int i = 0; i < d->spans.size(); ++i) {
        const WellSpan &span = d->spans[i];
        const int w = span.valid ? truncToInt(span.maxX - span.minX) : 0;
        const int centre = start + w / 2;
        labels.insert(centre, wellNames.value(i));
        centres.append(centre);
        boundaries.append(start + w);
        start += w;
    }

    QList<double> medium;
    medium.append(0.0);
    medium += boundaries;
    QList<double> ticks[QwtScaleDiv::NTickTypes];
    ticks[QwtScaleDiv::MediumTick] = medium;
    ticks[QwtScaleDiv::MajorTick] = centres;
    setAxisScaleDiv(QwtPlot::xBottom, QwtScaleDiv(0.0, boundaries.last() + 1.0, ticks));

    auto *draw = new Plot1dScaleDraw(GetXAxisFont(), GetXAxisFontColor(), labels);
    draw->setTickLength(QwtScaleDiv::MajorTick, 16);
    draw->setTickLength(QwtScaleDiv::MediumTick, 0);
    draw->setTickLength(QwtScaleDiv::MinorTick, 0);
    draw->setLabelAlignment(Qt::AlignHCenter);
    draw->setSpacing(10);
    setAxisScaleDraw(QwtPlot::xBottom, draw);

    removeDividers();
    QPen pen(QBrush(QColor(colour), Qt::SolidPattern), width, Qt::SolidLine, Qt::SquareCap,
             Qt::BevelJoin);
    pen.setDashPattern({4, 3});
    for (int i = 0; i + 1 < boundaries.size(); ++i) {
        auto *marker = new QwtPlotMarker;
        marker->setLineStyle(QwtPlotMarker::VLine);
        marker->setXValue(boundaries[i]);
        marker->setLinePen(pen);
        marker->attach(this);
        d->dividers.append(marker);
    }
    replot();
}

void Quorin1DPlot::Clear1DAxisDiv()
{
    setAxisScaleDraw(QwtPlot::xBottom, new QuorinScaleDraw(GetXAxisFont(), GetXAxisFontColor()));
    removeDividers();
    replot();
}

void Quorin1DPlot::removeDividers()
{
    qDeleteAll(d->dividers);
    d->dividers.clear();
}
