#include "devparasfileparser.h"
#include "io/recordstream.h"
#include "model/devparasmgr.h"

#include <QDataStream>

using namespace LumaraAnalysisData;

DevParasFileParser::DevParasFileParser(const QString &zipPath, DevParasMgr **target)
    : AnalysisFileParser(zipPath, QStringLiteral("run.dps")), m_target(target)
{
}

bool DevParasFileParser::parseBody(const EntryHeader &header, QIODevice *device)
{
    if (header.fileType != FileType)
        return false;
    if (header.version != 0 && header.version != 1)
        return false;
    DevParasMgr *mgr = m_target ? *m_target : nullptr;
    if (!mgr)
        return false;
    setVersion(header.version);

    QDataStream ds(device);
    DevParasInfoOfWells paras;
    ds >> paras.serialNumber;
    if (header.version == 0) {
        QVector<ScanningParameterInfo> shared(PerChannel);
        readContainer(ds, shared);
        if (ds.status() != QDataStream::Ok)
            return false;
        paras.paras.insert(0, shared);
    } else {
        readContainer(ds, paras.paras);
        if (ds.status() != QDataStream::Ok)
            return false;
    }
    mgr->setDevParas(paras);
    return true;
}

bool DevParasFileParser::write(QIODevice *device)
{
    const DevParasMgr *mgr = m_target ? *m_target : nullptr;
    if (!mgr)
        return false;
    QDataStream ds(device);
    EntryHeader::make(FileType, WrittenVersion).write(ds);
    const DevParasInfoOfWells &paras = mgr->getDevParas();
    ds << paras.serialNumber;
    writeContainer(ds, paras.paras);
    return ds.status() == QDataStream::Ok;
}
