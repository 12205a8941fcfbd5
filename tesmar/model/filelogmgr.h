#pragma once
#include "model/lumaraanalysisdata.h"
#include "tesmar_global.h"

#include <array>

// Last ids handed out in the document, one counter per kind of record. The next id of a kind
// is its counter plus one, so ids stay unique across saves and merges.
class TESMAR_EXPORT FileLogMgr {
public:
    enum Counter {
        ExperimentCounter = 0,
        WellCounter,
        ZoneCounter,
        PopulationCounter,
        Plot2DCounter,
        Plot3DCounter,
        CounterCount
    };
    using Log = std::array<quint32, CounterCount>;

    FileLogMgr() = default;

    const Log &getLog() const { return m_log; }
    void setLog(const Log &log) { m_log = log; }

    quint32 nextExperimentId() { return ++m_log[ExperimentCounter]; }
    quint32 nextZoneId() { return ++m_log[ZoneCounter]; }
    quint32 nextPopulationId() { return ++m_log[PopulationCounter]; }
    quint32 next2DPlotId() { return ++m_log[Plot2DCounter]; }
    quint32 next3DPlotId() { return ++m_log[Plot3DCounter]; }

    // For a package without stored counters: every counter becomes the largest id in use of
    // its kind (0 when there is none). Lists need not be in ascending order: instrument
    // archives may list wells as 3, 1, 2.
    void rebuild(const LumaraAnalysisData::AnalysisExpGlobalInfo &experiments,
                 const LumaraAnalysisData::ClassifyGlobalInfo &classification,
                 const LumaraAnalysisData::CustomizedPlotGlobalInfo &plots);

    // The 3D plot counter is not stored with the others; after reading them it is raised to
    // the largest 3D plot id in use, so the next new plot does not repeat an id.
    void derive3DPlotCounter(const QList<LumaraAnalysisData::Customized3DPlotInfo> &plots3D);

private:
    Log m_log{};
};
