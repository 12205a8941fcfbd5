#include "analysisresultmgr.h"

using namespace LumaraAnalysisData;

class AnalysisResultMgrPrivate {
public:
    QList<WellResultInfo> results;
    QcThresholdInfo qcThresholds;

    int wellPosition(uint wellId) const
    {
        for (int i = 0; i < results.size(); ++i)
            if (results.at(i).wellId == wellId)
                return i;
        return -1;
    }

    // The population's position, taken from the first well.
    int populationPosition(uint populationId) const
    {
        if (results.isEmpty())
            return -1;
        const QVector<PopulationResultInfo> &first = results.first().populationResults;
        for (int p = 0; p < first.size(); ++p)
            if (first.at(p).populationId == populationId)
                return p;
        return -1;
    }

    // The well's entry of the population, or null when the well, the population or the
    // well's entry at the population's position is missing.
    PopulationResultInfo *population(uint wellId, uint populationId)
    {
        const int p = populationPosition(populationId);
        const int w = wellPosition(wellId);
        if (p < 0 || w < 0 || p >= results.at(w).populationResults.size())
            return nullptr;
        return &results[w].populationResults[p];
    }

    // The well's channel entry; channels are 1..6 and a stored record may hold fewer entries.
    ChanResultInfo *channel(uint wellId, uint channel)
    {
        if (channel < 1 || channel > uint(PerChannel))
            return nullptr;
        const int w = wellPosition(wellId);
        if (w < 0 || int(channel) > results.at(w).chanResults.size())
            return nullptr;
        return &results[w].chanResults[int(channel) - 1];
    }
};

AnalysisResultInterface::~AnalysisResultInterface() = default;

AnalysisResultMgr::AnalysisResultMgr() : d_ptr(new AnalysisResultMgrPrivate) {}

AnalysisResultMgr::~AnalysisResultMgr() = default;

const WellResultInfo &AnalysisResultMgr::getWellResult(uint wellId) const
{
    Q_D(const AnalysisResultMgr);
    const int w = d->wellPosition(wellId);
    if (w < 0)
        throw "Well id is invalid!";
    return d->results.at(w);
}

void AnalysisResultMgr::appendWellResult(const WellResultInfo &result)
{
    Q_D(AnalysisResultMgr);
    d->results.append(result);
}

bool AnalysisResultMgr::appendPopulationResult(uint wellId, const PopulationResultInfo &result)
{
    Q_D(AnalysisResultMgr);
    const int w = d->wellPosition(wellId);
    if (w < 0)
        return false;
    d->results[w].populationResults.append(result);
    return true;
}

bool AnalysisResultMgr::removeWell(uint wellId)
{
    Q_D(AnalysisResultMgr);
    const int w = d->wellPosition(wellId);
    if (w < 0)
        return false;
    d->results.removeAt(w);
    return true;
}

bool AnalysisResultMgr::removePopulationResult(uint populationId)
{
    Q_D(AnalysisResultMgr);
    const int p = d->populationPosition(populationId);
    if (p < 0)
        return false;
    for (WellResultInfo &well : d->results) {
        if (p < well.populationResults.size())
            well.populationResults.removeAt(p);
    }
    return true;
}

void AnalysisResultMgr::clearPopulationResults()
{
    Q_D(AnalysisResultMgr);
    for (WellResultInfo &well : d->results)
        well.populationResults.clear();
}

bool AnalysisResultMgr::setEffDrpltNum(uint wellId, uint number)
{
    Q_D(AnalysisResultMgr);
    const int w = d->wellPosition(wellId);
    if (w < 0)
        return false;
    d->results[w].effDrpltNum = number;
    return true;
}

bool AnalysisResultMgr::setChanType(uint wellId, uint channel, ushort type)
{
    Q_D(AnalysisResultMgr);
    ChanResultInfo *c = d->channel(wellId, channel);
    if (!c)
        return false;
    c->chanType = type;
    return true;
}

bool AnalysisResultMgr::setPopulationResult(uint wellId, const PopulationResultInfo &result)
{
    Q_D(AnalysisResultMgr);
    PopulationResultInfo *p = d->population(wellId, result.populationId);
    if (!p)
        return false;
    const quint32 id = p->populationId;
    *p = result;
    p->populationId = id;
    return true;
}

bool AnalysisResultMgr::setPopulationCcttInfo(uint wellId, uint populationId, double concentration,
                                              double lower, double upper)
{
    Q_D(AnalysisResultMgr);
    PopulationResultInfo *p = d->population(wellId, populationId);
    if (!p)
        return false;
    p->concentration = concentration;
    p->concentrationLower = lower;
    p->concentrationUpper = upper;
    return true;
}

bool AnalysisResultMgr::setChanRefCctt(uint wellId, uint channel, double concentration)
{
    Q_D(AnalysisResultMgr);
    ChanResultInfo *c = d->channel(wellId, channel);
    if (!c)
        return false;
    c->refConcentration = concentration;
    return true;
}

bool AnalysisResultMgr::setChanDilution(uint wellId, uint channel, double dilution)
{
    Q_D(AnalysisResultMgr);
    ChanResultInfo *c = d->channel(wellId, channel);
    if (!c)
        return false;
    c->dilution = dilution;
    return true;
}

bool AnalysisResultMgr::setPopulationDilution(uint wellId, uint populationId, double dilution)
{
    Q_D(AnalysisResultMgr);
    PopulationResultInfo *p = d->population(wellId, populationId);
    if (!p)
        return false;
    p->dilution = dilution;
    return true;
}

bool AnalysisResultMgr::setPopulationPosDrpltNum(uint wellId, uint populationId, uint number)
{
    Q_D(AnalysisResultMgr);
    PopulationResultInfo *p = d->population(wellId, populationId);
    if (!p)
        return false;
    p->posDrpltNum = number;
    return true;
}

bool AnalysisResultMgr::setPopulationNegDrpltNum(uint wellId, uint populationId, uint number)
{
    Q_D(AnalysisResultMgr);
    PopulationResultInfo *p = d->population(wellId, populationId);
    if (!p)
        return false;
    p->negDrpltNum = number;
    return true;
}

bool AnalysisResultMgr::setPopulationUncertainty(uint wellId, uint populationId, double uncertainty)
{
    Q_D(AnalysisResultMgr);
    PopulationResultInfo *p = d->population(wellId, populationId);
    if (!p)
        return false;
    p->uncertainty = uncertainty;
    return true;
}

void AnalysisResultMgr::setQcThresholds(const QcThresholdInfo &thresholds)
{
    Q_D(AnalysisResultMgr);
    d->qcThresholds = thresholds;
}

QcThresholdInfo AnalysisResultMgr::getQcThresholds() const
{
    Q_D(const AnalysisResultMgr);
    return d->qcThresholds;
}

QList<WellResultInfo> &AnalysisResultMgr::getWellResults()
{
    Q_D(AnalysisResultMgr);
    return d->results;
}

void AnalysisResultMgr::setWellResults(const QList<WellResultInfo> &results)
{
    Q_D(AnalysisResultMgr);
    d->results = results;
}
