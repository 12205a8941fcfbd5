#pragma once
#include "io/analysisfileparser.h"
#include "tesmar_global.h"

class FileLogMgr;

// The "fileMgrLog" entry: five of the six id counters (the 3D plot counter is not stored).
// Reads into and writes from whatever counters the slot holds at that moment.
class TESMAR_EXPORT FileLogPaser : public AnalysisFileParser {
public:
    static constexpr qint32 FileType = 0;
    static constexpr qint32 Version = 0;

    FileLogPaser(const QString &zipPath, FileLogMgr **logSlot);

    bool parseBody(const EntryHeader &header, QIODevice *device) override;
    bool write(QIODevice *device) override;

private:
    FileLogMgr **m_logSlot;
};
