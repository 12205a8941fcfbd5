#pragma once
// The 2D dot-plot page (page 2 of the analysis plots): the selected wells' droplets over two
// channels at once in up to four plots, coloured by threshold quadrant (line mode) or by the
// zone polygons (polygon mode); threshold crosses that are dragged, typed, applied or set
// automatically; plot combinations as thumbnails; polygons drawn on a plot become zones, alone
// or with a new population, counted in every well.
#include "plots/TwoDotPlot/pointmaps.h"
#include "plots/common/channelplotpage.h"
#include "plots/common/thresholdaxis.h"

#include <QModelIndex>
#include <QPolygonF>
#include <QVector>

class PolygonMgr;
class PopulationModel;
class Zt2DPlot;

class Plot2DDot : public ChannelPlotPage {
    Q_OBJECT
public:
    explicit Plot2DDot(QWidget *parent = nullptr);
    ~Plot2DDot() override;

    // The container's refresh: the full refresh and the populations, with wells only.
    void refresh() override;

    Zt2DPlot *plot(int index) const { return m_plots[index]; }
    PolygonMgr *polygonMgr() const { return m_polygons; }
    PopulationModel *populationModel() const { return m_populations; }
    const QVector<AxisRange> &automaticRanges() const { return m_autoRanges; }
    const QVector<uint> &selectedZones() const { return m_selectedZones; }
    bool autoCreate() const { return m_autoCreate; }

    QVector<uint> shownPlotIds() const;
    QVector<uint> shownChannels() const override;
    // 1..4 for "Quorin2D1".."Quorin2D4", else 0; the plot that last sent a signal.
    void setCurrentPlot(const QString &objectName);
    int currentPlot() const { return m_currentPlot; }
    // The combination shown by the current plot; 0 when there is none.
    uint currentPlotId() const;

    // The dots of the wells over the channel pair, one pair per curve, in drawing order.
    PointMap collectPlotPoints(const QList<uint> &wells, uint xChannel, uint yChannel) const;
    // The well's droplets of the combination inside the polygon: the recount's own count.
    int countZoneDroplets(uint plotId, uint wellId, const QPolygonF &polygon) const;
    bool getWellAxisRange(AxisRange &range, uint channel) const;
    void setPlotAxisRange(Zt2DPlot *plot, uint xChannel, uint yChannel);
    // Rebuilds every combination's thumbnail and the channels' automatic ranges.
    void updateThumbnails();

signals:
    void populationNameExist();
    // The package changed in a way the business layer does not announce itself.
    void dataFixed();

protected:
    void refreshPanel() override;
    void refreshThumbnails() override { updateThumbnails(); }
    void refreshPlots() override;
    void moveSolidLine(int plotIndex, uint value) override;
    void showTypedThreshold(uint channel, uint value) override;
    bool reloadsOnIndividual() const override;
    void thresholdTypeSwitched(int mode) override;

protected slots:
    void initData() override;

private slots:
    void enableApply();
    void enableRemove(bool enable);
    void deleteStatusChange();
    void axisXYClicked(QPair<double, double> xRange, QPair<double, double> yRange);
    void updateProperty(QPair<double, double> xRange, QPair<double, double> yRange);
    void updateTempThreshold(QPointF threshold);
    void addPlotCombition();
    void selectPlotCombition(int channelID1, int channelID2, QString plotName);
    void deletePlotCombition();
    void updatePlotCombitionName(QModelIndex index, QString name);
    void addZones(QPolygonF polygon);
    void addPopulation(QString color, QString name);
    void autoCreatePopulations(bool flag);
    void updateSharp(QVector<QPair<QPolygonF, QPolygonF>> shape);
    void applyPolygonChange();
    void cancelPolygonChange();
    void removePolygon();
    void updateZoneDroplets(uint zoneID, uint plotID, uint wellID, QPolygonF thld);
    void zoneSelectStatus(QPolygonF polygon, bool select);

private:
    void showPlot(const QList<uint> &wells, uint plotId, Zt2DPlot *plot);
    void setAxisTitles(Zt2DPlot *plot, uint xChannel, uint yChannel) const;
    // The crosses of the first selected well, or none in per-well scope with several wells.
    void setThresholdCrosses(Zt2DPlot *plot, const QList<uint> &wells, uint xChannel, uint yChannel) const;
    // Every shown plot but the one numbered skipPlot (1..4; 0 none) takes the cache's cross.
    void syncSolidThresholds(int skipPlot);
    void updatePendingPolygon(const QPolygonF &applied, const QPolygonF &edited);
    void updateVertexTolerance(Zt2DPlot *plot);
    // Both grey axes of the plot at position 0..3 follow its moved solid cross; true when
    // either changed (the caller replots).
    bool followSolidCross(int plotIndex, bool dragged);
    // Adds the zone's record and count in every well of the experiment.
    void addZoneToWells(uint zoneId, uint plotId, const QPolygonF &polygon);
    Zt2DPlot *currentPlotWidget() const;
    void setRootProperty(const char *name, const QVariant &value);

    Zt2DPlot *m_plots[4] = {nullptr, nullptr, nullptr, nullptr};
    ThresholdAxis m_xAxes[4];
    ThresholdAxis m_yAxes[4];
    PopulationModel *m_populations = nullptr;
    PolygonMgr *m_polygons = nullptr;
    QVector<AxisRange> m_autoRanges = QVector<AxisRange>(6);
    QVector<uint> m_selectedZones;
    QPolygonF m_lastPolygon;
    int m_currentPlot = 0;
    int m_colourIndex = 0;
    bool m_autoCreate = true;
    // Half sizes kept while a plot is not laid out.
    QVector<QPair<uint, uint>> m_tolerances = QVector<QPair<uint, uint>>(4);
};
