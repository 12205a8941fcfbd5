#pragma once
// Pieces of a package save: the temporary file the new package is written to, and the copy of
// source archives' entries into it. Sources are read with their own password and written with
// the new package's; entries named "password" are never encrypted.
#include <QList>
#include <QSet>
#include <QString>

#include <memory>

class QuaZip;

namespace PackageCopy {

// The folder a source is embedded under: its file name up to the first ".".
QString baseNameOf(const QString &fileName);
QSet<QString> baseNames(const QList<QString> &fileNames);

// The password an encoded "password" entry holds (empty when it does not decode).
QString passwordOfEntry(const QByteArray &entry);

// A fresh file beside the target; commit() puts it in the target's place in one step, and
// without a commit it is removed again.
class TempTarget {
public:
    explicit TempTarget(const QString &target);
    ~TempTarget();
    TempTarget(const TempTarget &) = delete;
    TempTarget &operator=(const TempTarget &) = delete;

    bool isValid() const { return !m_path.isEmpty(); }
    QString path() const { return m_path; }
    bool commit();

private:
    QString m_target;
    QString m_path;
    bool m_committed = false;
};

// A new archive that copied entries are added to through one handle.
class Writer {
public:
    Writer(const QString &zipPath, const QString &password);
    ~Writer();
    Writer(const Writer &) = delete;
    Writer &operator=(const Writer &) = delete;

    bool isOpen() const;
    // Every entry of the source under base + "/".
    bool copyUnder(const QString &source, const QString &base);
    // The entries of a saved package that lie in one of the given folders, names kept.
    bool copyFolders(const QString &source, const QSet<QString> &folders);
    // "analysisparams.json" and "password" at the top level, taken from the source's top
    // level, or from folder + "/" when the top level lacks them. An entry the
    // source does not have is left out; the password entry must give the password this
    // archive is written with (and must be there when that password is not empty).
    bool copySharedEntries(const QString &source, const QString &folder);
    // Writes the central directory; false when any step failed.
    bool close();

private:
    struct Source;
    bool copyEntry(Source &source, const QString &name, const QString &newName, QByteArray *keep = nullptr);

    std::unique_ptr<QuaZip> m_zip;
    QString m_password;
    bool m_failed = false;
};

} // namespace PackageCopy
