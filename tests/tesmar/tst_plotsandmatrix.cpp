// Compensation-matrix buffer and user-defined plots.
#include "model/compensationmatrixmgr.h"
#include "model/customizedplotmgr.h"
#include "model/filelogmgr.h"
#include "testmain.h"

using namespace LumaraAnalysisData;

class TestPlotsAndMatrix : public QObject {
    Q_OBJECT
private slots:
    void matrixStates_data();
    void matrixStates();
    void plotIdsFromCounters();
    void plotKindsAreSeparate_data();
    void plotKindsAreSeparate();
    void noCounters();
};

void TestPlotsAndMatrix::matrixStates_data()
{
    QTest::addColumn<QByteArray>("buffer");
    QTest::addColumn<bool>("reset");
    QTest::addColumn<bool>("applied");
    QTest::addColumn<QByteArray>("stored");
    const QByteArray matrix(336, '\x3f');
    QTest::newRow("matrix set") << matrix << false << true << matrix;
    QTest::newRow("empty buffer still counts as applied") << QByteArray() << false << true << QByteArray();
    QTest::newRow("reset after set") << matrix << true << false << QByteArray();
}

void TestPlotsAndMatrix::matrixStates()
{
    QFETCH(QByteArray, buffer);
    QFETCH(bool, reset);
    QFETCH(bool, applied);
    QFETCH(QByteArray, stored);
    CompensationMatrixMgr mgr;
    QVERIFY(!mgr.isApplied());
    QVERIFY(mgr.getMatrixBuf().isEmpty());
    mgr.setMatrixBuf(buffer);
    if (reset)
        mgr.resetMatrix();
    QCOMPARE(mgr.isApplied(), applied);
    QCOMPARE(mgr.getMatrixBuf(), stored);
}

void TestPlotsAndMatrix::plotIdsFromCounters()
{
    FileLogMgr log;
    log.setLog(FileLogMgr::Log{0, 0, 0, 0, 4, 0});
    CustomizedPlotMgr mgr(&log);
    Customized2DPlotInfo p{77, QStringLiteral("FAM/HEX"), 1, 2};
    QCOMPARE(mgr.add2DPlot(p), 5u); // counter 4 + 1; the record's 77 is ignored
    QCOMPARE(mgr.add2DPlot(p), 6u);
    QCOMPARE(p.id, 77u);            // the caller's record is untouched
    QCOMPARE(mgr.get2DPlots().size(), 2);
    QCOMPARE(mgr.get2DPlots().at(1), (Customized2DPlotInfo{6, QStringLiteral("FAM/HEX"), 1, 2}));

    mgr.clearPlot();
    QVERIFY(mgr.get2DPlots().isEmpty());
    QCOMPARE(mgr.add2DPlot(p), 7u); // the sequence goes on after clearing
    QCOMPARE(log.getLog()[FileLogMgr::Plot2DCounter], 7u);
}

void TestPlotsAndMatrix::plotKindsAreSeparate_data()
{
    QTest::addColumn<bool>("remove2D");
    QTest::addColumn<uint>("id");
    QTest::addColumn<bool>("removed");
    QTest::addColumn<int>("left2D");
    QTest::addColumn<int>("left3D");
    // 2D ids 1, 2; 3D id 1.
    QTest::newRow("3D id 2 has only a 2D namesake") << false << 2u << false << 2 << 1;
    QTest::newRow("3D id 1") << false << 1u << true << 2 << 0;
    QTest::newRow("2D id 2") << true << 2u << true << 1 << 1;
}

void TestPlotsAndMatrix::plotKindsAreSeparate()
{
    QFETCH(bool, remove2D);
    QFETCH(uint, id);
    QFETCH(bool, removed);
    QFETCH(int, left2D);
    QFETCH(int, left3D);
    FileLogMgr log;
    CustomizedPlotMgr mgr(&log);
    QCOMPARE(mgr.add2DPlot({0, "a", 1, 2}), 1u);
    QCOMPARE(mgr.add2DPlot({0, "b", 1, 3}), 2u);
    QCOMPARE(mgr.add3DPlot({0, "c", 1, 2, 3}), 1u); // its own counter
    QCOMPARE(remove2D ? mgr.remove2DPlot(id) : mgr.remove3DPlot(id), removed);
    QCOMPARE(mgr.get2DPlots().size(), left2D);
    QCOMPARE(mgr.get3DPlots().size(), left3D);
}

void TestPlotsAndMatrix::noCounters()
{
    CustomizedPlotMgr mgr;
    QCOMPARE(mgr.add2DPlot({0, "a", 1, 2}), 0u);
    QCOMPARE(mgr.add3DPlot({0, "a", 1, 2, 3}), 0u);
    QVERIFY(mgr.get2DPlots().isEmpty());
    QVERIFY(mgr.get3DPlots().isEmpty());
    FileLogMgr log;
    mgr.setFileLogMgr(&log);
    QCOMPARE(mgr.add3DPlot({0, "a", 1, 2, 3}), 1u);
}

LUMARA_TEST_MAIN(TestPlotsAndMatrix)
#include "tst_plotsandmatrix.moc"
