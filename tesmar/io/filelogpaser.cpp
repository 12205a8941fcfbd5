#include "filelogpaser.h"
#include "model/filelogmgr.h"

#include <QDataStream>

FileLogPaser::FileLogPaser(const QString &zipPath, FileLogMgr **logSlot)
    : AnalysisFileParser(zipPath, QStringLiteral("fileMgrLog")), m_logSlot(logSlot)
{
}

bool FileLogPaser::parseBody(const EntryHeader &header, QIODevice *device)
{
    if (header.fileType != FileType || header.version != Version)
        return false;
    FileLogMgr *log = m_logSlot ? *m_logSlot : nullptr;
    if (!log)
        return false;
    setVersion(Version);

    QDataStream ds(device);
    qint32 stored[FileLogMgr::Plot3DCounter] = {};
    for (qint32 &v : stored)
        ds >> v;
    if (ds.status() != QDataStream::Ok)
        return false;

    FileLogMgr::Log counters = log->getLog();
    for (int i = 0; i < FileLogMgr::Plot3DCounter; ++i)
        counters[size_t(i)] = quint32(stored[i]);
    log->setLog(counters);
    return true;
}

bool FileLogPaser::write(QIODevice *device)
{
    const FileLogMgr *log = m_logSlot ? *m_logSlot : nullptr;
    if (!log)
        return false;
    QDataStream ds(device);
    EntryHeader::make(FileType, Version).write(ds);
    const FileLogMgr::Log &counters = log->getLog();
    for (int i = 0; i < FileLogMgr::Plot3DCounter; ++i)
        ds << qint32(counters[size_t(i)]);
    return ds.status() == QDataStream::Ok;
}
