#pragma once
#include "model/lumaraanalysisdata.h"
#include "tesmar_global.h"

#include <QScopedPointer>

// What the program reads and edits of the per-well image-analysis results. The order of the
// virtual operations is part of the library's interface.
class TESMAR_EXPORT DrpltImageInterface {
public:
    virtual ~DrpltImageInterface();

    virtual const LumaraAnalysisData::WellImageAnalysisInfo &getImgAnalysisInfo(uint wellId) const = 0;
    virtual void appendImgAnalysis(const LumaraAnalysisData::WellImageAnalysisInfo &info) = 0;
    virtual bool removeWell(uint wellId) = 0;
    virtual void clearData() = 0;
    virtual void restoreDrplts(uint wellId) = 0;
    virtual void excludedDrplts(uint wellId, const QSet<uint> &indices) = 0;
    virtual void includedDrplts(uint wellId, const QSet<uint> &indices) = 0;
};

class DrpltImgInfoMgrPrivate;

// One image-analysis record per well, in order of arrival; found by the first matching id.
// Operations on a missing well or channel do nothing, except the getter, which throws the C
// string "Well id is invalid!", and removeWell, which answers false.
class TESMAR_EXPORT DrpltImgInfoMgr : public DrpltImageInterface {
public:
    DrpltImgInfoMgr();
    ~DrpltImgInfoMgr() override;

    const LumaraAnalysisData::WellImageAnalysisInfo &getImgAnalysisInfo(uint wellId) const override;
    // No check for an existing record of the same well.
    void appendImgAnalysis(const LumaraAnalysisData::WellImageAnalysisInfo &info) override;
    bool removeWell(uint wellId) override;
    void clearData() override;
    void restoreDrplts(uint wellId) override;
    // Set union / difference on the excluded droplet indices; the droplets stay as they are.
    void excludedDrplts(uint wellId, const QSet<uint> &indices) override;
    void includedDrplts(uint wellId, const QSet<uint> &indices) override;

    QList<LumaraAnalysisData::WellImageAnalysisInfo> &getWellImgAnalysisInfos();
    void setWellImgAnalysisInfos(const QList<LumaraAnalysisData::WellImageAnalysisInfo> &infos);
    // Replaces every field but the id of the record the given one names; adds nothing.
    void setWellImgAnalsisInfo(LumaraAnalysisData::WellImageAnalysisInfo info);
    // Copies the six quality figures; the channel's two thresholds stay.
    void setDrpltQuality(uint wellId, uint channel, LumaraAnalysisData::ChanAnalysisInfo &quality);
    // Applies to every record of the well, not only the first.
    void setLineThld(uint wellId, uint channel, uint threshold, bool compensated);
    void setRoxValue(uint wellId, uint channel, double value);

private:
    Q_DISABLE_COPY(DrpltImgInfoMgr)
    Q_DECLARE_PRIVATE(DrpltImgInfoMgr)
    QScopedPointer<DrpltImgInfoMgrPrivate> d_ptr;
};
