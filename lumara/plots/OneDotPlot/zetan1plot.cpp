#include "plots/OneDotPlot/zetan1plot.h"

#include "plots/OneDotPlot/dotlayout.h"

#include "shell/imageactions.h"

#include <QHoverEvent>
#include <QMouseEvent>
#include <numeric>
#include <qwt_plot_canvas.h>

Zetan1Plot::Zetan1Plot(QWidget *parent) : Quorin1DPlot(parent)
{
    setStyleSheet(QStringLiteral("background-color: rgb(255,255,255)"));
    setAttribute(Qt::WA_Hover);
    // Buttonless moves over the canvas come to the plot as hover moves only when tracked.
    canvas()->setMouseTracking(true);
    installEventFilter(this);
}

Zetan1Plot::~Zetan1Plot() = default;

QSize Zetan1Plot::minimumSizeHint() const
{
    return QSize(200, 150);
}

QSize Zetan1Plot::sizeHint() const
{
    return QSize(600, 450);
}

void Zetan1Plot::setSolidThresholdLines(const QVector<QPolygonF> &lines)
{
    m_solidLines = lines;
    m_highlighted.clear();
    m_lineCaught = false;
    Set1DThresholdSoildLineValue(m_solidLines, {});
}

void Zetan1Plot::setDottedThresholdLines(const QVector<QPolygonF> &lines)
{
    m_dottedLines = lines;
    Set1DThresholdDottedLineValue(m_dottedLines);
}

void Zetan1Plot::setThresholdLinesVisible(bool visible)
{
    m_linesVisible = visible;
    if (!visible && m_lineCaught)
        highlight({});
    Set1DThresholdSoildLineVisible(visible);
    Set1DThresholdDottedLineVisible(visible);
}

QPointF Zetan1Plot::valueAt(const QPoint &pos) const
{
    const QPoint c = canvas()->mapFromParent(pos);
    return QPointF(invTransform(QwtPlot::xBottom, c.x()), invTransform(QwtPlot::yLeft, c.y()));
}

QVector<int> Zetan1Plot::linesAt(double x) const
{
    if (!m_linesVisible || m_solidLines.isEmpty())
        return {};
    if (!m_individual) {
        QVector<int> all(m_solidLines.size());
        std::iota(all.begin(), all.end(), 0);
        return all;
    }
    const int i = wellAtX(m_solidLines, x);
    return i < 0 ? QVector<int>() : QVector<int>{i};
}

void Zetan1Plot::highlight(const QVector<int> &lines)
{
    m_lineCaught = !lines.isEmpty();
    if (lines == m_highlighted)
        return;
    m_highlighted = lines;
    Set1DThresholdSoildLineValue(m_solidLines, m_highlighted);
}

void Zetan1Plot::hover(const QPoint &pos)
{
    const QPointF value = valueAt(pos);
    const QVector<int> lines = linesAt(value.x());
    if (lines.isEmpty()) {
        // Outside every well's span nothing changes, not even a caught line.
        return;
    }
    const uint threshold = greyAt(m_solidLines.at(lines.first()).first().y());
    if (catchesLine(threshold, greyAt(value.y())))
        highlight(lines);
    else if (m_lineCaught)
        highlight({});
}

bool Zetan1Plot::event(QEvent *event)
{
    if (event->type() == QEvent::HoverMove) {
        hover(static_cast<QHoverEvent *>(event)->pos());
        return true;
    }
    return Quorin1DPlot::event(event);
}

void Zetan1Plot::setPanning(bool on)
{
    // Every change replots the whole plot: only when it really changes.
    if (on == m_panning)
        return;
    m_panning = on;
    SetAxisPannerEnabled(on);
}

void Zetan1Plot::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_lineCaught) {
        setPanning(true);
        Quorin1DPlot::mouseMoveEvent(event);
        return;
    }
    // The press has already started a pan; taking the panner away ends it.
    setPanning(false);
    const QPointF value = valueAt(event->pos());
    const QVector<int> lines = linesAt(value.x());
    if (lines.isEmpty())
        return;
    const uint grey = greyAt(value.y());
    for (int i : lines) {
        QPolygonF &line = m_solidLines[i];
        line = QPolygonF(QVector<QPointF>{QPointF(line.first().x(), grey), QPointF(line.last().x(), grey)});
    }
    m_highlighted = lines;
    Set1DThresholdSoildLineValue(m_solidLines, m_highlighted);
    emit updateTempThreshold(lines, grey);
}

void Zetan1Plot::mousePressEvent(QMouseEvent *event)
{
    plotImageActionPress(this, event, plotImageNames(this, QStringLiteral("1DPlot"), QStringLiteral("1DDotPlot")));
    QWidget::mousePressEvent(event);
}

void Zetan1Plot::mouseDoubleClickEvent(QMouseEvent *event)
{
    emit resetAxisScale();
    Quorin1DPlot::mouseDoubleClickEvent(event);
}

void Zetan1Plot::enterEvent(QEvent *event)
{
    plotImageActionEnter(this, QStringLiteral(":/OneDotPlot/assets/cursor_help.png"),
                         QStringLiteral(":/OneDotPlot/assets/cursor_save.png"));
    Quorin1DPlot::enterEvent(event);
}

void Zetan1Plot::leaveEvent(QEvent *event)
{
    plotImageActionLeave(this);
    Quorin1DPlot::leaveEvent(event);
}
