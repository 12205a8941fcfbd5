// The histogram and 1D dot-plot pages with up to three channels shown (with three, a white
// filler in the fourth cell), an unapplied dragged threshold, up to three wells on the 1D page,
// the logarithmic count axis, and both axis dialogs.
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

// The page as the user leaves it after choosing wells and showing up to three channels: the
// wells of those rows the package has, and as many channels as they give.
void prepare(ChannelPlotPage *page, const QList<int> &wellRows)
{
    WellListModel *wells = WellListModel::instance();
    if (wells->rowCount() < 1)
        throw std::runtime_error("the package has no well");
    // The hub's announcement came before the page existed: the panel is enabled as it would be.
    QMetaObject::invokeMethod(page->qmlRoot(), "initData");
    wells->clearSelect();
    for (int row : wellRows) {
        if (row < wells->rowCount())
            wells->setData(wells->index(row, 0), true, WellListModel::WellSelect);
    }
    emit page->wellListView()->sigWellSelectChange();
    ThumbnailModel *thumbs = page->thumbnailModel();
    for (int row = 1; row < qMin(3, thumbs->rowCount()); ++row)
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
        prepare(&page, {0, 1, 2});
        // The second well's line (the only one's of a single well) dragged up and not applied.
        Zetan1Plot *plot = page.plot(0);
        QVector<QPolygonF> lines = plot->solidThresholdLines();
        const int i = qMin(1, lines.size() - 1);
        if (i >= 0) {
            const uint dragged = uint(lines[i].first().y() * 1.3 + 300);
            lines[i] = QPolygonF(QVector<QPointF>{QPointF(lines[i].first().x(), dragged), QPointF(lines[i].last().x(), dragged)});
            plot->setSolidThresholdLines(lines);
            emit plot->updateTempThreshold({i}, dragged);
        }
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
