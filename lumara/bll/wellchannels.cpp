#include "bll/wellchannels.h"

#include "bll/documentaccess.h"

#include <algorithm>

using namespace LumaraAnalysisData;

namespace WellChannels {

QList<uint> targetChannels(uint wellId)
{
    QList<uint> channels;
    const QList<WellInfo> wells = DocumentAccess::wells();
    for (const WellInfo &well : wells) {
        if (well.id != wellId)
            continue;
        for (quint32 index : well.channels)
            channels.append(index + 1);
        break;
    }
    return channels;
}

uint referenceChannel(uint wellId)
{
    return DocumentAccess::readOr(
        DocumentAccess::analysisExperiments(),
        [wellId](AnalysisExperimentMgr *m) { return uint(m->getWellGlobal(wellId).refChanId); }, 0u);
}

QVector<int> analysisIndices(uint wellId)
{
    QVector<int> indices;
    const QList<uint> targets = targetChannels(wellId);
    for (uint channel : targets)
        indices.append(int(channel) - 1);
    const uint reference = referenceChannel(wellId);
    if (reference >= 1)
        indices.append(int(reference) - 1);
    std::sort(indices.begin(), indices.end());
    return indices;
}

} // namespace WellChannels
