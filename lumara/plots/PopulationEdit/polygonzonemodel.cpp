#include "plots/PopulationEdit/polygonzonemodel.h"

PolygonZoneModel::PolygonZoneModel(QObject *parent) : ZoneTableModel(LumaraAnalysisData::PolygonThreshold, parent)
{
}

int PolygonZoneModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return negativeEdit() ? 3 : 2;
}

QVariant PolygonZoneModel::data(const QModelIndex &index, int role) const
{
    const Row *row = rowAt(index);
    if (!row)
        return QVariant();
    switch (role) {
    case ZoneIdRole:
        return row->zoneID;
    case ZoneNameRole:
        return row->zoneName;
    case ZonePositiveRole:
        return row->positive;
    case ZoneNegativeRole:
        return row->negative;
    case ZoneSelectRole:
        return row->select;
    default:
        return QVariant();
    }
}

QHash<int, QByteArray> PolygonZoneModel::roleNames() const
{
    return {{ZoneIdRole, "zoneID"},
            {ZoneNameRole, "zoneName"},
            {ZonePositiveRole, "zonePositive"},
            {ZoneNegativeRole, "zoneNegative"},
            {ZoneSelectRole, "zoneSelect"}};
}

QStringList PolygonZoneModel::getColumNames() const
{
    QStringList names{tr("Zones"), tr("Positive")};
    if (negativeEdit())
        names.append(tr("Negative"));
    return names;
}

int PolygonZoneModel::columnSize() const
{
    return columnCount();
}
