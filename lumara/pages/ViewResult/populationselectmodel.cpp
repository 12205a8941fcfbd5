#include "pages/ViewResult/populationselectmodel.h"

PopulationSelectModel::PopulationSelectModel(QObject *parent) : QAbstractListModel(parent) {}

int PopulationSelectModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_items.size();
}

QVariant PopulationSelectModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_items.size())
        return QVariant();
    const PopulationSelectItem &item = m_items.at(index.row());
    switch (role) {
    case ChannelColorRole:
        return item.color;
    case ChannelSelectRole:
        return item.select;
    case ChannelNameRole:
        return item.name;
    default:
        return QVariant();
    }
}

QHash<int, QByteArray> PopulationSelectModel::roleNames() const
{
    return {{ChannelColorRole, "channelColor"}, {ChannelSelectRole, "channelSelect"}, {ChannelNameRole, "channelName"}};
}

void PopulationSelectModel::updateSelectStatus(int row, bool select, bool radioType)
{
    if (row < 0 || row >= m_items.size() || m_items.at(row).select == select)
        return;
    beginResetModel();
    if (radioType) {
        for (PopulationSelectItem &item : m_items)
            item.select = false;
    }
    m_items[row].select = select;
    endResetModel();
    emit selectStatusChange();
}

void PopulationSelectModel::updateSelectStatus(int row, bool select)
{
    updateSelectStatus(row, select, false);
}

void PopulationSelectModel::clearItems()
{
    beginResetModel();
    m_items.clear();
    endResetModel();
}

void PopulationSelectModel::setItems(const QVector<PopulationSelectItem> &items)
{
    beginResetModel();
    m_items = items;
    endResetModel();
}

QList<uint> PopulationSelectModel::idsWithTick(bool ticked) const
{
    QList<uint> ids;
    for (const PopulationSelectItem &item : m_items) {
        if (item.select == ticked)
            ids.append(item.populationId);
    }
    return ids;
}

QList<uint> PopulationSelectModel::getSelectIDs() const
{
    return idsWithTick(true);
}

QList<uint> PopulationSelectModel::getUnselectIDs() const
{
    return idsWithTick(false);
}
