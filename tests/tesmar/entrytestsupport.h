#pragma once
// Helpers for entry tests: real archives with or without a "password" entry, raw entry
// contents (decrypted), and entries written from hand-made bytes.
#include "io/entryheader.h"

#include <QByteArray>
#include <QDataStream>
#include <QFile>
#include <QString>
#include <quazip.h>
#include <quazipfile.h>
#include <quazipfileinfo.h>
#include <quazipnewinfo.h>

namespace EntryTest {

// The unencrypted "password" entry: int32, then seven strings, the second the password.
inline bool writePasswordEntry(const QString &zipPath, const QString &password)
{
    QuaZip zip(zipPath);
    if (!zip.open(QFile::exists(zipPath) ? QuaZip::mdAdd : QuaZip::mdCreate))
        return false;
    QuaZipFile f(&zip);
    if (!f.open(QIODevice::WriteOnly, QuaZipNewInfo(QStringLiteral("password"))))
        return false;
    QDataStream ds(&f);
    ds << qint32(1) << QStringLiteral("instrument") << password;
    for (int i = 0; i < 5; ++i)
        ds << QString();
    f.close();
    zip.close();
    return f.getZipError() == 0 && zip.getZipError() == 0;
}

inline QByteArray passwordBytes(const QString &password)
{
    return password.toLatin1();
}

// An entry holding exactly `bytes`, encrypted when `password` is not empty.
inline bool writeRawEntry(const QString &zipPath, const QString &entry, const QByteArray &bytes,
                          const QString &password)
{
    QuaZip zip(zipPath);
    if (!zip.open(QFile::exists(zipPath) ? QuaZip::mdAdd : QuaZip::mdCreate))
        return false;
    QuaZipFile f(&zip);
    const QByteArray pw = passwordBytes(password);
    if (!f.open(QIODevice::WriteOnly, QuaZipNewInfo(entry), password.isEmpty() ? nullptr : pw.constData()))
        return false;
    if (!bytes.isEmpty() && f.write(bytes) != bytes.size())
        return false;
    f.close();
    zip.close();
    return f.getZipError() == 0 && zip.getZipError() == 0;
}

// The decrypted content of an entry; `ok` false when it cannot be opened.
inline QByteArray readRawEntry(const QString &zipPath, const QString &entry, const QString &password,
                               bool *ok)
{
    QuaZipFile f(zipPath, entry);
    const QByteArray pw = passwordBytes(password);
    *ok = f.open(QIODevice::ReadOnly, nullptr, nullptr, false,
                 password.isEmpty() ? nullptr : pw.constData());
    if (!*ok)
        return QByteArray();
    return f.readAll();
}

// Whether the entry is stored with the traditional encryption flag.
inline bool isEncrypted(const QString &zipPath, const QString &entry)
{
    QuaZip zip(zipPath);
    if (!zip.open(QuaZip::mdUnzip) || !zip.setCurrentFile(entry))
        return false;
    QuaZipFileInfo64 info;
    return zip.getCurrentFileInfo(&info) && (info.flags & 1);
}

// A header {type, version, three null strings, time} followed by the body.
inline QByteArray entryBytes(qint32 type, qint32 version, const QByteArray &body)
{
    QByteArray out;
    QDataStream ds(&out, QIODevice::WriteOnly);
    EntryHeader::make(type, version).write(ds);
    out.append(body);
    return out;
}

} // namespace EntryTest
