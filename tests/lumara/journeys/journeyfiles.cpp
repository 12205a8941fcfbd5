#include "journeyfiles.h"

#include "bll/bllinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QImageReader>
#include <QRegularExpression>

#include <quazip.h>
#include <quazipfile.h>

#include <algorithm>

namespace JourneyTest {

QByteArray documentDigest()
{
    BLLInstance *bll = BLLInstance::getInstance();
    QCryptographicHash hash(QCryptographicHash::Sha1);
    for (uint well : bll->getWellIds()) {
        hash.addData(QByteArray::number(well) + ':');
        QList<uint> excluded = bll->getExcludedDroplets(well).values();
        std::sort(excluded.begin(), excluded.end());
        for (uint id : excluded)
            hash.addData(QByteArray::number(id) + ',');
        for (uint channel = 1; channel <= 6; ++channel) {
            const QVector<uint> values = bll->getAllDropletGrayValues(well, channel);
            hash.addData(reinterpret_cast<const char *>(values.constData()), int(values.size() * sizeof(uint)));
            hash.addData("|");
        }
    }
    return hash.result().toHex();
}

QByteArray digestOfFile(const QString &path)
{
    return BLLInstance::getInstance()->openFile(path) ? documentDigest() : QByteArray();
}

QString savePackageOf(const QString &run, const QString &path)
{
    BLLInstance *bll = BLLInstance::getInstance();
    if (!bll->openFile(run))
        return QString();
    bll->beginSaveFile();
    const bool saved = bll->saveFile(path);
    bll->endSaveFile();
    return saved ? path : QString();
}

namespace {

// Every entry of the zip reads whole, its checksum right; the entries' names.
QStringList wholeZipEntries(const QString &path)
{
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdUnzip))
        return {};
    QStringList names;
    for (bool more = zip.goToFirstFile(); more; more = zip.goToNextFile()) {
        QuaZipFile entry(&zip);
        if (!entry.open(QIODevice::ReadOnly))
            return {};
        entry.readAll();
        entry.close();
        if (entry.getZipError() != UNZ_OK)
            return {};
        names.append(zip.getCurrentFileName());
    }
    return names;
}

} // namespace

ExportFolder readExportFolder(const QString &parent)
{
    ExportFolder found;
    found.folders = QDir(parent).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    if (found.folders.size() != 1)
        return found;
    QDirIterator files(QDir(parent).filePath(found.folders.constFirst()), QDir::Files);
    while (files.hasNext()) {
        const QString file = files.next();
        if (file.endsWith(QLatin1String(".xlsx"))) {
            ++found.workbooks;
            if (!wholeZipEntries(file).contains(QStringLiteral("xl/workbook.xml")))
                found.broken.append(file + QStringLiteral(": not a whole workbook"));
        } else {
            ++found.images;
            QImageReader reader(file);
            if (reader.read().isNull())
                found.broken.append(file + QStringLiteral(": ") + reader.errorString());
        }
    }
    return found;
}

QStringList sheetNames(const QString &workbook)
{
    QuaZipFile part(workbook, QStringLiteral("xl/workbook.xml"));
    if (!part.open(QIODevice::ReadOnly))
        return {};
    const QString xml = QString::fromUtf8(part.readAll());
    QStringList names;
    const QRegularExpression sheet(QStringLiteral("<sheet [^>]*name=\"([^\"]*)\""));
    for (auto it = sheet.globalMatch(xml); it.hasNext();)
        names.append(it.next().captured(1));
    return names;
}

} // namespace JourneyTest
