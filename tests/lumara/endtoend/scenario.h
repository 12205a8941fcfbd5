#pragma once
// The main road end to end on generated run archives, step by step, each step checked against
// the generator's ground truth or against an earlier step:
//   open           figures match the truth, the hub announced updateWellInfo and no error;
//   line, pool     line mode and pooled automatic thresholds;
//   reanalyse      with the re-analysis dialog's choices: droplets recognised anew give the
//                  drawn classes and, as the archive stores what this recognition finds, the
//                  opened counts, concentrations and quality-control colours; every background
//                  correction asked for is made;
//   exclude        droplets excluded by hand;
//   matrix         the generator's crosstalk applied as a .cmtx: the exclusions survive;
//   reset          the matrix withdrawn: the figures before it come back;
//   merge          a second archive's wells follow with the next ids and their own figures;
//   save           saved as a package and reopened: the same figures.
// Every step but the re-analysis keeps each well's sharpness and saturated droplets; opened
// and merged wells carry those their archive stored. A run drawn with well shapes has its
// wells' counts compared with the drawn truth after every step.
#include "generator.h"
#include "truthcheck.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace EndToEnd {

struct ScenarioOptions {
    MkPackage::GeneratorOptions run;
    QString folder; // where the archives are written
    int threads = 0; // the global pool's limit for the run; 0: as it is
    bool lineMode = false;
    bool pool = false;
    bool reanalyse = false;
    // The re-analysis dialog's background choice as the engine takes it (2 intelligent
    // algorithm, the dialog's default; 1 machine correction; 0 none); fluorescence correction
    // is on, as the dialog has it.
    int background = 2;
    int excludeStep = 0; // exclude every n-th droplet; 0: none
    bool matrix = false;
    bool reset = false;
    bool merge = false;
    bool save = false;
    // Re-analysis: at least this share of recognised droplets lies on drawn droplets with
    // their classes, and at least this share of the eligible drawn droplets is found.
    double minAgreement = 0.99;
    double minCompleteness = 0.9;
    // A run with well shapes: after every step, each of its wells' counts within this of the
    // droplets drawn positive.
    CountTolerance countTolerance{1, 0.02, 0.0};
};

struct ScenarioResult {
    QStringList failures;
    // What the re-analysis changed of the opened figures (kept apart: a recognition that does
    // not find the same droplets on images with and without their background shows here).
    QStringList reanalysisChanges;
    QStringList signalsSeen;
    bool ok() const { return failures.isEmpty() && reanalysisChanges.isEmpty(); }
};

// The data folder's analysis parameters for a droplet volume ("../data/<volume>pl_..."), as an
// instrument ships them with its runs; empty when the file cannot be read.
QByteArray dataFolderParameters(int volume);

// Runs the steps in the order above. Needs an application object on the calling (main) thread.
ScenarioResult runScenario(const ScenarioOptions &options, QTextStream *out = nullptr);

} // namespace EndToEnd
