// Journeys through the real main window on the user's own roads: buttons pressed with the
// mouse, boxes typed into key by key and left by Tab or a click. A threshold typed into a
// box and applied, the title bar's close button clicked while a job runs, Exclude, Include
// and Restore that change no droplet, and the threshold scope after a re-analysis. Each
// checks the document and, where the window closes, the files on disk.
#define QTEST_QPA_MOUSE_HANDLING
#include "bll/bllinstance.h"
#include "bll/documentaccess.h"
#include "bll/dropletexclude.h"
#include "bll/populationsmgr.h"
#include "bll/signaltransfer.h"
#include "journeyfiles.h"
#include "modaldriver.h"
#include "model/drpltclassifymgr.h"
#include "pages/Explore/explorepage.h"
#include "pages/Export/exportpage.h"
#include "pages/QualityControl/dropletpannel.h"
#include "pages/QualityControl/qcdrpltmarker.h"
#include "pages/QualityControl/qualitycontrol.h"
#include "pages/QualityControl/reanalysisdialog.h"
#include "pages/analysisplot.h"
#include "pages/explore.h"
#include "pages/export.h"
#include "pages/qcpage.h"
#include "plots/Histogram/histogram.h"
#include "plots/OneDotPlot/plot1ddot.h"
#include "plots/TwoDotPlot/plot2ddot.h"
#include "plots/common/thresholdmodel.h"
#include "plots/common/thumbnailmodel.h"
#include "plots/common/thumbnailview.h"
#include "seeddocument.h"
#include "shell/appresources.h"
#include "shell/globalvalues.h"
#include "shell/longjob.h"
#include "shell/mainwindows.h"
#include "shell/mainwinframe.h"
#include "shell/menubar.h"
#include "shell/navibar.h"
#include "shell/welllistmodel.h"
#include "shellitems.h"
#include "testmain.h"
#include "watchdog.h"

#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QQuickItem>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <memory>

using namespace ShellTest;
using namespace JourneyTest;
using namespace LumaraAnalysisData;

namespace {

const int JobTimeoutMs = 120000;

BLLInstance *bll()
{
    return BLLInstance::getInstance();
}

QString title(MainWindows &window)
{
    return window.menuBar()->property(QStringLiteral("fileName"));
}

// The item must be there and shown for a user to click it.
QQuickItem *shownItem(QQuickWidget *view, const QString &objectName)
{
    QQuickItem *item = findItem(view, objectName);
    return item && item->isVisible() && item->isEnabled() ? item : nullptr;
}

// The navigation bar's module, then its sub-page, clicked.
bool visit(MainWindows &window, int primary, int sub = -1)
{
    Navibar *bar = window.naviBar();
    QQuickItem *module = shownItem(bar, QStringLiteral("module%1").arg(primary));
    if (!module)
        return false;
    mouseClickItem(bar, module);
    if (sub >= 0) {
        const QString name = QStringLiteral("sub%1_%2").arg(primary).arg(sub);
        if (!QTest::qWaitFor([&] { return shownItem(bar, name) != nullptr; }, 5000))
            return false;
        mouseClickItem(bar, shownItem(bar, name));
    }
    QTest::qWait(20);
    return window.frame()->currentIndex() == primary;
}

// A box closed: the window has the keyboard again, as a window manager gives it back (the
// offscreen platform does not).
bool backToWindow(MainWindows &window)
{
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

// The menu's Open and its file dialog; changes left unsaved are discarded when asked.
bool openFromMenu(MainWindows &window, const QString &path)
{
    QSignalSpy complete(SignalTransfer::getInstance(), &SignalTransfer::updateWellComplete);
    ModalDriver driver;
    driver.answerFileDialog(path);
    if (window.hasUnsavedChanges())
        driver.answerMessage(0);
    QQuickItem *open = shownItem(window.menuBar(), QStringLiteral("openButton"));
    if (!open)
        return false;
    mouseClickItem(window.menuBar(), open);
    return driver.waitDone() && QTest::qWaitFor([&] {
               return !complete.isEmpty() && !window.longJob()->isRunning() && !window.busyOverlay()->isVisible();
           }, JobTimeoutMs) && window.openFilePath() == path && backToWindow(window);
}

// The title bar's button, clicked where it shows; whatever lies on top there takes the click.
void clickTitleBar(MainWindows &window, const QString &button)
{
    QQuickItem *item = findItem(window.menuBar(), button);
    QVERIFY2(item, qPrintable(button));
    mouseClickItem(window.menuBar(), item);
}

// Keys as a user types them, to whatever has the keyboard.
void typeText(const QString &text)
{
    for (QChar c : text)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
}

// The line-mode droplets counted positive in each channel, summed over the well's zones.
QList<uint> positivesByZone(uint well)
{
    const BLLInstance::LineCode code = bll()->lineCode(well);
    QList<uint> out;
    QVector<ZoneDrpltNumInfo> counts;
    try {
        counts = DocumentAccess::classify()->getWellDrpltNumOfZonesByLine(well);
    } catch (const char *) {
        return out;
    }
    QHash<uint, uint> codeOfZone;
    for (const DrpltZoneInfo &zone : bll()->getPopulationsMgr()->getZones())
        codeOfZone.insert(zone.id, zone.code);
    for (const BLLInstance::CodeBit &bit : code.bits) {
        uint sum = 0;
        for (const ZoneDrpltNumInfo &n : counts) {
            if ((codeOfZone.value(n.zoneId) >> bit.shift) & 1u)
                sum += n.drpltNum;
        }
        out << sum;
    }
    return out;
}

// The same from the kept droplets' values and the thresholds: at or above is positive.
QList<uint> positivesByValue(uint well)
{
    const BLLInstance::LineCode code = bll()->lineCode(well);
    QList<uint> out;
    for (const BLLInstance::CodeBit &bit : code.bits) {
        const QVector<uint> values = bll()->getWellChannelGrayValues(well, bit.channel);
        const uint threshold = bll()->getThldByLine(well, bit.channel);
        out << uint(std::count_if(values.cbegin(), values.cend(), [threshold](uint v) { return v >= threshold; }));
    }
    return out;
}

// Every well's line thresholds of channels 1..6.
QMap<uint, QList<uint>> thresholds()
{
    QMap<uint, QList<uint>> out;
    for (uint well : bll()->getWellIds()) {
        for (uint channel = 1; channel <= 6; ++channel)
            out[well] << bll()->getThldByLine(well, channel);
    }
    return out;
}

// A channel whose thresholds are not the same in every well.
bool thresholdsDifferPerWell()
{
    const QMap<uint, QList<uint>> all = thresholds();
    for (const QList<uint> &well : all) {
        if (well != all.first())
            return true;
    }
    return false;
}

ChannelPlotPage *plotPage(MainWindows &window, int sub)
{
    auto *plots = qobject_cast<AnalysisPlot *>(window.frame()->page(2));
    if (!plots)
        return nullptr;
    if (sub == 0)
        return plots->histogram();
    if (sub == 1)
        return plots->plot1DDot();
    return plots->plot2DDot();
}

QualityControl *qualityControl(MainWindows &window)
{
    return static_cast<QCPage *>(window.frame()->page(0))->qualityControl();
}

ExplorePage *explorePage(MainWindows &window)
{
    return static_cast<Explore *>(window.frame()->page(3))->page();
}

ExportPage *exportPage(MainWindows &window)
{
    return static_cast<Export *>(window.frame()->page(5))->exportPage();
}

// The Quality Control page's Re_Analyze, its dialog answered with machine correction and Yes,
// by the mouse.
void startReanalysis(MainWindows &window)
{
    QVERIFY(visit(window, 0));
    QualityControl *page = qualityControl(window);
    QQuickItem *button = shownItem(page, QStringLiteral("reanalysisButton"));
    QVERIFY(button);
    ModalDriver driver;
    driver.answerDialog(QStringLiteral("ReAnalysisDialog"), [](QDialog *dialog) {
        auto *view = dialog->findChild<QQuickWidget *>();
        if (!view)
            return;
        if (QQuickItem *machine = findItem(view, QStringLiteral("background1")))
            mouseClickItem(view, machine);
        if (QQuickItem *yes = findItemWith(view, "text", QStringLiteral("Yes")))
            mouseClickItem(view, yes);
    });
    mouseClickItem(page, button);
    QVERIFY(driver.waitDone());
    QTRY_COMPARE(window.longJob()->name(), QStringLiteral("re-analysis"));
    QVERIFY(backToWindow(window));
}

// The Export page: the result table and the droplet images ticked, the folder chosen through
// Browse, then Export, all by the mouse.
void startExport(MainWindows &window, const QString &folder)
{
    QVERIFY(visit(window, 5));
    ExportPage *page = exportPage(window);
    for (const char *output : {"Result Table", "Lumet Images"}) {
        QQuickItem *box = findItemWith(page, "checkbox_names", QString::fromLatin1(output));
        QVERIFY2(box && box->isEnabled(), output);
        mouseClickItem(page, box);
        QTRY_VERIFY2(box->property("checked").toBool(), output);
    }
    {
        ModalDriver driver;
        driver.answerFileDialog(folder);
        mouseClickItem(page, shownItem(page, QStringLiteral("browseButton")));
        QVERIFY(driver.waitDone());
    }
    QVERIFY(backToWindow(window));
    QTRY_COMPARE(QDir(page->root()->property("filePath").toString()), QDir(folder));
    mouseClickItem(page, shownItem(page, QStringLiteral("exportButton")));
    QCOMPARE(window.longJob()->name(), QStringLiteral("export"));
}

} // namespace

class TestMouseRoads : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void typedThresholdLeavesTheBox_data();
    void typedThresholdLeavesTheBox();
    void titleBarCloseDuringJob_data();
    void titleBarCloseDuringJob();
    void exclusionChangingNothing_data();
    void exclusionChangingNothing();
    void scopeAfterReanalysis();

private:
    QString copyOf(const QString &fixture, const QString &name);
    void newWindow();
    // Closes the window, holding the test against a hang.
    void destroyWindow();

    QTemporaryDir m_fixtures;
    QString m_small; // three wells, different positive fractions
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
    small.wellFractions[1] = {{QStringLiteral("Target-HEX"), 0.5}};
    small.wellFractions[2] = {{QStringLiteral("Target-HEX"), 0.02}};
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
    newWindow();
}

void TestMouseRoads::newWindow()
{
    m_window.reset();
    m_window = std::make_unique<MainWindows>(QString());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    // Room for every page's controls inside their views, as on the user's screen.
    m_window->resize(1920, 1080);
    // The user's window has the keyboard.
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestMouseRoads::destroyWindow()
{
    LumaraTest::Watchdog watchdog("destroying the window", std::chrono::seconds(60));
    m_window.reset();
}

void TestMouseRoads::cleanup()
{
    if (m_window)
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->longJob()->isRunning(), JobTimeoutMs);
    destroyWindow();
    m_dir.reset();
}

QString TestMouseRoads::copyOf(const QString &fixture, const QString &name)
{
    const QString path = m_dir->filePath(name);
    return QFile::copy(fixture, path) ? path : QString();
}

// ---- A typed threshold, the box left, Apply clicked -----------------------------------------

void TestMouseRoads::typedThresholdLeavesTheBox_data()
{
    QTest::addColumn<int>("page");     // Analyze Plot's sub-page: 0 histogram, 1 1D, 2 2D
    QTest::addColumn<QString>("road"); // how the box is left: "tab", "apply" (the click on
                                       // Apply itself) or "elsewhere" (a click in the other box)
    QTest::addColumn<QString>("typed"); // "median": the channel's median value in the first well
    QTest::addColumn<bool>("applied");
    const char *pages[] = {"histogram", "1D", "2D"};
    for (int page = 0; page < 3; ++page) {
        for (const char *road : {"tab", "apply", "elsewhere"}) {
            QTest::addRow("%s, %s: 1,5", pages[page], road) << page << road << "1,5" << false;
            QTest::addRow("%s, %s: a value", pages[page], road) << page << road << "median" << true;
        }
        QTest::addRow("%s, tab: 70001", pages[page]) << page << "tab" << "70001" << false;
        QTest::addRow("%s, apply: 1,500", pages[page]) << page << "apply" << "1,500" << false;
    }
}

// What the box shows when Apply is pressed is what the document takes, in every well of the
// common scope; a text that is no threshold leaves every threshold and count as it was.
void TestMouseRoads::typedThresholdLeavesTheBox()
{
    QFETCH(int, page);
    QFETCH(QString, road);
    QFETCH(QString, typed);
    QFETCH(bool, applied);
    QVERIFY(openFromMenu(*m_window, copyOf(m_small, QStringLiteral("small.imrs"))));
    QVERIFY(visit(*m_window, 2, page));
    ChannelPlotPage *plots = plotPage(*m_window, page);
    QVERIFY(plots && plots->isVisible());
    QCOMPARE(isIndividualMode, 0); // an open starts in common scope
    if (page != 2) {
        // A second channel beside the first: its thumbnail clicked with Ctrl held.
        ThumbnailView *thumbs = plots->thumbnailView();
        QVERIFY(plots->thumbnailModel()->rowCount() >= 2);
        const QRect second = thumbs->visualRect(plots->thumbnailModel()->index(1, 0));
        QTest::mouseClick(thumbs->viewport(), Qt::LeftButton, Qt::ControlModifier, second.center());
    }
    ThresholdModel *rows = plots->thresholdModel();
    QTRY_COMPARE(rows->rowCount(), 2);
    const uint channel = rows->data(rows->index(0, 0), ThresholdModel::ChannelIDRole).toUInt();
    const uint other = rows->data(rows->index(1, 0), ThresholdModel::ChannelIDRole).toUInt();
    const QList<uint> wells = bll()->getWellIds();
    const uint first = wells.constFirst();
    const QMap<uint, QList<uint>> before = thresholds();
    QMap<uint, QList<uint>> counts;
    for (uint well : wells)
        counts[well] = positivesByZone(well);

    if (typed == QLatin1String("median")) {
        QVector<uint> values = bll()->getWellChannelGrayValues(first, channel);
        QVERIFY(!values.isEmpty());
        std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
        uint median = values.at(values.size() / 2);
        if (median == before[first].at(int(channel) - 1))
            ++median;
        typed = QString::number(median);
    }

    QQuickItem *box = shownItem(plots, QStringLiteral("threshold%1").arg(channel));
    QVERIFY(box);
    mouseClickItem(plots, box);
    QTRY_VERIFY(box->hasActiveFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    typeText(typed);
    QCOMPARE(box->property("text").toString(), typed);

    if (road == QLatin1String("tab")) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    } else if (road == QLatin1String("elsewhere")) {
        QQuickItem *next = shownItem(plots, QStringLiteral("threshold%1").arg(other));
        QVERIFY(next);
        mouseClickItem(plots, next);
    }
    if (road != QLatin1String("apply")) {
        QTRY_VERIFY(!box->hasActiveFocus());
        // Left as typed: nothing rewrote the text into another number.
        QCOMPARE(box->property("text").toString(), typed);
    }
    QQuickItem *apply = shownItem(plots, QStringLiteral("applyButton"));
    QVERIFY(apply);
    mouseClickItem(plots, apply);

    QMap<uint, QList<uint>> expected = before;
    if (applied) {
        for (uint well : wells)
            expected[well][int(channel) - 1] = typed.toUInt();
    }
    QCOMPARE(thresholds(), expected);
    for (uint well : wells) {
        if (applied)
            QCOMPARE(positivesByZone(well), positivesByValue(well));
        else
            QCOMPARE(positivesByZone(well), counts.value(well));
    }
    // The box shows what the document holds now.
    QQuickItem *after = shownItem(plots, QStringLiteral("threshold%1").arg(channel));
    QVERIFY(after);
    QCOMPARE(after->property("text").toString(), QString::number(expected[first].at(int(channel) - 1)));
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
        startExport(*m_window, exportParent.path());
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
    destroyWindow();

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
    destroyWindow();
    QCOMPARE(digestOfFile(package), onDisk);
}

// ---- The scope after a re-analysis ---------------------------------------------------------

// The re-analysis gives every well its own automatic thresholds: the plot pages then say
// "Individual per well", show the selected well's values, and a typed value reaches that well
// alone. An open starts in common scope again.
void TestMouseRoads::scopeAfterReanalysis()
{
    const QString package =
        savePackageOf(copyOf(m_small, QStringLiteral("small-source.imrs")), m_dir->filePath(QStringLiteral("small.arlx")));
    QVERIFY(!package.isEmpty());
    QVERIFY(openFromMenu(*m_window, package));
    QVERIFY(visit(*m_window, 2, 0));
    QCOMPARE(plotPage(*m_window, 0)->qmlRoot()->property("isCommonAll").toBool(), true);

    startReanalysis(*m_window);
    if (QTest::currentTestFailed())
        return;
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->longJob()->isRunning(), JobTimeoutMs);
    QVERIFY2(thresholdsDifferPerWell(), "the re-analysis gave every well the same thresholds");
    const QMap<uint, QList<uint>> analysed = thresholds();
    const uint selected = uint(WellListModel::instance()->getSelectWellID());

    for (int sub : {0, 1, 2}) {
        QVERIFY(visit(*m_window, 2, sub));
        ChannelPlotPage *plots = plotPage(*m_window, sub);
        QCOMPARE(isIndividualMode, 1);
        QCOMPARE(plots->qmlRoot()->property("isCommonAll").toBool(), false);
        QQuickItem *individual = findItem(plots, QStringLiteral("individualButton"));
        QVERIFY(individual);
        QCOMPARE(individual->property("shown").toBool(), true);
        // The rows show the selected well's own thresholds, for editing.
        ThresholdModel *rows = plots->thresholdModel();
        QVERIFY(rows->rowCount() > 0);
        for (int r = 0; r < rows->rowCount(); ++r) {
            const uint channel = rows->data(rows->index(r, 0), ThresholdModel::ChannelIDRole).toUInt();
            QCOMPARE(rows->data(rows->index(r, 0), ThresholdModel::ChannelThresholdRole).toString(),
                     QString::number(analysed[selected].at(int(channel) - 1)));
            QVERIFY(rows->data(rows->index(r, 0), ThresholdModel::ThresholdEditAbleRole).toBool());
        }
    }

    // Typed on the histogram and applied: the selected well takes it, the others keep theirs.
    QVERIFY(visit(*m_window, 2, 0));
    ChannelPlotPage *histogram = plotPage(*m_window, 0);
    ThresholdModel *rows = histogram->thresholdModel();
    const uint channel = rows->data(rows->index(0, 0), ThresholdModel::ChannelIDRole).toUInt();
    const uint typed = analysed[selected].at(int(channel) - 1) + 37;
    QQuickItem *box = shownItem(histogram, QStringLiteral("threshold%1").arg(channel));
    QVERIFY(box);
    mouseClickItem(histogram, box);
    QTRY_VERIFY(box->hasActiveFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    typeText(QString::number(typed));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    mouseClickItem(histogram, shownItem(histogram, QStringLiteral("applyButton")));
    QMap<uint, QList<uint>> expected = analysed;
    expected[selected][int(channel) - 1] = typed;
    QCOMPARE(thresholds(), expected);

    // Another open: common scope again.
    QVERIFY(openFromMenu(*m_window, copyOf(m_small, QStringLiteral("again.imrs"))));
    QVERIFY(visit(*m_window, 2, 0));
    QCOMPARE(isIndividualMode, 0);
    QCOMPARE(plotPage(*m_window, 0)->qmlRoot()->property("isCommonAll").toBool(), true);
}

LUMARA_TEST_GUI_MAIN(TestMouseRoads)
#include "tst_mouseroads.moc"
