#pragma once
#include "io/analysisfileparser.h"
#include "tesmar_global.h"

class CompensationMatrixMgr;

// The "run.cmtx" entry: the compensation matrix image as opaque bytes. An empty matrix read
// from the entry leaves the manager as it was. Reads into and writes from whatever manager
// the slot holds at that moment.
class TESMAR_EXPORT CompensationMatrixFileParser : public AnalysisFileParser {
public:
    static constexpr qint32 FileType = 4;
    static constexpr qint32 Version = 0;

    CompensationMatrixFileParser(const QString &zipPath, CompensationMatrixMgr **target);

    bool parseBody(const EntryHeader &header, QIODevice *device) override;
    bool write(QIODevice *device) override;

private:
    CompensationMatrixMgr **m_target;
};
