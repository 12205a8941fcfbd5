#include "plots/Histogram/zetanhistogramplot.h"

#include "shell/imageactions.h"

#include <QHoverEvent>
#include <QMouseEvent>
#include <cmath>
#include <limits>
#include <qwt_plot_canvas.h>
#include <qwt_plot_marker.h>

namespace {

QString penColour(const QPen &pen)
{
    return pen.color().name(QColor::HexRgb);
}

} // namespace

bool nearHistogramLine(double threshold, int x)
{
    return std::fabs(threshold - x) < ZetanHistogramPlot::LineHoverDistance;
}

ZetanHistogramPlot::ZetanHistogramPlot(QWidget *parent) : QuorinHistogramPlot(parent)
{
    setAttribute(Qt::WA_Hover);
    setStyleSheet(QStringLiteral("background-color: rgb(255,255,255)"));
    canvas()->setMouseTracking(true);
    installEventFilter(this);
}

ZetanHistogramPlot::~ZetanHistogramPlot() = default;

int ZetanHistogramPlot::greyAt(const QPoint &pos) const
{
    const double x = invTransform(QwtPlot::xBottom, canvas()->mapFromParent(pos).x());
    if (!(std::fabs(x) < double(std::numeric_limits<int>::max())))
        return x > 0 ? std::numeric_limits<int>::max() : std::numeric_limits<int>::min();
    return int(x);
}

bool ZetanHistogramPlot::solidLineShown() const
{
    const double value = getSolidlineThreshold();
    for (QwtPlotItem *item : itemList(QwtPlotItem::Rtti_PlotMarker)) {
        auto *marker = static_cast<QwtPlotMarker *>(item);
        if (marker->lineStyle() == QwtPlotMarker::VLine && marker->linePen().style() == Qt::SolidLine
            && marker->xValue() == value)
            return marker->isVisible();
    }
    return false;
}

bool ZetanHistogramPlot::event(QEvent *event)
{
    if (event->type() != QEvent::HoverMove)
        return QuorinHistogramPlot::event(event);
    const bool near = solidLineShown()
                   && nearHistogramLine(getSolidlineThreshold(), greyAt(static_cast<QHoverEvent *>(event)->pos()));
    if (near != m_nearLine) {
        m_nearLine = near;
        SetHistogramThresholdSoildLineDraw(penColour(GetSolidlinePen()), near ? 3.0 : 1.4);
    }
    return true;
}

void ZetanHistogramPlot::setPanning(bool on)
{
    if (on == m_panning)
        return;
    m_panning = on;
    SetAxisPannerEnabled(on);
}

void ZetanHistogramPlot::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_nearLine) {
        setPanning(true);
        QWidget::mouseMoveEvent(event);
        return;
    }
    setPanning(false);
    // A threshold is never below 0; a pointer left of the axis drags the line to 0.
    const uint grey = uint(qMax(0, greyAt(event->pos())));
    SetHistogramThresholdSoildLineValue(grey);
    emit updateTempThreshold(grey);
}

void ZetanHistogramPlot::mousePressEvent(QMouseEvent *event)
{
    plotImageActionPress(this, event, plotImageNames(this, QStringLiteral("histogram"), QStringLiteral("Histogram")));
    QWidget::mousePressEvent(event);
}

void ZetanHistogramPlot::mouseDoubleClickEvent(QMouseEvent *event)
{
    emit resetAxisScale();
    QwtBasic::mouseDoubleClickEvent(event);
}

void ZetanHistogramPlot::enterEvent(QEvent *event)
{
    plotImageActionEnter(this, QStringLiteral(":/Histogram/assets/cursor_help.png"),
                         QStringLiteral(":/Histogram/assets/cursor_save.png"));
    QWidget::enterEvent(event);
}

void ZetanHistogramPlot::leaveEvent(QEvent *event)
{
    plotImageActionLeave(this);
    QWidget::leaveEvent(event);
}
