#pragma once
#include "model/lumaraanalysisdata.h"
#include "tesmar_global.h"

#include <QScopedPointer>

class FileLogMgr;

// What the program reads and edits of the user-defined plots. The order of the virtual
// operations is part of the library's interface.
class TESMAR_EXPORT CustomizedPlotInterface {
public:
    virtual ~CustomizedPlotInterface();

    virtual const QList<LumaraAnalysisData::Customized2DPlotInfo> &get2DPlots() const = 0;
    virtual const QList<LumaraAnalysisData::Customized3DPlotInfo> &get3DPlots() const = 0;
    virtual uint add2DPlot(const LumaraAnalysisData::Customized2DPlotInfo &plot) = 0;
    virtual uint add3DPlot(const LumaraAnalysisData::Customized3DPlotInfo &plot) = 0;
    virtual bool remove2DPlot(uint id) = 0;
    virtual bool remove3DPlot(uint id) = 0;
    virtual void clearPlot() = 0;
    virtual bool rename2DPlotName(uint id, const QString &name) = 0;
    virtual bool rename3DPlotName(uint id, const QString &name) = 0;
};

class CustomizedPlotMgrPrivate;

// User-defined 2D and 3D plots in order of creation. New plots take their ids from the
// document's counters (2D and 3D separately); without counters no plot can be added.
class TESMAR_EXPORT CustomizedPlotMgr : public CustomizedPlotInterface {
public:
    explicit CustomizedPlotMgr(FileLogMgr *counters = nullptr);
    ~CustomizedPlotMgr() override;

    const QList<LumaraAnalysisData::Customized2DPlotInfo> &get2DPlots() const override;
    const QList<LumaraAnalysisData::Customized3DPlotInfo> &get3DPlots() const override;
    // The record's own id is ignored; returns the new id, 0 when there are no counters.
    uint add2DPlot(const LumaraAnalysisData::Customized2DPlotInfo &plot) override;
    uint add3DPlot(const LumaraAnalysisData::Customized3DPlotInfo &plot) override;
    bool remove2DPlot(uint id) override;
    bool remove3DPlot(uint id) override;
    // Empties both lists; the counters go on.
    void clearPlot() override;
    bool rename2DPlotName(uint id, const QString &name) override;
    bool rename3DPlotName(uint id, const QString &name) override;

    const LumaraAnalysisData::CustomizedPlotGlobalInfo &getCustomizedPlotGlobalInfo() const;
    // Replaces both lists as they are (ids kept; no counter is touched).
    void setCustomizedPlotGlobalInfo(const LumaraAnalysisData::CustomizedPlotGlobalInfo &info);

    FileLogMgr *fileLogMgr() const;
    void setFileLogMgr(FileLogMgr *counters);

private:
    Q_DISABLE_COPY(CustomizedPlotMgr)
    Q_DECLARE_PRIVATE(CustomizedPlotMgr)
    QScopedPointer<CustomizedPlotMgrPrivate> d_ptr;
};
