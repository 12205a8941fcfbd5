#include "pages/Explore/exploreview.h"

#include "pages/DropletImage/dropletmarkerlayer.h"
#include "pages/DropletImage/populationmembership.h"
#include "pages/Explore/explordrpltmarker.h"

#include "bll/bllinstance.h"
#include "bll/dropletexclude.h"
#include "bll/populationsmgr.h"
#include "bll/signaltransfer.h"
#include "shell/channelcolors.h"
#include "shell/welllistmodel.h"

#include <QGraphicsPixmapItem>

#include <algorithm>
#include <vector>

namespace {

const QString negativeColour = QStringLiteral("#555");

// Both ends included, given in either order.
bool inRange(uint value, const QPair<quint32, quint32> &range)
{
    return std::min(range.first, range.second) <= value && value <= std::max(range.first, range.second);
}

bool onSide(uint value, uint threshold, bool positive)
{
    return positive ? value >= threshold : value < threshold;
}

} // namespace

ExploreView::ExploreView(QWidget *parent) : DropletImageView(parent)
{
    SignalTransfer::getInstance()->forwardSignals(this);
}

ExploreView::~ExploreView() = default;

QPair<QString, QString> ExploreView::helpTopic() const
{
    return qMakePair(QStringLiteral("Explore"), QStringLiteral("ExplorePlot"));
}

void ExploreView::cancelMarkers()
{
    loadImage(wellId, channel);
    zoomSteps = 0;
    applyZoom();
}

void ExploreView::forgetDocument()
{
    showNothing();
    resetViewState();
    populationId = 0;
    markerChannel = 0;
    markerPositive = false;
    applyZoom();
}

int ExploreView::beginMarkerSet()
{
    if (!refreshImage())
        return -1;
    const int well = WellListModel::instance()->getSelectWellID();
    return well >= 1 ? well : -1;
}

template <typename Test>
void ExploreView::placeMarkers(int well, bool selectAll, bool zoom, Test test)
{
    const LumaraAnalysisData::WellImageAnalysisInfo &record =
        BLLInstance::getInstance()->getDropletExclude()->getImgAnalysisInfo(uint(well));
    const int count = record.droplets.size();
    std::vector<char> excluded(size_t(count), 0);
    for (quint32 index : record.excludedDrplts)
        if (index < uint(count))
            excluded[index] = 1;

    int minX = 100000;
    int maxX = 0;
    int minY = 100000;
    int maxY = 0;
    bool marked = false;
    for (int i = 0; i < count; ++i) {
        const bool out = excluded[size_t(i)] != 0;
        if (!test(i, out))
            continue;
        const LumaraAnalysisData::DrpltInfo &droplet = record.droplets.at(i);
        auto *marker = new ExplorDrpltMarker;
        marker->id = uint(i);
        marker->setPos(droplet.x, droplet.y);
        marker->excluded = out;
        if (selectAll)
            marker->setMarkSelected(true);
        marker->shown = true;
        marker->setParentItem(pixmapItem);
        minX = std::min(minX, int(droplet.x));
        maxX = std::max(maxX, int(droplet.x));
        minY = std::min(minY, int(droplet.y));
        maxY = std::max(maxY, int(droplet.y));
        marked = true;
    }
    if (DropletMarkerLayer *layer = DropletMarkerLayer::of(pixmapItem))
        layer->markersChanged();
    viewport()->update();
    if (zoom && marked)
        zoomToRegion(minX, maxX, minY, maxY);
}

void ExploreView::markBy1DThreshold(uint imageChannel, bool positive, bool selectAll)
{
    const int well = beginMarkerSet();
    if (well < 1)
        return;
    markerChannel = imageChannel;
    markerPositive = positive;
    markerColorMode = 1;
    markerColor = positive ? getChannelColor(int(imageChannel)) : negativeColour;
    BLLInstance *bll = BLLInstance::getInstance();
    const uint threshold = bll->getThldByLine(uint(well), imageChannel);
    const QVector<uint> greys = bll->getAllDropletGrayValues(uint(well), imageChannel);
    placeMarkers(well, selectAll, false,
                 [&](int i, bool) { return onSide(greys.value(i), threshold, positive); });
}

void ExploreView::markBy2DThreshold(uint ch1, uint ch2, bool ch1Positive, bool ch2Positive, bool selectAll)
{
    const int well = beginMarkerSet();
    if (well < 1)
        return;
    markerColorMode = 1;
    if (ch1Positive && ch2Positive)
        markerColor = getTwoChannelColor(int(ch1), int(ch2));
    else if (ch1Positive)
        markerColor = getChannelColor(int(ch1));
    else if (ch2Positive)
        markerColor = getChannelColor(int(ch2));
    else
        markerColor = negativeColour;
    BLLInstance *bll = BLLInstance::getInstance();
    const uint t1 = bll->getThldByLine(uint(well), ch1);
    const uint t2 = bll->getThldByLine(uint(well), ch2);
    const QVector<uint> g1 = bll->getAllDropletGrayValues(uint(well), ch1);
    const QVector<uint> g2 = bll->getAllDropletGrayValues(uint(well), ch2);
    placeMarkers(well, selectAll, false, [&](int i, bool) {
        return onSide(g1.value(i), t1, ch1Positive) && onSide(g2.value(i), t2, ch2Positive);
    });
}

void ExploreView::markBy1DRect(QPair<quint32, quint32> indexRange, QPair<quint32, quint32> greyRange,
                               uint imageChannel, bool selectAll)
{
    const int well = beginMarkerSet();
    if (well < 1)
        return;
    markerColorMode = 0;
    const QVector<uint> greys = BLLInstance::getInstance()->getAllDropletGrayValues(uint(well), imageChannel);
    uint kept = 0; // the droplet's x on the 1D plot, which shows the kept droplets only
    placeMarkers(well, selectAll, true, [&](int i, bool excluded) {
        if (excluded)
            return false;
        const uint position = kept++;
        return inRange(position, indexRange) && inRange(greys.value(i), greyRange);
    });
}

void ExploreView::markBy2DRect(QPair<quint32, quint32> ch1Range, QPair<quint32, quint32> ch2Range, uint ch1,
                               uint ch2, bool selectAll)
{
    const int well = beginMarkerSet();
    if (well < 1)
        return;
    markerColorMode = 0;
    BLLInstance *bll = BLLInstance::getInstance();
    const QVector<uint> g1 = bll->getAllDropletGrayValues(uint(well), ch1);
    const QVector<uint> g2 = bll->getAllDropletGrayValues(uint(well), ch2);
    placeMarkers(well, selectAll, true,
                 [&](int i, bool) { return inRange(g1.value(i), ch1Range) && inRange(g2.value(i), ch2Range); });
}

void ExploreView::markByPopulation(uint population, bool selectAll)
{
    if (population == 0)
        return;
    const int well = beginMarkerSet();
    if (well < 1)
        return;
    populationId = population;
    markerColorMode = 1;
    markerColor = BLLInstance::getInstance()->getPopulationsMgr()->getPopulation(population).signColor;
    const PopulationMembership members(uint(well), population);
    placeMarkers(well, selectAll, false, [&](int i, bool) { return members.contains(i); });
}

void ExploreView::showMarkerBy1DThreshold(uint imageChannel, bool positive, bool selectAll)
{
    zoomSteps = 0;
    markBy1DThreshold(imageChannel, positive, selectAll);
}

void ExploreView::showMarkerBy2DThreshold(uint ch1, uint ch2, bool ch1Positive, bool ch2Positive, bool selectAll)
{
    zoomSteps = 0;
    markBy2DThreshold(ch1, ch2, ch1Positive, ch2Positive, selectAll);
}

void ExploreView::showMarkerBy1DRect(QPair<quint32, quint32> indexRange, QPair<quint32, quint32> greyRange,
                                     uint imageChannel, bool selectAll)
{
    zoomSteps = 0;
    markBy1DRect(indexRange, greyRange, imageChannel, selectAll);
}

void ExploreView::showMarkerBy2DRect(QPair<quint32, quint32> ch1Range, QPair<quint32, quint32> ch2Range, uint ch1,
                                     uint ch2, bool selectAll)
{
    zoomSteps = 0;
    markBy2DRect(ch1Range, ch2Range, ch1, ch2, selectAll);
}
