#include "pages/ViewResult/resultmodel.h"

#include "bll/bllinstance.h"
#include "bll/populationsmgr.h"
#include "bll/signaltransfer.h"
#include "shell/welllistformat.h"

#include <cmath>
#include <limits>

using namespace LumaraAnalysisData;

namespace {

BLLInstance *bll()
{
    return BLLInstance::getInstance();
}

WellListModel *wells()
{
    return WellListModel::instance();
}

// The first and the last population result of a row (all zero when it has none).
PopulationResultInfo firstOf(const QVector<PopulationResultInfo> &results)
{
    return results.isEmpty() ? PopulationResultInfo() : results.first();
}

PopulationResultInfo lastOf(const QVector<PopulationResultInfo> &results)
{
    return results.isEmpty() ? PopulationResultInfo() : results.last();
}

} // namespace

ResultModel *ResultModel::instance()
{
    static ResultModel model;
    return &model;
}

ResultModel::ResultModel() : QAbstractTableModel(nullptr)
{
    // Merged rows of wells that are gone would show figures of another analysis.
    connect(SignalTransfer::getInstance(), &SignalTransfer::updateWellComplete, this, &ResultModel::reloadRows);
}

ResultModel::~ResultModel() = default;

// ---- Rows ---------------------------------------------------------------------------------------

bool ResultModel::mergedHeaderRow() const
{
    return m_viewMode == 0 && !bll()->isSpecialKit();
}

int ResultModel::firstMergedRow() const
{
    if (m_listMode == 0)
        return wells()->rowCount();
    return mergedHeaderRow() ? 1 : 0;
}

int ResultModel::wellPosition(int wellRow) const
{
    return wells()->modelType() == 0 ? wellRow : wellRow - 1;
}

ResultModel::RowTarget ResultModel::targetOfRow(int row) const
{
    RowTarget target;
    if (row < 0 || row >= rowCount())
        return target;
    if (m_listMode == 2) {
        if (mergedHeaderRow() && row == 0)
            return {RowKind::MergedHeader, 0};
        return {RowKind::Merged, row - firstMergedRow()};
    }
    const int wellRows = wells()->rowCount();
    if (row < wellRows)
        return {wells()->modelType() != 0 && row == 0 ? RowKind::WellHeader : RowKind::Well, row};
    return {RowKind::Merged, row - wellRows};
}

int ResultModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    switch (m_listMode) {
    case 0:
        return wells()->rowCount() + m_merged.size();
    case 1:
        return wells()->rowCount();
    case 2:
        return m_merged.size() + (mergedHeaderRow() ? 1 : 0);
    default:
        return 0;
    }
}

int ResultModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : wells()->columnCount();
}

QVariant ResultModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.model() != this || index.column() >= columnCount())
        return QVariant();
    const RowTarget target = targetOfRow(index.row());
    if (role >= BCABLWellNameRole && role <= BCABLConcentartionsRole)
        return target.kind == RowKind::None ? QVariant() : QVariant(ratioKitData(target, role));
    switch (target.kind) {
    case RowKind::WellHeader:
    case RowKind::Well:
        return wells()->data(wells()->index(target.index, index.column()), role);
    case RowKind::MergedHeader:
    case RowKind::Merged:
        if (role < WellListModel::WellIDRole || role > WellListModel::RelativeUncertainlyRole)
            return QVariant();
        return mergedData(target.index, index.column(), role);
    default:
        return QVariant();
    }
}

bool ResultModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.model() != this)
        return true;
    const RowTarget target = targetOfRow(index.row());
    if (target.kind == RowKind::Well) {
        wells()->setData(wells()->index(wellPosition(target.index), 0), value, role);
    } else if (target.kind == RowKind::Merged && role == WellListModel::WellSelect) {
        m_merged[target.index].selected = value.toBool();
    }
    return true;
}

QHash<int, QByteArray> ResultModel::roleNames() const
{
    QHash<int, QByteArray> names = wells()->roleNames();
    names.insert(BCABLWellNameRole, "BCABLWellNameRole");
    names.insert(BCABLTargetNameRole, "BCABLTargetNameRole");
    names.insert(BCABLCopyNumberRole, "BCABLCopyNumberRole");
    names.insert(BCABLRatioRole, "BCABLRatioRole");
    names.insert(BCABLRatioCI95Role, "BCABLRatioCI95Role");
    names.insert(BCABLNbDroplets, "BCABLNbDroplets");
    names.insert(BCABLNbPosRole, "BCABLNbPosRole");
    names.insert(BCABLConcentartionsRole, "BCABLConcentartionsRole");
    return names;
}

// ---- Cell texts ----------------------------------------------------------------------------------

QVariant ResultModel::mergedData(int merged, int column, int role) const
{
    if (merged < 0 || merged >= m_merged.size())
        return QString();
    const MergedResultRow &row = m_merged.at(merged);
    switch (role) {
    case WellListModel::WellIDRole:
        return row.id;
    case WellListModel::WellNameRole:
        return row.name;
    case WellListModel::WellCommentRole:
        return QStringLiteral("Merge");
    case WellListModel::EffDropletSumRole:
        return QStringLiteral("%1").arg(row.effDropletSum);
    case WellListModel::WellSelect:
        return row.selected;
    case WellListModel::DilutionRole:
    case WellListModel::ConcentrationRole:
    case WellListModel::NbPosRole:
    case WellListModel::NbNegtiveRole:
    case WellListModel::MinConcentrationRole:
    case WellListModel::MaxConcentrationRole:
    case WellListModel::RelativeUncertainlyRole:
        break;
    default:
        return QString();
    }

    const int p = WellListFormat::populationOfColumn(column);
    if (p < 0)
        return QStringLiteral("--");
    // By the column's population, as the header and the well rows beside it.
    const QList<PopulationsInfo> &all = bll()->getPopulationsMgr()->getPopulations();
    if (p >= all.size())
        return QString();
    const PopulationResultInfo *entry = nullptr;
    for (const PopulationResultInfo &r : row.populations) {
        if (r.populationId == all.at(p).id) {
            entry = &r;
            break;
        }
    }
    if (!entry)
        return QString();
    switch (role) {
    case WellListModel::DilutionRole:
        return entry->dilution >= 0 ? WellListFormat::formatFigure(entry->dilution) : WellListFormat::notAvailable();
    case WellListModel::ConcentrationRole:
        return WellListFormat::formatFigure(entry->concentration);
    case WellListModel::MinConcentrationRole:
        return WellListFormat::formatFigure(entry->concentrationLower);
    case WellListModel::MaxConcentrationRole:
        return WellListFormat::formatFigure(entry->concentrationUpper);
    case WellListModel::RelativeUncertainlyRole:
        return WellListFormat::formatFigure(entry->uncertainty);
    case WellListModel::NbPosRole:
        return QStringLiteral("%1").arg(entry->posDrpltNum);
    default: // NbNegtiveRole
        return QStringLiteral("%1").arg(entry->negDrpltNum);
    }
}

QString ResultModel::ratioKitData(const RowTarget &target, int role) const
{
    const bool merged = target.kind == RowKind::Merged;
    if (!merged && target.kind != RowKind::Well)
        return QString();
    const MergedResultRow *row = merged ? &m_merged.at(target.index) : nullptr;
    const uint well = merged ? row->wellIds.value(0)
                             : wells()->data(wells()->index(target.index, 0), WellListModel::WellIDRole).toUInt();
    const QList<uint> channels = bll()->getWellChannels(well);
    if (channels.size() != 2)
        return QString();
    const uint c1 = channels.first();
    const uint c2 = channels.last();
    const QList<uint> rowWells = merged ? row->wellIds : QList<uint>{well};

    switch (role) {
    case BCABLWellNameRole:
        return merged ? row->name : wells()->getWellName(well);
    case BCABLTargetNameRole:
        return QStringLiteral("%1(%2)\n\n%3(%4)")
            .arg(bll()->getTargetName(c1), bll()->getFluorophoreName(c1), bll()->getTargetName(c2),
                 bll()->getFluorophoreName(c2));
    case BCABLNbDroplets: {
        int droplets = 0;
        for (uint w : rowWells)
            droplets += bll()->getWellEffDropletCount(w);
        return QStringLiteral("%1").arg(droplets);
    }
    case BCABLNbPosRole: {
        int n1 = 0;
        int n2 = 0;
        for (uint w : rowWells) {
            n1 += bll()->getPositiveGrayValues(w, c1).size();
            n2 += bll()->getPositiveGrayValues(w, c2).size();
        }
        return QStringLiteral("%1\n\n%2").arg(n1).arg(n2);
    }
    default:
        break;
    }

    const QVector<PopulationResultInfo> results =
        merged ? row->populations : bll()->getResultCalculate()->getPopulationResults(well);
    const PopulationResultInfo p1 = firstOf(results);
    const PopulationResultInfo p2 = lastOf(results);
    switch (role) {
    case BCABLCopyNumberRole: {
        uint effective = 0;
        if (merged) {
            for (uint w : rowWells)
                effective += bll()->getWellDropletNum(w);
        } else {
            effective = wells()->data(wells()->index(target.index, 0), WellListModel::EffDropletSumRole).toUInt();
        }
        const double volume = bll()->getWellDropletVolume(well);
        return QStringLiteral("%1\n\n%2")
            .arg(WellListFormat::fixedFigure(ResultCalculate::calCopies(p1.concentration, volume, int(effective))),
                 WellListFormat::fixedFigure(ResultCalculate::calCopies(p2.concentration, volume, int(effective))));
    }
    case BCABLRatioRole:
        // Over a denominator without a value (no positives, or all) the ratio has none; the
        // calculation's -1 for a zero denominator is no ratio either.
        if (p2.concentration == 0 || !WellListFormat::hasValue(p2.concentration))
            return WellListFormat::notAvailable();
        return WellListFormat::fixedFigure(ResultCalculate::calRatio(p1.concentration, p2.concentration));
    case BCABLRatioCI95Role: {
        const double numerator[3] = {p1.concentration, p1.concentrationLower, p1.concentrationUpper};
        const double denominator[3] = {p2.concentration, p2.concentrationLower, p2.concentrationUpper};
        // Bounds the calculation cannot give stay not-a-number.
        double lower = std::numeric_limits<double>::quiet_NaN();
        double upper = std::numeric_limits<double>::quiet_NaN();
        ResultCalculate::calRatioBounds(numerator, denominator, &lower, &upper);
        return QStringLiteral("[%1, %2]").arg(WellListFormat::fixedFigure(lower), WellListFormat::fixedFigure(upper));
    }
    case BCABLConcentartionsRole:
        return QStringLiteral("%1  [ %2, %3 ]\n\n%4  [ %5, %6 ]")
            .arg(WellListFormat::fixedFigure(p1.concentration), WellListFormat::fixedFigure(p1.concentrationLower),
                 WellListFormat::fixedFigure(p1.concentrationUpper), WellListFormat::fixedFigure(p2.concentration),
                 WellListFormat::fixedFigure(p2.concentrationLower), WellListFormat::fixedFigure(p2.concentrationUpper));
    default:
        return QString();
    }
}

// ---- Invokables ---------------------------------------------------------------------------------

QVariantList ResultModel::getSelectRow() const
{
    QVariantList rows;
    for (int row : getSelectRows())
        rows.append(row);
    return rows;
}

bool ResultModel::modelIsEmpty() const
{
    return wells()->modelIsEmpty() && m_merged.isEmpty();
}

bool ResultModel::existExcludeDroplets() const
{
    return wells()->existExcludeDroplets();
}

bool ResultModel::isMergeID(uint wellID) const
{
    for (const MergedResultRow &row : m_merged) {
        if (row.id == wellID)
            return true;
    }
    return false;
}

QString ResultModel::getExpComment() const
{
    return wells()->getExpComment();
}

void ResultModel::clearSelect()
{
    beginResetModel();
    wells()->clearSelect();
    for (MergedResultRow &row : m_merged)
        row.selected = false;
    endResetModel();
}

QString ResultModel::getFluorophoreName(int channeID) const
{
    return wells()->getFluorophoreName(channeID);
}

QString ResultModel::getTargetName(int channelID) const
{
    return wells()->getTargetName(channelID);
}

int ResultModel::getSelectWellID() const
{
    const QList<int> rows = getSelectRows();
    if (rows.isEmpty())
        return -1;
    const RowTarget target = targetOfRow(rows.first());
    if (target.kind == RowKind::Merged)
        return int(m_merged.at(target.index).id);
    if (target.kind == RowKind::Well)
        return wells()->data(wells()->index(target.index, 0), WellListModel::WellIDRole).toInt();
    return -1;
}

QString ResultModel::getExposeTime(uint wellID, int channelID) const
{
    return wells()->getExposeTime(wellID, channelID);
}

QString ResultModel::getFocus(uint wellID, int channelID) const
{
    return wells()->getFocus(wellID, channelID);
}

bool ResultModel::getWellChannelStatus(uint wellID, uint chnnelID) const
{
    return wells()->getWellChannelStatus(wellID, chnnelID);
}

void ResultModel::updateModel()
{
    beginResetModel();
    endResetModel();
}

void ResultModel::sampleNameSort(bool ascend)
{
    beginResetModel();
    wells()->sampleNameSort(ascend);
    endResetModel();
}

void ResultModel::addSelectRow(int row)
{
    const RowTarget target = targetOfRow(row);
    if (target.kind == RowKind::Merged)
        m_merged[target.index].selected = true;
    else if (target.kind == RowKind::Well)
        wells()->addSelectRow(wellPosition(target.index) + 1);
}

bool ResultModel::cancelSelectRow(int row)
{
    const RowTarget target = targetOfRow(row);
    if (target.kind == RowKind::Merged) {
        m_merged[target.index].selected = false;
        return true;
    }
    return target.kind == RowKind::Well && wells()->cancelSelectRow(wellPosition(target.index) + 1);
}

QString ResultModel::getPopulationBackgroundColor(int idx) const
{
    return wells()->getPopulationBackgroundColor(idx);
}

QString ResultModel::getPopulationTextColor(int idx) const
{
    return wells()->getPopulationTextColor(idx);
}

QString ResultModel::getPopulationNameByIndex(int idx) const
{
    return wells()->getPopulationNameByIndex(idx);
}

// ---- Modes, selection and ids ---------------------------------------------------------------

void ResultModel::setListMode(int mode)
{
    beginResetModel();
    m_listMode = mode;
    endResetModel();
}

void ResultModel::setViewMode(int mode)
{
    m_viewMode = mode;
}

void ResultModel::ensureSelection()
{
    if (!getSelectIDs().isEmpty())
        return;
    if (m_listMode == 0 || m_listMode == 1) {
        beginResetModel();
        wells()->ensureSelection();
        endResetModel();
    } else if (m_listMode == 2 && !m_merged.isEmpty()) {
        beginResetModel();
        m_merged.first().selected = true;
        endResetModel();
    }
}

QList<uint> ResultModel::getSelectIDs() const
{
    QList<uint> ids;
    if (m_listMode == 0 || m_listMode == 1)
        ids = wells()->getSelectWellIDs();
    if (m_listMode == 0 || m_listMode == 2) {
        for (const MergedResultRow &row : m_merged) {
            if (row.selected)
                ids.append(row.id);
        }
    }
    return ids;
}

QList<int> ResultModel::getSelectRows() const
{
    QList<int> rows;
    if (m_listMode == 0 || m_listMode == 1) {
        // The well list's header row shows its first well too; it is no row of its own.
        for (const QModelIndex &index : wells()->getSelectIndexes()) {
            if (targetOfRow(index.row()).kind == RowKind::Well)
                rows.append(index.row());
        }
    }
    if (m_listMode == 0 || m_listMode == 2) {
        const int first = firstMergedRow();
        for (int k = 0; k < m_merged.size(); ++k) {
            if (m_merged.at(k).selected)
                rows.append(first + k);
        }
    }
    return rows;
}

QList<uint> ResultModel::getAllIDs() const
{
    QList<uint> ids = wells()->getAllWellIDs();
    for (const MergedResultRow &row : m_merged)
        ids.append(row.id);
    return ids;
}

QList<MergedResultRow> ResultModel::getMergedRows() const
{
    return m_merged;
}

MergedResultRow ResultModel::getMergedRow(uint id) const
{
    for (const MergedResultRow &row : m_merged) {
        if (row.id == id)
            return row;
    }
    return MergedResultRow();
}

QString ResultModel::getRowName(uint id) const
{
    if (wells()->getAllWellIDs().contains(id))
        return wells()->getWellName(id);
    for (const MergedResultRow &row : m_merged) {
        if (row.id == id)
            return row.name;
    }
    return QString();
}

int ResultModel::getSelectCount() const
{
    return getSelectIDs().size();
}

// ---- Merged rows ------------------------------------------------------------------------------

void ResultModel::reloadRows()
{
    for (MergedResultRow &row : m_merged)
        row.selected = false;
    rebuildRows();
}

void ResultModel::rebuildRows()
{
    m_rememberedSelection.clear();
    for (const MergedResultRow &row : qAsConst(m_merged)) {
        if (row.selected)
            m_rememberedSelection.append(row.id);
    }
    beginResetModel();
    m_merged.clear();
    QStringList samples;
    for (uint id : wells()->getAllWellIDs()) {
        const QString name = wells()->getSampleName(id);
        if (!samples.contains(name))
            samples.append(name);
    }
    for (const QString &name : qAsConst(samples)) {
        const QList<uint> ids = wellsOfSample(name);
        if (ids.size() >= 2)
            addMergedRow(ids);
    }
    endResetModel();
}

QList<uint> ResultModel::wellsOfSample(const QString &sampleName) const
{
    QList<uint> ids;
    for (uint id : wells()->getAllWellIDs()) {
        if (wells()->getSampleName(id) == sampleName)
            ids.append(id);
    }
    return ids;
}

bool ResultModel::addMergedRow(const QList<uint> &wellIds)
{
    ResultCalculate *calc = bll()->getResultCalculate();
    const uint first = wellIds.first();
    const QVector<PopulationResultInfo> firstResults = calc->getPopulationResults(first);
    QVector<uint> totals;
    QVector<uint> positives;
    for (const PopulationResultInfo &r : firstResults) {
        totals.append(r.posDrpltNum + r.negDrpltNum);
        positives.append(r.posDrpltNum);
    }
    for (int i = 1; i < wellIds.size(); ++i) {
        const QVector<PopulationResultInfo> results = calc->getPopulationResults(wellIds.at(i));
        if (results.size() != firstResults.size())
            return false;
        for (int k = 0; k < results.size(); ++k) {
            if (std::fabs(results.at(k).dilution - firstResults.at(k).dilution) > 0.01)
                return false;
            totals[k] += results.at(k).posDrpltNum + results.at(k).negDrpltNum;
            positives[k] += results.at(k).posDrpltNum;
        }
    }

    MergedResultRow row;
    for (int k = 0; k < firstResults.size(); ++k) {
        PopulationResultInfo r;
        r.populationId = firstResults.at(k).populationId;
        r.dilution = firstResults.at(k).dilution;
        r.posDrpltNum = positives.at(k);
        r.negDrpltNum = totals.at(k) - positives.at(k);
        // The first well's id gives the droplet volume.
        const DropletConcentration c = calc->poissonConcentration(totals.at(k), positives.at(k), r.dilution, first);
        r.concentration = c.concentration;
        r.concentrationLower = c.lower;
        r.concentrationUpper = c.upper;
        // The curve's figure at the measured count (a percentage), without drawing the curve.
        r.uncertainty = 100 * ResultCalculate::relativeUncertaintyOf(c);
        row.populations.append(r);
    }
    // After the largest well id: a sort or a move may leave any well last.
    uint largest = 0;
    for (uint id : wells()->getAllWellIDs())
        largest = qMax(largest, id);
    row.id = largest + 1 + uint(m_merged.size());
    row.wellIds = wellIds;
    row.name = QStringLiteral("%1_Merge").arg(wells()->getSampleName(first));
    row.effDropletSum = wells()->getEffDropletSum(wellIds);
    row.selected = m_rememberedSelection.contains(row.id);
    m_merged.append(row);
    return true;
}

// ---- Rows for the charts and the export ---------------------------------------------------------

PopulationResultInfo getRowPopulationResult(uint rowId, uint populationId)
{
    const MergedResultRow row = ResultModel::instance()->getMergedRow(rowId);
    for (const PopulationResultInfo &r : row.populations) {
        if (r.populationId == populationId)
            return r;
    }
    PopulationResultInfo none;
    none.dilution = 0.0;
    return none;
}

UncertainlyCurveInfo mergedRowUncertaintyCurve(uint rowId, uint populationId)
{
    const PopulationResultInfo r = getRowPopulationResult(rowId, populationId);
    const MergedResultRow row = ResultModel::instance()->getMergedRow(rowId);
    const uint volumeWell = row.wellIds.isEmpty() ? rowId : row.wellIds.first();
    return bll()->getResultCalculate()->uncertaintyCurveOfResult(r, volumeWell);
}
