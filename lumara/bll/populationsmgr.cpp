#include "bll/populationsmgr.h"

#include "bll/documentaccess.h"

#include <algorithm>

using namespace LumaraAnalysisData;

namespace {

const QString NoPopulationColor = QStringLiteral("#ffffff");
const QString UnboundZoneColor = QStringLiteral("#b37c4e");

const QList<PopulationsInfo> &noPopulations()
{
    static const QList<PopulationsInfo> none;
    return none;
}

const QVector<DrpltZoneInfo> &noZones()
{
    static const QVector<DrpltZoneInfo> none;
    return none;
}

} // namespace

PopulationsMgr::PopulationsMgr(QObject *parent) : QObject(parent)
{
}

uint PopulationsMgr::addPopulation(const QString &name, QString colour)
{
    DrpltClassifyMgr *classify = DocumentAccess::classify();
    if (!classify)
        return 0;
    PopulationsInfo population;
    population.name = name;
    population.signColor = colour;
    population.negEdited = false;
    const uint id = classify->addPopulation(population);
    // Without an id there is no population whose results the entries would hold.
    if (id == 0)
        return 0;
    PopulationResultInfo entry;
    entry.populationId = id;
    entry.dilution = 1.0;
    if (AnalysisResultMgr *results = DocumentAccess::results()) {
        const QList<WellInfo> wells = DocumentAccess::wells();
        for (const WellInfo &well : wells)
            results->appendPopulationResult(well.id, entry);
    }
    return id;
}

uint PopulationsMgr::addPolygonZone(const QPolygonF &polygon, uint plotId)
{
    return addPolygonZoneOfPopulation(polygon, 0, plotId);
}

uint PopulationsMgr::addPolygonZoneOfPopulation(const QPolygonF &polygon, uint populationId, uint plotId)
{
    DrpltClassifyMgr *classify = DocumentAccess::classify();
    if (!classify)
        return 0;
    DrpltZoneInfo zone;
    zone.code = plotId;
    if (populationId != 0)
        zone.populationIds.append(populationId);
    const uint id = classify->addZone(zone);
    if (id == 0)
        return 0;
    const QList<WellInfo> wells = DocumentAccess::wells();
    for (const WellInfo &well : wells)
        classify->setThldByPolygon(well.id, id, polygon);
    return id;
}

void PopulationsMgr::bindPopulationAndZone(QPair<uint, ZoneType> zone, uint populationId)
{
    if (DrpltClassifyMgr *classify = DocumentAccess::classify())
        classify->bindPopulationAndZone(zone, populationId);
}

void PopulationsMgr::unbindPopulationAndZone(uint zoneId, uint populationId)
{
    if (DrpltClassifyMgr *classify = DocumentAccess::classify())
        classify->unbindPopulationAndZone(zoneId, populationId);
}

void PopulationsMgr::removePopulation(uint populationId)
{
    if (AnalysisResultMgr *results = DocumentAccess::results())
        results->removePopulationResult(populationId);
    if (DrpltClassifyMgr *classify = DocumentAccess::classify())
        classify->removePopulation(populationId);
}

bool PopulationsMgr::removeZone(uint zoneId)
{
    DrpltClassifyMgr *classify = DocumentAccess::classify();
    if (!classify)
        return false;
    const bool removed = classify->removeZone(zoneId);
    const QList<PopulationsInfo> populations = classify->getPopulations();
    for (const PopulationsInfo &population : populations) {
        for (const auto &bound : population.zones) {
            if (bound.first == zoneId) {
                classify->unbindPopulationAndZone(zoneId, population.id);
                break;
            }
        }
    }
    return removed;
}

const QList<PopulationsInfo> &PopulationsMgr::getPopulations() const
{
    DrpltClassifyMgr *classify = DocumentAccess::classify();
    return classify ? classify->getPopulations() : noPopulations();
}

const QVector<DrpltZoneInfo> &PopulationsMgr::getZones() const
{
    DrpltClassifyMgr *classify = DocumentAccess::classify();
    return classify ? classify->getZones() : noZones();
}

PopulationsInfo PopulationsMgr::getPopulation(uint populationId) const
{
    const QList<PopulationsInfo> populations = getPopulations();
    for (const PopulationsInfo &population : populations)
        if (population.id == populationId)
            return population;
    return PopulationsInfo();
}

PopulationsInfo PopulationsMgr::getPopulationByName(const QString &name) const
{
    const QList<PopulationsInfo> populations = getPopulations();
    for (const PopulationsInfo &population : populations)
        if (population.name == name)
            return population;
    return PopulationsInfo();
}

uint PopulationsMgr::getPopulationId(const QString &name) const
{
    return getPopulationByName(name).id;
}

QString PopulationsMgr::getPopulationName(uint populationId) const
{
    return getPopulation(populationId).name;
}

QStringList PopulationsMgr::getPopulationNames() const
{
    QStringList names;
    const QList<PopulationsInfo> populations = getPopulations();
    for (const PopulationsInfo &population : populations)
        names.append(population.name);
    return names;
}

QString PopulationsMgr::getPopulationColor(uint populationId) const
{
    const QList<PopulationsInfo> populations = getPopulations();
    for (const PopulationsInfo &population : populations)
        if (population.id == populationId)
            return population.signColor;
    return NoPopulationColor;
}

bool PopulationsMgr::isNegEdited(uint populationId) const
{
    return getPopulation(populationId).negEdited;
}

bool PopulationsMgr::isPopulationNameExist(const QString &name) const
{
    const QList<PopulationsInfo> populations = getPopulations();
    for (const PopulationsInfo &population : populations)
        if (population.name == name)
            return true;
    return false;
}

bool PopulationsMgr::isPopulationNameUsedByOther(uint populationId, const QString &name) const
{
    const QList<PopulationsInfo> populations = getPopulations();
    for (const PopulationsInfo &population : populations)
        if (population.id != populationId && population.name == name)
            return true;
    return false;
}

uint PopulationsMgr::getZonePlotId(uint zoneId) const
{
    const QVector<DrpltZoneInfo> zones = getZones();
    for (const DrpltZoneInfo &zone : zones)
        if (zone.id == zoneId)
            return zone.code;
    return 0;
}

QList<uint> PopulationsMgr::getPlotIdsOfZones(const QVector<uint> &zoneIds) const
{
    QList<uint> plotIds;
    const QVector<DrpltZoneInfo> zones = getZones();
    for (const DrpltZoneInfo &zone : zones) {
        if (zoneIds.contains(zone.id) && !plotIds.contains(zone.code))
            plotIds.append(zone.code);
    }
    return plotIds;
}

QString PopulationsMgr::getZoneColor(uint zoneId) const
{
    const QVector<DrpltZoneInfo> zones = getZones();
    for (const DrpltZoneInfo &zone : zones) {
        if (zone.id != zoneId)
            continue;
        if (zone.populationIds.isEmpty())
            return UnboundZoneColor;
        return getPopulationColor(zone.populationIds.first());
    }
    return UnboundZoneColor;
}

QList<PlotPolygonInfo> PopulationsMgr::getWellPlotPolygons(uint wellId) const
{
    QList<PlotPolygonInfo> result;
    DrpltClassifyMgr *classify = DocumentAccess::classify();
    CustomizedPlotMgr *plotMgr = DocumentAccess::plots();
    if (!classify || !plotMgr)
        return result;
    const QVector<PolygonThresholdInfo> thresholds = DocumentAccess::readOr(
        classify, [wellId](DrpltClassifyMgr *m) { return m->getThldsByPolygon(wellId); },
        QVector<PolygonThresholdInfo>());
    const QVector<DrpltZoneInfo> zones = classify->getZones();
    const QList<Customized2DPlotInfo> plots = plotMgr->get2DPlots();
    for (const PolygonThresholdInfo &threshold : thresholds) {
        const auto zone = std::find_if(zones.cbegin(), zones.cend(),
                                       [&](const DrpltZoneInfo &z) { return z.id == threshold.id; });
        if (zone == zones.cend())
            continue;
        const auto plot = std::find_if(plots.cbegin(), plots.cend(),
                                       [&](const Customized2DPlotInfo &p) { return p.id == zone->code; });
        if (plot == plots.cend())
            continue;
        result.append({threshold.id, threshold.value, plot->id, plot->name, plot->xChannel, plot->yChannel});
    }
    return result;
}

void PopulationsMgr::setNegEdited(uint populationId, bool edited)
{
    if (DrpltClassifyMgr *classify = DocumentAccess::classify())
        classify->setNegEdited(populationId, edited);
}

void PopulationsMgr::setPopulationName(uint populationId, const QString &name)
{
    if (DrpltClassifyMgr *classify = DocumentAccess::classify())
        classify->setPopulationName(populationId, name);
}

void PopulationsMgr::setPopulationSignColor(uint populationId, const QString &colour)
{
    if (DrpltClassifyMgr *classify = DocumentAccess::classify())
        classify->setPopulationSignColor(populationId, colour);
}

void PopulationsMgr::setDrpltNumByPolygon(uint wellId, uint zoneId, uint count)
{
    if (DrpltClassifyMgr *classify = DocumentAccess::classify())
        classify->setDrpltNumByPolygon(wellId, zoneId, count);
}
