#include "plots/ThreeDotPlot/zonemodel.h"

#include "bll/bllinstance.h"
#include "bll/populationsmgr.h"

using namespace LumaraAnalysisData;

namespace {

QString typeOfSign(int sign)
{
    switch (sign) {
    case PositiveZone:
        return QStringLiteral("P");
    case NegativeZone:
        return QStringLiteral("N");
    case PositiveAndNegativeZone:
        return QStringLiteral("P&N");
    default:
        return QString();
    }
}

} // namespace

ZoneModel::ZoneModel(QObject *parent) : QAbstractTableModel(parent)
{
}

int ZoneModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

int ZoneModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant ZoneModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= m_rows.size())
        return QVariant();
    const Row &row = m_rows.at(index.row());
    switch (role) {
    case ZoneIdRole:
        return row.zoneID;
    case ZoneNameRole:
        return row.zoneName;
    case ZoneTypeRole:
        return row.zoneType;
    case ZoneSelectRole:
        return row.zoneSelect;
    default:
        return QVariant();
    }
}

QHash<int, QByteArray> ZoneModel::roleNames() const
{
    return {{ZoneIdRole, "zoneID"}, {ZoneNameRole, "zoneName"}, {ZoneTypeRole, "zoneType"}, {ZoneSelectRole, "zoneSelect"}};
}

void ZoneModel::updateZones(uint populationId)
{
    PopulationsMgr *populations = BLLInstance::getInstance()->getPopulationsMgr();
    const PopulationsInfo population = populations->getPopulation(populationId);
    const QVector<DrpltZoneInfo> zones = populations->getZones();
    beginResetModel();
    m_rows.clear();
    if (populationId != 0) {
        for (const auto &bound : population.zones) {
            Row row;
            row.zoneID = bound.first;
            for (int i = 0; i < zones.size(); ++i)
                if (zones.at(i).id == bound.first) {
                    row.zoneName = QStringLiteral("Z%1").arg(i);
                    break;
                }
            row.zoneType = typeOfSign(bound.second);
            row.zoneSelect = true;
            m_rows.append(row);
        }
    }
    endResetModel();
}

QVector<uint> ZoneModel::getSelectZoneIDs() const
{
    QVector<uint> ids;
    for (const Row &row : m_rows)
        if (row.zoneSelect)
            ids.append(row.zoneID);
    return ids;
}

void ZoneModel::updateSelectStatus(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    beginResetModel();
    m_rows[row].zoneSelect = !m_rows[row].zoneSelect;
    endResetModel();
    emit zoneSelectUpdate();
}
