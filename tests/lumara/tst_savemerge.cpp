// Saving and merging through the facade on generated run archives: the save's result, the merge
// continuation without a pending merge, and the added wells brought up to date inside the merge
// (recounted on their analysis thresholds, or compensated with the stored matrix) while the
// wells already open keep their values.
#include "bllaccess.h"
#include "bll/reanalysis.h"
#include "bll/signaltransfer.h"
#include "model/analysisdatamgr.h"
#include "model/compensationmatrixmgr.h"
#include "model/devparasmgr.h"
#include "model/drpltimginfomgr.h"
#include "pcranalysisdocument.h"
#include "seeddocument.h"
#include "testmain.h"
#include "zipcheck.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

#include <functional>

using namespace LumaraAnalysisData;
using DocRecord = LumaraAnalysisData::WellImageAnalysisInfo;

namespace {

DocRecord record(uint wellId)
{
    return PcrAnalysisDocument::getInstance()->getAnalysisDataMgr()->getDrpltImgInfoMgr()->getImgAnalysisInfo(wellId);
}

QVector<QPair<quint32, quint32>> pairs(uint wellId, int channel)
{
    QVector<QPair<quint32, quint32>> out;
    for (const DrpltInfo &d : record(wellId).droplets)
        out.append(d.grayPairs.at(channel));
    return out;
}

// On a thread of its own, without delivering events meanwhile: what the facade announces must
// come from the job itself. (A future's result() might run the job on this very thread.)
bool onWorker(const std::function<bool()> &job)
{
    bool result = false;
    QThread *worker = QThread::create([&result, &job] { result = job(); });
    worker->start();
    worker->wait();
    delete worker;
    return result;
}

} // namespace

class TestSaveMerge : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void saveReportsItsResult_data();
    void saveReportsItsResult();
    void continuationWithoutPendingMerge();
    void mergedWells_data();
    void mergedWells();

private:
    QTemporaryDir m_dir;
};

void TestSaveMerge::initTestCase()
{
    BLLInstance::createSingletons();
    QVERIFY(m_dir.isValid());
}

void TestSaveMerge::saveReportsItsResult_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("saved");
    QTest::newRow("package") << "copy.arlx" << true;
    QTest::newRow("not a package suffix") << "copy.imrs" << false;
    QTest::newRow("folder missing") << "missing/copy.arlx" << false;
}

void TestSaveMerge::saveReportsItsResult()
{
    QFETCH(QString, target);
    QFETCH(bool, saved);
    const QString run = BllTest::generateRun(m_dir.path(), "save.imrs", BllTest::smallRun(false, 3, 96));
    QVERIFY(bll()->openFile(run));
    QSignalSpy completed(bll(), &BLLInstance::saveCompleted);
    const QString path = m_dir.filePath(target);
    bll()->beginSaveFile();
    QCOMPARE(onWorker([path] {
                 const bool ok = BLLInstance::getInstance()->saveFile(path);
                 BLLInstance::getInstance()->endSaveFile();
                 return ok;
             }),
             saved);
    QCOMPARE(completed.size(), 1);
    QCOMPARE(QFileInfo::exists(path), saved);
    if (saved)
        LUMARA_VERIFY_STANDARD_ZIP(path);
}

void TestSaveMerge::continuationWithoutPendingMerge()
{
    QVERIFY(bll()->openFile(BllTest::generateRun(m_dir.path(), "alone.imrs", BllTest::smallRun(false, 4, 96))));
    QSignalSpy merged(bll(), &BLLInstance::mergeComplete);
    QTest::ignoreMessage(QtDebugMsg, "Merge Error!");
    QVERIFY(!bll()->continueLoadFile());
    QCOMPARE(merged.size(), 0);
}

void TestSaveMerge::mergedWells_data()
{
    QTest::addColumn<bool>("matrix"); // both archives store the crosstalk matrix
    QTest::newRow("no matrix: recounted") << false;
    QTest::newRow("stored matrix: compensated") << true;
}

void TestSaveMerge::mergedWells()
{
    QFETCH(bool, matrix);
    const QString first = BllTest::generateRun(m_dir.path(), matrix ? "firstm.imrs" : "first.imrs", BllTest::smallRun(matrix, 5, 96));
    const QString second = BllTest::generateRun(m_dir.path(), matrix ? "secondm.imrs" : "second.imrs", BllTest::smallRun(matrix, 6, 96));
    QVERIFY(bll()->openFile(first));
    QCOMPARE(PcrAnalysisDocument::getInstance()->getCompensationMatrixMgr()->isApplied(), matrix);

    // Well 1 was exposed twice as long as the rest: its values were halved at the open and
    // must not be halved again by the merge.
    DevParasMgr *paras = PcrAnalysisDocument::getInstance()->getDevParasMgr();
    DevParasInfoOfWells device = paras->getDevParas();
    QVERIFY(device.paras.contains(1));
    for (ScanningParameterInfo &p : device.paras[1])
        p.exposureTime *= 2;
    paras->setDevParas(device);
    const auto wellOne = pairs(1, 0);

    PcrAnalysisDocument::MergePermit permit;
    QCOMPARE(int(bll()->isMergeSupported4Load(second, permit)), 0);
    QSignalSpy merged(bll(), &BLLInstance::mergeComplete);
    QSignalSpy fixed(bll(), &BLLInstance::dataFixed);
    QSignalSpy hubInfo(SignalTransfer::getInstance(), &SignalTransfer::updateWellInfo);
    QSignalSpy hubCompensation(SignalTransfer::getInstance(), &SignalTransfer::editCompensationComplete);
    QVERIFY(onWorker([] { return BLLInstance::getInstance()->continueLoadFile(); }));
    // Everything happened inside the job: the facade's own announcements came from it.
    QCOMPARE(merged.size(), 1);
    QCOMPARE(fixed.size(), 1);
    QCoreApplication::processEvents();
    QVERIFY(hubInfo.size() >= 1);
    QCOMPARE(hubCompensation.size(), matrix ? 1 : 0);

    QCOMPARE(bll()->getWellIds(), (QList<uint>{1, 2, 3, 4}));
    QCOMPARE(bll()->getReAnalysis()->wells().size(), 4);
    if (!matrix)
        QCOMPARE(pairs(1, 0), wellOne);
    for (uint added : {3u, 4u}) {
        const DocRecord r = record(added);
        for (uint channel : bll()->getWellChannels(added)) {
            const ChanAnalysisInfo &c = r.chanInfos.at(int(channel) - 1);
            QCOMPARE(bll()->getThldByLine(added, channel), matrix ? c.compensatedLineThld : c.lineThld);
            QVERIFY(bll()->getThldByLine(added, channel) > 0);
        }
    }
    if (matrix) {
        // Compensated from the raw values: some droplet's two values differ.
        bool differs = false;
        for (const auto &p : pairs(3, 0))
            differs = differs || p.first != p.second;
        QVERIFY(differs);
    }
}

LUMARA_TEST_MAIN(TestSaveMerge)
#include "tst_savemerge.moc"
