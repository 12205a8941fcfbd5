// Journeys through the real main window on the mouse's road around the document's changes:
// the title bar's close button clicked while an export or a re-analysis runs, and Exclude,
// Include and Restore pressed with nothing picked on Quality Control and Explore. Each checks
// the question the close asks, the document and the files on disk.
#define QTEST_QPA_MOUSE_HANDLING
#include "bllaccess.h"
#include "bll/dropletexclude.h"
#include "journeyfiles.h"
#include "modaldriver.h"
#include "pages/Explore/explorepage.h"
#include "pages/QualityControl/dropletpannel.h"
#include "pages/QualityControl/qcdrpltmarker.h"
#include "pages/QualityControl/qualitycontrol.h"
#include "pages/explore.h"
#include "seeddocument.h"
#include "shell/appresources.h"
#include "shell/globalvalues.h"
#include "shell/longjob.h"
#include "shell/mainwindows.h"
#include "shell/mainwinframe.h"
#include "shell/menubar.h"
#include "shellitems.h"
#include "testmain.h"
#include "windowroads.h"

#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QQuickItem>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>

using namespace ShellTest;
using namespace JourneyTest;

namespace {

ExplorePage *explorePage(MainWindows &window)
{
    return static_cast<Explore *>(window.frame()->page(3))->page();
}

} // namespace

class TestMouseRoads : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void titleBarCloseDuringJob_data();
    void titleBarCloseDuringJob();
    void exclusionChangingNothing_data();
    void exclusionChangingNothing();

private:
    QString copyOf(const QString &fixture, const QString &name);

    QTemporaryDir m_fixtures;
    QString m_small; // three wells
    QString m_large; // 24 wells: its jobs run long enough to be clicked into
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MainWindows> m_window;
};

void TestMouseRoads::initTestCase()
{
    initAppResources();
    QVERIFY(m_fixtures.isValid());
    MkPackage::GeneratorOptions small = BllTest::smallRun(false, 61, 128);
    small.wells = 3;
    m_small = BllTest::generateRun(m_fixtures.path(), QStringLiteral("small.imrs"), small);
    MkPackage::GeneratorOptions large = BllTest::smallRun(true, 53, 192);
    large.wells = 24;
    m_large = BllTest::generateRun(m_fixtures.path(), QStringLiteral("large.imrs"), large);
    QVERIFY(!m_small.isEmpty() && !m_large.isEmpty());
}

void TestMouseRoads::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    currentFileBaseName.clear();
    m_window = showWindow();
    QVERIFY(m_window);
}

void TestMouseRoads::cleanup()
{
    if (m_window)
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->longJob()->isRunning(), JobTimeoutMs);
    destroyWindow(m_window);
    m_dir.reset();
}

QString TestMouseRoads::copyOf(const QString &fixture, const QString &name)
{
    const QString path = m_dir->filePath(name);
    return QFile::copy(fixture, path) ? path : QString();
}

// ---- The title bar's close button while a job runs --------------------------------------------

void TestMouseRoads::titleBarCloseDuringJob_data()
{
    QTest::addColumn<QString>("job");
    QTest::addColumn<bool>("edited"); // droplets excluded before the job
    QTest::addColumn<int>("answer");  // to the close question: 1 Yes, 0 No, -1 none asked
    QTest::newRow("export of an unchanged document") << "export" << false << -1;
    QTest::newRow("export of a changed document, no") << "export" << true << 0;
    QTest::newRow("re-analysis, yes") << "re-analysis" << false << 1;
    QTest::newRow("re-analysis, no") << "re-analysis" << false << 0;
}

// The click is held back like the window manager's close: nothing closes, asks or saves while
// the job runs, the rest of the window takes no input; then the close goes on, with the
// question where the document changed.
void TestMouseRoads::titleBarCloseDuringJob()
{
    QFETCH(QString, job);
    QFETCH(bool, edited);
    QFETCH(int, answer);
    const QString package =
        savePackageOf(copyOf(m_large, QStringLiteral("large-source.imrs")), m_dir->filePath(QStringLiteral("large.arlx")));
    QVERIFY(!package.isEmpty());
    const QByteArray onDisk = digestOfFile(package);
    QVERIFY(openFromMenu(*m_window, package));
    if (edited) {
        const uint well = bll()->getWellIds().constFirst();
        bll()->getDropletExclude()->excludeDroplets(well, {0, 1, 2});
        QTRY_VERIFY(m_window->hasUnsavedChanges());
    }
    QByteArray afterJob;
    QObject listening; // the connection ends with this test
    connect(m_window->longJob(), &LongJob::ended, &listening, [&afterJob] { afterJob = documentDigest(); });
    QTemporaryDir exportParent;
    if (job == QLatin1String("export"))
        startExport(*m_window, exportParent.path(), {QStringLiteral("Result Table"), QStringLiteral("Lumet Images")});
    else
        startReanalysis(*m_window);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(m_window->busyOverlay()->isVisible());

    ModalDriver driver;
    // A question where none belongs is cancelled, which keeps the window: the test sees it.
    driver.answerMessage(answer < 0 ? 2 : answer);
    if (answer == 1)
        driver.answerFileDialog(package); // none expected: a package saves where it lies
    const QPoint placeBefore = m_window->pos();
    clickTitleBar(*m_window, QStringLiteral("minimiseButton"));
    clickTitleBar(*m_window, QStringLiteral("saveButton"));
    clickTitleBar(*m_window, QStringLiteral("closeButton"));
    // While the job runs: still open, nothing asked or saved, the window closed to input.
    QVERIFY(m_window->longJob()->isRunning());
    QCOMPARE(m_window->longJob()->name(), job);
    QVERIFY(m_window->isVisible());
    QVERIFY(!m_window->isMinimized());
    QCOMPARE(m_window->pos(), placeBefore);
    QCOMPARE(driver.seen().size(), 0);
    QCOMPARE(QApplication::focusWidget(), m_window->busyOverlay());
    QVERIFY(!m_window->frame()->isEnabled());
    QVERIFY(!m_window->menuBar()->isEnabled());

    QTRY_VERIFY_WITH_TIMEOUT(!m_window->longJob()->isRunning() || !m_window->isVisible(), JobTimeoutMs);
    QVERIFY(!afterJob.isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->isVisible(), 30000);
    const QStringList asked = driver.messages();
    if (answer < 0)
        QCOMPARE(asked, QStringList());
    else
        QCOMPARE(asked, QStringList{QStringLiteral("Do you want to save you modify? ")});
    // The save Yes started had ended before the window went; no file dialog was shown.
    QVERIFY(!m_window->longJob()->isRunning());
    QCOMPARE(int(std::count_if(driver.seen().cbegin(), driver.seen().cend(),
                               [](const SeenDialog &d) { return d.kind == QLatin1String("file"); })),
             0);
    destroyWindow(m_window);

    if (job == QLatin1String("export")) {
        const ExportFolder exported = readExportFolder(exportParent.path());
        QCOMPARE(exported.folders.size(), 1);
        QCOMPARE(exported.broken, QStringList());
        QCOMPARE(exported.workbooks, 2); // the result table and the grey values
        // The droplet images: at least one per well and channel.
        QVERIFY2(exported.images >= 24 * 2, qPrintable(QString::number(exported.images)));
    }
    QCOMPARE(digestOfFile(package), answer == 1 ? afterJob : onDisk);
}

// ---- Exclude, Include and Restore that change no droplet -------------------------------------

void TestMouseRoads::exclusionChangingNothing_data()
{
    QTest::addColumn<int>("page");       // 0 Quality Control, 3 Explore
    QTest::addColumn<QString>("button"); // object name of the page's button
    QTest::addColumn<bool>("picked");    // a droplet picked on the image first
    for (int page : {0, 3}) {
        const char *name = page == 0 ? "Quality Control" : "Explore";
        for (const char *button : {"excludeButton", "includeButton", "restoreButton"})
            QTest::addRow("%s, %s with nothing picked", name, button) << page << button << false;
    }
    // A real change still marks the file.
    QTest::newRow("Quality Control, a droplet picked and excluded") << 0 << "excludeButton" << true;
}

// Nothing picked: the document and its title stay as they were, and the close that follows
// asks nothing. Picked droplets excluded: the title is marked and the close asks.
void TestMouseRoads::exclusionChangingNothing()
{
    QFETCH(int, page);
    QFETCH(QString, button);
    QFETCH(bool, picked);
    const QString package = copyOf(m_small, QStringLiteral("small.imrs"));
    const QByteArray onDisk = digestOfFile(package);
    QVERIFY(openFromMenu(*m_window, package));
    QCOMPARE(title(*m_window), QStringLiteral("small"));
    const QByteArray opened = documentDigest();
    QVERIFY(visit(*m_window, page));
    QQuickWidget *view = page == 0 ? static_cast<QQuickWidget *>(qualityControl(*m_window))
                                   : static_cast<QQuickWidget *>(explorePage(*m_window));
    QTest::qWait(100); // the page's first drawing of the well
    if (picked) {
        // A right click on a droplet's marker picks it.
        DropletPannel *image = qualityControl(*m_window)->panel();
        QGraphicsItem *marker = nullptr;
        for (QGraphicsItem *item : image->scene()->items()) {
            if (item->type() == QCDrpltMarker::Type && item->isVisible()) {
                marker = item;
                break;
            }
        }
        QVERIFY(marker);
        const QPoint at = image->mapFromScene(marker->sceneBoundingRect().center());
        QVERIFY(image->viewport()->rect().contains(at));
        QTest::mouseClick(image->viewport(), Qt::RightButton, Qt::NoModifier, at);
        QTRY_VERIFY(static_cast<QCDrpltMarker *>(marker)->selected);
    }
    QQuickItem *item = shownItem(view, button);
    QVERIFY2(item, qPrintable(button));
    {
        ModalDriver driver;
        if (button == QLatin1String("restoreButton"))
            driver.answerMessage(1); // "This will clear all previous operations."
        mouseClickItem(view, item);
        QVERIFY(driver.waitDone());
    }
    QVERIFY(backToWindow(*m_window));
    if (picked) {
        QVERIFY(documentDigest() != opened);
        QVERIFY(title(*m_window).startsWith(QLatin1String("* ")));
    } else {
        QCOMPARE(documentDigest(), opened);
        QCOMPARE(title(*m_window), QStringLiteral("small"));
    }

    ModalDriver driver;
    // Unchanged: a question would be cancelled, keeping the window. Changed: No.
    driver.answerMessage(picked ? 0 : 2);
    clickTitleBar(*m_window, QStringLiteral("closeButton"));
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->isVisible(), 10000);
    QCOMPARE(driver.messages(), picked ? QStringList{QStringLiteral("Do you want to save you modify? ")} : QStringList());
    destroyWindow(m_window);
    QCOMPARE(digestOfFile(package), onDisk);
}

LUMARA_TEST_GUI_MAIN(TestMouseRoads)
#include "tst_mouseroads.moc"
