#pragma once
// Turns a run description into the records and entries of a run archive, and writes it.
#include "runplan.h"

#include <QByteArray>
#include <QPair>
#include <QVector>

namespace MkPackage {

// ---- Pieces the composition is made of (exposed for tests and the generator) ---------------

// The instrument's dye tables: 0-based channel of a dye name (-1 when unknown) and its number in
// the table of an archive kind (-1 when that table lacks it).
int dyeChannel(const QString &dye);
int dyeNumber(const QString &dye, ArchiveKind kind);

// The droplet work type and blocks type an experiment of droplets of `volume` pl states, by
// which the analysis picks its templates.
void volumeTypes(int volume, qint32 *workType, qint32 *blocksType);

// "1A" for layout index 0, "2B" for 9: column (index / 8) + 1, row letter index % 8.
QString wellPosition(int layoutIndex);
// The instrument grid position that stores the well of `layoutIndex`; `columnInterleaved` for the
// layouts whose first four positions of each column go to rows 0, 2, 4, 6.
int gridPosition(int layoutIndex, bool columnInterleaved);

// Poisson concentration (copies per microlitre for a volume in pl) with 95 % bounds and the
// relative uncertainty; figures that are not finite (no droplets, every droplet positive) are 0.
Concentration poissonConcentration(int positives, int total, int volume);
// Mean and CV of both classes at `threshold` (positive at or above), separation and rain with a
// band of k deviations; -1 marks an undefined separation or rain.
PkgWriter::QualityFigures dropletQuality(const QVector<quint32> &values, quint32 threshold, int k);
// A threshold between the negatives and the positives: halfway between the highest negative and
// the lowest positive when they do not overlap; when they do, of the thresholds that misclassify
// the fewest droplets the one nearest halfway between the class means.
quint32 thresholdBetween(const QVector<quint32> &negatives, const QVector<quint32> &positives);

// Mean of the pixels whose centres lie within `radius` of (x, y), rounded, on the 16-bit scale.
// 8-bit images count each level as 256 of the 16-bit scale.
quint32 discMean(const QImage &image, double x, double y, double radius);
// Fills every droplet's greys from the well's images (channels without an image get 0), over a
// disc of `radiusFraction` times the droplet's radius. With `eightBit` the images are first cut
// to 8 bits, as a two-set archive stores them.
void measureGreys(WellPlan &well, bool eightBit, double radiusFraction = 1.0);

// The greys after spill-over compensation over `channels` (ascending): with A the matrix and b
// the backgrounds, y = inverse(A restricted and transposed) (g - b), compensated = b + y, clamped
// to 0 .. MaxGrey. Channels outside the list keep their value.
std::array<quint32, ChannelCount> compensate(const std::array<quint32, ChannelCount> &greys,
                                             const QVector<int> &channels,
                                             const PkgWriter::MatrixImage &matrix);

// 16-bit PNG bytes of a Format_Grayscale16 image, or 8-bit bytes of a Format_Grayscale8 one.
QByteArray encodePng(const QImage &image);
// The top or bottom half of a 16-bit image as an 8-bit image (the upper byte of each pixel).
QImage eightBitHalf(const QImage &image16, bool bottom);

// ---- The composition ----------------------------------------------------------------------

struct ComposedWell {
    WellTruth truth;
    // .imrs
    PkgWriter::Pcr3ExpInfo expInfo;
    PkgWriter::Pcr3DropletData dropletData;
    PkgWriter::Pcr3Classify classify;
    PkgWriter::Pcr3WellResult result;
    // .expzip
    PkgWriter::Pcr1Well pcr1;
    // "capture/..." entry name and PNG bytes
    QList<QPair<QString, QByteArray>> images;
};

class Composer {
public:
    // Checks the run-level description; false with a message when it cannot make an archive.
    // The plan must outlive the composer.
    bool prepare(const RunPlan &plan, const QList<WellSummary> &wells, QString *error);

    // The records and images of well `index` (0-based; it gets id index + 1). Thread-safe.
    bool composeWell(const WellPlan &well, int index, ComposedWell *out, QString *error) const;

    // The whole-run entries (everything but "run.pcr" and the images).
    QByteArray passwordEntry() const;
    QByteArray experimentEntry() const;
    QByteArray deviceEntry() const;
    QByteArray matrixEntry() const;
    QByteArray fileLogEntry() const;
    static QByteArray reagentKitEntry();

    const QList<int> &zoneChannels() const { return m_zoneChannels; }
    const RunPlan &plan() const { return *m_plan; }
    int wellCount() const { return m_wells.size(); }

private:
    // Indices into the plan's targets of a well's target names (every target when empty).
    QList<int> wellTargets(const QStringList &targets) const;

    const RunPlan *m_plan = nullptr;
    QList<WellSummary> m_wells;
    QVector<int> m_targetChannels; // per target of the plan
    QList<int> m_zoneChannels;     // sorted
};

// Writes the archive at `path` (replacing a file there) and its ground truth beside it
// (`truthPathFor`). Wells are composed in parallel, a few at a time, and their images written
// as they come. False with a message when the description is refused or a write fails; a
// partly written archive is removed.
bool writeArchive(const RunPlan &plan, const WellSource &wells, const QString &path,
                  RunTruth *truth = nullptr, QString *error = nullptr);
bool writeArchive(const RunPlan &plan, const QString &path, RunTruth *truth = nullptr,
                  QString *error = nullptr);

// "<archive>.truth.json": {kind, pcrVersion, imageSets, password, matrix, seed (a string),
// zoneChannels (0-based, ascending), wells: [{id, position, droplets (stored), drawnDroplets
// (on the images), excluded, sharpness and saturated (stored), referenceMean,
// channels: [{channelIndex (0-based), target, dye, threshold, positives and total (of the
// stored droplets not excluded, by the class each was drawn with), fraction, drawnFraction,
// storedPositives (by the stored threshold), stored: {concentration, lower, upper,
// uncertainty}, and for a channel drawn as a well shape: shape (its parameters, greys on the
// images' scale; a lower tail, a plateau and levels only where drawn, in multiples of
// negativeMean) and drawn: {negatives, positives, rain, rainPositive, debris, saturated} over
// the same droplets, whose classes (and so positives) follow the shape's truth}], zones:
// [{mask, droplets}] over every droplet, images: the "capture/" entries}]}.
QString truthPathFor(const QString &archivePath);
QByteArray truthJson(const RunTruth &truth);

} // namespace MkPackage
