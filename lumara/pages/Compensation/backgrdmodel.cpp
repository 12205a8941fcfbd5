#include "pages/Compensation/backgrdmodel.h"

#include "pages/Compensation/matrixmodel.h"

namespace {

constexpr int Size = 6;

bool inRange(int i)
{
    return i >= 0 && i < Size;
}

} // namespace

BackGrdModel *BackGrdModel::instance()
{
    static BackGrdModel model;
    return &model;
}

BackGrdModel::BackGrdModel() : QAbstractTableModel(nullptr)
{
    for (int k = 0; k < Size; ++k) {
        m_back[k] = 0.0;
        m_editable[k] = true;
    }
}

BackGrdModel::~BackGrdModel() = default;

int BackGrdModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 1;
}

int BackGrdModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Size;
}

QVariant BackGrdModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.model() != this)
        return QVariant();
    switch (role) {
    case BackValueRole:
        return m_back[index.column()];
    case BackAbleRole:
        return m_editable[index.column()];
    default:
        return QVariant();
    }
}

QHash<int, QByteArray> BackGrdModel::roleNames() const
{
    return {{BackValueRole, "backvalue"}, {BackAbleRole, "backable"}};
}

void BackGrdModel::modifyBack(int i, QString val)
{
    if (!inRange(i))
        return;
    beginResetModel();
    m_back[i] = val.toDouble();
    endResetModel();
    MatrixModel::instance()->modifyBackGrd(i, val);
}

void BackGrdModel::setBack(int i, double value)
{
    if (!inRange(i))
        return;
    beginResetModel();
    m_back[i] = value;
    endResetModel();
}

void BackGrdModel::setChannels(const QList<uint> &channels)
{
    beginResetModel();
    for (int k = 0; k < Size; ++k)
        m_editable[k] = channels.contains(uint(k + 1));
    endResetModel();
}
