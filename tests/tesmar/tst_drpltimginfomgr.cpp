// Per-well image-analysis records: exclusion sets, quality, thresholds.
#include "model/drpltimginfomgr.h"
#include "testmain.h"

using namespace LumaraAnalysisData;

Q_DECLARE_METATYPE(QSet<uint>)

namespace {

WellImageAnalysisInfo record(quint32 wellId, int droplets = 4)
{
    WellImageAnalysisInfo w;
    w.wellId = wellId;
    w.valid = true;
    w.droplets.resize(droplets);
    for (int c = 0; c < w.chanInfos.size(); ++c) {
        w.chanInfos[c].lineThld = quint32(1000 + c);
        w.chanInfos[c].compensatedLineThld = quint32(2000 + c);
    }
    return w;
}

} // namespace

class TestDrpltImgInfoMgr : public QObject {
    Q_OBJECT
private slots:
    void exclusionSets_data();
    void exclusionSets();
    void missingWell();
    void lineThresholds_data();
    void lineThresholds();
    void qualityKeepsThresholds_data();
    void qualityKeepsThresholds();
    void replaceRecord();
};

void TestDrpltImgInfoMgr::exclusionSets_data()
{
    QTest::addColumn<QSet<uint>>("exclude");
    QTest::addColumn<QSet<uint>>("include");
    QTest::addColumn<QSet<uint>>("expected");
    // The well starts with {1, 3} excluded.
    QTest::newRow("union") << QSet<uint>{0, 3} << QSet<uint>() << QSet<uint>{0, 1, 3};
    QTest::newRow("difference") << QSet<uint>() << QSet<uint>{3, 2} << QSet<uint>{1};
    // Indices are not checked against the droplet count.
    QTest::newRow("beyond droplets") << QSet<uint>{99} << QSet<uint>{1} << QSet<uint>{3, 99};
}

void TestDrpltImgInfoMgr::exclusionSets()
{
    QFETCH(QSet<uint>, exclude);
    QFETCH(QSet<uint>, include);
    QFETCH(QSet<uint>, expected);
    DrpltImgInfoMgr mgr;
    WellImageAnalysisInfo w = record(5);
    w.excludedDrplts = {1, 3};
    mgr.appendImgAnalysis(w);
    mgr.excludedDrplts(5, exclude);
    mgr.includedDrplts(5, include);
    QCOMPARE(mgr.getImgAnalysisInfo(5).excludedDrplts, expected);
    QCOMPARE(mgr.getImgAnalysisInfo(5).droplets.size(), 4);
    mgr.restoreDrplts(5);
    QVERIFY(mgr.getImgAnalysisInfo(5).excludedDrplts.isEmpty());
    mgr.restoreDrplts(5); // harmless without exclusions
    QVERIFY(mgr.getImgAnalysisInfo(5).excludedDrplts.isEmpty());
}

void TestDrpltImgInfoMgr::missingWell()
{
    DrpltImgInfoMgr mgr;
    mgr.appendImgAnalysis(record(1));
    const QList<WellImageAnalysisInfo> before = mgr.getWellImgAnalysisInfos();
    mgr.excludedDrplts(2, {1});
    mgr.includedDrplts(2, {1});
    mgr.restoreDrplts(2);
    mgr.setWellImgAnalsisInfo(record(2, 9)); // adds nothing
    mgr.setRoxValue(2, 3, 1.5);
    mgr.setLineThld(2, 1, 7, false);
    ChanAnalysisInfo q;
    mgr.setDrpltQuality(2, 1, q);
    QVERIFY(!mgr.removeWell(2));
    QCOMPARE(mgr.getWellImgAnalysisInfos(), before);
    QString text;
    try {
        mgr.getImgAnalysisInfo(2);
    } catch (const char *t) {
        text = QString::fromLatin1(t);
    }
    QCOMPARE(text, QStringLiteral("Well id is invalid!"));
    QVERIFY(mgr.removeWell(1));
    mgr.appendImgAnalysis(record(3));
    mgr.clearData();
    QVERIFY(mgr.getWellImgAnalysisInfos().isEmpty());
}

void TestDrpltImgInfoMgr::lineThresholds_data()
{
    QTest::addColumn<uint>("channel");
    QTest::addColumn<bool>("compensated");
    QTest::addColumn<int>("channelEntries");
    QTest::addColumn<bool>("written");
    QTest::newRow("raw, channel 1") << 1u << false << 6 << true;
    QTest::newRow("compensated, channel 6") << 6u << true << 6 << true;
    QTest::newRow("channel 0") << 0u << false << 6 << false;
    QTest::newRow("channel 7") << 7u << true << 6 << false;
    // A stored record with three channel entries.
    QTest::newRow("short record, channel 3") << 3u << false << 3 << true;
    QTest::newRow("short record, channel 4") << 4u << false << 3 << false;
}

void TestDrpltImgInfoMgr::lineThresholds()
{
    QFETCH(uint, channel);
    QFETCH(bool, compensated);
    QFETCH(int, channelEntries);
    QFETCH(bool, written);
    DrpltImgInfoMgr mgr;
    WellImageAnalysisInfo w = record(8);
    w.chanInfos.resize(channelEntries);
    mgr.appendImgAnalysis(w);
    mgr.appendImgAnalysis(record(9));
    mgr.appendImgAnalysis(w); // a second record of the same well
    const QList<WellImageAnalysisInfo> before = mgr.getWellImgAnalysisInfos();
    mgr.setLineThld(8, channel, 4242, compensated);
    if (!written) {
        QCOMPARE(mgr.getWellImgAnalysisInfos(), before);
        return;
    }
    for (int i : {0, 2}) { // every record of the well, not only the first
        const ChanAnalysisInfo &c = mgr.getWellImgAnalysisInfos().at(i).chanInfos.at(int(channel) - 1);
        QCOMPARE(compensated ? c.compensatedLineThld : c.lineThld, 4242u);
        QCOMPARE(compensated ? c.lineThld : c.compensatedLineThld,
                 compensated ? 1000 + channel - 1 : 2000 + channel - 1);
    }
    QCOMPARE(mgr.getWellImgAnalysisInfos().at(1), before.at(1));
}

void TestDrpltImgInfoMgr::qualityKeepsThresholds_data()
{
    QTest::addColumn<uint>("channel");
    QTest::addColumn<int>("channelEntries");
    QTest::addColumn<bool>("written");
    QTest::newRow("channel 2") << 2u << 6 << true;
    QTest::newRow("channel 0") << 0u << 6 << false;
    QTest::newRow("channel 7") << 7u << 6 << false;
    QTest::newRow("short record") << 2u << 1 << false;
}

void TestDrpltImgInfoMgr::qualityKeepsThresholds()
{
    QFETCH(uint, channel);
    QFETCH(int, channelEntries);
    QFETCH(bool, written);
    DrpltImgInfoMgr mgr;
    WellImageAnalysisInfo w = record(4);
    w.chanInfos.resize(channelEntries);
    mgr.appendImgAnalysis(w);
    ChanAnalysisInfo q{101.0, 0.05, 12.0, 0.2, 3.5, 0.01, 7, 8};
    mgr.setDrpltQuality(4, channel, q);
    const QVector<ChanAnalysisInfo> &infos = mgr.getImgAnalysisInfo(4).chanInfos;
    if (!written) {
        QCOMPARE(infos, w.chanInfos);
        return;
    }
    // Six figures copied; the channel's thresholds 1001 and 2001 stay.
    QCOMPARE(infos.at(int(channel) - 1), (ChanAnalysisInfo{101.0, 0.05, 12.0, 0.2, 3.5, 0.01, 1001, 2001}));
}

void TestDrpltImgInfoMgr::replaceRecord()
{
    DrpltImgInfoMgr mgr;
    mgr.appendImgAnalysis(record(6));
    mgr.appendImgAnalysis(record(6));
    WellImageAnalysisInfo fresh = record(6, 12);
    fresh.sharpness = 1800.5;
    fresh.excludedDrplts = {4};
    mgr.setWellImgAnalsisInfo(fresh);
    QCOMPARE(mgr.getWellImgAnalysisInfos().at(0), fresh);     // first match replaced
    QCOMPARE(mgr.getWellImgAnalysisInfos().at(1), record(6)); // second kept
    mgr.setRoxValue(6, 3, 2.25);
    QCOMPARE(mgr.getImgAnalysisInfo(6).roxChannel, 3u);
    QCOMPARE(mgr.getImgAnalysisInfo(6).roxValue, 2.25);
}

LUMARA_TEST_MAIN(TestDrpltImgInfoMgr)
#include "tst_drpltimginfomgr.moc"
