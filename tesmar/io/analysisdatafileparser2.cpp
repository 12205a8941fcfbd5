#include "io/analysisdatafileparser2.h"

#include "io/entryreadbuffer.h"
#include "io/imagestack.h"
#include "io/poolwork.h"
#include "io/recordstream.h"
#include "io/runarchiveimages.h"
#include "model/analysisdatamgr.h"
#include "model/analysisexperimentmgr.h"
#include "model/analysisresultmgr.h"
#include "model/customizedplotmgr.h"
#include "model/drpltclassifymgr.h"
#include "model/drpltimginfomgr.h"

#include <QDebug>
#include <QHash>
#include <QImage>
#include <QSet>
#include <quazip.h>
#include <quazipfile.h>

#include <optional>

using namespace LumaraAnalysisData;

namespace {

enum class ExperimentForm { Flat, Nested };
enum class ImageRecordForm { Short, Full };

// Everything a body holds, read before any manager is touched.
struct Body {
    ThresholdMode mode = LineThreshold;
    AnalysisExpGlobalInfo experiments;
    QList<WellImageAnalysisInfo> images;
    QList<Customized2DPlotInfo> plots2D;
    QList<Customized3DPlotInfo> plots3D;
    ClassifyGlobalInfo classification;
    QList<WellClassifyInfoByLine> lineWells;
    QList<WellClassifyInfoByPolygon> polygonWells;
    QList<WellResultInfo> results;
};

bool ok(const QDataStream &ds) { return ds.status() == QDataStream::Ok; }

// Stored sizes of the records without their lists, the lower bounds for reservation.
constexpr int FlatWellMinBytes = 16;         // wellId, refChanId, name count, expId
constexpr int ShortImageRecordMinBytes = 37; // wellId, valid, sharpness, counter, roxValue, three counts

// Flat well: wellId, refChanId, one name list, expId. The names become the well's only list.
void readFlatWell(QDataStream &ds, WellItemInfo &well)
{
    QVector<QString> names;
    ds >> well.wellId >> well.refChanId;
    readContainer(ds, names);
    ds >> well.expId;
    well.imageNames = {names};
}

bool readExperimentData(QDataStream &ds, ExperimentForm form, AnalysisExpGlobalInfo &info)
{
    if (form == ExperimentForm::Nested)
        return readRecord(ds, info);
    readContainerWith<QList<WellItemInfo>, WellItemInfo>(ds, info.wells, readFlatWell,
                                                         FlatWellMinBytes);
    readContainer(ds, info.experiments);
    return ok(ds);
}

// The old image record has no reference-dye channel; it stays 0 (none known).
void readShortImageRecord(QDataStream &ds, WellImageAnalysisInfo &v)
{
    ds >> v.wellId >> v.valid >> v.sharpness >> v.saturatedDrpltNum >> v.roxValue;
    v.roxChannel = 0;
    readContainer(ds, v.droplets);
    readContainer(ds, v.excludedDrplts);
    readContainer(ds, v.chanInfos);
}

bool readImageRecords(QDataStream &ds, ImageRecordForm form, QList<WellImageAnalysisInfo> &out)
{
    if (form == ImageRecordForm::Full)
        return readContainer(ds, out);
    readContainerWith<QList<WellImageAnalysisInfo>, WellImageAnalysisInfo>(
        ds, out, readShortImageRecord, ShortImageRecordMinBytes);
    return ok(ds);
}

// The threshold mode and the experiment data: all the images need.
bool readHead(QDataStream &ds, ExperimentForm experimentForm, Body &b)
{
    return readRecord(ds, b.mode) && readExperimentData(ds, experimentForm, b.experiments);
}

// Everything after the experiment data.
bool readRest(QDataStream &ds, ImageRecordForm imageForm, Body &b)
{
    if (!readImageRecords(ds, imageForm, b.images))
        return false;
    readContainer(ds, b.plots2D);
    readContainer(ds, b.plots3D);
    readRecord(ds, b.classification);
    // Only the list of the stored mode is there.
    if (b.mode != LineThreshold)
        readContainer(ds, b.polygonWells);
    else
        readContainer(ds, b.lineWells);
    readContainer(ds, b.results);
    return ok(ds);
}

bool readBody(QDataStream &ds, ExperimentForm experimentForm, ImageRecordForm imageForm, Body &b)
{
    return readHead(ds, experimentForm, b) && readRest(ds, imageForm, b);
}

// True when nothing follows. Reads a byte to find out, so only for use inside a transaction.
bool usedUp(QIODevice *device)
{
    char c = 0;
    return device->read(&c, 1) <= 0;
}

// Version 1 bodies were written flat by older writers and nested by the current one. A nested
// body can read as flat without error for a while and misplace everything after it, so the
// flat reading counts only when the whole body reads without error and uses up the entry;
// otherwise the body is read again from its start, nested.
bool readVersion1(QIODevice *device, Body &body)
{
    device->startTransaction();
    {
        QDataStream ds(device);
        Body flat;
        if (readBody(ds, ExperimentForm::Flat, ImageRecordForm::Full, flat) && usedUp(device)) {
            device->commitTransaction();
            body = flat;
            return true;
        }
    }
    device->rollbackTransaction();
    QDataStream ds(device);
    return readBody(ds, ExperimentForm::Nested, ImageRecordForm::Full, body);
}

constexpr int ChannelCount = PerChannel;

// The entries of the package, read once for all wells.
QSet<QString> packageEntries(const QString &zipPath)
{
    QuaZip zip(zipPath);
    if (!zip.open(QuaZip::mdUnzip)) {
        qWarning("loadDrpltImages():unzip original file failed!");
        return {};
    }
    const QStringList names = zip.getFileNameList();
    zip.close();
    return QSet<QString>(names.cbegin(), names.cend());
}

// The bytes of the image a stored name stands for in the embedded source archive of that file
// name, found the way that archive's own reader finds it. Empty for an empty name or ".", and
// wherever nothing is found or inflates whole.
QByteArray readEmbedded(RunArchiveImages::EntryReader &reader, const QSet<QString> &entries,
                        const QString &sourceFileName, const QString &name)
{
    for (const QString &candidate : WellImages::entryCandidates(name, sourceFileName, true))
        if (entries.contains(candidate))
            return reader.read(candidate);
    return QByteArray();
}

// One image per name; a well without names gets six null images.
template <typename Read>
QVector<QImage> oneListImages(const QVector<QString> &names, Read read)
{
    if (names.isEmpty())
        return QVector<QImage>(ChannelCount);
    QVector<WellImages::Encoded> encoded;
    encoded.reserve(names.size());
    for (const QString &name : names)
        encoded.append({name, read(name)});
    return WellImages::decode(encoded);
}

// Two images per channel, stacked. A channel with both names empty, or with a half that
// is missing or of another size than its partner, is null.
template <typename Read>
QVector<QImage> twoListImages(const QVector<QString> &top, const QVector<QString> &bottom, Read read)
{
    QVector<QImage> out(ChannelCount);
    if (top.isEmpty() || bottom.isEmpty())
        return out;
    QVector<WellImages::Encoded> encoded;
    for (int k = 0; k < ChannelCount; ++k) {
        const QString a = top.value(k);
        const QString b = bottom.value(k);
        const bool none = a.isEmpty() && b.isEmpty();
        encoded.append({a, none ? QByteArray() : read(a)});
        encoded.append({b, none ? QByteArray() : read(b)});
    }
    const QVector<QImage> halves = WellImages::decode(encoded);
    for (int k = 0; k < ChannelCount; ++k)
        out[k] = WellImages::stackHalves(halves.at(2 * k), halves.at(2 * k + 1));
    return out;
}

} // namespace

AnalysisDataFileParser2::AnalysisDataFileParser2(const QString &zipPath, AnalysisDataMgr **target)
    : AnalysisDataFileParser(zipPath, target)
{
}

bool AnalysisDataFileParser2::parseBody(const EntryHeader &header, QIODevice *device)
{
    qDebug() << "AnalysisDataFileParser2" << header.version;
    if (header.fileType != FileType)
        return false;
    if (header.version < 0 || header.version > 2)
        return false;
    AnalysisDataMgr *mgr = target();
    if (!mgr || !device)
        return false;
    setVersion(header.version);

    // Read through a buffer: the bounded reservations ask for the bytes left at every list,
    // which a zip entry answers by reading the archive's directory.
    EntryReadBuffer buffered(device, device->bytesAvailable());
    Body body;
    bool good = false;
    // Once the experiment data is read the images decode on the pool while the rest of the
    // body is read; this thread counts as one of the pool's meanwhile. A version 1 body is
    // known only once it has read whole, so its images start after it.
    std::unique_ptr<RunArchiveImages::ImageLoadJob> images;
    std::optional<PoolThreadReservation> reserved;
    if (header.version == 1) {
        good = readVersion1(&buffered, body);
    } else {
        QDataStream ds(&buffered);
        good = readHead(ds, header.version == 0 ? ExperimentForm::Flat : ExperimentForm::Nested, body);
        if (good) {
            images = startImageLoad(body.experiments);
            reserved.emplace();
            good = readRest(ds, header.version == 0 ? ImageRecordForm::Short : ImageRecordForm::Full, body);
        }
    }
    if (!good)
        return false;
    if (!images)
        images = startImageLoad(body.experiments);

    mgr->setThldType(body.mode);
    mgr->getAnalysisExpMgr()->setAnalysisExpGlobalInfo(body.experiments);
    mgr->getDrpltImgInfoMgr()->setWellImgAnalysisInfos(body.images);
    CustomizedPlotGlobalInfo plots;
    plots.plots2D = body.plots2D;
    plots.plots3D = body.plots3D;
    mgr->getCustomizedPlotMgr()->setCustomizedPlotGlobalInfo(plots);
    DrpltClassifyMgr *classify = mgr->getDrpltClassifyMgr();
    classify->setClassifyGlobalInfo(body.classification);
    if (body.mode != LineThreshold)
        classify->setClassifyInfoOfWellsByPolygon(body.polygonWells);
    else
        classify->setClassifyInfoOfWellsByLine(body.lineWells);
    mgr->getAnalysisRetMgr()->setWellResults(body.results);
    reserved.reset();
    // The images go on decoding: the document takes them when first asked.
    mgr->getAnalysisExpMgr()->setWellDrpltImgsInFlight(
        RunArchiveImages::imagesInFlight(std::move(images), body.experiments.wells));
    return true;
}

std::unique_ptr<RunArchiveImages::ImageLoadJob>
AnalysisDataFileParser2::startImageLoad(const AnalysisExpGlobalInfo &info) const
{
    // Each well takes its images from the source of its own experiment (the first with its
    // id): wells of several sources may come in any order. A well whose experiment is missing
    // keeps its place with null images, so the image list stays parallel to the wells.
    QHash<quint32, QString> sourceOf;
    for (const ExpItemInfo &exp : info.experiments)
        if (!sourceOf.contains(exp.id))
            sourceOf.insert(exp.id, exp.fileName);

    const QSet<QString> entries = info.wells.isEmpty() ? QSet<QString>() : packageEntries(zipPath());
    const int layout = version();
    // Decoded on the pool, one task per well, in the wells' order, as a run archive's images.
    return std::make_unique<RunArchiveImages::ImageLoadJob>(
        info.wells, zipPath(), getPassword(),
        [sourceOf, entries, layout](const WellItemInfo &well, RunArchiveImages::EntryReader &reader) {
            const auto found = sourceOf.constFind(well.expId);
            const bool known = found != sourceOf.constEnd();
            const QString source = known ? found.value() : QString();
            auto read = [&](const QString &name) {
                return known ? readEmbedded(reader, entries, source, name) : QByteArray();
            };
            const QVector<QVector<QString>> &lists = well.imageNames;
            if (layout < 2 || lists.size() == 1)
                return oneListImages(lists.value(0), read);
            if (lists.size() == 2)
                return twoListImages(lists.at(0), lists.at(1), read);
            // Any other number of lists: no images.
            return QVector<QImage>();
        });
}
