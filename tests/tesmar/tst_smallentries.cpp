// The device-parameter manager and the "run.dps" and "run.cmtx" entries.
#include "entrytestsupport.h"
#include "io/compensationmatrixfileparser.h"
#include "io/devparasfileparser.h"
#include "io/recordstream.h"
#include "model/compensationmatrixmgr.h"
#include "model/devparasmgr.h"
#include "testmain.h"

using namespace LumaraAnalysisData;
using Paras = QVector<ScanningParameterInfo>;

namespace {

DevParasInfoOfWells threeWells()
{
    DevParasInfoOfWells p;
    p.serialNumber = QStringLiteral("SN1");
    p.paras.insert(3, Paras{{30, 0.5}});
    p.paras.insert(1, Paras{{10, 1.5}});
    p.paras.insert(2, Paras{{20, 2.0}, {21, 2.5}});
    return p;
}

// A version-0 body: serial number, then one parameter vector for every well.
QByteArray version0Body(const QString &serial, const Paras &paras)
{
    QByteArray body;
    QDataStream ds(&body, QIODevice::WriteOnly);
    ds << serial << quint32(paras.size());
    for (const ScanningParameterInfo &s : paras)
        ds << s.exposureTime << s.focus;
    return body;
}

QByteArray matrixImage()
{
    QByteArray m(336, '\0');
    for (int i = 0; i < m.size(); ++i)
        m[i] = char(i * 7);
    return m;
}

} // namespace

class TestSmallEntries : public QObject {
    Q_OBJECT
private slots:
    void init();
    void devParasManager();
    void dpsRoundTrip_data();
    void dpsRoundTrip();
    void dpsVersion0();
    void dpsRefused_data();
    void dpsRefused();
    void dpsTruncationSweep_data();
    void dpsTruncationSweep();
    void cmtxRoundTrip_data();
    void cmtxRoundTrip();
    void cmtxEmptyMatrixKeepsManager_data();
    void cmtxEmptyMatrixKeepsManager();
    void cmtxRefused_data();
    void cmtxRefused();
    void cmtxTruncationSweep();
    void emptySlots();

private:
    QTemporaryDir m_dir;
    QString m_zip;
};

void TestSmallEntries::init()
{
    static int n = 0;
    m_zip = m_dir.filePath(QStringLiteral("small%1.arlx").arg(++n));
}

void TestSmallEntries::devParasManager()
{
    DevParasMgr mgr;
    QVERIFY(mgr.getDevSn().isNull());
    DevParasInfoOfWells shared;
    shared.serialNumber = QStringLiteral("DEV-7");
    shared.paras.insert(0, Paras{{100, 0.25}});
    mgr.setDevParas(shared);
    QCOMPARE(mgr.getDevSn(), QStringLiteral("DEV-7"));
    QVERIFY(mgr.getScanningParas(4).isEmpty()); // no fall-back to id 0 here
    QCOMPARE(mgr.getScanningParas(0), (Paras{{100, 0.25}}));

    QMap<uint, Paras> merged;
    merged.insert(0, Paras{{5, 5.0}});
    merged.insert(4, Paras{{6, 6.0}});
    mgr.addDevParasInfoOfWells(merged);
    QCOMPARE(mgr.getScanningParas(0), (Paras{{5, 5.0}})); // same id overwritten
    QCOMPARE(mgr.getScanningParas(4), (Paras{{6, 6.0}}));
    QCOMPARE(mgr.getDevParas().paras.size(), 2);
    const DevParasInterface &iface = mgr;
    QCOMPARE(iface.getDevSn(), QStringLiteral("DEV-7"));
}

void TestSmallEntries::dpsRoundTrip_data()
{
    QTest::addColumn<QString>("password");
    QTest::newRow("no password entry") << QString();
    QTest::newRow("password") << QStringLiteral("Run#5");
}

void TestSmallEntries::dpsRoundTrip()
{
    QFETCH(QString, password);
    if (!password.isEmpty())
        QVERIFY(EntryTest::writePasswordEntry(m_zip, password));
    DevParasMgr source;
    source.setDevParas(threeWells());
    DevParasMgr *slot = &source;
    DevParasFileParser writer(m_zip, &slot);
    QVERIFY(writer.writeEntry(m_zip));
    QCOMPARE(EntryTest::isEncrypted(m_zip, QStringLiteral("run.dps")), !password.isEmpty());

    bool ok = false;
    const QByteArray raw = EntryTest::readRawEntry(m_zip, QStringLiteral("run.dps"), password, &ok);
    QVERIFY(ok);
    QCOMPARE(raw.left(8), QByteArray::fromHex("0000000300000001")); // type 3, version 1
    // Serial "SN1", three entries in descending key order 3, 2, 1.
    QCOMPARE(raw.mid(28), QByteArray::fromHex("00000006" "0053004e0031" "00000003"
                                              "00000003" "00000001" "0000001e" "3fe0000000000000"
                                              "00000002" "00000002" "00000014" "4000000000000000"
                                              "00000015" "4004000000000000"
                                              "00000001" "00000001" "0000000a" "3ff8000000000000"));

    DevParasMgr target;
    slot = &target;
    DevParasFileParser reader(m_zip, &slot);
    QVERIFY(reader.parse());
    QCOMPARE(reader.version(), 1);
    QCOMPARE(target.getDevParas(), threeWells());
}

void TestSmallEntries::dpsVersion0()
{
    const Paras six{{1, 0.1}, {2, 0.2}, {3, 0.3}, {4, 0.4}, {5, 0.5}, {6, 0.6}};
    QVERIFY(EntryTest::writePasswordEntry(m_zip, QStringLiteral("pw")));
    QVERIFY(EntryTest::writeRawEntry(m_zip, QStringLiteral("run.dps"),
                                     EntryTest::entryBytes(3, 0, version0Body("SN0", six)),
                                     QStringLiteral("pw")));
    DevParasMgr mgr;
    DevParasMgr *slot = &mgr;
    DevParasFileParser reader(m_zip, &slot);
    QVERIFY(reader.parse());
    QCOMPARE(reader.version(), 0);
    QCOMPARE(mgr.getDevSn(), QStringLiteral("SN0"));
    QCOMPARE(mgr.getDevParas().paras.keys(), QList<uint>{0});
    QCOMPARE(mgr.getScanningParas(0), six);

    // Saved again it becomes version 1 with the single key 0, and reads back the same.
    const QString saved = m_dir.filePath(QStringLiteral("saved.arlx"));
    QVERIFY(reader.writeEntry(saved));
    bool ok = false;
    const QByteArray raw = EntryTest::readRawEntry(saved, QStringLiteral("run.dps"), QStringLiteral("pw"), &ok);
    QVERIFY(ok);
    QCOMPARE(raw.mid(4, 4), QByteArray::fromHex("00000001"));
    DevParasMgr again;
    slot = &again;
    DevParasFileParser reread(saved, &slot);
    QCOMPARE(reread.getPassword(), QString()); // the new archive has no password entry
    reread.setPassword(QStringLiteral("pw"));
    QVERIFY(reread.parse());
    QCOMPARE(again.getDevParas(), mgr.getDevParas());
}

void TestSmallEntries::dpsRefused_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("version");
    QTest::addColumn<QByteArray>("body");
    const QByteArray v0 = version0Body("SN", Paras{{1, 1.0}});
    QTest::newRow("version 2") << 3 << 2 << v0;
    QTest::newRow("type of run.cmtx") << 4 << 0 << v0;
    QTest::newRow("type of run.exp, version 1") << 1 << 1 << v0;
    // Counts far beyond the data: refused without reserving for them.
    QTest::newRow("forged map count") << 3 << 1 << QByteArray::fromHex("ffffffff7fffffff0000000100000000");
    QTest::newRow("forged vector count") << 3 << 0 << QByteArray::fromHex("ffffffff40000000");
}

void TestSmallEntries::dpsRefused()
{
    QFETCH(int, type);
    QFETCH(int, version);
    QFETCH(QByteArray, body);
    QVERIFY(EntryTest::writeRawEntry(m_zip, QStringLiteral("run.dps"),
                                     EntryTest::entryBytes(type, version, body), QString()));
    DevParasMgr mgr;
    mgr.setDevParas(threeWells());
    DevParasMgr *slot = &mgr;
    DevParasFileParser reader(m_zip, &slot);
    QVERIFY(!reader.parse());
    QCOMPARE(mgr.getDevParas(), threeWells());
}

void TestSmallEntries::dpsTruncationSweep_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<QByteArray>("body");
    QByteArray v1;
    QDataStream ds(&v1, QIODevice::WriteOnly);
    const DevParasInfoOfWells p = threeWells();
    ds << p.serialNumber;
    writeContainer(ds, p.paras);
    QTest::newRow("version 1") << 1 << v1;
    QTest::newRow("version 0") << 0 << version0Body("SN0", Paras{{1, 0.1}, {2, 0.2}});
}

void TestSmallEntries::dpsTruncationSweep()
{
    QFETCH(int, version);
    QFETCH(QByteArray, body);
    const QByteArray full = EntryTest::entryBytes(3, version, body);
    DevParasInfoOfWells untouched;
    untouched.serialNumber = QStringLiteral("before");
    untouched.paras.insert(8, Paras{{8, 8.0}});
    for (int len = 0; len <= full.size(); ++len) {
        const QString zip = m_dir.filePath(QStringLiteral("dps%1_%2.arlx").arg(version).arg(len));
        QVERIFY(EntryTest::writeRawEntry(zip, QStringLiteral("run.dps"), full.left(len), QString()));
        DevParasMgr mgr;
        mgr.setDevParas(untouched);
        DevParasMgr *slot = &mgr;
        DevParasFileParser reader(zip, &slot);
        const bool complete = len == full.size();
        QCOMPARE(reader.parse(), complete);
        if (!complete)
            QCOMPARE(mgr.getDevParas(), untouched);
    }
}

void TestSmallEntries::cmtxRoundTrip_data()
{
    QTest::addColumn<QString>("password");
    QTest::newRow("no password entry") << QString();
    QTest::newRow("password") << QStringLiteral("matrix");
}

void TestSmallEntries::cmtxRoundTrip()
{
    QFETCH(QString, password);
    if (!password.isEmpty())
        QVERIFY(EntryTest::writePasswordEntry(m_zip, password));
    CompensationMatrixMgr source;
    source.setMatrixBuf(matrixImage());
    CompensationMatrixMgr *slot = &source;
    CompensationMatrixFileParser writer(m_zip, &slot);
    QVERIFY(writer.writeEntry(m_zip));
    QCOMPARE(EntryTest::isEncrypted(m_zip, QStringLiteral("run.cmtx")), !password.isEmpty());

    bool ok = false;
    const QByteArray raw = EntryTest::readRawEntry(m_zip, QStringLiteral("run.cmtx"), password, &ok);
    QVERIFY(ok);
    QCOMPARE(raw.size(), 28 + 4 + 336);
    QCOMPARE(raw.left(8), QByteArray::fromHex("0000000400000000"));
    QCOMPARE(raw.mid(28, 4), QByteArray::fromHex("00000150")); // 336 bytes follow

    CompensationMatrixMgr target;
    slot = &target;
    CompensationMatrixFileParser reader(m_zip, &slot);
    QVERIFY(reader.parse());
    QVERIFY(target.isApplied());
    QCOMPARE(target.getMatrixBuf(), matrixImage());
}

void TestSmallEntries::cmtxEmptyMatrixKeepsManager_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("preset");
    QTest::newRow("empty array, manager set") << QByteArray::fromHex("00000000") << true;
    QTest::newRow("null array, manager set") << QByteArray::fromHex("ffffffff") << true;
    QTest::newRow("empty array, fresh manager") << QByteArray::fromHex("00000000") << false;
}

void TestSmallEntries::cmtxEmptyMatrixKeepsManager()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, preset);
    QVERIFY(EntryTest::writeRawEntry(m_zip, QStringLiteral("run.cmtx"), EntryTest::entryBytes(4, 0, body),
                                     QString()));
    CompensationMatrixMgr mgr;
    if (preset)
        mgr.setMatrixBuf(matrixImage());
    CompensationMatrixMgr *slot = &mgr;
    CompensationMatrixFileParser reader(m_zip, &slot);
    QVERIFY(reader.parse());
    QCOMPARE(mgr.isApplied(), preset);
    QCOMPARE(mgr.getMatrixBuf(), preset ? matrixImage() : QByteArray());
}

void TestSmallEntries::cmtxRefused_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("version");
    QTest::addColumn<QByteArray>("body");
    const QByteArray one = QByteArray::fromHex("00000001aa");
    QTest::newRow("version 1") << 4 << 1 << one;
    QTest::newRow("type of run.dps") << 3 << 0 << one;
    QTest::newRow("forged length") << 4 << 0 << QByteArray::fromHex("7ffffff0aabbcc");
}

void TestSmallEntries::cmtxRefused()
{
    QFETCH(int, type);
    QFETCH(int, version);
    QFETCH(QByteArray, body);
    QVERIFY(EntryTest::writeRawEntry(m_zip, QStringLiteral("run.cmtx"),
                                     EntryTest::entryBytes(type, version, body), QString()));
    CompensationMatrixMgr mgr;
    CompensationMatrixMgr *slot = &mgr;
    CompensationMatrixFileParser reader(m_zip, &slot);
    QVERIFY(!reader.parse());
    QVERIFY(!mgr.isApplied());
    QVERIFY(mgr.getMatrixBuf().isEmpty());
}

void TestSmallEntries::cmtxTruncationSweep()
{
    QByteArray body;
    QDataStream ds(&body, QIODevice::WriteOnly);
    ds << matrixImage();
    const QByteArray full = EntryTest::entryBytes(4, 0, body);
    for (int len = 0; len <= full.size(); ++len) {
        const QString zip = m_dir.filePath(QStringLiteral("cmtx%1.arlx").arg(len));
        QVERIFY(EntryTest::writePasswordEntry(zip, QStringLiteral("k")));
        QVERIFY(EntryTest::writeRawEntry(zip, QStringLiteral("run.cmtx"), full.left(len), QStringLiteral("k")));
        CompensationMatrixMgr mgr;
        CompensationMatrixMgr *slot = &mgr;
        CompensationMatrixFileParser reader(zip, &slot);
        const bool complete = len == full.size();
        QCOMPARE(reader.parse(), complete);
        QCOMPARE(mgr.isApplied(), complete);
        QCOMPARE(mgr.getMatrixBuf(), complete ? matrixImage() : QByteArray());
    }
}

void TestSmallEntries::emptySlots()
{
    DevParasMgr *noDev = nullptr;
    CompensationMatrixMgr *noMatrix = nullptr;
    DevParasFileParser dps(m_zip, &noDev);
    QVERIFY(!dps.writeEntry(m_zip));
    QVERIFY(!CompensationMatrixFileParser(m_zip, &noMatrix).writeEntry(m_zip));
    // The slot is read at the time of use: a manager put in later is written.
    DevParasMgr mgr;
    mgr.setDevParas(threeWells());
    noDev = &mgr;
    const QString other = m_dir.filePath(QStringLiteral("late.arlx"));
    QVERIFY(dps.writeEntry(other));
    DevParasMgr target;
    DevParasMgr *slot = &target;
    QVERIFY(DevParasFileParser(other, &slot).parse());
    QCOMPARE(target.getDevParas(), threeWells());
}

LUMARA_TEST_MAIN(TestSmallEntries)
#include "tst_smallentries.moc"
