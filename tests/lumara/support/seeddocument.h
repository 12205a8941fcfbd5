#pragma once
// Fills the process-wide analysis document in memory, through its own managers, with exactly
// the wells, targets, droplets, thresholds, zones, populations and plots a test describes.
// The document first opens a tiny generated run archive (the only way it takes managers) and
// then every manager's content is replaced, so nothing of that archive is left.
#include "generator.h"
#include "model/lumaraanalysisdata.h"

#include <QImage>
#include <QList>
#include <QMap>
#include <QPair>
#include <QPoint>
#include <QPolygonF>
#include <QSet>
#include <QSize>
#include <QString>
#include <QVector>

#include <array>

namespace BllTest {

using Greys = std::array<uint, LumaraAnalysisData::PerChannel>; // entry channel - 1

struct DropletSeed {
    Greys raw{};         // grey value before crosstalk adjustment
    Greys compensated{}; // after it: also the value the line recount classifies
    QPoint centre{-1, -1}; // in image pixels; (-1, -1): droplet i at (i, i)
    Greys flags{};       // per-channel status values, 3 for a saturated channel
};

// A droplet whose compensated values equal its raw ones.
DropletSeed droplet(const Greys &raw);
DropletSeed droplet(const Greys &raw, const Greys &compensated);

struct WellSeed {
    uint id = 0;
    QString position;
    QString sampleName;
    QString prefix;
    QList<uint> channels;      // target channels 1..6 (stored 0-based in the configuration)
    uint referenceChannel = 3; // 1..6
    int volume = 800;
    int dropletSum = -1; // -1: the number of droplets
    int plateIndex = 0;
    QString comment;
    QVector<DropletSeed> droplets;
    QSet<uint> excluded;
    Greys lineThresholds{};        // the classification's thresholds (line mode)
    Greys analysisThresholds{};    // raw thresholds of the image-analysis record
    Greys compensatedThresholds{}; // compensated thresholds of that record
    QVector<QSize> imageSizes;     // one 16-bit image per entry (channel order); none when empty
    // The prepared channel images the business layer hands to the droplet views, entry
    // channel - 1, 8- or 16-bit grey with the given pixels; a null entry has none.
    QVector<QImage> channelImages;
    double sharpness = 2400.0;
    uint saturatedCount = 0;
    QVector<QVector<QString>> imageNames; // per image block, the six entry names in the package
    std::array<int, LumaraAnalysisData::PerChannel> exposure{{100, 100, 100, 100, 100, 100}};
    double focus = 0.25;
};

struct ZoneSeed {
    int plot = -1;      // index into DocumentSeed::plots2D; -1: no plot
    QPolygonF polygon;  // set in every well
    QMap<uint, QPolygonF> wellPolygons; // overrides by well id
};

struct PopulationSeed {
    QString name;
    QString colour = QStringLiteral("#4FB1DB");
    bool negEdited = false;
    QList<QPair<int, LumaraAnalysisData::ZoneType>> zones; // zone index into DocumentSeed::zones
};

struct DocumentSeed {
    // (target name, dye) per channel, entry channel - 1.
    QVector<LumaraAnalysisData::TargetInfo> targets = QVector<LumaraAnalysisData::TargetInfo>(LumaraAnalysisData::PerChannel);
    QList<WellSeed> wells;
    // Line mode: the zones and one population per named, used channel come from the
    // document's own line classification. Polygon mode: zones and populations as listed.
    LumaraAnalysisData::ThresholdMode mode = LumaraAnalysisData::LineThreshold;
    QList<QPair<QString, QPair<uint, uint>>> plots2D;                // name, (x, y)
    QList<QPair<QString, std::array<uint, 3>>> plots3D;              // name, (x, y, z)
    QList<ZoneSeed> zones;
    QList<PopulationSeed> populations;
    QByteArray matrix;          // stored and applied when not empty
    bool sharedScanning = false; // device parameters under key 0 (from the first well)
    QString comment;
    QString sourceFileName = QStringLiteral("seed.imrs");
    // The thermal-cycling method; the archive's own one is kept while this has no stages.
    LumaraAnalysisData::MethodInfo method;
};

// The ids the document gave, in the seed's order.
struct SeededIds {
    QList<uint> plots2D;
    QList<uint> plots3D;
    QList<uint> zones;
    QList<uint> populations;
};

// A well at the position with the target channels and droplets; everything else default.
WellSeed well(uint id, const QString &position, const QList<uint> &channels,
              const QVector<DropletSeed> &droplets = {});

// Targets named "T<channel>" with dyes "D<channel>" on the listed channels (1..6).
QVector<LumaraAnalysisData::TargetInfo> namedTargets(const QList<uint> &channels);

// Replaces the document's content with the seed. False with a message when the document
// cannot be prepared.
bool seedDocument(const DocumentSeed &seed, SeededIds *ids = nullptr, QString *error = nullptr);

// The named, used channels in channel order, as 0-based indices: the line classification's
// channel list.
QList<int> lineChannels(const DocumentSeed &seed);

// The generated archive the document opens before seeding (made once per process).
QString basePackagePath(QString *error = nullptr);

// A generated run archive written as folder/name (missing folders made); "" with a warning
// when it cannot be made.
QString generateRun(const QString &folder, const QString &name, const MkPackage::GeneratorOptions &options);
// Two wells of size x size pixels with 10 % crosstalk, its matrix stored when asked, their
// droplets as drawn.
MkPackage::GeneratorOptions smallRun(bool matrix, quint64 seed, int size);

} // namespace BllTest
