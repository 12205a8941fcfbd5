#include "filelogmgr.h"

#include <algorithm>

using namespace LumaraAnalysisData;

namespace {

template <typename C, typename IdOf>
quint32 largestId(const C &records, IdOf idOf)
{
    quint32 largest = 0;
    for (const auto &r : records)
        largest = std::max(largest, quint32(idOf(r)));
    return largest;
}

} // namespace

void FileLogMgr::rebuild(const AnalysisExpGlobalInfo &experiments,
                         const ClassifyGlobalInfo &classification,
                         const CustomizedPlotGlobalInfo &plots)
{
    m_log[ExperimentCounter] = largestId(experiments.experiments, [](const ExpItemInfo &e) { return e.id; });
    m_log[WellCounter] = largestId(experiments.wells, [](const WellItemInfo &w) { return w.wellId; });
    m_log[ZoneCounter] = largestId(classification.zones, [](const DrpltZoneInfo &z) { return z.id; });
    m_log[PopulationCounter] =
        largestId(classification.populations, [](const PopulationsInfo &p) { return p.id; });
    m_log[Plot2DCounter] = largestId(plots.plots2D, [](const Customized2DPlotInfo &p) { return p.id; });
    m_log[Plot3DCounter] = largestId(plots.plots3D, [](const Customized3DPlotInfo &p) { return p.id; });
}

void FileLogMgr::derive3DPlotCounter(const QList<Customized3DPlotInfo> &plots3D)
{
    m_log[Plot3DCounter] = std::max(
        m_log[Plot3DCounter], largestId(plots3D, [](const Customized3DPlotInfo &p) { return p.id; }));
}
