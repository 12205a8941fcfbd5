#pragma once
#include "io/analysisdatafileparser.h"
#include "io/instrumentexperiment.h"
#include "tesmar_global.h"

#include <QList>

// "run.pcr" of .imrs run archives: the instrument's four per-well lists (image names, droplet
// data, classification, target results) behind the common header, in layout 3.0 (entry
// version 0) or 3.1 (version 1). The reader also takes the targets and wells of "run.exp" and
// whether "run.cmtx" holds a matrix, builds the line-mode classification and loads the droplet
// images of "capture/". The version kept for the writer is the entry version plus one, which
// tells the saved-package reader which layout the source had.
class TESMAR_EXPORT AnalysisDataFileParser3 : public AnalysisDataFileParser {
public:
    AnalysisDataFileParser3(const QString &zipPath, AnalysisDataMgr **target);
    ~AnalysisDataFileParser3() override;

    // True when the entry was read and the managers filled. Stored data that break the
    // per-channel limits (reference channels, droplet lists shorter than six channels, target
    // results naming no configured target, a classification without the channels its well
    // measures, two image sets of fewer than six names, duplicate wells) refuse the whole
    // entry; the managers are then untouched.
    bool parseBody(const EntryHeader &header, QIODevice *device) override;

    // What the last read took from the archive's other entries.
    const LumaraAnalysisData::InstrumentExperiment3 &experimentConfig() const { return m_config; }
    // 0-based channels of the targets the wells use, in target order (repeats kept).
    const QList<int> &usedChannels() const { return m_usedChannels; }
    bool matrixStored() const { return m_matrix; }

private:
    bool readExperimentConfig();
    bool readMatrixFlag() const;
    void collectUsedChannels();
    bool readBody(QIODevice *device, int layout);

    LumaraAnalysisData::InstrumentExperiment3 m_config;
    QList<int> m_usedChannels;
    bool m_matrix = false;
};
