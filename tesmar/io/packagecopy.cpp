#include "io/packagecopy.h"

#include "io/analysisfileparser.h"

#include <QDataStream>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QTextCodec>
#include <quazip.h>
#include <quazipfile.h>
#include <quazipfileinfo.h>
#include <zip.h>

#include <zlib.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

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

// An exclusive lock that ends with the process; false when another process holds one. On
// Windows an open file cannot be removed by anyone else, which serves the same end.
bool lockHandle(int handle)
{
#ifdef Q_OS_WIN
    Q_UNUSED(handle)
    return true;
#else
    return handle >= 0 && ::flock(handle, LOCK_EX | LOCK_NB) == 0;
#endif
}

bool syncHandle(int handle)
{
#ifdef Q_OS_WIN
    return handle >= 0 && ::_commit(handle) == 0;
#else
    return handle >= 0 && ::fsync(handle) == 0;
#endif
}

// Makes a rename in the folder durable.
void syncFolder(const QString &folder)
{
#ifndef Q_OS_WIN
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return;
    if (::fsync(fd) != 0)
        qWarning() << "cannot flush the folder" << folder;
    ::close(fd);
#else
    Q_UNUSED(folder)
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

// The temporary file, written unbuffered so that a failed write is reported by the write
// itself; it remembers the furthest byte it was asked to write.
class TempTarget::Device : public QIODevice {
public:
    explicit Device(const QString &path) : m_file(path) {}

    bool create()
    {
        if (!m_file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
            return false;
        return QIODevice::open(QIODevice::ReadWrite | QIODevice::Unbuffered);
    }
    bool lock() { return lockHandle(m_file.handle()); }

    bool isSequential() const override { return false; }
    qint64 size() const override { return m_file.size(); }
    bool seek(qint64 pos) override
    {
        if (!m_file.seek(pos))
            return false;
        return QIODevice::seek(pos);
    }
    void close() override
    {
        QIODevice::close();
        m_file.close();
    }

    // Flushes to the disk and compares the file's size with what was written.
    bool sync()
    {
        if (m_failed || !m_file.isOpen())
            return false;
        if (!m_file.flush() || !syncHandle(m_file.handle()))
            return false;
        return m_file.size() == m_end;
    }

    QFile &file() { return m_file; }

protected:
    qint64 readData(char *data, qint64 maxSize) override { return m_file.read(data, maxSize); }
    qint64 writeData(const char *data, qint64 size) override
    {
        const qint64 at = m_file.pos();
        m_end = std::max(m_end, at + size);
        const qint64 written = m_file.write(data, size);
        if (written != size)
            m_failed = true;
        return written;
    }

private:
    QFile m_file;
    qint64 m_end = 0;
    bool m_failed = false;
};

QString TempTarget::marker()
{
    return QStringLiteral(".lumara-save-");
}

int TempTarget::removeLeftovers(const QString &folder)
{
    const QDir dir(folder);
    const QStringList names = dir.entryList({QStringLiteral(".*") + marker() + QLatin1Char('*')},
                                            QDir::Files | QDir::Hidden | QDir::System);
    int removed = 0;
    for (const QString &name : names) {
        QFile file(dir.filePath(name));
        // A file some save still writes is locked; one that no process holds is a leftover.
        if (!file.open(QIODevice::ReadWrite))
            continue;
        const bool free = lockHandle(file.handle());
        file.close();
        if (free && QFile::remove(dir.filePath(name)))
            ++removed;
    }
    return removed;
}

TempTarget::TempTarget(const QString &target) : m_target(target)
{
    const QFileInfo info(target);
    const int removed = removeLeftovers(info.absolutePath());
    if (removed > 0)
        qWarning() << "removed" << removed << "temporary files of earlier saves in" << info.absolutePath();

    QTemporaryFile name(info.absolutePath() + QLatin1Char('/') + QLatin1Char('.') + info.fileName() + marker()
                        + QLatin1String("XXXXXX"));
    name.setAutoRemove(false);
    if (!name.open())
        return;
    const QString path = name.fileName();
    name.close();
    auto device = std::make_unique<Device>(path);
    if (!device->create() || !device->lock()) {
        qWarning() << "cannot write and lock" << path;
        device.reset();
        QFile::remove(path);
        return;
    }
    m_device = std::move(device);
    m_path = path;
}

TempTarget::~TempTarget()
{
    if (m_device)
        m_device->close();
    if (!m_committed && !m_path.isEmpty())
        QFile::remove(m_path);
}

QIODevice *TempTarget::device() const
{
    return m_device.get();
}

bool TempTarget::finish()
{
    if (!m_device)
        return false;
    m_finished = m_device->sync();
    if (!m_finished)
        qWarning() << "the new package" << m_path << "did not reach the disk whole";
    return m_finished;
}

bool TempTarget::commit()
{
    if (m_path.isEmpty() || m_committed || !m_finished)
        return false;
    // The temporary file is private to its owner; the package gets the target's permissions,
    // or the usual ones for a new file.
    const QFileInfo target(m_target);
    const QFile::Permissions permissions = target.exists()
        ? target.permissions()
        : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup
            | QFile::ReadOther;
    QFile::setPermissions(m_path, permissions);
    // One rename puts the new package in place, replacing the old one. The lock goes with
    // the file: it is released only once the file has its final name.
    std::error_code error;
    std::filesystem::rename(fsPath(m_path), fsPath(m_target), error);
    if (error) {
        qWarning() << "replacing" << m_target << "failed:" << QString::fromStdString(error.message());
        return false;
    }
    m_committed = true;
    m_device->close();
    syncFolder(target.absolutePath());
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

Writer::Writer(TempTarget &target, const QString &password) : m_target(target), m_password(password)
{
    if (!target.device()) {
        m_failed = true;
        return;
    }
    m_zip = std::make_unique<QuaZip>(target.device());
    // The device is the temporary file's: closing the archive must leave it open for the
    // checks that follow.
    m_zip->setAutoClose(false);
    if (!m_zip->open(QuaZip::mdCreate))
        m_failed = true;
}

Writer::~Writer()
{
    if (m_zip && m_zip->isOpen())
        m_zip->close();
}

bool Writer::isOpen() const
{
    return !m_failed && m_zip && m_zip->isOpen();
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

// The MS-DOS date and time a zip header stores (2-second steps, years from 1980).
quint32 dosDateTime(const QDateTime &when)
{
    QDateTime t = when.isValid() ? when : QDateTime(QDate(1980, 1, 1), QTime(0, 0));
    if (t.date().year() < 1980)
        t = QDateTime(QDate(1980, 1, 1), QTime(0, 0));
    if (t.date().year() > 2107)
        t = QDateTime(QDate(2107, 12, 31), QTime(23, 59, 58));
    const QDate d = t.date();
    const QTime h = t.time();
    const quint32 date = quint32(d.day()) | quint32(d.month()) << 5 | quint32(d.year() - 1980) << 9;
    const quint32 time = quint32(h.second() / 2) | quint32(h.minute()) << 5 | quint32(h.hour()) << 11;
    return date << 16 | time;
}

} // namespace

// Copies the source's current entry, or the named one when `name` is not empty. The
// compressed data is passed on as it is (decrypted with the source's password, encrypted
// with the package's), which keeps a save of large images fast; it is inflated on the way
// only to check it. Written through the zip library directly, so that sizes stay 64-bit and
// the encryption header carries the check value its flags promise.
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

    const QByteArray targetPassword = m_password.toLatin1();
    const bool encrypt = !m_password.isEmpty() && !isPasswordEntry(newName);
    const quint64 dataBytes = info.compressedSize - headerBytes;
    const bool zip64 = info.uncompressedSize >= Zip64Threshold || dataBytes + 12 >= Zip64Threshold;

    zip_fileinfo fileInfo{};
    fileInfo.dosDate = dosDateTime(info.dateTime);
    fileInfo.external_fa = info.externalAttr;
    QByteArray encodedName;
    uLong flagBase = 0;
    if (m_zip->isUtf8Enabled()) {
        encodedName = newName.toUtf8();
        flagBase |= ZIP_ENCODING_UTF8;
    } else {
        encodedName = m_zip->getFileNameCodec()->fromUnicode(newName);
    }
    // Every entry carries a data descriptor; readers then check the last byte of the
    // encryption header against the high byte of the entry's time, not of its checksum.
    zipFile zf = m_zip->getZipFile();
    zipSetFlags(zf, ZIP_WRITE_DATA_DESCRIPTOR);
    const uLong checkValue = uLong(fileInfo.dosDate & 0xFFFFu) << 16;
    const uLong madeBy = uLong(m_zip->getOsCode()) << 8 | 0x1Eu;
    if (zipOpenNewFileInZip4_64(zf, encodedName.constData(), &fileInfo, nullptr, 0, nullptr, 0, nullptr, method,
                                level, 1, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY,
                                encrypt ? targetPassword.constData() : nullptr, checkValue, madeBy, flagBase,
                                zip64 ? 1 : 0)
        != ZIP_OK) {
        in.close();
        return false;
    }

    RawEntryCheck check(method);
    quint64 remaining = dataBytes;
    bool ok = true;
    while (ok && remaining > 0) {
        const QByteArray chunk = in.read(qint64(qMin<quint64>(remaining, ChunkSize)));
        if (chunk.isEmpty()) {
            ok = false;
            break;
        }
        remaining -= quint64(chunk.size());
        check.feed(chunk);
        ok = zipWriteInFileInZip(zf, chunk.constData(), unsigned(chunk.size())) == ZIP_OK;
    }
    in.close();
    // A wrong password or damaged data shows as a failed inflate, a short entry or a bad
    // checksum.
    ok = ok && in.getZipError() == UNZ_OK && check.intact(quint32(info.crc), info.uncompressedSize);
    ok = zipCloseFileInZipRaw64(zf, ZPOS64_T(info.uncompressedSize), uLong(info.crc)) == ZIP_OK && ok;
    if (!ok) {
        qWarning() << "copying" << info.name << "failed";
        return false;
    }
    m_written.append(newName);
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
    if (!m_zip || !m_zip->isOpen())
        return false;
    m_zip->close();
    if (m_failed || m_zip->getZipError() != ZIP_OK)
        return false;
    if (!m_target.finish())
        return false;
    // The directory must read back with exactly the entries written; the data is not decoded
    // again.
    QuaZip check(m_target.path());
    if (!check.open(QuaZip::mdUnzip)) {
        qWarning() << "the new package" << m_target.path() << "does not open as a zip archive";
        return false;
    }
    const QStringList listed = check.getFileNameList();
    const int error = check.getZipError();
    check.close();
    if (error != UNZ_OK || listed != m_written) {
        qWarning() << "the new package" << m_target.path() << "lists" << listed.size() << "of"
                   << m_written.size() << "entries written";
        return false;
    }
    return true;
}

} // namespace PackageCopy
