#pragma once
// What the journeys read and write on disk around the window: the document's digest, the
// digest of a package as it lies on disk, a run saved as a package, and what an export left.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace JourneyTest {

// What the document holds of its droplets: per well the records, the exclusions and every
// channel's values of all droplets. Equal digests mean equal analyses.
QByteArray documentDigest();
// The digest of the package as the business layer reads it from disk. It replaces the
// document under the window: read a file before the window opens it, or last.
QByteArray digestOfFile(const QString &path);
// The run archive opened by the business layer and saved as the package at path (replaces
// the document as digestOfFile does); "" when either fails.
QString savePackageOf(const QString &run, const QString &path);

// The one folder an export made under the chosen parent, and its files read back.
struct ExportFolder {
    QStringList folders; // the folders under the parent
    int workbooks = 0;
    int images = 0;
    QStringList broken; // "file: why" for every file that does not read whole
};
ExportFolder readExportFolder(const QString &parent);
// The names of a workbook's sheets, in the order its workbook part lists them.
QStringList sheetNames(const QString &workbook);

} // namespace JourneyTest
