#include "pages/QualityControl/dropletpannel.h"

#include "pages/DropletImage/dropletmarkerlayer.h"
#include "pages/DropletImage/populationmembership.h"
#include "pages/QualityControl/qcdrpltmarker.h"

#include "bll/bllinstance.h"
#include "bll/dropletexclude.h"
#include "bll/signaltransfer.h"
#include "shell/welllistmodel.h"

#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QScrollBar>

#include <algorithm>
#include <vector>

namespace {

// A droplet status value that marks a saturated channel.
constexpr quint32 SaturatedStatus = 3;

bool hasRows()
{
    return WellListModel::instance()->rowCount() > 0;
}

} // namespace

DropletPannel::DropletPannel(QWidget *parent) : DropletImageView(parent)
{
    SignalTransfer::getInstance()->forwardSignals(this);
    resetState();
}

DropletPannel::~DropletPannel() = default;

QPair<QString, QString> DropletPannel::helpTopic() const
{
    return qMakePair(QStringLiteral("QualityControl"), QStringLiteral("QC"));
}

int DropletPannel::adjustKind(int kind) const
{
    switch (kind) {
    case 1:
        return 0;
    case 2:
        return 1;
    default:
        return -1;
    }
}

void DropletPannel::setTitle(const QString &name)
{
    title = name;
}

void DropletPannel::reloadImage()
{
    // A failed load keeps the ids but no image: loading it again would only repeat the message.
    if (wellId != 0 && channel != 0 && !sourceImage.empty())
        loadImage(wellId, channel);
}

void DropletPannel::refitImage()
{
    fitScale();
    applyZoom();
}

void DropletPannel::resetState()
{
    clearPicks();
    wellId = 0;
    channel = 0;
    populationId = 0;
    resetViewState();
    pixmapItem = nullptr;
    negativeShown = excludedShown = positiveShown = saturatedShown = true;
}

void DropletPannel::clearScene()
{
    clearPicks();
    DropletImageView::clearScene();
    resetState();
}

QList<QCDrpltMarker *> DropletPannel::markers() const
{
    QList<QCDrpltMarker *> found;
    if (!pixmapItem)
        return found;
    for (QGraphicsItem *child : pixmapItem->childItems())
        if (child->type() == QCDrpltMarker::Type)
            found.append(static_cast<QCDrpltMarker *>(child));
    return found;
}

// ---- Markers -----------------------------------------------------------------------------------

void DropletPannel::imageLoaded()
{
    if (populationId == 0)
        populationId = WellListModel::instance()->getFirstPopulationID();
    drawMarkers(wellId, populationId);
    verticalScrollBar()->setValue(scrollV);
    horizontalScrollBar()->setValue(scrollH);
    viewport()->update();
}

void DropletPannel::imageAdjusted()
{
    drawMarkers(wellId, populationId);
}

void DropletPannel::drawMarkers(uint well, uint population)
{
    if (well == 0 || population == 0 || !pixmapItem)
        return;
    // Everything a droplet's state needs is read once: this runs over every droplet on every
    // load, step, exclusion and population switch.
    const LumaraAnalysisData::WellImageAnalysisInfo &record =
        BLLInstance::getInstance()->getDropletExclude()->getImgAnalysisInfo(well);
    const int count = record.droplets.size();
    std::vector<char> excluded(size_t(count), 0);
    for (quint32 index : record.excludedDrplts)
        if (index < uint(count))
            excluded[index] = 1;
    const PopulationMembership membership(well, population);

    for (int i = 0; i < count; ++i) {
        const LumaraAnalysisData::DrpltInfo &droplet = record.droplets.at(i);
        auto *marker = new QCDrpltMarker;
        marker->id = uint(i);
        marker->setPos(droplet.x, droplet.y);
        marker->excluded = excluded[size_t(i)] != 0;
        marker->saturated = std::find(droplet.flags.cbegin(), droplet.flags.cend(), SaturatedStatus)
            != droplet.flags.cend();
        marker->positive = membership.contains(i);
        // Each rule only hides: a marker hidden by one stays hidden whatever the others say.
        bool visible = true;
        if (marker->excluded && !excludedShown)
            visible = false;
        if (marker->saturated && !saturatedShown)
            visible = false;
        if (marker->positive ? !positiveShown : !negativeShown)
            visible = false;
        marker->setVisible(visible);
        marker->setParentItem(pixmapItem);
    }
    if (DropletMarkerLayer *layer = DropletMarkerLayer::of(pixmapItem))
        layer->markersChanged();
}

void DropletPannel::filterMarkers(int kind, bool visible)
{
    if (!pixmapItem)
        return;
    // Detached, so that the view does not follow each marker that changes.
    setScene(nullptr);
    for (QGraphicsItem *child : pixmapItem->childItems()) {
        if (child->type() != QCDrpltMarker::Type)
            continue;
        const auto *marker = static_cast<const QCDrpltMarker *>(child);
        bool matches = false;
        switch (kind) {
        case PositiveKind:
            matches = !marker->excluded && marker->positive;
            break;
        case NegativeKind:
            matches = !marker->excluded && !marker->positive;
            break;
        case SaturatedKind:
            matches = !marker->excluded && marker->saturated;
            break;
        case ExcludedKind:
        case AllKind:
            matches = marker->excluded;
            break;
        default:
            break;
        }
        if (matches)
            child->setVisible(visible);
    }
    setScene(imageScene);
    horizontalScrollBar()->setValue(scrollH);
    verticalScrollBar()->setValue(scrollV);
    if (DropletMarkerLayer *layer = DropletMarkerLayer::of(pixmapItem))
        layer->markersChanged();
}

void DropletPannel::showAll(bool flag)
{
    if (!hasRows())
        return;
    negativeShown = excludedShown = positiveShown = saturatedShown = flag;
    filterMarkers(AllKind, flag);
}

void DropletPannel::showNegtiveDroplets(bool flag)
{
    if (!hasRows())
        return;
    negativeShown = flag;
    filterMarkers(NegativeKind, flag);
}

void DropletPannel::showExcludeDroplets(bool flag)
{
    if (!hasRows())
        return;
    excludedShown = flag;
    filterMarkers(ExcludedKind, flag);
}

void DropletPannel::showPositiveDroplets(bool flag)
{
    if (!hasRows())
        return;
    positiveShown = flag;
    filterMarkers(PositiveKind, flag);
}

void DropletPannel::showSaturatedDroplets(bool flag)
{
    if (!hasRows())
        return;
    saturatedShown = flag;
    filterMarkers(SaturatedKind, flag);
}

void DropletPannel::switchPopulation(uint population)
{
    if (population == 0)
        return;
    if (!refreshImage())
        return;
    populationId = population;
    drawMarkers(wellId, population);
    viewport()->update();
}

// ---- Picks, exclusion and inclusion ------------------------------------------------------------

void DropletPannel::rightReleased()
{
    if (!pixmapItem)
        return;
    for (QGraphicsItem *child : pixmapItem->childItems()) {
        if (child->type() != QCDrpltMarker::Type)
            continue;
        const bool recorded = operations.contains(child);
        if (child->isSelected() && !recorded) {
            recordPick(child);
        } else if (!child->isSelected() && recorded) {
            operations.removeAll(child);
            if (operations.isEmpty())
                emit enableUndo(false);
        }
    }
}

void DropletPannel::exclude()
{
    if (wellId == 0 || sourceImage.empty() || sourceImage.cols < 51 || sourceImage.rows < 51)
        return;
    excludeSelected();
    afterExclusionChange();
}

void DropletPannel::include()
{
    if (wellId == 0 || sourceImage.empty() || sourceImage.cols < 51 || sourceImage.rows < 51)
        return;
    includeSelected();
    afterExclusionChange();
}

void DropletPannel::restore()
{
    // An image too small to work on is not asked about.
    if (wellId == 0 || sourceImage.empty() || sourceImage.cols < 51 || sourceImage.rows < 51)
        return;
    if (restoreWell())
        afterExclusionChange();
}

void DropletPannel::afterExclusionChange()
{
    imageScene->clearSelection();
    if (refreshImage())
        drawMarkers(wellId, populationId);
    syncWellExcludeFlag();
    viewport()->update();
    emit updateQCParenmertes();
}
