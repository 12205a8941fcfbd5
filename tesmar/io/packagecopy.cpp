#include "io/packagecopy.h"

#include "io/analysisfileparser.h"

#include <QDataStream>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <quazip.h>
#include <quazipfile.h>
#include <quazipfileinfo.h>
#include <quazipnewinfo.h>

#include <zlib.h>

#include <filesystem>
#include <system_error>

namespace PackageCopy {

namespace {

const QString PasswordEntry = QStringLiteral("password");
const QString ParamsEntry = QStringLiteral("analysisparams.json");
constexpr qint64 ChunkSize = 1 << 20;

std::filesystem::path fsPath(const QString &path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

// "password" entries stay readable without a password, wherever they lie.
bool isPasswordEntry(const QString &name)
{
    return name.section(QLatin1Char('/'), -1) == PasswordEntry;
}

} // namespace

QString baseNameOf(const QString &fileName)
{
    return fileName.section(QLatin1Char('.'), 0, 0);
}

QSet<QString> baseNames(const QList<QString> &fileNames)
{
    QSet<QString> out;
    for (const QString &name : fileNames)
        out.insert(baseNameOf(name));
    return out;
}

QString passwordOfEntry(const QByteArray &entry)
{
    QDataStream ds(entry);
    qint32 unused = 0;
    QString strings[7];
    ds >> unused;
    for (QString &s : strings)
        ds >> s;
    return ds.status() == QDataStream::Ok ? strings[1] : QString();
}

// ---- TempTarget ------------------------------------------------------------------------------

TempTarget::TempTarget(const QString &target) : m_target(target)
{
    const QFileInfo info(target);
    QTemporaryFile file(info.absolutePath() + QLatin1String("/.") + info.fileName() + QLatin1String(".XXXXXX"));
    file.setAutoRemove(false);
    if (!file.open())
        return;
    m_path = file.fileName();
    file.close();
}

TempTarget::~TempTarget()
{
    if (!m_committed && !m_path.isEmpty())
        QFile::remove(m_path);
}

bool TempTarget::commit()
{
    if (m_path.isEmpty() || m_committed)
        return false;
    // The temporary file is private to its owner; the package gets the target's permissions,
    // or the usual ones for a new file.
    const QFileInfo target(m_target);
    const QFile::Permissions permissions = target.exists()
        ? target.permissions()
        : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup
            | QFile::ReadOther;
    QFile::setPermissions(m_path, permissions);
    // One rename puts the new package in place, replacing the old one.
    std::error_code error;
    std::filesystem::rename(fsPath(m_path), fsPath(m_target), error);
    if (error) {
        qWarning() << "replacing" << m_target << "failed:" << QString::fromStdString(error.message());
        return false;
    }
    m_committed = true;
    return true;
}

// ---- Writer ----------------------------------------------------------------------------------

struct Writer::Source {
    explicit Source(const QString &path)
        : zip(path), password(AnalysisFileParser::readArchivePassword(path)), passwordBytes(password.toLatin1())
    {
        open = !path.isEmpty() && zip.open(QuaZip::mdUnzip);
        if (open) {
            const QStringList list = zip.getFileNameList();
            names = QSet<QString>(list.cbegin(), list.cend());
        }
    }
    ~Source()
    {
        if (open)
            zip.close();
    }

    QuaZip zip;
    QString password;
    QByteArray passwordBytes;
    bool open = false;
    QSet<QString> names;
};

Writer::Writer(const QString &zipPath, const QString &password)
    : m_zip(std::make_unique<QuaZip>(zipPath)), m_password(password)
{
    if (!m_zip->open(QuaZip::mdCreate))
        m_failed = true;
}

Writer::~Writer()
{
    if (m_zip->isOpen())
        m_zip->close();
}

bool Writer::isOpen() const
{
    return !m_failed && m_zip->isOpen();
}

namespace {

// Inflates what a raw copy passes through, only to check it against the entry's size and
// checksum: a damaged source entry must not end up in the new package unnoticed.
class RawEntryCheck {
public:
    explicit RawEntryCheck(int method) : m_deflated(method == Z_DEFLATED)
    {
        if (m_deflated)
            m_ok = inflateInit2(&m_zs, -MAX_WBITS) == Z_OK;
    }
    ~RawEntryCheck()
    {
        if (m_deflated && m_ok)
            inflateEnd(&m_zs);
    }
    RawEntryCheck(const RawEntryCheck &) = delete;
    RawEntryCheck &operator=(const RawEntryCheck &) = delete;

    void feed(const QByteArray &raw)
    {
        if (!m_ok)
            return;
        const auto *data = reinterpret_cast<const Bytef *>(raw.constData());
        if (!m_deflated) {
            m_crc = crc32(m_crc, data, uInt(raw.size()));
            m_size += quint64(raw.size());
            return;
        }
        if (m_ended) {
            m_ok = false; // data after the end of the stream
            return;
        }
        m_zs.next_in = const_cast<Bytef *>(data);
        m_zs.avail_in = uInt(raw.size());
        Bytef out[1 << 16];
        do {
            m_zs.next_out = out;
            m_zs.avail_out = sizeof out;
            const int r = inflate(&m_zs, Z_NO_FLUSH);
            if (r != Z_OK && r != Z_STREAM_END && r != Z_BUF_ERROR) {
                m_ok = false;
                return;
            }
            const uInt produced = uInt(sizeof out - m_zs.avail_out);
            m_crc = crc32(m_crc, out, produced);
            m_size += produced;
            if (r == Z_STREAM_END) {
                m_ended = true;
                m_ok = m_zs.avail_in == 0;
                return;
            }
            if (r == Z_BUF_ERROR)
                return;
        } while (m_zs.avail_out == 0 || m_zs.avail_in > 0);
    }

    bool intact(quint32 crc, quint64 size) const
    {
        return m_ok && (!m_deflated || m_ended) && m_crc == crc && m_size == size;
    }

private:
    bool m_deflated;
    bool m_ok = true;
    bool m_ended = false;
    z_stream m_zs{};
    uLong m_crc = crc32(0L, Z_NULL, 0);
    quint64 m_size = 0;
};

} // namespace

// Copies the source's current entry, or the named one when `name` is not empty. The
// compressed data is passed on as it is (decrypted with the source's password, encrypted
// with the package's), which keeps a save of large images fast; it is inflated on the way
// only to check it.
bool Writer::copyEntry(Source &source, const QString &name, const QString &newName, QByteArray *keep)
{
    if (!name.isEmpty() && !source.zip.setCurrentFile(name, QuaZip::csSensitive))
        return false;
    QuaZipFileInfo64 info;
    if (!source.zip.getCurrentFileInfo(&info))
        return false;
    const bool encrypted = (info.flags & 1) != 0;
    if (encrypted && source.password.isEmpty()) {
        qWarning() << "copying" << info.name << ": encrypted, but its archive has no password";
        return false;
    }
    // The stored data of an encrypted entry begins with a 12-byte encryption header, which
    // the open consumes.
    const quint64 headerBytes = encrypted ? 12 : 0;
    if ((info.method != 0 && info.method != Z_DEFLATED) || info.compressedSize < headerBytes) {
        qWarning() << "copying" << info.name << ": unsupported compression method" << info.method;
        return false;
    }

    QuaZipFile in(&source.zip);
    int method = 0;
    int level = 0;
    if (!in.open(QIODevice::ReadOnly, &method, &level, true,
                 encrypted ? source.passwordBytes.constData() : nullptr))
        return false;

    QuaZipNewInfo newInfo(newName);
    newInfo.dateTime = info.dateTime;
    newInfo.uncompressedSize = ulong(info.uncompressedSize);
    const QByteArray targetPassword = m_password.toLatin1();
    const bool encrypt = !m_password.isEmpty() && !isPasswordEntry(newName);
    QuaZipFile out(m_zip.get());
    if (!out.open(QIODevice::WriteOnly, newInfo, encrypt ? targetPassword.constData() : nullptr, info.crc,
                  method, level, true)) {
        in.close();
        return false;
    }

    RawEntryCheck check(method);
    quint64 remaining = info.compressedSize - headerBytes;
    bool ok = true;
    while (ok && remaining > 0) {
        const QByteArray chunk = in.read(qint64(qMin<quint64>(remaining, ChunkSize)));
        if (chunk.isEmpty()) {
            ok = false;
            break;
        }
        remaining -= quint64(chunk.size());
        check.feed(chunk);
        ok = out.write(chunk) == chunk.size();
    }
    in.close();
    // A wrong password or damaged data shows as a failed inflate, a short entry or a bad
    // checksum.
    ok = ok && in.getZipError() == UNZ_OK && check.intact(quint32(info.crc), info.uncompressedSize);
    out.close();
    ok = ok && out.getZipError() == ZIP_OK;
    if (!ok) {
        qWarning() << "copying" << info.name << "failed";
        return false;
    }
    if (keep) {
        // The small entries the caller looks into are read once more, inflated.
        QuaZipFile again(&source.zip);
        if (!again.open(QIODevice::ReadOnly, nullptr, nullptr, false,
                        encrypted ? source.passwordBytes.constData() : nullptr))
            return false;
        *keep = again.readAll();
        again.close();
        return again.getZipError() == UNZ_OK;
    }
    return true;
}

bool Writer::copyUnder(const QString &source, const QString &base)
{
    if (!isOpen())
        return false;
    Source src(source);
    if (!src.open)
        return false;
    for (bool more = src.zip.goToFirstFile(); more; more = src.zip.goToNextFile()) {
        const QString name = src.zip.getCurrentFileName();
        if (!copyEntry(src, QString(), base + QLatin1Char('/') + name)) {
            m_failed = true;
            return false;
        }
    }
    // goToNextFile ends with UNZ_END_OF_LIST_OF_FILE; anything else is a damaged directory.
    return src.zip.getZipError() == UNZ_OK || src.zip.getZipError() == UNZ_END_OF_LIST_OF_FILE;
}

bool Writer::copyFolders(const QString &source, const QSet<QString> &folders)
{
    if (!isOpen())
        return false;
    Source src(source);
    if (!src.open)
        return false;
    for (bool more = src.zip.goToFirstFile(); more; more = src.zip.goToNextFile()) {
        const QString name = src.zip.getCurrentFileName();
        const int slash = name.indexOf(QLatin1Char('/'));
        if (slash < 0 || !folders.contains(name.left(slash)))
            continue;
        if (!copyEntry(src, QString(), name)) {
            m_failed = true;
            return false;
        }
    }
    return src.zip.getZipError() == UNZ_OK || src.zip.getZipError() == UNZ_END_OF_LIST_OF_FILE;
}

bool Writer::copySharedEntries(const QString &source, const QString &folder)
{
    if (!isOpen())
        return false;
    Source src(source);
    if (!src.open)
        return false;
    for (const QString &entry : {ParamsEntry, PasswordEntry}) {
        QString found;
        if (src.names.contains(entry))
            found = entry;
        else if (!folder.isEmpty() && src.names.contains(folder + QLatin1Char('/') + entry))
            found = folder + QLatin1Char('/') + entry;

        const bool isPassword = entry == PasswordEntry;
        if (found.isEmpty()) {
            // Without a password entry the package reads as unencrypted; an empty one is
            // never written in its place.
            if (isPassword && !m_password.isEmpty()) {
                qWarning() << "no password entry in" << source;
                m_failed = true;
                return false;
            }
            continue;
        }
        QByteArray bytes;
        if (!copyEntry(src, found, entry, isPassword ? &bytes : nullptr)) {
            m_failed = true;
            return false;
        }
        if (isPassword && passwordOfEntry(bytes) != m_password) {
            qWarning() << "the password entry of" << source << "does not match the package's password";
            m_failed = true;
            return false;
        }
    }
    return true;
}

bool Writer::close()
{
    if (!m_zip->isOpen())
        return false;
    m_zip->close();
    return !m_failed && m_zip->getZipError() == ZIP_OK;
}

} // namespace PackageCopy
