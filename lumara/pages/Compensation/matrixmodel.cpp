#include "pages/Compensation/matrixmodel.h"

#include "pages/Compensation/backgrdmodel.h"

namespace {

constexpr int Size = 6;

bool inRange(int i)
{
    return i >= 0 && i < Size;
}

} // namespace

MatrixModel *MatrixModel::instance()
{
    static MatrixModel model;
    return &model;
}

MatrixModel::MatrixModel() : QAbstractTableModel(nullptr)
{
    // Until the first package names its channels only the diagonal is marked.
    for (int i = 0; i < Size; ++i)
        for (int j = 0; j < Size; ++j)
            m_editable[i][j] = i == j;
}

MatrixModel::~MatrixModel() = default;

int MatrixModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Size;
}

int MatrixModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Size;
}

QVariant MatrixModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.model() != this)
        return QVariant();
    const int row = index.row();
    const int column = index.column();
    switch (role) {
    case MatrixValueRole:
        return m_matrix.matrix[row][column];
    case DMatrixValueRole:
        return row >= 3 ? QVariant(m_matrix.matrix[row][column]) : QVariant();
    case MatrixAbleRole:
        return m_editable[row][column];
    default:
        return QVariant();
    }
}

QHash<int, QByteArray> MatrixModel::roleNames() const
{
    return {{MatrixValueRole, "matrixvalue"}, {DMatrixValueRole, "dmatrixvalue"}, {MatrixAbleRole, "matrixable"}};
}

void MatrixModel::modifyMatrix(int i, int j, QString val)
{
    if (!inRange(i) || !inRange(j))
        return;
    beginResetModel();
    m_matrix.matrix[i][j] = val.toDouble();
    endResetModel();
}

void MatrixModel::modifyBackGrd(int i, QString val)
{
    if (inRange(i))
        m_matrix.negativeBackground[i] = val.toDouble();
}

double MatrixModel::back(int i) const
{
    return inRange(i) ? m_matrix.negativeBackground[i] : 0.0;
}

CompensationMatrix MatrixModel::getMatrix() const
{
    return m_matrix;
}

void MatrixModel::setMatrix(const CompensationMatrix &matrix)
{
    beginResetModel();
    m_matrix = matrix;
    endResetModel();
    for (int k = 0; k < Size; ++k)
        BackGrdModel::instance()->setBack(k, m_matrix.negativeBackground[k]);
}

void MatrixModel::setChannels(const QList<uint> &channels)
{
    beginResetModel();
    // Every flag from the list alone: cells of channels an earlier package used, and this one
    // does not, must not stay open.
    for (int i = 0; i < Size; ++i)
        for (int j = 0; j < Size; ++j)
            m_editable[i][j] = i != j && channels.contains(uint(i + 1)) && channels.contains(uint(j + 1));
    endResetModel();
}
