#pragma once
#include "io/analysisfileparser.h"
#include "tesmar_global.h"

class DevParasMgr;

// The "run.dps" entry: device serial number and scanning parameters. Version 0 holds one
// parameter set for every well, version 1 a set per well id; writing always gives version 1.
// Reads into and writes from whatever manager the slot holds at that moment.
class TESMAR_EXPORT DevParasFileParser : public AnalysisFileParser {
public:
    static constexpr qint32 FileType = 3;
    static constexpr qint32 WrittenVersion = 1;

    DevParasFileParser(const QString &zipPath, DevParasMgr **target);

    bool parseBody(const EntryHeader &header, QIODevice *device) override;
    bool write(QIODevice *device) override;

private:
    DevParasMgr **m_target;
};
