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

quint64 AnalysisDataFileParser::sizeBound() const
{
    AnalysisDataMgr *mgr = target();
    if (!mgr)
        return 0;
    // Per droplet its stored form; per well a generous allowance for names, thresholds,
    // figures and results.
    constexpr quint64 PerWell = 64 * 1024;
    quint64 bound = 1024 * 1024;
    const QList<WellImageAnalysisInfo> &records =
        mgr->getDrpltImgInfoMgr()->getWellImgAnalysisInfos();
    for (const WellImageAnalysisInfo &record : records) {
        bound += PerWell + 4 * quint64(record.excludedDrplts.size());
        for (const DrpltInfo &d : record.droplets)
            bound += 28 + 4 * quint64(d.flags.size() + d.values.size() + d.grays.size()) + 8 * quint64(d.grayPairs.size());
    }
    bound += PerWell * quint64(mgr->getAnalysisExpMgr()->getAnalysisExpGlobalInfo().wells.size());
    return bound;
}
