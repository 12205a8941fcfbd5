#pragma once
// The items a chart made itself. It alone deletes them: the plot base owns others (its grid),
// which a blanket removal would delete under it.
#include <QList>

class QwtPlot;
class QwtPlotItem;

class ChartItems {
public:
    ChartItems() = default;
    ChartItems(const ChartItems &) = delete;
    ChartItems &operator=(const ChartItems &) = delete;

    // Attaches the item to the plot and remembers it.
    void attach(QwtPlotItem *item, QwtPlot *plot);
    // Detaches and deletes every remembered item. Items still attached when the plot goes
    // are deleted by the plot, so this need not run then.
    void clear();

private:
    QList<QwtPlotItem *> m_items;
};
