#pragma once
#include "model/lumaraanalysisdata.h"
#include "tesmar_global.h"

#include <QScopedPointer>

class AnalysisExperimentMgr;
class AnalysisResultMgr;
class CustomizedPlotMgr;
class DrpltClassifyMgr;
class DrpltImgInfoMgr;
class FileLogMgr;

// What the program reads of the analysis state as a whole. The order of the virtual
// operations is part of the library's interface.
class TESMAR_EXPORT AnalysisDataInterface {
public:
    virtual ~AnalysisDataInterface();

    virtual LumaraAnalysisData::ThresholdMode getThldType() const = 0;
    virtual bool removeWell(uint wellId) = 0;
};

class AnalysisDataMgrPrivate;

// Owner of the five managers of one document's analysis state and of its threshold mode.
// The counters given at construction are handed to the managers that take ids.
class TESMAR_EXPORT AnalysisDataMgr : public AnalysisDataInterface {
public:
    explicit AnalysisDataMgr(FileLogMgr *counters = nullptr);
    ~AnalysisDataMgr() override;

    AnalysisExperimentMgr *getAnalysisExpMgr() const;
    AnalysisResultMgr *getAnalysisRetMgr() const;
    CustomizedPlotMgr *getCustomizedPlotMgr() const;
    DrpltClassifyMgr *getDrpltClassifyMgr() const;
    DrpltImgInfoMgr *getDrpltImgInfoMgr() const;

    LumaraAnalysisData::ThresholdMode getThldType() const override;
    // Stores the mode only.
    void setThldType(LumaraAnalysisData::ThresholdMode mode);
    // Removes the well from every manager (the classification of the current mode); true
    // only when every manager held it.
    bool removeWell(uint wellId) override;

    // Rebuild the classification for the mode; the population results are emptied. The zone
    // and population counters follow the new classification; experiment, well and plot
    // counters stay, since those records remain.
    void switch2LineMode(const QList<int> &channels);
    void switch2PolygonMode();

    FileLogMgr *fileLogMgr() const;
    // Hands other counters to this manager and to the managers it owns.
    void setFileLogMgr(FileLogMgr *counters);

private:
    Q_DISABLE_COPY(AnalysisDataMgr)
    Q_DECLARE_PRIVATE(AnalysisDataMgr)
    QScopedPointer<AnalysisDataMgrPrivate> d_ptr;
};
