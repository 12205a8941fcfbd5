#include "drpltclassifymgr.h"
#include "classifystatistic.h"
#include "model/channeltable.h"
#include "model/filelogmgr.h"

#include <QDebug>

using namespace LumaraAnalysisData;

namespace {

const char *const InvalidWellId = "Well id is invalid!";

// Line mode has 2^n zones; more than six channels cannot occur and would not fit.
int lineChannelCount(int n)
{
    if (n > DrpltClassifyMgr::MaxLineChannels) {
        qWarning() << "DrpltClassifyMgr: line mode limited to" << DrpltClassifyMgr::MaxLineChannels
                   << "channels, got" << n;
        return DrpltClassifyMgr::MaxLineChannels;
    }
    return qMax(0, n);
}

template <typename W>
int wellPosition(const QList<W> &wells, uint wellId)
{
    for (int i = 0; i < wells.size(); ++i)
        if (wells.at(i).wellId == wellId)
            return i;
    return -1;
}

template <typename W>
const W &wellOrThrow(const QList<W> &wells, uint wellId)
{
    const int i = wellPosition(wells, wellId);
    if (i < 0)
        throw InvalidWellId;
    return wells.at(i);
}

} // namespace

class DrpltClassifyMgrPrivate {
public:
    ClassifyGlobalInfo global; // zones, populations
    QList<WellClassifyInfoByLine> lineWells;
    QList<WellClassifyInfoByPolygon> polygonWells;
    QVector<uint> zoneCombination;
    FileLogMgr *counters = nullptr;

    int zonePosition(uint zoneId) const
    {
        for (int i = 0; i < global.zones.size(); ++i)
            if (global.zones.at(i).id == zoneId)
                return i;
        return -1;
    }
    int populationPosition(uint populationId) const
    {
        for (int i = 0; i < global.populations.size(); ++i)
            if (global.populations.at(i).id == populationId)
                return i;
        return -1;
    }
    PopulationsInfo *population(uint populationId)
    {
        const int i = populationPosition(populationId);
        return i < 0 ? nullptr : &global.populations[i];
    }
};

DrpltClassifyInterface::~DrpltClassifyInterface() = default;

DrpltClassifyMgr::DrpltClassifyMgr(FileLogMgr *counters) : d_ptr(new DrpltClassifyMgrPrivate)
{
    d_ptr->counters = counters;
}

DrpltClassifyMgr::~DrpltClassifyMgr() = default;

const QVector<DrpltZoneInfo> &DrpltClassifyMgr::getZones() const
{
    Q_D(const DrpltClassifyMgr);
    return d->global.zones;
}

const QList<PopulationsInfo> &DrpltClassifyMgr::getPopulations() const
{
    Q_D(const DrpltClassifyMgr);
    return d->global.populations;
}

const QVector<LineThresholdInfo> &DrpltClassifyMgr::getThldsByLine(uint wellId) const
{
    Q_D(const DrpltClassifyMgr);
    return wellOrThrow(d->lineWells, wellId).thlds;
}

const QVector<PolygonThresholdInfo> &DrpltClassifyMgr::getThldsByPolygon(uint wellId) const
{
    Q_D(const DrpltClassifyMgr);
    return wellOrThrow(d->polygonWells, wellId).thlds;
}

const QVector<ZoneDrpltNumInfo> &DrpltClassifyMgr::getWellDrpltNumOfZonesByLine(uint wellId) const
{
    Q_D(const DrpltClassifyMgr);
    return wellOrThrow(d->lineWells, wellId).zoneDrpltNums;
}

const QVector<ZoneDrpltNumInfo> &DrpltClassifyMgr::getWellDrpltNumOfZonesByPolygon(uint wellId) const
{
    Q_D(const DrpltClassifyMgr);
    return wellOrThrow(d->polygonWells, wellId).zoneDrpltNums;
}

uint DrpltClassifyMgr::addZone(const DrpltZoneInfo &zone)
{
    Q_D(DrpltClassifyMgr);
    if (!d->counters)
        return 0;
    DrpltZoneInfo copy = zone;
    copy.id = d->counters->nextZoneId();
    d->global.zones.append(copy);
    for (WellClassifyInfoByPolygon &well : d->polygonWells) {
        well.thlds.append(PolygonThresholdInfo{copy.id, QPolygonF()});
        well.zoneDrpltNums.append(ZoneDrpltNumInfo{copy.id, 0});
    }
    return copy.id;
}

uint DrpltClassifyMgr::addPopulation(const PopulationsInfo &population)
{
    Q_D(DrpltClassifyMgr);
    if (!d->counters)
        return 0;
    PopulationsInfo copy = population;
    copy.id = d->counters->nextPopulationId();
    d->global.populations.append(copy);
    return copy.id;
}

bool DrpltClassifyMgr::removeWellnfoByLine(uint wellId)
{
    Q_D(DrpltClassifyMgr);
    const int i = wellPosition(d->lineWells, wellId);
    if (i < 0)
        return false;
    d->lineWells.removeAt(i);
    return true;
}

bool DrpltClassifyMgr::removeWellnfoByPolygon(uint wellId)
{
    Q_D(DrpltClassifyMgr);
    const int i = wellPosition(d->polygonWells, wellId);
    if (i < 0)
        return false;
    d->polygonWells.removeAt(i);
    return true;
}

bool DrpltClassifyMgr::removeZone(uint zoneId)
{
    Q_D(DrpltClassifyMgr);
    const int p = d->zonePosition(zoneId);
    if (p < 0)
        return false;
    // A well with entries must have one at p; otherwise its vectors no longer run parallel
    // to the zones and removing anything would misalign them further.
    for (const WellClassifyInfoByPolygon &well : qAsConst(d->polygonWells)) {
        if ((!well.thlds.isEmpty() && p >= well.thlds.size())
            || (!well.zoneDrpltNums.isEmpty() && p >= well.zoneDrpltNums.size()))
            return false;
    }
    d->global.zones.remove(p);
    for (WellClassifyInfoByPolygon &well : d->polygonWells) {
        if (!well.thlds.isEmpty())
            well.thlds.remove(p);
        if (!well.zoneDrpltNums.isEmpty())
            well.zoneDrpltNums.remove(p);
    }
    return true;
}

bool DrpltClassifyMgr::removePopulation(uint populationId)
{
    Q_D(DrpltClassifyMgr);
    const int i = d->populationPosition(populationId);
    if (i < 0)
        return false;
    d->global.populations.removeAt(i);
    return true;
}

void DrpltClassifyMgr::bindPopulationAndZone(const QPair<uint, ZoneType> &zone, uint populationId)
{
    Q_D(DrpltClassifyMgr);
    const int z = d->zonePosition(zone.first);
    if (z >= 0) {
        QList<quint32> &ids = d->global.zones[z].populationIds;
        if (!ids.contains(populationId))
            ids.append(populationId);
    }
    if (PopulationsInfo *pop = d->population(populationId)) {
        for (int i = 0; i < pop->zones.size(); ++i) {
            if (pop->zones.at(i).first == zone.first) {
                pop->zones.removeAt(i);
                break;
            }
        }
        pop->zones.append(qMakePair(quint32(zone.first), zone.second));
    }
}

void DrpltClassifyMgr::unbindPopulationAndZone(uint zoneId, uint populationId)
{
    Q_D(DrpltClassifyMgr);
    const int z = d->zonePosition(zoneId);
    if (z >= 0)
        d->global.zones[z].populationIds.removeOne(populationId);
    if (PopulationsInfo *pop = d->population(populationId)) {
        for (int i = 0; i < pop->zones.size(); ++i) {
            if (pop->zones.at(i).first == zoneId) {
                pop->zones.removeAt(i);
                break;
            }
        }
    }
}

void DrpltClassifyMgr::setPopulationName(uint populationId, const QString &name)
{
    Q_D(DrpltClassifyMgr);
    if (PopulationsInfo *pop = d->population(populationId))
        pop->name = name;
}

void DrpltClassifyMgr::setPopulationSignColor(uint populationId, const QString &color)
{
    Q_D(DrpltClassifyMgr);
    if (PopulationsInfo *pop = d->population(populationId))
        pop->signColor = color;
}

void DrpltClassifyMgr::setThldByLine(uint wellId, uint channel, uint value)
{
    Q_D(DrpltClassifyMgr);
    const int w = wellPosition(d->lineWells, wellId);
    if (w < 0 || channel < 1 || channel > uint(PerChannel))
        return;
    // A stored well may hold fewer than six thresholds.
    if (int(channel) > d->lineWells.at(w).thlds.size())
        return;
    d->lineWells[w].thlds[int(channel) - 1].value = value;
}

bool DrpltClassifyMgr::setThldByPolygon(uint wellId, uint zoneId, const QPolygonF &polygon)
{
    Q_D(DrpltClassifyMgr);
    const int w = wellPosition(d->polygonWells, wellId);
    const int p = d->zonePosition(zoneId);
    if (w < 0 || p < 0 || p >= d->polygonWells.at(w).thlds.size())
        return false;
    d->polygonWells[w].thlds[p].value = polygon;
    return true;
}

void DrpltClassifyMgr::setThldOfAllWellsByLine(uint channel, uint value)
{
    Q_D(DrpltClassifyMgr);
    if (channel < 1 || channel > uint(PerChannel))
        return;
    for (WellClassifyInfoByLine &well : d->lineWells) {
        if (int(channel) <= well.thlds.size())
            well.thlds[int(channel) - 1].value = value;
    }
}

void DrpltClassifyMgr::setThldOfAllWellsByPolygon(uint zoneId, const QPolygonF &polygon)
{
    Q_D(DrpltClassifyMgr);
    const int p = d->zonePosition(zoneId);
    if (p < 0)
        return;
    for (WellClassifyInfoByPolygon &well : d->polygonWells) {
        if (p < well.thlds.size())
            well.thlds[p].value = polygon;
    }
}

void DrpltClassifyMgr::setDrpltNumByLine(uint wellId, uint zoneId, uint count)
{
    Q_D(DrpltClassifyMgr);
    const int w = wellPosition(d->lineWells, wellId);
    const int p = d->zonePosition(zoneId);
    if (w < 0 || p < 0 || p >= d->lineWells.at(w).zoneDrpltNums.size())
        return;
    d->lineWells[w].zoneDrpltNums[p].drpltNum = count;
}

bool DrpltClassifyMgr::setDrpltNumByPolygon(uint wellId, uint zoneId, uint count)
{
    Q_D(DrpltClassifyMgr);
    const int w = wellPosition(d->polygonWells, wellId);
    const int p = d->zonePosition(zoneId);
    if (w < 0 || p < 0 || p >= d->polygonWells.at(w).zoneDrpltNums.size())
        return false;
    d->polygonWells[w].zoneDrpltNums[p].drpltNum = count;
    return true;
}

void DrpltClassifyMgr::setNegEdited(uint populationId, bool edited)
{
    Q_D(DrpltClassifyMgr);
    if (PopulationsInfo *pop = d->population(populationId))
        pop->negEdited = edited;
}

const ClassifyGlobalInfo &DrpltClassifyMgr::getClassifyGlobalInfo() const
{
    Q_D(const DrpltClassifyMgr);
    return d->global;
}

void DrpltClassifyMgr::setClassifyGlobalInfo(const ClassifyGlobalInfo &info)
{
    Q_D(DrpltClassifyMgr);
    d->global.zones = info.zones;
    d->global.populations = info.populations;
}

QList<WellClassifyInfoByLine> &DrpltClassifyMgr::getClassifyInfosOfWellsByLine()
{
    Q_D(DrpltClassifyMgr);
    return d->lineWells;
}

QList<WellClassifyInfoByPolygon> &DrpltClassifyMgr::getClassifyInfosOfWellsByPolygon()
{
    Q_D(DrpltClassifyMgr);
    return d->polygonWells;
}

void DrpltClassifyMgr::setClassifyInfoOfWellsByLine(const QList<WellClassifyInfoByLine> &wells)
{
    Q_D(DrpltClassifyMgr);
    d->lineWells = wells;
}

void DrpltClassifyMgr::setClassifyInfoOfWellsByPolygon(const QList<WellClassifyInfoByPolygon> &wells)
{
    Q_D(DrpltClassifyMgr);
    d->polygonWells = wells;
}

void DrpltClassifyMgr::appendClassifyInfosOfWellsByLine(const WellClassifyInfoByLine &well)
{
    Q_D(DrpltClassifyMgr);
    d->lineWells.append(well);
}

void DrpltClassifyMgr::appendZone(const DrpltZoneInfo &zone)
{
    Q_D(DrpltClassifyMgr);
    d->global.zones.append(zone);
}

void DrpltClassifyMgr::appendPopulation(const PopulationsInfo &population)
{
    Q_D(DrpltClassifyMgr);
    d->global.populations.append(population);
}

void DrpltClassifyMgr::initClassifyGlobalInfoByLine(const QList<int> &channels)
{
    Q_D(DrpltClassifyMgr);
    const int n = lineChannelCount(channels.size());
    const int zoneCount = 1 << n;
    d->global.zones.clear();
    d->global.populations.clear();
    d->global.zones.reserve(zoneCount);
    d->global.populations.reserve(n);

    d->zoneCombination = ClassifyStatistic::generateFullPermutationVals(quint32(n));
    for (int i = 0; i < zoneCount; ++i)
        d->global.zones.append(DrpltZoneInfo{quint32(i), d->zoneCombination.value(i), {}});

    for (int p = 0; p < n; ++p) {
        const uint populationId = uint(p + 1);
        PopulationsInfo population;
        population.id = populationId;
        // The zones positive in channel p: bit p set, the other n - 1 bits taken from v.
        const uint lowMask = (1u << p) - 1u;
        for (uint v = 0; v < (1u << (n - 1)); ++v) {
            const uint mask = (v & lowMask) | (1u << p) | ((v & ~lowMask) << 1);
            const int z = d->zoneCombination.indexOf(mask);
            if (z < 0)
                continue;
            const QPair<uint, ZoneType> binding(uint(z), PositiveZone);
            population.zones.append(qMakePair(quint32(z), PositiveZone));
            // The population is not listed yet: this only records it in the zone.
            bindPopulationAndZone(binding, populationId);
        }
        const ChannelTableEntry &entry = channelTableEntry(channels.at(p));
        population.name = entry.name;
        population.signColor = entry.color;
        population.negEdited = false;
        d->global.populations.append(population);
    }
}

void DrpltClassifyMgr::initClassifyGlobalInfoByPolygon()
{
    Q_D(DrpltClassifyMgr);
    d->global.zones.clear();
    d->global.populations.clear();
}

void DrpltClassifyMgr::initClassifyInfosOfWellsByLine(const QList<uint> &wellIds, int n)
{
    Q_D(DrpltClassifyMgr);
    const int zoneCount = 1 << lineChannelCount(n);
    d->lineWells.clear();
    d->lineWells.reserve(wellIds.size());
    for (uint wellId : wellIds) {
        WellClassifyInfoByLine well;
        well.wellId = wellId;
        well.thlds.reserve(PerChannel);
        for (int c = 1; c <= PerChannel; ++c)
            well.thlds.append(LineThresholdInfo{quint32(c), 0});
        well.zoneDrpltNums.reserve(zoneCount);
        for (int z = 0; z < zoneCount; ++z)
            well.zoneDrpltNums.append(ZoneDrpltNumInfo{quint32(z), 0});
        d->lineWells.append(well);
    }
}

void DrpltClassifyMgr::initClassifyInfosOfWellsByPolygon(const QList<uint> &wellIds)
{
    Q_D(DrpltClassifyMgr);
    d->polygonWells.clear();
    d->polygonWells.reserve(wellIds.size());
    for (uint wellId : wellIds) {
        WellClassifyInfoByPolygon well;
        well.wellId = wellId;
        d->polygonWells.append(well);
    }
}

void DrpltClassifyMgr::generateZoneCombination(int n)
{
    Q_D(DrpltClassifyMgr);
    d->zoneCombination = ClassifyStatistic::generateFullPermutationVals(quint32(lineChannelCount(n)));
}

const QVector<uint> &DrpltClassifyMgr::getZoneCombinationOfChan() const
{
    Q_D(const DrpltClassifyMgr);
    return d->zoneCombination;
}

FileLogMgr *DrpltClassifyMgr::fileLogMgr() const
{
    Q_D(const DrpltClassifyMgr);
    return d->counters;
}

void DrpltClassifyMgr::setFileLogMgr(FileLogMgr *counters)
{
    Q_D(DrpltClassifyMgr);
    d->counters = counters;
}
