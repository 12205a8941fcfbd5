#pragma once
// Writers of the entries an instrument run archive holds, and of zip archives made of them.
// The structs are plain: every field the stored layout has is here, in stream order, so test
// data can set fields the program ignores and craft damaged entries.
#include <QByteArray>
#include <QChar>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

#include <array>
#include <memory>

namespace PkgWriter {

// ---- Shared parts ------------------------------------------------------------------------------

struct MethodStep {
    double rampRate = 5.0;
    double temperature = 0.0;
    double deltaTemperature = 0.0;
    double gradient = 0.0;
    qint32 holdTime = 60;
    qint32 deltaTime = 0;
    double extraValue = 0.0;
    qint32 extraInt = 0;
    bool collect = false;
    qint32 mode = 0;
};

struct MethodStage {
    qint32 type = 0;
    qint32 cycles = 0;
    QList<MethodStep> steps;
};

// A target as the instrument names it: by dye number.
struct TargetEntry {
    QString name;
    QString note;
    qint32 dye = 0;
};

struct SampleEntry {
    QString name;
    QString note;
};

// The common header of typed entries: type, version, three null strings, write time.
QByteArray entryHeader(qint32 fileType, qint32 version, qint64 writeTime = 0);

// ---- run.exp of .expzip archives (little-endian, behind a 128-byte magic area) ------------------

struct Exp1Well {
    QStringList targetNames;
    QString sampleName;
    QString text;
    qint32 drpltVolume = 800;
    qint32 drpltSum = 20000;
};

struct Exp1Record {
    QString name;
    QString comment;
    qint32 blocksType = 0;
    qint32 expType = 0;
    qint32 reagentsType = 0;
    bool flag = false;
    QList<TargetEntry> targets;
    QList<SampleEntry> samples;
    QList<Exp1Well> wells; // entry k is grid position k
    // The method block, itself a little-endian stream.
    QByteArray methodPreamble = QByteArray(128, '\0'); // padded or cut to 128 bytes
    double methodValue = 150.0;
    bool methodFlag = true;
    qint32 methodInt = 1;
    QList<MethodStage> stages;
    // When set, stored as the method block instead of the fields above.
    bool useRawMethodBlock = false;
    QByteArray rawMethodBlock;
};

// The bytes of the method block of `r` (its raw block when that is set).
QByteArray exp1MethodBlock(const Exp1Record &r);
// The record alone, little-endian.
QByteArray exp1Record(const Exp1Record &r);
// The 128-byte magic area: `text`, a NUL, then `tail`, padded with NULs or cut to 128 bytes.
QByteArray exp1MagicArea(const QByteArray &text = QByteArrayLiteral("PCRExperiment"),
                         const QByteArray &tail = QByteArray());
// The whole entry: magic area, then the record.
QByteArray exp1Entry(const Exp1Record &r, const QByteArray &magicArea = exp1MagicArea());

// ---- run.exp of .imrs archives (big-endian, behind the common header) --------------------------

struct Exp3Triple {
    QChar code;
    double first = 0.0;
    double second = 0.0;
};

struct Exp3Well {
    QString prefix;
    qint32 plateIndex = 0;
    qint32 drpltVolume = 0;
    qint32 drpltSum = 0;
    QStringList targetNames;
    QString sampleName;
    QList<Exp3Triple> triples;
    QString text;
};

struct Exp3Record {
    QString name;
    QString comment;
    qint32 blocksType = 0;
    qint32 dropletWorkType = 0; // written by layout 1 only
    qint32 expType = 0;
    qint32 reagentsType = 0;
    bool flag = false;
    qint32 flagInt = 0;
    QList<TargetEntry> targets;
    QList<SampleEntry> samples;
    QList<Exp3Well> wells; // entry k is grid position k
    double methodValue = 0.0;
    bool methodFlag = false;
    qint32 methodInt = 0;
    QList<MethodStage> stages;
};

// The record alone in `layout` (1: four type integers, 0: three).
QByteArray exp3Record(const Exp3Record &r, int layout);
// Header {fileType, version} then the record in layout `version`.
QByteArray exp3Entry(const Exp3Record &r, qint32 version, qint32 fileType = 1);

// ---- run.exp of saved packages (the program's configuration body) -----------------------------

struct ConfigWell {
    quint32 id = 0;
    QString position;
    QString name;
    QString prefix;
    qint32 plateIndex = 0;
    QString text;
    qint32 drpltVolume = 0;
    qint32 drpltSum = 0;
    QList<quint32> channels;
    QString sampleName;
};

struct ConfigBody {
    QString name;
    qint32 blocksType = 0;
    qint32 expType = 0;
    qint32 dropletWorkType = 0; // written by the four-integer form only
    qint32 reagentsType = 0;
    QList<QPair<QString, QString>> targets; // name, fluorophore
    QStringList samples;
    QList<ConfigWell> wells;
    double methodValue = 0.0;
    QList<MethodStage> stages;
    QString comment;
};

QByteArray configBody(const ConfigBody &b, bool fourIntegers);
QByteArray configEntry(const ConfigBody &b, qint32 version, bool fourIntegers, qint32 fileType = 1);

// ---- run.pcr of .imrs archives (big-endian, behind the common header) --------------------------

// List 1: where a well's images are and which channel holds its reference dye.
struct Pcr3ExpInfo {
    qint32 wellId = 0;
    qint32 refChannel = 2; // 0-based channel index
    // Layout 3.0 stores the first set only (six names, one per channel); 3.1 stores every set.
    QList<QStringList> imageNameSets;
};

// One droplet of list 2: three integers (x, y, size) and seven per-channel lists.
struct Pcr3Droplet {
    qint32 x = 0;
    qint32 y = 0;
    qint32 size = 0;
    std::array<QVector<qint32>, 7> lists;
};

struct Pcr3DropletData {
    qint32 wellId = 0;
    bool valid = true;
    double sharpness = 0.0;
    qint32 counter = 0;
    QList<Pcr3Droplet> droplets;
    QList<QVector<qint32>> channelLists;
};

// Two lists per channel; the first value of the first is the channel's line threshold.
struct Pcr3PairEntry {
    QVector<qint32> first;
    QVector<qint32> second;
};

using QualityFigures = std::array<double, 6>;

// List 3.
struct Pcr3Classify {
    qint32 wellId = 0;
    double roxValue = 0.0;
    qint32 roxChannel = 2;
    QList<quint32> excluded; // written as given, so duplicates can be crafted
    QList<Pcr3PairEntry> pairs;
    QList<QualityFigures> figures;
};

struct Pcr3TargetResult {
    QString targetName;
    double fraction = 0.0;
    qint32 positives = 0;
    qint32 negatives = 0;
    double concentration = 0.0;
    double lower = 0.0;
    double upper = 0.0;
    double uncertainty = 0.0;
    bool flag = false;
};

// List 4: one record per well of the archive.
struct Pcr3WellResult {
    qint32 wellId = 0;
    QString first;
    QString second;
    qint32 effDrpltNum = 0;
    QList<Pcr3TargetResult> results;
};

struct Pcr3Body {
    QList<Pcr3ExpInfo> expInfos;
    QList<Pcr3DropletData> dropletData;
    QList<Pcr3Classify> classifications;
    QList<Pcr3WellResult> results;
};

// The body in layout 3.0 (`layout` 0: one name set per well) or 3.1 (`layout` 1: a list of sets).
QByteArray pcr3Body(const Pcr3Body &b, int layout);
// The body's parts, for writers that assemble it from records serialised one by one: each list
// is its count and records; a list-2 record alone is `pcr3DropletRecord`.
QByteArray pcr3ExpInfoList(const QList<Pcr3ExpInfo> &list, int layout);
QByteArray pcr3DropletRecord(const Pcr3DropletData &d);
QByteArray pcr3ClassifyList(const QList<Pcr3Classify> &list);
QByteArray pcr3ResultList(const QList<Pcr3WellResult> &list);
// Header {fileType, version}, then the body in layout `version`.
QByteArray pcr3Entry(const Pcr3Body &b, qint32 version, qint32 fileType = 2, qint64 writeTime = 0);

// ---- run.pcr of .expzip archives (big-endian, no header) ---------------------------------------

struct Pcr1ChanEntry {
    quint32 targetIndex = 0; // position among the experiment's targets that have a channel
    quint32 lineThld = 0;
};

// The three leading integers are the centre (x, y) and the size, as in .imrs droplets.
struct Pcr1Droplet {
    quint32 x = 0;
    quint32 y = 0;
    quint32 size = 0;
    QVector<quint32> values; // carried, not read
    QVector<quint32> grays;  // one per channel entry
    quint32 refGray = 0;
};

struct Pcr1ChanStat {
    quint32 posDrpltNum = 0;
    std::array<double, 6> values{}; // the second is the concentration
};

struct Pcr1Well {
    quint32 number = 0;
    QStringList imageNames; // reference image first, then one per channel entry
    bool valid = true;
    QList<Pcr1ChanEntry> chanEntries;
    QList<Pcr1Droplet> drplts;
    QList<quint32> excluded;
    QVector<quint32> values;
    std::array<quint32, 4> counts{}; // the fourth is the effective droplet number
    double value = 0.0;
    QList<Pcr1ChanStat> chanStats;
};

// The whole entry: the vector of well records.
QByteArray pcr1Entry(const QList<Pcr1Well> &wells);
// One well record alone; the entry is the count followed by the records.
QByteArray pcr1WellRecord(const Pcr1Well &well);

// ---- run.dps, run.cmtx, fileMgrLog ------------------------------------------------------------

struct ScanParam {
    qint32 exposure = 0;
    double focus = 0.0;
};

// Version 0: one parameter vector for every well.
QByteArray dpsBodyV0(const QString &serial, const QVector<ScanParam> &params);
// Version 1: parameters by well id (keys written from the highest down, as maps stream).
QByteArray dpsBodyV1(const QString &serial, const QMap<quint32, QVector<ScanParam>> &params);
QByteArray dpsEntryV0(const QString &serial, const QVector<ScanParam> &params, qint64 writeTime = 0);
QByteArray dpsEntryV1(const QString &serial, const QMap<quint32, QVector<ScanParam>> &params,
                      qint64 writeTime = 0);

// The 336-byte matrix image: 36 little-endian doubles row by row, then six backgrounds.
// matrix[r][c] is the share of channel r's dye that shows in channel c.
struct MatrixImage {
    std::array<std::array<double, 6>, 6> matrix{};
    std::array<double, 6> background{};
    static MatrixImage identity();
};
QByteArray matrixBytes(const MatrixImage &m);
// Header {4, 0}, then the buffer as one byte array (an empty one: no matrix stored).
QByteArray cmtxEntry(const QByteArray &matrix, qint64 writeTime = 0);

// Header {0, 0}, then the experiment, well, zone, population and 2D plot counters.
QByteArray fileLogEntry(const std::array<qint32, 5> &counters, qint64 writeTime = 0);

// ---- Archives ----------------------------------------------------------------------------------

// The unencrypted "password" entry: an integer, then seven strings, the second the password.
QByteArray passwordEntry(const QString &password);

// Adds one deflated entry to the archive at zipPath (created when missing), encrypted with the
// Latin-1 bytes of `password` unless it is empty. False when the archive cannot be written.
bool addEntry(const QString &zipPath, const QString &entryName, const QByteArray &data,
              const QString &password = QString());

// A zip archive written entry by entry through one open handle: many entries without reopening
// the archive each time. Entries carry a fixed time stamp, so an archive without password is
// the same bytes for the same content.
class ArchiveWriter {
public:
    ArchiveWriter();
    ~ArchiveWriter();
    ArchiveWriter(const ArchiveWriter &) = delete;
    ArchiveWriter &operator=(const ArchiveWriter &) = delete;

    // Creates (or replaces) the archive at zipPath.
    bool create(const QString &zipPath);
    // Adds one entry; `level` is the deflate level (-1: zlib default, 0: stored).
    bool add(const QString &entryName, const QByteArray &data, const QString &password = QString(),
             int level = -1);
    // One entry made of several pieces written one after the other, so a large entry never
    // needs one buffer of its own.
    bool add(const QString &entryName, const QList<QByteArray> &parts, const QString &password = QString(),
             int level = -1);
    // Writes the central directory; false when any step failed.
    bool close();
    QString errorString() const;

    void setEntryTime(const QDateTime &time) { m_time = time; }

private:
    struct Zip;
    std::unique_ptr<Zip> m_zip;
    QDateTime m_time;
    QString m_error;
};

} // namespace PkgWriter
