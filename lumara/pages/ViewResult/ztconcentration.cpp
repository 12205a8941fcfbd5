#include "pages/ViewResult/ztconcentration.h"

#include "pages/ViewResult/chartgeometry.h"
#include "pages/ViewResult/concentrationscaledraw.h"
#include "shell/globalvalues.h"
#include "shell/imageactions.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <algorithm>
#include <cmath>
#include <qwt_plot_curve.h>
#include <qwt_plot_picker.h>
#include <qwt_scale_div.h>
#include <qwt_scale_engine.h>

namespace {

QFont labelFont(int pixelSize)
{
    QFont font(QStringLiteral("Roboto"));
    font.setPixelSize(pixelSize);
    return font;
}

QwtPlotCurve *lineCurve(const QVector<QPointF> &points)
{
    auto *curve = new QwtPlotCurve(QString());
    curve->setStyle(QwtPlotCurve::Lines);
    curve->setRenderHint(QwtPlotItem::RenderAntialiased, true);
    curve->setSamples(points);
    return curve;
}

} // namespace

ZtConcentration::ZtConcentration(QWidget *parent) : QwtBasic(parent)
{
    setStyleSheet(QStringLiteral("background-color: rgb(255,255,255)"));
    SetAxisZoomEnabled(QwtPlot::xBottom, false);
    SetAxisPannerEnabled(QwtPlot::xBottom, false);
    m_picker = new QwtPlotPicker(QwtPlot::xBottom, QwtPlot::yLeft, QwtPicker::CrossRubberBand,
                                 QwtPicker::AlwaysOn, canvas());
}

ZtConcentration::~ZtConcentration()
{
    delete m_picker;
}

void ZtConcentration::setPlotSize(int width, int height)
{
    m_plotWidth = std::max(width, 1);
    m_plotHeight = std::max(height, 1);
}

void ZtConcentration::setLinearAxis()
{
    m_linear = true;
    setAxisScaleEngine(QwtPlot::yLeft, new QwtLinearScaleEngine(10));
    replot();
}

void ZtConcentration::setLogAxis()
{
    m_linear = false;
    setAxisScaleEngine(QwtPlot::yLeft, new QwtLogScaleEngine(10));
    replot();
}

int ZtConcentration::fittedLabelPixelSize(int groupCount, const QString &longestLabel) const
{
    const int perGroup = width() / groupCount;
    return ChartGeometry::fitLabelPixelSize(perGroup, uiScaleFactor, [&longestLabel](int pixelSize) {
        return QFontMetrics(labelFont(pixelSize)).horizontalAdvance(longestLabel);
    });
}

void ZtConcentration::setData(const QVector<ConcentrationGroup> &groups, const QString &longestLabel)
{
    m_items.clear();
    replot();
    m_yMaximum = 0.0;

    QMap<int, QString> labels;
    QVector<int> widths;
    double largest = 0.0;
    for (int i = 0; i < groups.size(); ++i) {
        labels.insert(ChartGeometry::groupCentre(i), groups[i].label);
        widths.append(ChartGeometry::GroupWidth);
        for (const ConcentrationPoint &point : groups[i].points) {
            if (!std::isfinite(point.concentration))
                continue;
            // A bound the statistics could not give must not blow the axis up; the bar's
            // box still has to fit then.
            largest = std::max(largest, std::isfinite(point.upper) ? point.upper : point.concentration);
        }
    }

    const ChartGeometry::XDivision xDiv = ChartGeometry::buildXDivision(widths);
    QwtScaleDiv scaleDiv(xDiv.lower, xDiv.upper);
    scaleDiv.setTicks(QwtScaleDiv::MediumTick, QList<double>(xDiv.boundaries.begin(), xDiv.boundaries.end()));
    scaleDiv.setTicks(QwtScaleDiv::MajorTick, QList<double>(xDiv.centres.begin(), xDiv.centres.end()));
    setAxisScaleDiv(QwtPlot::xBottom, scaleDiv);

    const ChartGeometry::YRange yRange = ChartGeometry::concentrationYRange(largest, m_linear);
    setAxisScale(QwtPlot::yLeft, yRange.lower, yRange.upper, 0);
    m_yMaximum = yRange.upper;

    const int pixelSize = groups.isEmpty() ? int(20 * uiScaleFactor) : fittedLabelPixelSize(groups.size(), longestLabel);
    auto *scaleDraw = new ConcentrationScaleDraw(labelFont(pixelSize), GetXAxisFontColor(), labels);
    scaleDraw->setTickLength(QwtScaleDiv::MajorTick, 16);
    scaleDraw->setTickLength(QwtScaleDiv::MediumTick, 0);
    scaleDraw->setTickLength(QwtScaleDiv::MinorTick, 0);
    scaleDraw->setLabelAlignment(Qt::AlignHCenter);
    scaleDraw->setSpacing(10);
    setAxisScaleDraw(QwtPlot::xBottom, scaleDraw);
    replot();

    const int halfWidth = ChartGeometry::halfWidth(xDiv.upper - xDiv.lower, m_plotWidth);
    const double halfHeight = ChartGeometry::halfHeight(yRange.upper - yRange.lower, m_plotHeight);

    for (int i = 0; i < groups.size(); ++i) {
        const QVector<ConcentrationPoint> &points = groups[i].points;
        for (int j = 0; j < points.size(); ++j) {
            const ConcentrationPoint &point = points[j];
            // Every point keeps its slot, so one that cannot be drawn moves no other bar.
            if (!std::isfinite(point.concentration))
                continue;
            const int x = ChartGeometry::barX(i, j, points.size());
            const ChartGeometry::BarCurves bar =
                ChartGeometry::barCurves(x, point.concentration, point.lower, point.upper, halfWidth, halfHeight);
            if (!bar.upperWhisker.isEmpty())
                m_items.attach(lineCurve(bar.upperWhisker), this);
            if (!bar.lowerWhisker.isEmpty())
                m_items.attach(lineCurve(bar.lowerWhisker), this);
            QwtPlotCurve *box = lineCurve(bar.box);
            box->setBrush(QBrush(QColor(point.color), Qt::SolidPattern));
            m_items.attach(box, this);
        }
    }

    const double bottom = ChartGeometry::dividerBottom(m_linear);
    for (int i = 1; i < groups.size(); ++i) {
        const double x = ChartGeometry::GroupWidth * i;
        QwtPlotCurve *divider = lineCurve({{x, bottom}, {x, m_yMaximum}});
        divider->setPen(QColor(200, 200, 200, 255));
        m_items.attach(divider, this);
    }
}

void ZtConcentration::mousePressEvent(QMouseEvent *event)
{
    plotImageActionPress(this, event,
                         {currentFileBaseName + QStringLiteral("_concentration.png"),
                          currentFileBaseName + QStringLiteral("_concentration.svg"), QStringLiteral("ViewResult"),
                          QStringLiteral("ConcentrationGraphy")});
    QwtBasic::mousePressEvent(event);
}

void ZtConcentration::mouseDoubleClickEvent(QMouseEvent *event)
{
    setAxisScale(QwtPlot::yLeft, m_linear ? 0.0 : 0.001, m_yMaximum, 0);
    replot();
    QwtBasic::mouseDoubleClickEvent(event);
}

void ZtConcentration::enterEvent(QEvent *event)
{
    plotImageActionEnter(this, QStringLiteral(":/ViewResult/Concentration/assert/cursor_help.png"),
                         QStringLiteral(":/ViewResult/Concentration/assert/cursor_save.png"));
    QwtBasic::enterEvent(event);
}

void ZtConcentration::leaveEvent(QEvent *event)
{
    plotImageActionLeave(this);
    QwtBasic::leaveEvent(event);
}
