#pragma once
// The business layer's way into the analysis document. Managers are fetched afresh at every
// call (they change when a file opens) and are null while no document is open; the per-well
// lookups of the managers throw the C string "Well id is invalid!" for wells they do not hold,
// which the business layer turns into its stated fall-backs here.
#include "model/analysisdatamgr.h"
#include "model/analysisexperimentmgr.h"
#include "model/analysisresultmgr.h"
#include "model/compensationmatrixmgr.h"
#include "model/customizedplotmgr.h"
#include "model/devparasmgr.h"
#include "model/drpltclassifymgr.h"
#include "model/drpltimginfomgr.h"
#include "model/experimentcfgmgr.h"
#include "pcranalysisdocument.h"

#include <QDebug>

namespace DocumentAccess {

inline PcrAnalysisDocument *document()
{
    return PcrAnalysisDocument::getInstance();
}

inline ExperimentCfgMgr *experimentCfg()
{
    return document()->getExperimentCfgMgr();
}

inline AnalysisDataMgr *analysisData()
{
    return document()->getAnalysisDataMgr();
}

inline DevParasMgr *devParas()
{
    return document()->getDevParasMgr();
}

inline CompensationMatrixMgr *compensation()
{
    return document()->getCompensationMatrixMgr();
}

inline AnalysisExperimentMgr *analysisExperiments()
{
    AnalysisDataMgr *data = analysisData();
    return data ? data->getAnalysisExpMgr() : nullptr;
}

inline AnalysisResultMgr *results()
{
    AnalysisDataMgr *data = analysisData();
    return data ? data->getAnalysisRetMgr() : nullptr;
}

inline CustomizedPlotMgr *plots()
{
    AnalysisDataMgr *data = analysisData();
    return data ? data->getCustomizedPlotMgr() : nullptr;
}

inline DrpltClassifyMgr *classify()
{
    AnalysisDataMgr *data = analysisData();
    return data ? data->getDrpltClassifyMgr() : nullptr;
}

inline DrpltImgInfoMgr *imageInfo()
{
    AnalysisDataMgr *data = analysisData();
    return data ? data->getDrpltImgInfoMgr() : nullptr;
}

inline bool compensationApplied()
{
    CompensationMatrixMgr *matrix = compensation();
    return matrix && matrix->isApplied();
}

// A copy of what read() returns, or fallback when there is no such manager or the manager
// does not hold the well. read gets the manager pointer.
template <typename Mgr, typename Read, typename T>
T readOr(Mgr *mgr, Read read, T fallback)
{
    if (!mgr)
        return fallback;
    try {
        return read(mgr);
    } catch (const char *what) {
        qDebug() << what;
        return fallback;
    }
}

// The configuration's well list (a copy), empty without a document.
inline QList<LumaraAnalysisData::WellInfo> wells()
{
    ExperimentCfgMgr *cfg = experimentCfg();
    return cfg ? cfg->getWells() : QList<LumaraAnalysisData::WellInfo>();
}

} // namespace DocumentAccess
