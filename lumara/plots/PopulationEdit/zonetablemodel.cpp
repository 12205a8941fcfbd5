#include "plots/PopulationEdit/zonetablemodel.h"

#include "bll/bllinstance.h"
#include "bll/populationsmgr.h"

using namespace LumaraAnalysisData;

namespace {
const int CodeBits = 6;
}

bool bindingOfMarks(bool positive, bool negative, ZoneType *sign)
{
    if (positive && negative)
        *sign = PositiveAndNegativeZone;
    else if (positive)
        *sign = PositiveZone;
    else if (negative)
        *sign = NegativeZone;
    else
        return false;
    return true;
}

void marksOfSign(int sign, bool *positive, bool *negative)
{
    *positive = sign != NegativeZone;
    *negative = sign != PositiveZone;
}

QVector<ZoneBinding> bindingsToStore(const QVector<ZoneBinding> &bindings, bool negativeEdited)
{
    if (negativeEdited)
        return bindings;
    QVector<ZoneBinding> stored;
    for (const ZoneBinding &b : bindings)
        if (b.second != NegativeZone)
            stored.append(ZoneBinding(b.first, PositiveZone));
    return stored;
}

ZoneTableModel::ZoneTableModel(ThresholdMode mode, QObject *parent) : QAbstractTableModel(parent), m_mode(mode)
{
}

int ZoneTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

const ZoneTableModel::Row *ZoneTableModel::rowAt(const QModelIndex &index) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= m_rows.size())
        return nullptr;
    return &m_rows.at(index.row());
}

void ZoneTableModel::updateFromDocument()
{
    BLLInstance *bll = BLLInstance::getInstance();
    if (bll->getThldType() != m_mode)
        return;
    PopulationsMgr *populations = bll->getPopulationsMgr();
    beginResetModel();
    m_rows.clear();
    readDocument();
    const QVector<DrpltZoneInfo> zones = populations->getZones();
    const PopulationsInfo population = populations->getPopulation(m_populationId);
    m_negativeEdit = population.negEdited;
    for (int i = 0; i < zones.size(); ++i) {
        Row row;
        row.zoneID = zones.at(i).id;
        row.zoneName = QStringLiteral("zone%1").arg(i);
        row.code.resize(CodeBits);
        for (int bit = 0; bit < CodeBits; ++bit)
            row.code[bit] = ((zones.at(i).code >> bit) & 1u) != 0;
        for (const auto &bound : population.zones) {
            if (bound.first == row.zoneID) {
                row.select = true;
                marksOfSign(bound.second, &row.positive, &row.negative);
                break;
            }
        }
        m_rows.append(row);
    }
    endResetModel();
}

void ZoneTableModel::clear()
{
    beginResetModel();
    m_rows.clear();
    m_populationId = 0;
    m_negativeEdit = false;
    forgetDocument();
    endResetModel();
}

void ZoneTableModel::setNegativeEdit(bool flag)
{
    beginResetModel();
    m_negativeEdit = flag;
    endResetModel();
}

void ZoneTableModel::resetView()
{
    beginResetModel();
    endResetModel();
}

void ZoneTableModel::setPositiveMark(int row, bool flag)
{
    if (row >= 0 && row < m_rows.size())
        m_rows[row].positive = flag;
}

void ZoneTableModel::setNegativeMark(int row, bool flag)
{
    if (row >= 0 && row < m_rows.size())
        m_rows[row].negative = flag;
}

QVector<ZoneBinding> ZoneTableModel::bindingList() const
{
    QVector<ZoneBinding> list;
    for (const Row &row : m_rows) {
        ZoneType sign;
        if (bindingOfMarks(row.positive, row.negative, &sign))
            list.append(ZoneBinding(row.zoneID, sign));
    }
    return list;
}
