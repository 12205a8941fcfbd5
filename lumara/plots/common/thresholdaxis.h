#pragma once
// A plot's grey-value axis that reaches past the threshold lines drawn across it. A threshold
// above all of a well's values (a no-template control's) would otherwise lie beyond the axis
// the values alone give: neither seen nor to be taken hold of. One per value axis of a page's
// plot; it remembers what it set, so that a zoom or pan the user made since is told apart and
// kept. An image drawn once (an export's) takes a fresh one.
#include "shell/globalvalues.h"

#include <QVector>

class QwtPlot;

class ThresholdAxis {
public:
    // The margin by which a line lies inside, as a share of the span of range and lines.
    static constexpr double MarginShare = 1.0 / 20;

    // The range widened so that every line lies inside it by the margin; unchanged while every
    // line lies at least half the margin inside. A line never takes the lower bound below 0,
    // where panning stops too.
    static AxisRange reachPast(const AxisRange &range, const QVector<double> &lines);

    // The page has set `range` on the plot's axis: it is widened there for the lines shown
    // (empty when they are hidden). No replot.
    void fit(QwtPlot *plot, int axis, const AxisRange &range, const QVector<double> &lines);
    // The same for the range the plot scaled the axis to for what it draws (the bars, the
    // droplets).
    void fitScaled(QwtPlot *plot, int axis, const QVector<double> &lines);
    // The page has set bounds the user typed: they stay, and count as the user's, like a zoom.
    void leaveToUser() { m_tracking = false; }

    // The lines moved (`moved` among all of `lines`), typed or dragged on another plot, or
    // dragged on this one (`dragged`). Typed: the page's range gets what the page would set
    // for the lines now; the user's zoom (or typed bounds) widens only where a moved line
    // lies past an end, and comes back when it no longer does. Dragged: the axis holds still
    // under the pointer until the line is pulled past an end, which then follows it. True
    // when the axis changed; the caller replots.
    bool follow(QwtPlot *plot, int axis, const QVector<double> &lines, const QVector<double> &moved, bool dragged);

private:
    bool m_tracking = false;  // the axis shows m_shown, as set here since the user's last change
    bool m_pageRange = false; // m_base is the page's range; else the user's zoom or bounds
    AxisRange m_base;         // what is widened for the lines
    AxisRange m_shown;
};
