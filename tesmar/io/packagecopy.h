#pragma once
// Pieces of a package save: the temporary file the new package is written to, and the copy of
// source archives' entries into it. Sources are read with their own password and written with
// the new package's; entries named "password" are never encrypted.
#include "tesmar_global.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>

class QIODevice;
class QuaZip;

namespace PackageCopy {

// The folder a source is embedded under: its file name up to the first ".".
QString baseNameOf(const QString &fileName);
QSet<QString> baseNames(const QList<QString> &fileNames);

// The password an encoded "password" entry holds (empty when it does not decode).
QString passwordOfEntry(const QByteArray &entry);

// Entries at or above this size, compressed or not, need the 64-bit zip records.
constexpr quint64 Zip64Threshold = 0xFFFFFFFFull - 64;

// A fresh file beside the target, named ".<target name>.lumara-save-XXXXXX" and locked for as
// long as this object lives, so that a save killed half-way leaves only a file that the next
// save into the folder recognises and removes. Writes go through device(), which remembers how
// far the file must reach; finish() makes sure it does and that it is on the disk, commit()
// then puts it in the target's place in one step. Without a commit it is removed again.
class TESMAR_EXPORT TempTarget {
public:
    explicit TempTarget(const QString &target);
    ~TempTarget();
    TempTarget(const TempTarget &) = delete;
    TempTarget &operator=(const TempTarget &) = delete;

    bool isValid() const { return !m_path.isEmpty(); }
    QString path() const { return m_path; }
    QIODevice *device() const;

    // Flushes the file to the disk and checks that it holds every byte written to it.
    bool finish();
    // Renames the file onto the target and flushes the folder.
    bool commit();

    // Removes the temporary files of earlier saves in `folder` that no process holds any
    // more; the number removed.
    static int removeLeftovers(const QString &folder);
    static QString marker();

private:
    class Device;
    QString m_target;
    QString m_path;
    std::unique_ptr<Device> m_device;
    bool m_finished = false;
    bool m_committed = false;
};

// A new package written through one zip handle: entries copied from source archives, and the
// entries the callers write themselves through zip(). close() checks the result.
class TESMAR_EXPORT Writer {
public:
    Writer(TempTarget &target, const QString &password);
    ~Writer();
    Writer(const Writer &) = delete;
    Writer &operator=(const Writer &) = delete;

    bool isOpen() const;
    // The open package, for entries written by their own writers; record their names with
    // addedEntry().
    QuaZip *zip() const { return m_zip.get(); }
    void addedEntry(const QString &name) { m_written.append(name); }

    // Every entry of the source under base + "/".
    bool copyUnder(const QString &source, const QString &base);
    // The entries of a saved package that lie in one of the given folders, names kept.
    bool copyFolders(const QString &source, const QSet<QString> &folders);
    // "analysisparams.json" and "password" at the top level, taken from the source's top
    // level, or from folder + "/" when the top level lacks them. An entry the
    // source does not have is left out; the password entry must give the password this
    // archive is written with (and must be there when that password is not empty).
    bool copySharedEntries(const QString &source, const QString &folder);
    // Writes the central directory, brings the file to the disk and reads its directory back:
    // false when any step failed or the directory does not list exactly the entries written.
    bool close();

private:
    struct Source;
    bool copyEntry(Source &source, const QString &name, const QString &newName, QByteArray *keep = nullptr);

    TempTarget &m_target;
    std::unique_ptr<QuaZip> m_zip;
    QString m_password;
    QStringList m_written;
    bool m_failed = false;
};

} // namespace PackageCopy
