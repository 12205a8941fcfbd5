// The compensation page on a seeded document with a stored, applied matrix: opening, loading a
// matrix file (good and refused), previewing without the excluded droplets, one job at a time,
// applying with and without an edit, refusing the apply question, resetting, saving, and the
// plots' image-action names.
#include "bllaccess.h"
#include "bll/reanalysis.h"
#include "bll/signaltransfer.h"
#include "pages/Compensation/compensationsteps.h"
#include "pages/Compensation/matrixmodel.h"
#include "pages/Compensation/setup2dplot.h"
#include "pages/Compensation/dyeemissionplot.h"
#include "pages/Compensation/spillovercompensate.h"
#include "pages/EditExperiment/experimentedit.h"
#include "pages/setup.h"
#include "plottest.h"
#include "seeddocument.h"
#include "setuptest.h"
#include "shell/appresources.h"
#include "shell/globalvalues.h"
#include "shell/helpdialog.h"
#include "spillovercompensationfileparser.h"
#include "testmain.h"

#include <QQmlContext>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <memory>

using namespace LumaraAnalysisData;
using SetupTest::DialogAnswers;
using SetupTest::HubLog;

namespace {

// Raw droplet values of each well: channel 1 clusters low and high, channel 2 carries half
// of channel 1 on top of its own value, channel 3 is the reference.
const uint One[6] = {1000, 1100, 900, 9000, 9100, 8900};
const uint Own[6] = {2500, 2550, 2450, 3000, 3050, 2950};
const uint Reference = 5000;
const QSet<uint> ExcludedOfWell1{1, 4};

CompensationMatrix storedMatrix()
{
    CompensationMatrix m;
    m.matrix[0][1] = 0.5;
    return m;
}

QByteArray bytesOf(const CompensationMatrix &m)
{
    return SpilloverCompensationFileParser().converToArray(m);
}

bool sameMatrix(const CompensationMatrix &a, const CompensationMatrix &b)
{
    return bytesOf(a) == bytesOf(b);
}

// Channel 2 of droplet i compensated with `share` of channel 1 taken off.
uint compensated2(int i, double share)
{
    const double raw2 = Own[i] + 0.5 * One[i];
    return uint(raw2 - share * One[i]);
}

// The kept values of a well's channel 2 after taking `share` of channel 1 off.
QVector<uint> expected2(uint well, double share)
{
    QVector<uint> values;
    for (int i = 0; i < 6; ++i)
        if (well != 1 || !ExcludedOfWell1.contains(uint(i)))
            values.append(compensated2(i, share));
    return values;
}

BllTest::DocumentSeed seed()
{
    BllTest::DocumentSeed s;
    s.targets[0] = {QStringLiteral("Target A"), QStringLiteral("FAM")};
    s.targets[1] = {QStringLiteral("Target B"), QStringLiteral("VIC")};
    for (uint id = 1; id <= 2; ++id) {
        BllTest::WellSeed w = BllTest::well(id, QStringLiteral("A%1").arg(id), {1, 2});
        w.referenceChannel = 3;
        // Named images the package lacks: the engine loads the well without pictures.
        w.imageNames = {QVector<QString>(PerChannel, QStringLiteral("capture/none.png"))};
        for (int i = 0; i < 6; ++i) {
            const uint raw2 = Own[i] + One[i] / 2;
            w.droplets.append(BllTest::droplet({{One[i], raw2, Reference, 0, 0, 0}},
                                               {{One[i], compensated2(i, 0.5), Reference, 0, 0, 0}}));
        }
        if (id == 1)
            w.excluded = ExcludedOfWell1;
        s.wells.append(w);
    }
    s.matrix = bytesOf(storedMatrix());
    return s;
}

// Per well: channel 1 and 2 values, excluded set and effective count.
struct WellState {
    QVector<uint> one;
    QVector<uint> two;
    QSet<uint> excluded;
    int effective = 0;
    bool operator==(const WellState &o) const
    {
        return one == o.one && two == o.two && excluded == o.excluded && effective == o.effective;
    }
};

QList<WellState> wellStates()
{
    QList<WellState> states;
    for (uint well : bll()->getWellIds())
        states.append({bll()->getWellChannelGrayValues(well, 1), bll()->getWellChannelGrayValues(well, 2),
                       bll()->getExcludedDroplets(well), bll()->getWellEffDropletCount(well)});
    return states;
}

// The points of the plot's curve in that colour.
QVector<QPointF> pointsIn(const QwtPlot &plot, const QColor &colour)
{
    QVector<QPointF> points;
    for (const QwtPlotCurve *curve : PlotTest::curvesOf(plot)) {
        if (curve->pen().color() != colour)
            continue;
        for (size_t i = 0; i < curve->dataSize(); ++i)
            points.append(curve->sample(int(i)));
    }
    return points;
}

QVector<double> yOf(const QVector<QPointF> &points)
{
    QVector<double> ys;
    for (const QPointF &p : points)
        ys.append(p.y());
    return ys;
}

QVector<double> asDoubles(const QVector<uint> &values)
{
    QVector<double> out;
    for (uint v : values)
        out.append(v);
    return out;
}

const QColor Current("#555555");
const QColor Before("#cccccc");

} // namespace

class TestCompensationPage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void opensWithTheStoredMatrix();
    void loadingAFile_data();
    void loadingAFile();
    void twoChangesReachTheEngineOneJobAtATime();
    void applying_data();
    void applying();
    void refusingTheQuestionAppliesNothing();
    void resetting();
    void saving_data();
    void saving();
    void plotActionNames_data();
    void plotActionNames();
    void setUpModuleSwitchesItsPages();

private:
    QObject *root() const { return m_page->rootObject(); }
    void waitForJobs();
    QString writeMatrixFile(const QString &name, const CompensationMatrix &m, int size);

    QTemporaryDir m_dir;
    std::unique_ptr<SpillOverCompensate> m_page;
};

void TestCompensationPage::initTestCase()
{
    initAppResources();
    BLLInstance::createSingletons();
    QVERIFY(m_dir.isValid());
}

void TestCompensationPage::init()
{
    QString error;
    QVERIFY2(BllTest::seedDocument(seed(), nullptr, &error), qPrintable(error));
    ReAnalysis *engine = bll()->getReAnalysis();
    engine->setFilePath(BllTest::basePackagePath());
    engine->preprocessWells();
    QCOMPARE(engine->wells().size(), 2);

    m_page = std::make_unique<SpillOverCompensate>();
    m_page->resize(1500, 900);
    m_page->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
    // The well list reloads as after an open; the page follows it.
    emit SignalTransfer::getInstance()->updateWellInfo();
    QCoreApplication::processEvents();
}

void TestCompensationPage::cleanup()
{
    waitForJobs();
    m_page.reset();
}

void TestCompensationPage::waitForJobs()
{
    if (m_page)
        QTRY_VERIFY_WITH_TIMEOUT(!m_page->isJobRunning(), 60000);
    QCoreApplication::processEvents();
}

QString TestCompensationPage::writeMatrixFile(const QString &name, const CompensationMatrix &m, int size)
{
    QByteArray bytes = bytesOf(m);
    bytes.resize(size);
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

void TestCompensationPage::opensWithTheStoredMatrix()
{
    QVERIFY(sameMatrix(MatrixModel::instance()->getMatrix(), storedMatrix()));
    QVERIFY(sameMatrix(m_page->appliedCompensation(), storedMatrix()));
    QCOMPARE(m_page->plotCombinations(), (QList<QPair<uint, uint>>{{1, 2}}));
    QCOMPARE(root()->property("channelValid").toBool(), true);
    QCOMPARE(root()->property("uiEnable").toBool(), true);
    QCOMPARE(root()->property("editAble").toBool(), false);
    QCOMPARE(root()->property("preEnable").toBool(), false);
    QCOMPARE(root()->property("nextEnable").toBool(), false); // one pair only

    // The first well, kept droplets only, as the document compensates them.
    SetUp2DPlot *plot = m_page->firstPlot();
    QVERIFY(plot->isVisible());
    QVERIFY(!m_page->secondPlot()->isVisible());
    QCOMPARE(plot->axisTitle(QwtPlot::xBottom).text(), QStringLiteral("FAM"));
    QCOMPARE(plot->axisTitle(QwtPlot::yLeft).text(), QStringLiteral("VIC"));
    QCOMPARE(yOf(pointsIn(*plot, Current)), asDoubles(expected2(1, 0.5)));
    QVERIFY(pointsIn(*plot, Before).isEmpty());
    // The ranges follow the kept points: x 0.5 x 900 .. 1.2 x 9000.
    QCOMPARE(plot->axisScaleDiv(QwtPlot::xBottom).lowerBound(), 450.0);
    QCOMPARE(plot->axisScaleDiv(QwtPlot::xBottom).upperBound(), 10800.0);
}

void TestCompensationPage::loadingAFile_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("message");
    QTest::newRow("336 bytes") << 336 << QString();
    QTest::newRow("335 bytes") << 335 << "The compensation matrix file is not 336 bytes long.";
    QTest::newRow("337 bytes") << 337 << "The compensation matrix file is not 336 bytes long.";
}

void TestCompensationPage::loadingAFile()
{
    QFETCH(int, size);
    QFETCH(QString, message);
    CompensationMatrix loaded;
    loaded.matrix[0][1] = 0.25;
    const QString path = writeMatrixFile(QStringLiteral("m%1.cmtx").arg(size), loaded, size);
    QVERIFY(!path.isEmpty());
    const CompensationMatrix jobMatrixBefore = m_page->jobMatrix();

    HubLog hub;
    {
        DialogAnswers answers(path);
        QMetaObject::invokeMethod(root(), "loadFile");
        QCOMPARE(answers.fileCaptions(), QStringList{"Open Compensation Matrix File"});
        QCOMPARE(answers.messages(), message.isEmpty() ? QStringList() : QStringList{message});
    }
    waitForJobs();

    if (!message.isEmpty()) {
        // Refused: nothing changed, nothing started.
        QCOMPARE(hub.events(), QStringList());
        QVERIFY(sameMatrix(MatrixModel::instance()->getMatrix(), storedMatrix()));
        QVERIFY(sameMatrix(m_page->jobMatrix(), jobMatrixBefore));
        QVERIFY(!m_page->isPreviewing());
        QCOMPARE(root()->property("editAble").toBool(), false);
        QVERIFY(pointsIn(*m_page->firstPlot(), Before).isEmpty());
        return;
    }
    QVERIFY(sameMatrix(MatrixModel::instance()->getMatrix(), loaded));
    QCOMPARE(root()->property("editAble").toBool(), true);
    QVERIFY(m_page->isPreviewing());
    QCOMPARE(hub.events(), (QStringList{"begin", "complete", "end"}));
    // The preview: a quarter of channel 1 off the raw values, the excluded droplets left out;
    // under it the values as the document has them.
    SetUp2DPlot *plot = m_page->firstPlot();
    QCOMPARE(yOf(pointsIn(*plot, Current)), asDoubles(expected2(1, 0.25)));
    QCOMPARE(yOf(pointsIn(*plot, Before)), asDoubles(expected2(1, 0.5)));
    // Nothing stored.
    QCOMPARE(bll()->getCompensationMatrixBuf(), bytesOf(storedMatrix()));
}

void TestCompensationPage::twoChangesReachTheEngineOneJobAtATime()
{
    HubLog hub;
    root()->setProperty("editAble", true);
    MatrixModel::instance()->modifyMatrix(0, 1, QStringLiteral("0.2000000"));
    QMetaObject::invokeMethod(root(), "editCompensation");
    MatrixModel::instance()->modifyMatrix(0, 1, QStringLiteral("0.1000000"));
    QMetaObject::invokeMethod(root(), "editCompensation");
    waitForJobs();
    QTRY_COMPARE(hub.count("end"), 2);
    // The second job began after the first had ended, and it previewed the latest matrix.
    QCOMPARE(hub.events(), (QStringList{"begin", "complete", "end", "begin", "complete", "end"}));
    QCOMPARE(m_page->jobMatrix().matrix[0][1], 0.1);
    QVector<uint> preview = bll()->getReAnalysis()->getWellChannelValues(2, 2);
    QCOMPARE(preview, expected2(2, 0.1));
    QCOMPARE(yOf(pointsIn(*m_page->firstPlot(), Current)), asDoubles(expected2(1, 0.1)));
}

void TestCompensationPage::applying_data()
{
    QTest::addColumn<QString>("edit"); // the new share of channel 1 in channel 2; empty: none
    QTest::newRow("without an edit") << QString();
    QTest::newRow("after an edit") << "0.2500000";
}

void TestCompensationPage::applying()
{
    QFETCH(QString, edit);
    const QList<WellState> before = wellStates();
    if (!edit.isEmpty()) {
        root()->setProperty("editAble", true);
        MatrixModel::instance()->modifyMatrix(0, 1, edit);
        QMetaObject::invokeMethod(root(), "editCompensation");
        waitForJobs();
    }
    const CompensationMatrix edited = MatrixModel::instance()->getMatrix();

    HubLog hub;
    {
        DialogAnswers answers(QString(), true);
        QMetaObject::invokeMethod(root(), "applyMatrix");
        QCOMPARE(answers.messages(), QStringList{"Do you want to re-compute the automated fluorescence thresholds? "
                                                 "This is recommend after spillover compensation"});
    }
    waitForJobs();
    QTRY_VERIFY(hub.busyEnded());
    QCOMPARE(hub.count("begin"), 1);
    QVERIFY(hub.events().contains("applied"));
    QCOMPARE(root()->property("editAble").toBool(), false);
    QVERIFY(!m_page->isPreviewing());
    QVERIFY(sameMatrix(m_page->appliedCompensation(), edited));

    const QList<WellState> after = wellStates();
    if (edit.isEmpty()) {
        // The document's matrix and every value stay as they were.
        QCOMPARE(bll()->getCompensationMatrixBuf(), bytesOf(storedMatrix()));
        QVERIFY(after == before);
        return;
    }
    QCOMPARE(bll()->getCompensationMatrixBuf(), bytesOf(CompensationSteps::workingMatrix(edited)));
    for (int w = 0; w < after.size(); ++w) {
        QCOMPARE(after.at(w).one, before.at(w).one);
        QCOMPARE(after.at(w).two, expected2(uint(w + 1), 0.25));
        QCOMPARE(after.at(w).excluded, before.at(w).excluded);
        QCOMPARE(after.at(w).effective, before.at(w).effective);
    }
    QCOMPARE(yOf(pointsIn(*m_page->firstPlot(), Current)), asDoubles(expected2(1, 0.25)));
}

void TestCompensationPage::refusingTheQuestionAppliesNothing()
{
    root()->setProperty("editAble", true);
    MatrixModel::instance()->modifyMatrix(0, 1, QStringLiteral("0.3000000"));
    const QList<WellState> before = wellStates();
    HubLog hub;
    {
        DialogAnswers answers(QString(), false);
        QMetaObject::invokeMethod(root(), "applyMatrix");
        QCOMPARE(answers.messages().size(), 1);
    }
    waitForJobs();
    QCOMPARE(hub.events(), QStringList());
    QCOMPARE(bll()->getCompensationMatrixBuf(), bytesOf(storedMatrix()));
    QVERIFY(wellStates() == before);
    QCOMPARE(root()->property("editAble").toBool(), true);
}

void TestCompensationPage::resetting()
{
    const QList<WellState> before = wellStates();
    HubLog hub;
    QMetaObject::invokeMethod(root(), "resetMatrix");
    waitForJobs();
    QCOMPARE(hub.events(), QStringList{"reset"});
    QVERIFY(sameMatrix(MatrixModel::instance()->getMatrix(), CompensationMatrix()));
    QVERIFY(sameMatrix(m_page->appliedCompensation(), CompensationMatrix()));
    QVERIFY(!m_page->isPreviewing());
    // The raw values again, the same droplets kept.
    const QList<WellState> after = wellStates();
    for (int w = 0; w < after.size(); ++w) {
        QCOMPARE(after.at(w).one, before.at(w).one);
        QCOMPARE(after.at(w).two, expected2(uint(w + 1), 0.0));
        QCOMPARE(after.at(w).excluded, before.at(w).excluded);
        QCOMPARE(after.at(w).effective, before.at(w).effective);
    }
    QCOMPARE(yOf(pointsIn(*m_page->firstPlot(), Current)), asDoubles(expected2(1, 0.0)));
}

void TestCompensationPage::saving_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("message");
    QTest::newRow("written") << "saved.cmtx" << QString();
    QTest::newRow("folder missing") << "missing/saved.cmtx" << "Failed to open the compensation matrix file for writing.";
}

void TestCompensationPage::saving()
{
    QFETCH(QString, target);
    QFETCH(QString, message);
    MatrixModel::instance()->modifyMatrix(2, 0, QStringLiteral("0.0700000"));
    const CompensationMatrix edited = MatrixModel::instance()->getMatrix();
    const QString path = m_dir.filePath(target);
    {
        DialogAnswers answers(path);
        QMetaObject::invokeMethod(root(), "saveFile");
        QCOMPARE(answers.fileCaptions(), QStringList{"Save Compensation Matrix File"});
        QCOMPARE(answers.messages(), message.isEmpty() ? QStringList() : QStringList{message});
    }
    QVERIFY(sameMatrix(m_page->jobMatrix(), edited));
    QFile file(path);
    if (!message.isEmpty()) {
        QVERIFY(!file.exists());
        return;
    }
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytesOf(edited));
}

void TestCompensationPage::plotActionNames_data()
{
    QTest::addColumn<QString>("plot");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("proposed"); // for saving; the help dialog's minimum side for help
    QTest::newRow("scatter plot PNG") << "scatter" << 1 << "run7_FAM_VIC_compensation.png";
    QTest::newRow("scatter plot SVG") << "scatter" << 2 << "run7_FAM_VIC_compensation.svg";
    QTest::newRow("scatter plot help: scaled") << "scatter" << 4 << "400";
    QTest::newRow("spectra PNG") << "spectra" << 1 << "run7_spectrogram.png";
    QTest::newRow("spectra SVG") << "spectra" << 2 << "run7_spectrogram.svg";
    QTest::newRow("spectra help: not scaled") << "spectra" << 4 << "200";
}

void TestCompensationPage::plotActionNames()
{
    QFETCH(QString, plot);
    QFETCH(int, mode);
    QFETCH(QString, proposed);
    currentFileBaseName = QStringLiteral("run7");
    const double scale = uiScaleFactor;
    uiScaleFactor = 2.0;
    QwtPlot *target = plot == QLatin1String("scatter") ? static_cast<QwtPlot *>(m_page->firstPlot())
                                                       : static_cast<QwtPlot *>(m_page->spectrogram());
    QString seen;
    {
        LumaraTest::ModalAnswerer answerer([&](QWidget *modal) {
            if (auto *files = qobject_cast<QFileDialog *>(modal))
                seen = QFileInfo(files->selectedFiles().value(0)).fileName();
            else if (qobject_cast<HelpDialog *>(modal))
                seen = QString::number(modal->minimumWidth());
            modal->close();
        });
        imageActionMode = mode;
        QTest::mouseClick(target->canvas(), Qt::LeftButton, Qt::NoModifier, target->canvas()->rect().center());
    }
    uiScaleFactor = scale;
    QCOMPARE(seen, proposed);
    QCOMPARE(imageActionMode, 0);
}

void TestCompensationPage::setUpModuleSwitchesItsPages()
{
    Setup setup;
    setup.resize(1500, 900);
    setup.show();
    QVERIFY(QTest::qWaitForWindowExposed(&setup));
    SpillOverCompensate *page = setup.spillOverCompensate();
    QSignalSpy tableRefreshes(setup.experimentEdit(), &ExperimentEdit::updateView);
    // Opened while the table shows: the hidden compensation page draws nothing yet.
    emit SignalTransfer::getInstance()->updateWellInfo();
    QCoreApplication::processEvents();
    QCOMPARE(setup.currentIndex(), 0);
    QVERIFY(pointsIn(*page->firstPlot(), Current).isEmpty());

    setup.switchPage(1);
    QCOMPARE(setup.currentIndex(), 1);
    QCOMPARE(tableRefreshes.count(), 0);
    QCOMPARE(yOf(pointsIn(*page->firstPlot(), Current)), asDoubles(expected2(1, 0.5)));

    setup.switchPage(0);
    QCOMPARE(setup.currentIndex(), 0);
    QCOMPARE(tableRefreshes.count(), 1);

    setup.switchPage(2);
    setup.switchPage(-1);
    QCOMPARE(setup.currentIndex(), 0);
    QCOMPARE(tableRefreshes.count(), 1);
}

LUMARA_TEST_GUI_MAIN(TestCompensationPage)
#include "tst_compensationpage.moc"
