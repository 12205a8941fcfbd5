#pragma once
// Populations and zones of the classification: creating them (with a result entry in every
// well, or the polygon set in every well), binding, lookups by id or name, colours, the
// polygons of a well that lie on user-defined 2D plots, renaming, recolouring and removing.
// Ids come from the document and start at 1; 0 means none.
#include "model/lumaraanalysisdata.h"

#include <QObject>
#include <QPair>
#include <QPolygonF>
#include <QStringList>
#include <QVector>

struct PlotPolygonInfo {
    uint zoneId = 0;
    QPolygonF polygon;
    uint plotId = 0;
    QString plotName;
    uint xChannel = 0;
    uint yChannel = 0;
};

class PopulationsMgr : public QObject {
    Q_OBJECT
public:
    explicit PopulationsMgr(QObject *parent = nullptr);

    // Adds the population and, to every well in configuration order, its empty result entry
    // (dilution 1.0, all counts and figures 0). Returns the new id; 0 when nothing could be
    // added (no document), and then no result entry is added either.
    uint addPopulation(const QString &name, QString colour);
    // Adds a zone drawn on the 2D plot and sets the polygon in every well. Returns the new
    // zone id; 0 when nothing could be added.
    uint addPolygonZone(const QPolygonF &polygon, uint plotId);
    // The same, the zone listing the population when its id is not 0.
    uint addPolygonZoneOfPopulation(const QPolygonF &polygon, uint populationId, uint plotId);
    void bindPopulationAndZone(QPair<uint, LumaraAnalysisData::ZoneType> zone, uint populationId);
    // The zone no longer lists the population, nor the population the zone.
    void unbindPopulationAndZone(uint zoneId, uint populationId);
    // The population's result entries in every well, then the population itself.
    void removePopulation(uint populationId);
    // The manager's result; the zone is unbound from every population that lists it, whatever
    // that result.
    bool removeZone(uint zoneId);

    const QList<LumaraAnalysisData::PopulationsInfo> &getPopulations() const;
    const QVector<LumaraAnalysisData::DrpltZoneInfo> &getZones() const;
    // A copy, or the empty record (id 0) when none has the id or name.
    LumaraAnalysisData::PopulationsInfo getPopulation(uint populationId) const;
    LumaraAnalysisData::PopulationsInfo getPopulationByName(const QString &name) const;
    uint getPopulationId(const QString &name) const;
    QString getPopulationName(uint populationId) const;
    QStringList getPopulationNames() const;
    // "#ffffff" when none has the id.
    QString getPopulationColor(uint populationId) const;
    bool isNegEdited(uint populationId) const;
    bool isPopulationNameExist(const QString &name) const;
    // Some population other than populationId has the name (the rename check).
    bool isPopulationNameUsedByOther(uint populationId, const QString &name) const;
    uint getZonePlotId(uint zoneId) const;
    // Plot ids of the listed zones, in zone-list order, each once.
    QList<uint> getPlotIdsOfZones(const QVector<uint> &zoneIds) const;
    // Colour of the first population the zone lists; "#b37c4e" when it lists none or no zone
    // has the id.
    QString getZoneColor(uint zoneId) const;
    // The well's polygons whose zone and plot both still exist, in the well's order.
    QList<PlotPolygonInfo> getWellPlotPolygons(uint wellId) const;

    void setNegEdited(uint populationId, bool edited);
    void setPopulationName(uint populationId, const QString &name);
    void setPopulationSignColor(uint populationId, const QString &colour);
    void setDrpltNumByPolygon(uint wellId, uint zoneId, uint count);
};
