#pragma once
#include "tesmar_global.h"

#include <QObject>
#include <QScopedPointer>
#include <QString>
#include <QVector>

class AnalysisDataMgr;
class CompensationMatrixMgr;
class DevParasMgr;
class ExperimentCfgMgr;
class FileLogMgr;
class PcrAnalysisDocumentPrivate;

// The process-wide analysis document: opens a package into its managers, saves everything as
// a new ".arlx" package that carries its source archives, and merges further run archives.
// It owns every manager it hands out; pointers stay valid until the next successful open or
// release(). Calls must not overlap (no lock is taken).
class TESMAR_EXPORT PcrAnalysisDocument : public QObject {
    Q_OBJECT
public:
    enum ErrorCode {
        MergeSupported = 0,    // the archive can be merged; it is now pending
        UnsupportedSuffix = 1, // neither "imrs" nor "expzip"
        AlreadyLoaded = 2,     // an archive of that name (or base name) is already part of the document
        CannotParse = 3,       // nothing open to merge into, or the archive's small entries do not read
    };

    // Filled only when the merge check gives MergeSupported.
    struct MergePermit {
        bool accepted = false;
        bool sameExperimentCfg = false;
        bool sameDevParas = false;
        bool sameCompensationMatrix = false;
    };

    // Created on the first call; the first call must not race with another.
    static PcrAnalysisDocument *getInstance();
    // Deletes the document with everything it holds; the next getInstance makes a new one.
    static void release();

    // The suffix ("arlx", "expzip", "imrs", case-sensitive) picks the readers. On failure
    // the previously loaded document stays as it was, readers and password included.
    bool open(const QString &path);
    // Writes the whole document as an ".arlx" package at path (a path with another suffix is
    // refused, since the package could not be opened again under it). The package is written to a
    // temporary file beside the target, which replaces the target only once every entry has
    // been written; on failure the target is left as it was. On success the saved file is the
    // document's only source archive.
    bool save(const QString &path);
    // Around save: copies every ".arlx" source to "<its folder>/quorintmp" so that a save can
    // replace the very package it reads from, and removes the copies again.
    void beginSaveFile();
    void endSaveFile();

    // The password of the open package's entries; empty when it has none or nothing is open.
    QString getUnzipPassword() const;

    AnalysisDataMgr *getAnalysisDataMgr() const;
    CompensationMatrixMgr *getCompensationMatrixMgr() const;
    DevParasMgr *getDevParasMgr() const;
    ExperimentCfgMgr *getExperimentCfgMgr() const;
    FileLogMgr *getFileLogMgr() const;

    // The channel indices (0..5, ascending) that some well uses and whose target has a dye.
    QVector<int> getChanIndicesUsed() const;

    // First step of a merge: checks the archive and reads its small entries into a candidate
    // kept apart from the open document. The document's own readers stay in place.
    ErrorCode isMergeSupported4Load(const QString &path, MergePermit &permit);
    // Second step: reads the pending archive's analysis data and appends it to the document
    // under fresh ids. False when nothing is pending or the data does not read.
    bool continueLoadFile();

signals:
    // Emitted by continueLoadFile for the appended wells when their numbering is consistent:
    // beginIndex is the configuration's well count before the merge, size the number added.
    void wellAdded(int beginIndex, int size);

private:
    PcrAnalysisDocument();
    ~PcrAnalysisDocument() override;
    Q_DISABLE_COPY(PcrAnalysisDocument)

    QScopedPointer<PcrAnalysisDocumentPrivate> m_d;
};
