// Negative/positive clustering: the two-class threshold of one channel, a well's thresholds
// with saturated droplets left out, and the threshold table of a grey table.
#include "analysisrecords.h"
#include "clusterhandle.h"
#include "negposcluster.h"
#include "testmain.h"

namespace {

QVector<uint> repeated(uint value, int count)
{
    return QVector<uint>(count, value);
}

// A droplet with the given working greys of channels 0, 2 and 4 (others 0).
DropletAnalysisInfo droplet(uint g0, uint g2, uint g4, bool saturatedIn2 = false)
{
    DropletAnalysisInfo d;
    d.workingGreys = QVector<quint32>{g0, 0, g2, 0, g4, 0};
    if (saturatedIn2)
        d.flags[2] = 3;
    return d;
}

// Channels 0, 2, 4. The sixth droplet is saturated in channel 2 and left out everywhere.
WellImageAnalysisInfo threeChannelWell()
{
    WellImageAnalysisInfo w;
    w.valid = true;
    w.channels = {0, 2, 4};
    w.droplets = {droplet(100, 300, 10), droplet(100, 300, 20), droplet(100, 8000, 30),
                  droplet(5000, 8000, 40), droplet(5000, 8000, 50), droplet(9000, 60000, 0, true)};
    return w;
}

} // namespace

class TestClustering : public QObject {
    Q_OBJECT
private slots:
    void threshold_data();
    void threshold();
    void errorTextAccumulates();
    void wellThresholds();
    void wellFailureStopsAtChannel();
    void invalidWellIsSkipped();
    void greyTable_data();
    void greyTable();
};

void TestClustering::threshold_data()
{
    QTest::addColumn<QVector<uint>>("greys");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("threshold");
    QTest::addColumn<QString>("error");

    const QString tooFew = QStringLiteral("the data size is less then 2");
    // {100 x3} and {5000 x2}: (100 + 5000) / 2.
    QTest::newRow("two clear classes") << QVector<uint>{100, 100, 100, 5000, 5000} << true << 2550.0 << QString();
    QTest::newRow("unsorted") << QVector<uint>{5000, 100, 5000, 100, 100} << true << 2550.0 << QString();
    // 1000 goes with 100 (400 is nearer than 5000): (1000 + 5000) / 2.
    QTest::newRow("middle value joins the dim class") << QVector<uint>{100, 100, 1000, 5000, 5000} << true << 3000.0
                                                      << QString();
    // One class of 999..1002 still splits: {999, 1000, 1000} and {1001, 1002}: (1000 + 1001) / 2.
    QTest::newRow("single class") << QVector<uint>{1000, 1001, 1002, 999, 1000} << true << 1000.5 << QString();
    // 10 is as far from 0 as from 20 and stays with cluster 0: {0, 10} | {20}: (10 + 20) / 2.
    // Ties going to cluster 1 would give {0} | {10, 20}: 5.
    QTest::newRow("tie goes to the lower cluster") << QVector<uint>{0, 10, 20} << true << 15.0 << QString();
    // The bright class {70000, 80000} counts as full scale: (100 + 65535) / 2 = 32817.5.
    // Wrapping to 16 bits would give (100 + 4464) / 2 = 2282.
    QTest::newRow("values above 16 bits") << QVector<uint>{100, 100, 100, 70000, 80000} << true << 32817.5 << QString();
    QTest::newRow("all bright values saturate") << QVector<uint>{65535, 70000, 90000} << true << 65535.0 << QString();
    QTest::newRow("all equal") << QVector<uint>{7, 7, 7} << false << 0.0 << QString();
    QTest::newRow("two values") << QVector<uint>{10, 20} << false << 0.0 << tooFew;
    QTest::newRow("one value") << QVector<uint>{10} << false << 0.0 << tooFew;
    QTest::newRow("no values") << QVector<uint>{} << false << 0.0 << tooFew;

    // After the first update the dim centroid has moved only 2/250001 (< 1e-5) while the
    // bright one moved from 4 to 3.5; stopping there would leave 2 in the dim class and give
    // (2 + 3) / 2. Run to rest, 2 joins {3, 4}: (0 + 2) / 2.
    QVector<uint> slow = repeated(0, 250000);
    slow << 2 << 3 << 4;
    QTest::newRow("stops only when both centroids rest") << slow << true << 1.0 << QString();
}

void TestClustering::threshold()
{
    QFETCH(QVector<uint>, greys);
    QFETCH(bool, ok);
    QFETCH(double, threshold);
    QFETCH(QString, error);

    ClusterHandle handle;
    double got = -1;
    QCOMPARE(handle.clusterDrpltGray(greys, got), ok);
    QCOMPARE(got, threshold);
    QCOMPARE(handle.getErrString(), error);
}

void TestClustering::errorTextAccumulates()
{
    ClusterHandle handle;
    double t = 0;
    QVERIFY(!handle.clusterDrpltGray({1}, t));
    QVERIFY(!handle.clusterDrpltGray({1, 2}, t));
    QCOMPARE(handle.getErrString(), QStringLiteral("the data size is less then 2the data size is less then 2"));
    ClusterHandle copy(handle);
    handle.clearErrString();
    QVERIFY(handle.getErrString().isEmpty());
    QCOMPARE(copy.getErrString().size(), 56);
    // A success leaves the text alone.
    QVERIFY(copy.clusterDrpltGray({1, 1, 9}, t));
    QCOMPARE(copy.getErrString().size(), 56);
}

void TestClustering::wellThresholds()
{
    WellImageAnalysisInfo w = threeChannelWell();
    w.thresholds[1] = {11, 12}; // channels without an image keep theirs
    QString progress;
    QVERIFY(Ravelin::clusterWellThresholds(&w, 1, &progress));
    QVERIFY(w.valid);
    // ch0: {100 x3} | {5000 x2}: 2550. ch2: {300 x2} | {8000 x3}: 4150.
    // ch4: {10, 20, 30} | {40, 50}: 35 (with the saturated droplet's 0 it would be 25).
    QCOMPARE(w.thresholds[0], QVector<quint32>{2550});
    QCOMPARE(w.thresholds[2], QVector<quint32>{4150});
    QCOMPARE(w.thresholds[4], QVector<quint32>{35});
    QCOMPARE(w.thresholds[1], (QVector<quint32>{11, 12}));
    QCOMPARE(w.thresholds[3], QVector<quint32>{0});
    QVERIFY(w.message.isEmpty());
    QCOMPARE(progress, QStringLiteral("ImageInfo: negPosCluster_completed:1,negPosCluster_DrpltRecog Number:6"));
}

void TestClustering::wellFailureStopsAtChannel()
{
    // Channel 2 of the five unsaturated droplets all 200: all equal, no text of its own.
    WellImageAnalysisInfo w = threeChannelWell();
    for (int i = 0; i < 5; ++i)
        w.droplets[i].workingGreys[2] = 200;
    w.thresholds[4] = {77};
    w.message = QStringLiteral("before;");
    QString got;
    QVERIFY(!Ravelin::clusterWellThresholds(&w, 4, &got));
    QVERIFY(w.valid);
    QCOMPARE(w.thresholds[0], QVector<quint32>{2550});
    QCOMPARE(w.thresholds[2], QVector<quint32>{0});
    QCOMPARE(w.thresholds[4], QVector<quint32>{77});
    QCOMPARE(w.message, QStringLiteral("before;"));
    QCOMPARE(got, QStringLiteral("ImageInfo: cluster_completed:0,cluster Number:5,"
                                 "nSaturatedPixelNum:4,Saturated_number:1"));
}

void TestClustering::invalidWellIsSkipped()
{
    WellImageAnalysisInfo w = threeChannelWell();
    w.valid = false;
    QString progress;
    QVERIFY(Ravelin::clusterWellThresholds(&w, 1, &progress));
    QVERIFY(!w.valid);
    QCOMPARE(w.thresholds, (QVector<QVector<quint32>>(6, QVector<quint32>{0})));
    QCOMPARE(progress, QStringLiteral("ImageInfo: negPosCluster_completed:0,negPosCluster_DrpltRecog Number:6"));

    // Too few unsaturated droplets: the handle's text reaches the record.
    WellImageAnalysisInfo few;
    few.valid = true;
    few.channels = {3};
    few.droplets = {droplet(1, 1, 1), droplet(2, 2, 2), droplet(3, 3, 3, true), droplet(4, 4, 4, true)};
    QVERIFY(!Ravelin::clusterWellThresholds(&few, 2, &progress));
    QCOMPARE(few.message, QStringLiteral("the data size is less then 2"));
    QCOMPARE(progress, QStringLiteral("ImageInfo: cluster_completed:0,cluster Number:2,"
                                      "nSaturatedPixelNum:2,Saturated_number:2"));
}

void TestClustering::greyTable_data()
{
    QTest::addColumn<QVector<QVector<uint>>>("rows");
    QTest::addColumn<QVector<uint>>("expected"); // threshold per channel

    QTest::newRow("empty table") << QVector<QVector<uint>>() << QVector<uint>(6, 0);
    // ch0 {100 x3 | 5000 x2}: 2550; ch1 all 0: 0; ch2 all 7: clustering fails, 0;
    // ch3 {0 x4 | 9}: 4.5 -> 4; ch4 {100 x3 | 70000, 80000}: 32817.5 -> 32817;
    // ch5 {10, 20, 30 | 40, 50}: 35.
    QTest::newRow("mixed channels") << QVector<QVector<uint>>{{100, 0, 7, 0, 100, 10},
                                                              {100, 0, 7, 0, 100, 20},
                                                              {100, 0, 7, 0, 100, 30},
                                                              {5000, 0, 7, 0, 70000, 40},
                                                              {5000, 0, 7, 9, 80000, 50}}
                                    << QVector<uint>{2550, 0, 0, 4, 32817, 35};
    QTest::newRow("two rows") << QVector<QVector<uint>>{{1, 2, 3, 4, 5, 6}, {6, 5, 4, 3, 2, 1}} << QVector<uint>(6, 0);
    // Rows shorter than six give nothing to the channels they lack.
    QTest::newRow("short rows") << QVector<QVector<uint>>{{100}, {100, 5}, {100}, {5000}, {5000}}
                                << QVector<uint>{2550, 0, 0, 0, 0, 0};
}

void TestClustering::greyTable()
{
    QFETCH(QVector<QVector<uint>>, rows);
    QFETCH(QVector<uint>, expected);

    QVector<QVector<uint>> thresholds{{9, 9}, {9}}; // replaced whole
    QVERIFY(Ravelin::clusterGreyTable(rows, thresholds));
    QCOMPARE(thresholds.size(), 6);
    for (int c = 0; c < 6; ++c)
        QCOMPARE(thresholds[c], QVector<uint>{expected[c]});
}

LUMARA_TEST_MAIN(TestClustering)
#include "tst_clustering.moc"
