#include "plots/TwoDotPlot/polygonmgr.h"

#include "plots/TwoDotPlot/polygongeometry.h"

#include "bll/bllinstance.h"
#include "bll/populationsmgr.h"

PolygonMgr::PolygonMgr(QObject *parent) : QObject(parent) {}

void PolygonMgr::loadZones()
{
    BLLInstance *bll = BLLInstance::getInstance();
    if (bll->getThldType() != LumaraAnalysisData::PolygonThreshold)
        return;
    PopulationsMgr *populations = bll->getPopulationsMgr();
    for (uint wellId : bll->getWellIds()) {
        for (const PlotPolygonInfo &polygon : populations->getWellPlotPolygons(wellId)) {
            PolygonZoneInfo zone;
            zone.wellID = wellId;
            zone.zoneID = polygon.zoneId;
            zone.plotID = polygon.plotId;
            zone.applied = polygon.polygon;
            m_zones.append(zone);
        }
    }
}

void PolygonMgr::addZone(const PolygonZoneInfo &zone)
{
    m_zones.append(zone);
}

void PolygonMgr::clear()
{
    m_zones.clear();
}

void PolygonMgr::clearPendingPolygons()
{
    for (PolygonZoneInfo &zone : m_zones)
        zone.pending.clear();
}

void PolygonMgr::setPendingPolygon(int wellId, int zoneId, const QPolygonF &polygon)
{
    for (PolygonZoneInfo &zone : m_zones) {
        if (int(zone.wellID) == wellId && int(zone.zoneID) == zoneId) {
            zone.pending = polygon;
            return;
        }
    }
}

QList<PolygonZoneInfo> PolygonMgr::getPlotZones(int wellId, uint plotId) const
{
    QList<PolygonZoneInfo> found;
    for (const PolygonZoneInfo &zone : m_zones) {
        if (int(zone.wellID) == wellId && zone.plotID == plotId)
            found.append(zone);
    }
    return found;
}

int PolygonMgr::findZoneId(uint wellId, uint plotId, const QPolygonF &polygon) const
{
    for (const PolygonZoneInfo &zone : m_zones) {
        if (zone.wellID == wellId && zone.plotID == plotId
            && PolygonGeometry::sameOutline(zone.applied, polygon))
            return int(zone.zoneID);
    }
    return -1;
}

void PolygonMgr::removeZones(const QVector<uint> &zoneIds)
{
    PopulationsMgr *populations = BLLInstance::getInstance()->getPopulationsMgr();
    for (uint id : zoneIds)
        populations->removeZone(id);
    for (int i = m_zones.size() - 1; i >= 0; --i) {
        if (zoneIds.contains(m_zones.at(i).zoneID))
            m_zones.remove(i);
    }
}
