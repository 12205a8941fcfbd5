// The histogram and 1D dot-plot pages with three channels shown (a white filler in the fourth
// cell), an unapplied dragged threshold, several wells on the 1D page, the logarithmic count
// axis, and both axis dialogs.
#include "tour.h"

#include "plots/Histogram/histogram.h"
#include "plots/Histogram/histogrampropertydialog.h"
#include "plots/Histogram/zetanhistogramplot.h"
#include "plots/OneDotPlot/plot1ddot.h"
#include "plots/OneDotPlot/plot1dpropertydialog.h"
#include "plots/OneDotPlot/zetan1plot.h"
#include "plots/common/thumbnailmodel.h"
#include "shell/dialoghost.h"
#include "shell/globalvalues.h"
#include "shell/welllistmodel.h"

#include <stdexcept>

namespace {

// The page as the user leaves it after choosing wells and showing up to three channels.
void prepare(ChannelPlotPage *page, const QList<int> &wellRows)
{
    WellListModel *wells = WellListModel::instance();
    if (wells->rowCount() < wellRows.size())
        throw std::runtime_error("the package has too few wells");
    // The hub's announcement came before the page existed: the panel is enabled as it would be.
    QMetaObject::invokeMethod(page->qmlRoot(), "initData");
    wells->clearSelect();
    for (int row : wellRows)
        wells->setData(wells->index(row, 0), true, WellListModel::WellSelect);
    emit page->wellListView()->sigWellSelectChange();
    ThumbnailModel *thumbs = page->thumbnailModel();
    if (thumbs->rowCount() < 3)
        throw std::runtime_error("the selected wells have fewer than three channels");
    for (int row = 1; row < 3; ++row)
        thumbs->setData(thumbs->index(row, 0), true, ThumbnailModel::ShownRole);
    emit page->thumbnailView()->modelDataChange();
}

} // namespace

void addChannelPlotStops(Tour &tour)
{
    tour.add(QStringLiteral("histogram-page"), [](TourContext &) {
        isIndividualMode = 1;
        histogramLogAxis = 1;
        ThumbnailModel thumbs;
        Histogram page(&thumbs);
        page.resize(1600, 900);
        prepare(&page, {0});
        // A threshold dragged on the first plot and not applied: the solid line leaves the
        // dotted one.
        ZetanHistogramPlot *plot = page.plot(0);
        const uint dragged = uint(plot->getDotlineThreshold() * 1.4 + 300);
        plot->SetHistogramThresholdSoildLineValue(dragged);
        emit plot->updateTempThreshold(dragged);
        const QImage image = grabWindow(&page);
        histogramLogAxis = 0;
        page.close();
        return image;
    });
    tour.add(QStringLiteral("histogram-axis-dialog"), [](TourContext &) {
        HistogramPropertyDialog dialog;
        dialog.setAxisProperty(true, 1, 250);
        centreOnActiveWindow(&dialog);
        const QImage image = grabWindow(&dialog);
        dialog.close();
        return image;
    });
    tour.add(QStringLiteral("one-dot-plot-page"), [](TourContext &) {
        isIndividualMode = 1;
        ThumbnailModel thumbs;
        Plot1DDot page(&thumbs);
        page.resize(1600, 1000);
        const int rows = WellListModel::instance()->rowCount();
        prepare(&page, rows >= 3 ? QList<int>{0, 1, 2} : QList<int>{0, 1});
        // The second well's line dragged up and not applied.
        Zetan1Plot *plot = page.plot(0);
        QVector<QPolygonF> lines = plot->solidThresholdLines();
        if (lines.size() < 2)
            throw std::runtime_error("the 1D plot shows fewer than two wells");
        const uint dragged = uint(lines[1].first().y() * 1.3 + 300);
        lines[1] = QPolygonF(QVector<QPointF>{QPointF(lines[1].first().x(), dragged), QPointF(lines[1].last().x(), dragged)});
        plot->setSolidThresholdLines(lines);
        emit plot->updateTempThreshold({1}, dragged);
        const QImage image = grabWindow(&page);
        page.close();
        return image;
    });
    tour.add(QStringLiteral("one-dot-plot-axis-dialog"), [](TourContext &) {
        Plot1DpropertyDialog dialog;
        dialog.setBounds(1, 18000);
        centreOnActiveWindow(&dialog);
        const QImage image = grabWindow(&dialog);
        dialog.close();
        return image;
    });
}
