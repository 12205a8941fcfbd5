#pragma once
#include "model/lumaraanalysisdata.h"
#include "tesmar_global.h"

#include <QPair>
#include <QScopedPointer>

class FileLogMgr;

// What the program reads and edits of the droplet classification. The order of the virtual
// operations is part of the library's interface. The per-well getters throw the C string
// "Well id is invalid!" for a well the list of that mode does not hold.
class TESMAR_EXPORT DrpltClassifyInterface {
public:
    virtual ~DrpltClassifyInterface();

    virtual const QVector<LumaraAnalysisData::DrpltZoneInfo> &getZones() const = 0;
    virtual const QList<LumaraAnalysisData::PopulationsInfo> &getPopulations() const = 0;
    virtual const QVector<LumaraAnalysisData::LineThresholdInfo> &getThldsByLine(uint wellId) const = 0;
    virtual const QVector<LumaraAnalysisData::PolygonThresholdInfo> &getThldsByPolygon(uint wellId) const = 0;
    virtual const QVector<LumaraAnalysisData::ZoneDrpltNumInfo> &getWellDrpltNumOfZonesByLine(uint wellId) const = 0;
    virtual const QVector<LumaraAnalysisData::ZoneDrpltNumInfo> &getWellDrpltNumOfZonesByPolygon(uint wellId) const = 0;
    virtual uint addZone(const LumaraAnalysisData::DrpltZoneInfo &zone) = 0;
    virtual uint addPopulation(const LumaraAnalysisData::PopulationsInfo &population) = 0;
    virtual bool removeWellnfoByLine(uint wellId) = 0;
    virtual bool removeWellnfoByPolygon(uint wellId) = 0;
    virtual bool removeZone(uint zoneId) = 0;
    virtual bool removePopulation(uint populationId) = 0;
    virtual void bindPopulationAndZone(const QPair<uint, LumaraAnalysisData::ZoneType> &zone, uint populationId) = 0;
    virtual void unbindPopulationAndZone(uint zoneId, uint populationId) = 0;
    virtual void setPopulationName(uint populationId, const QString &name) = 0;
    virtual void setPopulationSignColor(uint populationId, const QString &color) = 0;
    virtual void setThldByLine(uint wellId, uint channel, uint value) = 0;
    virtual bool setThldByPolygon(uint wellId, uint zoneId, const QPolygonF &polygon) = 0;
    virtual void setThldOfAllWellsByLine(uint channel, uint value) = 0;
    virtual void setThldOfAllWellsByPolygon(uint zoneId, const QPolygonF &polygon) = 0;
    virtual void setDrpltNumByLine(uint wellId, uint zoneId, uint count) = 0;
    virtual bool setDrpltNumByPolygon(uint wellId, uint zoneId, uint count) = 0;
    virtual void setNegEdited(uint populationId, bool edited) = 0;
};

class DrpltClassifyMgrPrivate;

// Zones, populations and the per-well thresholds and zone counts of both threshold modes.
// Line mode: 2^n zones whose id is their position and whose mask is the channel combination
// at that position; one population per channel. Polygon mode: a polygon well's thresholds and
// counts run parallel to the zones. Lookups take the first matching id. New zone and
// population ids come from the document's counters; without counters none can be added.
class TESMAR_EXPORT DrpltClassifyMgr : public DrpltClassifyInterface {
public:
    explicit DrpltClassifyMgr(FileLogMgr *counters = nullptr);
    ~DrpltClassifyMgr() override;

    const QVector<LumaraAnalysisData::DrpltZoneInfo> &getZones() const override;
    const QList<LumaraAnalysisData::PopulationsInfo> &getPopulations() const override;
    const QVector<LumaraAnalysisData::LineThresholdInfo> &getThldsByLine(uint wellId) const override;
    const QVector<LumaraAnalysisData::PolygonThresholdInfo> &getThldsByPolygon(uint wellId) const override;
    const QVector<LumaraAnalysisData::ZoneDrpltNumInfo> &getWellDrpltNumOfZonesByLine(uint wellId) const override;
    const QVector<LumaraAnalysisData::ZoneDrpltNumInfo> &getWellDrpltNumOfZonesByPolygon(uint wellId) const override;
    // The record's id is ignored. Every polygon well gets an empty polygon and a count 0 for
    // the new zone. Returns the new id, 0 (nothing added) without counters.
    uint addZone(const LumaraAnalysisData::DrpltZoneInfo &zone) override;
    uint addPopulation(const LumaraAnalysisData::PopulationsInfo &population) override;
    bool removeWellnfoByLine(uint wellId) override;
    bool removeWellnfoByPolygon(uint wellId) override;
    // Also drops the zone's entry from every polygon well that has entries; false (nothing
    // changed) when such a well has no entry at the zone's position. Bindings stay.
    bool removeZone(uint zoneId) override;
    // Zones keep the id in their population lists.
    bool removePopulation(uint populationId) override;
    // The zone lists the population once (even when no such population exists); an existing
    // binding of the population to the zone moves to the end with the new type.
    void bindPopulationAndZone(const QPair<uint, LumaraAnalysisData::ZoneType> &zone, uint populationId) override;
    void unbindPopulationAndZone(uint zoneId, uint populationId) override;
    void setPopulationName(uint populationId, const QString &name) override;
    void setPopulationSignColor(uint populationId, const QString &color) override;
    // Channels are 1..6.
    void setThldByLine(uint wellId, uint channel, uint value) override;
    // False (nothing written) for a missing well or zone, or a well without an entry at the
    // zone's position.
    bool setThldByPolygon(uint wellId, uint zoneId, const QPolygonF &polygon) override;
    void setThldOfAllWellsByLine(uint channel, uint value) override;
    // Wells without an entry at the zone's position are skipped.
    void setThldOfAllWellsByPolygon(uint zoneId, const QPolygonF &polygon) override;
    void setDrpltNumByLine(uint wellId, uint zoneId, uint count) override;
    bool setDrpltNumByPolygon(uint wellId, uint zoneId, uint count) override;
    void setNegEdited(uint populationId, bool edited) override;

    const LumaraAnalysisData::ClassifyGlobalInfo &getClassifyGlobalInfo() const;
    void setClassifyGlobalInfo(const LumaraAnalysisData::ClassifyGlobalInfo &info);
    QList<LumaraAnalysisData::WellClassifyInfoByLine> &getClassifyInfosOfWellsByLine();
    QList<LumaraAnalysisData::WellClassifyInfoByPolygon> &getClassifyInfosOfWellsByPolygon();
    void setClassifyInfoOfWellsByLine(const QList<LumaraAnalysisData::WellClassifyInfoByLine> &wells);
    void setClassifyInfoOfWellsByPolygon(const QList<LumaraAnalysisData::WellClassifyInfoByPolygon> &wells);
    void appendClassifyInfosOfWellsByLine(const LumaraAnalysisData::WellClassifyInfoByLine &well);
    // Append stored records unchanged, ids kept.
    void appendZone(const LumaraAnalysisData::DrpltZoneInfo &zone);
    void appendPopulation(const LumaraAnalysisData::PopulationsInfo &population);

    // Line-mode zones and populations for the channel indices (0..5) in use, in population
    // order. At most six channels are taken.
    void initClassifyGlobalInfoByLine(const QList<int> &channels);
    // Empties zones and populations only.
    void initClassifyGlobalInfoByPolygon();
    // Every well gets six thresholds (channels 1..6) and 2^n zone counts.
    void initClassifyInfosOfWellsByLine(const QList<uint> &wellIds, int n);
    void initClassifyInfosOfWellsByPolygon(const QList<uint> &wellIds);
    void generateZoneCombination(int n);
    const QVector<uint> &getZoneCombinationOfChan() const;

    FileLogMgr *fileLogMgr() const;
    void setFileLogMgr(FileLogMgr *counters);

    // Line mode handles at most this many channels.
    static constexpr int MaxLineChannels = LumaraAnalysisData::PerChannel;

private:
    Q_DISABLE_COPY(DrpltClassifyMgr)
    Q_DECLARE_PRIVATE(DrpltClassifyMgr)
    QScopedPointer<DrpltClassifyMgrPrivate> d_ptr;
};
