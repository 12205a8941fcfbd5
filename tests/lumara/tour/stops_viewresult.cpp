// View Results: the result table with a merged sample, the concentration bars of two rows and
// the uncertainty curve of one row. The tour's package gives wells 1 and 3 one sample name.
#include "tour.h"

#include "pages/ViewResult/concentration.h"
#include "pages/ViewResult/populationselectmodel.h"
#include "pages/ViewResult/resultmodel.h"
#include "pages/ViewResult/resulttable.h"
#include "pages/ViewResult/uncertainly.h"
#include "pages/viewresult.h"
#include "shell/mainwindows.h"

#include <QQuickItem>

#include <stdexcept>

namespace {

ResultModel *rows()
{
    return ResultModel::instance();
}

// The merged rows the page switch has built; the tour's package must give one.
void requireMergedRow()
{
    if (rows()->getMergedRows().isEmpty())
        throw std::runtime_error("the tour's package gives no merged row");
}

// Selects these rows of the chart lists (list mode 0: wells, then merged rows).
void selectRows(const QList<int> &tableRows)
{
    rows()->clearSelect();
    for (int row : tableRows)
        rows()->addSelectRow(row);
    rows()->updateModel();
}

} // namespace

void addViewResultStops(Tour &tour)
{
    tour.add(QStringLiteral("result-table"), [](TourContext &context) {
        auto *page = qobject_cast<ViewResult *>(context.visit(4, 0));
        if (!page)
            throw std::runtime_error("no View Results page");
        requireMergedRow();
        // Both mode, as its button does; the first well selected.
        QMetaObject::invokeMethod(page->resultTable()->rootObject(), "clickedBoth");
        return grabWindow(context.window);
    });
    tour.add(QStringLiteral("concentration"), [](TourContext &context) {
        context.visit(4, 1);
        requireMergedRow();
        rows()->setListMode(0);
        // The chart lists have no header row: the first well and the merged row after the
        // wells; the page charts them when shown again.
        selectRows({0, context.wellCount});
        auto *page = qobject_cast<ViewResult *>(context.visit(4, 1));
        if (!page || page->concentration()->populationModel()->getSelectIDs().isEmpty())
            throw std::runtime_error("no population ticked on the concentration page");
        return grabWindow(context.window);
    });
    tour.add(QStringLiteral("uncertainty"), [](TourContext &context) {
        context.visit(4, 2);
        selectRows({context.wellCount});
        auto *page = qobject_cast<ViewResult *>(context.visit(4, 2));
        if (!page || page->uncertainty()->populationModel()->getSelectIDs().size() != 1)
            throw std::runtime_error("the uncertainty page charts no population");
        return grabWindow(context.window);
    });
}
