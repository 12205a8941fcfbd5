#include "shell/welllistmodel.h"

#include "bll/bllinstance.h"
#include "bll/populationsmgr.h"
#include "bll/resultcalculate.h"
#include "bll/signaltransfer.h"
#include "shell/globalvalues.h"
#include "shell/welllistformat.h"

#include <QHash>
#include <QLocale>

#include <algorithm>

using namespace LumaraAnalysisData;

namespace {

BLLInstance *bll()
{
    return BLLInstance::getInstance();
}

QList<PopulationsInfo> populations()
{
    return bll()->getPopulationsMgr()->getPopulations();
}

const QString NoText = QStringLiteral("----");

} // namespace

WellListModel *WellListModel::instance()
{
    static WellListModel model;
    return &model;
}

WellListModel::WellListModel() : QAbstractTableModel(nullptr)
{
    SignalTransfer *hub = SignalTransfer::getInstance();
    connect(hub, &SignalTransfer::wellsReanalysed, this, &WellListModel::wellsReanalysed);
    connect(hub, &SignalTransfer::updateWellInfo, this, &WellListModel::updateData);
    connect(hub, &SignalTransfer::dataFixed, this, &WellListModel::updateResultData);
    // updateComplete reaches the hub's updateWellComplete through the hub's forwarder table.
    hub->forwardSignals(this);
}

WellListModel::~WellListModel() = default;

// ---- Rows, columns and roles ------------------------------------------------------------------

int WellListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return m_modelType == 0 ? m_wells.size() : m_wells.size() + 1;
}

int WellListModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    switch (m_modelType) {
    case 1:
        return m_wells.isEmpty() ? 0 : (m_channels.size() + 2) * 3;
    case 2:
        return m_wells.isEmpty() ? 0 : populations().size() * 7 + 3;
    default:
        return 1;
    }
}

const WellListItem *WellListModel::wellOfRow(int row) const
{
    const int position = m_modelType == 0 ? row : qMax(0, row - 1);
    return row >= 0 && position < m_wells.size() ? &m_wells.at(position) : nullptr;
}

int WellListModel::positionOfId(uint wellID) const
{
    for (int i = 0; i < m_wells.size(); ++i) {
        if (m_wells.at(i).wellId == wellID)
            return i;
    }
    return -1;
}

QVariant WellListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.model() != this)
        return QVariant();
    const WellListItem *well = wellOfRow(index.row());
    if (!well)
        return QVariant();
    switch (role) {
    case WellIDRole:
        return well->wellId;
    case WellNameIDRole:
        return well->wellNameId;
    case WellNameRole:
        return well->wellName;
    case PlateIndexRole:
        return well->plateIndex;
    case SampleNameRole:
        return well->sampleName;
    case WellCommentRole:
        return well->comment;
    case DropletSumRole:
        return well->dropletSum;
    case EffDropletSumRole:
        return well->effDropletSum;
    case WellExclude:
        return well->exclude;
    case WellSelect:
        return well->select;
    case CurrentWellRole:
        return well->current;
    case ExpTypeRole:
    case RefStockRole:
        return channelData(*well, index.column(), role);
    case DilutionRole:
        if (m_modelType == 1)
            return channelData(*well, index.column(), role);
        if (m_modelType == 2)
            return populationData(*well, index.column(), role);
        return QStringLiteral("--");
    case ConcentrationRole:
    case NbPosRole:
    case NbNegtiveRole:
    case MinConcentrationRole:
    case MaxConcentrationRole:
    case RelativeUncertainlyRole:
        return populationData(*well, index.column(), role);
    default:
        return QVariant();
    }
}

QVariant WellListModel::channelData(const WellListItem &well, int column, int role) const
{
    const int k = WellListFormat::channelEntryOfColumn(column);
    if (k < 0)
        return role == ExpTypeRole ? QVariant(-1) : QVariant(QStringLiteral("--"));
    if (k >= m_channels.size())
        return 0;
    const uint channel = m_channels.at(k).channel;
    const ChanResultInfo *entry = nullptr;
    for (const ChanResultInfo &c : well.channels) {
        if (c.chanId == channel) {
            entry = &c;
            break;
        }
    }
    if (role == ExpTypeRole)
        return WellListFormat::selectorIndexOfSymbol(entry ? QChar(entry->chanType) : QChar());
    if (!entry)
        return QStringLiteral("0.00");
    return WellListFormat::formatNumber(role == RefStockRole ? entry->refConcentration : entry->dilution);
}

QVariant WellListModel::populationData(const WellListItem &well, int column, int role) const
{
    const int p = WellListFormat::populationOfColumn(column);
    if (p < 0)
        return QStringLiteral("--");
    const QList<PopulationsInfo> all = populations();
    const uint id = p < all.size() ? all.at(p).id : 1;
    const PopulationResultInfo *entry = nullptr;
    for (const PopulationResultInfo &r : well.populations) {
        if (r.populationId == id) {
            entry = &r;
            break;
        }
    }
    switch (role) {
    case DilutionRole:
        return entry && entry->dilution >= 0 ? WellListFormat::formatFigure(entry->dilution) : WellListFormat::notAvailable();
    case NbPosRole:
        return entry ? entry->posDrpltNum : 0u;
    case NbNegtiveRole:
        return entry ? entry->negDrpltNum : 0u;
    case ConcentrationRole:
        return WellListFormat::formatFigure(entry ? entry->concentration : 0.0);
    case MinConcentrationRole:
        return WellListFormat::formatFigure(entry ? entry->concentrationLower : 0.0);
    case MaxConcentrationRole:
        return WellListFormat::formatFigure(entry ? entry->concentrationUpper : 0.0);
    case RelativeUncertainlyRole:
        return WellListFormat::formatFigure(entry ? entry->uncertainty * 100.0 : 0.0);
    default:
        return QVariant();
    }
}

bool WellListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    // The position is the list position itself; one outside the list changes nothing.
    if (!index.isValid() || index.row() >= m_wells.size())
        return true;
    WellListItem &well = m_wells[index.row()];
    if (role == WellExclude)
        well.exclude = value.toBool();
    else if (role == WellSelect)
        well.select = value.toBool();
    return true;
}

QHash<int, QByteArray> WellListModel::roleNames() const
{
    return {
        {WellIDRole, "WellIDRole"},
        {WellNameIDRole, "WellNameIDRole"},
        {WellNameRole, "WellNameRole"},
        {PlateIndexRole, "PlateIndexRole"},
        {SampleNameRole, "SampleNameRole"},
        {WellCommentRole, "WellCommentRole"},
        {DropletSumRole, "DropletSumRole"},
        {EffDropletSumRole, "EffDropletSumRole"},
        {ChannleInfoRole, "ChannleInfoRole"},
        {PopulationInfoRole, "PopulationInfoRole"},
        {ChannelIDRole, "ChannelIDRole"},
        {TargetName, "TargetName"},
        {FluorophoreName, "FluorophoreName"},
        {WellExclude, "WellExclude"},
        {WellSelect, "WellSelect"},
        {ExpTypeRole, "ExpTypeRole"},
        {RefStockRole, "RefStockRole"},
        {DilutionRole, "DilutionRole"},
        {ConcentrationRole, "ConcentrationRole"},
        {NbPosRole, "NbPosRole"},
        {NbNegtiveRole, "NbNegtiveRole"},
        {MinConcentrationRole, "MinConcentrationRole"},
        {MaxConcentrationRole, "MaxConcentrationRole"},
        {RelativeUncertainlyRole, "RelativeUncertainlyRole"},
    };
}

// ---- Texts and queries ------------------------------------------------------------------------

QString WellListModel::getTargetName(int channelID) const
{
    if (!m_wells.isEmpty()) {
        for (const TargetChannelInfo &c : m_channels) {
            if (int(c.channel) == channelID)
                return c.targetName;
        }
    }
    return NoText;
}

QString WellListModel::getFluorophoreName(int channeID) const
{
    if (!m_wells.isEmpty()) {
        for (const TargetChannelInfo &c : m_channels) {
            if (int(c.channel) == channeID)
                return c.dyeName;
        }
    }
    return NoText;
}

QString WellListModel::getExposeTime(uint wellID, int channelID) const
{
    if (m_wells.isEmpty())
        return NoText;
    return QStringLiteral("%1").arg(bll()->getExposeTime(wellID, uint(channelID)));
}

QString WellListModel::getFocus(uint wellID, int channelID) const
{
    if (m_wells.isEmpty())
        return NoText;
    double focus = bll()->getFocus(wellID, uint(channelID));
    if (focus < 0.001)
        focus = 0.0;
    return QStringLiteral("%1").arg(QString::number(focus, 'g', QLocale::FloatingPointShortest));
}

QString WellListModel::getExpComment() const
{
    return m_wells.isEmpty() ? QString() : bll()->getExpComment();
}

bool WellListModel::getWellChannelStatus(uint wellID, uint chnnelID) const
{
    return bll()->getWellChannelIndices(wellID).contains(int(chnnelID) - 1);
}

QVariantList WellListModel::getPopulationNames() const
{
    QVariantList names;
    if (rowCount() == 0)
        return names;
    for (const PopulationsInfo &p : populations())
        names.append(p.name);
    return names;
}

QString WellListModel::getColorByChannelName(QString name) const
{
    if (!m_wells.isEmpty()) {
        for (const PopulationsInfo &p : populations()) {
            if (p.name == name)
                return p.signColor;
        }
    }
    return QStringLiteral("#bbbbbb");
}

bool WellListModel::currentChannelIsAvaiable(uint wellID, uint channelID) const
{
    return wellID != 0 && bll()->getWellChannels(wellID).contains(channelID);
}

uint WellListModel::getRoxChannelID(uint wellID) const
{
    return bll()->getRefChannelId(wellID);
}

bool WellListModel::isTargetNameExist(QString targetName, int channelID) const
{
    for (const TargetChannelInfo &c : m_channels) {
        if (int(c.channel) != channelID && c.targetName == targetName)
            return false;
    }
    return true;
}

bool WellListModel::existExcludeDroplets() const
{
    return std::any_of(m_wells.cbegin(), m_wells.cend(), [](const WellListItem &w) { return w.exclude; });
}

uint WellListModel::getEffDroplet(uint wellID) const
{
    return bll()->getWellDropletNum(wellID);
}

uint WellListModel::getPFuMean(uint wellID, uint channelID) const
{
    return bll()->getPFuMean(wellID, channelID);
}

uint WellListModel::getNumbersRef(uint wellId) const
{
    return bll()->getNumbersRef(wellId);
}

bool WellListModel::modelIsEmpty() const
{
    return m_wells.isEmpty();
}

QString WellListModel::increasing(QString number) const
{
    return WellListFormat::increasing(number);
}

QString WellListModel::reduction(QString number) const
{
    return WellListFormat::reduction(number);
}

QString WellListModel::dealNumber(QString number) const
{
    return WellListFormat::dealNumber(number);
}

uint WellListModel::getTargetChannnelID(int idx) const
{
    return idx >= 0 && idx < m_channels.size() ? m_channels.at(idx).channel : 1u;
}

QString WellListModel::getPopulationNameByIndex(int idx) const
{
    const QList<PopulationsInfo> all = populations();
    return idx >= 0 && idx < all.size() ? all.at(idx).name : QString();
}

QString WellListModel::getPopulationTextColor(int idx) const
{
    const QList<PopulationsInfo> all = populations();
    return idx >= 0 && idx < all.size() ? all.at(idx).signColor : QStringLiteral("#ffffff");
}

QString WellListModel::getPopulationBackgroundColor(int idx) const
{
    const QList<PopulationsInfo> all = populations();
    if (idx < 0 || idx >= all.size())
        return QStringLiteral("#ffffff");
    // #rrggbb becomes #12rrggbb: the colour at a faint alpha.
    return QString(all.at(idx).signColor).insert(1, QStringLiteral("12"));
}

int WellListModel::getWellChannelType(uint wellID, uint channelID) const
{
    const int position = positionOfId(wellID);
    if (position < 0)
        return 0;
    for (const ChanResultInfo &c : m_wells.at(position).channels) {
        if (c.chanId == channelID)
            return getTypeBySymbol(QChar(c.chanType));
    }
    return 0;
}

int WellListModel::getTypeBySymbol(QChar symbol) const
{
    return WellListFormat::channelTypeOfSymbol(symbol);
}

// ---- Selection ------------------------------------------------------------------------------------

QVector<int> WellListModel::positionsOfRows(const QVariantList &rows) const
{
    QVector<int> positions;
    for (const QVariant &row : rows) {
        bool ok = false;
        const int r = row.toInt(&ok);
        if (ok && r >= 1 && r <= m_wells.size() && !positions.contains(r - 1))
            positions.append(r - 1);
    }
    std::sort(positions.begin(), positions.end());
    return positions;
}

void WellListModel::addSelectRow(int row)
{
    if (row >= 1 && row <= m_wells.size())
        m_wells[row - 1].select = true;
}

bool WellListModel::cancelSelectRow(int row)
{
    if (getSelectWellIDs().size() < 2 || row < 1 || row > m_wells.size())
        return false;
    m_wells[row - 1].select = false;
    return true;
}

void WellListModel::clearSelect()
{
    beginResetModel();
    for (WellListItem &w : m_wells)
        w.select = false;
    endResetModel();
}

int WellListModel::getSelectWellID() const
{
    const QList<uint> ids = getSelectWellIDs();
    return ids.size() == 1 ? int(ids.first()) : -1;
}

void WellListModel::updateModel()
{
    beginResetModel();
    endResetModel();
}

QVariantList WellListModel::getSelectRow() const
{
    QVariantList rows;
    for (int i = 0; i < m_wells.size(); ++i) {
        if (m_wells.at(i).select)
            rows.append(i + 1);
    }
    return rows;
}

int WellListModel::getFirstSelectWellID() const
{
    for (const WellListItem &w : m_wells) {
        if (w.select)
            return int(w.wellId);
    }
    return -1;
}

void WellListModel::setModelType(int type)
{
    m_modelType = type;
}

void WellListModel::ensureSelection()
{
    if (m_wells.isEmpty() || getFirstSelectWellID() != -1)
        return;
    beginResetModel();
    m_wells.last().select = true;
    endResetModel();
}

void WellListModel::keepFirstSelection()
{
    emit modelClear();
    bool kept = false;
    for (int i = 0; i < m_wells.size(); ++i) {
        WellListItem &w = m_wells[i];
        if (!w.select)
            continue;
        if (kept) {
            w.select = false;
        } else {
            kept = true;
            emit modelSelect(i);
        }
    }
}

void WellListModel::setCurrentWell(uint wellID)
{
    beginResetModel();
    for (WellListItem &w : m_wells)
        w.current = w.wellId == wellID;
    endResetModel();
}

QList<uint> WellListModel::getSelectWellIDs() const
{
    QList<uint> ids;
    for (const WellListItem &w : m_wells) {
        if (w.select && !ids.contains(w.wellId))
            ids.append(w.wellId);
    }
    return ids;
}

QList<uint> WellListModel::getAllWellIDs() const
{
    QList<uint> ids;
    for (const WellListItem &w : m_wells) {
        if (!ids.contains(w.wellId))
            ids.append(w.wellId);
    }
    return ids;
}

QModelIndexList WellListModel::getSelectIndexes() const
{
    QModelIndexList indexes;
    for (int r = 0; r < rowCount(); ++r) {
        const WellListItem *w = wellOfRow(r);
        if (w && w->select)
            indexes.append(index(r, 0));
    }
    return indexes;
}

// ---- Well fields ----------------------------------------------------------------------------------

void WellListModel::setWellExclude(uint wellID, bool flag)
{
    const int position = positionOfId(wellID);
    if (position >= 0)
        m_wells[position].exclude = flag;
}

bool WellListModel::getWellExclude(int wellID) const
{
    const int position = positionOfId(uint(wellID));
    return position >= 0 && m_wells.at(position).exclude;
}

void WellListModel::setTargetName(uint channelID, QString name)
{
    for (TargetChannelInfo &c : m_channels) {
        if (c.channel == channelID)
            c.targetName = name;
    }
}

QStringList WellListModel::getSelectWellNameIDs() const
{
    QStringList ids;
    for (const WellListItem &w : m_wells) {
        if (w.select)
            ids.append(w.wellNameId);
    }
    return ids;
}

QStringList WellListModel::getWellNameIDs() const
{
    QStringList ids;
    for (const WellListItem &w : m_wells)
        ids.append(w.wellNameId);
    return ids;
}

QStringList WellListModel::getWellNameIDList(uint wellID) const
{
    const int position = positionOfId(wellID);
    return position < 0 ? QStringList() : QStringList{m_wells.at(position).wellNameId};
}

QString WellListModel::getWellName(uint wellID) const
{
    const int position = positionOfId(wellID);
    return position < 0 ? QString() : m_wells.at(position).wellName;
}

QString WellListModel::getSampleName(uint wellID) const
{
    const int position = positionOfId(wellID);
    return position < 0 ? QString() : m_wells.at(position).sampleName;
}

QList<WellListItem> WellListModel::getWellList() const
{
    return m_wells;
}

uint WellListModel::getLastWellID() const
{
    return m_wells.isEmpty() ? 0 : m_wells.last().wellId;
}

uint WellListModel::getEffDropletSum(const QList<uint> &wellIDs) const
{
    uint sum = 0;
    for (const WellListItem &w : m_wells) {
        if (wellIDs.contains(w.wellId))
            sum += w.effDropletSum;
    }
    return sum;
}

uint WellListModel::getFirstPopulationID() const
{
    const QList<PopulationsInfo> all = populations();
    return all.isEmpty() ? 0 : all.first().id;
}

uint WellListModel::getPopulationIDByName(QString name) const
{
    for (const PopulationsInfo &p : populations()) {
        if (p.name == name)
            return p.id;
    }
    return 0;
}

QVariant WellListModel::getData(int row, int column, int role) const
{
    return data(index(row, column), role);
}

// ---- Edits that reach the document -------------------------------------------------------------

bool WellListModel::setSampleName(uint wellID, QString name)
{
    if (!bll()->setSampleName(wellID, name))
        return false;
    const int position = positionOfId(wellID);
    if (position < 0)
        return false;
    // The document rebuilds the display name from the sample name.
    for (const WellEditRow &row : bll()->getExperimentEditMgr()->getWellRows()) {
        if (row.wellId == wellID) {
            m_wells[position].sampleName = name;
            m_wells[position].wellName = row.wellName;
            // The well's name shows in other cells of the row; the field being edited stays.
            if (rowCount() > 0 && columnCount() > 0)
                emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {WellNameRole, SampleNameRole});
            return true;
        }
    }
    return false;
}

void WellListModel::setChannelType(uint wellId, uint chanId, int channelType)
{
    const QChar symbol = WellListFormat::symbolOfSelectorIndex(channelType);
    const int position = positionOfId(wellId);
    // An index outside the selector names no type: the document and the copy stay as they are.
    if (symbol == QLatin1Char(' ') || chanId < 1 || chanId > uint(PerChannel))
        return;
    if (bll()->getChannelSymbol(wellId, chanId) != symbol)
        bll()->setChannelType(wellId, chanId, symbol);
    beginResetModel();
    if (position >= 0 && int(chanId) <= m_wells[position].channels.size())
        m_wells[position].channels[int(chanId) - 1].chanType = symbol.unicode();
    endResetModel();
}

void WellListModel::setChannelType(uint chanId, int channelType)
{
    for (uint id : getSelectWellIDs())
        setChannelType(id, chanId, channelType);
}

bool WellListModel::setRefConcentration(uint wellId, uint chanId, double drpltCctt)
{
    const int position = positionOfId(wellId);
    if (position >= 0 && chanId >= 1 && int(chanId) <= m_wells[position].channels.size())
        m_wells[position].channels[int(chanId) - 1].refConcentration = drpltCctt;
    return bll()->setRefConcentration(wellId, chanId, drpltCctt);
}

bool WellListModel::setRefConcentration(uint chanId, double drpltCctt)
{
    bool all = true;
    for (uint id : getSelectWellIDs()) {
        // Only standard wells have a reference concentration.
        if (getWellChannelType(id, chanId) == 3)
            all = setRefConcentration(id, chanId, drpltCctt) && all;
    }
    updateModel();
    return all;
}

bool WellListModel::setChannelDilution(uint wellId, uint chanId, double dilution)
{
    const int position = positionOfId(wellId);
    if (position >= 0 && chanId >= 1 && int(chanId) <= m_wells[position].channels.size())
        m_wells[position].channels[int(chanId) - 1].dilution = dilution;
    const bool written = bll()->setChannelDilution(wellId, chanId, dilution);
    // The well's concentrations follow its dilution.
    if (position >= 0)
        m_wells[position].populations = bll()->getResultCalculate()->getPopulationResults(wellId);
    return written;
}

bool WellListModel::setChannelDilution(uint chanId, double dilution)
{
    bool all = true;
    for (uint id : getSelectWellIDs())
        all = setChannelDilution(id, chanId, dilution) && all;
    updateModel();
    return all;
}

void WellListModel::removeWell(QVariantList rows)
{
    if (m_wells.isEmpty())
        return;
    const QVector<int> positions = positionsOfRows(rows);
    for (auto it = positions.crbegin(); it != positions.crend(); ++it) {
        bll()->removeWell(m_wells.at(*it).wellId);
        m_wells.removeAt(*it);
    }
    if (!m_wells.isEmpty())
        m_wells.first().select = true;
    else if (!positions.isEmpty())
        emit noAvailableModel();
}

// ---- Reordering (the list only) ------------------------------------------------------------------

void WellListModel::moveUpItem(QVariantList rows)
{
    const QVector<int> positions = positionsOfRows(rows);
    if (positions.isEmpty() || positions.first() == 0)
        return;
    for (int p : positions)
        m_wells.move(p, p - 1);
}

void WellListModel::moveDownItem(QVariantList rows)
{
    const QVector<int> positions = positionsOfRows(rows);
    if (positions.isEmpty() || positions.last() == m_wells.size() - 1)
        return;
    for (auto it = positions.crbegin(); it != positions.crend(); ++it)
        m_wells.move(*it, *it + 1);
}

void WellListModel::sampleNameSort(bool ascend)
{
    if (m_wells.isEmpty())
        return;
    beginResetModel();
    std::stable_sort(m_wells.begin(), m_wells.end(), [ascend](const WellListItem &a, const WellListItem &b) {
        return ascend ? a.wellName < b.wellName : b.wellName < a.wellName;
    });
    endResetModel();
}

// ---- Refresh road -------------------------------------------------------------------------------

void WellListModel::wellsReanalysed()
{
    m_reanalysed = true;
}

void WellListModel::updateData()
{
    // The engine's thresholds differ from well to well: a panel saying "Common for all wells"
    // over them would show one well's value as everyone's and spread an edit over all.
    m_scopeAfterReload = m_reanalysed && bll()->getThldType() == LineThreshold ? 1 : 0;
    m_reanalysed = false;
    bll()->getResultCalculate()->updatePopulationResults();
    reloadWells();
    if (bll()->getThldType() == LineThreshold)
        cacheThresholds();
    isIndividualMode = 1;
    wellAxisRanges.clear();
    isAxisIndividual = 1;
    commonAxisRanges = QVector<AxisRange>(6);
    emit updateComplete();
}

void WellListModel::reloadWells()
{
    beginResetModel();
    const QList<WellEditRow> rows = bll()->getExperimentEditMgr()->getWellRows();
    m_wells.clear();
    m_channels = bll()->getExperimentEditMgr()->getTargetChannels();
    ResultCalculate *results = bll()->getResultCalculate();
    m_wells.reserve(rows.size());
    for (const WellEditRow &row : rows) {
        WellListItem w;
        w.wellId = row.wellId;
        w.wellNameId = row.wellText;
        w.exclude = row.hasExcludedDroplets;
        w.wellName = row.wellName;
        w.sampleName = row.sampleName;
        w.comment = row.comment;
        w.plateIndex = row.plateIndex;
        w.dropletSum = row.dropletSum;
        w.effDropletSum = row.effDropletNum;
        w.channels = row.chanResults;
        w.populations = results->getPopulationResults(row.wellId);
        m_wells.append(w);
    }
    if (!m_wells.isEmpty())
        m_wells.first().select = true;
    endResetModel();
    const bool large = bll()->isLargeImageFormat();
    dropletMarkerSize = large ? 17 : 13;
    dropletMarkerLineWidth = large ? 2.0 : 1.0;
}

void WellListModel::updateResultData()
{
    // By well id: after a reorder the list no longer follows the document's rows.
    QHash<uint, uint> effective;
    for (const WellEditRow &row : bll()->getExperimentEditMgr()->getWellRows()) {
        if (!effective.contains(row.wellId))
            effective.insert(row.wellId, row.effDropletNum);
    }
    for (WellListItem &w : m_wells) {
        const auto it = effective.constFind(w.wellId);
        if (it != effective.constEnd())
            w.effDropletSum = it.value();
    }
}

void WellListModel::refreshPopulationResults()
{
    ResultCalculate *results = bll()->getResultCalculate();
    for (WellListItem &w : m_wells)
        w.populations = results->getPopulationResults(w.wellId);
}

// ---- Threshold cache ------------------------------------------------------------------------------

void WellListModel::cacheThresholds()
{
    thresholdCache.clear();
    thresholdCache.reserve(m_wells.size());
    for (const WellListItem &w : m_wells) {
        WellThresholds entry;
        entry.wellID = w.wellId;
        entry.thresholds.resize(PerChannel);
        for (int c = 0; c < PerChannel; ++c)
            entry.thresholds[c] = int(bll()->getThldByLine(w.wellId, uint(c + 1)));
        thresholdCache.append(entry);
    }
}

int WellListModel::getCachedThreshold(uint wellID, uint channelID) const
{
    for (const WellThresholds &entry : thresholdCache) {
        if (entry.wellID == wellID)
            return channelID >= 1 && int(channelID) <= entry.thresholds.size() ? entry.thresholds.at(int(channelID) - 1) : 0;
    }
    return 0;
}

void WellListModel::setCachedThreshold(uint wellID, uint channelID, int threshold)
{
    for (WellThresholds &entry : thresholdCache) {
        if (entry.wellID == wellID && channelID >= 1 && int(channelID) <= entry.thresholds.size())
            entry.thresholds[int(channelID) - 1] = threshold;
    }
}

void WellListModel::applyCachedThresholds()
{
    const QList<uint> wells = getAllWellIDs();
    const QList<uint> channels = bll()->getChannelsOfWells(wells);
    for (uint well : wells) {
        // A well the cache does not hold keeps the document's thresholds: its cached value
        // would read 0.
        const bool cached = std::any_of(thresholdCache.cbegin(), thresholdCache.cend(),
                                        [well](const WellThresholds &e) { return e.wellID == well; });
        for (uint channel : channels) {
            if (!cached)
                break;
            const int value = getCachedThreshold(well, channel);
            if (int(bll()->getThldByLine(well, channel)) != value)
                bll()->updateThldByLine(well, channel, uint(qMax(0, value)));
        }
        bll()->updateZonesDroplets(well, true);
    }
}
