// Id counters and the "fileMgrLog" entry.
#include "entrytestsupport.h"
#include "io/filelogpaser.h"
#include "model/filelogmgr.h"
#include "testmain.h"

using namespace LumaraAnalysisData;
using Log = FileLogMgr::Log;

Q_DECLARE_METATYPE(FileLogMgr::Log)

namespace {

WellItemInfo well(quint32 id)
{
    WellItemInfo w;
    w.wellId = id;
    return w;
}

ExpItemInfo experiment(quint32 id)
{
    ExpItemInfo e;
    e.id = id;
    return e;
}

} // namespace

class TestFileLog : public QObject {
    Q_OBJECT
private slots:
    void init();
    void rebuild_data();
    void rebuild();
    void derive3DPlotCounter();
    void roundTrip_data();
    void roundTrip();
    void refusedHeaders_data();
    void refusedHeaders();
    void truncationSweep();
    void missingEntryOrManager();

private:
    QTemporaryDir m_dir;
    QString m_zip;
};

void TestFileLog::init()
{
    static int n = 0;
    m_zip = m_dir.filePath(QStringLiteral("log%1.arlx").arg(++n));
}

void TestFileLog::rebuild_data()
{
    QTest::addColumn<QList<quint32>>("wellIds");
    QTest::addColumn<QList<quint32>>("expIds");
    QTest::addColumn<QList<quint32>>("zoneIds");
    QTest::addColumn<QList<quint32>>("plot3DIds");
    QTest::addColumn<Log>("expected");
    QTest::newRow("empty") << QList<quint32>() << QList<quint32>() << QList<quint32>()
                           << QList<quint32>() << Log{0, 0, 0, 0, 0, 0};
    QTest::newRow("last well 12, no zones") << QList<quint32>{4, 7, 12} << QList<quint32>{1}
                                            << QList<quint32>() << QList<quint32>()
                                            << Log{1, 12, 0, 0, 0, 0};
    // Instrument archives may list wells out of order: the largest id counts, not the last.
    QTest::newRow("wells 3, 1, 2") << QList<quint32>{3, 1, 2} << QList<quint32>{2, 1}
                                   << QList<quint32>{5, 9, 2} << QList<quint32>{4, 1}
                                   << Log{2, 3, 9, 0, 0, 4};
}

void TestFileLog::rebuild()
{
    QFETCH(QList<quint32>, wellIds);
    QFETCH(QList<quint32>, expIds);
    QFETCH(QList<quint32>, zoneIds);
    QFETCH(QList<quint32>, plot3DIds);
    QFETCH(Log, expected);

    AnalysisExpGlobalInfo exp;
    for (quint32 id : wellIds)
        exp.wells.append(well(id));
    for (quint32 id : expIds)
        exp.experiments.append(experiment(id));
    ClassifyGlobalInfo cls;
    for (quint32 id : zoneIds)
        cls.zones.append(DrpltZoneInfo{id, 0, {}});
    CustomizedPlotGlobalInfo plots;
    for (quint32 id : plot3DIds)
        plots.plots3D.append(Customized3DPlotInfo{id, QStringLiteral("p"), 1, 2, 3});

    FileLogMgr log;
    log.setLog(Log{99, 99, 99, 99, 99, 99}); // everything is replaced
    log.rebuild(exp, cls, plots);
    QCOMPARE(log.getLog(), expected);

    // A merge after the rebuild must not repeat a well id already held.
    const quint32 nextWell = log.getLog()[FileLogMgr::WellCounter] + 1;
    QVERIFY(!wellIds.contains(nextWell));
}

void TestFileLog::derive3DPlotCounter()
{
    const QList<Customized3DPlotInfo> plots{{2, "a", 1, 2, 3}, {7, "b", 1, 2, 3}, {5, "c", 1, 2, 3}};
    FileLogMgr log;
    log.derive3DPlotCounter(plots);
    QCOMPARE(log.getLog()[FileLogMgr::Plot3DCounter], 7u);
    QCOMPARE(log.next3DPlotId(), 8u);
    log.derive3DPlotCounter(plots); // never lowers a counter ahead of the plots
    QCOMPARE(log.getLog()[FileLogMgr::Plot3DCounter], 8u);
}

void TestFileLog::roundTrip_data()
{
    QTest::addColumn<QString>("password");
    QTest::newRow("no password entry") << QString();
    QTest::newRow("password") << QStringLiteral("dPCR-42");
}

void TestFileLog::roundTrip()
{
    QFETCH(QString, password);
    if (!password.isEmpty())
        QVERIFY(EntryTest::writePasswordEntry(m_zip, password));

    FileLogMgr source;
    source.setLog(Log{7, 12, 5, 3, 9, 4});
    FileLogMgr *slot = &source;
    FileLogPaser writer(m_zip, &slot);
    QCOMPARE(writer.getPassword(), password);
    QVERIFY(writer.writeEntry(m_zip));
    QCOMPARE(EntryTest::isEncrypted(m_zip, QStringLiteral("fileMgrLog")), !password.isEmpty());

    bool ok = false;
    const QByteArray raw = EntryTest::readRawEntry(m_zip, QStringLiteral("fileMgrLog"), password, &ok);
    QVERIFY(ok);
    QCOMPARE(raw.size(), 48); // 28-byte header + five int32
    QCOMPARE(raw.left(20), QByteArray::fromHex("0000000000000000ffffffffffffffffffffffff"));
    QCOMPARE(raw.mid(28), QByteArray::fromHex("000000070000000c000000050000000300000009"));

    // The reader fills counters 0-4; the 3D counter is not stored and stays as it was.
    FileLogMgr target;
    target.setLog(Log{0, 0, 0, 0, 0, 11});
    slot = &target;
    FileLogPaser reader(m_zip, &slot);
    QVERIFY(reader.parse());
    QCOMPARE(target.getLog(), (Log{7, 12, 5, 3, 9, 11}));
    QCOMPARE(reader.version(), 0);
}

void TestFileLog::refusedHeaders_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("version");
    QTest::newRow("version 1") << 0 << 1;
    QTest::newRow("type of run.dps") << 3 << 0;
}

void TestFileLog::refusedHeaders()
{
    QFETCH(int, type);
    QFETCH(int, version);
    const QByteArray body = QByteArray::fromHex("0000000100000002000000030000000400000005");
    QVERIFY(EntryTest::writeRawEntry(m_zip, QStringLiteral("fileMgrLog"),
                                     EntryTest::entryBytes(type, version, body), QString()));
    FileLogMgr target;
    target.setLog(Log{9, 8, 7, 6, 5, 4});
    FileLogMgr *slot = &target;
    FileLogPaser reader(m_zip, &slot);
    QVERIFY(!reader.parse());
    QCOMPARE(target.getLog(), (Log{9, 8, 7, 6, 5, 4}));
}

void TestFileLog::truncationSweep()
{
    const QByteArray full = EntryTest::entryBytes(
        0, 0, QByteArray::fromHex("0000000100000002000000030000000400000005"));
    QCOMPARE(full.size(), 48);
    for (int len = 0; len <= full.size(); ++len) {
        const QString zip = m_dir.filePath(QStringLiteral("cut%1.arlx").arg(len));
        QVERIFY(EntryTest::writePasswordEntry(zip, QStringLiteral("pw")));
        QVERIFY(EntryTest::writeRawEntry(zip, QStringLiteral("fileMgrLog"), full.left(len),
                                         QStringLiteral("pw")));
        FileLogMgr target;
        target.setLog(Log{9, 8, 7, 6, 5, 4});
        FileLogMgr *slot = &target;
        FileLogPaser reader(zip, &slot);
        const bool complete = len == full.size();
        QCOMPARE(reader.parse(), complete);
        QCOMPARE(target.getLog(), complete ? (Log{1, 2, 3, 4, 5, 4}) : (Log{9, 8, 7, 6, 5, 4}));
    }
}

void TestFileLog::missingEntryOrManager()
{
    QVERIFY(EntryTest::writePasswordEntry(m_zip, QString()));
    FileLogMgr target;
    FileLogMgr *slot = &target;
    QVERIFY(!FileLogPaser(m_zip, &slot).parse()); // no such entry
    // An empty slot neither writes nor reads.
    FileLogMgr *empty = nullptr;
    QVERIFY(!FileLogPaser(m_zip, &empty).writeEntry(m_zip));
    QVERIFY(!FileLogPaser(m_zip, nullptr).writeEntry(m_zip));
}

LUMARA_TEST_MAIN(TestFileLog)
#include "tst_filelog.moc"
