#pragma once
#include "model/lumaraanalysisdata.h"
#include "tesmar_global.h"

#include <QScopedPointer>

// What the program reads of the device parameters. The order of the virtual operations is
// part of the library's interface.
class TESMAR_EXPORT DevParasInterface {
public:
    virtual ~DevParasInterface();

    virtual const QString &getDevSn() const = 0;
    virtual QVector<LumaraAnalysisData::ScanningParameterInfo> getScanningParas(uint wellId) const = 0;
};

class DevParasMgrPrivate;

// The device serial number and the per-channel scanning parameters by well id; the entry
// under well id 0 serves every well.
class TESMAR_EXPORT DevParasMgr : public DevParasInterface {
public:
    DevParasMgr();
    ~DevParasMgr() override;

    const QString &getDevSn() const override;
    // The parameters stored under exactly this id (no fall-back to id 0); empty when none.
    QVector<LumaraAnalysisData::ScanningParameterInfo> getScanningParas(uint wellId) const override;

    const LumaraAnalysisData::DevParasInfoOfWells &getDevParas() const;
    void setDevParas(const LumaraAnalysisData::DevParasInfoOfWells &paras);
    // Inserts every entry, replacing the value of an id already held.
    void addDevParasInfoOfWells(const QMap<uint, QVector<LumaraAnalysisData::ScanningParameterInfo>> &paras);

private:
    Q_DISABLE_COPY(DevParasMgr)
    Q_DECLARE_PRIVATE(DevParasMgr)
    QScopedPointer<DevParasMgrPrivate> d_ptr;
};
