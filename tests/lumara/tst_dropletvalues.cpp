// Every step that changes a run's analysis, on generated run archives: afterwards each droplet
// reads, through every grey-value reader, the value the recount classified, and the image
// analysis's quality-control figures (sharpness, saturated droplets) are those from before
// the step, unless the step recognised the droplets anew.
#include "bllaccess.h"
#include "bll/dropletexclude.h"
#include "bll/populationsmgr.h"
#include "bll/reanalysis.h"
#include "bll/resultcalculate.h"
#include "model/analysisdatamgr.h"
#include "model/compensationmatrixmgr.h"
#include "model/drpltimginfomgr.h"
#include "pcranalysisdocument.h"
#include "seeddocument.h"
#include "spillovercompensation.h"
#include "testmain.h"

#include <QTemporaryDir>

using namespace LumaraAnalysisData;
using DocRecord = LumaraAnalysisData::WellImageAnalysisInfo;

namespace {

enum Step { OpenWithMatrix, OpenWithoutMatrix, Apply, Edit, Reset, MergeUnderMatrix, Reanalyse };

struct QcFigures {
    double sharpness = 0.0;
    uint saturated = 0;
    bool operator==(const QcFigures &o) const { return sharpness == o.sharpness && saturated == o.saturated; }
};
using Figures = QMap<uint, QcFigures>; // by well id

char *toString(const QcFigures &f)
{
    return QTest::toString(QStringLiteral("sharpness %1, %2 saturated").arg(f.sharpness, 0, 'g', 10).arg(f.saturated));
}

ReAnalysis *engine()
{
    return bll()->getReAnalysis();
}

DrpltImgInfoMgr *images()
{
    return PcrAnalysisDocument::getInstance()->getAnalysisDataMgr()->getDrpltImgInfoMgr();
}

bool applied()
{
    return PcrAnalysisDocument::getInstance()->getCompensationMatrixMgr()->isApplied();
}

Figures storedFigures()
{
    Figures figures;
    for (uint id : bll()->getWellIds()) {
        const DocRecord r = images()->getImgAnalysisInfo(id);
        figures.insert(id, {r.sharpness, r.saturatedDrpltNum});
    }
    return figures;
}

// A tenth of every channel's dye shows in the next channel.
QByteArray crosstalk()
{
    CompensationMatrix m;
    for (int r = 0; r + 1 < 6; ++r)
        m.matrix[r][r + 1] = 0.1;
    Ravelin::SpilloverCompensation compensation;
    compensation.setCompensationMatrix(m);
    return compensation.getCompensationMatrixBuf();
}

} // namespace

class TestDropletValues : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void afterEveryStep_data();
    void afterEveryStep();

private:
    void open(bool matrix, Figures *expected);
    void merge(Figures *expected);
    void reanalyse(Figures *expected);
    void checkValues(bool pairsDiffer);

    QTemporaryDir m_dir;
    QString m_withMatrix;
    QString m_withoutMatrix;
    QString m_second;
    Figures m_secondFigures; // of the second archive opened on its own
};

void TestDropletValues::initTestCase()
{
    BLLInstance::createSingletons();
    QVERIFY(m_dir.isValid());
    // Large enough for the recognition to find droplets in every well.
    m_withMatrix = BllTest::generateRun(m_dir.path(), "matrix.imrs", BllTest::smallRun(true, 21, 192));
    m_withoutMatrix = BllTest::generateRun(m_dir.path(), "plain.imrs", BllTest::smallRun(false, 22, 192));
    m_second = BllTest::generateRun(m_dir.path(), "second.imrs", BllTest::smallRun(true, 23, 192));
    QVERIFY(!m_withMatrix.isEmpty() && !m_withoutMatrix.isEmpty() && !m_second.isEmpty());
    QVERIFY(bll()->openFile(m_second));
    m_secondFigures = storedFigures();
    QCOMPARE(m_secondFigures.size(), 2);
}

// Opened, then given figures of their own per well (the generator stores the same ones in every
// well, with no saturated droplet) and two excluded droplets.
void TestDropletValues::open(bool matrix, Figures *expected)
{
    QVERIFY(bll()->openFile(matrix ? m_withMatrix : m_withoutMatrix));
    QCOMPARE(applied(), matrix);
    expected->clear();
    for (uint id : bll()->getWellIds()) {
        DocRecord r = images()->getImgAnalysisInfo(id);
        r.sharpness = 1000.25 + 100 * id;
        r.saturatedDrpltNum = 7 + id;
        images()->setWellImgAnalsisInfo(r);
        expected->insert(id, {r.sharpness, r.saturatedDrpltNum});
        QVERIFY(r.droplets.size() > 3);
        bll()->getDropletExclude()->excludeDroplets(id, {0, 2});
    }
}

// The second archive's wells follow under the matrix in force: they are compensated on the
// way in and keep what their archive measured.
void TestDropletValues::merge(Figures *expected)
{
    QVERIFY(applied());
    const QList<uint> before = bll()->getWellIds();
    PcrAnalysisDocument::MergePermit permit;
    QCOMPARE(int(bll()->isMergeSupported4Load(m_second, permit)), 0);
    QVERIFY(bll()->continueLoadFile());
    const QList<uint> after = bll()->getWellIds();
    QCOMPARE(after.size(), before.size() + m_secondFigures.size());
    int k = 0;
    for (auto it = m_secondFigures.cbegin(); it != m_secondFigures.cend(); ++it)
        expected->insert(after.at(before.size() + k++), it.value());
}

// Droplets found anew bring the analyser's figures for the same images.
void TestDropletValues::reanalyse(Figures *expected)
{
    engine()->setAdjustTypes(0, 1);
    engine()->reanalyseAll();
    ReAnalysis::WellJob job;
    job.references = engine()->exposureReferences();
    job.clusterUncompensated = applied();
    expected->clear();
    for (const WellDrpltImgInfo<QImage> &well : engine()->wells()) {
        const WellDrpltImgInfoStatus status = engine()->analyseWell(well, job);
        QVERIFY2(status.ok, qPrintable(status.compensated.message));
        expected->insert(well.wellId, {status.compensated.sharpness, status.compensated.countSum});
    }
}

// Per well and channel: every droplet in record order reads the member of its pair that the
// recount classifies, the kept ones are what the plots read, and the kept values at or above a
// channel's line threshold are the positives its population counted.
void TestDropletValues::checkValues(bool pairsDiffer)
{
    const bool compensated = applied();
    bll()->getResultCalculate()->updatePopulationResults();
    bool differs = false;
    for (uint id : bll()->getWellIds()) {
        const DocRecord record = images()->getImgAnalysisInfo(id);
        const QSet<uint> excluded = bll()->getExcludedDroplets(id);
        QMap<QString, QVector<uint>> keptByDye;
        for (uint channel = 1; channel <= uint(PerChannel); ++channel) {
            QVector<uint> classified;
            QVector<uint> kept;
            for (int i = 0; i < record.droplets.size(); ++i) {
                const QPair<quint32, quint32> pair = record.droplets.at(i).grayPairs.at(int(channel) - 1);
                differs = differs || pair.first != pair.second;
                classified.append(compensated ? pair.second : pair.first);
                if (!excluded.contains(uint(i)))
                    kept.append(classified.last());
            }
            QCOMPARE(bll()->getAllDropletGrayValues(id, channel), classified);
            QCOMPARE(bll()->getWellChannelGrayValues(id, channel), kept);
            keptByDye.insert(bll()->getFluorophoreName(channel), kept);
        }
        QVERIFY(bll()->getAllDropletGrayValues(id, 0).isEmpty());
        QVERIFY(bll()->getAllDropletGrayValues(id, 7).isEmpty());

        const QVector<PopulationResultInfo> results = bll()->getResultCalculate()->getPopulationResults(id);
        QVERIFY(!results.isEmpty());
        for (const PopulationResultInfo &r : results) {
            const QString dye = bll()->getPopulationsMgr()->getPopulationName(r.populationId);
            QVERIFY2(keptByDye.contains(dye), qPrintable(dye));
            uint channel = 1;
            while (bll()->getFluorophoreName(channel) != dye)
                ++channel;
            const QVector<uint> kept = keptByDye.value(dye);
            const uint threshold = bll()->getThldByLine(id, channel);
            const uint positives = uint(std::count_if(kept.cbegin(), kept.cend(), [threshold](uint v) { return v >= threshold; }));
            QVERIFY2(r.posDrpltNum == positives && r.negDrpltNum == uint(kept.size()) - positives,
                     qPrintable(QStringLiteral("well %1 %2: counted %3 / %4, the values give %5 / %6")
                                    .arg(id)
                                    .arg(dye)
                                    .arg(r.posDrpltNum)
                                    .arg(r.negDrpltNum)
                                    .arg(positives)
                                    .arg(kept.size() - int(positives))));
        }
    }
    // Otherwise the check could not tell the two members apart.
    if (pairsDiffer)
        QVERIFY(differs);
}

void TestDropletValues::afterEveryStep_data()
{
    QTest::addColumn<QList<int>>("steps");
    QTest::newRow("open with a matrix") << QList<int>{OpenWithMatrix};
    QTest::newRow("apply") << QList<int>{OpenWithoutMatrix, Apply};
    QTest::newRow("apply over a stored matrix") << QList<int>{OpenWithMatrix, Apply};
    QTest::newRow("edit") << QList<int>{OpenWithMatrix, Edit};
    QTest::newRow("reset after opening") << QList<int>{OpenWithMatrix, Reset};
    QTest::newRow("reset after apply") << QList<int>{OpenWithoutMatrix, Apply, Reset};
    QTest::newRow("merge under a matrix") << QList<int>{OpenWithMatrix, MergeUnderMatrix};
    QTest::newRow("full re-analysis") << QList<int>{OpenWithMatrix, Reanalyse};
    QTest::newRow("apply after a re-analysis") << QList<int>{OpenWithoutMatrix, Reanalyse, Apply};
}

void TestDropletValues::afterEveryStep()
{
    QFETCH(QList<int>, steps);
    Figures expected;
    bool compensatedOnce = false; // some step stored compensated values beside the raw ones
    for (int step : steps) {
        const QByteArray matrixBuffer = crosstalk();
        Ravelin::SpilloverCompensation matrix(matrixBuffer);
        switch (Step(step)) {
        case OpenWithMatrix:
        case OpenWithoutMatrix:
            open(step == OpenWithMatrix, &expected);
            compensatedOnce = step == OpenWithMatrix;
            break;
        case Apply:
            engine()->applyCompensation(&matrix);
            compensatedOnce = true;
            break;
        case Edit:
            engine()->editCompensation(&matrix);
            break;
        case Reset:
            bll()->resetCompensationMatrix();
            break;
        case MergeUnderMatrix:
            merge(&expected);
            break;
        case Reanalyse:
            reanalyse(&expected);
            break;
        }
        if (QTest::currentTestFailed())
            return;
        checkValues(compensatedOnce);
        if (QTest::currentTestFailed())
            return;
        const Figures stored = storedFigures();
        QCOMPARE(stored.keys(), expected.keys());
        for (uint id : expected.keys())
            QCOMPARE(stored.value(id), expected.value(id));
    }
}

LUMARA_TEST_MAIN(TestDropletValues)
#include "tst_dropletvalues.moc"
