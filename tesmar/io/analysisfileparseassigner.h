#pragma once
#include "tesmar_global.h"

#include <QList>
#include <QString>

class AnalysisDataMgr;
class AnalysisFileParser;
class CompensationMatrixMgr;
class DevParasMgr;
class ExperimentCfgMgr;
class FileLogMgr;
class FileLogPaser;
namespace PackageCopy {
class Writer;
}

// The readers and writers of one package, bound to one archive path, with a fresh group of
// managers to read into. Every parser holds the address of the manager slot it fills and uses
// whatever the slot holds at the time, so the document can lend its own managers for a save.
// The concrete sets differ only in the run.exp and run.pcr parsers they create.
class TESMAR_EXPORT AnalysisFileParseAssigner {
public:
    explicit AnalysisFileParseAssigner(const QString &zipPath);
    virtual ~AnalysisFileParseAssigner();

    // run.exp, run.dps and run.cmtx at once on the global thread pool. False when one of them
    // fails or throws (errorText then says so); the managers keep what the others stored.
    bool parseMiscEntries();
    // run.pcr. An exception from the reader counts as a failure.
    bool parseAnalysisData();
    // "fileMgrLog"; when it is missing or unreadable the counters are rebuilt from the loaded
    // lists. Always true.
    bool parseFileLog();
    // Every counter from the largest id of its kind in this set's managers.
    void rebuildCounters();

    // The archive's password, the one every entry is read and written with.
    QString getUnzipPassword() const;

    // Deletes the managers the set still holds and stores the given ones (lent, not owned).
    void setManagers(CompensationMatrixMgr *compensationMatrix, AnalysisDataMgr *analysisData,
                     DevParasMgr *devParas, ExperimentCfgMgr *experimentCfg, FileLogMgr *fileLog);
    // Empties the manager slots without deleting: their owner is now someone else.
    void releaseManagers();

    // Writes run.pcr, run.exp, run.dps, run.cmtx and fileMgrLog into the package being
    // written, in that order, from the managers in the slots. Stops at the first entry that
    // cannot be written and returns false; the caller discards the package then.
    bool saveEntries(PackageCopy::Writer &target);

    CompensationMatrixMgr *compensationMatrixMgr() const { return m_compensationMatrixMgr; }
    AnalysisDataMgr *analysisDataMgr() const { return m_analysisDataMgr; }
    DevParasMgr *devParasMgr() const { return m_devParasMgr; }
    ExperimentCfgMgr *experimentCfgMgr() const { return m_experimentCfgMgr; }
    FileLogMgr *fileLogMgr() const { return m_fileLogMgr; }

    QString zipPath() const { return m_zipPath; }
    QString errorText() const { return m_errorText; }
    // run.exp, run.dps, run.cmtx, in that order.
    const QList<AnalysisFileParser *> &miscParsers() const { return m_miscParsers; }
    AnalysisFileParser *analysisDataParser() const { return m_analysisDataParser; }

    static const QString MiscExceptionText;

protected:
    // Called once by the concrete set's constructor with the parsers it made (taken over).
    void installParsers(AnalysisFileParser *experiment, AnalysisFileParser *devParas,
                        AnalysisFileParser *compensationMatrix, AnalysisFileParser *analysisData);

    // Slots the concrete sets bind their parsers to.
    CompensationMatrixMgr **compensationMatrixSlot() { return &m_compensationMatrixMgr; }
    AnalysisDataMgr **analysisDataSlot() { return &m_analysisDataMgr; }
    DevParasMgr **devParasSlot() { return &m_devParasMgr; }
    ExperimentCfgMgr **experimentCfgSlot() { return &m_experimentCfgMgr; }

private:
    Q_DISABLE_COPY(AnalysisFileParseAssigner)
    void deleteManagers();

    QString m_errorText;
    QString m_zipPath;
    QList<AnalysisFileParser *> m_miscParsers;
    AnalysisFileParser *m_analysisDataParser = nullptr;
    FileLogPaser *m_logParser = nullptr;
    CompensationMatrixMgr *m_compensationMatrixMgr = nullptr;
    AnalysisDataMgr *m_analysisDataMgr = nullptr;
    DevParasMgr *m_devParasMgr = nullptr;
    ExperimentCfgMgr *m_experimentCfgMgr = nullptr;
    FileLogMgr *m_fileLogMgr = nullptr;
};
