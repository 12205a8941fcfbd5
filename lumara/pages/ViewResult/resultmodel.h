#pragma once
// The one table model of the View Results page: the result table, the row lists beside the
// charts and the export read it. It shows the rows of the shared well list unchanged and adds
// a merged row for every sample name that two or more wells share, whose counts are the sums
// over those wells and whose figures are computed again from the sums. It also gives the
// texts of the two-target ratio table of reagent-kit packages. GUI thread only.
#include "bll/resultcalculate.h"
#include "model/lumaraanalysisdata.h"
#include "shell/welllistmodel.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QVariantList>
#include <QVector>

struct MergedResultRow {
    uint id = 0;
    QList<uint> wellIds; // the wells of the sample, in well-list order
    uint effDropletSum = 0;
    QString name; // "<sample>_Merge"
    bool selected = false;
    // One entry per population of the first well. Unlike a well's stored results, the
    // relative uncertainty here is a percentage.
    QVector<LumaraAnalysisData::PopulationResultInfo> populations;
};

class ResultModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // 257 to 282 are the well list's roles; these are the ratio table's texts.
    enum RatioRoles {
        BCABLWellNameRole = WellListModel::RelativeUncertainlyRole + 1, // 283
        BCABLTargetNameRole,
        BCABLCopyNumberRole,
        BCABLRatioRole,
        BCABLRatioCI95Role,
        BCABLNbDroplets,
        BCABLNbPosRole,
        BCABLConcentartionsRole, // 290
    };

    // The process-wide model, built on first use on the GUI thread.
    static ResultModel *instance();

    // List mode 0 both, 1 the wells, 2 the merged rows; rows beyond the list's end show
    // nothing. In the result table (view mode 0) row 0 is the header row.
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    // Wells take every role the well list takes, merged rows only WellSelect. Always true;
    // no signal, the callers reset.
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    QHash<int, QByteArray> roleNames() const override;

    // ---- For QML ------------------------------------------------------------------------------
    Q_INVOKABLE QVariantList getSelectRow() const;
    Q_INVOKABLE bool modelIsEmpty() const;
    Q_INVOKABLE bool existExcludeDroplets() const;
    Q_INVOKABLE bool isMergeID(uint wellID) const;
    Q_INVOKABLE QString getExpComment() const;
    Q_INVOKABLE void clearSelect();
    Q_INVOKABLE QString getFluorophoreName(int channeID) const;
    Q_INVOKABLE QString getTargetName(int channelID) const;
    // Id of the first selected row (a well's or a merged row's); -1 when none is.
    Q_INVOKABLE int getSelectWellID() const;
    Q_INVOKABLE QString getExposeTime(uint wellID, int channelID) const;
    Q_INVOKABLE QString getFocus(uint wellID, int channelID) const;
    Q_INVOKABLE bool getWellChannelStatus(uint wellID, uint chnnelID) const;
    Q_INVOKABLE void updateModel();
    Q_INVOKABLE void sampleNameSort(bool ascend);
    // Rows outside the table, and the header row, change nothing.
    Q_INVOKABLE void addSelectRow(int row);
    // A merged row is always deselected; a well keeps the last selected well selected.
    Q_INVOKABLE bool cancelSelectRow(int row);
    Q_INVOKABLE QString getPopulationBackgroundColor(int idx) const;
    Q_INVOKABLE QString getPopulationTextColor(int idx) const;
    Q_INVOKABLE QString getPopulationNameByIndex(int idx) const;

    // ---- For the pages, the export and the main window --------------------------------------
    void setListMode(int mode); // inside a reset
    int listMode() const { return m_listMode; }
    // 0 result table, 1 chart pages; no reset.
    void setViewMode(int mode);
    int viewMode() const { return m_viewMode; }
    // Builds the merged rows again from the well list, keeping the selected ones by id.
    void rebuildRows();
    // With nothing selected in the list mode's rows: the well list's own choice (modes 0 and
    // 1) or the first merged row (mode 2, when there is one).
    void ensureSelection();
    // Ids of the selected rows of the list mode, wells before merged rows.
    QList<uint> getSelectIDs() const;
    QList<int> getSelectRows() const;
    QList<uint> getAllIDs() const;
    QList<MergedResultRow> getMergedRows() const;
    // An empty record when no merged row has the id.
    MergedResultRow getMergedRow(uint id) const;
    // The well's name, else the merged row's, else "".
    QString getRowName(uint id) const;
    // The selected rows of the list mode: the one the list view never deselects.
    int getSelectCount() const;

private slots:
    // A new well list: its merged rows, none of them selected.
    void reloadRows();

private:
    ResultModel();
    ~ResultModel() override;
    Q_DISABLE_COPY(ResultModel)

    // What one table row shows in the current list and view mode.
    enum class RowKind { None, WellHeader, MergedHeader, Well, Merged };
    struct RowTarget {
        RowKind kind = RowKind::None;
        int index = -1; // a well-list row, or a merged row's index
    };
    RowTarget targetOfRow(int row) const;
    // The table row of the first merged row.
    int firstMergedRow() const;
    // Whether the result table's header row leads the merged rows.
    bool mergedHeaderRow() const;
    // The list position of a well-list row (the well list counts its header row outside mode 0).
    int wellPosition(int wellRow) const;

    bool addMergedRow(const QList<uint> &wellIds);
    QList<uint> wellsOfSample(const QString &sampleName) const;
    QVariant mergedData(int merged, int column, int role) const;
    QString ratioKitData(const RowTarget &target, int role) const;

    int m_listMode = 0;
    int m_viewMode = 0;
    QList<MergedResultRow> m_merged;
    QList<uint> m_rememberedSelection;
};

// The record of a population in a merged row; all zero when the row or its entry is missing.
LumaraAnalysisData::PopulationResultInfo getRowPopulationResult(uint rowId, uint populationId);

// The uncertainty curve of a population in a merged row, from its summed counts and with the
// droplet volume of its first well, as its figures in the table; the curve of an all-zero
// record when the row or its entry is missing.
UncertainlyCurveInfo mergedRowUncertaintyCurve(uint rowId, uint populationId);
