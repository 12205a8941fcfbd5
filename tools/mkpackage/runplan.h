#pragma once
// The description of one instrument run that the package generator turns into an archive:
// targets, wells, droplets with their measured greys and classes, and the channel images.
// Everything the archive stores is derived from this, so the stored droplets, thresholds,
// results and images agree with one another and with the ground truth written beside it.
#include "pkgwriter.h"

#include <QImage>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace MkPackage {

constexpr int ChannelCount = 6;
constexpr int ReferenceChannel = 2; // ROX: every droplet shows in it
constexpr quint32 MaxGrey = 65279;  // greys and pixels stay below the saturation mark

enum class ArchiveKind { Imrs, Expzip };

// The archive kind its file suffix asks for ("imrs", "expzip", case-sensitive).
bool kindForPath(const QString &path, ArchiveKind *kind);
QString kindName(ArchiveKind kind);

struct TargetPlan {
    QString name;
    QString dye; // a dye name of the instrument tables, e.g. "FAM"
};

// How a droplet was drawn in a channel, as the well shapes tell droplets apart (ground truth
// only). Rain counts as positive from the midpoint of the two clusters, debris and saturated
// droplets always.
enum class DrawnKind : quint8 { Negative, Positive, Rain, Debris, Saturated };

struct DropletPlan {
    double x = 0.0; // centre in image pixels
    double y = 0.0;
    double radius = 0.0;
    std::array<bool, ChannelCount> positive{};  // the class the droplet was drawn with
    std::array<DrawnKind, ChannelCount> drawnAs{};
    std::array<quint32, ChannelCount> grey{};   // the grey measured on the channel image
    // Marked saturated in a channel by the recognition; a grey at MaxGrey counts as well.
    std::array<bool, ChannelCount> saturated{};
    quint32 size = 0; // the size the recognition gives it; 0: its drawn diameter
};

struct WellPlan {
    QString sampleName = QStringLiteral("Sample");
    QStringList targets; // the targets measured in the well; empty: every target of the run
    std::vector<DropletPlan> droplets;
    // Format_Grayscale16 channel images; a null image stores no name for that channel.
    std::array<QImage, ChannelCount> images;
    QList<quint32> excluded; // droplet indices excluded by hand
    // The probability each droplet was drawn positive with, per channel (ground truth only).
    std::array<double, ChannelCount> drawnFraction{};
    // The well shape each channel was drawn with, as the ground truth states it; empty: the
    // plain levels.
    std::array<QJsonObject, ChannelCount> shapes;
    bool valid = true;
    double sharpness = 2400.0;
    // Saturated droplets as the analysis counts them; below 0: those whose grey reaches
    // saturation in a measured channel.
    int saturated = -1;
    // Droplets drawn on the images (ground truth only); below 0: those of the list.
    int drawnDroplets = -1;
};

struct RunPlan {
    ArchiveKind kind = ArchiveKind::Imrs;
    QString name = QStringLiteral("Synthetic run");
    QString comment;
    int pcrVersion = 1; // .imrs "run.pcr": 0 = layout 3.0, 1 = layout 3.1
    int imageSets = 1;  // layout 3.1 only: 2 stores each channel as a top and a bottom 8-bit half
    int expVersion = 1; // .imrs "run.exp": 0 or 1
    int dpsVersion = 1; // "run.dps": 0 (one parameter set) or 1 (by well)
    bool passwordEntry = true;
    QString password;   // needs the "password" entry
    bool storeMatrix = true;
    PkgWriter::MatrixImage matrix = PkgWriter::MatrixImage::identity();
    bool fileLog = true;
    bool reagentKit = false;
    bool zeroWellIds = false;     // .imrs: every record stores well id 0 (numbered by position)
    bool fullDropletLists = false; // .imrs: also the lists the reader does not take
    QByteArray analysisParams;     // "analysisparams.json"; not written when empty
    QByteArray uniformImage;       // the flat field's TIFF, "uniform/uniformImage.tif"; not written when empty
    QString serialNumber = QStringLiteral("LMR-SYN-0001");
    int volume = 800;     // droplet volume, pl
    qint32 exposure = 100; // per channel, the same in every well
    double focus = 0.25;
    QString imageFolder; // .imrs: folder part in front of the stored image names
    qint64 writeTime = 1709285400;
    quint64 seed = 0; // recorded in the ground truth
    QList<TargetPlan> targets;
    QList<WellPlan> wells;
};

// What the experiment entry needs of a well, known before its droplets and images are made.
struct WellSummary {
    QString sampleName;
    QStringList targets;
    int droplets = 0;
};

// Supplies the wells one at a time, so large runs never hold every image at once. `well` is
// called from several threads at once, each with its own index.
class WellSource {
public:
    virtual ~WellSource() = default;
    virtual int wellCount() const = 0;
    virtual WellSummary summary(int index) const = 0;
    virtual bool well(int index, WellPlan *out, QString *error) const = 0;
};

// The wells held in the plan itself.
class PlanWells : public WellSource {
public:
    explicit PlanWells(const RunPlan &plan) : m_plan(plan) {}
    int wellCount() const override { return m_plan.wells.size(); }
    WellSummary summary(int index) const override
    {
        const WellPlan &w = m_plan.wells.at(index);
        return {w.sampleName, w.targets, int(w.droplets.size())};
    }
    bool well(int index, WellPlan *out, QString *) const override
    {
        *out = m_plan.wells.at(index);
        return true;
    }

private:
    const RunPlan &m_plan;
};

// ---- What the archive states, per well and channel, for later comparison -------------------

struct Concentration {
    double concentration = 0.0;
    double lower = 0.0;
    double upper = 0.0;
    double uncertainty = 0.0;
};

// The droplets of a channel by how they were drawn.
struct DrawnCounts {
    int negatives = 0;
    int positives = 0;
    int rain = 0;
    int rainPositive = 0; // rain at or above the midpoint of the clusters
    int debris = 0;
    int saturated = 0;
};

struct ChannelTruth {
    int channel = 0; // 0-based
    QString target;
    QString dye;
    quint32 threshold = 0;
    int truePositives = 0;   // by class, over the droplets not excluded
    int storedPositives = 0; // at or above the threshold, over the droplets not excluded
    int total = 0;           // droplets not excluded
    double drawnFraction = 0.0;
    QJsonObject shape;  // the well shape drawn; empty: the plain levels
    DrawnCounts drawn;  // over the droplets not excluded
    Concentration concentration; // from the stored counts
    PkgWriter::QualityFigures quality{};
};

struct WellTruth {
    quint32 id = 0;
    QString position;
    int droplets = 0; // stored
    int drawnDroplets = 0;
    int excluded = 0;
    double sharpness = 0.0; // stored
    int saturated = 0;      // stored
    double referenceMean = 0.0;
    QList<ChannelTruth> channels;     // in the well's target order
    QList<QPair<quint32, int>> zones; // zone mask -> droplets (all droplets), masks ascending
    QStringList imageEntries;         // "capture/..." entries written for the well
};

struct RunTruth {
    ArchiveKind kind = ArchiveKind::Imrs;
    int pcrVersion = 0;
    int imageSets = 1;
    QString password;
    bool matrix = false;
    quint64 seed = 0;
    QList<int> zoneChannels; // sorted channel indices the zone masks are built over
    QList<WellTruth> wells;
};

} // namespace MkPackage
