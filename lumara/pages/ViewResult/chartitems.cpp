#include "pages/ViewResult/chartitems.h"

#include <qwt_plot_item.h>

void ChartItems::attach(QwtPlotItem *item, QwtPlot *plot)
{
    item->attach(plot);
    m_items.append(item);
}

void ChartItems::clear()
{
    for (QwtPlotItem *item : qAsConst(m_items)) {
        item->detach();
        delete item;
    }
    m_items.clear();
}
