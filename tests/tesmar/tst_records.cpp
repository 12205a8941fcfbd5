// Stream forms of the data-model records: round trips, exact layouts, truncation.
#include "io/entryheader.h"
#include "io/recordstream.h"
#include "model/channeltable.h"
#include "model/lumaraanalysisdata.h"
#include "testmain.h"

#include <QBuffer>
#include <functional>

using namespace LumaraAnalysisData;

namespace {

template <typename T>
QByteArray bytesOf(const T &value)
{
    QByteArray out;
    QDataStream ds(&out, QIODevice::WriteOnly);
    writeRecord(ds, value);
    return out;
}

template <typename C>
QByteArray bytesOfContainer(const C &value)
{
    QByteArray out;
    QDataStream ds(&out, QIODevice::WriteOnly);
    writeContainer(ds, value);
    return out;
}

ExperimentInfo sampleExperiment()
{
    ExperimentInfo e;
    e.name = QStringLiteral("run 7");
    e.blocksType = BlocksType(2);
    e.expType = ExperimentType(1);
    e.dropletWorkType = DropletWorkType(1);
    e.reagentsType = ReagentsType(3);
    e.targets[0] = {QStringLiteral("EGFR"), QStringLiteral("FAM")};
    e.targets[2] = {QStringLiteral("ref"), QStringLiteral("ROX")};
    e.samples = {{QStringLiteral("S1")}, {QStringLiteral("S2")}};
    WellInfo w;
    w.id = 4;
    w.position = QStringLiteral("1A");
    w.name = QStringLiteral("P_1A_S1");
    w.prefix = QStringLiteral("P");
    w.plateIndex = -3;
    w.comment = QStringLiteral("text");
    w.drpltVolume = 800;
    w.drpltSum = 20000;
    w.channels = {0, 2};
    w.sampleName = QStringLiteral("S1");
    e.wells = {w, WellInfo{}};
    MethodStepInfo step;
    step.temperature = 95.0;
    step.collect = true;
    step.mode = 2;
    e.method.value = 25.5;
    e.method.stages = {MethodStageInfo{3, 40, {step, MethodStepInfo{}}}, MethodStageInfo{}};
    e.comment = QString(); // null stays null
    return e;
}

AnalysisExpGlobalInfo sampleExpGlobal()
{
    AnalysisExpGlobalInfo g;
    WellItemInfo w;
    w.wellId = 9;
    w.refChanId = 3;
    w.imageNames = {{QStringLiteral("a.png"), QString(), QStringLiteral("c.png")}, {}};
    w.expId = 2;
    g.wells = {w, WellItemInfo{}};
    g.experiments = {ExpItemInfo{2, QStringLiteral("run.imrs"), {9, 10}}};
    return g;
}

WellImageAnalysisInfo sampleImageAnalysis()
{
    WellImageAnalysisInfo w;
    w.wellId = 5;
    w.valid = true;
    w.sharpness = 1234.5;
    w.saturatedDrpltNum = 7;
    w.roxChannel = 3;
    w.roxValue = 0.042;
    for (quint32 i = 0; i < 3; ++i) {
        DrpltInfo d;
        d.x = 10 + i;
        d.y = 20 + i;
        d.size = 5;
        for (int c = 0; c < PerChannel; ++c) {
            d.flags[c] = quint32(c % 2);
            d.values[c] = 100 * i + quint32(c);
            d.grayPairs[c] = qMakePair(1000 * i + quint32(c), 900 * i + quint32(c));
            d.grays[c] = 1000 * i + quint32(c);
        }
        w.droplets.append(d);
    }
    w.excludedDrplts = {0, 2};
    w.chanInfos[1] = ChanAnalysisInfo{1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7, 8};
    return w;
}

ClassifyGlobalInfo sampleClassify()
{
    ClassifyGlobalInfo c;
    c.zones = {DrpltZoneInfo{0, 0, {}}, DrpltZoneInfo{1, 5, {1, 2}}};
    c.populations = {PopulationsInfo{1, QStringLiteral("Blue Channel"), QStringLiteral("#0024d9"),
                                     true, {qMakePair(1u, PositiveZone), qMakePair(3u, ZoneType(7))}}};
    return c;
}

WellResultInfo sampleResult()
{
    WellResultInfo r;
    r.wellId = 3;
    r.effDrpltNum = 15000;
    for (int c = 0; c < PerChannel; ++c)
        r.chanResults[c] = ChanResultInfo{quint32(c + 1), quint16('U'), 0.5 * c, 2.0};
    PopulationResultInfo p;
    p.populationId = 2;
    p.posDrpltNum = 120;
    p.negDrpltNum = 14880;
    p.concentration = 10.1;
    p.concentrationLower = 9.0;
    p.concentrationUpper = 11.5;
    p.uncertainty = 0.12;
    r.populationResults = {p};
    return r;
}

WellClassifyInfo<quint32> sampleLineWell()
{
    WellClassifyInfo<quint32> w;
    w.wellId = 8;
    for (quint32 c = 1; c <= 6; ++c)
        w.thlds.append(ThresholdInfo<quint32>{c, 1000 * c});
    w.zoneDrpltNums = {ZoneDrpltNumInfo{0, 10}, ZoneDrpltNumInfo{1, 20}};
    return w;
}

WellClassifyInfo<QPolygonF> samplePolygonWell()
{
    WellClassifyInfo<QPolygonF> w;
    w.wellId = 8;
    w.thlds = {ThresholdInfo<QPolygonF>{1, QPolygonF({QPointF(1, 2), QPointF(3.5, 4), QPointF(0, 9)})},
               ThresholdInfo<QPolygonF>{2, QPolygonF()}};
    w.zoneDrpltNums = {ZoneDrpltNumInfo{1, 3}, ZoneDrpltNumInfo{2, 0}};
    return w;
}

DevParasInfoOfWells sampleDevParas()
{
    DevParasInfoOfWells d;
    d.serialNumber = QStringLiteral("SN-001");
    d.paras.insert(0, {ScanningParameterInfo{100, 1.5}});
    d.paras.insert(7, {ScanningParameterInfo{200, 2.5}, ScanningParameterInfo{-1, 0.0}});
    d.paras.insert(2, {});
    return d;
}

// One record kind: writes its sample and reads it back into a fresh value, comparing.
struct RecordCase {
    QByteArray bytes;
    std::function<bool(QDataStream &, bool compare)> read;
};

template <typename T>
RecordCase recordCase(const T &sample)
{
    return {bytesOf(sample), [sample](QDataStream &ds, bool compare) {
                T back;
                const bool ok = readRecord(ds, back);
                return compare ? ok && back == sample : ok;
            }};
}

template <typename C>
RecordCase containerCase(const C &sample)
{
    return {bytesOfContainer(sample), [sample](QDataStream &ds, bool compare) {
                C back;
                const bool ok = readContainer(ds, back);
                return compare ? ok && back == sample : ok;
            }};
}

QMap<QString, RecordCase> allCases()
{
    QMap<QString, RecordCase> m;
    m.insert("ExperimentInfo", recordCase(sampleExperiment()));
    m.insert("AnalysisExpGlobalInfo", recordCase(sampleExpGlobal()));
    m.insert("WellImageAnalysisInfo list",
             containerCase(QList<WellImageAnalysisInfo>{sampleImageAnalysis(), WellImageAnalysisInfo{}}));
    m.insert("ClassifyGlobalInfo", recordCase(sampleClassify()));
    m.insert("WellResultInfo list", containerCase(QList<WellResultInfo>{sampleResult()}));
    m.insert("Customized2DPlotInfo", recordCase(Customized2DPlotInfo{4, QStringLiteral("FAM_ROX"), 1, 3}));
    m.insert("Customized3DPlotInfo", recordCase(Customized3DPlotInfo{2, QStringLiteral("a_b_c"), 1, 2, 6}));
    m.insert("WellClassifyInfo line", recordCase(sampleLineWell()));
    m.insert("WellClassifyInfo polygon", recordCase(samplePolygonWell()));
    m.insert("DevParasInfoOfWells", recordCase(sampleDevParas()));
    m.insert("QVector u32", containerCase(QVector<quint32>{1, 2, 0xFFFFFFFFu}));
    m.insert("QList QString", containerCase(QList<QString>{QStringLiteral("x"), QString(), QString("")}));
    m.insert("QSet u32", containerCase(QSet<quint32>{5, 6, 7}));
    m.insert("method stages", containerCase(sampleExperiment().method.stages));
    return m;
}

QByteArray u32Bytes(quint32 v)
{
    QByteArray b;
    QDataStream ds(&b, QIODevice::WriteOnly);
    ds << v;
    return b;
}

} // namespace

class TestRecords : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void truncationFails_data();
    void truncationFails();
    void hugeCountsAreRefused_data();
    void hugeCountsAreRefused();
    void earlierErrorSurvives();
    void writtenLayouts();
    void headerLayout();
    void headerTruncation();
    void channelTable();
    void defaults();
};

void TestRecords::roundTrip_data()
{
    QTest::addColumn<QString>("kind");
    const auto cases = allCases();
    for (auto it = cases.cbegin(); it != cases.cend(); ++it)
        QTest::newRow(qPrintable(it.key())) << it.key();
}

void TestRecords::roundTrip()
{
    QFETCH(QString, kind);
    RecordCase c = allCases().value(kind);
    QByteArray bytes = c.bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::ReadOnly);
    QDataStream ds(&buf);
    QVERIFY(c.read(ds, true));
    QVERIFY(buf.atEnd()); // the reader consumes exactly the written form
}

void TestRecords::truncationFails_data()
{
    roundTrip_data();
}

void TestRecords::truncationFails()
{
    QFETCH(QString, kind);
    RecordCase c = allCases().value(kind);
    for (int cut = 0; cut < c.bytes.size(); ++cut) {
        QByteArray part = c.bytes.left(cut);
        QBuffer buf(&part);
        buf.open(QIODevice::ReadOnly);
        QDataStream ds(&buf);
        QVERIFY2(!c.read(ds, false), qPrintable(QStringLiteral("cut at %1 read as success").arg(cut)));
        QVERIFY(ds.status() != QDataStream::Ok);
    }
}

void TestRecords::hugeCountsAreRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("bytes");
    // A corrupt count in front of a few bytes must fail cleanly, not reserve gigabytes.
    const QByteArray huge = u32Bytes(0xFFFFFFFFu) + QByteArray(40, '\x01');
    for (const char *k : {"QVector u32", "QList QString", "QSet u32", "method stages",
                          "WellImageAnalysisInfo list", "WellResultInfo list"})
        QTest::newRow(k) << QString(k) << huge;
    QTest::newRow("polygon count") << QString("WellClassifyInfo polygon")
                                   << (u32Bytes(1) + u32Bytes(1) + u32Bytes(1) + u32Bytes(0xFFFFFFF0u)
                                       + QByteArray(64, '\0'));
    QTest::newRow("droplet count") << QString("WellImageAnalysisInfo list")
                                   << (u32Bytes(1) + u32Bytes(5) + QByteArray(1, '\1')
                                       + QByteArray(8, '\0') + u32Bytes(0) + u32Bytes(3)
                                       + QByteArray(8, '\0') + u32Bytes(0x7FFFFFFFu));
}

void TestRecords::hugeCountsAreRefused()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    RecordCase c = allCases().value(kind);
    QBuffer buf(&bytes);
    buf.open(QIODevice::ReadOnly);
    QDataStream ds(&buf);
    QVERIFY(!c.read(ds, false));
    QVERIFY(ds.status() != QDataStream::Ok);
}

void TestRecords::earlierErrorSurvives()
{
    QByteArray bytes = bytesOfContainer(QVector<quint32>{1, 2, 3});
    QDataStream ds(bytes);
    ds.setStatus(QDataStream::ReadCorruptData);
    QVector<quint32> v;
    readContainer(ds, v);
    QCOMPARE(v, (QVector<quint32>{1, 2, 3}));
    QCOMPARE(ds.status(), QDataStream::ReadCorruptData);

    // A failed element empties what was read so far.
    QByteArray cut = bytes.left(bytes.size() - 1);
    QDataStream ds2(cut);
    QVector<quint32> w{9};
    QVERIFY(!readContainer(ds2, w));
    QVERIFY(w.isEmpty());
}

void TestRecords::writtenLayouts()
{
    // Zone: id, the population list, then the code.
    QCOMPARE(bytesOf(DrpltZoneInfo{1, 5, {7}}).toHex(),
             QByteArray("00000001" "00000001" "00000007" "00000005"));
    // Population result: no dilution; the read fills 1.0.
    PopulationResultInfo p;
    p.populationId = 1;
    p.dilution = 3.0;
    p.posDrpltNum = 2;
    p.negDrpltNum = 3;
    const QByteArray pb = bytesOf(p);
    QCOMPARE(pb.size(), 4 + 4 + 4 + 4 * 8);
    PopulationResultInfo back;
    QDataStream ds(pb);
    QVERIFY(readRecord(ds, back));
    QCOMPARE(back.dilution, 1.0);
    QCOMPARE(back.negDrpltNum, 3u);
    // Channel result: chanType as one 16-bit character.
    QCOMPARE(bytesOf(ChanResultInfo{2, quint16('U'), 0.0, 1.0}).toHex(),
             QByteArray("00000002" "0055" "0000000000000000" "3ff0000000000000"));
    // Map in descending key order.
    DevParasInfoOfWells d;
    d.serialNumber = QString();
    d.paras.insert(1, {});
    d.paras.insert(3, {});
    QCOMPARE(bytesOf(d).toHex(),
             QByteArray("ffffffff" "00000002" "00000003" "00000000" "00000001" "00000000"));
    // Empty lists write a count of 0 and nothing else.
    QCOMPARE(bytesOf(ClassifyGlobalInfo{}).toHex(), QByteArray("0000000000000000"));
    // Set with one key.
    QCOMPARE(bytesOfContainer(QSet<quint32>{9}).toHex(), QByteArray("0000000100000009"));
}

void TestRecords::headerLayout()
{
    EntryHeader h;
    h.fileType = 2;
    h.version = 1;
    h.writeTime = 0x0102030405060708LL;
    QByteArray b;
    {
        QDataStream ds(&b, QIODevice::WriteOnly);
        h.write(ds);
    }
    QCOMPARE(b.size(), 28);
    QCOMPARE(b.toHex(), QByteArray("00000002" "00000001" "ffffffff" "ffffffff" "ffffffff"
                                   "0102030405060708"));
    EntryHeader back;
    QDataStream in(b);
    QVERIFY(back.read(in));
    QCOMPARE(back.fileType, 2);
    QCOMPARE(back.version, 1);
    QVERIFY(back.reserved[0].isNull());
    QCOMPARE(back.writeTime, 0x0102030405060708LL);

    // Strings from another producer are read and ignored.
    QByteArray other;
    {
        QDataStream ds(&other, QIODevice::WriteOnly);
        ds << qint32(4) << qint32(0) << QStringLiteral("x") << QString() << QStringLiteral("yz")
           << qint64(5);
    }
    QDataStream in2(other);
    QVERIFY(back.read(in2));
    QCOMPARE(back.fileType, 4);
    QCOMPARE(back.writeTime, qint64(5));

    const qint64 before = QDateTime::currentDateTime().toSecsSinceEpoch();
    const EntryHeader now = EntryHeader::make(3, 1);
    QVERIFY(now.writeTime >= before && now.writeTime <= before + 5);
}

void TestRecords::headerTruncation()
{
    QByteArray b;
    {
        QDataStream ds(&b, QIODevice::WriteOnly);
        EntryHeader::make(1, 1).write(ds);
    }
    for (int cut = 0; cut < b.size(); ++cut) {
        QDataStream ds(b.left(cut));
        EntryHeader h;
        QVERIFY2(!h.read(ds), qPrintable(QString::number(cut)));
    }
}

void TestRecords::channelTable()
{
    QCOMPARE(channelTableEntry(0).name, QStringLiteral("Blue Channel"));
    QCOMPARE(channelTableEntry(0).color, QStringLiteral("#0024d9"));
    QCOMPARE(channelTableEntry(3).name, QStringLiteral("Orange Channel"));
    QCOMPARE(channelTableEntry(3).color, QStringLiteral("#f45000"));
    QCOMPARE(channelTableEntry(5).name, QStringLiteral("Dark Red Channel"));
    QCOMPARE(channelTableEntry(5).color, QStringLiteral("#840000"));
    QVERIFY(channelTableEntry(6).name.isEmpty());
    QVERIFY(channelTableEntry(-1).name.isEmpty());
}

void TestRecords::defaults()
{
    const QcThresholdInfo qc;
    QCOMPARE(qc.imageSharpness, 1500u);
    QCOMPARE(qc.analyzableDrpltRatio, 0.85);
    QCOMPARE(qc.saturatedObjects, 10u);
    QCOMPARE(qc.rfuCv, 0.1);
    QCOMPARE(qc.rs, 0.5);
    QCOMPARE(qc.rain, 0.5);
    QCOMPARE(qc.rainRangeStddevNum, 3u);
    QCOMPARE(qc.recogExcludeStddevNum, 3u);
    QCOMPARE(ExperimentInfo().targets.size(), 6);
    const MethodStepInfo step;
    QCOMPARE(step.rampRate, 5.0);
    QCOMPARE(step.holdTime, 60);
}

LUMARA_TEST_MAIN(TestRecords)
#include "tst_records.moc"
