#include "analysisfileparser.h"

#include <QDataStream>
#include <QFileInfo>
#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

bool openZipEntry(QuaZipFile &file, const QString &password)
{
    if (password.isEmpty())
        return file.open(QIODevice::ReadOnly);
    const QByteArray pw = password.toLatin1();
    return file.open(QIODevice::ReadOnly, nullptr, nullptr, false, pw.constData());
}

AnalysisFileParser::AnalysisFileParser(const QString &zipPath, const QString &entryName)
    : m_zipPath(zipPath), m_entryName(entryName), m_password(readArchivePassword(zipPath))
{
}

AnalysisFileParser::~AnalysisFileParser() = default;

QString AnalysisFileParser::readArchivePassword(const QString &zipPath)
{
    QuaZipFile file(zipPath, QStringLiteral("password"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QDataStream ds(&file);
    qint32 unused = 0;
    QString strings[7];
    ds >> unused;
    for (QString &s : strings)
        ds >> s;
    if (ds.status() != QDataStream::Ok)
        return QString();
    return strings[1];
}

bool AnalysisFileParser::parse()
{
    QuaZipFile file(m_zipPath, m_entryName);
    if (!openZipEntry(file, m_password))
        return false;
    if (!readHeader(&file))
        return false;
    // The checksum is checked only once the whole entry has been inflated: damaged data can
    // decode without a stream error and still be wrong.
    char rest[4096];
    qint64 got = 0;
    while ((got = file.read(rest, sizeof rest)) > 0) {
    }
    file.close();
    return got == 0 && file.getZipError() == UNZ_OK;
}

bool AnalysisFileParser::readHeader(QIODevice *device)
{
    QDataStream ds(device);
    EntryHeader header;
    if (!header.read(ds))
        return false;
    return parseBody(header, device);
}

bool AnalysisFileParser::parseBody(const EntryHeader &, QIODevice *)
{
    return false;
}

bool AnalysisFileParser::writeEntry(const QString &zipPath)
{
    QuaZip zip(zipPath);
    const QuaZip::Mode mode = QFileInfo::exists(zipPath) ? QuaZip::mdAdd : QuaZip::mdCreate;
    if (!zip.open(mode))
        return false;
    const bool written = writeEntry(zip);
    zip.close();
    return written && zip.getZipError() == 0;
}

bool AnalysisFileParser::writeEntry(QuaZip &zip)
{
    zip.setZip64Enabled(sizeBound() >= 0xFFFFFFFFull - 64);
    QuaZipFile file(&zip);
    const QByteArray pw = m_password.toLatin1();
    file.open(QIODevice::WriteOnly, QuaZipNewInfo(m_entryName),
              m_password.isEmpty() ? nullptr : pw.constData(), 0, 8, -1, false, -15, 8, 0);
    const bool written = file.isOpen() && write(&file);
    file.close();
    zip.setZip64Enabled(false);
    return written && file.getZipError() == 0;
}

QString AnalysisFileParser::getPassword() const
{
    return m_password;
}

void AnalysisFileParser::writeHeader(QDataStream &ds, qint32 fileType) const
{
    EntryHeader::make(fileType, m_version).write(ds);
}
