#pragma once
// Helpers of the export tests: the seeded run they export and a reader of workbooks.
#include "resultseed.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>

namespace ExportTest {

// The workbook as readxlsx.py prints it; an empty array (and the reason) when it cannot be read.
inline QJsonArray readWorkbook(const QString &path, QString *error)
{
    QProcess python;
    // Debian's interpreter: an earlier python3 on PATH may lack openpyxl.
    python.start(QStringLiteral("/usr/bin/python3"),
                 {qEnvironmentVariable("LUMARA_TEST_SOURCE") + QStringLiteral("/tests/lumara/export/readxlsx.py"), path});
    if (!python.waitForFinished(60000) || python.exitCode() != 0) {
        *error = QString::fromUtf8(python.readAllStandardError());
        return {};
    }
    return QJsonDocument::fromJson(python.readAllStandardOutput()).array();
}

inline QJsonObject sheet(const QJsonArray &book, const QString &name)
{
    for (const QJsonValue &s : book) {
        if (s.toObject().value(QStringLiteral("name")).toString() == name)
            return s.toObject();
    }
    return {};
}

inline QJsonObject cell(const QJsonObject &sheet, const QString &ref)
{
    return sheet.value(QStringLiteral("cells")).toObject().value(ref).toObject();
}

// "A".."Z", "AA".. for a 1-based column.
inline QString columnName(int column)
{
    QString name;
    for (; column > 0; column = (column - 1) / 26)
        name.prepend(QChar('A' + (column - 1) % 26));
    return name;
}

inline QString ref(int row, int column)
{
    return columnName(column) + QString::number(row);
}

// The files of the folder matching the pattern, sorted.
inline QStringList filesIn(const QString &folder, const QString &pattern)
{
    return QDir(folder).entryList({pattern}, QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace ExportTest
