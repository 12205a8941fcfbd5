#include "io/analysisdatafileparser.h"

#include "io/recordstream.h"
#include "model/analysisdatamgr.h"
#include "model/analysisexperimentmgr.h"
#include "model/analysisresultmgr.h"
#include "model/customizedplotmgr.h"
#include "model/drpltclassifymgr.h"
#include "model/drpltimginfomgr.h"

using namespace LumaraAnalysisData;

AnalysisDataFileParser::AnalysisDataFileParser(const QString &zipPath, AnalysisDataMgr **target)
    : AnalysisFileParser(zipPath, QStringLiteral("run.pcr")), m_target(target)
{
}

bool AnalysisDataFileParser::write(QIODevice *device)
{
    AnalysisDataMgr *mgr = target();
    if (!mgr || !device || !device->isOpen())
        return false;
    QDataStream ds(device);
    EntryHeader::make(FileType, writtenVersion(version())).write(ds);
    const ThresholdMode mode = mgr->getThldType();
    writeRecord(ds, mode);
    writeRecord(ds, mgr->getAnalysisExpMgr()->getAnalysisExpGlobalInfo());
    writeContainer(ds, mgr->getDrpltImgInfoMgr()->getWellImgAnalysisInfos());
    const CustomizedPlotGlobalInfo &plots = mgr->getCustomizedPlotMgr()->getCustomizedPlotGlobalInfo();
    writeContainer(ds, plots.plots2D);
    writeContainer(ds, plots.plots3D);
    DrpltClassifyMgr *classify = mgr->getDrpltClassifyMgr();
    writeRecord(ds, classify->getClassifyGlobalInfo());
    // Only the current mode's per-well list is stored.
    if (mode != LineThreshold)
        writeContainer(ds, classify->getClassifyInfosOfWellsByPolygon());
    else
        writeContainer(ds, classify->getClassifyInfosOfWellsByLine());
    writeContainer(ds, mgr->getAnalysisRetMgr()->getWellResults());
    return ds.status() == QDataStream::Ok;
}
