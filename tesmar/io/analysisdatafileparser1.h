#pragma once
#include "io/analysisdatafileparser.h"
#include "io/instrumentexperiment.h"
#include "tesmar_global.h"

#include <QList>

// "run.pcr" of .expzip run archives: a bare big-endian vector of per-well records, without
// the common header. It holds only what the instrument measured; the classification, the
// droplet quality, the reference figures and the results are derived here, with the channels
// taken from the targets of the archive's "run.exp".
class TESMAR_EXPORT AnalysisDataFileParser1 : public AnalysisDataFileParser {
public:
    AnalysisDataFileParser1(const QString &zipPath, AnalysisDataMgr **target);
    ~AnalysisDataFileParser1() override;

    // The whole read (the entry has no header). False when "run.exp" or "run.pcr" cannot be
    // read, or when a well record breaks its limits (a channel entry naming no channel of the
    // experiment, fewer image names, droplet greys or channel statistics than channel
    // entries); the managers are then untouched.
    bool readHeader(QIODevice *device) override;

    // The re-read of "run.exp"; true also when the archive has none.
    bool readExperimentRecord();
    // Decodes the droplet images of every well of the experiment manager, in well order.
    void loadDrpltImages();

    const LumaraAnalysisData::InstrumentExperiment1 &experimentRecord() const { return m_record; }
    // 0-based channels of the experiment's targets, in target order (repeats kept).
    const QList<int> &experimentChannels() const { return m_experimentChannels; }

    // Fixed by the instrument: ROX, the reference dye, is always in channel 3.
    static constexpr int ReferenceChannel = 2;

private:
    LumaraAnalysisData::InstrumentExperiment1 m_record;
    QList<int> m_experimentChannels;
};
