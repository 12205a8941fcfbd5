#include "drpltimginfomgr.h"

using namespace LumaraAnalysisData;

class DrpltImgInfoMgrPrivate {
public:
    QList<WellImageAnalysisInfo> wellInfos;

    int wellPosition(uint wellId) const
    {
        for (int i = 0; i < wellInfos.size(); ++i)
            if (wellInfos.at(i).wellId == wellId)
                return i;
        return -1;
    }
    WellImageAnalysisInfo *well(uint wellId)
    {
        const int i = wellPosition(wellId);
        return i < 0 ? nullptr : &wellInfos[i];
    }
    // Channels are 1..6; a record read from a package may hold fewer channel entries.
    static ChanAnalysisInfo *channel(WellImageAnalysisInfo &info, uint channel)
    {
        if (channel < 1 || channel > uint(PerChannel) || int(channel) > info.chanInfos.size())
            return nullptr;
        return &info.chanInfos[int(channel) - 1];
    }
};

DrpltImageInterface::~DrpltImageInterface() = default;

DrpltImgInfoMgr::DrpltImgInfoMgr() : d_ptr(new DrpltImgInfoMgrPrivate) {}

DrpltImgInfoMgr::~DrpltImgInfoMgr() = default;

const WellImageAnalysisInfo &DrpltImgInfoMgr::getImgAnalysisInfo(uint wellId) const
{
    Q_D(const DrpltImgInfoMgr);
    const int i = d->wellPosition(wellId);
    if (i < 0)
        throw "Well id is invalid!";
    return d->wellInfos.at(i);
}

void DrpltImgInfoMgr::appendImgAnalysis(const WellImageAnalysisInfo &info)
{
    Q_D(DrpltImgInfoMgr);
    d->wellInfos.append(info);
}

bool DrpltImgInfoMgr::removeWell(uint wellId)
{
    Q_D(DrpltImgInfoMgr);
    const int i = d->wellPosition(wellId);
    if (i < 0)
        return false;
    d->wellInfos.removeAt(i);
    return true;
}

void DrpltImgInfoMgr::clearData()
{
    Q_D(DrpltImgInfoMgr);
    d->wellInfos.clear();
}

void DrpltImgInfoMgr::restoreDrplts(uint wellId)
{
    Q_D(DrpltImgInfoMgr);
    if (WellImageAnalysisInfo *w = d->well(wellId))
        w->excludedDrplts.clear();
}

void DrpltImgInfoMgr::excludedDrplts(uint wellId, const QSet<uint> &indices)
{
    Q_D(DrpltImgInfoMgr);
    if (WellImageAnalysisInfo *w = d->well(wellId))
        w->excludedDrplts.unite(indices);
}

void DrpltImgInfoMgr::includedDrplts(uint wellId, const QSet<uint> &indices)
{
    Q_D(DrpltImgInfoMgr);
    if (WellImageAnalysisInfo *w = d->well(wellId))
        w->excludedDrplts.subtract(indices);
}

QList<WellImageAnalysisInfo> &DrpltImgInfoMgr::getWellImgAnalysisInfos()
{
    Q_D(DrpltImgInfoMgr);
    return d->wellInfos;
}

void DrpltImgInfoMgr::setWellImgAnalysisInfos(const QList<WellImageAnalysisInfo> &infos)
{
    Q_D(DrpltImgInfoMgr);
    d->wellInfos = infos;
}

void DrpltImgInfoMgr::setWellImgAnalsisInfo(WellImageAnalysisInfo info)
{
    Q_D(DrpltImgInfoMgr);
    if (WellImageAnalysisInfo *w = d->well(info.wellId))
        *w = std::move(info);
}

void DrpltImgInfoMgr::setDrpltQuality(uint wellId, uint channel, ChanAnalysisInfo &quality)
{
    Q_D(DrpltImgInfoMgr);
    WellImageAnalysisInfo *w = d->well(wellId);
    if (!w)
        return;
    ChanAnalysisInfo *c = DrpltImgInfoMgrPrivate::channel(*w, channel);
    if (!c)
        return;
    c->posMean = quality.posMean;
    c->posCv = quality.posCv;
    c->negMean = quality.negMean;
    c->negCv = quality.negCv;
    c->Rs = quality.Rs;
    c->rain = quality.rain;
}

void DrpltImgInfoMgr::setLineThld(uint wellId, uint channel, uint threshold, bool compensated)
{
    Q_D(DrpltImgInfoMgr);
    for (WellImageAnalysisInfo &w : d->wellInfos) {
        if (w.wellId != wellId)
            continue;
        ChanAnalysisInfo *c = DrpltImgInfoMgrPrivate::channel(w, channel);
        if (!c)
            continue;
        if (compensated)
            c->compensatedLineThld = threshold;
        else
            c->lineThld = threshold;
    }
}

void DrpltImgInfoMgr::setRoxValue(uint wellId, uint channel, double value)
{
    Q_D(DrpltImgInfoMgr);
    if (WellImageAnalysisInfo *w = d->well(wellId)) {
        w->roxChannel = channel;
        w->roxValue = value;
    }
}
