#include "io/analysisdatafileparser3.h"

#include "io/analysisfileparser.h"
#include "io/entryreadbuffer.h"
#include "io/imagestack.h"
#include "io/poolwork.h"
#include "io/runarchiveimages.h"
#include "io/runarchiverecords.h"
#include "model/analysisdatamgr.h"
#include "model/analysisexperimentmgr.h"
#include "model/analysisresultmgr.h"
#include "model/drpltclassifymgr.h"
#include "model/drpltimginfomgr.h"

#include "classifystatistic.h"

#include <QDebug>
#include <QFileInfo>
#include <QThreadPool>
#include <quazipfile.h>

#include <algorithm>
#include <memory>
#include <new>

using namespace LumaraAnalysisData;

namespace {

constexpr int Channels = PerChannel;

bool ok(const QDataStream &ds)
{
    return ds.status() == QDataStream::Ok;
}

bool refuse(const char *why)
{
    qDebug() << "run.pcr refused:" << why;
    return false;
}

bool holdsNonZero(const QVector<quint32> &list)
{
    return std::any_of(list.cbegin(), list.cend(), [](quint32 v) { return v != 0; });
}

const QVector<quint32> &sixZeros()
{
    // Shared by every droplet stored without a first list.
    static const QVector<quint32> zeros(Channels, 0u);
    return zeros;
}

// One stored droplet block: three integers and seven per-channel lists, turned into the four
// lists the document keeps. Lists 2 to 4 are indexed by channel, so each must cover all six;
// a shorter one marks the stream corrupt and the list read fails as a whole. Blocks are the
// bulk of the entry and are read straight from the entry buffer.
struct DropletScratch {
    QVector<quint32> lists[7]; // reused from droplet to droplet: the lists not kept
};

void readDroplet(QDataStream &ds, EntryReadBuffer &in, DropletScratch &scratch, LumetAnalysis3::DropletEntry &e,
                 int r0)
{
    QVector<quint32> *lists = scratch.lists;
    bool read = in.readU32(e.x) && in.readU32(e.y) && in.readU32(e.size);
    for (int k = 0; k < 7 && read; ++k) {
        if (k == 1)
            read = in.readU32List(e.values);
        else if (k == 6)
            read = in.readU32List(e.flags);
        else
            read = in.readU32List(lists[k]);
    }
    if (!read) {
        ds.setStatus(QDataStream::ReadPastEnd);
        return;
    }
    if (e.flags.isEmpty())
        e.flags = sixZeros();
    const QVector<quint32> &raw = holdsNonZero(lists[3]) ? lists[3] : lists[2];
    const bool compStored = holdsNonZero(lists[4]);
    const QVector<quint32> &comp = compStored ? lists[4] : raw;
    if (e.values.size() < Channels || raw.size() < Channels || comp.size() < Channels) {
        ds.setStatus(QDataStream::ReadCorruptData);
        return;
    }
    std::copy_n(raw.cbegin(), Channels, e.raw.begin());
    std::copy_n(comp.cbegin(), Channels, e.comp.begin());
    // A missing reference grey falls back to the second list.
    if (e.raw[size_t(r0)] == 0)
        e.raw[size_t(r0)] = e.values.at(r0);
    if (!compStored)
        e.comp = e.raw;
    else if (e.comp[size_t(r0)] == 0)
        e.comp[size_t(r0)] = e.values.at(r0);
}

void readDropletData(QDataStream &ds, EntryReadBuffer &in, DropletScratch &scratch,
                     LumetAnalysis3::WellImageAnalysisInfo &v, int r0)
{
    ds >> v.wellId >> v.valid >> v.sharpness >> v.counter;
    readContainerWith<QVector<LumetAnalysis3::DropletEntry>, LumetAnalysis3::DropletEntry>(
        ds, v.droplets,
        [&](QDataStream &s, LumetAnalysis3::DropletEntry &e) { readDroplet(s, in, scratch, e, r0); },
        StreamMinBytes<LumetAnalysis3::DropletEntry>::value);
    // The stored per-channel lists are not used further.
    QVector<QVector<quint32>> channelLists;
    readContainerWith<QVector<QVector<quint32>>, QVector<quint32>>(
        ds, channelLists,
        [&in](QDataStream &s, QVector<quint32> &l) {
            if (!in.readU32List(l))
                s.setStatus(QDataStream::ReadPastEnd);
        },
        4);
}

template <typename R>
void numberByPosition(QVector<R> &list)
{
    for (int i = 0; i < list.size(); ++i)
        if (list.at(i).wellId == 0)
            list[i].wellId = i + 1;
}

template <typename R>
int findWell(const QVector<R> &list, qint32 wellId)
{
    for (int i = 0; i < list.size(); ++i)
        if (list.at(i).wellId == wellId)
            return i;
    return -1;
}

// Everything one well hands to the managers, built before any manager is touched.
struct WellPlan {
    WellItemInfo item;
    WellClassifyInfoByLine classify;
    WellImageAnalysisInfo image;
    WellResultInfo result;
};

WellItemInfo wellItem(const LumetAnalysis3::WellAnalysisExpInfo &e)
{
    WellItemInfo item;
    item.wellId = quint32(e.wellId);
    item.refChanId = quint32(e.refChannel + 1);
    item.imageNames = e.imageNames;
    item.expId = 1;
    return item;
}

// The images of one well: one set, or a top and a bottom set stacked per channel.
QVector<QImage> loadWellImages(const WellItemInfo &well, RunArchiveImages::EntryReader &reader)
{
    auto read = [&reader](const QString &name) {
        const QString entry = RunArchiveImages::captureEntryName(name);
        return WellImages::Encoded{entry, name.isEmpty() ? QByteArray() : reader.read(entry)};
    };
    QVector<WellImages::Encoded> encoded;
    const QVector<QVector<QString>> &sets = well.imageNames;
    if (sets.size() == 1) {
        for (const QString &name : sets.at(0))
            encoded.append(read(name));
        return WellImages::decode(encoded);
    }
    QVector<QImage> images;
    if (sets.size() == 2) {
        const QVector<QString> &top = sets.at(0);
        const QVector<QString> &bottom = sets.at(1);
        images.resize(Channels);
        if (top.isEmpty() || bottom.isEmpty())
            return images;
        // The read made sure that both sets name six images; all twelve halves share one size.
        for (int c = 0; c < Channels; ++c) {
            const bool none = top.at(c).isEmpty() && bottom.at(c).isEmpty();
            encoded.append(none ? WellImages::Encoded{} : read(top.at(c)));
            encoded.append(none ? WellImages::Encoded{} : read(bottom.at(c)));
        }
        const QVector<QImage> halves = WellImages::decode(encoded);
        for (int c = 0; c < Channels; ++c)
            images[c] = WellImages::stackHalves(halves.at(2 * c), halves.at(2 * c + 1));
    }
    return images;
}

} // namespace

AnalysisDataFileParser3::AnalysisDataFileParser3(const QString &zipPath, AnalysisDataMgr **target)
    : AnalysisDataFileParser(zipPath, target)
{
}

AnalysisDataFileParser3::~AnalysisDataFileParser3() = default;

bool AnalysisDataFileParser3::parseBody(const EntryHeader &header, QIODevice *device)
{
    if (header.fileType != FileType)
        return false;
    qDebug().nospace() << "fileHeader.version = " << header.version;
    if (header.version != 0 && header.version != 1)
        return false;
    // The writer stores the layout as the saved-package reader numbers it.
    setVersion(header.version + 1);
    if (!target() || !device)
        return false;

    try {
        if (!readExperimentConfig())
            return false;
        m_matrix = readMatrixFlag();
        collectUsedChannels();
        EntryReadBuffer body(device, device->bytesAvailable());
        return readBody(&body, header.version);
    } catch (const std::bad_alloc &) {
        qWarning() << "run.pcr: out of memory while reading";
        return false;
    }
}

bool AnalysisDataFileParser3::readExperimentConfig()
{
    QuaZipFile file(m_zipPath, QStringLiteral("run.exp"));
    if (!openZipEntry(file, m_password))
        return true; // read on with the configuration as it is
    QDataStream ds(&file);
    EntryHeader header;
    if (!header.read(ds))
        return false;
    if (header.version != 0 && header.version != 1)
        return true;
    // A fresh record, so that fields a layout lacks keep their initial values.
    InstrumentExperiment3 record;
    if (!readInstrumentExperiment3(ds, record, header.version))
        return false;
    m_config = record;
    return true;
}

bool AnalysisDataFileParser3::readMatrixFlag() const
{
    QuaZipFile file(m_zipPath, QStringLiteral("run.cmtx"));
    if (!openZipEntry(file, m_password))
        return false;
    QDataStream ds(&file);
    EntryHeader header;
    if (!header.read(ds) || header.fileType != EntryHeader::CompensationMatrix)
        return false;
    QByteArray matrix;
    ds >> matrix;
    return ok(ds) && !matrix.isEmpty();
}

void AnalysisDataFileParser3::collectUsedChannels()
{
    QStringList names;
    for (const InstrumentWellEntry3 &well : qAsConst(m_config.wells)) {
        if (well.targetNames.isEmpty() || well.sampleName.isEmpty())
            continue;
        for (const QString &name : well.targetNames)
            if (!names.contains(name))
                names.append(name);
    }
    m_usedChannels.clear();
    for (const InstrumentTargetEntry &target : qAsConst(m_config.targets)) {
        if (!names.contains(target.name))
            continue;
        const int channel = dyeChannel(InstrumentFormat::Format3, target.dye);
        if (channel >= 1 && channel <= Channels)
            m_usedChannels.append(channel - 1);
    }
}

bool AnalysisDataFileParser3::readBody(EntryReadBuffer *in, int layout)
{
    QDataStream ds(in);

    // List 1, checked before anything depends on it.
    QVector<LumetAnalysis3::WellAnalysisExpInfo> expInfos;
    readContainerWith<QVector<LumetAnalysis3::WellAnalysisExpInfo>, LumetAnalysis3::WellAnalysisExpInfo>(
        ds, expInfos, [layout](QDataStream &s, LumetAnalysis3::WellAnalysisExpInfo &e) { readExpInfo(s, e, layout); },
        StreamMinBytes<LumetAnalysis3::WellAnalysisExpInfo>::value);
    if (!ok(ds) || expInfos.isEmpty())
        return false;
    for (const LumetAnalysis3::WellAnalysisExpInfo &e : qAsConst(expInfos)) {
        if (e.refChannel < 0 || e.refChannel >= Channels)
            return refuse("reference channel outside the six channels");
        if (e.imageNames.size() == 2)
            for (const QVector<QString> &set : e.imageNames)
                if (!set.isEmpty() && set.size() < Channels)
                    return refuse("an image set names fewer than six images");
    }
    // The entry's reference channel: that of its first well.
    const int r0 = expInfos.first().refChannel;

    // Image names are all known now: the images decode on the pool while the droplets are
    // read. Each well takes the first record of its id; a failed read cancels the job.
    numberByPosition(expInfos);
    QList<WellItemInfo> named;
    for (const LumetAnalysis3::WellAnalysisExpInfo &e : qAsConst(expInfos)) {
        const bool seen = std::any_of(named.cbegin(), named.cend(),
                                      [&e](const WellItemInfo &w) { return w.wellId == quint32(e.wellId); });
        if (!seen)
            named.append(wellItem(e));
    }
    auto imageJob = std::make_unique<RunArchiveImages::ImageLoadJob>(named, m_zipPath, m_password, loadWellImages);
    // This thread goes on working while the pool decodes: it counts as one of the pool's
    // threads until the managers are filled, so that the reading is not starved.
    PoolThreadReservation reserved;

    // Lists 2 to 4.
    QVector<LumetAnalysis3::WellImageAnalysisInfo> images;
    DropletScratch scratch;
    readContainerWith<QVector<LumetAnalysis3::WellImageAnalysisInfo>, LumetAnalysis3::WellImageAnalysisInfo>(
        ds, images,
        [&](QDataStream &s, LumetAnalysis3::WellImageAnalysisInfo &e) { readDropletData(s, *in, scratch, e, r0); },
        StreamMinBytes<LumetAnalysis3::WellImageAnalysisInfo>::value);
    QVector<LumetAnalysis3::WellClassifyInfo> classifications;
    readContainer(ds, classifications);
    QVector<LumetAnalysis3::WellTargetResultInfo> results;
    readContainer(ds, results);
    if (!ok(ds))
        return false;

    // Records stored without a well id belong to the well of their position, list by list.
    numberByPosition(expInfos);
    numberByPosition(images);
    numberByPosition(classifications);
    numberByPosition(results);

    QList<int> sorted = m_usedChannels;
    std::sort(sorted.begin(), sorted.end());
    const int n = sorted.size();
    if (n > DrpltClassifyMgr::MaxLineChannels)
        return refuse("more used channels than line mode can classify");
    const QVector<quint32> combination = ClassifyStatistic::generateFullPermutationVals(quint32(n));
    QVector<int> zoneOfMask(1 << n, -1);
    for (int z = combination.size() - 1; z >= 0; --z)
        if (combination.at(z) < quint32(zoneOfMask.size()))
            zoneOfMask[int(combination.at(z))] = z;

    // Wells are exactly the records of list 4, each id once.
    QList<quint32> wellIds;
    for (const LumetAnalysis3::WellTargetResultInfo &r : qAsConst(results)) {
        if (wellIds.contains(quint32(r.wellId)))
            return refuse("a well is listed twice");
        wellIds.append(quint32(r.wellId));
    }

    // Each well's plan is built from its own records only: the wells are planned on the pool,
    // and the first well in order that cannot be planned refuses the entry, as before.
    images.detach(); // every task takes its well's droplets out of its own record
    QVector<WellPlan> plans(results.size());
    QVector<const char *> refusals(results.size(), nullptr);
    auto planWell = [&](int index, WellPlan &plan) -> const char * {
        const LumetAnalysis3::WellTargetResultInfo &record = results.at(index);
        const qint32 w = record.wellId;
        const int ci = findWell(classifications, w);
        const int ei = findWell(expInfos, w);
        const int ii = findWell(images, w);
        const LumetAnalysis3::WellClassifyInfo noClassify;
        const LumetAnalysis3::WellAnalysisExpInfo noExpInfo;
        const LumetAnalysis3::WellClassifyInfo &C = ci >= 0 ? classifications.at(ci) : noClassify;
        const LumetAnalysis3::WellAnalysisExpInfo &E = ei >= 0 ? expInfos.at(ei) : noExpInfo;

        // The well's channels, in target-result order; -1 for a target without a channel.
        QVector<int> channels;
        bool measured[Channels] = {};
        for (const LumetAnalysis3::TargetResultInfo &t : record.results) {
            const auto target = std::find_if(m_config.targets.cbegin(), m_config.targets.cend(),
                                              [&t](const InstrumentTargetEntry &e) { return e.name == t.targetName; });
            if (target == m_config.targets.cend())
                return ("a target result names no target of the experiment");
            const int channel = dyeChannel(InstrumentFormat::Format3, target->dye);
            const int c = channel >= 1 && channel <= Channels ? channel - 1 : -1;
            channels.append(c);
            if (c >= 0)
                measured[c] = true;
        }

        plan.item = wellItem(E);
        plan.item.wellId = quint32(w);

        // Line values and channel figures of the measured channels.
        quint32 line[Channels] = {};
        QVector<ChanAnalysisInfo> chanInfos(Channels);
        QVector<LineThresholdInfo> thlds(Channels);
        for (int c = 0; c < Channels; ++c)
            thlds[c].id = quint32(c + 1);
        for (int c : qAsConst(channels)) {
            if (c < 0)
                continue;
            if (c >= C.pairs.size() || c >= C.chanFigures.size())
                return ("the classification lacks a channel its well measures");
            const QVector<qint32> &first = C.pairs.at(c).first;
            line[c] = first.isEmpty() ? 0u : quint32(first.first());
            const std::array<double, 6> &f = C.chanFigures.at(c);
            ChanAnalysisInfo &info = chanInfos[c];
            info.posMean = f[0];
            info.posCv = f[1];
            info.negMean = f[2];
            info.negCv = f[3];
            info.Rs = f[4];
            info.rain = f[5];
            info.lineThld = line[c];
            info.compensatedLineThld = line[c];
            thlds[c].value = line[c];
        }

        // Droplets, counted into the zones of their mask.
        const int r = E.refChannel;
        QVector<quint32> zoneCounts(combination.size(), 0u);
        QVector<DrpltInfo> droplets;
        QVector<LumetAnalysis3::DropletEntry> entries;
        if (ii >= 0)
            entries.swap(images[ii].droplets); // each well is listed once, so this is its only use
        droplets.reserve(entries.size());
        // Copies of one blank record share its lists until a droplet writes to them.
        const DrpltInfo blank;
        for (const LumetAnalysis3::DropletEntry &e : qAsConst(entries)) {
            DrpltInfo d = blank;
            d.x = e.x;
            d.y = e.y;
            d.size = e.size;
            d.flags = e.flags;
            d.values = e.values;
            for (int c : qAsConst(channels)) {
                if (c < 0)
                    continue;
                d.grayPairs[c] = qMakePair(e.raw[size_t(c)], e.comp[size_t(c)]);
                d.grays[c] = m_matrix ? e.comp[size_t(c)] : e.raw[size_t(c)];
            }
            d.grayPairs[r0] = qMakePair(e.raw[size_t(r)], e.comp[size_t(r)]);
            d.grays[r] = m_matrix ? e.comp[size_t(r)] : e.raw[size_t(r)];
            quint32 mask = 0;
            for (int i = 0; i < n; ++i) {
                const int c = sorted.at(i);
                if (!measured[c] || d.grays.at(c) >= line[c])
                    mask |= 1u << i;
            }
            const int zone = zoneOfMask.value(int(mask), -1);
            if (zone >= 0)
                ++zoneCounts[zone];
            droplets.append(std::move(d));
        }
        entries = QVector<LumetAnalysis3::DropletEntry>();

        plan.classify.wellId = quint32(w);
        plan.classify.thlds = thlds;
        plan.classify.zoneDrpltNums.reserve(combination.size());
        for (int z = 0; z < combination.size(); ++z)
            plan.classify.zoneDrpltNums.append(ZoneDrpltNumInfo{quint32(z), zoneCounts.at(z)});

        WellImageAnalysisInfo &image = plan.image;
        image.wellId = quint32(w);
        if (ii >= 0) {
            image.valid = images.at(ii).valid;
            image.sharpness = images.at(ii).sharpness;
            image.saturatedDrpltNum = quint32(images.at(ii).counter);
        }
        image.roxChannel = quint32(C.roxChannel);
        image.roxValue = C.roxValue;
        image.droplets = droplets;
        image.excludedDrplts = C.excludedDrplts;
        image.chanInfos = chanInfos;

        WellResultInfo &result = plan.result;
        result.wellId = quint32(w);
        result.effDrpltNum = quint32(record.effDrpltNum);
        RunArchive::setUnknownChannelResults(result);
        for (int k = 0; k < n; ++k) {
            PopulationResultInfo population;
            population.populationId = quint32(k + 1);
            population.dilution = 1.0;
            const int p = channels.indexOf(sorted.at(k));
            if (p >= 0) {
                const LumetAnalysis3::TargetResultInfo &t = record.results.at(p);
                population.posDrpltNum = quint32(t.posDrpltNum);
                population.negDrpltNum = quint32(t.negDrpltNum);
                population.concentration = t.concentration;
                population.concentrationLower = t.concentrationLower;
                population.concentrationUpper = t.concentrationUpper;
                population.uncertainty = t.uncertainty;
            }
            result.populationResults.append(population);
        }
        return nullptr;
    };
    poolFor(results.size(), [&](int i) {
        try {
            refusals[i] = planWell(i, plans[i]);
        } catch (const std::bad_alloc &) {
            refusals[i] = "out of memory while planning a well";
        }
    });
    for (const char *why : qAsConst(refusals))
        if (why)
            return refuse(why);
    images.clear();

    // Hand-over: from here on nothing can fail.
    AnalysisDataMgr *mgr = target();
    mgr->setThldType(LineThreshold);
    AnalysisExperimentMgr *expMgr = mgr->getAnalysisExpMgr();
    DrpltImgInfoMgr *imgMgr = mgr->getDrpltImgInfoMgr();
    DrpltClassifyMgr *classifyMgr = mgr->getDrpltClassifyMgr();
    AnalysisResultMgr *resultMgr = mgr->getAnalysisRetMgr();
    classifyMgr->initClassifyGlobalInfoByLine(sorted);
    Q_ASSERT(classifyMgr->getZoneCombinationOfChan() == combination);

    ExpItemInfo experiment;
    experiment.id = 1;
    experiment.fileName = QFileInfo(m_zipPath).fileName();
    experiment.wellIds = wellIds;
    expMgr->appendExpFile(experiment);
    for (const WellPlan &plan : qAsConst(plans)) {
        expMgr->appendWellGlobal(plan.item);
        classifyMgr->appendClassifyInfosOfWellsByLine(plan.classify);
        imgMgr->appendImgAnalysis(plan.image);
        resultMgr->appendWellResult(plan.result);
    }
    plans.clear();

    // One image record per well, in well order; a well without names has none to load. The
    // images go on decoding: the document takes them when first asked, so that work on the
    // wells can begin on each well as soon as its own images are there.
    reserved.release();
    const QList<WellItemInfo> &wells = expMgr->getAnalysisExpGlobalInfo().wells;
    QVector<int> jobIndexOf(wells.size(), -1);
    for (int p = 0; p < wells.size(); ++p) {
        const auto found = std::find_if(named.cbegin(), named.cend(),
                                        [&](const WellItemInfo &n) { return n.wellId == wells.at(p).wellId; });
        if (found != named.cend())
            jobIndexOf[p] = int(found - named.cbegin());
    }
    expMgr->setWellDrpltImgsInFlight(RunArchiveImages::imagesInFlight(std::move(imageJob), wells, jobIndexOf));
    return true;
}
