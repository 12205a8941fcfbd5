// The clicks of QTest travel through the window, as a mouse's do.
#define QTEST_QPA_MOUSE_HANDLING
#include "windowroads.h"

#include "bll/signaltransfer.h"
#include "modaldriver.h"
#include "pages/Export/exportpage.h"
#include "pages/QualityControl/qualitycontrol.h"
#include "pages/export.h"
#include "pages/qcpage.h"
#include "shell/globalvalues.h"
#include "shell/longjob.h"
#include "shell/mainwindows.h"
#include "shell/mainwinframe.h"
#include "shell/menubar.h"
#include "shell/navibar.h"
#include "shellitems.h"
#include "watchdog.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QQuickItem>
#include <QQuickWidget>
#include <QSignalSpy>
#include <QtTest>

#include <chrono>

using namespace ShellTest;

namespace JourneyTest {

std::unique_ptr<MainWindows> showWindow()
{
    auto window = std::make_unique<MainWindows>(QString());
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        return nullptr;
    // Room for every page's controls inside their views, as on the user's screen.
    window->resize(1920, 1080);
    if (!backToWindow(*window))
        return nullptr;
    return window;
}

void destroyWindow(std::unique_ptr<MainWindows> &window)
{
    LumaraTest::Watchdog watchdog("destroying the window", std::chrono::seconds(60));
    window.reset();
}

bool WindowSession::start()
{
    dir = std::make_unique<QTemporaryDir>();
    currentFileBaseName.clear();
    window = showWindow();
    return window != nullptr;
}

void WindowSession::end()
{
    if (window)
        QTRY_VERIFY_WITH_TIMEOUT(!window->longJob()->isRunning(), JobTimeoutMs);
    destroyWindow(window);
    dir.reset();
}

QString WindowSession::copyOf(const QString &fixture, const QString &name) const
{
    const QString path = dir->filePath(name);
    return QFile::copy(fixture, path) ? path : QString();
}

QString title(MainWindows &window)
{
    return window.menuBar()->property(QStringLiteral("fileName"));
}

QQuickItem *shownItem(QQuickWidget *view, const QString &objectName)
{
    QQuickItem *item = findItem(view, objectName);
    return item && item->isVisible() && item->isEnabled() ? item : nullptr;
}

bool visit(MainWindows &window, int primary, int sub)
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

bool backToWindow(MainWindows &window)
{
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

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

void clickTitleBar(MainWindows &window, const QString &button)
{
    QQuickItem *item = findItem(window.menuBar(), button);
    QVERIFY2(item, qPrintable(button));
    mouseClickItem(window.menuBar(), item);
}

void typeText(const QString &text)
{
    for (QChar c : text)
        QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
}

QualityControl *qualityControl(MainWindows &window)
{
    return static_cast<QCPage *>(window.frame()->page(0))->qualityControl();
}

void startExport(MainWindows &window, const QString &folder, const QStringList &outputs)
{
    QVERIFY(visit(window, 5));
    ExportPage *page = static_cast<Export *>(window.frame()->page(5))->exportPage();
    for (const QString &output : outputs) {
        QQuickItem *box = findItemWith(page, "checkbox_names", output);
        QVERIFY2(box && box->isEnabled(), qPrintable(output));
        mouseClickItem(page, box);
        QTRY_VERIFY2(box->property("checked").toBool(), qPrintable(output));
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

} // namespace JourneyTest
