#pragma once
#include "io/analysisfileparser.h"
#include "tesmar_global.h"

class AnalysisDataMgr;

// The "run.pcr" entry. The three package generations read it differently but all write the
// same body, so a saved package is always readable by the saved-package reader.
class TESMAR_EXPORT AnalysisDataFileParser : public AnalysisFileParser {
public:
    static constexpr qint32 FileType = 2;

    AnalysisDataFileParser(const QString &zipPath, AnalysisDataMgr **target);

    // Header {2, writtenVersion(version())}, threshold mode, experiment data, image-analysis
    // records, 2D and 3D plots, classification, the current mode's per-well thresholds and
    // the results.
    bool write(QIODevice *device) override;
    // Grows with the droplets of every well.
    quint64 sizeBound() const override;

    // The header version written for a stored version. The body is always the current layout,
    // which the saved-package reader takes under 2 directly and under 1 after its flat attempt
    // fails; a stored 0 (and any number that reader does not know) would announce the old
    // layout and make the package unreadable, so it is written as 2.
    static qint32 writtenVersion(qint32 stored) { return stored == 1 ? 1 : 2; }

protected:
    AnalysisDataMgr *target() const { return m_target ? *m_target : nullptr; }

private:
    AnalysisDataMgr **m_target;
};
