#include "plots/TwoDotPlot/polygonmgr.h"

#include "plots/TwoDotPlot/polygongeometry.h"

#include "bll/bllinstance.h"
#include "bll/populationsmgr.h"
#include "shell/globalvalues.h"
#include "shell/welllistmodel.h"

#include <QMap>

PolygonMgr::PolygonMgr(QObject *parent) : QObject(parent) {}

void PolygonMgr::loadZones()
{
    BLLInstance *bll = BLLInstance::getInstance();
    if (bll->getThldType() != LumaraAnalysisData::PolygonThreshold)
        return;
    for (uint wellId : bll->getWellIds()) {
        for (const PolygonZoneInfo &zone : storedZonesOfWell(wellId))
            m_zones.append(zone);
    }
}

QList<PolygonZoneInfo> PolygonMgr::storedZonesOfWell(uint wellId)
{
    QList<PolygonZoneInfo> zones;
    for (const PlotPolygonInfo &polygon : BLLInstance::getInstance()->getPopulationsMgr()->getWellPlotPolygons(wellId)) {
        PolygonZoneInfo zone;
        zone.wellID = wellId;
        zone.zoneID = polygon.zoneId;
        zone.plotID = polygon.plotId;
        zone.applied = polygon.polygon;
        zones.append(zone);
    }
    return zones;
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

void PolygonMgr::applyPolygonChange()
{
    // The records take their new state before anything is written: the writes and counts
    // reach other objects, which may read or reload this manager meanwhile.
    struct Write {
        uint zoneID;
        uint plotID;
        uint wellID;
        QPolygonF outline;
    };
    QVector<Write> writes;
    if (isIndividualMode == 1) {
        // Each change goes to the well it was made on, whichever well is selected now.
        for (PolygonZoneInfo &zone : m_zones) {
            if (zone.pending.size() < 3)
                continue;
            writes.append(Write{zone.zoneID, zone.plotID, zone.wellID, zone.pending});
            zone.applied = zone.pending;
            zone.pending.clear();
        }
    } else {
        // All wells share one outline per zone: each changed zone is written once to every
        // well, with its last change, and counted once per well.
        QVector<uint> changedZones;
        QMap<uint, PolygonZoneInfo> lastChange;
        for (const PolygonZoneInfo &zone : qAsConst(m_zones)) {
            if (zone.pending.size() < 3)
                continue;
            if (!lastChange.contains(zone.zoneID))
                changedZones.append(zone.zoneID);
            lastChange.insert(zone.zoneID, zone);
        }
        const QList<uint> wells = WellListModel::instance()->getAllWellIDs();
        for (uint zoneId : qAsConst(changedZones)) {
            const PolygonZoneInfo change = lastChange.value(zoneId);
            for (uint well : wells)
                writes.append(Write{zoneId, change.plotID, well, change.pending});
            for (PolygonZoneInfo &zone : m_zones) {
                if (zone.zoneID != zoneId)
                    continue;
                zone.applied = change.pending;
                // A change too small to apply stays pending, as in per-well scope.
                if (zone.pending.size() >= 3)
                    zone.pending.clear();
            }
        }
    }
    BLLInstance *bll = BLLInstance::getInstance();
    for (const Write &w : qAsConst(writes)) {
        bll->setThldByPolygon(w.wellID, w.zoneID, w.outline);
        emit updateZoneDroplets(w.zoneID, w.plotID, w.wellID, w.outline);
    }
}
