// The shared well list as a page shows it, and the droplet-quality dialog of a well.
#include "tour.h"

#include "bll/bllinstance.h"
#include "bll/dropletexclude.h"
#include "shell/dialoghost.h"
#include "shell/qcparamadialog.h"
#include "shell/wellheaderview.h"
#include "shell/welllistdelegate.h"
#include "shell/welllistmodel.h"
#include "shell/welllistview.h"

#include <QVBoxLayout>

#include <memory>
#include <stdexcept>

void addWellListStops(Tour &tour)
{
    tour.add(QStringLiteral("well-list"), [](TourContext &) {
        WellListModel *wells = WellListModel::instance();
        const QList<uint> ids = wells->getAllWellIDs();
        if (ids.isEmpty())
            throw std::runtime_error("the package has no well");
        // Two wells selected (one, when the package has no more), the last of them with
        // excluded droplets, the first current.
        const int shown = qMin(2, ids.size());
        QSet<uint> dropped;
        for (uint i = 0; i < 20; ++i)
            dropped.insert(i);
        BLLInstance::getInstance()->getDropletExclude()->excludeDroplets(ids.at(shown - 1), dropped);
        wells->setWellExclude(ids.at(shown - 1), true);
        wells->clearSelect();
        for (int row = 0; row < shown; ++row)
            wells->setData(wells->index(row, 0), true, WellListModel::WellSelect);
        wells->setCurrentWell(ids.at(0));
        wells->updateModel();

        QWidget page;
        page.resize(240, 600);
        auto *layout = new QVBoxLayout(&page);
        layout->setContentsMargins(0, 0, 0, 0);
        auto *header = new WellHeaderView(Qt::Horizontal, &page);
        header->setFixedHeight(32);
        auto *view = new WellListView(&page);
        view->setHorizontalHeader(header);
        view->setModel(wells);
        view->setItemDelegate(new WellListDelegate(view));
        layout->addWidget(view);
        const QImage image = grabWindow(&page);
        page.close();
        return image;
    });
    tour.add(QStringLiteral("droplet-quality"), [](TourContext &) {
        BLLInstance *bll = BLLInstance::getInstance();
        const QList<uint> ids = WellListModel::instance()->getAllWellIDs();
        const QList<uint> channels = ids.isEmpty() ? QList<uint>() : bll->getWellChannels(ids.first());
        if (channels.isEmpty())
            throw std::runtime_error("the first well has no target channel");
        QcParamaDialog dialog;
        dialog.showQcParams(ids.first(), channels.first());
        centreOnActiveWindow(&dialog);
        const QImage image = grabWindow(&dialog);
        dialog.close();
        return image;
    });
}
