#include "bll/resultcalculate.h"

#include "bll/documentaccess.h"

#include <QDebug>
#include <QString>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace LumaraAnalysisData;

namespace {

constexpr double DefaultVolume = 800.0; // pL
constexpr double NoDilution = -1.0;

inline double effectiveDilution(double dilution)
{
    return dilution == NoDilution ? 1.0 : dilution;
}

QVector<PopulationResultInfo> populationResultsOf(uint wellId)
{
    return DocumentAccess::readOr(
        DocumentAccess::results(), [wellId](AnalysisResultMgr *m) { return m->getWellResult(wellId).populationResults; },
        QVector<PopulationResultInfo>());
}

} // namespace

ResultCalculate::ResultCalculate(QObject *parent) : QObject(parent) {}

double ResultCalculate::dropletVolume(uint wellId) const
{
    const QList<WellInfo> wells = DocumentAccess::wells();
    for (const WellInfo &well : wells) {
        if (well.id == wellId) {
            // A stored volume of 0 (or less) is none: dividing by it would turn every
            // concentration of the well infinite.
            return well.drpltVolume > 0 ? double(well.drpltVolume) : DefaultVolume;
        }
    }
    return DefaultVolume;
}

DropletConcentration ResultCalculate::poissonConcentration(double total, double positive, double dilution,
                                                           uint wellId) const
{
    DropletConcentration r;
    dilution = effectiveDilution(dilution);
    const double volume = dropletVolume(wellId);
    if (total == 0)
        return r;
    const double p = positive / total;
    r.concentration = -std::log(1 - p) * 1e6 * dilution / volume;
    const double s = 1.96 * std::sqrt((1 - p) * p / total);
    r.lower = -std::log(1 - (p - s)) * 1e6 * dilution / volume;
    r.upper = -std::log(1 - (p + s)) * 1e6 * dilution / volume;
    return r;
}

double ResultCalculate::relativeUncertainty(double k, double volume, double N, double dilution)
{
    const double p = k / N;
    const double q = 1 - p;
    const double s = 1.96 * std::sqrt(q * p / N);
    if (q - s < 0)
        return -1;
    const double f = -dilution / volume;
    const double c = std::log(q) * f;
    const double high = std::log(q - s) * f;
    const double low = std::log(q + s) * f;
    return (high - low) / (2 * c);
}

double ResultCalculate::relativeUncertaintyOf(const DropletConcentration &r)
{
    return (r.upper - r.lower) / (2 * r.concentration);
}

void ResultCalculate::fillCurve(UncertainlyCurveInfo &info, uint N, double dilution, double volume)
{
    const double n = double(N);
    info.detectionLimit = 3 / (n * volume);
    info.upperConcentration = 8.5 / volume;
    if (N == 0)
        return;
    // Rounded by Qt's formatter, which takes a product halfway between two whole numbers up
    // (398.5 gives 399, where the C library's printf gives 398).
    const int k0 = QString::asprintf("%.0f", 0.797 * n).toInt();
    info.concentrationAtRef = -std::log(1 - double(k0) / n) * dilution / volume;
    info.uncertaintyAtRef = 100 * relativeUncertainty(double(k0), volume, n, dilution);
    if (N > 1) {
        info.curve.reserve(int(std::min<uint>(N - 1, 1u << 24)));
        for (uint k = 1; k < N; ++k) {
            const double u = relativeUncertainty(double(k), volume, n, dilution);
            if (u == -1)
                continue;
            const double ck = -std::log(1 - double(k) / n) * dilution / volume;
            info.curve.append(QPointF(ck, 100 * u));
        }
    }
    if (!info.curve.isEmpty() && info.curve.last().x() > info.upperConcentration)
        info.upperConcentration = info.curve.last().x() + 1;
}

UncertainlyCurveInfo ResultCalculate::uncertaintyCurve(uint total, uint positive, double dilution, uint wellId) const
{
    UncertainlyCurveInfo info;
    dilution = effectiveDilution(dilution);
    const double volume = dropletVolume(wellId) / 1e6;
    const DropletConcentration measured = poissonConcentration(double(total), double(positive), dilution, wellId);
    info.concentration = measured.concentration;
    // The measured count's own figure, not the nearest curve point below it: the curve skips
    // counts whose interval leaves [0, 1] and has none for 0 positives.
    info.uncertaintyAtConcentration = 100 * relativeUncertaintyOf(measured);
    fillCurve(info, total, dilution, volume);
    return info;
}

UncertainlyCurveInfo ResultCalculate::uncertaintyCurveOfResult(const PopulationResultInfo &result, uint wellId) const
{
    return uncertaintyCurve(result.posDrpltNum + result.negDrpltNum, result.posDrpltNum, result.dilution, wellId);
}

UncertainlyCurveInfo ResultCalculate::uncertaintyCurveOfPopulation(uint wellId, uint populationId) const
{
    // The population's own droplets, not the well's: a population with its own negatives
    // counts fewer, and the table's figure is that of its positives plus negatives.
    PopulationResultInfo result;
    const QVector<PopulationResultInfo> stored = populationResultsOf(wellId);
    for (const PopulationResultInfo &entry : stored) {
        if (entry.populationId == populationId) {
            result = entry;
            break;
        }
    }
    return uncertaintyCurveOfResult(result, wellId);
}

uint ResultCalculate::getUsedChannel(uint n) const
{
    QList<uint> channels;
    const QList<WellInfo> wells = DocumentAccess::wells();
    for (const WellInfo &well : wells)
        for (quint32 index : well.channels)
            if (!channels.contains(index + 1))
                channels.append(index + 1);
    std::sort(channels.begin(), channels.end());
    if (n == 0 || n > uint(channels.size()))
        return 0;
    return channels.at(int(n) - 1);
}

double ResultCalculate::getChannelDilution(uint populationId, uint wellId) const
{
    const uint c = getUsedChannel(populationId);
    if (c == 0)
        return NoDilution;
    const QVector<ChanResultInfo> channels = DocumentAccess::readOr(
        DocumentAccess::results(), [wellId](AnalysisResultMgr *m) { return m->getWellResult(wellId).chanResults; },
        QVector<ChanResultInfo>());
    if (c - 1 < uint(channels.size()))
        return channels.at(int(c) - 1).dilution;
    return NoDilution;
}

double ResultCalculate::getCommonPopulationDilution(uint wellId) const
{
    const QVector<PopulationResultInfo> results = populationResultsOf(wellId);
    if (results.isEmpty())
        return NoDilution;
    for (int i = 1; i < results.size(); ++i)
        if (!(results.at(i - 1).dilution == results.at(i).dilution)) // NaN differs from all
            return NoDilution;
    return results.first().dilution;
}

double ResultCalculate::calRatio(double a, double b)
{
    if (b == 0)
        return -1;
    return a / b;
}

void ResultCalculate::calRatioBounds(const double numerator[3], const double denominator[3], double *lower,
                                     double *upper)
{
    if (!numerator || !denominator)
        return;
    const double a0 = numerator[0], a1 = numerator[1], a2 = numerator[2];
    const double b0 = denominator[0], b1 = denominator[1], b2 = denominator[2];
    if (b0 == 0 && (b1 == 0 || b2 == 0))
        return;
    const double lowDivisor = b0 * b0 - (b2 - b0) * (b2 - b0);
    const double highDivisor = b0 * b0 - (b0 - b1) * (b0 - b1);
    // A divisor at or below 0: the denominator's interval on that side reaches 0, the
    // quadratic behind the bound no longer opens upwards and the ratio has no bound there;
    // the formula would give a finite, upside-down figure.
    const double unbounded = std::numeric_limits<double>::infinity();
    if (lower)
        *lower = lowDivisor <= 0 ? -unbounded
                                 : (a0 * b0 - std::sqrt(a0 * a0 * b0 * b0 - (a0 * a0 - (a0 - a1) * (a0 - a1)) * lowDivisor))
                                       / lowDivisor;
    if (upper)
        *upper = highDivisor <= 0 ? unbounded
                                  : (a0 * b0 + std::sqrt(a0 * a0 * b0 * b0 - (a0 * a0 - (a2 - a0) * (a2 - a0)) * highDivisor))
                                        / highDivisor;
}

double ResultCalculate::calCopies(double a, double b, int n)
{
    return n * b * a / 1e6;
}

QVector<PopulationResultInfo> ResultCalculate::getPopulationResults(uint wellId) const
{
    return populationResultsOf(wellId);
}

void ResultCalculate::updatePopulationResults()
{
    AnalysisDataMgr *data = DocumentAccess::analysisData();
    DrpltClassifyMgr *classify = DocumentAccess::classify();
    AnalysisResultMgr *results = DocumentAccess::results();
    if (!data || !classify || !results)
        return;
    const QList<PopulationsInfo> populations = classify->getPopulations();
    const QList<WellInfo> wells = DocumentAccess::wells();
    const bool lineMode = data->getThldType() == LineThreshold;

    for (const WellInfo &well : wells) {
        const uint w = well.id;
        const QVector<ZoneDrpltNumInfo> zones = DocumentAccess::readOr(
            classify,
            [w, lineMode](DrpltClassifyMgr *m) {
                return lineMode ? m->getWellDrpltNumOfZonesByLine(w) : m->getWellDrpltNumOfZonesByPolygon(w);
            },
            QVector<ZoneDrpltNumInfo>());
        // A well without a result record counts no droplets; its setters then fail and log.
        const quint64 effective = DocumentAccess::readOr(
            results, [w](AnalysisResultMgr *m) { return quint64(m->getWellResult(w).effDrpltNum); }, quint64(0));
        double dilution = getCommonPopulationDilution(w);

        for (const PopulationsInfo &population : populations) {
            if (lineMode)
                dilution = getChannelDilution(population.id, w);
            quint64 pos = 0;
            quint64 neg = 0;
            for (const ZoneDrpltNumInfo &zone : zones) {
                const auto binding =
                    std::find_if(population.zones.cbegin(), population.zones.cend(),
                                 [&zone](const QPair<quint32, ZoneType> &b) { return b.first == zone.zoneId; });
                if (binding == population.zones.cend())
                    continue;
                if (!population.negEdited || binding->second == PositiveZone) {
                    pos += zone.drpltNum;
                } else if (binding->second == NegativeZone) {
                    neg += zone.drpltNum;
                } else {
                    pos += zone.drpltNum;
                    neg += zone.drpltNum;
                }
            }
            double total;
            if (population.negEdited) {
                total = double(pos + neg);
            } else {
                total = double(effective);
                // Overlapping zones of one population may count a droplet twice: no negatives
                // then, rather than a wrapped count.
                neg = effective > pos ? effective - pos : 0;
            }
            const DropletConcentration r = poissonConcentration(total, double(pos), dilution, w);
            const double uncertainty = relativeUncertaintyOf(r);

            if (!results->setPopulationDilution(w, population.id, dilution))
                qDebug("set populationdilution error!");
            if (!results->setPopulationCcttInfo(w, population.id, r.concentration, r.lower, r.upper))
                qDebug("set population ccttInfo error!");
            if (!results->setPopulationPosDrpltNum(w, population.id, quint32(pos)))
                qDebug("set population posDrplet error!");
            if (!results->setPopulationNegDrpltNum(w, population.id, quint32(neg)))
                qDebug("set population negDroplet error!");
            if (!results->setPopulationUncertainty(w, population.id, uncertainty))
                qDebug("set population uncertain error!");
        }
    }
}
