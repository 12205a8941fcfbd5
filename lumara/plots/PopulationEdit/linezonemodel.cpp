#include "plots/PopulationEdit/linezonemodel.h"

#include "bll/bllinstance.h"
#include "bll/experimenteditmgr.h"
#include "shell/channelcolors.h"
#include "shell/welllistmodel.h"

namespace {
const int FixedColumns = 9;
const int LastTargetColumn = 6;
const QString Black = QStringLiteral("#000000");
} // namespace

LineZoneModel::LineZoneModel(QObject *parent) : ZoneTableModel(LumaraAnalysisData::LineThreshold, parent)
{
}

void LineZoneModel::readDocument()
{
    m_targets.clear();
    const QList<TargetChannelInfo> targets = BLLInstance::getInstance()->getExperimentEditMgr()->getTargetChannels();
    for (const TargetChannelInfo &t : targets)
        m_targets.append(t.channel);
}

int LineZoneModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || m_rows.isEmpty() ? 0 : FixedColumns;
}

QVariant LineZoneModel::data(const QModelIndex &index, int role) const
{
    const Row *row = rowAt(index);
    if (!row)
        return QVariant();
    switch (role) {
    case ZoneIdRole:
        return row->zoneID;
    case ZoneNameRole:
        return row->zoneName;
    case ZoneTargetRole: {
        const int bit = index.column() - 1;
        if (bit < 0 || bit >= row->code.size())
            return QVariant();
        return row->code.at(bit) ? QStringLiteral("1") : QStringLiteral("0");
    }
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

QHash<int, QByteArray> LineZoneModel::roleNames() const
{
    return {{ZoneIdRole, "zoneID"},         {ZoneNameRole, "zoneName"},         {ZoneTargetRole, "zoneTarget"},
            {ZonePositiveRole, "zonePositive"}, {ZoneNegativeRole, "zoneNegative"}, {ZoneSelectRole, "zoneSelect"}};
}

int LineZoneModel::targetSize() const
{
    return m_rows.isEmpty() ? 0 : m_targets.size();
}

void LineZoneModel::setPopulationID(uint id)
{
    setPopulationId(id);
}

QStringList LineZoneModel::getColumNames() const
{
    QStringList names{tr("Zones")};
    for (uint channel : m_targets)
        names.append(WellListModel::instance()->getTargetName(int(channel)));
    names.append(tr("Positive"));
    if (negativeEdit())
        names.append(tr("Negative"));
    return names;
}

int LineZoneModel::columnSize() const
{
    if (m_rows.isEmpty())
        return 0;
    return m_targets.size() + (negativeEdit() ? 3 : 2);
}

int LineZoneModel::getPositiveColumn() const
{
    return m_targets.size() + 1;
}

int LineZoneModel::getNegativeColumn() const
{
    return m_targets.size() + 2;
}

bool LineZoneModel::columnVisiable(int column) const
{
    if (column == 0 || column == FixedColumns - 2)
        return true;
    if (column == FixedColumns - 1)
        return negativeEdit();
    if (column >= 1 && column <= LastTargetColumn)
        return column <= m_targets.size();
    return false;
}

QString LineZoneModel::getColumnColor(int column) const
{
    const int size = columnSize();
    if (m_rows.isEmpty() || column <= 0 || column >= size)
        return Black;
    const int markColumns = negativeEdit() ? 2 : 1;
    if (column >= size - markColumns || column > m_targets.size())
        return Black;
    return getChannelColor(int(m_targets.at(column - 1)));
}
