#pragma once
// The lists that the well list, the experiment editor, the plots and the QC views show, built
// from the document at every call: the channels in use, their targets and one row per well.
#include "model/lumaraanalysisdata.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVector>

struct WellEditRow {
    uint wellId = 0;
    QString wellText;   // position text of the well record
    QString sampleName;
    bool hasExcludedDroplets = false;
    QString wellName;   // display name: prefix (when not empty), position, sample joined by "_"
    uint plateIndex = 0;
    QString comment;
    uint dropletSum = 0;
    uint effDropletNum = 0;
    QVector<LumaraAnalysisData::ChanResultInfo> chanResults; // entry channel - 1
};

struct TargetChannelInfo {
    uint channel = 0; // 1..6
    QString dyeName;
    QString targetName;
};

class ExperimentEditMgr : public QObject {
    Q_OBJECT
public:
    explicit ExperimentEditMgr(QObject *parent = nullptr);

    // One row per well of the configuration, in its order. A well without an image-analysis
    // record has no excluded droplets; one without a result record has effective number 0
    // and default channel results.
    QList<WellEditRow> getWellRows() const;
    // Droplet sum of the first row with the id; 0 when none.
    uint getWellDropletNumber(uint wellId) const;
    // Distinct channel numbers (1..6) used by any well, first-seen order.
    QList<uint> getUsedChannels() const;
    // The used channels whose target has a name, in channel order.
    QList<TargetChannelInfo> getTargetChannels() const;
};
