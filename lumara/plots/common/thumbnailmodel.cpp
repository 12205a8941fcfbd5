#include "plots/common/thumbnailmodel.h"

#include <algorithm>

ThumbnailModel::ThumbnailModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int ThumbnailModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

int ThumbnailModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 1;
}

bool ThumbnailModel::hasRow(const QModelIndex &index) const
{
    return index.isValid() && index.model() == this && index.column() == 0 && index.row() < m_rows.size();
}

int ThumbnailModel::shownCount() const
{
    return int(std::count_if(m_rows.cbegin(), m_rows.cend(), [](const ThumbnailData &row) { return row.shown; }));
}

QVariant ThumbnailModel::data(const QModelIndex &index, int role) const
{
    if (!hasRow(index))
        return QVariant();
    const ThumbnailData &row = m_rows.at(index.row());
    switch (role) {
    case ImageRole:
        return row.image;
    case TitleRole:
        return row.title;
    case FirstRole:
        return row.first;
    case HoveredRole:
        return row.hovered;
    case ShownRole:
        return row.shown;
    case MarkedRole:
        return row.marked;
    case PlotIdRole:
        return row.plotId;
    default:
        return QVariant();
    }
}

Qt::ItemFlags ThumbnailModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags result = QAbstractTableModel::flags(index);
    if (index.isValid())
        result |= Qt::ItemIsEditable;
    return result;
}

bool ThumbnailModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    beginResetModel();
    const int shown = shownCount();
    if (hasRow(index)) {
        ThumbnailData &row = m_rows[index.row()];
        switch (role) {
        case TitleRole:
            row.title = value.toString();
            emit updatePlotCombitionName(index, row.title);
            break;
        case FirstRole:
            row.first = value.toBool();
            break;
        case HoveredRole:
            row.hovered = value.toBool();
            break;
        case MarkedRole:
            row.marked = value.toBool();
            break;
        case ShownRole:
            if (value.toBool() && shown >= MaxShown)
                emit channelLimitExceeded();
            else if (value.toBool() || shown != 1)
                row.shown = value.toBool();
            break;
        default:
            break;
        }
    }
    endResetModel();
    return true;
}

void ThumbnailModel::appendThumbnail(const ThumbnailData &row)
{
    m_rows.append(row);
}

void ThumbnailModel::updateModel()
{
    beginResetModel();
    endResetModel();
}

void ThumbnailModel::setThumbnails(const QVector<ThumbnailData> &rows)
{
    beginResetModel();
    m_rows = rows;
    endResetModel();
}

void ThumbnailModel::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void ThumbnailModel::showFirst()
{
    if (m_rows.isEmpty())
        return;
    beginResetModel();
    m_rows.first().shown = true;
    endResetModel();
}

QModelIndex ThumbnailModel::firstShownIndex() const
{
    for (int r = 0; r < m_rows.size(); ++r) {
        if (m_rows.at(r).shown)
            return index(r, 0);
    }
    return QModelIndex();
}

QVector<uint> ThumbnailModel::idsOf(bool ThumbnailData::*flag, uint ThumbnailData::*id) const
{
    QVector<uint> ids;
    for (const ThumbnailData &row : m_rows) {
        if (row.*flag)
            ids.append(row.*id);
    }
    return ids;
}

QVector<uint> ThumbnailModel::getShownChannelIds() const
{
    return idsOf(&ThumbnailData::shown, &ThumbnailData::channelId);
}

QVector<uint> ThumbnailModel::getShownPlotIds() const
{
    return idsOf(&ThumbnailData::shown, &ThumbnailData::plotId);
}

QVector<uint> ThumbnailModel::getDeletePlotIds() const
{
    return idsOf(&ThumbnailData::marked, &ThumbnailData::plotId);
}
