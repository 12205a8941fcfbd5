#include "entryheader.h"
#include <QDateTime>

void EntryHeader::write(QDataStream &ds) const
{
    ds << fileType << version << reserved[0] << reserved[1] << reserved[2] << writeTime;
}

bool EntryHeader::read(QDataStream &ds)
{
    ds >> fileType >> version >> reserved[0] >> reserved[1] >> reserved[2] >> writeTime;
    return ds.status() == QDataStream::Ok;
}

EntryHeader EntryHeader::make(qint32 fileType, qint32 version)
{
    EntryHeader h;
    h.fileType = fileType;
    h.version = version;
    h.writeTime = QDateTime::currentDateTime().toSecsSinceEpoch();
    return h;
}
