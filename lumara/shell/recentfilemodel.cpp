#include "shell/recentfilemodel.h"

#include "shell/database.h"

#include <QDebug>
#include <QSqlError>
#include <QSqlQuery>

RecentFileModel *RecentFileModel::instance()
{
    static RecentFileModel model;
    return &model;
}

RecentFileModel::RecentFileModel()
{
    reload();
}

int RecentFileModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_files.size();
}

QVariant RecentFileModel::data(const QModelIndex &index, int role) const
{
    if (role != FileNameRole || !index.isValid() || index.row() >= m_files.size())
        return QVariant();
    return m_files.at(index.row());
}

QHash<int, QByteArray> RecentFileModel::roleNames() const
{
    return {{FileNameRole, QByteArrayLiteral("display")}};
}

int RecentFileModel::getLastIndexID() const
{
    return m_files.size() - 1;
}

void RecentFileModel::reload()
{
    QSqlQuery q;
    if (!DataBase::instance()->query(q, DataBase::readStatement())) {
        qDebug().noquote() << QStringLiteral("Excute query error, error info: ") + q.lastError().text();
        return;
    }
    QStringList files;
    while (q.next())
        files.prepend(q.value(QStringLiteral("file_name")).toString());
    files.append(tr("Clear Menu"));

    beginResetModel();
    m_files = files;
    endResetModel();
    emit modelUpdate();
}
