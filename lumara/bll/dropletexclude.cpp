#include "bll/dropletexclude.h"

#include "bll/documentaccess.h"
#include "bll/signaltransfer.h"

using namespace LumaraAnalysisData;

namespace {

const WellImageAnalysisInfo &noRecord()
{
    static const WellImageAnalysisInfo none;
    return none;
}

const QImage &noImage()
{
    static const QImage none;
    return none;
}

const QVector<uint> &noCombinations()
{
    static const QVector<uint> none;
    return none;
}

QSet<quint32> excludedOf(uint wellId)
{
    return DocumentAccess::readOr(
        DocumentAccess::imageInfo(), [wellId](DrpltImgInfoMgr *m) { return m->getImgAnalysisInfo(wellId).excludedDrplts; },
        QSet<quint32>());
}

} // namespace

DropletExclude::DropletExclude(QObject *parent) : QObject(parent)
{
    SignalTransfer::getInstance()->forwardSignals(this);
}

void DropletExclude::excludeDroplets(uint wellId, const QSet<uint> &indices)
{
    DrpltImgInfoMgr *images = DocumentAccess::imageInfo();
    if (!images)
        return;
    // An index beyond the well's droplets would make the excluded count exceed the droplets
    // and the effective number wrap.
    const int droplets = DocumentAccess::readOr(
        images, [wellId](DrpltImgInfoMgr *m) { return m->getImgAnalysisInfo(wellId).droplets.size(); }, 0);
    QSet<uint> existing;
    for (uint index : indices)
        if (index < uint(droplets))
            existing.insert(index);
    const QSet<quint32> before = excludedOf(wellId);
    images->excludedDrplts(wellId, existing);
    updateCount(wellId, before);
}

void DropletExclude::includeDroplets(uint wellId, const QSet<uint> &indices)
{
    DrpltImgInfoMgr *images = DocumentAccess::imageInfo();
    if (!images)
        return;
    const QSet<quint32> before = excludedOf(wellId);
    images->includedDrplts(wellId, indices);
    updateCount(wellId, before);
}

void DropletExclude::restoreDroplets(uint wellId)
{
    DrpltImgInfoMgr *images = DocumentAccess::imageInfo();
    if (!images)
        return;
    const QSet<quint32> before = excludedOf(wellId);
    images->restoreDrplts(wellId);
    updateCount(wellId, before);
}

void DropletExclude::updateCount(uint wellId, const QSet<quint32> &excludedBefore)
{
    const WellImageAnalysisInfo info = DocumentAccess::readOr(
        DocumentAccess::imageInfo(), [wellId](DrpltImgInfoMgr *m) { return m->getImgAnalysisInfo(wellId); },
        WellImageAnalysisInfo());
    // Only exclusions of existing droplets count: a stored set may name others.
    const uint droplets = uint(info.droplets.size());
    uint excluded = 0;
    for (quint32 index : info.excludedDrplts)
        if (index < droplets)
            ++excluded;
    const uint effective = droplets - excluded;
    AnalysisResultMgr *results = DocumentAccess::results();
    const uint stored = DocumentAccess::readOr(
        results, [wellId](AnalysisResultMgr *m) { return uint(m->getWellResult(wellId).effDrpltNum); }, effective);
    // Nothing picked, or only droplets already so: the document is as it was, and announcing
    // a change would mark an unchanged file as changed.
    if (info.excludedDrplts == excludedBefore && stored == effective)
        return;
    if (results)
        results->setEffDrpltNum(wellId, effective);
    emit dataFixed();
}

const QImage &DropletExclude::getWellImage(uint wellId, int index) const
{
    AnalysisExperimentMgr *experiments = DocumentAccess::analysisExperiments();
    if (!experiments || index < 1)
        return noImage();
    try {
        const QVector<QImage> &images = experiments->getWellImg(wellId).images;
        return index <= images.size() ? images.at(index - 1) : noImage();
    } catch (const char *) {
        return noImage();
    }
}

const WellImageAnalysisInfo &DropletExclude::getImgAnalysisInfo(uint wellId) const
{
    DrpltImgInfoMgr *images = DocumentAccess::imageInfo();
    if (!images)
        return noRecord();
    try {
        return images->getImgAnalysisInfo(wellId);
    } catch (const char *) {
        return noRecord();
    }
}

const QVector<uint> &DropletExclude::getZoneCombinationOfChan() const
{
    DrpltClassifyMgr *classify = DocumentAccess::classify();
    return classify ? classify->getZoneCombinationOfChan() : noCombinations();
}
