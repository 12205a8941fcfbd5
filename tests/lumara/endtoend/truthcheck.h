#pragma once
// Comparisons of what the driver prints with what the generator drew: the figures of an
// opened run archive against the ground truth written beside it, and the droplets a
// re-analysis recognised against the droplets the generator placed.
#include "drawnrun.h"
#include "driver.h"
#include "generator.h"

#include <QJsonObject>
#include <QMap>
#include <QStringList>

#include <functional>

namespace EndToEnd {

struct CheckResult {
    QStringList failures;
    int checked = 0;
    bool ok() const { return failures.isEmpty(); }
};

// The ground truth beside the archive; an empty object when it cannot be read.
QJsonObject readTruth(const QString &archivePath);

// Per truth well (document id = truth id + idOffset) and target channel: the population named
// after the dye has the stored positives, the droplets not excluded in total, the stored
// concentration, and bounds that hold the concentration of the drawn classes.
CheckResult compareWithTruth(const Snapshot &snapshot, const QJsonObject &truth, int volume, uint idOffset = 0);

// The quality-control figures (sharpness, saturated droplets) of every well in both snapshots
// are the same: only a re-analysis, which finds the droplets anew, may change them.
CheckResult compareQcFigures(const Snapshot &before, const Snapshot &after);

// Per truth well (document id = truth id + idOffset): the sharpness and saturated droplets its
// archive stored (an .expzip archive stores no sharpness: 0).
CheckResult compareQcWithTruth(const Snapshot &snapshot, const QJsonObject &truth, uint idOffset = 0);

// A re-analysis of wells whose droplets were found as the engine finds them keeps what the user
// saw: per well the droplet count within `countShare` of the earlier one, every population's
// concentration within the earlier 95 % bounds, and every quality-control figure on the same
// side of its limit (but the figures named in `unstored`, which the archive could not keep).
CheckResult compareReanalysis(const Snapshot &before, const Snapshot &after, double countShare = 0.01,
                              const QStringList &unstored = QStringList());

struct ClassAgreement {
    int truthDroplets = 0;
    int eligible = 0; // drawn droplets far enough from the edges for the recognition
    int eligibleFound = 0;
    int recognised = 0;
    int matched = 0;  // recognised droplets lying on a drawn droplet
    int agreeing = 0; // of those, positive in exactly the drawn target channels
    // The share of eligible drawn droplets found.
    double completeness() const { return eligible ? double(eligibleFound) / eligible : 0.0; }
    double agreement() const { return matched ? double(agreeing) / matched : 0.0; }
};

// The document's droplets of the wells with ids firstId .. (one per drawn well), classed by the
// wells' line thresholds against the values the plots show, against the drawn droplets they lie
// on. The recognition leaves out droplets whose centre lies within 1.5 template half-widths of
// an edge; the others are eligible.
ClassAgreement classAgreement(const DrawnRun &run, uint firstId = 1);

// How far a count may lie from the truth: the largest of a number of droplets, a share of the
// true count and a share of the droplets.
struct CountTolerance {
    int droplets = 0;
    double ofTruth = 0.0;
    double ofTotal = 0.0;
    int allowed(int truth, int total) const;
};

struct DrawnCount {
    int droplets = 0;  // the document's droplets not excluded
    int positives = 0; // of those, the ones lying on droplets drawn positive (the truth)
};

// Per well id (firstId on, one per drawn well) and target dye: the document's droplets now,
// counted by the drawn droplets they lie on; droplets on none count negative.
QMap<uint, QMap<QString, DrawnCount>> drawnCounts(const DrawnRun &run, uint firstId = 1);

// Per well and dye of `truth`: the population named after the dye counts the drawn positives,
// within the tolerance for that well and dye.
CheckResult compareWithDrawn(const Snapshot &snapshot, const QMap<uint, QMap<QString, DrawnCount>> &truth,
                             const std::function<CountTolerance(uint wellId, const QString &dye)> &tolerance);

// The share of an image's eligible rows that lies within the border guard of the rows where
// its two halves meet (the halves of a two-block chip are recognised apart), for the data
// folder's template of a droplet volume.
double seamShare(int height, int volume);

// Per well id: the droplets as sorted (column, row, positive-channel bits) triples, so two
// analyses can be compared whatever order their droplets came in.
QMap<uint, QVector<std::array<uint, 3>>> dropletSignature();

// The spill-over matrix of the generator's crosstalk (as a run archive would store it), written
// as a compensation-matrix file.
bool writeCrosstalkMatrix(const MkPackage::GeneratorOptions &options, const QString &path);

} // namespace EndToEnd
