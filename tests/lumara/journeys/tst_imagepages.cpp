// Journeys over the image pages through the real main window: a package is opened, state is
// left behind on Quality Control (another channel and population, a legend box off, a droplet
// picked) and on Explore (a pair's quadrant clicked and its droplets selected for exclusion);
// then another package is opened, or one is merged through Set Up. Both pages must then show
// exactly what they show after the same road taken without that state, and every button that
// writes must leave the document's records as they were.
#define QTEST_QPA_MOUSE_HANDLING
#include "../explore/explorepagetest.h"
#include "../mainwindow/modaldriver.h"
#include "../mainwindow/shellitems.h"

#include "pages/EditExperiment/experimentedit.h"
#include "pages/QualityControl/dropletpannel.h"
#include "pages/QualityControl/qcdrpltmarker.h"
#include "pages/QualityControl/qualitycontrol.h"
#include "pages/explore.h"
#include "pages/qcpage.h"
#include "pages/setup.h"

#include "modalanswerer.h"
#include "shell/appresources.h"
#include "shell/globalvalues.h"
#include "shell/mainwindows.h"
#include "shell/mainwinframe.h"
#include "shell/navibar.h"
#include "testmain.h"

#include <QQuickItem>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <memory>

using namespace ExploreTest;
using namespace ShellTest;

namespace {

const int JobTimeoutMs = 60000;

enum Module { QualityControlModule = 0, SetUpModule = 1, ExploreModule = 3 };

// Waits for the hub's reload and the overlay's end after a job the window started.
bool waitForReload(MainWindows &window, QSignalSpy &complete)
{
    return QTest::qWaitFor(
        [&] { return !window.isOpening() && !complete.isEmpty() && !window.busyOverlay()->isVisible(); },
        JobTimeoutMs);
}

bool openInWindow(MainWindows &window, const QString &path)
{
    QSignalSpy complete(SignalTransfer::getInstance(), &SignalTransfer::updateWellComplete);
    window.startOpenFile(path);
    return waitForReload(window, complete);
}

bool visit(MainWindows &window, Module module)
{
    if (!clickItem(window.naviBar(), QStringLiteral("module%1").arg(int(module))))
        return false;
    QCoreApplication::processEvents();
    return window.frame()->currentIndex() == int(module);
}

QualityControl *qualityControlOf(const MainWindows &window)
{
    auto *container = qobject_cast<QCPage *>(window.frame()->page(QualityControlModule));
    return container ? container->qualityControl() : nullptr;
}

ExplorePage *exploreOf(const MainWindows &window)
{
    auto *container = qobject_cast<Explore *>(window.frame()->page(ExploreModule));
    return container ? container->page() : nullptr;
}

// Set Up's road: its add button, the file chosen in the dialog, the merge job.
bool mergeInWindow(MainWindows &window, const QString &path)
{
    if (!visit(window, SetUpModule))
        return false;
    auto *setup = qobject_cast<Setup *>(window.frame()->page(SetUpModule));
    if (!setup || !setup->experimentEdit() || !setup->experimentEdit()->rootObject())
        return false;
    QSignalSpy complete(SignalTransfer::getInstance(), &SignalTransfer::updateWellComplete);
    ModalDriver driver;
    driver.answerFileDialog(path);
    QMetaObject::invokeMethod(setup->experimentEdit()->rootObject(), "addWell");
    return driver.waitDone(JobTimeoutMs) && waitForReload(window, complete);
}

// What the document holds that a button could change: per well its excluded droplets, kept
// droplet count and line thresholds.
QStringList recordsOf()
{
    BLLInstance *bll = BLLInstance::getInstance();
    QStringList records;
    for (uint well : bll->getWellIds()) {
        QStringList thresholds;
        for (uint channel = 1; channel <= 6; ++channel)
            thresholds.append(QString::number(bll->getThldByLine(well, channel)));
        records.append(QStringLiteral("well %1 excluded %2 kept %3 thresholds %4")
                           .arg(well)
                           .arg(sortedIds(bll->getExcludedDroplets(well)))
                           .arg(bll->getWellDropletNum(well))
                           .arg(thresholds.join(QLatin1Char(' '))));
    }
    return records;
}

QString markerIds(const DropletPannel &panel, bool (*test)(const QCDrpltMarker *))
{
    QSet<uint> ids;
    for (const QCDrpltMarker *marker : panel.markers())
        if (test(marker))
            ids.insert(marker->id);
    return sortedIds(ids);
}

// What the user sees of the Quality Control page and what its commands act on.
QStringList qualityControlStateOf(QualityControl &page)
{
    QStringList state;
    QObject *root = page.root();
    if (!root)
        return {QStringLiteral("no view")};
    for (const char *name : {"uiEnable", "currentChannel", "currentWellID", "imageSharpness", "dropletNumbers",
                             "saturatedObjects", "effDroplets", "effThld", "posFu", "dropletNumsValid",
                             "qcparamEnable", "undoEnabled", "redoEnabled", "autoOn", "resetOn", "referenceChannel"})
        state << QStringLiteral("%1 %2").arg(QLatin1String(name), root->property(name).toString());
    QString channels;
    for (int n = 1; n <= 6; ++n)
        channels += QStringLiteral("%1:%2 ").arg(root->property(qPrintable(QStringLiteral("channel%1Status").arg(n))).toBool())
                        .arg(root->property(qPrintable(QStringLiteral("dyeName%1").arg(n))).toString());
    state << QStringLiteral("channels %1").arg(channels);
    state << QStringLiteral("populations %1").arg(root->property("populationNames").toStringList().join(QLatin1Char('|')));
    if (QQuickItem *box = findItem(&page, QStringLiteral("populationBox")))
        state << QStringLiteral("population shown %1").arg(box->property("currentText").toString());
    for (QQuickItem *item : page.rootObject()->findChildren<QQuickItem *>())
        if (item->inherits("QQuickCheckBox"))
            state << QStringLiteral("legend %1 %2").arg(item->property("text").toString()).arg(item->property("checked").toBool());
    state << QStringLiteral("page well %1 channel %2").arg(page.currentWell()).arg(page.currentChannel());
    const DropletPannel *panel = page.panel();
    QString modes;
    for (uint channel = 1; channel <= 6; ++channel)
        modes += QString::number(panel->getAdjustType(channel));
    state << QStringLiteral("panel well %1 channel %2 population %3 image %4 zoom %5 modes %6 picks %7")
                 .arg(panel->shownWell())
                 .arg(panel->shownChannel())
                 .arg(panel->currentPopulation())
                 .arg(panel->imageItem() != nullptr)
                 .arg(panel->zoomStepCount())
                 .arg(modes)
                 .arg(panel->pickCount());
    state << QStringLiteral("flags %1%2%3%4")
                 .arg(panel->showNegative())
                 .arg(panel->showExcluded())
                 .arg(panel->showPositive())
                 .arg(panel->showSaturated());
    state << QStringLiteral("markers %1").arg(panel->markers().size());
    state << QStringLiteral("visible %1").arg(markerIds(*panel, [](const QCDrpltMarker *m) { return m->isVisible(); }));
    state << QStringLiteral("picked %1").arg(markerIds(*panel, [](const QCDrpltMarker *m) { return m->selected; }));
    state << QStringLiteral("positive %1").arg(markerIds(*panel, [](const QCDrpltMarker *m) { return m->positive; }));
    state << QStringLiteral("excluded %1").arg(markerIds(*panel, [](const QCDrpltMarker *m) { return m->excluded; }));
    return state;
}

void compareLines(const QStringList &actual, const QStringList &expected)
{
    QCOMPARE(actual.size(), expected.size());
    for (int i = 0; i < actual.size(); ++i)
        QCOMPARE(actual.at(i), expected.at(i));
}

QQuickItem *legendBox(QQuickWidget *view, const QString &text)
{
    for (QQuickItem *item : view->rootObject()->findChildren<QQuickItem *>())
        if (item->inherits("QQuickCheckBox") && item->property("text").toString() == text)
            return item;
    return nullptr;
}

} // namespace

class TestImagePages : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void anotherPackageOpened();
    void packageMerged();

private:
    std::unique_ptr<MainWindows> newWindow();
    // Quality Control, then Explore, as the user visits them after the road: what each shows.
    QStringList visitImagePages();
    void leaveState();
    void pressWritingButtons();

    QTemporaryDir m_dir;
    QString m_a;
    QString m_b;
    QString m_c;
    QString m_pickedPlot;
    std::unique_ptr<MainWindows> m_window;
};

void TestImagePages::initTestCase()
{
    initAppResources();
    QVERIFY(m_dir.isValid());
    m_a = BllTest::generateRun(m_dir.path(), QStringLiteral("a.imrs"), BllTest::smallRun(false, 21, 96));
    m_b = BllTest::generateRun(m_dir.path(), QStringLiteral("b.imrs"), BllTest::smallRun(false, 34, 96));
    m_c = BllTest::generateRun(m_dir.path(), QStringLiteral("c.imrs"), BllTest::smallRun(false, 55, 96));
    QVERIFY(!m_a.isEmpty() && !m_b.isEmpty() && !m_c.isEmpty());
}

void TestImagePages::cleanup()
{
    if (m_window)
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->isOpening() && !m_window->isSaving(), JobTimeoutMs);
    m_window.reset();
}

std::unique_ptr<MainWindows> TestImagePages::newWindow()
{
    m_window.reset();
    currentFileBaseName.clear();
    auto window = std::make_unique<MainWindows>(QString());
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        return nullptr;
    return window;
}

QStringList TestImagePages::visitImagePages()
{
    QStringList shown;
    if (!visit(*m_window, QualityControlModule) || !qualityControlOf(*m_window))
        return {QStringLiteral("Quality Control not reached")};
    shown << qualityControlStateOf(*qualityControlOf(*m_window));
    if (!visit(*m_window, ExploreModule) || !exploreOf(*m_window))
        return {QStringLiteral("Explore not reached")};
    shown << stateOf(*exploreOf(*m_window));
    return shown;
}

void TestImagePages::leaveState()
{
    // Quality Control: another channel, the second population, negative droplets hidden, one
    // droplet picked.
    QVERIFY(visit(*m_window, QualityControlModule));
    QualityControl *quality = qualityControlOf(*m_window);
    QVERIFY(quality && quality->root());
    int other = 0;
    for (int n = 6; n >= 1 && other == 0; --n)
        if (quality->root()->property(qPrintable(QStringLiteral("channel%1Status").arg(n))).toBool()
            && uint(n) != quality->currentChannel())
            other = n;
    QVERIFY(other != 0);
    // The view's own handlers of its controls, as their clicks run them.
    QVERIFY(QMetaObject::invokeMethod(quality->root(), "chooseChannel", Q_ARG(QVariant, other)));
    QCOMPARE(quality->currentChannel(), uint(other));
    QQuickItem *populations = findItem(quality, QStringLiteral("populationBox"));
    QVERIFY(populations && populations->property("count").toInt() > 1);
    populations->setProperty("currentIndex", 1);
    QTRY_VERIFY(quality->panel()->currentPopulation() != WellListModel::instance()->getFirstPopulationID());
    QQuickItem *negative = legendBox(quality, QStringLiteral("Negative Droplets"));
    QVERIFY(negative);
    negative->setProperty("checked", false);
    QVERIFY(QMetaObject::invokeMethod(quality->root(), "categoryClicked", Q_ARG(QVariant, 1)));
    QVERIFY(!quality->panel()->showNegative());
    DropletPannel *panel = quality->panel();
    QCDrpltMarker *target = nullptr;
    for (QCDrpltMarker *marker : panel->markers())
        if (!target && marker->isVisible())
            target = marker;
    QVERIFY(target);
    rightClick(*panel, toView(*panel, target->scenePos()));
    QCOMPARE(panel->pickCount(), 1);

    // Explore: a quadrant of the first pair clicked, a brightness step, and its droplets
    // selected for exclusion.
    QVERIFY(visit(*m_window, ExploreModule));
    ExplorePage *page = exploreOf(*m_window);
    QVERIFY(page);
    m_pickedPlot.clear();
    for (const ExplorePlotEntry &entry : page->entries())
        if (m_pickedPlot.isEmpty() && entry.channels.size() == 2)
            m_pickedPlot = entry.name;
    QVERIFY(choose(page->plots(), m_pickedPlot));
    Explore2DDot *plot = page->plotXYView();
    QVERIFY(plot->isVisible());
    // The quadrant of the negative droplets, between the axes' start and the thresholds.
    const QPointF thresholds(plot->xThresholdCurve()->data()->sample(0).x(),
                             plot->yThresholdCurve()->data()->sample(0).y());
    const QPointF inside((axisRange(plot, QwtPlot::xBottom).first + thresholds.x()) / 2,
                         (axisRange(plot, QwtPlot::yLeft).first + thresholds.y()) / 2);
    const QPoint pixel(qRound(plot->transform(QwtPlot::xBottom, inside.x())),
                       qRound(plot->transform(QwtPlot::yLeft, inside.y())));
    QTest::mouseClick(plot->canvas(), Qt::LeftButton, Qt::NoModifier, pixel);
    QVERIFY(page->picking());
    QVERIFY(toolBar(*page, "addBrightness"));
    QVERIFY(toolBar(*page, "selectAll"));
    QVERIFY(!selectedIds(*page->imageView()).isEmpty());
    QVERIFY(!pickOf(plot, plot->shape()).isEmpty());
}

void TestImagePages::pressWritingButtons()
{
    // Explore: a brightness step, "Select for Exclusion", Exclude and Include; again on the
    // plot of the old pick; Restore confirmed.
    QVERIFY(visit(*m_window, ExploreModule));
    ExplorePage *page = exploreOf(*m_window);
    const QStringList records = recordsOf();
    for (const QString &plot : {QString(), m_pickedPlot}) {
        if (!plot.isEmpty())
            QVERIFY(choose(page->plots(), plot));
        QVERIFY(toolBar(*page, "addBrightness"));
        QVERIFY(toolBar(*page, "selectAll"));
        QVERIFY(toolBar(*page, "exclude"));
        compareLines(recordsOf(), records);
        QVERIFY(toolBar(*page, "include"));
        compareLines(recordsOf(), records);
        QVERIFY(toolBar(*page, "addBrightness"));
        QVERIFY(markedIds(*page).isEmpty());
    }
    {
        ModalDriver driver;
        driver.answerMessage(1);
        QVERIFY(toolBar(*page, "restore"));
        QVERIFY(driver.waitDone());
    }
    // Quality Control: Exclude, Include, Restore confirmed.
    QVERIFY(visit(*m_window, QualityControlModule));
    QualityControl *quality = qualityControlOf(*m_window);
    QCOMPARE(quality->panel()->pickCount(), 0);
    QVERIFY(QMetaObject::invokeMethod(quality->root(), "exclude"));
    QVERIFY(QMetaObject::invokeMethod(quality->root(), "include"));
    ModalDriver driver;
    driver.answerMessage(1);
    QVERIFY(QMetaObject::invokeMethod(quality->root(), "restore"));
    QVERIFY(driver.waitDone());
}

void TestImagePages::anotherPackageOpened()
{
    QStringList fresh;
    {
        LumaraTest::ModalAnswerer unexpected([](QWidget *modal) { modal->close(); });
        m_window = newWindow();
        QVERIFY(m_window);
        QVERIFY(openInWindow(*m_window, m_b));
        fresh = visitImagePages();
        QCOMPARE(unexpected.seen(), QStringList());
    }
    {
        LumaraTest::ModalAnswerer unexpected([](QWidget *modal) { modal->close(); });
        m_window = newWindow();
        QVERIFY(m_window);
        QVERIFY(openInWindow(*m_window, m_a));
        leaveState();
        // Opened while Explore shows.
        QVERIFY(openInWindow(*m_window, m_b));
        compareLines(visitImagePages(), fresh);
        QCOMPARE(unexpected.seen(), QStringList());
    }
    const QStringList records = recordsOf();
    QCOMPARE(records.size(), 2);
    pressWritingButtons();
    compareLines(recordsOf(), records);
}

void TestImagePages::packageMerged()
{
    QStringList fresh;
    m_window = newWindow();
    QVERIFY(m_window);
    QVERIFY(openInWindow(*m_window, m_a));
    QVERIFY(mergeInWindow(*m_window, m_c));
    {
        LumaraTest::ModalAnswerer unexpected([](QWidget *modal) { modal->close(); });
        fresh = visitImagePages();
        QCOMPARE(unexpected.seen(), QStringList());
    }
    QCOMPARE(BLLInstance::getInstance()->getWellIds().size(), 4);

    m_window = newWindow();
    QVERIFY(m_window);
    QVERIFY(openInWindow(*m_window, m_a));
    {
        LumaraTest::ModalAnswerer unexpected([](QWidget *modal) { modal->close(); });
        leaveState();
        QCOMPARE(unexpected.seen(), QStringList());
    }
    QVERIFY(mergeInWindow(*m_window, m_c));
    {
        LumaraTest::ModalAnswerer unexpected([](QWidget *modal) { modal->close(); });
        compareLines(visitImagePages(), fresh);
        QCOMPARE(unexpected.seen(), QStringList());
    }
    const QStringList records = recordsOf();
    QCOMPARE(records.size(), 4);
    pressWritingButtons();
    compareLines(recordsOf(), records);
}

LUMARA_TEST_GUI_MAIN(TestImagePages)
#include "tst_imagepages.moc"
