#pragma once
// The rows of a plot page's thumbnail column. Every change is announced as a model reset,
// and at most four rows are shown at a time, never fewer than one once one is.
#include "plots/common/thumbnaildata.h"

#include <QAbstractTableModel>
#include <QVector>

class ThumbnailModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Role {
        ImageRole = Qt::UserRole + 1, // 257
        TitleRole,                    // 258
        FirstRole,                    // 259
        HoveredRole,                  // 260
        ShownRole,                    // 261
        MarkedRole,                   // 262
        PlotIdRole,                   // 263
    };
    static constexpr int MaxShown = 4;

    explicit ThumbnailModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Always one reset and always true, whatever the role or index. Showing a row while four
    // are shown reports the limit instead, also when that row is shown already; hiding the only
    // shown row does nothing.
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

    // Fill without signals, then updateModel() once.
    void appendThumbnail(const ThumbnailData &row);
    void updateModel();
    void setThumbnails(const QVector<ThumbnailData> &rows);
    void clear();
    // Row 0 shown, when there are rows.
    void showFirst();

    QModelIndex firstShownIndex() const;
    QVector<uint> getShownChannelIds() const;
    QVector<uint> getShownPlotIds() const;
    QVector<uint> getDeletePlotIds() const;

signals:
    void channelLimitExceeded();
    void updatePlotCombitionName(QModelIndex index, QString name);

private:
    bool hasRow(const QModelIndex &index) const;
    int shownCount() const;
    // The ids of the rows whose flag is set, in row order.
    QVector<uint> idsOf(bool ThumbnailData::*flag, uint ThumbnailData::*id) const;

    QVector<ThumbnailData> m_rows;
};
