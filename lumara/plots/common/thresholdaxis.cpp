#include "plots/common/thresholdaxis.h"

#include <algorithm>
#include <cmath>
#include <qwt_plot.h>
#include <qwt_scale_div.h>

AxisRange ThresholdAxis::reachPast(const AxisRange &range, const QVector<double> &lines)
{
    double low = range.first;
    double high = range.second;
    for (double v : lines) {
        if (std::isfinite(v)) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
    const double margin = (high - low) * MarginShare;
    if (!(margin > 0) || !std::isfinite(margin))
        return range;
    // Only half the margin decides whether a line is at an end: a range widened once keeps
    // its lines inside by more than that, so widening it again changes nothing.
    AxisRange out = range;
    for (double v : lines) {
        if (!std::isfinite(v))
            continue;
        if (v > range.second - margin / 2)
            out.second = std::max(out.second, std::ceil(v + margin));
        if (v < range.first + margin / 2)
            out.first = std::min(out.first, std::max(0.0, std::floor(v - margin)));
    }
    return out;
}

void ThresholdAxis::fit(QwtPlot *plot, int axis, const AxisRange &range, const QVector<double> &lines)
{
    m_tracking = true;
    m_pageRange = true;
    m_base = range;
    m_shown = reachPast(range, lines);
    if (m_shown != range)
        plot->setAxisScale(axis, m_shown.first, m_shown.second);
}

void ThresholdAxis::fitScaled(QwtPlot *plot, int axis, const QVector<double> &lines)
{
    plot->updateAxes();
    const QwtScaleDiv &div = plot->axisScaleDiv(axis);
    fit(plot, axis, AxisRange(div.lowerBound(), div.upperBound()), lines);
}

bool ThresholdAxis::follow(QwtPlot *plot, int axis, const QVector<double> &lines, const QVector<double> &moved,
                           bool dragged)
{
    plot->updateAxes();
    const QwtScaleDiv &div = plot->axisScaleDiv(axis);
    const AxisRange shown(div.lowerBound(), div.upperBound());
    if (!m_tracking || shown != m_shown) {
        // Zoomed, panned or typed by the user since: that view is what the lines widen.
        m_base = shown;
        m_pageRange = false;
    }
    AxisRange target = shown;
    if (dragged) {
        const bool past = std::any_of(moved.cbegin(), moved.cend(), [&shown](double v) {
            return std::isfinite(v) && (v < shown.first || v > shown.second);
        });
        if (past)
            target = reachPast(shown, moved);
    } else {
        // The user's view is not widened for the stored line, which did not move.
        target = reachPast(m_base, m_pageRange ? lines : moved);
    }
    m_tracking = true;
    m_shown = target;
    if (target == shown)
        return false;
    plot->setAxisScale(axis, target.first, target.second);
    return true;
}
