#pragma once
// Readers and writers of the "run.exp" entry, one per package generation. Every generation
// writes the program's own configuration body, so a saved package always reads back through
// ExperimentCfgFileParser2.
#include "io/analysisfileparser.h"
#include "model/lumaraanalysisdata.h"
#include "tesmar_global.h"

class ExperimentCfgMgr;

namespace LumaraAnalysisData {
// The configuration body: ExperimentInfo in stream order. The three-integer form (version 0
// of saved packages written from .imrs archives) has no droplet work type.
TESMAR_EXPORT void writeConfigBody(QDataStream &ds, const ExperimentInfo &exp, bool fourIntegers);
TESMAR_EXPORT bool readConfigBody(QDataStream &ds, ExperimentInfo &exp, bool fourIntegers);
} // namespace LumaraAnalysisData

// Common part: the entry name, the manager slot of the parser set, and the writer.
class TESMAR_EXPORT ExperimentCfgFileParser : public AnalysisFileParser {
public:
    static const QString EntryName; // "run.exp"

    ExperimentCfgFileParser(const QString &zipPath, ExperimentCfgMgr **mgrSlot);

protected:
    ExperimentCfgMgr *manager() const { return m_mgrSlot ? *m_mgrSlot : nullptr; }
    // Hands a read configuration to the manager of the slot; false when there is none.
    bool deliver(const LumaraAnalysisData::ExperimentInfo &exp) const;
    // Header {1, version}, then the body of the manager's configuration.
    bool writeConfig(QIODevice *device, qint32 version, bool fourIntegers) const;

private:
    ExperimentCfgMgr **m_mgrSlot;
};

// .expzip: a 128-byte magic area, then the instrument's little-endian experiment record.
class TESMAR_EXPORT ExperimentCfgFileParser1 : public ExperimentCfgFileParser {
public:
    ExperimentCfgFileParser1(const QString &zipPath, ExperimentCfgMgr **mgrSlot);
    bool readHeader(QIODevice *device) override;
    bool write(QIODevice *device) override; // version 0, four-integer body
};

// .arlx: the program's own configuration body behind the common header.
class TESMAR_EXPORT ExperimentCfgFileParser2 : public ExperimentCfgFileParser {
public:
    ExperimentCfgFileParser2(const QString &zipPath, ExperimentCfgMgr **mgrSlot);
    bool parseBody(const EntryHeader &header, QIODevice *device) override;
    bool write(QIODevice *device) override; // the kept version, four-integer body
};

// .imrs: the instrument's format-3 record behind the common header; the version picks the layout.
class TESMAR_EXPORT ExperimentCfgFileParser3 : public ExperimentCfgFileParser {
public:
    ExperimentCfgFileParser3(const QString &zipPath, ExperimentCfgMgr **mgrSlot);
    bool parseBody(const EntryHeader &header, QIODevice *device) override;
    bool write(QIODevice *device) override;
};
