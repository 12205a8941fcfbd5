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

    // Header {2, version()}, threshold mode, experiment data, image-analysis records, 2D and
    // 3D plots, classification, the current mode's per-well thresholds and the results.
    bool write(QIODevice *device) override;

protected:
    AnalysisDataMgr *target() const { return m_target ? *m_target : nullptr; }

private:
    AnalysisDataMgr **m_target;
};
