#pragma once
// Whole synthetic runs: every well rendered as a synthetic chip, its droplets found and measured
// on the rendered images by the program's own recognition, then composed and written like any
// run description.
#include "compose.h"

#include "wellshape.h"

#include <QMap>

#include <memory>
#include <optional>
#include <vector>

namespace MkPackage {

class WellRecognition;

// The reference dye's level in generated chips: bright enough that the analysis's sharpness
// measure gives what a focused chip gives (about 2400 on the 800 pl droplets' images).
constexpr double ReferenceGrey = 25000.0;

// What a generated archive stores of each well's droplets.
enum class StoredDroplets {
    // Those the program's recognition finds on the rendered images, with the data folder's
    // assets for the droplet volume and image size: what an instrument running it stores.
    Recognised,
    // The droplets as drawn, their greys measured over their discs: for chips the recognition
    // cannot serve (droplets scaled to fit a count into a size, images too small for it).
    Drawn,
};

// A target's droplets drawn as a real plate's well shows them instead of at the generator's
// two plain levels: the fields set replace the shape's defaults, which sit on the generator's
// levels (negatives at the negative level with the plain levels' deviation, positives at the
// positive level with the plain spread). A target with none set keeps the plain levels.
struct ShapeOptions {
    std::optional<double> rain;       // share of the droplets spread between the two clusters
    std::optional<double> positiveCv; // the positives' deviation over their level
    // The positives this many of the negatives' deviations above the negatives.
    std::optional<double> separation;
    std::optional<double> logNormal; // log-normal negatives of this shape
    // This share of the negatives spread evenly up to flatTailWidth deviations above them.
    std::optional<double> flatTail;
    std::optional<double> flatTailWidth;
    // This share of the negatives trailing down to lowerDepth (below 1) times their level:
    // thinning out towards the dimmest, or as a level shelf. They count negative.
    std::optional<double> lowerTail;
    std::optional<double> lowerDepth;
    std::optional<bool> lowerShelf;
    // The positives spread over a plateau from plateauFrom to plateauTo times the negatives'
    // level instead of one cluster; with humps, half of them in that many humps across it.
    std::optional<double> plateauFrom;
    std::optional<double> plateauTo;
    std::optional<int> plateauHumps;
    // The positives in these levels instead (multiples of the negatives' level, each with its
    // share of the droplets); the target's fraction is then not used.
    std::optional<std::vector<LumaraSynth::WellShape::Level>> levels;
    std::optional<int> debris;    // droplets far above every cluster
    std::optional<int> saturated; // droplets above full scale, saturated on the images

    bool any() const;
    // These fields where set, the others from `base`.
    ShapeOptions over(const ShapeOptions &base) const;
};

struct TargetOption {
    QString name;
    QString dye;
    double fraction = 0.2; // probability that a droplet is positive for the target
};

struct GeneratorOptions {
    ArchiveKind kind = ArchiveKind::Imrs;
    int wells = 4;
    // Droplets per well, approximately (the lattice fills the image). With only a count the
    // image is sized to hold it; with a count and a size the droplets are scaled to fit; with
    // neither the image is 512 x 512.
    int droplets = 0;
    int width = 0;
    int height = 0;
    int volume = 800; // 300, 600, 800 or 3000 pl: the droplet geometry and the stored volume
    QList<TargetOption> targets = defaultTargets();
    // Per well (0-based index): fractions by target name that replace the target's own, and
    // the targets the well measures (all when absent).
    QMap<int, QMap<QString, double>> wellFractions;
    QMap<int, QStringList> wellTargets;
    // Per well (0-based index): its sample name instead of "S<n>".
    QMap<int, QString> wellSamples;
    // Well shapes: for every target of every well, and per well (0-based index) and target
    // name, replacing the run's field by field.
    ShapeOptions shape;
    QMap<int, QMap<QString, ShapeOptions>> wellShapes;
    int pcrVersion = 1; // 0: layout 3.0, 1: layout 3.1
    int imageSets = 1;  // 2: each channel as a top and a bottom 8-bit half (layout 3.1)
    int expVersion = 1;
    QString password;
    bool passwordEntry = true;
    bool matrix = true;       // store the compensation matrix of the crosstalk
    double crosstalk = 0.0;   // share of each dye seen in the next channel (half of it in the one before)
    // The share the stored matrix takes off, where it differs from what the images hold (a
    // calibration gone wrong).
    std::optional<double> matrixCrosstalk;
    double vignetting = 0.0;  // brightness at the image corners falls to 1 - vignetting
    bool fileLog = true;
    bool reagentKit = false;
    bool analysisParams = true;
    // The "analysisparams.json" content; empty: the analysis library's defaults.
    QByteArray analysisParamsJson;
    bool zeroWellIds = false;
    bool fullDropletLists = false;
    QString imageFolder;
    quint64 seed = 1;
    StoredDroplets storedDroplets = StoredDroplets::Recognised;
    // The data folder the recognition's assets and default parameters are read from; empty:
    // "../data" beside the running program, as the program finds its own.
    QString dataFolder;

    // Whether any target of any well is drawn as a well shape.
    bool drawsShapes() const;

    static QList<TargetOption> defaultTargets();
};

// The crosstalk between the measured channels (target channels and the reference) as the
// rendering applies it: observed[c] = sum over k of m[c][k] * pure[k].
std::array<std::array<double, ChannelCount>, ChannelCount> crosstalkMatrix(double amount,
                                                                           const QVector<int> &channels);

// The levels debris and positives are drawn at: debris far above the positives, which stay
// below a level that leaves room for it.
constexpr double DebrisGrey = 50000.0;
constexpr double MaxPositiveGrey = 40000.0;

// The well shape of a target drawn positive with probability `fraction`, on the levels of
// `levels`; `shape` as the options ask for it (see ShapeOptions).
LumaraSynth::WellShape wellShapeFor(const ShapeOptions &shape, double fraction, const LumaraSynth::ChipPlan &levels);

// Renders the wells on demand, each from its own seed, so wells can be made in any order and
// in parallel with the same result.
class SynthWells : public WellSource {
public:
    // False with a message when the options cannot make a run.
    bool setOptions(const GeneratorOptions &options, QString *error);

    int wellCount() const override { return m_options.wells; }
    WellSummary summary(int index) const override;
    bool well(int index, WellPlan *out, QString *error) const override;

    // The run description without wells, for writeArchive together with this source.
    const RunPlan &runPlan() const { return m_run; }
    // The image size and droplet geometry chosen for the options.
    int imageWidth() const { return m_width; }
    int imageHeight() const { return m_height; }
    double dropletRadius() const { return m_radius; }
    double dropletPitch() const { return m_pitch; }

private:
    GeneratorOptions m_options;
    RunPlan m_run;
    int m_width = 0;
    int m_height = 0;
    double m_radius = 0.0;
    double m_pitch = 0.0;
    double m_radiusJitter = 0.0;
    double m_positionJitter = 0.0;
    int m_expectedDroplets = 0;
    std::array<std::array<double, ChannelCount>, ChannelCount> m_crosstalk{};
    std::shared_ptr<const WellRecognition> m_recognition; // for recognised droplets
};

// Renders and writes a whole run with its ground truth.
bool generatePackage(const GeneratorOptions &options, const QString &path, RunTruth *truth = nullptr,
                     QString *error = nullptr);

} // namespace MkPackage
