#include "plots/common/thresholdmodel.h"

#include "plots/common/thresholdvalidator.h"

ThresholdModel::ThresholdModel(QObject *parent) : QAbstractListModel(parent), m_validator(new ThresholdValidator(this))
{
}

QValidator *ThresholdModel::validator() const
{
    return m_validator;
}

int ThresholdModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_items.size();
}

QVariant ThresholdModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= m_items.size())
        return QVariant();
    const ThresholdItem &item = m_items.at(index.row());
    switch (role) {
    case ChannelIDRole:
        return item.channelID;
    case ChannelColorRole:
        return item.color;
    case ChannelThresholdRole:
        return item.threshold;
    case ThresholdEditAbleRole:
        return item.editable;
    default:
        return QVariant();
    }
}

QHash<int, QByteArray> ThresholdModel::roleNames() const
{
    return {{ChannelIDRole, "ChannelID"},
            {ChannelColorRole, "ChannelColor"},
            {ChannelThresholdRole, "ChannelThreshold"},
            {ThresholdEditAbleRole, "ThresholdEditAble"}};
}

void ThresholdModel::setThresholds(const QVector<ThresholdItem> &items)
{
    beginResetModel();
    m_items = items;
    endResetModel();
}

void ThresholdModel::clear()
{
    beginResetModel();
    m_items.clear();
    endResetModel();
}

void ThresholdModel::enableEditing()
{
    setEditable(true);
}

void ThresholdModel::disableEditing()
{
    setEditable(false);
}

void ThresholdModel::setEditable(bool on)
{
    beginResetModel();
    for (ThresholdItem &item : m_items)
        item.editable = on;
    endResetModel();
}

void ThresholdModel::setChannelThreshold(int channelID, uint value)
{
    beginResetModel();
    for (ThresholdItem &item : m_items) {
        if (int(item.channelID) == channelID) {
            item.threshold = QStringLiteral("%1").arg(value);
            break;
        }
    }
    endResetModel();
}

bool ThresholdModel::containsChannel(uint channelID) const
{
    for (const ThresholdItem &item : m_items) {
        if (item.channelID == channelID)
            return true;
    }
    return false;
}

void ThresholdModel::setChannelThresholdValue(uint channelID, QString threshold)
{
    emit updateChannelThreshold(channelID, threshold);
}

bool ThresholdModel::parseThreshold(const QString &text, uint *value)
{
    // Digits only, after at most a plus sign: no blanks, separators or exponents, which a
    // number conversion would read past or read otherwise than the box shows them.
    const int first = text.startsWith(QLatin1Char('+')) ? 1 : 0;
    if (text.size() <= first)
        return false;
    uint parsed = 0;
    for (int i = first; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        parsed = parsed * 10 + uint(c.unicode() - '0');
        // Beyond the limit already: no further digit brings it back (nor overflows).
        if (parsed > MaxThreshold)
            return false;
    }
    *value = parsed;
    return true;
}
