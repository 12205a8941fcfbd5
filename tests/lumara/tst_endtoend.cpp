// The main road end to end on generated run archives, through the headless driver: opened
// figures against the ground truth for several positive fractions and both archive kinds,
// re-analysis against the drawn droplets and the opened figures, and every later step
// (exclusion, compensation, reset, merge, save and reopen) against the steps before it.
#include "bll/bllinstance.h"
#include "driver.h"
#include "scenario.h"
#include "testmain.h"
#include "truthcheck.h"

#include <QDir>
#include <QTemporaryDir>
#include <QThreadPool>

using EndToEnd::ScenarioOptions;
Q_DECLARE_METATYPE(EndToEnd::ScenarioOptions)

namespace {

ScenarioOptions run(MkPackage::ArchiveKind kind, double fraction, int wells = 2)
{
    ScenarioOptions o;
    o.run.kind = kind;
    o.run.wells = wells;
    o.run.width = o.run.height = 512;
    o.run.matrix = false;
    o.run.crosstalk = 0.1;
    o.run.seed = 11;
    for (MkPackage::TargetOption &t : o.run.targets)
        t.fraction = fraction;
    o.run.analysisParamsJson = EndToEnd::dataFolderParameters(o.run.volume);
    return o;
}

ScenarioOptions everyStep(ScenarioOptions o)
{
    o.lineMode = o.pool = o.reanalyse = o.matrix = o.reset = o.merge = o.save = true;
    o.excludeStep = 7;
    return o;
}

ScenarioOptions withVolume(ScenarioOptions o, int volume)
{
    o.run.volume = volume;
    o.run.analysisParamsJson = EndToEnd::dataFolderParameters(volume);
    o.reanalyse = true;
    // As the recognition's own tests ask of it on chips of every volume.
    o.minCompleteness = 0.8;
    return o;
}

} // namespace

class TestEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void scenario_data();
    void scenario();
    void oneThreadAndEightAgree();

private:
    QTemporaryDir m_dir;
    int m_row = 0;
};

void TestEndToEnd::initTestCase()
{
    BLLInstance::createSingletons();
    QVERIFY(m_dir.isValid());
}

void TestEndToEnd::scenario_data()
{
    QTest::addColumn<ScenarioOptions>("options");
    using K = MkPackage::ArchiveKind;
    // With about one positive droplet per well at 0.1 %, clustering has no second class to
    // find; those runs are checked as opened.
    for (K kind : {K::Imrs, K::Expzip}) {
        const char *name = kind == K::Imrs ? "imrs" : "expzip";
        QTest::addRow("%s 0.1 %%, opened", name) << run(kind, 0.001, 3);
        for (double fraction : {0.1, 0.6, 0.95}) {
            ScenarioOptions o = run(kind, fraction);
            o.reanalyse = true;
            QTest::addRow("%s %g %%, re-analysed", name, 100 * fraction) << o;
        }
        QTest::addRow("%s, every step", name) << everyStep(run(kind, 0.2));
    }
    // The halves of a two-block chip are recognised apart: what one set finds, less the
    // droplets too close to the rows where the halves meet to be matched in either.
    ScenarioOptions blocks = everyStep(run(K::Imrs, 0.2));
    blocks.run.imageSets = 2;
    blocks.minCompleteness *= 1.0 - EndToEnd::seamShare(blocks.run.height, blocks.run.volume);
    QTest::newRow("two image blocks, every step") << blocks;
    // The flat field the archive carries corrects the chip's vignetting, one set or two.
    for (int sets : {1, 2}) {
        ScenarioOptions corrected = run(K::Imrs, 0.3, 3);
        corrected.run.vignetting = 0.25;
        corrected.run.imageSets = sets;
        corrected.reanalyse = true;
        corrected.background = 1;
        if (sets == 2)
            corrected.minCompleteness *= 1.0 - EndToEnd::seamShare(corrected.run.height, corrected.run.volume);
        QTest::addRow("machine correction, %d image set%s", sets, sets == 1 ? "" : "s") << corrected;
    }
    QTest::newRow("300 pL") << withVolume(run(K::Imrs, 0.3), 300);
    QTest::newRow("600 pL") << withVolume(run(K::Imrs, 0.3), 600);
    QTest::newRow("3000 pL") << withVolume(run(K::Imrs, 0.3), 3000);
    // A matrix in force when the second archive comes: its wells are compensated on merging.
    ScenarioOptions underMatrix = run(K::Imrs, 0.2);
    underMatrix.reanalyse = underMatrix.matrix = underMatrix.merge = underMatrix.save = true;
    QTest::newRow("merge under a matrix") << underMatrix;
}

void TestEndToEnd::scenario()
{
    QFETCH(ScenarioOptions, options);
    options.folder = m_dir.filePath(QString::number(++m_row));
    QString printed;
    QTextStream out(&printed);
    const EndToEnd::ScenarioResult result = EndToEnd::runScenario(options, &out);
    out.flush();
    if (!result.ok())
        qWarning().noquote() << printed;
    QVERIFY2(result.failures.isEmpty(), qPrintable(result.failures.join('\n')));
    QVERIFY(!result.signalsSeen.contains("openFileError"));
    QVERIFY2(result.reanalysisChanges.isEmpty(), qPrintable(result.reanalysisChanges.join('\n')));
}

void TestEndToEnd::oneThreadAndEightAgree()
{
    ScenarioOptions o = run(MkPackage::ArchiveKind::Imrs, 0.3, 6);
    const QString path = m_dir.filePath("threads.imrs");
    QVERIFY(MkPackage::generatePackage(o.run, path));
    EndToEnd::Driver driver;
    QVERIFY(driver.open(path));
    const int previous = QThreadPool::globalInstance()->maxThreadCount();
    QThreadPool::globalInstance()->setMaxThreadCount(1);
    driver.reanalyse();
    const auto single = EndToEnd::dropletSignature();
    const EndToEnd::Snapshot one = driver.snapshot("one thread");
    QThreadPool::globalInstance()->setMaxThreadCount(8);
    driver.reanalyse();
    const auto eight = EndToEnd::dropletSignature();
    const EndToEnd::Snapshot many = driver.snapshot("eight threads");
    QThreadPool::globalInstance()->setMaxThreadCount(previous);
    QCOMPARE(single.size(), 6);
    QVERIFY(!single.first().isEmpty());
    // The droplets come in random order; as sets they are the same, and so are the figures.
    QVERIFY(single == eight);
    QVERIFY(one.sameFigures(many));
}

LUMARA_TEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
