// Byte layouts of the run-archive entry writers, against bytes worked out by hand, and the
// archive writer (passwords, stored and deflated entries, repeatable bytes).
#include "pkgwriter.h"
#include "testmain.h"

#include <QTemporaryDir>
#include <quazip.h>
#include <quazipfile.h>

using namespace PkgWriter;

namespace {

// "0000 0001 ab" -> bytes; spaces and line breaks are only for reading.
QByteArray hex(const char *text)
{
    QByteArray digits(text);
    digits.replace(' ', "").replace('\n', "");
    return QByteArray::fromHex(digits);
}

const char *const HeaderType2V0 = "00000002 00000000 ffffffff ffffffff ffffffff 0000000000000000";
const char *const HeaderType2V1 = "00000002 00000001 ffffffff ffffffff ffffffff 0000000000000000";

Pcr3Body smallPcr3Body()
{
    Pcr3Body b;
    Pcr3ExpInfo e;
    e.wellId = 1;
    e.refChannel = 2;
    e.imageNameSets = {{QStringLiteral("a"), QStringLiteral("")}, {QStringLiteral("b")}};
    b.expInfos = {e};

    Pcr3DropletData d;
    d.wellId = 1;
    d.valid = true;
    d.sharpness = 1.5;
    d.counter = 7;
    Pcr3Droplet drop;
    drop.x = 10;
    drop.y = 20;
    drop.size = 23;
    drop.lists[0] = {1};
    drop.lists[2] = {5000};
    d.droplets = {drop};
    d.channelLists = {{10000}};
    b.dropletData = {d};

    Pcr3Classify c;
    c.wellId = 1;
    c.roxValue = 12000.0;
    c.roxChannel = 2;
    c.excluded = {3, 3};
    c.pairs = {{{9000}, {}}};
    c.figures = {{1.0, 2.0, 3.0, 4.0, 5.0, 6.0}};
    b.classifications = {c};

    Pcr3WellResult r;
    r.wellId = 1;
    r.first = QString();
    r.second = QStringLiteral("b");
    r.effDrpltNum = 100;
    Pcr3TargetResult t;
    t.targetName = QStringLiteral("T");
    t.fraction = 0.25;
    t.positives = 25;
    t.negatives = 75;
    t.concentration = 0.5;
    t.lower = 0.25;
    t.upper = 1.0;
    t.uncertainty = -1.0;
    t.flag = true;
    r.results = {t};
    b.results = {r};
    return b;
}

// Lists 2 to 4 of the small body, the same in both layouts.
const char *const Pcr3Tail =
    // list 2: one record; id 1, valid, sharpness 1.5, counter 7
    "00000001 00000001 01 3ff8000000000000 00000007"
    // one droplet: 10, 20, 23, then seven lists {1} {} {5000} {} {} {} {}
    "00000001 0000000a 00000014 00000017"
    "00000001 00000001  00000000  00000001 00001388  00000000 00000000 00000000 00000000"
    // per-channel lists: {10000}
    "00000001 00000001 00002710"
    // list 3: id 1, 12000.0, channel 2, excluded {3, 3}
    "00000001 00000001 40c7700000000000 00000002 00000002 00000003 00000003"
    // pairs: ({9000}, {})
    "00000001 00000001 00002328 00000000"
    // figures: 1.0 .. 6.0
    "00000001 3ff0000000000000 4000000000000000 4008000000000000 4010000000000000"
    "4014000000000000 4018000000000000"
    // list 4: id 1, null string, "b", 100 droplets
    "00000001 00000001 ffffffff 00000002 0062 00000064"
    // one target result: "T", 0.25, 25, 75, 0.5, 0.25, 1.0, -1.0, true
    "00000001 00000002 0054 3fd0000000000000 00000019 0000004b 3fe0000000000000"
    "3fd0000000000000 3ff0000000000000 bff0000000000000 01";

Pcr1Well smallPcr1Well()
{
    Pcr1Well w;
    w.number = 0;
    w.imageNames = QStringList{QStringLiteral("r"), QStringLiteral("c")};
    w.valid = true;
    w.chanEntries = {{0, 9000}};
    Pcr1Droplet d;
    d.x = 1;
    d.y = 2;
    d.size = 3;
    d.grays = {20000};
    d.refGray = 12000;
    w.drplts = {d};
    w.excluded = {4};
    w.counts = {0, 0, 0, 1};
    w.value = 0.0;
    Pcr1ChanStat s;
    s.posDrpltNum = 1;
    s.values = {0.0, 2.5, 0.0, 0.0, 0.0, 0.0};
    w.chanStats = {s};
    return w;
}

QByteArray readEntry(const QString &zip, const QString &name, const char *password, bool *ok)
{
    QuaZipFile f(zip, name);
    *ok = f.open(QIODevice::ReadOnly, password);
    if (!*ok)
        return {};
    const QByteArray data = f.readAll();
    f.close();
    *ok = f.getZipError() == 0;
    return data;
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestPkgWriter : public QObject {
    Q_OBJECT

private slots:
    void entryBytes_data();
    void entryBytes();
    void matrixImage_data();
    void matrixImage();
    void archive_data();
    void archive();
    void archiveRepeatsBytes();
    void archiveRefusesMissingFolder();
};

void TestPkgWriter::entryBytes_data()
{
    QTest::addColumn<QByteArray>("actual");
    QTest::addColumn<QByteArray>("expected");

    const Pcr3Body b = smallPcr3Body();
    // Layout 3.0: the first name set only, as a plain list ("a", "").
    QTest::newRow("run.pcr layout 3.0")
        << pcr3Entry(b, 0)
        << hex(HeaderType2V0) + hex("00000001 00000001 00000002 00000002 00000002 0061 00000000")
               + hex(Pcr3Tail);
    // Layout 3.1: a list of two sets, ("a", "") and ("b").
    QTest::newRow("run.pcr layout 3.1")
        << pcr3Entry(b, 1)
        << hex(HeaderType2V1)
               + hex("00000001 00000001 00000002 00000002"
                     " 00000002 00000002 0061 00000000 00000001 00000002 0062")
               + hex(Pcr3Tail);
    Pcr3Body empty;
    QTest::newRow("run.pcr, four empty lists")
        << pcr3Body(empty, 1) << hex("00000000 00000000 00000000 00000000");
    Pcr3Body noSets;
    noSets.expInfos = {Pcr3ExpInfo{}};
    noSets.expInfos[0].wellId = 5;
    // A 3.0 record without any set still writes an (empty) name list.
    QTest::newRow("run.pcr layout 3.0, no names")
        << pcr3Body(noSets, 0).left(16) << hex("00000001 00000005 00000002 00000000");

    QTest::newRow("run.pcr of .expzip")
        << pcr1Entry({smallPcr1Well()})
        << hex("00000001"                                     // one well
               "00000000"                                     // number
               "00000002 00000002 0072 00000002 0063"         // "r", "c"
               "01"                                           // valid
               "00000001 00000000 00002328"                   // entry: target 0, threshold 9000
               "00000001 00000001 00000002 00000003"          // droplet 1, 2, 3
               "00000000 00000001 00004e20 00002ee0"          // {}, {20000}, 12000
               "00000001 00000004"                            // excluded {4}
               "00000000"                                     // unused list
               "00000000 00000000 00000000 00000001"          // counts, effective 1
               "0000000000000000"                             // 0.0
               "00000001 00000001"                            // one stat, 1 positive
               "0000000000000000 4004000000000000 0000000000000000"
               "0000000000000000 0000000000000000 0000000000000000");

    QTest::newRow("run.dps version 0")
        << dpsEntryV0(QStringLiteral("S"), {{100, 0.5}})
        << hex("00000003 00000000 ffffffff ffffffff ffffffff 0000000000000000"
               "00000002 0053 00000001 00000064 3fe0000000000000");
    QMap<quint32, QVector<ScanParam>> params;
    params.insert(1, {{100, 0.5}});
    params.insert(3, {{7, -1.0}});
    params.insert(2, {});
    // Keys from the highest down: 3, 2, 1.
    QTest::newRow("run.dps version 1")
        << dpsEntryV1(QStringLiteral("S"), params, 0x1234)
        << hex("00000003 00000001 ffffffff ffffffff ffffffff 0000000000001234"
               "00000002 0053 00000003"
               "00000003 00000001 00000007 bff0000000000000"
               "00000002 00000000"
               "00000001 00000001 00000064 3fe0000000000000");
    QTest::newRow("run.dps version 1, null serial, no wells")
        << dpsBodyV1(QString(), {}) << hex("ffffffff 00000000");

    const QByteArray cmtxHeader = hex("00000004 00000000 ffffffff ffffffff ffffffff 0000000000000000");
    QTest::newRow("run.cmtx, empty array") << cmtxEntry(QByteArray("")) << cmtxHeader + hex("00000000");
    QTest::newRow("run.cmtx, null array") << cmtxEntry(QByteArray()) << cmtxHeader + hex("ffffffff");
    const QByteArray image = matrixBytes(MatrixImage::identity());
    QTest::newRow("run.cmtx, matrix") << cmtxEntry(image) << cmtxHeader + hex("00000150") + image;

    // 1, 4, 7, 3, 0: 28 header bytes and 20 body bytes.
    QTest::newRow("fileMgrLog")
        << fileLogEntry({1, 4, 7, 3, 0})
        << hex("00000000 00000000 ffffffff ffffffff ffffffff 0000000000000000"
               "00000001 00000004 00000007 00000003 00000000");
}

void TestPkgWriter::entryBytes()
{
    QFETCH(QByteArray, actual);
    QFETCH(QByteArray, expected);
    QCOMPARE(actual.toHex(), expected.toHex());
}

void TestPkgWriter::matrixImage_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("expected");
    // matrix[1][0] = 0.25, matrix[4][5] = -0.125, background[5] = 800; the rest the identity.
    QTest::newRow("(0,0) = 1.0") << 0 << hex("000000000000f03f");
    QTest::newRow("(1,0) = 0.25 at 8*(6*1+0)") << 48 << hex("000000000000d03f");
    QTest::newRow("(4,5) = -0.125 at 8*29") << 232 << hex("000000000000c0bf");
    QTest::newRow("(5,5) = 1.0 at 8*35") << 280 << hex("000000000000f03f");
    QTest::newRow("background 5 = 800 at 288+40") << 328 << hex("0000000000008940");
}

void TestPkgWriter::matrixImage()
{
    QFETCH(int, offset);
    QFETCH(QByteArray, expected);
    MatrixImage m = MatrixImage::identity();
    m.matrix[1][0] = 0.25;
    m.matrix[4][5] = -0.125;
    m.background[5] = 800.0;
    const QByteArray bytes = matrixBytes(m);
    QCOMPARE(bytes.size(), 336);
    QCOMPARE(bytes.mid(offset, 8).toHex(), expected.toHex());
}

void TestPkgWriter::archive_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("level");
    QTest::newRow("plain, deflated") << QString() << -1;
    QTest::newRow("plain, stored") << QString() << 0;
    QTest::newRow("password, deflated") << QStringLiteral("s3cr\u00e9t") << 1;
    QTest::newRow("password, stored") << QStringLiteral("pw") << 0;
}

void TestPkgWriter::archive()
{
    QFETCH(QString, password);
    QFETCH(int, level);
    QTemporaryDir dir;
    const QString path = dir.filePath("a.imrs");
    const QByteArray big(200000, 'x');
    ArchiveWriter w;
    QVERIFY(w.create(path));
    QVERIFY(w.add("password", passwordEntry(password)));
    QVERIFY(w.add("run.dps", dpsEntryV0("S", {}), password, level));
    QVERIFY(w.add("capture/x.png", big, password, level));
    QVERIFY(w.close());

    const QByteArray pw = password.toLatin1();
    const char *pwArg = password.isEmpty() ? nullptr : pw.constData();
    bool ok = false;
    QCOMPARE(readEntry(path, "password", nullptr, &ok), passwordEntry(password));
    QVERIFY(ok);
    QCOMPARE(readEntry(path, "run.dps", pwArg, &ok), dpsEntryV0("S", {}));
    QVERIFY(ok);
    QCOMPARE(readEntry(path, "capture/x.png", pwArg, &ok), big);
    QVERIFY(ok);
    if (!password.isEmpty()) {
        // The wrong password must not give the data back.
        const QByteArray data = readEntry(path, "capture/x.png", "wrong", &ok);
        QVERIFY(!ok || data != big);
    }
    // The compressed size tells stored from deflated.
    QuaZip zip(path);
    QVERIFY(zip.open(QuaZip::mdUnzip));
    QVERIFY(zip.setCurrentFile("capture/x.png"));
    QuaZipFileInfo64 info;
    QVERIFY(zip.getCurrentFileInfo(&info));
    QCOMPARE(info.method, quint16(level == 0 ? 0 : 8));
    if (level != 0)
        QVERIFY(info.compressedSize < 10000);
    QCOMPARE(info.dateTime, QDateTime(QDate(2024, 3, 1), QTime(9, 30)));
}

void TestPkgWriter::archiveRepeatsBytes()
{
    QTemporaryDir dir;
    const QString a = dir.filePath("a.imrs");
    const QString b = dir.filePath("b.imrs");
    for (const QString &path : {a, b}) {
        ArchiveWriter w;
        QVERIFY(w.create(path));
        QVERIFY(w.add("run.cmtx", cmtxEntry(matrixBytes(MatrixImage::identity()))));
        QVERIFY(w.add("fileMgrLog", fileLogEntry({1, 2, 3, 4, 5})));
        QVERIFY(w.close());
    }
    const QByteArray first = fileBytes(a);
    QVERIFY(!first.isEmpty());
    QCOMPARE(fileBytes(b), first);

    // Creating over an existing archive replaces it rather than appending.
    ArchiveWriter w;
    QVERIFY(w.create(a));
    QVERIFY(w.add("only", "1"));
    QVERIFY(w.close());
    QuaZip zip(a);
    QVERIFY(zip.open(QuaZip::mdUnzip));
    QCOMPARE(zip.getFileNameList(), QStringList{"only"});
}

void TestPkgWriter::archiveRefusesMissingFolder()
{
    QTemporaryDir dir;
    ArchiveWriter w;
    QVERIFY(!w.create(dir.filePath("no/such/folder/a.imrs")));
    QVERIFY(!w.errorString().isEmpty());
    QVERIFY(!w.add("x", "y"));
    QVERIFY(!w.close());
}

LUMARA_TEST_MAIN(TestPkgWriter)
#include "tst_pkgwriter.moc"
