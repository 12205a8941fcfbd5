// The experiment configuration manager: six channel targets, well lookups by first id, the
// well-name rule and the configuration version kept beside the record.
#include "model/experimentcfgmgr.h"
#include "testmain.h"

using namespace LumaraAnalysisData;

namespace {

WellInfo well(quint32 id, const QString &prefix, const QString &position, const QString &sample)
{
    WellInfo w;
    w.id = id;
    w.prefix = prefix;
    w.position = position;
    w.sampleName = sample;
    w.name = QStringLiteral("stale");
    return w;
}

ExperimentInfo withTargets(int n)
{
    ExperimentInfo e;
    e.targets.clear();
    for (int i = 0; i < n; ++i)
        e.targets.append(TargetInfo{QStringLiteral("t%1").arg(i + 1), QStringLiteral("f%1").arg(i + 1)});
    return e;
}

} // namespace

class TestExperimentCfgMgr : public QObject {
    Q_OBJECT
private slots:
    void newManager();
    void setTargetName_data();
    void setTargetName();
    void storedTargetCount_data();
    void storedTargetCount();
    void wellName_data();
    void wellName();
    void firstMatchingWell();
    void unknownWell();
};

void TestExperimentCfgMgr::newManager()
{
    ExperimentCfgMgr mgr;
    QCOMPARE(mgr.getTargets().size(), 6);
    for (const TargetInfo &t : mgr.getTargets())
        QVERIFY(t.name.isEmpty() && t.fluorophore.isEmpty());
    QVERIFY(mgr.getSamples().isEmpty());
    QVERIFY(mgr.getWells().isEmpty());
    QVERIFY(mgr.getMethod().stages.isEmpty());
    QCOMPARE(mgr.getMethod().value, 0.0);
    QCOMPARE(int(mgr.getExpType()) | int(mgr.getReagentsType()) | int(mgr.getDropletWorkType())
                 | int(mgr.getBlocksType()),
             0);
    QCOMPARE(mgr.getExperimentCfgVersion(), 0);
    QVERIFY(mgr.getExpName().isEmpty() && mgr.getExp().comment.isEmpty());
}

void TestExperimentCfgMgr::setTargetName_data()
{
    QTest::addColumn<uint>("channel");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("0") << 0u << false;
    QTest::newRow("1") << 1u << true;
    QTest::newRow("6") << 6u << true;
    QTest::newRow("7") << 7u << false;
    QTest::newRow("huge") << 0xFFFFFFFFu << false;
}

void TestExperimentCfgMgr::setTargetName()
{
    QFETCH(uint, channel);
    QFETCH(bool, accepted);
    ExperimentCfgMgr mgr;
    mgr.setExperiment(withTargets(6));
    const QVector<TargetInfo> before = mgr.getTargets();
    QCOMPARE(mgr.setTargetName(channel, QStringLiteral("new")), accepted);
    for (int i = 0; i < 6; ++i) {
        const bool changed = accepted && i == int(channel) - 1;
        QCOMPARE(mgr.getTargets().at(i).name, changed ? QStringLiteral("new") : before.at(i).name);
        QCOMPARE(mgr.getTargets().at(i).fluorophore, before.at(i).fluorophore);
    }
}

void TestExperimentCfgMgr::storedTargetCount_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("kept");
    QTest::newRow("none") << 0 << 6;
    QTest::newRow("two") << 2 << 6;
    QTest::newRow("six") << 6 << 6;
    QTest::newRow("eight are not cut") << 8 << 8;
}

void TestExperimentCfgMgr::storedTargetCount()
{
    QFETCH(int, stored);
    QFETCH(int, kept);
    ExperimentCfgMgr mgr;
    mgr.setExperimentCfgVersion(7);
    ExperimentInfo e = withTargets(stored);
    e.name = QStringLiteral("run");
    mgr.setExperiment(e);
    QCOMPARE(mgr.getExperimentCfgVersion(), 7); // not taken from the record
    QCOMPARE(mgr.getExpName(), QStringLiteral("run"));
    QCOMPARE(mgr.getTargets().size(), kept);
    for (int i = 0; i < kept; ++i)
        QCOMPARE(mgr.getTargets().at(i).name, i < stored ? QStringLiteral("t%1").arg(i + 1) : QString());
    // Every channel can be named, also on a record that came with fewer targets.
    QVERIFY(mgr.setTargetName(6, QStringLiteral("last")));
    QCOMPARE(mgr.getTargets().at(5).name, QStringLiteral("last"));
    QVERIFY(!mgr.setTargetName(7, QStringLiteral("x")));
}

void TestExperimentCfgMgr::wellName_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("position");
    QTest::addColumn<QString>("sample");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no prefix") << "" << "1A" << "S1" << "1A_S1";
    QTest::newRow("prefix") << "P" << "1A" << "S1" << "P_1A_S1";
    QTest::newRow("empty sample ends with _") << "" << "3C" << "" << "3C_";
    QTest::newRow("prefix, empty sample") << "P" << "3C" << "" << "P_3C_";
    QTest::newRow("only a prefix") << "P" << "" << "" << "P__";
    QTest::newRow("all empty") << "" << "" << "" << "_";
    QTest::newRow("nothing trimmed") << " p " << "1A" << " s_ " << " p _1A_ s_ ";
}

void TestExperimentCfgMgr::wellName()
{
    QFETCH(QString, prefix);
    QFETCH(QString, position);
    QFETCH(QString, sample);
    QFETCH(QString, expected);
    ExperimentCfgMgr mgr;
    QCOMPARE(mgr.generateWellName(prefix, position, sample), expected);

    ExperimentInfo e;
    e.wells << well(4, prefix, position, QStringLiteral("old"));
    mgr.setExperiment(e);
    QVERIFY(mgr.setSampleName(4, sample));
    QCOMPARE(mgr.getWells().at(0).name, expected);
    QCOMPARE(mgr.getWells().at(0).sampleName, sample);
}

void TestExperimentCfgMgr::firstMatchingWell()
{
    ExperimentCfgMgr mgr;
    ExperimentInfo e;
    e.wells << well(1, "", "1A", "a") << well(5, "", "1B", "b") << well(5, "", "1C", "c");
    mgr.setExperiment(e);
    QVERIFY(mgr.setSampleName(5, QStringLiteral("z")));
    QCOMPARE(mgr.getWells().at(1).name, QStringLiteral("1B_z"));
    QCOMPARE(mgr.getWells().at(2).name, QStringLiteral("stale"));
    QCOMPARE(mgr.getWells().at(2).sampleName, QStringLiteral("c"));

    QVERIFY(mgr.removeWell(5));
    QCOMPARE(mgr.getWells().size(), 2);
    QCOMPARE(mgr.getWells().at(1).position, QStringLiteral("1C"));
    QVERIFY(mgr.removeWell(5));
    QVERIFY(!mgr.removeWell(5));
    QCOMPARE(mgr.getWells().size(), 1);
}

void TestExperimentCfgMgr::unknownWell()
{
    ExperimentCfgMgr mgr;
    ExperimentInfo e;
    e.wells << well(2, "", "1A", "a");
    mgr.setExperiment(e);
    const ExperimentInfo before = mgr.getExp();
    QVERIFY(!mgr.setSampleName(3, QStringLiteral("x")));
    QVERIFY(!mgr.removeWell(0));
    QVERIFY(mgr.getExp() == before);
    mgr.setComment(QStringLiteral("note"));
    QCOMPARE(mgr.getExp().comment, QStringLiteral("note"));
}

LUMARA_TEST_MAIN(TestExperimentCfgMgr)
#include "tst_experimentcfgmgr.moc"
