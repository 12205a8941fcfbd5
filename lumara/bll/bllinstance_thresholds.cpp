// The facade's side of the classification: thresholds of both modes, the mode switch, the two
// automatic threshold methods, the grey values the plots draw and the zone recount.
#include "bll/bllinstance.h"

#include "bll/documentaccess.h"
#include "bll/experimenteditmgr.h"
#include "bll/plotgroupmgr.h"
#include "bll/populationsmgr.h"
#include "bll/reanalysis.h"
#include "bll/reanalysis_p.h"
#include "bll/resultcalculate.h"
#include "bll/wellchannels.h"

#include "drpltimganalyser.h"
#include "negposcluster.h"

#include <algorithm>
#include <vector>

using namespace LumaraAnalysisData;
// The document's record; the analyser has one of the same name.
using WellRecord = LumaraAnalysisData::WellImageAnalysisInfo;

namespace {

// The well's image-analysis record (a shallow copy); an empty record when it has none.
WellRecord imageRecord(uint wellId)
{
    return DocumentAccess::readOr(
        DocumentAccess::imageInfo(), [wellId](DrpltImgInfoMgr *m) { return m->getImgAnalysisInfo(wellId); },
        WellRecord());
}

// The pair of a droplet in channel index c (0..5); (0, 0) when a stored droplet lacks it.
inline QPair<quint32, quint32> grayPair(const DrpltInfo &droplet, int c)
{
    return c < droplet.grayPairs.size() ? droplet.grayPairs.at(c) : QPair<quint32, quint32>(0, 0);
}

// The member of a pair that every reader, threshold and recount works with: the compensated
// value while the matrix is applied, the raw one otherwise.
inline quint32 classified(const QPair<quint32, quint32> &pair, bool compensated)
{
    return compensated ? pair.second : pair.first;
}

inline uint classifiedGrey(const DrpltInfo &droplet, int c, bool compensated)
{
    return classified(grayPair(droplet, c), compensated);
}

// Per droplet: whether it is excluded. Stored sets may name droplets the well lacks.
std::vector<char> excludedMask(const WellRecord &info)
{
    std::vector<char> mask(size_t(info.droplets.size()), 0);
    for (quint32 index : info.excludedDrplts)
        if (index < mask.size())
            mask[index] = 1;
    return mask;
}

enum class Droplets { Kept, All };

// f(droplet) for the well's droplets in record order: every one, or only those not excluded.
template <typename F>
void visitDroplets(const WellRecord &info, Droplets which, F f)
{
    const std::vector<char> excluded = which == Droplets::Kept ? excludedMask(info) : std::vector<char>();
    for (int i = 0; i < info.droplets.size(); ++i)
        if (excluded.empty() || !excluded[size_t(i)])
            f(info.droplets.at(i));
}

// The one source of every grey-value reader: the classified value of channel channelId (1..6)
// per droplet of the well.
QVector<uint> classifiedValues(uint wellId, uint channelId, Droplets which)
{
    QVector<uint> values;
    if (channelId < 1 || channelId > uint(PerChannel))
        return values;
    const WellRecord info = imageRecord(wellId);
    const bool compensated = DocumentAccess::compensationApplied();
    const int c = int(channelId) - 1;
    values.reserve(info.droplets.size());
    visitDroplets(info, which, [&](const DrpltInfo &droplet) { values.append(classifiedGrey(droplet, c, compensated)); });
    return values;
}

// Droplets per count-list slot: each kept droplet's code (the forced bits plus one bit per
// measured channel) picks its slot, -1 for none. The values are first gathered into one
// contiguous block in a tight pass (each droplet's values live in their own allocation, so
// this pass is bound by memory and wants as many loads in flight as possible); the codes are
// then computed from that block, branch-free since positives are scattered.
template <bool Compensated>
std::vector<uint> tallyCodes(const QVector<DrpltInfo> &droplets, const std::vector<char> &excluded,
                             const QVector<BLLInstance::CodeBit> &measured, uint forced,
                             const std::vector<int> &slotOfCode,
                             int slotCount)
{
    std::vector<uint> tally(slotCount > 0 ? size_t(slotCount) : 0u, 0u);
    const int bitCount = measured.size();
    int channels[PerChannel] = {};
    uint thresholds[PerChannel] = {};
    int shifts[PerChannel] = {};
    for (int j = 0; j < bitCount && j < PerChannel; ++j) {
        channels[j] = int(measured.at(j).channel) - 1;
        thresholds[j] = measured.at(j).threshold;
        shifts[j] = measured.at(j).shift;
    }
    const int width = std::min(bitCount, int(PerChannel));

    const DrpltInfo *all = droplets.constData();
    const int n = droplets.size();
    std::vector<quint32> block;
    block.reserve(size_t(n) * size_t(width));
    size_t kept = 0;
    for (int i = 0; i < n; ++i) {
        if (excluded[size_t(i)])
            continue;
        ++kept;
        const QVector<QPair<quint32, quint32>> &pairs = all[i].grayPairs;
        if (pairs.size() >= PerChannel) {
            const QPair<quint32, quint32> *values = pairs.constData();
            for (int j = 0; j < width; ++j)
                block.push_back(classified(values[channels[j]], Compensated));
        } else {
            for (int j = 0; j < width; ++j)
                block.push_back(classifiedGrey(all[i], channels[j], Compensated));
        }
    }
    const quint32 *row = block.data();
    for (size_t k = 0; k < kept; ++k, row += width) {
        uint code = forced;
        for (int j = 0; j < width; ++j)
            code |= uint(row[j] >= thresholds[j]) << shifts[j];
        const int slot = slotOfCode[code];
        if (slot >= 0)
            ++tally[size_t(slot)];
    }
    return tally;
}

// The thresholds the image analysis found for channel index c (0..5).
uint analysisThreshold(const WellRecord &info, int c, bool compensated)
{
    if (c < 0 || c >= info.chanInfos.size())
        return 0;
    const ChanAnalysisInfo &analysed = info.chanInfos.at(c);
    return compensated ? analysed.compensatedLineThld : analysed.lineThld;
}

} // namespace

ResultCalculate *BLLInstance::getResultCalculate() const
{
    return m_resultCalculate;
}

// ---- Thresholds -------------------------------------------------------------------------------

ThresholdMode BLLInstance::getThldType() const
{
    AnalysisDataMgr *data = DocumentAccess::analysisData();
    return data ? data->getThldType() : LineThreshold;
}

uint BLLInstance::getThldByLine(uint wellId, uint channelId) const
{
    DrpltClassifyMgr *classify = DocumentAccess::classify();
    if (!classify)
        return 0;
    try {
        for (const LineThresholdInfo &threshold : classify->getThldsByLine(wellId))
            if (threshold.id == channelId)
                return threshold.value;
    } catch (const char *) {
    }
    return 0;
}

QPolygonF BLLInstance::getThldByPolygon(uint wellId, uint zoneId) const
{
    DrpltClassifyMgr *classify = DocumentAccess::classify();
    if (!classify)
        return QPolygonF();
    try {
        for (const PolygonThresholdInfo &threshold : classify->getThldsByPolygon(wellId))
            if (threshold.id == zoneId)
                return threshold.value;
    } catch (const char *) {
    }
    return QPolygonF();
}

void BLLInstance::setThldByPolygon(uint wellId, uint zoneId, QPolygonF polygon)
{
    if (DrpltClassifyMgr *classify = DocumentAccess::classify())
        classify->setThldByPolygon(wellId, zoneId, polygon);
    emit dataFixed();
}

void BLLInstance::updateThldByLine(uint wellId, uint channelID, uint thld)
{
    if (DrpltClassifyMgr *classify = DocumentAccess::classify())
        classify->setThldByLine(wellId, channelID, thld);
}

void BLLInstance::setThresholdingType(int mode)
{
    AnalysisDataMgr *data = DocumentAccess::analysisData();
    if (!data)
        return;
    if (mode != 0) {
        data->switch2PolygonMode();
        return;
    }
    const QList<TargetChannelInfo> targets = m_experimentEditMgr->getTargetChannels();
    const QList<WellInfo> wells = DocumentAccess::wells();
    if (wells.isEmpty())
        return;
    QList<int> indices;
    for (const TargetChannelInfo &target : targets)
        indices.append(int(target.channel) - 1);
    data->switch2LineMode(indices);

    // One fresh result per population of the new classification. Their ids count the listed
    // channels (1, 2, ...), not the channel numbers: results keyed by channel number would
    // match no population as soon as the targets skip a channel.
    QVector<PopulationResultInfo> entries;
    for (const PopulationsInfo &population : m_populationsMgr->getPopulations()) {
        PopulationResultInfo entry;
        entry.populationId = population.id;
        entry.dilution = 1.0;
        entries.append(entry);
    }
    if (AnalysisResultMgr *results = DocumentAccess::results()) {
        for (const WellInfo &well : wells)
            for (const PopulationResultInfo &entry : qAsConst(entries))
                results->appendPopulationResult(well.id, entry);
    }
    recountWells(0, wells.size() - 1, true);
    emit dataFixed();
    renameChannelPopulations();
}

void BLLInstance::autoThreshold(QList<uint> wellIds, bool individual)
{
    const QList<WellInfo> wells = DocumentAccess::wells();
    const bool compensated = DocumentAccess::compensationApplied();

    // Every well's analysis thresholds per channel index, over its targets and reference; apart,
    // those that part the well's droplets into negatives and positives. A threshold above a well
    // of one group (a no-template control, or a well all positive) says where that group ends,
    // not where negatives end and positives begin, and one all-positive well would lift every
    // well's threshold into its positives. So where some wells have both, they alone are
    // pooled (a change over pooling every well, which the plate's other wells still get where
    // none has both).
    QVector<QVector<uint>> pooled(PerChannel);
    QVector<QVector<uint>> parting(PerChannel);
    DrpltImgInfoMgr *images = DocumentAccess::imageInfo();
    for (const WellInfo &well : wells) {
        // A well without an analysis record has no thresholds to give.
        WellRecord info;
        try {
            if (!images)
                break;
            info = images->getImgAnalysisInfo(well.id);
        } catch (const char *) {
            continue;
        }
        const QVector<int> indices = getWellChannelIndices(well.id);
        for (int c : indices) {
            if (c < 0 || c >= PerChannel)
                continue;
            const uint threshold = analysisThreshold(info, c, compensated);
            pooled[c].append(threshold);
            int kept = 0;
            int above = 0;
            visitDroplets(info, Droplets::Kept, [&](const DrpltInfo &droplet) {
                ++kept;
                above += classifiedGrey(droplet, c, compensated) >= threshold ? 1 : 0;
            });
            // More than one droplet in a thousand on either side.
            if (above * 1000 > kept && (kept - above) * 1000 > kept)
                parting[c].append(threshold);
        }
    }
    uint thresholds[PerChannel];
    for (int c = 0; c < PerChannel; ++c)
        thresholds[c] = ReAnalysis::trimmedMean(parting.at(c).isEmpty() ? pooled.at(c) : parting.at(c));

    DrpltClassifyMgr *classify = DocumentAccess::classify();
    for (int p = 0; p < wells.size(); ++p) {
        const uint id = wells.at(p).id;
        if (individual && !wellIds.contains(id))
            continue;
        if (classify)
            for (uint channel = 1; channel <= uint(PerChannel); ++channel)
                classify->setThldByLine(id, channel, thresholds[channel - 1]);
        recountWells(p, p, false);
    }
    emit dataFixed();
}

void BLLInstance::autoThresholdAllWells()
{
    DrpltImgInfoMgr *images = DocumentAccess::imageInfo();
    if (!images)
        return;
    const bool compensated = DocumentAccess::compensationApplied();
    const QList<WellInfo> list = DocumentAccess::wells();
    const QVector<WellInfo> wells(list.cbegin(), list.cend());
    // The wells are clustered apart from each other (each task with its own analyser, whose
    // clustering keeps state); the document is written afterwards, on this thread.
    const QVector<QVector<uint>> thresholds = EngineDetail::orderedMap<QVector<uint>, WellInfo>(
        wells, [compensated](const WellInfo &well) {
            // One row per droplet the user kept, its six classified greys. Saturated droplets
            // are left out, as the re-analysis's clustering leaves them out: their greys say
            // nothing of their class (a change over the first analysis, which took them).
            const WellRecord info = imageRecord(well.id);
            // Under the matrix, each row's raw greys beside it tell the droplets it pushed down.
            QVector<QVector<uint>> rows, raw;
            rows.reserve(info.droplets.size());
            visitDroplets(info, Droplets::Kept, [&](const DrpltInfo &droplet) {
                if (Ravelin::isSaturated(droplet.flags))
                    return;
                QVector<uint> row(PerChannel, 0u);
                for (int c = 0; c < PerChannel; ++c)
                    row[c] = classifiedGrey(droplet, c, compensated);
                rows.append(row);
                if (compensated) {
                    QVector<uint> before(PerChannel, 0u);
                    for (int c = 0; c < PerChannel; ++c)
                        before[c] = grayPair(droplet, c).first;
                    raw.append(before);
                }
            });
            QVector<QVector<uint>> result;
            Ravelin::DrpltImgAnalyser analyser;
            analyser.newNegPosCluster(rows, result, raw);
            QVector<uint> perChannel(PerChannel, 0u);
            for (int c = 0; c < PerChannel && c < result.size(); ++c)
                perChannel[c] = result.at(c).value(0);
            return perChannel;
        });
    for (int i = 0; i < wells.size(); ++i)
        for (uint channel = 1; channel <= uint(PerChannel); ++channel)
            images->setLineThld(wells.at(i).id, channel, thresholds.at(i).value(int(channel) - 1), compensated);
}

// ---- Grey values ------------------------------------------------------------------------------

QVector<QPair<uint, uint>> BLLInstance::getWellChannelGrayPairs(uint wellId, uint channelId) const
{
    QVector<QPair<uint, uint>> pairs;
    if (channelId < 1 || channelId > uint(PerChannel))
        return pairs;
    const WellRecord info = imageRecord(wellId);
    const int c = int(channelId) - 1;
    pairs.reserve(info.droplets.size());
    visitDroplets(info, Droplets::Kept, [&](const DrpltInfo &droplet) {
        const QPair<quint32, quint32> pair = grayPair(droplet, c);
        pairs.append(qMakePair(uint(pair.first), uint(pair.second)));
    });
    return pairs;
}

QVector<uint> BLLInstance::getWellChannelGrayValues(uint wellId, uint channelId) const
{
    return classifiedValues(wellId, channelId, Droplets::Kept);
}

QVector<uint> BLLInstance::getAllDropletGrayValues(uint wellId, uint channelId) const
{
    return classifiedValues(wellId, channelId, Droplets::All);
}

QVector<uint> BLLInstance::valuesAboveThreshold(uint wellId, uint channelId, bool atThreshold) const
{
    const uint threshold = getThldByLine(wellId, channelId);
    QVector<uint> above;
    const QVector<uint> values = getWellChannelGrayValues(wellId, channelId);
    for (uint v : values)
        if (v > threshold || (atThreshold && v == threshold))
            above.append(v);
    return above;
}

QVector<uint> BLLInstance::getPositiveGrayValues(uint wellId, uint channelId) const
{
    // At or above, as the recount classifies: one droplet, one class in every count.
    return valuesAboveThreshold(wellId, channelId, true);
}

uint BLLInstance::getPFuMean(uint wellId, uint channelId) const
{
    // The positive mean alone keeps the values strictly above the threshold.
    const QVector<uint> positives = valuesAboveThreshold(wellId, channelId, false);
    if (positives.isEmpty())
        return 0;
    // 64 bits: a few thousand bright droplets already overflow a 32-bit sum.
    quint64 sum = 0;
    for (uint v : positives)
        sum += v;
    return uint(sum / quint64(positives.size()));
}

QSet<uint> BLLInstance::getExcludedDroplets(uint wellId) const
{
    QSet<uint> excluded;
    for (quint32 index : imageRecord(wellId).excludedDrplts)
        excluded.insert(index);
    return excluded;
}

int BLLInstance::getWellEffDropletCount(uint wellId) const
{
    const WellRecord info = imageRecord(wellId);
    int excluded = 0;
    for (quint32 index : info.excludedDrplts)
        if (index < uint(info.droplets.size()))
            ++excluded;
    return info.droplets.size() - excluded;
}

// ---- Zone recount -----------------------------------------------------------------------------

void BLLInstance::reCalculateZonesDroplets()
{
    const int count = DocumentAccess::wells().size();
    if (count == 0)
        return;
    recountWells(0, count - 1, false);
    emit dataFixed();
}

void BLLInstance::updateZonesDroplets(uint wellID, bool flag)
{
    const QList<WellInfo> wells = DocumentAccess::wells();
    for (int p = 0; p < wells.size(); ++p)
        if (wells.at(p).id == wellID)
            recountWells(p, p, false);
    if (flag)
        emit dataFixed();
}

void BLLInstance::recountWells(int first, int last, bool resetThresholds)
{
    const ThresholdMode mode = getThldType();
    const QList<WellInfo> wells = DocumentAccess::wells();
    if (wells.isEmpty() || first < 0 || first > last || last > wells.size() - 1)
        return;
    for (int p = first; p <= last; ++p) {
        if (mode != PolygonThreshold)
            recountWellByLine(wells.at(p).id, resetThresholds);
        else
            recountWellByPolygon(wells.at(p).id);
    }
}

BLLInstance::LineCode BLLInstance::lineCode(uint wellId) const
{
    LineCode code;
    const QList<TargetChannelInfo> targets = m_experimentEditMgr->getTargetChannels();
    const QList<uint> measured = getWellChannels(wellId);
    code.bitCount = std::min(targets.size(), int(PerChannel));
    for (int j = 0; j < code.bitCount; ++j) {
        const uint channel = targets.at(j).channel;
        if (measured.contains(channel))
            code.bits.append({channel, getThldByLine(wellId, channel), j});
        else
            code.forced |= 1u << j;
    }
    return code;
}

void BLLInstance::recountWellByLine(uint wellId, bool resetThresholds)
{
    DrpltClassifyMgr *classify = DocumentAccess::classify();
    DrpltImgInfoMgr *images = DocumentAccess::imageInfo();
    if (!classify || !images)
        return;
    WellRecord info;
    try {
        info = images->getImgAnalysisInfo(wellId);
    } catch (const char *) {
        return;
    }
    const bool compensated = DocumentAccess::compensationApplied();

    if (resetThresholds) {
        for (int c = 0; c < PerChannel && c < info.chanInfos.size(); ++c)
            classify->setThldByLine(wellId, uint(c) + 1, analysisThreshold(info, c, compensated));
    }

    QVector<ZoneDrpltNumInfo> counts;
    try {
        counts = classify->getWellDrpltNumOfZonesByLine(wellId);
    } catch (const char *) {
        return;
    }
    const LineCode code = lineCode(wellId);
    const int bitCount = code.bitCount;
    // Droplet code -> position in the count list: the first zone with the code, then the
    // first count entry of that zone; -1 when there is none.
    std::vector<int> slotOfCode(size_t(1) << bitCount, -2);
    const QVector<DrpltZoneInfo> zones = m_populationsMgr->getZones();
    for (const DrpltZoneInfo &zone : zones) {
        if (zone.code >= slotOfCode.size() || slotOfCode[zone.code] != -2)
            continue;
        int slot = -1;
        for (int k = 0; k < counts.size(); ++k) {
            if (counts.at(k).zoneId == zone.id) {
                slot = k;
                break;
            }
        }
        slotOfCode[zone.code] = slot;
    }
    for (int &slot : slotOfCode)
        if (slot == -2)
            slot = -1;

    // The same value the grey-value readers give, so the counts match what the plots show.
    const std::vector<char> excluded = excludedMask(info);
    const std::vector<uint> tally = compensated
        ? tallyCodes<true>(info.droplets, excluded, code.bits, code.forced, slotOfCode, counts.size())
        : tallyCodes<false>(info.droplets, excluded, code.bits, code.forced, slotOfCode, counts.size());
    for (int k = 0; k < counts.size(); ++k)
        classify->setDrpltNumByLine(wellId, counts.at(k).zoneId, tally[size_t(k)]);
}

void BLLInstance::recountWellByPolygon(uint wellId)
{
    DrpltClassifyMgr *classify = DocumentAccess::classify();
    if (!classify)
        return;
    const QVector<DrpltZoneInfo> zones = m_populationsMgr->getZones();
    for (const DrpltZoneInfo &zone : zones) {
        const QPolygonF polygon = getThldByPolygon(wellId, zone.id);
        const int n = countDropletsInPolygon(zone.code, wellId, polygon);
        classify->setDrpltNumByPolygon(wellId, zone.id, uint(n));
    }
}

int BLLInstance::countDropletsInPolygon(uint plotId, uint wellId, const QPolygonF &polygon) const
{
    // A zone whose plot was removed gets the pair (0, 0): no channel, so no values, count 0.
    const QPair<uint, uint> channels = m_plotGroupMgr->get2DPlotChannels(plotId);
    const QVector<uint> x = getWellChannelGrayValues(wellId, channels.first);
    const QVector<uint> y = getWellChannelGrayValues(wellId, channels.second);
    const int n = std::min(x.size(), y.size());
    int inside = 0;
    for (int k = 0; k < n; ++k)
        if (polygon.containsPoint(QPointF(double(x.at(k)), double(y.at(k))), Qt::OddEvenFill))
            ++inside;
    return inside;
}
