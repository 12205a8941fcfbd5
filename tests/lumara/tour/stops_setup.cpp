// The Set Up pages: the experiment table with its wells, and the spill-over compensation with
// points in the scatter plots of the channel pairs, the package's matrix (an empty one when it
// holds none) and the spectra of its dyes.
#include "tour.h"

#include "pages/Compensation/matrixmodel.h"
#include "pages/Compensation/setup2dplot.h"
#include "pages/Compensation/dyeemissionplot.h"
#include "pages/Compensation/spillovercompensate.h"
#include "pages/EditExperiment/experimentedit.h"
#include "pages/setup.h"
#include "shell/mainwindows.h"
#include "shell/welllistmodel.h"

#include <qwt_plot_curve.h>

#include <QQuickItem>

#include <stdexcept>

namespace {

// Points drawn in the plot, over all its curves.
size_t pointsOf(const QwtPlot *plot)
{
    size_t points = 0;
    for (const QwtPlotItem *item : plot->itemList(QwtPlotItem::Rtti_PlotCurve))
        points += static_cast<const QwtPlotCurve *>(item)->dataSize();
    return points;
}

} // namespace

void addSetUpStops(Tour &tour)
{
    tour.add(QStringLiteral("setup-edit-experiment"), [](TourContext &context) {
        WellListModel *wells = WellListModel::instance();
        if (wells->modelIsEmpty())
            throw std::runtime_error("no wells to edit");
        auto *page = qobject_cast<Setup *>(context.visit(1, 0));
        if (!page || page->currentIndex() != 0)
            throw std::runtime_error("no experiment table");
        wells->clearSelect();
        wells->setData(wells->index(qMin(1, wells->rowCount() - 1), 0), true, WellListModel::WellSelect);
        wells->updateModel();
        context.visit(1, 0);
        return grabWindow(context.window);
    });
    tour.add(QStringLiteral("setup-compensate-spillover"), [](TourContext &context) {
        WellListModel *wells = WellListModel::instance();
        context.visit(1, 1);
        wells->clearSelect();
        // Two wells, where the package has them.
        for (int row = 0; row < qMin(2, wells->rowCount()); ++row)
            wells->setData(wells->index(row, 0), true, WellListModel::WellSelect);
        wells->updateModel();
        auto *setup = qobject_cast<Setup *>(context.visit(1, 1));
        SpillOverCompensate *page = setup ? setup->spillOverCompensate() : nullptr;
        if (!page || setup->currentIndex() != 1)
            throw std::runtime_error("no compensation page");
        // A plot of each channel pair the wells give, up to two, with their droplets.
        const int pairs = page->plotCombinations().size();
        if ((pairs >= 1 && pointsOf(page->firstPlot()) == 0) || (pairs >= 2 && pointsOf(page->secondPlot()) == 0))
            throw std::runtime_error("a scatter plot without points");
        if (page->spectrogram()->shownCurves().isEmpty())
            throw std::runtime_error("no spectrum of the package's dyes is shown");
        return grabWindow(context.window);
    });
}
