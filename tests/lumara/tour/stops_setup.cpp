// The Set Up pages: the experiment table with its wells, and the spill-over compensation with
// points in both scatter plots, the stored matrix and the spectra of the package's dyes.
#include "tour.h"

#include "bll/bllinstance.h"
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
        wells->setData(wells->index(1, 0), true, WellListModel::WellSelect);
        wells->updateModel();
        context.visit(1, 0);
        return grabWindow(context.window);
    });
    tour.add(QStringLiteral("setup-compensate-spillover"), [](TourContext &context) {
        WellListModel *wells = WellListModel::instance();
        if (wells->getAllWellIDs().size() < 2)
            throw std::runtime_error("the compensation page needs two wells");
        context.visit(1, 1);
        wells->clearSelect();
        wells->setData(wells->index(0, 0), true, WellListModel::WellSelect);
        wells->setData(wells->index(1, 0), true, WellListModel::WellSelect);
        wells->updateModel();
        auto *setup = qobject_cast<Setup *>(context.visit(1, 1));
        SpillOverCompensate *page = setup ? setup->spillOverCompensate() : nullptr;
        if (!page || setup->currentIndex() != 1)
            throw std::runtime_error("no compensation page");
        if (page->plotCombinations().size() < 2)
            throw std::runtime_error("fewer than two channel pairs");
        if (pointsOf(page->firstPlot()) == 0 || pointsOf(page->secondPlot()) == 0)
            throw std::runtime_error("a scatter plot without points");
        if (BLLInstance::getInstance()->getCompensationMatrixBuf().isEmpty())
            throw std::runtime_error("the package holds no matrix");
        if (page->spectrogram()->shownCurves().size() < 3)
            throw std::runtime_error("the spectra of the dyes are not shown");
        return grabWindow(context.window);
    });
}
