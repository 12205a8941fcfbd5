// Parser sets: what each generation's set holds, the parallel parse of the small entries and
// its failures (a missing entry, a parser that throws), the counters after reading.
#include "documenttestsupport.h"
#include "io/analysisdatafileparser1.h"
#include "io/analysisdatafileparser2.h"
#include "io/analysisdatafileparser3.h"
#include "io/analysisfileparseassigners.h"
#include "io/compensationmatrixfileparser.h"
#include "io/devparasfileparser.h"
#include "io/experimentcfgfileparser.h"
#include "testmain.h"

#include <QTemporaryDir>

#include <algorithm>
#include <stdexcept>

using namespace DocTest;
using namespace LumaraAnalysisData;
using MkPackage::ArchiveKind;
using MkPackage::GeneratorOptions;

namespace {

// A parser whose parse ends in an exception of the chosen kind.
class ThrowingParser : public AnalysisFileParser {
public:
    ThrowingParser(const QString &zip, int kind) : AnalysisFileParser(zip, QStringLiteral("run.exp")), m_kind(kind) {}
    bool parse() override
    {
        if (m_kind == 0)
            throw "Well id is invalid!";
        if (m_kind == 1)
            throw std::runtime_error("bad record");
        throw 42;
    }
    bool write(QIODevice *) override { return false; }

private:
    int m_kind;
};

// A set whose run.exp parser throws; run.dps and run.cmtx are the usual ones.
class ThrowingSet : public AnalysisFileParseAssigner {
public:
    ThrowingSet(const QString &zip, int kind) : AnalysisFileParseAssigner(zip)
    {
        auto *matrix = new CompensationMatrixFileParser(zip, compensationMatrixSlot());
        auto *devParas = new DevParasFileParser(zip, devParasSlot());
        installParsers(new ThrowingParser(zip, kind), devParas, matrix, new ThrowingParser(zip, kind));
    }
};

template <typename C, typename Id>
quint32 largest(const C &list, Id id)
{
    quint32 out = 0;
    for (const auto &x : list)
        out = std::max(out, quint32(id(x)));
    return out;
}

} // namespace

class TestParseAssigner : public QObject {
    Q_OBJECT

private slots:
    void composition_data();
    void composition();
    void missingSmallEntry_data();
    void missingSmallEntry();
    void exceptionInParallelParse_data();
    void exceptionInParallelParse();
    void counters_data();
    void counters();

private:
    QTemporaryDir m_dir;
};

void TestParseAssigner::composition_data()
{
    QTest::addColumn<int>("generation");
    QTest::newRow(".expzip") << 1;
    QTest::newRow(".arlx") << 2;
    QTest::newRow(".imrs") << 3;
}

void TestParseAssigner::composition()
{
    QFETCH(int, generation);
    const QString zip = m_dir.filePath("composition.imrs");
    if (!QFile::exists(zip)) {
        GeneratorOptions o = smallRun(1);
        o.password = "Zz9";
        QVERIFY(generate(o, zip));
    }
    std::unique_ptr<AnalysisFileParseAssigner> set;
    if (generation == 1)
        set = std::make_unique<AnalysisFileParseAssigner1>(zip);
    else if (generation == 2)
        set = std::make_unique<AnalysisFileParseAssigner2>(zip);
    else
        set = std::make_unique<AnalysisFileParseAssigner3>(zip);

    const QList<AnalysisFileParser *> &misc = set->miscParsers();
    QCOMPARE(misc.size(), 3);
    QCOMPARE(misc[0]->entryName(), QString("run.exp"));
    QCOMPARE(misc[1]->entryName(), QString("run.dps"));
    QCOMPARE(misc[2]->entryName(), QString("run.cmtx"));
    QVERIFY(dynamic_cast<DevParasFileParser *>(misc[1]));
    QVERIFY(dynamic_cast<CompensationMatrixFileParser *>(misc[2]));
    QCOMPARE(set->analysisDataParser()->entryName(), QString("run.pcr"));
    switch (generation) {
    case 1:
        QVERIFY(dynamic_cast<ExperimentCfgFileParser1 *>(misc[0]));
        QVERIFY(dynamic_cast<AnalysisDataFileParser1 *>(set->analysisDataParser()));
        break;
    case 2:
        QVERIFY(dynamic_cast<ExperimentCfgFileParser2 *>(misc[0]));
        QVERIFY(dynamic_cast<AnalysisDataFileParser2 *>(set->analysisDataParser()));
        break;
    default:
        QVERIFY(dynamic_cast<ExperimentCfgFileParser3 *>(misc[0]));
        QVERIFY(dynamic_cast<AnalysisDataFileParser3 *>(set->analysisDataParser()));
    }
    // Every parser read the archive's password; the managers are the set's own.
    for (AnalysisFileParser *p : misc)
        QCOMPARE(p->getPassword(), QString("Zz9"));
    QCOMPARE(set->getUnzipPassword(), QString("Zz9"));
    QVERIFY(set->analysisDataMgr() && set->experimentCfgMgr() && set->devParasMgr()
            && set->compensationMatrixMgr() && set->fileLogMgr());
    QCOMPARE(set->analysisDataMgr()->fileLogMgr(), set->fileLogMgr());
}

void TestParseAssigner::missingSmallEntry_data()
{
    QTest::addColumn<QString>("entry");
    QTest::newRow("run.exp") << "run.exp";
    QTest::newRow("run.dps") << "run.dps";
    QTest::newRow("run.cmtx") << "run.cmtx";
}

// One missing small entry fails the step; the other two parsers still stored what they read.
void TestParseAssigner::missingSmallEntry()
{
    QFETCH(QString, entry);
    const QString full = m_dir.filePath("full.imrs");
    if (!QFile::exists(full)) {
        GeneratorOptions o = smallRun(2);
        o.password = "q";
        QVERIFY(generate(o, full));
    }
    const QString zip = m_dir.filePath("without_" + entry + ".imrs");
    QVERIFY(rewriteEntry(full, zip, entry, [](const QByteArray &) { return QByteArray(); }, "q"));

    AnalysisFileParseAssigner3 set(zip);
    QVERIFY(!set.parseMiscEntries());
    QVERIFY(set.errorText().isEmpty());
    // The generator's serial number, its two wells and its identity matrix.
    QCOMPARE(set.devParasMgr()->getDevSn(), entry == "run.dps" ? QString() : QString("LMR-SYN-0001"));
    QCOMPARE(set.experimentCfgMgr()->getWells().size(), entry == "run.exp" ? 0 : 2);
    QCOMPARE(set.compensationMatrixMgr()->getMatrixBuf().size(), entry == "run.cmtx" ? 0 : 336);

    AnalysisFileParseAssigner3 whole(full);
    QVERIFY(whole.parseMiscEntries());
}

void TestParseAssigner::exceptionInParallelParse_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("C string") << 0;
    QTest::newRow("std::exception") << 1;
    QTest::newRow("anything else") << 2;
}

// Nothing thrown inside the pool reaches the caller: the step fails with the fixed text, and
// the other parsers ran to their end.
void TestParseAssigner::exceptionInParallelParse()
{
    QFETCH(int, kind);
    const QString zip = m_dir.filePath("throwing.imrs");
    if (!QFile::exists(zip))
        QVERIFY(generate(smallRun(1), zip));
    ThrowingSet set(zip, kind);
    bool result = true;
    try {
        result = set.parseMiscEntries();
    } catch (...) {
        QFAIL("an exception left the parallel parse");
    }
    QVERIFY(!result);
    QCOMPARE(set.errorText(), QString("Read miscellaneous occurs an exception!"));
    QCOMPARE(set.devParasMgr()->getDevSn(), QString("LMR-SYN-0001"));
    QVERIFY(!set.parseAnalysisData());
}

void TestParseAssigner::counters_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<QList<quint32>>("storedCounters"); // experiment, well, zone, population, 2D
    QTest::addColumn<QList<quint32>>("expected");       // the six counters, 3D last
    // Three wells, FAM, HEX and CY5: zones 0..7 and three populations when line mode is read.
    QTest::newRow("no entry: rebuilt") << 0 << QList<quint32>{} << QList<quint32>{};
    QTest::newRow("stored ahead: kept") << 1 << QList<quint32>{5, 40, 9, 9, 2} << QList<quint32>{5, 40, 9, 9, 2, 0};
    QTest::newRow("stored behind: raised to the ids in use") << 1 << QList<quint32>{0, 1, 0, 0, 0} << QList<quint32>{};
    QTest::newRow("entry of another type: rebuilt") << 2 << QList<quint32>{5, 40, 9, 9, 2} << QList<quint32>{};
}

void TestParseAssigner::counters()
{
    QFETCH(int, stored);
    QFETCH(QList<quint32>, storedCounters);
    QFETCH(QList<quint32>, expected);
    const QString base = m_dir.filePath("counters.imrs");
    if (!QFile::exists(base)) {
        GeneratorOptions o = smallRun(3);
        o.fileLog = false;
        QVERIFY(generate(o, base));
    }
    QString zip = base;
    if (stored) {
        zip = m_dir.filePath(QString("counters_%1.imrs").arg(QTest::currentDataTag()).replace(' ', '_').replace(':', '_'));
        std::array<qint32, 5> c{};
        for (int i = 0; i < 5; ++i)
            c[size_t(i)] = qint32(storedCounters.value(i));
        QByteArray entry = PkgWriter::fileLogEntry(c);
        if (stored == 2)
            entry[3] = 3; // header type 3 instead of 0
        QVERIFY(QFile::copy(base, zip));
        QVERIFY(PkgWriter::addEntry(zip, "fileMgrLog", entry));
    }
    AnalysisFileParseAssigner3 set(zip);
    QVERIFY(set.parseMiscEntries());
    QVERIFY(set.parseAnalysisData());
    QVERIFY(set.parseFileLog());

    if (expected.isEmpty()) {
        // The largest id of each kind in the loaded lists.
        const AnalysisExpGlobalInfo &exp = set.analysisDataMgr()->getAnalysisExpMgr()->getAnalysisExpGlobalInfo();
        const ClassifyGlobalInfo &cls = set.analysisDataMgr()->getDrpltClassifyMgr()->getClassifyGlobalInfo();
        QCOMPARE(exp.wells.size(), 3);
        expected = {largest(exp.experiments, [](const ExpItemInfo &e) { return e.id; }), 3,
                    largest(cls.zones, [](const DrpltZoneInfo &z) { return z.id; }),
                    largest(cls.populations, [](const PopulationsInfo &p) { return p.id; }), 0, 0};
        QCOMPARE(expected[0], 1u);
    }
    const FileLogMgr::Log &log = set.fileLogMgr()->getLog();
    QCOMPARE(QList<quint32>(log.cbegin(), log.cend()), expected);
}

LUMARA_TEST_MAIN(TestParseAssigner)
#include "tst_parseassigner.moc"
