#include "compensationmatrixfileparser.h"
#include "model/compensationmatrixmgr.h"

#include <QDataStream>

CompensationMatrixFileParser::CompensationMatrixFileParser(const QString &zipPath,
                                                           CompensationMatrixMgr **target)
    : AnalysisFileParser(zipPath, QStringLiteral("run.cmtx")), m_target(target)
{
}

bool CompensationMatrixFileParser::parseBody(const EntryHeader &header, QIODevice *device)
{
    if (header.fileType != FileType || header.version != Version)
        return false;
    CompensationMatrixMgr *mgr = m_target ? *m_target : nullptr;
    if (!mgr)
        return false;
    setVersion(Version);

    // Qt reads a byte array in bounded steps, so a forged length cannot allocate ahead of
    // the data actually present.
    QDataStream ds(device);
    QByteArray matrix;
    ds >> matrix;
    if (ds.status() != QDataStream::Ok)
        return false;
    if (!matrix.isEmpty())
        mgr->setMatrixBuf(matrix);
    return true;
}

bool CompensationMatrixFileParser::write(QIODevice *device)
{
    const CompensationMatrixMgr *mgr = m_target ? *m_target : nullptr;
    if (!mgr)
        return false;
    QDataStream ds(device);
    EntryHeader::make(FileType, Version).write(ds);
    ds << mgr->getMatrixBuf();
    return ds.status() == QDataStream::Ok;
}
