#include "bll/experimenteditmgr.h"

#include "bll/documentaccess.h"

#include <QSet>

using namespace LumaraAnalysisData;

namespace {

uint nonNegative(qint32 value)
{
    return value < 0 ? 0u : uint(value);
}

} // namespace

ExperimentEditMgr::ExperimentEditMgr(QObject *parent) : QObject(parent)
{
}

QList<WellEditRow> ExperimentEditMgr::getWellRows() const
{
    QList<WellEditRow> rows;
    ExperimentCfgMgr *cfg = DocumentAccess::experimentCfg();
    if (!cfg)
        return rows;
    const QList<WellInfo> wells = cfg->getExp().wells;
    DrpltImgInfoMgr *images = DocumentAccess::imageInfo();
    AnalysisResultMgr *results = DocumentAccess::results();
    for (const WellInfo &well : wells) {
        WellEditRow row;
        row.wellId = well.id;
        row.wellText = well.position;
        row.sampleName = well.sampleName;
        row.hasExcludedDroplets = DocumentAccess::readOr(
            images, [&](DrpltImgInfoMgr *m) { return !m->getImgAnalysisInfo(well.id).excludedDrplts.isEmpty(); },
            false);
        row.wellName = well.name;
        row.plateIndex = nonNegative(well.plateIndex);
        row.comment = well.comment;
        row.dropletSum = nonNegative(well.drpltSum);
        const WellResultInfo result = DocumentAccess::readOr(
            results, [&](AnalysisResultMgr *m) { return m->getWellResult(well.id); }, WellResultInfo());
        row.effDropletNum = result.effDrpltNum;
        row.chanResults = result.chanResults;
        rows.append(row);
    }
    return rows;
}

uint ExperimentEditMgr::getWellDropletNumber(uint wellId) const
{
    const QList<WellEditRow> rows = getWellRows();
    for (const WellEditRow &row : rows)
        if (row.wellId == wellId)
            return row.dropletSum;
    return 0;
}

QList<uint> ExperimentEditMgr::getUsedChannels() const
{
    QList<uint> used;
    const QList<WellInfo> wells = DocumentAccess::wells();
    for (const WellInfo &well : wells) {
        for (quint32 index : well.channels) {
            if (!used.contains(index + 1))
                used.append(index + 1);
        }
    }
    return used;
}

QList<TargetChannelInfo> ExperimentEditMgr::getTargetChannels() const
{
    QList<TargetChannelInfo> channels;
    ExperimentCfgMgr *cfg = DocumentAccess::experimentCfg();
    if (!cfg)
        return channels;
    QSet<quint32> used;
    for (const WellInfo &well : qAsConst(cfg->getWells()))
        for (quint32 index : well.channels)
            used.insert(index);
    const QVector<TargetInfo> targets = cfg->getExp().targets;
    for (int i = 0; i < targets.size(); ++i) {
        if (!targets.at(i).name.isEmpty() && used.contains(quint32(i)))
            channels.append({uint(i) + 1, targets.at(i).fluorophore, targets.at(i).name});
    }
    return channels;
}
