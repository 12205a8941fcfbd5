// Package framing: the password entry, entry encryption and compression, and header dispatch.
#include "io/analysisfileparser.h"
#include "entrytestsupport.h"
#include "testmain.h"

#include <QFile>
#include <quazip.h>
#include <quazipfile.h>
#include <quazipfileinfo.h>
#include <quazipnewinfo.h>

namespace {

// A minimal typed entry: header {type 9, version}, then one string.
class TextEntryParser : public AnalysisFileParser {
public:
    TextEntryParser(const QString &zip, const QString &entry) : AnalysisFileParser(zip, entry) {}
    QString text;
    int headerType = -1;

    bool parseBody(const EntryHeader &header, QIODevice *device) override
    {
        headerType = header.fileType;
        if (header.fileType != 9)
            return false;
        setVersion(header.version);
        QDataStream ds(device);
        ds >> text;
        return ds.status() == QDataStream::Ok;
    }
    bool write(QIODevice *device) override
    {
        QDataStream ds(device);
        writeHeader(ds, 9);
        ds << text;
        return ds.status() == QDataStream::Ok;
    }
};

QByteArray readRaw(const QString &zipPath, const QString &entry, const char *password, bool *opened)
{
    QuaZipFile f(zipPath, entry);
    *opened = f.open(QIODevice::ReadOnly, nullptr, nullptr, false, password);
    if (!*opened)
        return QByteArray();
    return f.readAll();
}

} // namespace

class TestFraming : public QObject {
    Q_OBJECT
private slots:
    void init();
    void passwordRule_data();
    void passwordRule();
    void entryIsDeflated();
    void wrongHeaderTypeIsRefused();
    void missingEntryOrArchive();
    void brokenPasswordEntry();

private:
    QTemporaryDir m_dir;
    QString m_zip;
};

void TestFraming::init()
{
    static int n = 0;
    m_zip = m_dir.filePath(QStringLiteral("pkg%1.imrs").arg(++n));
}

void TestFraming::passwordRule_data()
{
    QTest::addColumn<bool>("hasPasswordEntry");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QByteArray>("latin1");
    QTest::newRow("no password entry") << false << QString() << QByteArray();
    QTest::newRow("empty password") << true << QString("") << QByteArray();
    QTest::newRow("plain") << true << QString("s3cret") << QByteArray("s3cret");
    // Characters outside Latin-1 become '?' both when reading and writing.
    QTest::newRow("beyond latin1") << true << QString::fromUtf8("p\xC3\xA4ss\xE2\x82\xAC")
                                   << QByteArray("p\xE4ss?");
}

void TestFraming::passwordRule()
{
    QFETCH(bool, hasPasswordEntry);
    QFETCH(QString, password);
    QFETCH(QByteArray, latin1);
    if (hasPasswordEntry)
        QVERIFY(EntryTest::writePasswordEntry(m_zip, password));

    TextEntryParser writer(m_zip, QStringLiteral("run.txt"));
    QCOMPARE(writer.getPassword(), hasPasswordEntry ? password : QString());
    writer.setVersion(3);
    writer.text = QStringLiteral("hello droplets");
    QVERIFY(writer.writeEntry(m_zip)); // creates the archive when it is missing

    TextEntryParser reader(m_zip, QStringLiteral("run.txt"));
    QVERIFY(reader.parse());
    QCOMPARE(reader.text, writer.text);
    QCOMPARE(reader.version(), 3);

    // Read back through the zip library directly: encrypted exactly when a password is set.
    bool opened = false;
    const QByteArray plain = readRaw(m_zip, QStringLiteral("run.txt"), nullptr, &opened);
    if (latin1.isEmpty()) {
        QVERIFY(opened);
        QCOMPARE(plain.size(), 28 + 4 + 2 * writer.text.size());
    } else {
        const QByteArray garbage = plain;
        QVERIFY(!opened || garbage.size() != 28 + 4 + 2 * writer.text.size()
                || !garbage.startsWith(QByteArray::fromHex("00000009")));
        const QByteArray decoded = readRaw(m_zip, QStringLiteral("run.txt"), latin1.constData(), &opened);
        QVERIFY(opened);
        QVERIFY(decoded.startsWith(QByteArray::fromHex("0000000900000003ffffffffffffffffffffffff")));
        QuaZip zip(m_zip);
        QVERIFY(zip.open(QuaZip::mdUnzip));
        QVERIFY(zip.setCurrentFile(QStringLiteral("run.txt")));
        QuaZipFileInfo64 info;
        QVERIFY(zip.getCurrentFileInfo(&info));
        QVERIFY(info.flags & 1); // traditional encryption bit
        // A wrong password does not decode the entry.
        TextEntryParser wrong(m_zip, QStringLiteral("run.txt"));
        wrong.setPassword(QStringLiteral("not it"));
        QVERIFY(!wrong.parse());
    }
}

void TestFraming::entryIsDeflated()
{
    TextEntryParser writer(m_zip, QStringLiteral("run.txt"));
    writer.text = QString(4000, QLatin1Char('a'));
    QVERIFY(writer.writeEntry(m_zip));
    TextEntryParser second(m_zip, QStringLiteral("second"));
    second.text = QStringLiteral("b");
    QVERIFY(second.writeEntry(m_zip)); // adds to the existing archive

    QuaZip zip(m_zip);
    QVERIFY(zip.open(QuaZip::mdUnzip));
    QCOMPARE(zip.getEntriesCount(), 2);
    QVERIFY(zip.setCurrentFile(QStringLiteral("run.txt")));
    QuaZipFileInfo64 info;
    QVERIFY(zip.getCurrentFileInfo(&info));
    QCOMPARE(int(info.method), 8);
    QVERIFY(info.compressedSize < info.uncompressedSize / 10);
}

void TestFraming::wrongHeaderTypeIsRefused()
{
    // An entry whose header says type 4 is handed to a reader of type 9.
    QuaZip zip(m_zip);
    QVERIFY(zip.open(QuaZip::mdCreate));
    QuaZipFile f(&zip);
    QVERIFY(f.open(QIODevice::WriteOnly, QuaZipNewInfo(QStringLiteral("run.txt"))));
    QDataStream ds(&f);
    EntryHeader::make(4, 0).write(ds);
    ds << QStringLiteral("x");
    f.close();
    zip.close();
    TextEntryParser reader(m_zip, QStringLiteral("run.txt"));
    QVERIFY(!reader.parse());
    QCOMPARE(reader.headerType, 4);
    QVERIFY(reader.text.isEmpty());
}

void TestFraming::missingEntryOrArchive()
{
    TextEntryParser noArchive(m_dir.filePath(QStringLiteral("absent.imrs")), QStringLiteral("run.txt"));
    QVERIFY(noArchive.getPassword().isEmpty());
    QVERIFY(!noArchive.parse());

    QVERIFY(EntryTest::writePasswordEntry(m_zip, QString()));
    TextEntryParser noEntry(m_zip, QStringLiteral("run.txt"));
    QVERIFY(!noEntry.parse());

    // A file that is not a zip at all.
    const QString junk = m_dir.filePath(QStringLiteral("junk.imrs"));
    QFile j(junk);
    QVERIFY(j.open(QIODevice::WriteOnly));
    j.write("this is not an archive");
    j.close();
    TextEntryParser notZip(junk, QStringLiteral("run.txt"));
    QVERIFY(!notZip.parse());
    QVERIFY(!notZip.writeEntry(junk));
}

void TestFraming::brokenPasswordEntry()
{
    // A truncated password entry counts as no password.
    QuaZip zip(m_zip);
    QVERIFY(zip.open(QuaZip::mdCreate));
    QuaZipFile f(&zip);
    QVERIFY(f.open(QIODevice::WriteOnly, QuaZipNewInfo(QStringLiteral("password"))));
    QDataStream ds(&f);
    ds << qint32(1) << QStringLiteral("a") << QStringLiteral("secret");
    f.close();
    zip.close();
    QVERIFY(AnalysisFileParser::readArchivePassword(m_zip).isEmpty());
}

LUMARA_TEST_MAIN(TestFraming)
#include "tst_framing.moc"
