// The 2D dot-plot page: two plots with white fillers below and a dragged cross, four plots with
// their crosses, polygon mode with a population's zone, an unbound zone, a reshaped outline not
// yet applied and a thumbnail marked for deletion, and the axis dialog opened by a double click
// on a plot's y axis; as many plots as the package's channels give.
#include "tour.h"

#include "bll/bllinstance.h"
#include "bll/plotgroupmgr.h"
#include "plots/TwoDotPlot/addpopulationdialog.h"
#include "plots/TwoDotPlot/plot2ddot.h"
#include "plots/TwoDotPlot/polygonmgr.h"
#include "plots/TwoDotPlot/zt2dplot.h"
#include "plots/common/thumbnailmodel.h"
#include "plots/common/thumbnailview.h"
#include "shell/globalvalues.h"
#include "shell/welllistmodel.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <qwt_scale_widget.h>

#include <stdexcept>

namespace {

BLLInstance *bll()
{
    return BLLInstance::getInstance();
}

// The page as a user leaves it after choosing the wells and the shown combinations: those of
// the rows the package has.
void prepare(Plot2DDot *page, const QList<int> &wellRows, const QList<int> &shownRows)
{
    WellListModel *wells = WellListModel::instance();
    // The hub's announcement came before the page existed: the page and its panel start as
    // after a load.
    QMetaObject::invokeMethod(page->qmlRoot(), "initData");
    QMetaObject::invokeMethod(page, "initData");
    wells->clearSelect();
    for (int row : wellRows) {
        if (row < wells->rowCount())
            wells->setData(wells->index(row, 0), true, WellListModel::WellSelect);
    }
    emit page->wellListView()->sigWellSelectChange();
    ThumbnailModel *thumbs = page->thumbnailModel();
    for (int row = 0; row < thumbs->rowCount(); ++row)
        thumbs->setData(thumbs->index(row, 0), shownRows.contains(row), ThumbnailModel::ShownRole);
    emit page->thumbnailView()->modelDataChange();
}

// A rectangle over the given fractions of the channels' automatic ranges.
QPolygonF box(const Plot2DDot *page, uint x, uint y, double x0, double y0, double x1, double y1)
{
    const AxisRange rx = page->automaticRanges().value(int(x) - 1);
    const AxisRange ry = page->automaticRanges().value(int(y) - 1);
    const auto at = [](const AxisRange &r, double f) { return r.first + (r.second - r.first) * f; };
    return QPolygonF(QVector<QPointF>{{at(rx, x0), at(ry, y0)}, {at(rx, x1), at(ry, y0)},
                                      {at(rx, x1), at(ry, y1)}, {at(rx, x0), at(ry, y1)}});
}

QPair<uint, uint> firstShownChannels(const Plot2DDot *page)
{
    return bll()->getPlotGroupMgr()->get2DPlotChannels(page->shownPlotIds().value(0));
}

} // namespace

void addPlot2DStops(Tour &tour)
{
    tour.add(QStringLiteral("two-dot-plot-page"), [](TourContext &) {
        Plot2DDot page;
        page.resize(1600, 1000);
        prepare(&page, {0}, {0, 1});
        // A cross dragged on the first plot and not applied: the solid cross leaves the dotted.
        Zt2DPlot *plot = page.plot(0);
        const QPointF dragged = plot->dottedThreshold() * 1.3 + QPointF(300, 300);
        emit plot->updateTempThreshold(dragged);
        plot->setSolidThreshold(dragged);
        plot->replot();
        const QImage image = grabWindow(&page);
        page.close();
        // Not applied: the later stops find the run's own thresholds.
        WellListModel::instance()->cacheThresholds();
        return image;
    });
    tour.add(QStringLiteral("two-dot-plot-four-plots"), [](TourContext &) {
        // One more combination, the first one's axes swapped, for up to four plots.
        PlotGroupMgr *groups = bll()->getPlotGroupMgr();
        const QList<LumaraAnalysisData::Customized2DPlotInfo> plots = groups->get2DPlots();
        const uint added = plots.isEmpty() ? 0
            : groups->add2DPlot(QStringLiteral("Swapped"), plots.first().yChannel, plots.first().xChannel);
        Plot2DDot page;
        page.resize(1600, 1000);
        QImage image;
        try {
            prepare(&page, {0, 1, 2}, {0, 1, 2, 3});
            if (page.shownPlotIds().size() != qMin(4, page.thumbnailModel()->rowCount()))
                throw std::runtime_error("the chosen plots are not shown");
            image = grabWindow(&page);
        } catch (...) {
            if (added)
                groups->remove2DPlot(added);
            throw;
        }
        page.close();
        if (added)
            groups->remove2DPlot(added);
        return image;
    });
    tour.add(QStringLiteral("two-dot-plot-polygons"), [](TourContext &) {
        bll()->setThresholdingType(LumaraAnalysisData::PolygonThreshold);
        Plot2DDot page;
        page.resize(1600, 1000);
        QImage image;
        try {
            prepare(&page, {0}, {0});
            // Without a combination the page shows its polygon mode with no plot.
            if (page.shownPlotIds().isEmpty()) {
                image = grabWindow(&page);
                page.close();
                bll()->setThresholdingType(LumaraAnalysisData::LineThreshold);
                return image;
            }
            const QPair<uint, uint> xy = firstShownChannels(&page);
            Zt2DPlot *plot = page.plot(0);
            // A zone bound to a new population, named in the dialog as a user does.
            QTimer::singleShot(0, [] {
                if (auto *dialog = qobject_cast<AddpopulationDialog *>(QApplication::activeModalWidget()))
                    emit dialog->yesClicked(QStringLiteral("#F06060"), QStringLiteral("Double positive"));
            });
            emit plot->addPolygon(box(&page, xy.first, xy.second, 0.45, 0.45, 0.95, 0.95));
            // A zone of no population.
            QMetaObject::invokeMethod(page.qmlRoot(), "autoCreatePopulations", Q_ARG(bool, false));
            const QPolygonF unbound = box(&page, xy.first, xy.second, 0.05, 0.45, 0.35, 0.9);
            emit plot->addPolygon(unbound);
            // That zone reshaped and not applied: the pending outline beside the applied one.
            const QList<PolygonZoneInfo> zones = page.polygonMgr()->getPlotZones(
                int(WellListModel::instance()->getSelectWellIDs().value(0)), page.shownPlotIds().value(0));
            if (zones.size() != 2)
                throw std::runtime_error("the polygons did not become zones");
            emit plot->updateSharp({qMakePair(zones.last().applied,
                                              box(&page, xy.first, xy.second, 0.05, 0.4, 0.4, 0.8))});
            emit plot->enableApply();
            emit plot->resetAxisScale();
            // A thumbnail marked for deletion.
            ThumbnailModel *thumbs = page.thumbnailModel();
            thumbs->setData(thumbs->index(thumbs->rowCount() - 1, 0), true, ThumbnailModel::MarkedRole);
            QMetaObject::invokeMethod(&page, "deleteStatusChange");
            image = grabWindow(&page);
        } catch (...) {
            bll()->setThresholdingType(LumaraAnalysisData::LineThreshold);
            throw;
        }
        page.close();
        // The later stops find the run in line mode, as it was opened.
        bll()->setThresholdingType(LumaraAnalysisData::LineThreshold);
        return image;
    });
    tour.add(QStringLiteral("two-dot-plot-axis-dialog"), [](TourContext &) {
        Plot2DDot page;
        page.resize(1600, 1000);
        prepare(&page, {0}, {0});
        QImage image = grabWindow(&page);
        // Without a combination there is no axis to click: the page as it is.
        if (page.shownPlotIds().isEmpty()) {
            page.close();
            return image;
        }
        image = QImage();
        QTimer::singleShot(0, [&image] {
            if (QWidget *dialog = QApplication::activeModalWidget()) {
                image = grabWindow(dialog);
                dialog->close();
            }
        });
        QwtScaleWidget *axis = page.plot(0)->axisWidget(QwtPlot::yLeft);
        const QPoint at = axis->geometry().center();
        QTest::mouseDClick(page.plot(0), Qt::LeftButton, Qt::NoModifier, at);
        page.close();
        if (image.isNull())
            throw std::runtime_error("no axis dialog opened");
        return image;
    });
}
