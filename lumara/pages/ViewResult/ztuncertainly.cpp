#include "pages/ViewResult/ztuncertainly.h"

#include "pages/ViewResult/chartgeometry.h"
#include "pages/ViewResult/uncertainlyscaledraw.h"
#include "shell/globalvalues.h"
#include "shell/imageactions.h"

#include "plotutil.h"

#include <QMouseEvent>
#include <algorithm>
#include <cmath>
#include <qwt_plot_curve.h>
#include <qwt_plot_marker.h>
#include <qwt_plot_picker.h>
#include <qwt_scale_engine.h>
#include <qwt_symbol.h>

namespace {

bool finite(double x, double y)
{
    return std::isfinite(x) && std::isfinite(y);
}

QwtPlotMarker *symbolMarker(QwtSymbol *symbol, double x, double y)
{
    auto *marker = new QwtPlotMarker(QString());
    marker->setLineStyle(QwtPlotMarker::NoLine);
    marker->setSymbol(symbol);
    marker->setValue(x, y);
    return marker;
}

} // namespace

ZtUncertainly::ZtUncertainly(int labelPixelSize, QWidget *parent) : QwtBasic(parent)
{
    setStyleSheet(QStringLiteral("background-color: rgb(255,255,255)"));
    SetAxisZoomEnabled(QwtPlot::xBottom, false);
    SetAxisPannerEnabled(QwtPlot::xBottom, false);
    setAxisScaleDraw(QwtPlot::yLeft, new UncertainlyScaleDraw(labelPixelSize));
    m_picker = new QwtPlotPicker(QwtPlot::xBottom, QwtPlot::yLeft, QwtPicker::CrossRubberBand,
                                 QwtPicker::AlwaysOn, canvas());
}

ZtUncertainly::~ZtUncertainly()
{
    delete m_picker;
}

void ZtUncertainly::setLinearAxis()
{
    setAxisScaleEngine(QwtPlot::xBottom, new QwtLinearScaleEngine(10));
    replot();
}

void ZtUncertainly::setLogAxis()
{
    setAxisScaleEngine(QwtPlot::xBottom, new QwtLogScaleEngine(10));
    replot();
}

void ZtUncertainly::addPointMarker(const QString &color, double x, double y)
{
    const QColor colour(color);
    m_items.attach(symbolMarker(new QwtSymbol(QwtSymbol::Ellipse, QBrush(colour, Qt::SolidPattern),
                                              QPen(colour, 0, Qt::SolidLine), QSize(10, 10)),
                                x, y),
                   this);
}

void ZtUncertainly::addOptimalMarker(const QString &color, double x, double y)
{
    m_items.attach(symbolMarker(new QwtSymbol(QwtSymbol::Ellipse, QBrush(Qt::NoBrush),
                                              QPen(QColor(color), 0, Qt::SolidLine), QSize(8, 8)),
                                x, y),
                   this);
}

void ZtUncertainly::addRangeLimitLine(double x)
{
    auto *line = new QwtPlotMarker(QString());
    line->setLineStyle(QwtPlotMarker::VLine);
    line->setLinePen(QColor(QStringLiteral("gray")), 2, Qt::DashLine);
    line->setXValue(x);
    m_items.attach(line, this);
}

void ZtUncertainly::setData(const QVector<UncertainlyPlotItem> &items)
{
    m_items.clear();
    replot();

    if (!items.isEmpty()) {
        auto *curve = new QwtPlotCurve(QString());
        curve->setSamples(CorvelDetail::finitePoints(items.first().curve));
        QColor ink(11, 11, 11);
        ink.setAlphaF(0.8);
        curve->setPen(QPen(QBrush(ink, Qt::SolidPattern), 2, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
        m_items.attach(curve, this);
    }

    double largest = 0.0;
    for (const UncertainlyPlotItem &item : items) {
        if (!finite(item.concentration, item.uncertaintyAtConcentration))
            continue;
        addPointMarker(item.color, item.concentration, item.uncertaintyAtConcentration);
        largest = std::max(largest, item.uncertaintyAtConcentration);
    }
    setAxisScale(QwtPlot::yLeft, 0, ChartGeometry::uncertaintyAxisUpper(largest), 0);

    if (items.size() != 1)
        return;
    const UncertainlyPlotItem &item = items.first();
    // An empty record (a merged row without the population) has an infinite detection limit.
    for (double limit : {item.upperConcentration, item.detectionLimit}) {
        if (std::isfinite(limit))
            addRangeLimitLine(limit);
    }
    if (finite(item.concentration, item.uncertaintyAtConcentration)) {
        auto *cross = new QwtPlotMarker(QString());
        cross->setLineStyle(QwtPlotMarker::Cross);
        cross->setLinePen(QColor(item.color), 2, Qt::DotLine);
        cross->setValue(item.concentration, item.uncertaintyAtConcentration);
        m_items.attach(cross, this);
    }
    if (finite(item.concentrationAtRef, item.uncertaintyAtRef))
        addOptimalMarker(item.color, item.concentrationAtRef, item.uncertaintyAtRef);
}

void ZtUncertainly::mousePressEvent(QMouseEvent *event)
{
    plotImageActionPress(this, event,
                         {currentFileBaseName + QStringLiteral("_uncertainly.png"),
                          currentFileBaseName + QStringLiteral("_uncertainly.svg"), QStringLiteral("ViewResult"),
                          QStringLiteral("UncertaintyCurves")});
    QwtBasic::mousePressEvent(event);
}

void ZtUncertainly::enterEvent(QEvent *event)
{
    plotImageActionEnter(this, QStringLiteral(":/ViewResult/Uncertainty/assert/cursor_help.png"),
                         QStringLiteral(":/ViewResult/Uncertainty/assert/cursor_save.png"));
    QwtBasic::enterEvent(event);
}

void ZtUncertainly::leaveEvent(QEvent *event)
{
    plotImageActionLeave(this);
    QwtBasic::leaveEvent(event);
}
