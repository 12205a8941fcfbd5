#include "shell/database.h"

#include "platform/platform.h"

#include <QDebug>
#include <QDir>
#include <QSqlError>
#include <QSqlQuery>

const QString DataBase::TableName = QStringLiteral("recentOpenTable");

QString DataBase::createStatement()
{
    return QStringLiteral("create table %1(file_name text NOT NULL);").arg(TableName);
}

QString DataBase::checkStatement()
{
    return QStringLiteral("SELECT * FROM %1 WHERE file_name=?").arg(TableName);
}

QString DataBase::removeStatement()
{
    return QStringLiteral("DELETE FROM %1 WHERE file_name=?").arg(TableName);
}

QString DataBase::insertStatement()
{
    return QStringLiteral("INSERT INTO %1 VALUES(?)").arg(TableName);
}

QString DataBase::clearStatement()
{
    return QStringLiteral("DELETE FROM %1").arg(TableName);
}

QString DataBase::readStatement()
{
    return QStringLiteral("SELECT * FROM %1").arg(TableName);
}

DataBase *DataBase::instance()
{
    static DataBase database;
    return &database;
}

DataBase::DataBase()
{
    // The per-machine folder, level by level.
    const QString folder = Platform::machineFolder();
    QString grown;
    bool made = true;
    for (const QString &part : folder.split(QLatin1Char('/'))) {
        grown += part + QLatin1Char('/');
        qDebug().noquote() << QStringLiteral("tempDir = ") + grown;
        if (part.isEmpty() || QDir(grown).exists())
            continue;
        if (!QDir().mkdir(grown)) {
            qDebug("Crent Error");
            made = false;
            break;
        }
    }

    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    if (!made)
        return; // never opened: every statement fails and is logged
    m_db.setDatabaseName(QStringLiteral("%1/lumara.db").arg(folder));
    if (!m_db.open())
        qDebug().noquote() << QStringLiteral("database open error, error info: ") + m_db.lastError().text();

    // Made on the first start; later starts find it with the paths of earlier ones.
    if (m_db.tables().contains(TableName))
        return;
    QSqlQuery create(m_db);
    if (!create.exec(createStatement()))
        qDebug().noquote() << QStringLiteral("create table %1 error, error info: %2")
                                  .arg(TableName, create.lastError().text());
}

DataBase::~DataBase()
{
    const QString name = m_db.connectionName();
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(name);
}

bool DataBase::query(QSqlQuery &q, const QString &sql, const QVariantList &values)
{
    q = QSqlQuery(m_db);
    if (!q.prepare(sql)) {
        qDebug().noquote() << QStringLiteral("run sql error, last error=") + q.lastError().text();
        return false;
    }
    for (const QVariant &value : values)
        q.addBindValue(value);
    if (!q.exec()) {
        qDebug().noquote() << QStringLiteral("run sql error, last error=") + q.lastError().text();
        return false;
    }
    return true;
}

bool DataBase::exec(const QString &sql, const QVariantList &values)
{
    QSqlQuery q;
    return query(q, sql, values);
}

bool DataBase::exists(const QString &sql, const QVariantList &values)
{
    QSqlQuery q;
    return query(q, sql, values) && q.next();
}
