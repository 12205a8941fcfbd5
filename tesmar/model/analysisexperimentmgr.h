#pragma once
#include "model/lumaraanalysisdata.h"
#include "model/welldrpltimginfo.h"
#include "model/wellimagesinflight.h"
#include "tesmar_global.h"

#include <QImage>
#include <QScopedPointer>

#include <memory>

// What the program reads of the analysed wells, their source archives and their images.
// The order of the virtual operations is part of the library's interface. Getters throw the
// C string "Well id is invalid!" for an id the manager does not hold.
class TESMAR_EXPORT AnalysisExperimentInterface {
public:
    virtual ~AnalysisExperimentInterface();

    virtual const LumaraAnalysisData::WellItemInfo &getWellGlobal(uint wellId) const = 0;
    virtual const LumaraAnalysisData::ExpItemInfo &getExperiment(uint expId) const = 0;
    virtual uint getRefChanId(uint wellId) const = 0;
    virtual const WellDrpltImgInfo<DrpltImg> getWellImgData(uint wellId) const = 0;
    virtual const WellDrpltImgInfo<QImage> &getWellImg(uint wellId) const = 0;
    virtual void appendWellGlobal(const LumaraAnalysisData::WellItemInfo &well) = 0;
    virtual void appendExpFile(const LumaraAnalysisData::ExpItemInfo &experiment) = 0;
    virtual bool removeWell(uint wellId) = 0;
};

class AnalysisExperimentMgrPrivate;

// Wells with their reference channel, the source archives they came from, and the wells'
// images; the image list runs parallel to the well list.
class TESMAR_EXPORT AnalysisExperimentMgr : public AnalysisExperimentInterface {
public:
    AnalysisExperimentMgr();
    ~AnalysisExperimentMgr() override;

    const LumaraAnalysisData::WellItemInfo &getWellGlobal(uint wellId) const override;
    const LumaraAnalysisData::ExpItemInfo &getExperiment(uint expId) const override;
    uint getRefChanId(uint wellId) const override;
    // Six raw views on the stored images, rows packed (no pixel is copied). A missing or
    // null image gives an empty view. The views stay valid while the well's images are
    // kept unchanged.
    const WellDrpltImgInfo<DrpltImg> getWellImgData(uint wellId) const override;
    const WellDrpltImgInfo<QImage> &getWellImg(uint wellId) const override;
    void appendWellGlobal(const LumaraAnalysisData::WellItemInfo &well) override;
    void appendExpFile(const LumaraAnalysisData::ExpItemInfo &experiment) override;
    // Also drops the well from its experiment, and the experiment once it has no wells left.
    bool removeWell(uint wellId) override;

    LumaraAnalysisData::AnalysisExpGlobalInfo &getAnalysisExpGlobalInfo();
    void setAnalysisExpGlobalInfo(const LumaraAnalysisData::AnalysisExpGlobalInfo &info);

    // Images are stored with packed rows (rows that Qt would pad are repacked once here), so
    // that getWellImgData can hand out views. Images edited later through the modifiable
    // list should keep that layout; padded images are handed out as empty views.
    QList<WellDrpltImgInfo<QImage>> &getWellDrpltImgInfos();
    void setWellDrpltImgs(const QList<WellDrpltImgInfo<QImage>> &images);
    void appendWellDrpltImgsOfExp(const QList<WellDrpltImgInfo<QImage>> &images);

    // Images that are still decoding, parallel to the well list as it is now. Every image
    // getter and every change of the well list first waits for them and keeps them as if
    // set by setWellDrpltImgs; getAnalysisExpGlobalInfo does not wait, and the well list must
    // not be changed through it meanwhile.
    void setWellDrpltImgsInFlight(std::shared_ptr<WellImagesInFlight> images);
    // The images still decoding; null once they are kept.
    std::shared_ptr<WellImagesInFlight> wellDrpltImgsInFlight() const;

private:
    Q_DISABLE_COPY(AnalysisExperimentMgr)
    Q_DECLARE_PRIVATE(AnalysisExperimentMgr)
    QScopedPointer<AnalysisExperimentMgrPrivate> d_ptr;
};
