// The "run.exp" entry in the three package generations: the instrument records and their
// conversion, the saved-package body with its two forms under version 0, the writers, and
// damaged entries of every kind.
#include "io/experimentcfgfileparser.h"
#include "io/instrumentexperiment.h"
#include "model/experimentcfgmgr.h"
#include "pkgwriter.h"
#include "testmain.h"

#include <QBuffer>
#include <QtEndian>
#include <memory>
#include <quazipfile.h>

using namespace LumaraAnalysisData;

namespace {

enum Generation { Gen1 = 1, Gen2V1 = 21, Gen2V0Four = 20, Gen2V0Three = 23, Gen3L0 = 30, Gen3L1 = 31 };

// ---- One instrument run, stored by either instrument --------------------------------------------

struct GridWell {
    int k;
    QStringList targets;
    QString sample;
    QString text;
    QString prefix;
    qint32 a, b, c;
};

QList<GridWell> gridWells()
{
    return {
        {0, {"FAM-t", "ROX-t"}, "S1", "w0", "P0", 1, 300, 15000},
        {1, {"FAM-t"}, "", "w1", "", 9, 9, 9},       // no sample: not a well
        {2, {}, "S2", "w2", "", 9, 9, 9},            // no target: not a well
        {3, {"VIC-t"}, "S1", "w3", "", 5, 1, 2},
        {4, {"nope", "HEX-old", "VIC-t"}, "S2", "w4", "", 2, 800, 20000},
        {5, {}, "", "", "", 0, 0, 0},
        {6, {}, "", "", "", 0, 0, 0},
        {7, {""}, "S1", "", "P7", 3, 600, 18000},     // empty name: first unnamed target
        {8, {}, "", "", "", 0, 0, 0},
        {9, {"FAM-t"}, "S3", "w9", "", 4, 3000, 1000},
    };
}

QList<PkgWriter::SampleEntry> sampleEntries()
{
    return {{"S1", "x"}, {"S2", ""}, {"S1", "y"}, {"S3", ""}, {"S2", ""}};
}

QList<PkgWriter::MethodStage> writerStages()
{
    PkgWriter::MethodStep s1;
    s1.rampRate = 1.5;
    s1.temperature = 95.0;
    s1.holdTime = 600;
    s1.collect = true;
    PkgWriter::MethodStep s2;
    s2.temperature = 60.0;
    s2.deltaTemperature = -0.5;
    s2.gradient = 2.0;
    s2.holdTime = 30;
    s2.deltaTime = 3;
    s2.extraValue = 7.25;
    s2.extraInt = 11;
    s2.mode = 4;
    return {{0, 1, {s1}}, {1, 40, {s1, s2}}, {2, 1, {}}, {3, 5, {s2}}, {-1, 2, {}}};
}

// The same stages after conversion: stage types 0, 1, 2, other -> 0, 1, 3, 2.
QList<MethodStageInfo> convertedStages()
{
    QList<MethodStageInfo> out;
    const QVector<qint32> types = {0, 1, 3, 2, 2};
    const QList<PkgWriter::MethodStage> in = writerStages();
    for (int i = 0; i < in.size(); ++i) {
        MethodStageInfo st;
        st.type = types[i];
        st.cycles = in[i].cycles;
        for (const PkgWriter::MethodStep &s : in[i].steps) {
            MethodStepInfo m;
            m.rampRate = s.rampRate;
            m.temperature = s.temperature;
            m.deltaTemperature = s.deltaTemperature;
            m.gradient = s.gradient;
            m.holdTime = s.holdTime;
            m.deltaTime = s.deltaTime;
            m.extraValue = s.extraValue;
            m.extraInt = s.extraInt;
            m.collect = s.collect;
            m.mode = s.mode;
            st.steps.append(m);
        }
        out.append(st);
    }
    return out;
}

PkgWriter::Exp1Record exp1Sample()
{
    PkgWriter::Exp1Record r;
    r.name = "Run one";
    r.comment = "by the old instrument";
    r.blocksType = 7;
    r.expType = 8;
    r.reagentsType = 9;
    r.flag = true;
    r.targets = {{"FAM-t", "", 1}, {"ROX-t", "", 10}, {"HEX-old", "", 3}, {"VIC-t", "", 4},
                 {"lost", "", 99}, {"Atto-t", "", 9}, {"zero", "", 0}};
    r.samples = sampleEntries();
    for (const GridWell &g : gridWells())
        r.wells.append({g.targets, g.sample, g.text, g.b, g.c});
    r.methodPreamble = QByteArray(128, '\x5a');
    r.stages = writerStages();
    return r;
}

PkgWriter::Exp3Record exp3Sample(int layout)
{
    PkgWriter::Exp3Record r;
    r.name = "Run three";
    r.comment = "by the new instrument";
    if (layout == 1) {
        r.blocksType = 1;
        r.dropletWorkType = 2;
        r.expType = 3;
        r.reagentsType = 4;
    } else {
        r.blocksType = 7;
        r.dropletWorkType = 55; // not stored by layout 0
        r.expType = 8;
        r.reagentsType = 9;
    }
    r.flag = true;
    r.flagInt = -3;
    // ROX moved to 5 and dye 11 is new; dye 10 is CY3 here.
    r.targets = {{"FAM-t", "", 1}, {"ROX-t", "", 5}, {"HEX-old", "", 3}, {"VIC-t", "", 4},
                 {"lost", "", 99}, {"Atto-t", "", 11}, {"zero", "", 0}};
    r.samples = sampleEntries();
    for (const GridWell &g : gridWells()) {
        PkgWriter::Exp3Well w;
        w.prefix = g.prefix;
        w.plateIndex = g.a;
        w.drpltVolume = g.b;
        w.drpltSum = g.c;
        w.targetNames = g.targets;
        w.sampleName = g.sample;
        w.text = g.text;
        if (g.k == 0)
            w.triples = {{QChar('F'), 1.0, 2.0}, {QChar('R'), 3.0, 4.0}};
        r.wells.append(w);
    }
    r.methodValue = 77.5;
    r.methodFlag = true;
    r.methodInt = 12;
    r.stages = writerStages();
    return r;
}

// ---- One configuration as saved packages hold it ---------------------------------------------

PkgWriter::ConfigBody savedBody(int targetCount = 6)
{
    PkgWriter::ConfigBody b;
    b.name = "saved run";
    b.blocksType = 11;
    b.expType = 12;
    b.dropletWorkType = 13;
    b.reagentsType = 14;
    for (int i = 0; i < targetCount; ++i)
        b.targets.append({QStringLiteral("T%1").arg(i + 1), i % 2 ? QString() : QStringLiteral("F%1").arg(i + 1)});
    b.samples = QStringList{"A", "B"};
    PkgWriter::ConfigWell w1{3, "1C", "X_1C_A", "X", 2, "note", 800, 19000, {0, 2}, "A"};
    PkgWriter::ConfigWell w2{1, "1A", "1A_B", "", 0, "", 300, 21000, {}, "B"};
    b.wells = {w1, w2};
    b.methodValue = 2.5;
    b.stages = writerStages();
    b.comment = "edited";
    return b;
}

ExperimentInfo savedExpected(bool fourIntegers, int targetCount = 6)
{
    ExperimentInfo e;
    e.name = "saved run";
    e.blocksType = BlocksType(11);
    e.expType = ExperimentType(12);
    e.dropletWorkType = DropletWorkType(fourIntegers ? 13 : 0);
    e.reagentsType = ReagentsType(14);
    e.targets = QVector<TargetInfo>(qMax(6, targetCount));
    for (int i = 0; i < targetCount; ++i)
        e.targets[i] = {QStringLiteral("T%1").arg(i + 1), i % 2 ? QString() : QStringLiteral("F%1").arg(i + 1)};
    e.samples = {{"A"}, {"B"}};
    WellInfo w1;
    w1.id = 3;
    w1.position = "1C";
    w1.name = "X_1C_A";
    w1.prefix = "X";
    w1.plateIndex = 2;
    w1.comment = "note";
    w1.drpltVolume = 800;
    w1.drpltSum = 19000;
    w1.channels = {0, 2};
    w1.sampleName = "A";
    WellInfo w2;
    w2.id = 1;
    w2.position = "1A";
    w2.name = "1A_B";
    w2.drpltVolume = 300;
    w2.drpltSum = 21000;
    w2.sampleName = "B";
    e.wells = {w1, w2};
    e.method.value = 2.5;
    e.method.stages = convertedStages();
    // The saved body keeps stage types as they are; undo the instrument mapping.
    const QList<PkgWriter::MethodStage> raw = writerStages();
    for (int i = 0; i < raw.size(); ++i)
        e.method.stages[i].type = raw[i].type;
    e.comment = "edited";
    return e;
}

// "id|position|name|text|plateIndex|volume|sum|channels|sample"
WellInfo wellFrom(const QString &desc)
{
    const QStringList f = desc.split('|');
    WellInfo w;
    w.id = f[0].toUInt();
    w.position = f[1];
    w.name = f[2];
    w.comment = f[3];
    w.plateIndex = f[4].toInt();
    w.drpltVolume = f[5].toInt();
    w.drpltSum = f[6].toInt();
    for (const QString &c : f[7].split(',', Qt::SkipEmptyParts))
        w.channels.append(c.toUInt());
    w.sampleName = f[8];
    return w;
}

QByteArray entryBytes(Generation g)
{
    switch (g) {
    case Gen1:
        return PkgWriter::exp1Entry(exp1Sample());
    case Gen3L0:
        return PkgWriter::exp3Entry(exp3Sample(0), 0);
    case Gen3L1:
        return PkgWriter::exp3Entry(exp3Sample(1), 1);
    case Gen2V1:
        return PkgWriter::configEntry(savedBody(), 1, true);
    case Gen2V0Four:
        return PkgWriter::configEntry(savedBody(), 0, true);
    case Gen2V0Three:
        return PkgWriter::configEntry(savedBody(), 0, false);
    }
    return QByteArray();
}

std::unique_ptr<AnalysisFileParser> parserFor(Generation g, const QString &zip, ExperimentCfgMgr **slot)
{
    if (g == Gen1)
        return std::make_unique<ExperimentCfgFileParser1>(zip, slot);
    if (g == Gen3L0 || g == Gen3L1)
        return std::make_unique<ExperimentCfgFileParser3>(zip, slot);
    return std::make_unique<ExperimentCfgFileParser2>(zip, slot);
}

// What a manager holds before a read that must leave it alone.
ExperimentInfo sentinel()
{
    ExperimentInfo e;
    e.name = "untouched";
    e.targets[2].name = "keep";
    WellInfo w;
    w.id = 42;
    e.wells << w;
    return e;
}

// Feeds `bytes` to the parser's entry reader as the content of an opened entry.
bool readFromBytes(AnalysisFileParser &parser, const QByteArray &bytes)
{
    QBuffer buf;
    buf.setData(bytes);
    buf.open(QIODevice::ReadOnly);
    return parser.readHeader(&buf);
}

QByteArray rawEntry(const QString &zip, const QString &name, const QString &password)
{
    QuaZipFile f(zip, name);
    const QByteArray pw = password.toLatin1();
    if (!f.open(QIODevice::ReadOnly, nullptr, nullptr, false, password.isEmpty() ? nullptr : pw.constData()))
        return QByteArray();
    return f.readAll();
}

QByteArray patched(QByteArray bytes, int offset, quint32 value, bool littleEndian)
{
    uchar raw[4];
    if (littleEndian)
        qToLittleEndian(value, raw);
    else
        qToBigEndian(value, raw);
    bytes.replace(offset, 4, reinterpret_cast<const char *>(raw), 4);
    return bytes;
}

} // namespace

Q_DECLARE_METATYPE(Generation)

class TestExperimentEntry : public QObject {
    Q_OBJECT
private slots:
    void init();
    void instrumentEntry_data();
    void instrumentEntry();
    void dyeTables_data();
    void dyeTables();
    void savedPackage_data();
    void savedPackage();
    void versionZeroMisleadingBody();
    void refusedBodies_data();
    void refusedBodies();
    void formatThreeHeader();
    void magicArea_data();
    void magicArea();
    void methodBlock_data();
    void methodBlock();
    void hugeCounts_data();
    void hugeCounts();
    void truncationSweep_data();
    void truncationSweep();
    void noManager();

private:
    // A package with a "password" entry and, unless `withEntry` is false, "run.exp".
    QString archive(const QString &suffix, const QByteArray &runExp, const QString &password,
                    bool withEntry = true);
    QTemporaryDir m_dir;
    int m_serial = 0;
};

void TestExperimentEntry::init()
{
    QVERIFY(m_dir.isValid());
}

QString TestExperimentEntry::archive(const QString &suffix, const QByteArray &runExp,
                                     const QString &password, bool withEntry)
{
    const QString path = m_dir.filePath(QStringLiteral("pkg%1.%2").arg(++m_serial).arg(suffix));
    if (!PkgWriter::addEntry(path, "password", PkgWriter::passwordEntry(password)))
        return QString();
    if (withEntry && !PkgWriter::addEntry(path, "run.exp", runExp, password))
        return QString();
    return path;
}

void TestExperimentEntry::instrumentEntry_data()
{
    QTest::addColumn<Generation>("generation");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QVector<int>>("types"); // blocks, exp, droplet work, reagents
    QTest::addColumn<QString>("sixthDye");
    QTest::addColumn<QStringList>("wells");
    QTest::addColumn<int>("writtenVersion");

    // Grid position k -> layout index 8(k div 8) + 2(k mod 4) + (k mod 8) div 4:
    // 0 -> 0 (1A), 4 -> 1 (1B), 3 -> 6 (1G), 7 -> 7 (1H), 9 -> 10 (2C).
    const QStringList interleavedNoPrefix = {
        "1|1A|1A_S1|w0|0|300|15000|0,2|S1", "2|1B|1B_S2|w4|0|800|20000|1|S2",
        "3|1G|1G_S1|w3|0|1|2|1|S1",         "4|1H|1H_S1||0|600|18000|3|S1",
        "5|2C|2C_S3|w9|0|3000|1000|0|S3"};
    const QStringList interleaved = {
        "1|1A|P0_1A_S1|w0|1|300|15000|0,2|S1", "2|1B|1B_S2|w4|2|800|20000|1|S2",
        "3|1G|1G_S1|w3|5|1|2|1|S1",            "4|1H|P7_1H_S1||3|600|18000|3|S1",
        "5|2C|2C_S3|w9|4|3000|1000|0|S3"};
    // Layout 1 takes k itself: 0 (1A), 3 (1D), 4 (1E), 7 (1H), 9 (2B).
    const QStringList direct = {
        "1|1A|P0_1A_S1|w0|1|300|15000|0,2|S1", "2|1D|1D_S1|w3|5|1|2|1|S1",
        "3|1E|1E_S2|w4|2|800|20000|1|S2",      "4|1H|P7_1H_S1||3|600|18000|3|S1",
        "5|2B|2B_S3|w9|4|3000|1000|0|S3"};

    for (const QString &pw : {QString(), QStringLiteral("s3cret")}) {
        const QByteArray tag = pw.isEmpty() ? " plain" : " encrypted";
        QTest::newRow(".expzip" + tag) << Gen1 << pw << QVector<int>{7, 8, 0, 9} << "CY3"
                                       << interleavedNoPrefix << 0;
        QTest::newRow(".imrs layout 0" + tag) << Gen3L0 << pw << QVector<int>{7, 8, 0, 9}
                                              << "Atto 425" << interleaved << 0;
        // Type integers 1, 2, 3, 4 stored as blocks, droplet work, experiment, reagents.
        QTest::newRow(".imrs layout 1" + tag) << Gen3L1 << pw << QVector<int>{1, 3, 2, 4}
                                              << "Atto 425" << direct << 1;
    }
}

void TestExperimentEntry::instrumentEntry()
{
    QFETCH(Generation, generation);
    QFETCH(QString, password);
    QFETCH(QVector<int>, types);
    QFETCH(QString, sixthDye);
    QFETCH(QStringList, wells);
    QFETCH(int, writtenVersion);

    const QString source = archive(generation == Gen1 ? "expzip" : "imrs", entryBytes(generation), password);
    QVERIFY(!source.isEmpty());
    ExperimentCfgMgr *mgr = new ExperimentCfgMgr;
    std::unique_ptr<ExperimentCfgMgr> owner(mgr);
    mgr->setExperimentCfgVersion(5);
    auto parser = parserFor(generation, source, &mgr);
    QVERIFY(parser->parse());

    const ExperimentInfo &e = mgr->getExp();
    QCOMPARE(e.name, generation == Gen1 ? QStringLiteral("Run one") : QStringLiteral("Run three"));
    QCOMPARE(e.comment, generation == Gen1 ? QStringLiteral("by the old instrument")
                                           : QStringLiteral("by the new instrument"));
    QCOMPARE((QVector<int>{e.blocksType, e.expType, e.dropletWorkType, e.reagentsType}), types);
    // Dyes -> channels; the later target of channel 2 wins, unknown dyes and dye 0 go nowhere.
    QVector<TargetInfo> targets(6);
    targets[0] = {"FAM-t", "FAM"};
    targets[1] = {"VIC-t", "VIC"};
    targets[2] = {"ROX-t", "ROX"};
    targets[5] = {"Atto-t", sixthDye};
    QCOMPARE(e.targets.size(), 6);
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(e.targets[i].name, targets[i].name);
        QCOMPARE(e.targets[i].fluorophore, targets[i].fluorophore);
    }
    QCOMPARE(e.samples, (QVector<SampleInfo>{{"S1"}, {"S2"}, {"S3"}}));
    QCOMPARE(e.wells.size(), wells.size());
    for (int i = 0; i < wells.size(); ++i) {
        const WellInfo want = wellFrom(wells[i]);
        const WellInfo &got = e.wells[i];
        QCOMPARE(got.id, want.id);
        QCOMPARE(got.position, want.position);
        QCOMPARE(got.name, want.name);
        QCOMPARE(got.comment, want.comment);
        QCOMPARE(got.plateIndex, want.plateIndex);
        QCOMPARE(got.drpltVolume, want.drpltVolume);
        QCOMPARE(got.drpltSum, want.drpltSum);
        QCOMPARE(got.channels, want.channels);
        QCOMPARE(got.sampleName, want.sampleName);
    }
    QCOMPARE(e.method.value, 0.0);
    QVERIFY(e.method.stages == convertedStages());
    QCOMPARE(mgr->getExperimentCfgVersion(), 5);

    // Saving writes the program's own body; the saved package reads back unchanged.
    const QString saved = archive("arlx", QByteArray(), password, false);
    QVERIFY(parser->writeEntry(saved));
    const QByteArray raw = rawEntry(saved, "run.exp", password);
    QCOMPARE(raw.left(8).toHex(), QByteArray("00000001") + QByteArray::number(writtenVersion).rightJustified(8, '0'));
    ExperimentCfgMgr *reopened = new ExperimentCfgMgr;
    std::unique_ptr<ExperimentCfgMgr> owner2(reopened);
    ExperimentCfgFileParser2 reader(saved, &reopened);
    QVERIFY(reader.parse());
    QCOMPARE(reader.version(), writtenVersion);
    QVERIFY(reopened->getExp() == e);
    QCOMPARE((QVector<int>{reopened->getBlocksType(), reopened->getExpType(),
                           reopened->getDropletWorkType(), reopened->getReagentsType()}),
             types);
}

void TestExperimentEntry::dyeTables_data()
{
    QTest::addColumn<bool>("format1");
    QTest::addColumn<int>("dye");
    QTest::addColumn<int>("channel");
    QTest::addColumn<QString>("name");
    QTest::newRow("1: 10 is ROX") << true << 10 << 3 << "ROX";
    QTest::newRow("3: 10 is CY3") << false << 10 << 6 << "CY3";
    QTest::newRow("1: 5 is CY5") << true << 5 << 4 << "CY5";
    QTest::newRow("3: 5 is ROX") << false << 5 << 3 << "ROX";
    QTest::newRow("1: 8 is Quasar705") << true << 8 << 5 << "Quasar705";
    QTest::newRow("3: 8 is CY5.5") << false << 8 << 5 << "CY5.5";
    QTest::newRow("3: 11 is Atto 425") << false << 11 << 6 << "Atto 425";
    QTest::newRow("1: 11 is unknown") << true << 11 << 0 << "";
    QTest::newRow("1: 2 is EvaGreen") << true << 2 << 1 << "EvaGreen";
    QTest::newRow("3: 7 is Q670") << false << 7 << 4 << "Q670";
    QTest::newRow("0 is none") << false << 0 << 0 << "";
    QTest::newRow("negative") << true << -1 << 0 << "";
}

void TestExperimentEntry::dyeTables()
{
    QFETCH(bool, format1);
    QFETCH(int, dye);
    QFETCH(int, channel);
    QFETCH(QString, name);
    ExperimentInfo e;
    if (format1) {
        InstrumentExperiment1 r;
        r.targets = {{"t", "", dye}};
        e = convertInstrumentExperiment(r);
    } else {
        InstrumentExperiment3 r;
        r.targets = {{"t", "", dye}};
        e = convertInstrumentExperiment(r, 1);
    }
    QCOMPARE(e.targets.size(), 6);
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(e.targets[i].name, i == channel - 1 ? QStringLiteral("t") : QString());
        QCOMPARE(e.targets[i].fluorophore, i == channel - 1 ? name : QString());
    }
}

void TestExperimentEntry::savedPackage_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<bool>("fourIntegers");
    QTest::addColumn<int>("targetCount");
    QTest::addColumn<QString>("password");
    for (const QString &pw : {QString(), QStringLiteral("pw")}) {
        const QByteArray tag = pw.isEmpty() ? "" : ", encrypted";
        QTest::newRow("version 1" + tag) << 1 << true << 6 << pw;
        QTest::newRow("version 0, four integers" + tag) << 0 << true << 6 << pw;
        QTest::newRow("version 0, three integers" + tag) << 0 << false << 6 << pw;
        QTest::newRow("version 1, three stored targets" + tag) << 1 << true << 3 << pw;
        QTest::newRow("version 0, three integers, two targets" + tag) << 0 << false << 2 << pw;
    }
}

void TestExperimentEntry::savedPackage()
{
    QFETCH(int, version);
    QFETCH(bool, fourIntegers);
    QFETCH(int, targetCount);
    QFETCH(QString, password);
    const QString path = archive("arlx", PkgWriter::configEntry(savedBody(targetCount), version, fourIntegers), password);
    ExperimentCfgMgr *mgr = new ExperimentCfgMgr;
    std::unique_ptr<ExperimentCfgMgr> owner(mgr);
    ExperimentCfgFileParser2 parser(path, &mgr);
    QVERIFY(parser.parse());
    QCOMPARE(parser.version(), version);
    QVERIFY(mgr->getExp() == savedExpected(fourIntegers, targetCount));

    // Written back with the kept version and the four-integer body, it reads back the same.
    const QString again = archive("arlx", QByteArray(), password, false);
    QVERIFY(parser.writeEntry(again));
    QCOMPARE(rawEntry(again, "run.exp", password).mid(4, 4).toHex(),
             QByteArray::number(version).rightJustified(8, '0'));
    ExperimentCfgMgr *second = new ExperimentCfgMgr;
    std::unique_ptr<ExperimentCfgMgr> owner2(second);
    ExperimentCfgFileParser2 reader(again, &second);
    QVERIFY(reader.parse());
    QVERIFY(second->getExp() == mgr->getExp());
}

void TestExperimentEntry::versionZeroMisleadingBody()
{
    // Droplet work type and reagents 0 and targets 4 and 5 with empty names: read as the
    // three-integer form, this four-integer body gives no targets, six "samples" made of the
    // first three targets, no wells, no stages, the sixth target's name as comment, and stops
    // short of the end without any stream error.
    PkgWriter::ConfigBody b = savedBody();
    b.dropletWorkType = 0;
    b.reagentsType = 0;
    b.targets[3] = {"", ""};
    b.targets[4] = {"", ""};
    b.targets[5] = {"AB", "CD"};
    const QByteArray body = PkgWriter::configBody(b, true);
    {
        QBuffer buf;
        buf.setData(body);
        buf.open(QIODevice::ReadOnly);
        QDataStream ds(&buf);
        ExperimentInfo misread;
        QVERIFY(readConfigBody(ds, misread, false));
        QVERIFY(!buf.atEnd());
        QCOMPARE(misread.targets.size(), 0);
        QCOMPARE(misread.samples.size(), 6);
        QCOMPARE(misread.comment, QStringLiteral("AB"));
    }

    ExperimentInfo expected = savedExpected(true);
    expected.dropletWorkType = DropletWorkType(0);
    expected.reagentsType = ReagentsType(0);
    expected.targets[3] = {"", ""};
    expected.targets[4] = {"", ""};
    expected.targets[5] = {"AB", "CD"};
    for (const QString &pw : {QString(), QStringLiteral("pw")}) {
        const QString path = archive("arlx", PkgWriter::entryHeader(1, 0) + body, pw);
        ExperimentCfgMgr *mgr = new ExperimentCfgMgr;
        std::unique_ptr<ExperimentCfgMgr> owner(mgr);
        ExperimentCfgFileParser2 parser(path, &mgr);
        QVERIFY(parser.parse());
        QVERIFY(mgr->getExp() == expected);
        QCOMPARE(mgr->getExp().wells.size(), 2);
    }
}

void TestExperimentEntry::refusedBodies_data()
{
    QTest::addColumn<QByteArray>("entry");
    const QByteArray four = PkgWriter::configBody(savedBody(), true);
    const QByteArray three = PkgWriter::configBody(savedBody(), false);
    QTest::newRow("v0 garbage") << PkgWriter::entryHeader(1, 0) + QByteArray("\x00\x00\x00\x02zz garbage that is no body", 30);
    QTest::newRow("v0 nothing") << PkgWriter::entryHeader(1, 0);
    QTest::newRow("v0 four integers and a stray byte") << PkgWriter::entryHeader(1, 0) + four + "x";
    QTest::newRow("v0 three integers and a stray byte") << PkgWriter::entryHeader(1, 0) + three + "x";
    QTest::newRow("v0 four integers cut") << PkgWriter::entryHeader(1, 0) + four.left(four.size() - 1);
    QTest::newRow("v1 three integers") << PkgWriter::entryHeader(1, 1) + three;
    QTest::newRow("v1 cut") << PkgWriter::entryHeader(1, 1) + four.left(four.size() - 5);
    QTest::newRow("type 2") << PkgWriter::entryHeader(2, 1) + four;
    QTest::newRow("type 0") << PkgWriter::entryHeader(0, 0) + four;
    QTest::newRow("version 2") << PkgWriter::entryHeader(1, 2) + four;
    QTest::newRow("version -1") << PkgWriter::entryHeader(1, -1) + four;
    QTest::newRow("header only half") << PkgWriter::entryHeader(1, 1).left(14);
}

void TestExperimentEntry::refusedBodies()
{
    QFETCH(QByteArray, entry);
    const QString path = archive("arlx", entry, QString());
    ExperimentCfgMgr *mgr = new ExperimentCfgMgr;
    std::unique_ptr<ExperimentCfgMgr> owner(mgr);
    mgr->setExperiment(sentinel());
    ExperimentCfgFileParser2 parser(path, &mgr);
    QVERIFY(!parser.parse());
    QVERIFY(mgr->getExp() == sentinel());
}

void TestExperimentEntry::formatThreeHeader()
{
    ExperimentCfgMgr *mgr = new ExperimentCfgMgr;
    std::unique_ptr<ExperimentCfgMgr> owner(mgr);

    // The instrument's header type is not checked.
    ExperimentCfgFileParser3 anyType(archive("imrs", PkgWriter::exp3Entry(exp3Sample(1), 1, 7), QString()), &mgr);
    QVERIFY(anyType.parse());
    QCOMPARE(int(mgr->getDropletWorkType()), 2);
    const ExperimentInfo read = mgr->getExp();

    // An unknown version is refused but kept; writing then gives a body every reader takes.
    ExperimentCfgFileParser3 unknown(archive("imrs", PkgWriter::exp3Entry(exp3Sample(1), 1).replace(7, 1, "\x02"), QString()), &mgr);
    QVERIFY(!unknown.parse());
    QCOMPARE(unknown.version(), 2);
    QVERIFY(mgr->getExp() == read);
    const QString saved = archive("arlx", QByteArray(), QString(), false);
    QVERIFY(unknown.writeEntry(saved));
    const QByteArray raw = rawEntry(saved, "run.exp", QString());
    QCOMPARE(raw.left(8).toHex(), QByteArray("0000000100000001"));
    QVERIFY(raw.size() > 28);
    ExperimentCfgMgr *reopened = new ExperimentCfgMgr;
    std::unique_ptr<ExperimentCfgMgr> owner2(reopened);
    ExperimentCfgFileParser2 reader(saved, &reopened);
    QVERIFY(reader.parse());
    QVERIFY(reopened->getExp() == read);

    // Version 0 writes the three-integer body, exactly to the end of the entry.
    ExperimentCfgFileParser3 v0(archive("imrs", PkgWriter::exp3Entry(exp3Sample(0), 0), QString()), &mgr);
    QVERIFY(v0.parse());
    const QString saved0 = archive("arlx", QByteArray(), QString(), false);
    QVERIFY(v0.writeEntry(saved0));
    QBuffer buf;
    buf.setData(rawEntry(saved0, "run.exp", QString()).mid(28));
    buf.open(QIODevice::ReadOnly);
    QDataStream ds(&buf);
    ExperimentInfo body;
    QVERIFY(readConfigBody(ds, body, false));
    QVERIFY(buf.atEnd());
    QVERIFY(body == mgr->getExp());
}

void TestExperimentEntry::magicArea_data()
{
    QTest::addColumn<QByteArray>("area");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("magic, NUL, anything") << PkgWriter::exp1MagicArea("PCRExperiment", "\x01\xff junk") << true;
    QTest::newRow("magic filling the area") << PkgWriter::exp1MagicArea("PCRExperiment", QByteArray(114, 'q')) << true;
    QTest::newRow("letter after the magic") << PkgWriter::exp1MagicArea("PCRExperimentX") << false;
    QTest::newRow("shorter text") << PkgWriter::exp1MagicArea("PCRExperimen") << false;
    QTest::newRow("lower case") << PkgWriter::exp1MagicArea("pcrexperiment") << false;
    QTest::newRow("empty text") << PkgWriter::exp1MagicArea("") << false;
    QTest::newRow("no NUL in 128 bytes") << QByteArray("PCRExperiment") + QByteArray(115, 'x') << false;
    QTest::newRow("area of 127 bytes") << PkgWriter::exp1MagicArea().left(127) << false;
}

void TestExperimentEntry::magicArea()
{
    QFETCH(QByteArray, area);
    QFETCH(bool, accepted);
    QByteArray entry = area;
    if (area.size() == 128)
        entry += PkgWriter::exp1Record(exp1Sample());
    ExperimentCfgMgr *mgr = new ExperimentCfgMgr;
    std::unique_ptr<ExperimentCfgMgr> owner(mgr);
    mgr->setExperiment(sentinel());
    ExperimentCfgFileParser1 parser(archive("expzip", entry, QString()), &mgr);
    QCOMPARE(parser.parse(), accepted);
    QCOMPARE(mgr->getExp() == sentinel(), !accepted);
    if (accepted)
        QCOMPARE(mgr->getWells().size(), 5);
}

void TestExperimentEntry::methodBlock_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<int>("stages");
    const QByteArray full = PkgWriter::exp1MethodBlock(exp1Sample());
    QByteArray hugeCount = full.left(128 + 8 + 1 + 4);
    hugeCount.append("\xff\xff\xff\xff", 4);
    QTest::newRow("complete") << full << 5;
    QTest::newRow("trailing bytes") << full + "tail" << 5;
    QTest::newRow("cut in the last step") << full.left(full.size() - 3) << 0;
    QTest::newRow("cut before the stage count") << full.left(128 + 8 + 1 + 4) << 0;
    QTest::newRow("cut in the preamble") << full.left(100) << 0;
    QTest::newRow("empty") << QByteArray() << 0;
    QTest::newRow("stage count beyond the block") << hugeCount << 0;
}

void TestExperimentEntry::methodBlock()
{
    QFETCH(QByteArray, block);
    QFETCH(int, stages);
    PkgWriter::Exp1Record r = exp1Sample();
    r.useRawMethodBlock = true;
    r.rawMethodBlock = block;
    ExperimentCfgMgr *mgr = new ExperimentCfgMgr;
    std::unique_ptr<ExperimentCfgMgr> owner(mgr);
    ExperimentCfgFileParser1 parser(archive("expzip", PkgWriter::exp1Entry(r), QString()), &mgr);
    // A damaged method block costs the stages only, never the entry.
    QVERIFY(parser.parse());
    QCOMPARE(mgr->getMethod().stages.size(), stages);
    if (stages)
        QVERIFY(mgr->getMethod().stages == convertedStages());
    QCOMPARE(mgr->getWells().size(), 5);
    QCOMPARE(mgr->getExpName(), QStringLiteral("Run one"));
}

void TestExperimentEntry::hugeCounts_data()
{
    QTest::addColumn<Generation>("generation");
    QTest::addColumn<QByteArray>("entry");
    // With null name and comment and no targets, the target count sits right after the types:
    // .expzip 128 + 4 + 4 + 3*4 + 1 = 149 (little-endian); .imrs layout 1 28 + 4 + 4 + 4*4 + 1 + 4
    // = 57; saved package 28 + 4 + 4*4 = 48.
    PkgWriter::Exp1Record r1;
    PkgWriter::Exp3Record r3;
    PkgWriter::ConfigBody b;
    for (const quint32 n : {0xFFFFFFFFu, 0x10000000u, 0x00100001u}) {
        const QByteArray tag = QByteArray::number(n, 16);
        QTest::newRow(".expzip " + tag) << Gen1 << patched(PkgWriter::exp1Entry(r1), 149, n, true);
        QTest::newRow(".imrs " + tag) << Gen3L1 << patched(PkgWriter::exp3Entry(r3, 1), 57, n, false);
        QTest::newRow(".arlx v1 " + tag) << Gen2V1 << patched(PkgWriter::configEntry(b, 1, true), 48, n, false);
        QTest::newRow(".arlx v0 " + tag) << Gen2V0Four << patched(PkgWriter::configEntry(b, 0, true), 48, n, false);
    }
}

void TestExperimentEntry::hugeCounts()
{
    QFETCH(Generation, generation);
    QFETCH(QByteArray, entry);
    ExperimentCfgMgr *mgr = new ExperimentCfgMgr;
    std::unique_ptr<ExperimentCfgMgr> owner(mgr);
    mgr->setExperiment(sentinel());
    auto parser = parserFor(generation, archive("zip", entry, QString()), &mgr);
    QVERIFY(!parser->parse());
    QVERIFY(mgr->getExp() == sentinel());
}

void TestExperimentEntry::truncationSweep_data()
{
    QTest::addColumn<Generation>("generation");
    QTest::newRow(".expzip") << Gen1;
    QTest::newRow(".imrs layout 0") << Gen3L0;
    QTest::newRow(".imrs layout 1") << Gen3L1;
    QTest::newRow(".arlx version 1") << Gen2V1;
    QTest::newRow(".arlx version 0, four integers") << Gen2V0Four;
    QTest::newRow(".arlx version 0, three integers") << Gen2V0Three;
}

void TestExperimentEntry::truncationSweep()
{
    QFETCH(Generation, generation);
    const QByteArray entry = entryBytes(generation);
    ExperimentCfgMgr *mgr = new ExperimentCfgMgr;
    std::unique_ptr<ExperimentCfgMgr> owner(mgr);
    mgr->setExperiment(sentinel());
    auto parser = parserFor(generation, m_dir.filePath("none.zip"), &mgr);
    QVERIFY(readFromBytes(*parser, entry)); // the whole entry reads
    mgr->setExperiment(sentinel());
    for (int cut = 0; cut < entry.size(); ++cut) {
        if (readFromBytes(*parser, entry.left(cut)))
            QFAIL(qPrintable(QStringLiteral("a cut at %1 of %2 bytes was accepted").arg(cut).arg(entry.size())));
        if (!(mgr->getExp() == sentinel()))
            QFAIL(qPrintable(QStringLiteral("a cut at %1 changed the manager").arg(cut)));
    }
    // A sample of the cuts through a real archive entry.
    for (int cut = entry.size() - 1; cut >= 0; cut -= 97) {
        auto zipped = parserFor(generation, archive("zip", entry.left(cut), QStringLiteral("pw")), &mgr);
        QVERIFY2(!zipped->parse(), qPrintable(QString::number(cut)));
        QVERIFY(mgr->getExp() == sentinel());
    }
}

void TestExperimentEntry::noManager()
{
    for (const Generation g : {Gen1, Gen2V1, Gen3L1}) {
        const QString path = archive("zip", entryBytes(g), QString());
        ExperimentCfgMgr *empty = nullptr;
        auto emptySlot = parserFor(g, path, &empty);
        QVERIFY(!emptySlot->parse());
        QVERIFY(!emptySlot->writeEntry(m_dir.filePath(QStringLiteral("out%1.arlx").arg(++m_serial))));
        auto noSlot = parserFor(g, path, nullptr);
        QVERIFY(!noSlot->parse());
    }
}

LUMARA_TEST_MAIN(TestExperimentEntry)
#include "tst_experimententry.moc"
