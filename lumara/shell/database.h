#pragma once
// The recent-files database: one SQLite file "lumara.db" in the per-machine folder on Qt's
// default connection, with one table of paths in the order they were last opened (newest
// last). One process-wide instance, used on the user-interface thread only (a connection
// belongs to the thread that made it).
#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

class QSqlQuery;

class DataBase : public QObject {
    Q_OBJECT
public:
    static DataBase *instance();

    // The table and its statements. Paths are bound as the values "?", never pasted in.
    static const QString TableName;
    static QString createStatement();
    static QString checkStatement();  // value: path
    static QString removeStatement(); // value: path
    static QString insertStatement(); // value: path
    static QString clearStatement();
    static QString readStatement();

    // Prepares and runs the statement with the values bound in order; logs a failure.
    bool exec(const QString &sql, const QVariantList &values = {});
    // The same into q, which the caller then reads.
    bool query(QSqlQuery &q, const QString &sql, const QVariantList &values = {});
    // Whether the statement ran and gave at least one row.
    bool exists(const QString &sql, const QVariantList &values = {});

private:
    DataBase();
    ~DataBase() override;
    Q_DISABLE_COPY(DataBase)

    QSqlDatabase m_db;
};
