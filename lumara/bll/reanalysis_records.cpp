// The engine's records: exposure normalisation, the stored per-well analysis in both forms
// (document and analyser), and storing a well's new analysis with its automatic thresholds.
#include "bll/reanalysis_p.h"

#include "bll/documentaccess.h"
#include "bll/wellchannels.h"

#include "qualityevaluation.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <new>

namespace LAD = LumaraAnalysisData;
using DocRecord = LumaraAnalysisData::WellImageAnalysisInfo;

namespace {

// value x factor in single precision, rounded half up as Qt rounds a float, held within limit.
quint32 scaled(quint32 value, float factor, quint32 limit = std::numeric_limits<quint32>::max())
{
    const float product = float(value) * factor;
    if (!(product > 0.0f))
        return 0;
    const float rounded = product + 0.5f;
    if (rounded >= float(limit))
        return limit;
    return quint32(rounded);
}

// The channel's exposure of the well; 0 when the well has no parameters of its own.
uint exposureOf(const QVector<LAD::ScanningParameterInfo> &paras, int channel)
{
    if (channel >= paras.size())
        return 0;
    const qint32 exposure = paras.at(channel).exposureTime;
    return exposure > 0 ? uint(exposure) : 0u;
}

QVector<LAD::ScanningParameterInfo> scanningParameters(uint wellId)
{
    DevParasMgr *paras = DocumentAccess::devParas();
    return paras ? paras->getScanningParas(wellId) : QVector<LAD::ScanningParameterInfo>();
}

bool storedRecord(uint wellId, DocRecord *out)
{
    DrpltImgInfoMgr *images = DocumentAccess::imageInfo();
    if (!images)
        return false;
    try {
        *out = images->getImgAnalysisInfo(wellId);
        return true;
    } catch (const char *) {
        return false;
    }
}

// The stored pairs of every droplet times the channel's factor (at most 65535), the working value
// following the raw one.
void scaleToExposure(DocRecord &record, const QVector<float> &factors)
{
    // Read through a const view and written only where a value changes, so that vectors the
    // record shares with a reader's copy (or that keep their values) are not copied.
    const QVector<LAD::DrpltInfo> &droplets = record.droplets;
    for (int i = 0; i < droplets.size(); ++i) {
        const LAD::DrpltInfo &droplet = droplets.at(i);
        const int channels = std::min(int(LAD::PerChannel), droplet.grayPairs.size());
        QPair<quint32, quint32> pairs[LAD::PerChannel];
        bool pairChanged[LAD::PerChannel] = {};
        bool greyChanged[LAD::PerChannel] = {};
        bool changed = false;
        for (int c = 0; c < channels; ++c) {
            const QPair<quint32, quint32> &old = droplet.grayPairs.at(c);
            pairs[c] = qMakePair(scaled(old.first, factors.at(c), 65535), scaled(old.second, factors.at(c), 65535));
            pairChanged[c] = pairs[c] != old;
            greyChanged[c] = c < droplet.grays.size() && droplet.grays.at(c) != pairs[c].first;
            changed = changed || pairChanged[c] || greyChanged[c];
        }
        if (!changed)
            continue;
        LAD::DrpltInfo &written = record.droplets[i];
        for (int c = 0; c < channels; ++c) {
            if (pairChanged[c])
                written.grayPairs[c] = pairs[c];
            if (greyChanged[c])
                written.grays[c] = pairs[c].first;
        }
    }
}

quint32 firstThreshold(const WellImageAnalysisInfo &info, int channel)
{
    return info.thresholds.value(channel).value(0);
}

} // namespace

// ---- Exposure normalisation -------------------------------------------------------------------

QVector<uint> ReAnalysis::exposureReferences() const
{
    QVector<QVector<uint>> exposures(LAD::PerChannel);
    for (const WellDrpltImgInfo<QImage> &well : m_wells) {
        const QVector<LAD::ScanningParameterInfo> paras = scanningParameters(well.wellId);
        for (int c = 0; c < LAD::PerChannel; ++c)
            exposures[c].append(exposureOf(paras, c));
    }
    QVector<uint> references(LAD::PerChannel, 0);
    for (int c = 0; c < LAD::PerChannel; ++c) {
        QVector<uint> &values = exposures[c];
        std::sort(values.begin(), values.end());
        int bestCount = 0;
        for (int i = 0; i < values.size();) {
            int j = i;
            while (j < values.size() && values.at(j) == values.at(i))
                ++j;
            // Ascending runs: a later run must be strictly longer, so ties keep the smaller.
            if (j - i > bestCount) {
                bestCount = j - i;
                references[c] = values.at(i);
            }
            i = j;
        }
    }
    return references;
}

QVector<float> ReAnalysis::exposureFactors(uint wellId, const QVector<uint> &references) const
{
    QVector<float> factors(LAD::PerChannel, 1.0f);
    const QVector<LAD::ScanningParameterInfo> paras = scanningParameters(wellId);
    for (int c = 0; c < LAD::PerChannel; ++c) {
        const uint reference = references.value(c);
        const uint own = exposureOf(paras, c);
        if (reference != 0 && own != 0) {
            const float ratio = float(reference) / float(own);
            factors[c] = QString::number(double(ratio), 'f', 3).toFloat();
        }
    }
    return factors;
}

void ReAnalysis::applyExposureFactors(WellImageAnalysisInfo &info, const QVector<float> &factors)
{
    for (DropletAnalysisInfo &droplet : info.droplets)
        for (int c = 0; c < LAD::PerChannel && c < droplet.workingGreys.size(); ++c)
            droplet.workingGreys[c] = scaled(droplet.workingGreys.at(c), factors.value(c, 1.0f));
}

void ReAnalysis::storeWellResults()
{
    storeWellResults(0, DocumentAccess::wells().size());
}

void ReAnalysis::storeWellResults(int begin, int size)
{
    DrpltImgInfoMgr *images = DocumentAccess::imageInfo();
    if (!images)
        return;
    const QVector<uint> references = exposureReferences();
    const QList<LAD::WellInfo> wells = DocumentAccess::wells();
    const int first = std::max(0, begin);
    const int end = std::min(wells.size(), begin + std::max(0, size));
    if (end <= first)
        return;
    // The records are scaled where the document holds them, each by one task on the pool: a
    // scaled copy of every record beside the stored ones would add a third to the open's peak
    // memory. A well listed twice is scaled once.
    QList<DocRecord> &stored = images->getWellImgAnalysisInfos();
    QVector<DocRecord *> records;
    records.reserve(end - first);
    for (int p = first; p < end; ++p) {
        const uint wellId = wells.at(p).id;
        for (int i = 0; i < stored.size(); ++i) {
            if (stored.at(i).wellId != wellId)
                continue;
            DocRecord *record = &stored[i];
            if (!records.contains(record))
                records.append(record);
            break;
        }
    }
    std::atomic<bool> failed{false};
    poolFor(records.size(), [this, &records, &references, &failed](int i) {
        try {
            scaleToExposure(*records.at(i), exposureFactors(records.at(i)->wellId, references));
        } catch (...) {
            failed.store(true);
        }
    });
    // A well that could not be scaled (out of memory) fails the whole step.
    if (failed.load())
        throw std::bad_alloc();
}

// ---- Stored records ---------------------------------------------------------------------------

QVector<int> ReAnalysis::getWellChannelIndices(uint wellId) const
{
    return WellChannels::analysisIndices(wellId);
}

WellImageAnalysisInfo ReAnalysis::storedWellInfo(uint wellId) const
{
    WellImageAnalysisInfo info;
    DocRecord record;
    if (!storedRecord(wellId, &record))
        return info;
    info.droplets.reserve(record.droplets.size());
    for (const LAD::DrpltInfo &stored : qAsConst(record.droplets)) {
        DropletAnalysisInfo droplet;
        droplet.x = stored.x;
        droplet.y = stored.y;
        droplet.maskSize = stored.size;
        for (int c = 0; c < LAD::PerChannel; ++c) {
            droplet.flags[c] = stored.flags.value(c);
            // The raw value, already at the common exposure. A compensation starts from it,
            // never from values an earlier matrix produced.
            const quint32 raw = stored.grayPairs.value(c).first;
            droplet.adjustedGreys[c] = raw;
            droplet.workingGreys[c] = raw;
        }
        info.droplets.append(droplet);
    }
    info.valid = record.valid;
    // A channel that is both target and reference is listed once: the matrix restricted to
    // the listed channels must not hold one channel twice.
    QVector<int> channels = getWellChannelIndices(wellId);
    channels.erase(std::unique(channels.begin(), channels.end()), channels.end());
    info.channels = channels;
    return info;
}

void ReAnalysis::recalcThresholds(uint wellId, const WellImageAnalysisInfo &compensated, bool compensationApplied,
                                  const WellImageAnalysisInfo &uncompensated)
{
    storeAnalysis(wellId, compensated, compensationApplied, uncompensated, RecordSource::Recognised);
}

void ReAnalysis::storeAnalysis(uint wellId, const WellImageAnalysisInfo &compensated, bool compensationApplied,
                               const WellImageAnalysisInfo &uncompensated, RecordSource source)
{
    DrpltImgInfoMgr *images = DocumentAccess::imageInfo();
    if (!images)
        return;
    const QVector<float> factors = source == RecordSource::Recognised
                                       ? exposureFactors(wellId, exposureReferences())
                                       : QVector<float>(LAD::PerChannel, 1.0f);

    // A well without a stored record carries nothing over.
    DocRecord previous;
    const bool hadRecord = storedRecord(wellId, &previous);
    // The compensation path keeps the droplets the image analysis found, so what it measured
    // of them (validity, sharpness, saturated droplets, the reference figures and each
    // channel's droplet quality on the raw values) still holds; only droplets found anew
    // bring figures of their own.
    const bool sameDroplets = source == RecordSource::Stored && hadRecord;

    DocRecord record;
    record.wellId = wellId;
    record.valid = sameDroplets ? previous.valid : compensated.valid;
    record.sharpness = sameDroplets ? previous.sharpness : compensated.sharpness;
    record.saturatedDrpltNum = sameDroplets ? previous.saturatedDrpltNum : compensated.countSum;
    record.roxChannel = hadRecord ? previous.roxChannel : 0;
    record.roxValue = hadRecord ? previous.roxValue : 0.0;
    record.droplets.reserve(compensated.droplets.size());
    for (const DropletAnalysisInfo &droplet : compensated.droplets) {
        LAD::DrpltInfo stored;
        stored.x = droplet.x;
        stored.y = droplet.y;
        stored.size = droplet.maskSize;
        stored.flags = droplet.flags;
        const int index = record.droplets.size();
        if (sameDroplets && index < previous.droplets.size())
            stored.values = previous.droplets.at(index).values;
        else
            stored.values.clear();
        for (int c = 0; c < LAD::PerChannel; ++c) {
            const quint32 adjusted = droplet.adjustedGreys.value(c);
            const quint32 raw = adjusted != 0 ? adjusted : droplet.measuredGreys.value(c);
            const quint32 working = droplet.workingGreys.value(c);
            stored.grayPairs[c] = qMakePair(source == RecordSource::Recognised ? scaled(raw, factors.at(c)) : raw,
                                            working);
            stored.grays[c] = working;
        }
        record.droplets.append(stored);
    }
    // The compensation path keeps the droplets in their order, so the user's exclusions still
    // name the same droplets; new droplets start with none.
    if (sameDroplets) {
        for (quint32 index : qAsConst(previous.excludedDrplts))
            if (index < quint32(record.droplets.size()))
                record.excludedDrplts.insert(index);
    }
    record.chanInfos = QVector<LAD::ChanAnalysisInfo>(LAD::PerChannel);
    for (int c = 0; c < LAD::PerChannel; ++c) {
        LAD::ChanAnalysisInfo &figures = record.chanInfos[c];
        if (sameDroplets && c < previous.chanInfos.size()) {
            figures = previous.chanInfos.at(c);
        } else {
            figures.Rs = 0.0;
            figures.rain = 0.0;
        }
        if (compensationApplied) {
            figures.lineThld = firstThreshold(uncompensated, c);
            figures.compensatedLineThld = firstThreshold(compensated, c);
        } else {
            figures.lineThld = firstThreshold(compensated, c);
            figures.compensatedLineThld = 0;
        }
    }
    if (!sameDroplets)
        storeReferenceCv(record);
    const uint effective = uint(record.droplets.size() - record.excludedDrplts.size());

    images->removeWell(wellId);
    images->appendImgAnalysis(record);

    for (uint channel = 1; channel <= uint(LAD::PerChannel); ++channel)
        emit updateThldByLine(wellId, channel, firstThreshold(compensated, int(channel) - 1));
    emit updateZonesDroplets(wellId, false);
    if (AnalysisResultMgr *results = DocumentAccess::results())
        results->setEffDrpltNum(wellId, effective);
}

void ReAnalysis::storeReferenceCv(DocRecord &record)
{
    AnalysisExperimentMgr *experiments = DocumentAccess::analysisExperiments();
    if (!experiments)
        return;
    uint reference = 0;
    try {
        reference = experiments->getWellGlobal(record.wellId).refChanId;
    } catch (const char *) {
        return;
    }
    if (reference < 1 || reference > uint(LAD::PerChannel))
        return;
    QVector<quint32> values;
    values.reserve(record.droplets.size());
    for (const LAD::DrpltInfo &droplet : qAsConst(record.droplets))
        values.append(droplet.grays.value(int(reference) - 1));
    record.roxValue = QualityEvaluation::calCv(values);
}

uint ReAnalysis::trimmedMean(QVector<uint> values)
{
    if (values.isEmpty())
        return 0;
    if (values.size() >= 4) {
        const uint largest = *std::max_element(values.cbegin(), values.cend());
        values.remove(int(std::min_element(values.cbegin(), values.cend()) - values.cbegin()));
        values.remove(values.indexOf(largest));
    }
    // 64 bits: many large thresholds overflow a 32-bit sum.
    quint64 sum = 0;
    for (uint value : qAsConst(values))
        sum += value;
    return uint(sum / quint64(values.size()));
}
