// Journeys through the real main window around its long jobs: opening over unsaved changes,
// the close question left by Escape or by the window manager, a close asked for while a
// re-analysis, an export, a merge or a compensation runs, a second open while one runs, and
// keys pressed on a page under the busy overlay. Each checks the document and the files on
// disk afterwards, not only the widgets.
#include "bll/bllinstance.h"
#include "bll/dropletexclude.h"
#include "bll/signaltransfer.h"
#include "journeyfiles.h"
#include "messagerecorder.h"
#include "modaldriver.h"
#include "pages/Compensation/dyeemissionplot.h"
#include "pages/Compensation/spillovercompensate.h"
#include "pages/EditExperiment/experimentedit.h"
#include "pages/Export/exportpage.h"
#include "pages/QualityControl/qualitycontrol.h"
#include "pages/QualityControl/reanalysisdialog.h"
#include "pages/export.h"
#include "pages/qcpage.h"
#include "pages/setup.h"
#include "seeddocument.h"
#include "shell/appresources.h"
#include "shell/database.h"
#include "shell/globalvalues.h"
#include "shell/longjob.h"
#include "shell/mainwindows.h"
#include "shell/mainwinframe.h"
#include "shell/menubar.h"
#include "shell/recentfilemodel.h"
#include "shell/recentfilewidget.h"
#include "shell/welllistmodel.h"
#include "shellitems.h"
#include "testmain.h"
#include "watchdog.h"

#include <QElapsedTimer>
#include <QQuickItem>
#include <QSignalSpy>
#include <QTemporaryDir>


#include <chrono>
#include <memory>

using namespace ShellTest;
using JourneyTest::digestOfFile;
using JourneyTest::documentDigest;

namespace {

const int JobTimeoutMs = 120000;

QString title(MainWindows &window)
{
    return window.menuBar()->property(QStringLiteral("fileName"));
}

QObject *menuRoot(MainWindows &window)
{
    return window.menuBar()->rootObject();
}

} // namespace

class TestLongJobs : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void openOverUnsavedChanges_data();
    void openOverUnsavedChanges();
    void closeQuestionLeftWithoutAButton_data();
    void closeQuestionLeftWithoutAButton();
    void closeDuringReanalysis();
    void closeDuringExport();
    void closeWaitsForEveryJob_data();
    void closeWaitsForEveryJob();
    void startFileAfterTheUsersOpen();
    void secondOpenWhileOneRuns();
    void keysUnderTheOverlay_data();
    void keysUnderTheOverlay();

private:
    // A fresh copy of a generated run archive under the name.
    QString run(const QString &name, const QString &fixture);
    // The run saved as a package under the name (through the business layer, not the window).
    QString savedPackage(const QString &name, const QString &fixture);
    bool openInWindow(const QString &path);
    // Excludes droplets of the first well as the Quality Control page does; the title shows
    // the changed mark.
    void editDocument();
    QualityControl *qualityControl() const;
    ExportPage *exportPage() const;
    // Starts the Quality Control re-analysis with machine correction, answering its boxes.
    void startReanalysis();
    void startExport(const QString &parent, int outputs);
    void newWindow(const QString &startFile = QString());

    QTemporaryDir m_fixtures;
    QString m_small;   // two wells
    QString m_other;   // three wells, another seed
    QString m_large;   // 24 wells
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MainWindows> m_window;
};

void TestLongJobs::initTestCase()
{
    initAppResources();
    QVERIFY(m_fixtures.isValid());
    m_small = BllTest::generateRun(m_fixtures.path(), QStringLiteral("small.imrs"), BllTest::smallRun(true, 31, 128));
    MkPackage::GeneratorOptions other = BllTest::smallRun(true, 47, 128);
    other.wells = 3;
    m_other = BllTest::generateRun(m_fixtures.path(), QStringLiteral("other.imrs"), other);
    MkPackage::GeneratorOptions large = BllTest::smallRun(true, 53, 192);
    large.wells = 24;
    m_large = BllTest::generateRun(m_fixtures.path(), QStringLiteral("large.imrs"), large);
    QVERIFY(!m_small.isEmpty() && !m_other.isEmpty() && !m_large.isEmpty());
}

void TestLongJobs::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    currentFileBaseName.clear();
    newWindow();
}

void TestLongJobs::newWindow(const QString &startFile)
{
    m_window.reset();
    m_window = std::make_unique<MainWindows>(startFile);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestLongJobs::cleanup()
{
    if (m_window)
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->longJob()->isRunning(), JobTimeoutMs);
    LumaraTest::Watchdog watchdog("destroying the window", std::chrono::seconds(60));
    m_window.reset();
    m_dir.reset();
}

QString TestLongJobs::run(const QString &name, const QString &fixture)
{
    const QString path = m_dir->filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    return QFile::copy(fixture, path) ? path : QString();
}

QString TestLongJobs::savedPackage(const QString &name, const QString &fixture)
{
    return JourneyTest::savePackageOf(run(QFileInfo(name).completeBaseName() + QStringLiteral("-source.imrs"), fixture),
                                      m_dir->filePath(name));
}

bool TestLongJobs::openInWindow(const QString &path)
{
    QSignalSpy ended(m_window->longJob(), &LongJob::ended);
    m_window->startOpenFile(path);
    return QTest::qWaitFor([&] { return !ended.isEmpty(); }, JobTimeoutMs) && m_window->openFilePath() == path
           && !m_window->busyOverlay()->isVisible();
}

void TestLongJobs::editDocument()
{
    BLLInstance *bll = BLLInstance::getInstance();
    const uint well = bll->getWellIds().constFirst();
    bll->getDropletExclude()->excludeDroplets(well, {0, 1, 2});
    WellListModel::instance()->setWellExclude(well, true);
    QTRY_VERIFY(title(*m_window).startsWith(QLatin1String("* ")));
    QCOMPARE(bll->getExcludedDroplets(well).size(), 3);
}

QualityControl *TestLongJobs::qualityControl() const
{
    return static_cast<QCPage *>(m_window->frame()->page(0))->qualityControl();
}

ExportPage *TestLongJobs::exportPage() const
{
    return static_cast<Export *>(m_window->frame()->page(5))->exportPage();
}

void TestLongJobs::startReanalysis()
{
    m_window->frame()->switchPage(0, 0);
    ModalDriver driver;
    driver.answerDialog(QStringLiteral("ReAnalysisDialog"), [](QDialog *dialog) {
        auto *reanalysis = static_cast<ReAnalysisDialog *>(dialog);
        reanalysis->root()->setProperty("backgroundType", 1); // machine correction
        QMetaObject::invokeMethod(reanalysis->root(), "accept");
    });
    driver.answerMessage(1); // the hand-made exclusions go
    QVERIFY(QMetaObject::invokeMethod(qualityControl()->root(), "reAnalysis"));
    QVERIFY(driver.done());
    QCOMPARE(m_window->longJob()->name(), QStringLiteral("re-analysis"));
}

void TestLongJobs::startExport(const QString &parent, int outputs)
{
    m_window->frame()->switchPage(5, 0);
    exportPage()->root()->setProperty("filePath", parent);
    QVERIFY(QMetaObject::invokeMethod(exportPage()->root(), "exportClick", Q_ARG(int, outputs)));
    QCOMPARE(m_window->longJob()->name(), QStringLiteral("export"));
}

// ---- Opening over unsaved changes --------------------------------------------------------

void TestLongJobs::openOverUnsavedChanges_data()
{
    QTest::addColumn<QString>("road");   // "menu" or "recent"
    QTest::addColumn<int>("answer");     // 1 Yes, 0 No, 2 Cancel
    QTest::addColumn<bool>("saveFails"); // the package was removed before the save
    QTest::addColumn<bool>("opensOther");
    QTest::addColumn<bool>("editSaved");
    for (const char *road : {"menu", "recent"}) {
        QTest::addRow("%s, cancel keeps the edit", road) << road << 2 << false << false << false;
        QTest::addRow("%s, no opens the other", road) << road << 0 << false << true << false;
        QTest::addRow("%s, yes saves, then opens", road) << road << 1 << false << true << true;
    }
    QTest::newRow("menu, yes with a failing save keeps the document") << "menu" << 1 << true << false << false;
}

void TestLongJobs::openOverUnsavedChanges()
{
    QFETCH(QString, road);
    QFETCH(int, answer);
    QFETCH(bool, saveFails);
    QFETCH(bool, opensOther);
    QFETCH(bool, editSaved);
    const QString first = savedPackage(QStringLiteral("first.arlx"), m_small);
    const QString other = run(QStringLiteral("other.imrs"), m_other);
    QVERIFY(!first.isEmpty() && !other.isEmpty());
    const QByteArray savedBefore = digestOfFile(first);
    const QByteArray otherDigest = digestOfFile(other);
    QVERIFY(openInWindow(first));
    editDocument();
    const QByteArray edited = documentDigest();
    QVERIFY(edited != savedBefore);
    if (saveFails)
        QVERIFY(QFile::remove(first));

    QSignalSpy opened(BLLInstance::getInstance(), &BLLInstance::openFileComplete);
    ModalDriver driver;
    if (road == QLatin1String("menu")) {
        driver.answerFileDialog(other);
        driver.answerMessage(answer);
        if (saveFails)
            driver.answerMessage(1);
        QVERIFY(QMetaObject::invokeMethod(menuRoot(*m_window), "open"));
    } else {
        driver.answerMessage(answer);
        m_window->updateRecentRecord(other);
        QVERIFY(QMetaObject::invokeMethod(menuRoot(*m_window), "recentFile"));
        QVERIFY(QMetaObject::invokeMethod(m_window->recentFileWidget()->view()->rootObject(), "itemClicked",
                                          Q_ARG(int, 0)));
    }
    QVERIFY(driver.waitDone(JobTimeoutMs));
    QCOMPARE(driver.messages().constFirst(), QStringLiteral("Do you want to save you modify? "));
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->longJob()->isRunning(), JobTimeoutMs);
    QTest::qWait(100); // an open after the save starts from a queued step
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->longJob()->isRunning(), JobTimeoutMs);
    QVERIFY(!m_window->busyOverlay()->isVisible());

    if (saveFails)
        QCOMPARE(driver.messages().constLast(), QStringLiteral("Save File Error! "));
    if (opensOther) {
        QCOMPARE(opened.size(), 1);
        QCOMPARE(m_window->openFilePath(), other);
        QCOMPARE(title(*m_window), QStringLiteral("other"));
        QCOMPARE(documentDigest(), otherDigest);
    } else {
        QCOMPARE(opened.size(), 0);
        QCOMPARE(m_window->openFilePath(), first);
        QVERIFY(title(*m_window).startsWith(QLatin1String("* ")));
        QCOMPARE(documentDigest(), edited);
    }
    if (saveFails) {
        QVERIFY(!QFileInfo::exists(first));
        return;
    }
    // On disk: the edit only where Yes saved it.
    QCOMPARE(digestOfFile(first), editSaved ? edited : savedBefore);
}

// ---- The close question left by Escape or the window manager -----------------------------

void TestLongJobs::closeQuestionLeftWithoutAButton_data()
{
    QTest::addColumn<int>("how");
    QTest::newRow("escape") << int(ModalDriver::Dismissal::EscapeKey);
    QTest::newRow("window manager's close") << int(ModalDriver::Dismissal::WindowClose);
}

void TestLongJobs::closeQuestionLeftWithoutAButton()
{
    QFETCH(int, how);
    const QString first = savedPackage(QStringLiteral("first.arlx"), m_small);
    const QByteArray savedBefore = digestOfFile(first);
    QVERIFY(openInWindow(first));
    editDocument();
    const QByteArray edited = documentDigest();
    ModalDriver driver;
    driver.dismissMessage(ModalDriver::Dismissal(how));
    QVERIFY(QMetaObject::invokeMethod(menuRoot(*m_window), "closeWindows"));
    QVERIFY(driver.waitDone());
    QCOMPARE(driver.messages(), QStringList{QStringLiteral("Do you want to save you modify? ")});
    QTest::qWait(100);
    QVERIFY(m_window->isVisible());
    QVERIFY(!m_window->longJob()->isRunning());
    QVERIFY(title(*m_window).startsWith(QLatin1String("* ")));
    QCOMPARE(documentDigest(), edited);
    QCOMPARE(digestOfFile(first), savedBefore);
}

// ---- A close asked for while a job runs ----------------------------------------------------

// Nothing is saved or destroyed until the job ends; then the question, and what Yes saves is
// the job's result.
void TestLongJobs::closeDuringReanalysis()
{
    const QString package = savedPackage(QStringLiteral("large.arlx"), m_large);
    QVERIFY(!package.isEmpty());
    const QByteArray onDisk = digestOfFile(package);
    QVERIFY(openInWindow(package));
    editDocument();
    const QByteArray beforeJob = documentDigest();

    QPointer<QualityControl> page = qualityControl();
    QByteArray afterJob;
    connect(m_window->longJob(), &LongJob::ended, this, [&afterJob] { afterJob = documentDigest(); });
    startReanalysis();
    ModalDriver driver;
    driver.answerMessage(1);
    QVERIFY(QMetaObject::invokeMethod(menuRoot(*m_window), "closeWindows"));
    // While it runs: no question, no save, the window and its page stay.
    QVERIFY(m_window->isVisible());
    QVERIFY(!m_window->isSaving());
    QCOMPARE(driver.seen().size(), 0);
    const QDateTime written = QFileInfo(package).lastModified();
    while (m_window->longJob()->name() == QLatin1String("re-analysis")) {
        QVERIFY(page);
        QVERIFY(m_window->isVisible());
        QCOMPARE(driver.seen().size(), 0);
        QCOMPARE(QFileInfo(package).lastModified(), written);
        QTest::qWait(20);
    }
    QVERIFY(!afterJob.isEmpty());
    QVERIFY(afterJob != beforeJob);
    QVERIFY(driver.waitDone(JobTimeoutMs));
    QCOMPARE(driver.messages(), QStringList{QStringLiteral("Do you want to save you modify? ")});
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->isVisible(), JobTimeoutMs);
    QVERIFY(onDisk != afterJob);
    QCOMPARE(digestOfFile(package), afterJob);
}

// The program ends once the export has ended, and every file it wrote is whole.
void TestLongJobs::closeDuringExport()
{
    QVERIFY(openInWindow(run(QStringLiteral("large.imrs"), m_large)));
    QTemporaryDir parent;
    startExport(parent.path(), 127);
    QVERIFY(QMetaObject::invokeMethod(menuRoot(*m_window), "closeWindows"));
    QVERIFY(m_window->isVisible());
    QVERIFY(exportPage()->lastJob().isRunning());
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->isVisible(), JobTimeoutMs);
    QVERIFY(exportPage()->lastJob().isFinished());
    {
        LumaraTest::Watchdog watchdog("destroying the window after an export", std::chrono::seconds(60));
        m_window.reset();
    }

    const JourneyTest::ExportFolder exported = JourneyTest::readExportFolder(parent.path());
    QCOMPARE(exported.folders.size(), 1);
    QCOMPARE(exported.broken, QStringList());
    QCOMPARE(exported.workbooks, 2);
    // At least one droplet image per well and channel, beside the plot images.
    QVERIFY2(exported.images > 24 * 2, qPrintable(QString::number(exported.images)));
}

void TestLongJobs::closeWaitsForEveryJob_data()
{
    QTest::addColumn<QString>("job");
    QTest::newRow("merge") << "merge";
    QTest::newRow("compensation preview") << "preview";
    QTest::newRow("compensation apply") << "apply";
    QTest::newRow("save") << "save";
}

// Every job holds the close back, and no other job starts while it runs: neither an open from
// the recent list nor a save.
void TestLongJobs::closeWaitsForEveryJob()
{
    QFETCH(QString, job);
    const QString package = savedPackage(QStringLiteral("large.arlx"), m_large);
    const QString other = run(QStringLiteral("other.imrs"), m_other);
    const QString merged = run(QStringLiteral("merged.imrs"), m_large);
    QVERIFY(!package.isEmpty() && !other.isEmpty() && !merged.isEmpty());
    QVERIFY(openInWindow(package));
    const QByteArray onDisk = documentDigest();
    auto *setup = static_cast<Setup *>(m_window->frame()->page(1));
    QSignalSpy started(m_window->longJob(), &LongJob::started);

    ModalDriver driver;
    if (job == QLatin1String("merge")) {
        m_window->frame()->switchPage(1, 0);
        driver.answerFileDialog(merged);
        QVERIFY(QMetaObject::invokeMethod(setup->experimentEdit()->rootObject(), "addWell"));
        QVERIFY(driver.done());
    } else if (job == QLatin1String("preview")) {
        m_window->frame()->switchPage(1, 1);
        QVERIFY(QMetaObject::invokeMethod(setup->spillOverCompensate()->rootObject(), "editCompensation"));
    } else if (job == QLatin1String("apply")) {
        m_window->frame()->switchPage(1, 1);
        driver.answerMessage(1);
        QVERIFY(QMetaObject::invokeMethod(setup->spillOverCompensate()->rootObject(), "applyMatrix"));
        QVERIFY(driver.done());
    } else {
        editDocument();
        QVERIFY(QMetaObject::invokeMethod(menuRoot(*m_window), "save", Q_ARG(int, 1)));
    }
    QVERIFY(m_window->longJob()->isRunning());
    QCOMPARE(started.size(), 1);
    const QString running = m_window->longJob()->name();

    // Another open and another save do nothing while it runs.
    m_window->updateRecentRecord(other);
    QVERIFY(QMetaObject::invokeMethod(menuRoot(*m_window), "recentFile"));
    QVERIFY(QMetaObject::invokeMethod(m_window->recentFileWidget()->view()->rootObject(), "itemClicked",
                                      Q_ARG(int, 0)));
    m_window->startOpenFile(other);
    QVERIFY(QMetaObject::invokeMethod(menuRoot(*m_window), "save", Q_ARG(int, 2)));
    QCOMPARE(started.size(), 1);
    QCOMPARE(m_window->longJob()->name(), running);

    driver.answerMessage(0); // the close question, once the job has changed the document
    QVERIFY(QMetaObject::invokeMethod(menuRoot(*m_window), "closeWindows"));
    QVERIFY(m_window->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->longJob()->isRunning(), JobTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->isVisible(), JobTimeoutMs);
    QCOMPARE(started.size(), 1);
    QCOMPARE(m_window->openFilePath(), package);
    if (job != QLatin1String("save"))
        QCOMPARE(digestOfFile(package), onDisk); // No discarded the job's changes
}

// ---- Two opens ----------------------------------------------------------------------------

// The user's own open from the recent list, before the start file's timer fires: the timer
// opens nothing, and the window ends on the user's file.
void TestLongJobs::startFileAfterTheUsersOpen()
{
    const QString start = run(QStringLiteral("start.imrs"), m_small);
    const QString chosen = run(QStringLiteral("chosen.imrs"), m_large);
    const QByteArray chosenDigest = digestOfFile(chosen);
    QElapsedTimer sinceStart;
    sinceStart.start();
    newWindow(start);
    QSignalSpy opened(BLLInstance::getInstance(), &BLLInstance::openFileComplete);
    QSignalSpy started(m_window->longJob(), &LongJob::started);
    // Just before the timer: the user's open still runs when it fires.
    QTest::qWait(qMax(0, 2800 - int(sinceStart.elapsed())));
    QVERIFY(started.isEmpty());
    m_window->updateRecentRecord(chosen);
    QVERIFY(QMetaObject::invokeMethod(menuRoot(*m_window), "recentFile"));
    QVERIFY(QMetaObject::invokeMethod(m_window->recentFileWidget()->view()->rootObject(), "itemClicked",
                                      Q_ARG(int, 0)));
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->longJob()->isRunning(), JobTimeoutMs);
    QTest::qWait(2500); // past the timer
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->longJob()->isRunning(), JobTimeoutMs);
    QCOMPARE(started.size(), 1);
    QCOMPARE(opened.size(), 1);
    QCOMPARE(m_window->openFilePath(), chosen);
    QCOMPARE(title(*m_window), QStringLiteral("chosen"));
    QCOMPARE(documentDigest(), chosenDigest);
}

// A large package opening from the menu; the recent list's file meanwhile opens nothing. The
// title and the document name the same file, and the overlay ends once, after the open.
void TestLongJobs::secondOpenWhileOneRuns()
{
    const QString large = run(QStringLiteral("large.imrs"), m_large);
    const QString other = run(QStringLiteral("other.imrs"), m_other);
    const QByteArray largeDigest = digestOfFile(large);
    LumaraTest::MessageRecorder log;
    QSignalSpy opened(BLLInstance::getInstance(), &BLLInstance::openFileComplete);
    QSignalSpy ended(m_window->longJob(), &LongJob::ended);
    QList<bool> overlayAtEnds;
    QObject listening; // the connection ends with this test
    connect(SignalTransfer::getInstance(), &SignalTransfer::updateWellComplete, &listening,
            [&] { overlayAtEnds.append(m_window->busyOverlay()->isVisible()); });
    {
        ModalDriver driver;
        driver.answerFileDialog(large);
        QVERIFY(QMetaObject::invokeMethod(menuRoot(*m_window), "open"));
        QVERIFY(driver.done());
    }
    QVERIFY(m_window->isOpening());
    m_window->updateRecentRecord(other);
    QVERIFY(QMetaObject::invokeMethod(menuRoot(*m_window), "recentFile"));
    QVERIFY(QMetaObject::invokeMethod(m_window->recentFileWidget()->view()->rootObject(), "itemClicked",
                                      Q_ARG(int, 0)));
    QVERIFY(m_window->isOpening());
    QVERIFY(m_window->busyOverlay()->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!ended.isEmpty(), JobTimeoutMs);
    QTest::qWait(200);
    QCOMPARE(ended.size(), 1);
    QCOMPARE(opened.size(), 1);
    // One open began: the recent list's file was never handed to a worker.
    QCOMPARE(log.texts(QtDebugMsg).filter(QStringLiteral("Open File Path: ")),
             QStringList{QStringLiteral("Open File Path: ") + large});
    QVERIFY(!m_window->busyOverlay()->isVisible());
    // The wells were complete while the overlay still showed: it ended after the open.
    QCOMPARE(overlayAtEnds, QList<bool>{true});
    QCOMPARE(m_window->openFilePath(), large);
    QCOMPARE(title(*m_window), QStringLiteral("large"));
    QCOMPARE(documentDigest(), largeDigest);
}

// ---- Keys under the overlay ---------------------------------------------------------------

void TestLongJobs::keysUnderTheOverlay_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("space") << int(Qt::Key_Space);
    QTest::newRow("return") << int(Qt::Key_Return);
}

// The Export button has the focus when the export starts; its keys start no second export.
void TestLongJobs::keysUnderTheOverlay()
{
    QFETCH(int, key);
    QVERIFY(openInWindow(run(QStringLiteral("large.imrs"), m_large)));
    QTemporaryDir parent;
    m_window->frame()->switchPage(5, 0);
    ExportPage *page = exportPage();
    m_window->activateWindow();
    page->setFocus(Qt::OtherFocusReason);
    QQuickItem *button = findItem(page, QStringLiteral("exportButton"));
    QVERIFY(button);
    button->forceActiveFocus();
    // The keys below press it, were the page to take them: checked with the page's own
    // connection held back.
    QVERIFY(button->hasActiveFocus());
    {
        QSignalSpy clicked(page->root(), SIGNAL(exportClick(int)));
        QVERIFY(QObject::disconnect(page->root(), SIGNAL(exportClick(int)), page, SLOT(exportClicked(int))));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : page, Qt::Key(key));
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : page, Qt::Key_Space);
        QVERIFY(connect(page->root(), SIGNAL(exportClick(int)), page, SLOT(exportClicked(int))));
        QVERIFY(!clicked.isEmpty());
    }
    QSignalSpy begun(SignalTransfer::getInstance(), &SignalTransfer::beginBusyStatus);
    startExport(parent.path(), 1 | 64);
    QCOMPARE(begun.size(), 1);
    const QFuture<void> job = page->lastJob();

    // The overlay has the keyboard; the pages under it take no input at all.
    QCOMPARE(QApplication::focusWidget(), m_window->busyOverlay());
    QVERIFY(!m_window->frame()->isEnabled());
    QSignalSpy clicked(page->root(), SIGNAL(exportClick(int)));
    for (QWidget *target : {QApplication::focusWidget(), static_cast<QWidget *>(page)}) {
        QTest::keyClick(target, Qt::Key(key));
        QTest::keyClick(target, Qt::Key_Space);
    }
    QTest::qWait(50);
    QCOMPARE(clicked.size(), 0);
    QCOMPARE(begun.size(), 1);
    QVERIFY(page->lastJob() == job);
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->longJob()->isRunning(), JobTimeoutMs);
    QCOMPARE(QDir(parent.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
    // After the job the page takes input again.
    QVERIFY(page->isEnabled());
}

LUMARA_TEST_GUI_MAIN(TestLongJobs)
#include "tst_longjobs.moc"
