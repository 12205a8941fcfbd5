#include "analysisdatamgr.h"
#include "model/analysisexperimentmgr.h"
#include "model/analysisresultmgr.h"
#include "model/customizedplotmgr.h"
#include "model/drpltclassifymgr.h"
#include "model/drpltimginfomgr.h"
#include "model/filelogmgr.h"

using namespace LumaraAnalysisData;

class AnalysisDataMgrPrivate {
public:
    ThresholdMode thresholdMode = LineThreshold;
    AnalysisExperimentMgr *experimentMgr = nullptr;
    DrpltImgInfoMgr *imgInfoMgr = nullptr;
    CustomizedPlotMgr *plotMgr = nullptr;
    DrpltClassifyMgr *classifyMgr = nullptr;
    AnalysisResultMgr *resultMgr = nullptr;
    FileLogMgr *counters = nullptr;

    QList<uint> wellIds() const
    {
        QList<uint> ids;
        const QList<WellItemInfo> &wells = experimentMgr->getAnalysisExpGlobalInfo().wells;
        ids.reserve(wells.size());
        for (const WellItemInfo &w : wells)
            ids.append(w.wellId);
        return ids;
    }

    void setClassifyCounters(quint32 zone, quint32 population)
    {
        if (!counters)
            return;
        FileLogMgr::Log log = counters->getLog();
        log[FileLogMgr::ZoneCounter] = zone;
        log[FileLogMgr::PopulationCounter] = population;
        counters->setLog(log);
    }
};

AnalysisDataInterface::~AnalysisDataInterface() = default;

AnalysisDataMgr::AnalysisDataMgr(FileLogMgr *counters) : d_ptr(new AnalysisDataMgrPrivate)
{
    Q_D(AnalysisDataMgr);
    d->counters = counters;
    d->plotMgr = new CustomizedPlotMgr(counters);
    d->classifyMgr = new DrpltClassifyMgr(counters);
    d->imgInfoMgr = new DrpltImgInfoMgr;
    d->resultMgr = new AnalysisResultMgr;
    d->experimentMgr = new AnalysisExperimentMgr;
}

AnalysisDataMgr::~AnalysisDataMgr()
{
    Q_D(AnalysisDataMgr);
    delete d->plotMgr;
    delete d->classifyMgr;
    delete d->imgInfoMgr;
    delete d->resultMgr;
    delete d->experimentMgr;
}

AnalysisExperimentMgr *AnalysisDataMgr::getAnalysisExpMgr() const
{
    Q_D(const AnalysisDataMgr);
    return d->experimentMgr;
}

AnalysisResultMgr *AnalysisDataMgr::getAnalysisRetMgr() const
{
    Q_D(const AnalysisDataMgr);
    return d->resultMgr;
}

CustomizedPlotMgr *AnalysisDataMgr::getCustomizedPlotMgr() const
{
    Q_D(const AnalysisDataMgr);
    return d->plotMgr;
}

DrpltClassifyMgr *AnalysisDataMgr::getDrpltClassifyMgr() const
{
    Q_D(const AnalysisDataMgr);
    return d->classifyMgr;
}

DrpltImgInfoMgr *AnalysisDataMgr::getDrpltImgInfoMgr() const
{
    Q_D(const AnalysisDataMgr);
    return d->imgInfoMgr;
}

ThresholdMode AnalysisDataMgr::getThldType() const
{
    Q_D(const AnalysisDataMgr);
    return d->thresholdMode;
}

void AnalysisDataMgr::setThldType(ThresholdMode mode)
{
    Q_D(AnalysisDataMgr);
    d->thresholdMode = mode;
}

bool AnalysisDataMgr::removeWell(uint wellId)
{
    Q_D(AnalysisDataMgr);
    // Every manager is asked, whatever the others answer.
    const bool experiment = d->experimentMgr->removeWell(wellId);
    const bool images = d->imgInfoMgr->removeWell(wellId);
    const bool classification = d->thresholdMode == PolygonThreshold
        ? d->classifyMgr->removeWellnfoByPolygon(wellId)
        : d->classifyMgr->removeWellnfoByLine(wellId);
    const bool results = d->resultMgr->removeWell(wellId);
    return experiment && images && classification && results;
}

void AnalysisDataMgr::switch2LineMode(const QList<int> &channels)
{
    Q_D(AnalysisDataMgr);
    d->thresholdMode = LineThreshold;
    d->resultMgr->clearPopulationResults();
    const QList<uint> wellIds = d->wellIds();
    const int n = qMin(int(channels.size()), int(DrpltClassifyMgr::MaxLineChannels));
    d->classifyMgr->initClassifyGlobalInfoByLine(channels);
    d->classifyMgr->initClassifyInfosOfWellsByLine(wellIds, n);
    d->setClassifyCounters((1u << n) - 1u, quint32(n));
}

void AnalysisDataMgr::switch2PolygonMode()
{
    Q_D(AnalysisDataMgr);
    d->thresholdMode = PolygonThreshold;
    d->resultMgr->clearPopulationResults();
    const QList<uint> wellIds = d->wellIds();
    d->classifyMgr->initClassifyGlobalInfoByPolygon();
    d->classifyMgr->initClassifyInfosOfWellsByPolygon(wellIds);
    d->setClassifyCounters(0, 0);
}

FileLogMgr *AnalysisDataMgr::fileLogMgr() const
{
    Q_D(const AnalysisDataMgr);
    return d->counters;
}

void AnalysisDataMgr::setFileLogMgr(FileLogMgr *counters)
{
    Q_D(AnalysisDataMgr);
    d->counters = counters;
    d->plotMgr->setFileLogMgr(counters);
    d->classifyMgr->setFileLogMgr(counters);
}
