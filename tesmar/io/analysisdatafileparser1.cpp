#include "io/analysisdatafileparser1.h"

#include "io/analysisfileparser.h"
#include "io/entryreadbuffer.h"
#include "io/imagestack.h"
#include "io/runarchiveimages.h"
#include "io/runarchiverecords.h"
#include "model/analysisdatamgr.h"
#include "model/analysisexperimentmgr.h"
#include "model/analysisresultmgr.h"
#include "model/drpltclassifymgr.h"
#include "model/drpltimginfomgr.h"

#include "classifystatistic.h"
#include "qualityevaluation.h"

#include <QDebug>
#include <QFileInfo>
#include <quazipfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>

using namespace LumaraAnalysisData;
using LumetAnalysis1::Pcr1WellRecord;

namespace {

constexpr int Channels = PerChannel;
constexpr int MagicAreaSize = 128;
constexpr quint32 RainBand = 3; // standard deviations

bool refuse(const char *why)
{
    qDebug() << "run.pcr refused:" << why;
    return false;
}

// The limits the well steps index by: every channel entry names a channel of the experiment,
// and the image names, each droplet's greys and the channel statistics cover every entry.
bool withinLimits(const Pcr1WellRecord &r, int experimentChannelCount)
{
    const int m = r.chanEntries.size();
    for (const LumetAnalysis1::Pcr1ChanEntry &e : r.chanEntries)
        if (e.targetIndex >= quint32(experimentChannelCount))
            return refuse("a channel entry names no channel of the experiment");
    if (r.imageNames.size() < m + 1)
        return refuse("fewer image names than channel entries");
    if (r.chanStats.size() < m)
        return refuse("fewer channel statistics than channel entries");
    for (const LumetAnalysis1::Pcr1DrpltRecord &d : r.drplts)
        if (d.grays.size() < m)
            return refuse("a droplet has fewer greys than channel entries");
    return true;
}

// The integer part of a mean, low 32 bits kept; 0 for a mean that is not a number.
quint32 truncatedMean(double mean)
{
    if (!std::isfinite(mean) || std::fabs(mean) >= 9.0e18)
        return 0;
    return quint32(qint64(std::trunc(mean)));
}

} // namespace

AnalysisDataFileParser1::AnalysisDataFileParser1(const QString &zipPath, AnalysisDataMgr **target)
    : AnalysisDataFileParser(zipPath, target)
{
}

AnalysisDataFileParser1::~AnalysisDataFileParser1() = default;

bool AnalysisDataFileParser1::readExperimentRecord()
{
    QuaZipFile file(m_zipPath, QStringLiteral("run.exp"));
    if (!openZipEntry(file, m_password))
        return true; // no targets: no channels
    char area[MagicAreaSize + 1] = {};
    {
        QDataStream ds(&file);
        ds.setByteOrder(QDataStream::LittleEndian);
        if (ds.readRawData(area, MagicAreaSize) != MagicAreaSize)
            return false;
    }
    // A NUL-terminated text; whatever follows its NUL is free.
    if (std::strcmp(area, "PCRExperiment") != 0)
        return false;
    QDataStream ds(&file);
    ds.setByteOrder(QDataStream::LittleEndian);
    InstrumentExperiment1 record;
    if (!readInstrumentExperiment1(ds, record))
        return false;
    m_record = record;
    return true;
}

bool AnalysisDataFileParser1::readHeader(QIODevice *device)
{
    AnalysisDataMgr *mgr = target();
    if (!mgr || !device)
        return false;
    try {
        if (!readExperimentRecord())
            return false;
        m_experimentChannels.clear();
        for (const InstrumentTargetEntry &t : qAsConst(m_record.targets)) {
            const int channel = dyeChannel(InstrumentFormat::Format1, t.dye);
            if (channel >= 1 && channel <= Channels)
                m_experimentChannels.append(channel - 1);
        }

        QVector<Pcr1WellRecord> wells;
        {
            EntryReadBuffer entry(device, device->bytesAvailable());
            QDataStream ds(&entry);
            readContainer(ds, wells);
            if (ds.status() != QDataStream::Ok)
                return false;
        }
        QList<int> sorted = m_experimentChannels;
        std::sort(sorted.begin(), sorted.end());
        const int n = sorted.size();
        if (n > DrpltClassifyMgr::MaxLineChannels)
            return refuse("more channels than line mode can classify");
        for (const Pcr1WellRecord &r : qAsConst(wells))
            if (!withinLimits(r, m_experimentChannels.size()))
                return false;

        // Every check is done: the managers are filled from here on.
        mgr->setThldType(LineThreshold);
        AnalysisExperimentMgr *expMgr = mgr->getAnalysisExpMgr();
        DrpltImgInfoMgr *imgMgr = mgr->getDrpltImgInfoMgr();
        DrpltClassifyMgr *classifyMgr = mgr->getDrpltClassifyMgr();
        AnalysisResultMgr *resultMgr = mgr->getAnalysisRetMgr();
        classifyMgr->initClassifyGlobalInfoByLine(sorted);
        const QVector<uint> combination = classifyMgr->getZoneCombinationOfChan();
        QVector<int> zoneOfCode(1 << n, -1);
        for (int z = combination.size() - 1; z >= 0; --z)
            if (combination.at(z) < uint(zoneOfCode.size()))
                zoneOfCode[int(combination.at(z))] = z;

        ExpItemInfo experiment;
        experiment.id = 1;
        experiment.fileName = QFileInfo(m_zipPath).fileName();
        for (int i = 0; i < wells.size(); ++i)
            experiment.wellIds.append(quint32(i + 1));
        expMgr->appendExpFile(experiment);

        const DrpltInfo blank;
        for (int wi = 0; wi < wells.size(); ++wi) {
            // Taken out of the list, so that its droplets are freed once converted.
            Pcr1WellRecord R;
            std::swap(R, wells[wi]);
            const quint32 w = quint32(wi + 1);
            const int m = R.chanEntries.size();
            QVector<int> c(m);
            QVector<quint32> t(m);
            for (int j = 0; j < m; ++j) {
                c[j] = m_experimentChannels.at(int(R.chanEntries.at(j).targetIndex));
                t[j] = R.chanEntries.at(j).lineThld;
            }
            // Per sorted position, the first entry of its channel (-1: not measured here).
            QVector<int> entryOfPosition(n, -1);
            for (int i = 0; i < n; ++i)
                entryOfPosition[i] = c.indexOf(sorted.at(i));

            WellItemInfo item;
            item.wellId = w;
            item.refChanId = ReferenceChannel + 1;
            QVector<QString> names(Channels);
            names[ReferenceChannel] = R.imageNames.at(0);
            for (int j = 0; j < m; ++j)
                names[c[j]] = R.imageNames.at(j + 1);
            item.imageNames.append(names);
            item.expId = 1;
            expMgr->appendWellGlobal(item);

            WellClassifyInfoByLine classify;
            classify.wellId = w;
            classify.thlds.resize(Channels);
            for (int k = 0; k < Channels; ++k)
                classify.thlds[k].id = quint32(k + 1);
            for (int j = 0; j < m; ++j)
                classify.thlds[c[j]].value = t[j];
            QVector<quint32> zoneCounts(combination.size(), 0u);

            QVector<DrpltInfo> droplets;
            droplets.reserve(R.drplts.size());
            for (const LumetAnalysis1::Pcr1DrpltRecord &D : qAsConst(R.drplts)) {
                DrpltInfo d = blank;
                d.x = D.x;
                d.y = D.y;
                d.size = D.size;
                for (int j = 0; j < m; ++j) {
                    d.grayPairs[c[j]] = qMakePair(D.grays.at(j), 0u);
                    d.grays[c[j]] = D.grays.at(j);
                }
                // The reference grey wins over an entry of the reference channel.
                d.grayPairs[ReferenceChannel] = qMakePair(D.refGray, 0u);
                d.grays[ReferenceChannel] = D.refGray;
                quint32 code = 0;
                for (int i = 0; i < n; ++i) {
                    const int j = entryOfPosition.at(i);
                    if (j < 0 || qint32(D.grays.at(j)) >= qint32(t[j]))
                        code |= 1u << i;
                }
                const int zone = zoneOfCode.value(int(code), -1);
                if (zone >= 0)
                    ++zoneCounts[zone];
                droplets.append(std::move(d));
            }
            R.drplts = QVector<LumetAnalysis1::Pcr1DrpltRecord>();
            for (int z = 0; z < combination.size(); ++z)
                classify.zoneDrpltNums.append(ZoneDrpltNumInfo{quint32(z), zoneCounts.at(z)});
            classifyMgr->appendClassifyInfosOfWellsByLine(classify);

            // Droplet quality per channel over the droplets kept; of two entries of one
            // channel the later one stands.
            auto keptValues = [&](int channel) {
                QVector<quint32> values;
                values.reserve(droplets.size());
                for (int i = 0; i < droplets.size(); ++i)
                    if (!R.excludedDrplts.contains(quint32(i)))
                        values.append(droplets.at(i).grays.at(channel));
                return values;
            };
            QVector<ChanAnalysisInfo> chanInfos(Channels);
            for (ChanAnalysisInfo &info : chanInfos)
                info.Rs = info.rain = 0.0;
            for (int j = 0; j < m; ++j) {
                if (c.lastIndexOf(c[j]) != j)
                    continue;
                const DrpltQuality q = QualityEvaluation::calDrpltQuality(keptValues(c[j]), t[j], RainBand);
                ChanAnalysisInfo &info = chanInfos[c[j]];
                info.posMean = q.posMean;
                info.posCv = q.posCv;
                info.negMean = q.negMean;
                info.negCv = q.negCv;
                info.Rs = q.Rs;
                info.rain = q.rain;
                info.lineThld = t[j];
                info.compensatedLineThld = 0;
            }
            const QVector<quint32> reference = keptValues(ReferenceChannel);

            WellImageAnalysisInfo image;
            image.wellId = w;
            image.valid = R.valid;
            image.sharpness = 0.0;
            image.saturatedDrpltNum = 0;
            image.roxChannel = truncatedMean(QualityEvaluation::calMean(reference));
            image.roxValue = QualityEvaluation::calCv(reference);
            image.droplets = droplets;
            image.excludedDrplts = R.excludedDrplts;
            image.chanInfos = chanInfos;
            imgMgr->appendImgAnalysis(image);

            WellResultInfo result;
            result.wellId = w;
            result.effDrpltNum = R.effDrpltNum();
            RunArchive::setUnknownChannelResults(result);
            for (int i = 0; i < n; ++i) {
                PopulationResultInfo population;
                population.populationId = quint32(i + 1);
                population.dilution = 1.0;
                const int j = entryOfPosition.at(i);
                if (j >= 0) {
                    const LumetAnalysis1::Pcr1ChanStat &S = R.chanStats.at(j);
                    population.posDrpltNum = S.posDrpltNum;
                    // A stored count above the effective number is inconsistent: no negatives.
                    population.negDrpltNum =
                        R.effDrpltNum() > S.posDrpltNum ? R.effDrpltNum() - S.posDrpltNum : 0u;
                    population.concentration = S.values[1];
                    population.concentrationLower = 0.0;
                    population.concentrationUpper = 0.0;
                    population.uncertainty = S.values[1];
                }
                result.populationResults.append(population);
            }
            resultMgr->appendWellResult(result);
        }
        wells.clear();
        loadDrpltImages();
        return true;
    } catch (const std::bad_alloc &) {
        qWarning() << "run.pcr: out of memory while reading";
        return false;
    }
}

void AnalysisDataFileParser1::loadDrpltImages()
{
    AnalysisDataMgr *mgr = target();
    if (!mgr)
        return;
    AnalysisExperimentMgr *expMgr = mgr->getAnalysisExpMgr();
    const QList<WellItemInfo> wells = expMgr->getAnalysisExpGlobalInfo().wells;
    auto loader = [](const WellItemInfo &well, RunArchiveImages::EntryReader &reader) {
        if (well.imageNames.isEmpty())
            return QVector<QImage>();
        // The names are complete entry names.
        QVector<WellImages::Encoded> encoded;
        for (const QString &name : well.imageNames.first())
            encoded.append({name, name.isEmpty() ? QByteArray() : reader.read(name)});
        return WellImages::decode(encoded);
    };
    // The images go on decoding on the pool: the document takes them when first asked.
    expMgr->setWellDrpltImgsInFlight(RunArchiveImages::imagesInFlight(
        std::make_unique<RunArchiveImages::ImageLoadJob>(wells, m_zipPath, m_password, loader), wells));
}
