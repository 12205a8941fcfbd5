#include "devparasmgr.h"

using namespace LumaraAnalysisData;

class DevParasMgrPrivate {
public:
    DevParasInfoOfWells paras;
};

DevParasInterface::~DevParasInterface() = default;

DevParasMgr::DevParasMgr() : d_ptr(new DevParasMgrPrivate) {}

DevParasMgr::~DevParasMgr() = default;

const QString &DevParasMgr::getDevSn() const
{
    Q_D(const DevParasMgr);
    return d->paras.serialNumber;
}

QVector<ScanningParameterInfo> DevParasMgr::getScanningParas(uint wellId) const
{
    Q_D(const DevParasMgr);
    return d->paras.paras.value(wellId);
}

const DevParasInfoOfWells &DevParasMgr::getDevParas() const
{
    Q_D(const DevParasMgr);
    return d->paras;
}

void DevParasMgr::setDevParas(const DevParasInfoOfWells &paras)
{
    Q_D(DevParasMgr);
    d->paras.serialNumber = paras.serialNumber;
    d->paras.paras = paras.paras;
}

void DevParasMgr::addDevParasInfoOfWells(const QMap<uint, QVector<ScanningParameterInfo>> &paras)
{
    Q_D(DevParasMgr);
    for (auto it = paras.constBegin(); it != paras.constEnd(); ++it)
        d->paras.paras.insert(it.key(), it.value());
}
