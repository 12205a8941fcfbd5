// The 3D dot-plot page with a population chosen, the population editor while a population is
// edited, and the channel-combination and add-population dialogs; what the package's channels
// and populations give.
#include "tour.h"

#include "bll/bllinstance.h"
#include "bll/plotgroupmgr.h"
#include "bll/populationsmgr.h"
#include "plots/PopulationEdit/populationedit.h"
#include "plots/ThreeDotPlot/add3dcombition.h"
#include "plots/ThreeDotPlot/plot3ddot.h"
#include "plots/ThreeDotPlot/zonemodel.h"
#include "plots/TwoDotPlot/addplotcombition.h"
#include "plots/TwoDotPlot/addpopulationdialog.h"
#include "plots/common/populationmodel.h"
#include "plots/common/thumbnailmodel.h"
#include "shell/dialoghost.h"
#include "shell/mainwindows.h"
#include "shell/welllistmodel.h"

#include <QPainter>
#include <QQuickItem>
#include <QTest>
#include <QtDataVisualization/Q3DScatter>

#include <stdexcept>

namespace {

// Every well selected, so the pages and dialogs show the whole run.
void selectAllWells()
{
    WellListModel *wells = WellListModel::instance();
    wells->clearSelect();
    for (int row = 0; row < wells->rowCount(); ++row)
        wells->setData(wells->index(row, 0), true, WellListModel::WellSelect);
    wells->updateModel();
}

// A 3D plot over the targets and the reference channel, when the run has none (two targets
// give no default triple); none with fewer than three channels.
void ensure3DPlot()
{
    BLLInstance *bll = BLLInstance::getInstance();
    if (!bll->getPlotGroupMgr()->get3DPlots().isEmpty())
        return;
    const QList<uint> channels = bll->getSortedChannelsOfWells(WellListModel::instance()->getAllWellIDs());
    if (channels.size() >= 3)
        bll->getPlotGroupMgr()->add3DPlot(QString(), channels.at(0), channels.at(1), channels.at(2));
}

// An item of the visual tree by object name (repeated items have no QObject parent).
QQuickItem *findItem(QQuickItem *under, const QString &name)
{
    for (QQuickItem *child : under->childItems()) {
        if (child->objectName() == name)
            return child;
        if (QQuickItem *found = findItem(child, name))
            return found;
    }
    return nullptr;
}

// Checks the channel boxes of a combination view.
void check(QObject *root, const QList<int> &channels)
{
    auto *item = qobject_cast<QQuickItem *>(root);
    if (!item)
        throw std::runtime_error("the combination view did not load");
    for (int c : channels) {
        QQuickItem *box = findItem(item, QStringLiteral("channelBox%1").arg(c));
        if (!box)
            throw std::runtime_error("a channel box is missing");
        box->setProperty("checked", true);
    }
}

QImage grabDialog(QDialog *dialog)
{
    centreOnActiveWindow(dialog);
    const QImage image = grabWindow(dialog);
    dialog->close();
    return image;
}

} // namespace

void addPopulationStops(Tour &tour)
{
    tour.add(QStringLiteral("plot3d-population"), [](TourContext &) {
        selectAllWells();
        ensure3DPlot();
        Plot3DDot page;
        page.resize(1600, 900);
        page.show();
        if (!QTest::qWaitForWindowExposed(&page))
            throw std::runtime_error("the 3D page was never exposed");
        page.refreshPage();
        ThumbnailModel *thumbs = page.thumbnailModel();
        if (thumbs->rowCount() > 0)
            thumbs->setData(thumbs->index(0, 0), true, ThumbnailModel::ShownRole);
        // The first population after the list's first entry, where the run has one.
        if (page.getPopulationNames().size() >= 2)
            page.rootObject()->setProperty("currentPopulationIndex", 1);
        QMetaObject::invokeMethod(page.rootObject(), "openNewFile");
        QMetaObject::invokeMethod(page.rootObject(), "populationChange");
        QImage image = grabWindow(&page);
        // A grab leaves the graph's window container empty: the graph paints itself there.
        if (page.graph() && page.graphContainer()) {
            const QRect area(page.graphContainer()->mapTo(&page, QPoint(0, 0)), page.graphContainer()->size());
            QPainter painter(&image);
            painter.drawImage(area.topLeft(), page.graph()->renderToImage(0, area.size()));
        }
        page.close();
        return image;
    });
    tour.add(QStringLiteral("population-editor"), [](TourContext &) {
        PopulationEdit page;
        page.resize(1600, 900);
        page.refresh();
        // The first population being edited, where the run has one.
        if (page.populationModel()->rowCount() == 0) {
            const QImage image = grabWindow(&page);
            page.close();
            return image;
        }
        QObject *root = page.rootObject();
        root->setProperty("chosenIndex", 0);
        if (QObject *name = root->findChild<QObject *>(QStringLiteral("nameField")))
            name->setProperty("text", page.populationModel()->populationName(0));
        QMetaObject::invokeMethod(root, "updatePopulation", Q_ARG(int, 0));
        root->setProperty("shownColor", page.populationModel()->data(page.populationModel()->index(0), PopulationModel::SurfaceColorRole));
        root->setProperty("editing", true);
        const QImage image = grabWindow(&page);
        page.close();
        return image;
    });
    tour.add(QStringLiteral("add-3d-combination"), [](TourContext &) {
        selectAllWells();
        Add3DCombition dialog;
        // One channel checked: the others stay free and the name shows its target.
        const QList<uint> offered = BLLInstance::getInstance()->getChannelsOfWells(WellListModel::instance()->getSelectWellIDs());
        if (!offered.isEmpty())
            check(dialog.rootObject(), {int(offered.first())});
        return grabDialog(&dialog);
    });
    tour.add(QStringLiteral("add-2d-combination"), [](TourContext &) {
        selectAllWells();
        AddPlotCombition dialog;
        QList<int> both;
        for (uint c : BLLInstance::getInstance()->getChannelsOfWells(WellListModel::instance()->getSelectWellIDs()))
            both.prepend(int(c)); // the higher channel first: it becomes x
        check(dialog.rootObject(), both.mid(0, 2));
        return grabDialog(&dialog);
    });
    tour.add(QStringLiteral("add-population"), [](TourContext &context) {
        AddpopulationDialog dialog;
        dialog.setCircleColor(QStringLiteral("#b37c4e"));
        // As the editor opens it: the size of the window, the panel centred in it.
        dialog.resize(context.window->size());
        dialog.move(context.window->geometry().topLeft());
        const QImage image = grabWindow(&dialog);
        dialog.close();
        return image;
    });
}
