#pragma once
// The one table model of the wells of the open analysis, shown by every page: the well lists
// beside the plots and images (mode 0), the experiment set-up table (mode 1) and, through the
// result model, the result table (mode 2). It keeps a copy of each well's identity, names,
// counts, flags, channel settings and population results, holds the selection all pages share
// and forwards the tables' edits to the business layer. The tables of modes 1 and 2 count rows
// from 1: their row 0 is the header row. GUI thread only.
#include "bll/experimenteditmgr.h"
#include "model/lumaraanalysisdata.h"

#include <QAbstractTableModel>
#include <QList>
#include <QModelIndexList>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVector>

struct WellListItem {
    uint wellId = 0;
    QString wellNameId; // the well's position text
    bool exclude = false; // some droplets of the well are excluded
    QString wellName;
    QString sampleName;
    QString comment;
    uint plateIndex = 0;
    uint dropletSum = 0;
    uint effDropletSum = 0;
    bool select = false;
    bool current = false; // the well whose data a plot page shows
    QVector<LumaraAnalysisData::ChanResultInfo> channels; // entry channel - 1
    QVector<LumaraAnalysisData::PopulationResultInfo> populations;
};

class WellListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Roles {
        WellIDRole = Qt::UserRole + 1, // 257
        WellNameIDRole,
        WellNameRole,
        PlateIndexRole,
        SampleNameRole,
        WellCommentRole,
        DropletSumRole,
        EffDropletSumRole,
        ChannleInfoRole,
        PopulationInfoRole,
        ChannelIDRole,
        TargetName,
        FluorophoreName,
        WellExclude, // 270
        WellSelect,  // 271
        ExpTypeRole,
        RefStockRole,
        DilutionRole,
        UnnamedRole,      // 275: no name, no value
        CurrentWellRole,  // 276: no name; QML reads it by number
        ConcentrationRole,
        NbPosRole,
        NbNegtiveRole,
        MinConcentrationRole,
        MaxConcentrationRole,
        RelativeUncertainlyRole, // 282
    };

    // The process-wide model, built on first use on the GUI thread.
    static WellListModel *instance();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    // Roles WellExclude and WellSelect of the well at list position index.row() (no header
    // row: the well lists show mode 0). Always true; no signal, the callers reset.
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    QHash<int, QByteArray> roleNames() const override;

    // ---- For QML and the pages (table rows count from 1) ------------------------------------
    Q_INVOKABLE QString getTargetName(int channelID) const;
    Q_INVOKABLE QString getFluorophoreName(int channeID) const;
    Q_INVOKABLE QString getExposeTime(uint wellID, int channelID) const;
    Q_INVOKABLE QString getFocus(uint wellID, int channelID) const;
    Q_INVOKABLE QString getExpComment() const;
    Q_INVOKABLE bool getWellChannelStatus(uint wellID, uint chnnelID) const;
    Q_INVOKABLE QVariantList getPopulationNames() const;
    Q_INVOKABLE QString getColorByChannelName(QString name) const;
    Q_INVOKABLE bool currentChannelIsAvaiable(uint wellID, uint channelID) const;
    Q_INVOKABLE uint getRoxChannelID(uint wellID) const;
    Q_INVOKABLE void moveUpItem(QVariantList rows);
    Q_INVOKABLE void moveDownItem(QVariantList rows);
    Q_INVOKABLE void sampleNameSort(bool ascend);
    Q_INVOKABLE void setChannelType(uint wellId, uint chanId, int channelType);
    Q_INVOKABLE void setChannelType(uint chanId, int channelType);
    Q_INVOKABLE bool setRefConcentration(uint wellId, uint chanId, double drpltCctt);
    Q_INVOKABLE bool setRefConcentration(uint chanId, double drpltCctt);
    Q_INVOKABLE bool setChannelDilution(uint wellId, uint chanId, double dilution);
    Q_INVOKABLE bool setChannelDilution(uint chanId, double dilution);
    Q_INVOKABLE void removeWell(QVariantList rows);
    Q_INVOKABLE void addSelectRow(int row);
    Q_INVOKABLE bool cancelSelectRow(int row);
    Q_INVOKABLE bool isTargetNameExist(QString targetName, int channelID) const;
    Q_INVOKABLE bool existExcludeDroplets() const;
    Q_INVOKABLE void clearSelect();
    Q_INVOKABLE int getSelectWellID() const;
    Q_INVOKABLE void updateModel();
    Q_INVOKABLE QVariantList getSelectRow() const;
    Q_INVOKABLE int getFirstSelectWellID() const;
    Q_INVOKABLE uint getEffDroplet(uint wellID) const;
    Q_INVOKABLE uint getPFuMean(uint wellID, uint channelID) const;
    Q_INVOKABLE uint getNumbersRef(uint wellId) const;
    Q_INVOKABLE bool modelIsEmpty() const;
    Q_INVOKABLE bool setSampleName(uint wellID, QString name);
    Q_INVOKABLE QString increasing(QString number) const;
    Q_INVOKABLE QString reduction(QString number) const;
    Q_INVOKABLE QString dealNumber(QString number) const;
    Q_INVOKABLE uint getTargetChannnelID(int idx) const;
    Q_INVOKABLE QString getPopulationNameByIndex(int idx) const;
    Q_INVOKABLE QString getPopulationTextColor(int idx) const;
    Q_INVOKABLE QString getPopulationBackgroundColor(int idx) const;

    // ---- For the pages' own code ----------------------------------------------------------------
    // 0 well list, 1 experiment table, 2 result table; no reset (the page switch resets).
    void setModelType(int type);
    int modelType() const { return m_modelType; }
    // With wells and none selected: selects the last well (inside a reset).
    void ensureSelection();
    // Emits modelClear, keeps the first selected well (modelSelect with its list position)
    // and deselects the others; no reset.
    void keepFirstSelection();
    void setCurrentWell(uint wellID);
    void setWellExclude(uint wellID, bool flag);
    bool getWellExclude(int wellID) const;
    void setTargetName(uint channelID, QString name);
    QList<uint> getSelectWellIDs() const;
    QList<uint> getAllWellIDs() const;
    QModelIndexList getSelectIndexes() const;
    QStringList getSelectWellNameIDs() const;
    QStringList getWellNameIDs() const;
    QStringList getWellNameIDList(uint wellID) const;
    QString getWellName(uint wellID) const;
    QString getSampleName(uint wellID) const;
    QList<WellListItem> getWellList() const;
    // 0 when the list is empty.
    uint getLastWellID() const;
    uint getEffDropletSum(const QList<uint> &wellIDs) const;
    uint getFirstPopulationID() const;
    uint getPopulationIDByName(QString name) const;
    QVariant getData(int row, int column, int role) const;

    // The threshold cache (line mode) of the plot pages: edits stay here until Apply.
    void cacheThresholds();
    int getCachedThreshold(uint wellID, uint channelID) const;
    void setCachedThreshold(uint wellID, uint channelID, int threshold);
    // Writes every cached value that differs from the document's, then recounts each well.
    void applyCachedThresholds();
    // Every well's population entries read again; no reset.
    void refreshPopulationResults();
    // The definition scope (isIndividualMode) the plot pages start in after the last reload:
    // per well (1) after the analysis engine has given every well its own line thresholds,
    // common (0) after an open or a merge, and in polygon mode.
    int scopeAfterReload() const { return m_scopeAfterReload; }

signals:
    void modelClear();
    void modelSelect(int idx);
    void updateComplete();
    void noAvailableModel();

private slots:
    void wellsReanalysed();
    void updateData();
    void updateResultData();
    int getWellChannelType(uint wellID, uint channelID) const;
    int getTypeBySymbol(QChar symbol) const;

private:
    WellListModel();
    ~WellListModel() override;
    Q_DISABLE_COPY(WellListModel)

    void reloadWells();
    // The well a table row shows: mode 0 row r is well r, modes 1 and 2 rows 0 and 1 give the
    // first well; nullptr outside the list.
    const WellListItem *wellOfRow(int row) const;
    int positionOfId(uint wellID) const;
    // List positions of table rows (from 1), each once, ascending; rows outside the list and
    // anything that is not a number are dropped.
    QVector<int> positionsOfRows(const QVariantList &rows) const;
    QVariant channelData(const WellListItem &well, int column, int role) const;
    QVariant populationData(const WellListItem &well, int column, int role) const;

    QList<WellListItem> m_wells;
    QList<TargetChannelInfo> m_channels;
    int m_modelType = 0;
    bool m_reanalysed = false; // the engine's reload is on its way
    int m_scopeAfterReload = 0;
};
