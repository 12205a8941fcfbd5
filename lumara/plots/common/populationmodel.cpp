#include "plots/common/populationmodel.h"

#include "bll/bllinstance.h"
#include "bll/populationsmgr.h"

PopulationModel::PopulationModel(QObject *parent) : QAbstractListModel(parent) {}

int PopulationModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

QVariant PopulationModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= m_rows.size())
        return QVariant();
    const Row &row = m_rows.at(index.row());
    if (role == NameRole)
        return row.name;
    if (role == SurfaceColorRole)
        return row.color;
    return QVariant();
}

QHash<int, QByteArray> PopulationModel::roleNames() const
{
    return {{NameRole, "name"}, {SurfaceColorRole, "surfaceColor"}};
}

void PopulationModel::addPopulation(const QString &name, const QString &color)
{
    beginResetModel();
    m_rows.append(Row{name, color});
    endResetModel();
}

void PopulationModel::removePopulation(const QString &name)
{
    beginResetModel();
    for (int i = m_rows.size() - 1; i >= 0; --i) {
        if (m_rows.at(i).name == name) {
            m_rows.remove(i);
            break;
        }
    }
    endResetModel();
}

void PopulationModel::clear()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
}

void PopulationModel::reload()
{
    beginResetModel();
    m_rows.clear();
    if (PopulationsMgr *populations = BLLInstance::getInstance()->getPopulationsMgr()) {
        for (const LumaraAnalysisData::PopulationsInfo &p : populations->getPopulations())
            m_rows.append(Row{p.name, p.signColor});
    }
    endResetModel();
}

QString PopulationModel::populationName(int row) const
{
    if (row < 0 || row >= m_rows.size())
        return QString();
    return m_rows.at(row).name;
}
