#pragma once
#include "entryheader.h"
#include "tesmar_global.h"

#include <QIODevice>
#include <QString>

class QuaZip;
class QuaZipFile;

// Opens a package entry for reading, with the package password when there is one (its Latin-1
// bytes, as the entries were encrypted with).
TESMAR_EXPORT bool openZipEntry(QuaZipFile &file, const QString &password);

// Reader and writer of one typed entry of one package. The package password comes from the
// package's unencrypted "password" entry and protects every other entry.
class TESMAR_EXPORT AnalysisFileParser {
public:
    AnalysisFileParser(const QString &zipPath, const QString &entryName);
    virtual ~AnalysisFileParser();

    virtual bool parse();
    virtual bool readHeader(QIODevice *device);
    virtual bool parseBody(const EntryHeader &header, QIODevice *device);
    virtual bool write(QIODevice *device) = 0;

    // Adds this entry to the archive at zipPath (created when missing).
    bool writeEntry(const QString &zipPath);
    // Adds this entry to an archive open for writing.
    bool writeEntry(QuaZip &zip);
    // An upper bound of the entry's written size: entries that may reach 4 GiB are written
    // with the 64-bit zip records. The small entries stay far below.
    virtual quint64 sizeBound() const { return 0; }
    QString getPassword() const;

    // The password held by an archive's "password" entry; empty when it has none.
    static QString readArchivePassword(const QString &zipPath);

    QString zipPath() const { return m_zipPath; }
    QString entryName() const { return m_entryName; }
    qint32 version() const { return m_version; }
    void setVersion(qint32 v) { m_version = v; }
    void setPassword(const QString &password) { m_password = password; }

protected:
    // Writes the common header for `fileType` at this parser's version.
    void writeHeader(QDataStream &ds, qint32 fileType) const;

    QString m_zipPath;
    QString m_entryName;
    QString m_password;
    qint32 m_version = 0;

private:
    Q_DISABLE_COPY(AnalysisFileParser)
};
