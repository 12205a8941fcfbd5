#pragma once
// The 2D page's working copy of the polygon zones: per well and zone the applied outline and
// a pending one, applied to the document on request.
#include "plots/TwoDotPlot/polygonzoneinfo.h"

#include <QList>
#include <QObject>
#include <QVector>

class PolygonMgr : public QObject {
    Q_OBJECT
public:
    explicit PolygonMgr(QObject *parent = nullptr);

    // In polygon mode only: appends a record for every polygon of every well on a 2D plot,
    // wells and polygons in the document's order. Existing records stay.
    void loadZones();
    // A record for every polygon the document holds for the well, in the document's order.
    static QList<PolygonZoneInfo> storedZonesOfWell(uint wellId);
    void addZone(const PolygonZoneInfo &zone);
    void clear();
    // Drops every unapplied change.
    void clearPendingPolygons();
    // The first record of that well and zone; nothing when there is none.
    void setPendingPolygon(int wellId, int zoneId, const QPolygonF &polygon);
    QList<PolygonZoneInfo> getPlotZones(int wellId, uint plotId) const;
    // The zone of the first record of that well and plot whose applied outline has the same
    // distinct points in the same order; -1 when none.
    int findZoneId(uint wellId, uint plotId, const QPolygonF &polygon) const;
    // Removes the zones from the document (also those without a record here), then their
    // records.
    void removeZones(const QVector<uint> &zoneIds);
    // Writes every pending outline of at least 3 points into the document: in per-well scope
    // into the record's own well, in common scope into every well of the list (once per
    // zone, the zone's last such outline); the records then hold it as applied.
    void applyPolygonChange();

    const QVector<PolygonZoneInfo> &zones() const { return m_zones; }

signals:
    // Asks for the droplets of the well inside the zone's new outline to be counted.
    void updateZoneDroplets(uint zoneID, uint plotID, uint wellID, QPolygonF thld);

private:
    QVector<PolygonZoneInfo> m_zones;
};
