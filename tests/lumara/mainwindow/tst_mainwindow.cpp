// The main window without a package: placement on the stored screen, the menu bar's forwarding,
// marks and drag, the navigation bar's modules and remembered sub-pages, the pop-ups, the busy
// overlay, the pending plot action, and the close question's Cancel and No.
#define QTEST_QPA_MOUSE_HANDLING
#include "bll/signaltransfer.h"
#include "modaldriver.h"
#include "pages/pagecontainer.h"
#include "platform/platform.h"
#include "shell/appresources.h"
#include "shell/globalvalues.h"
#include "shell/mainwindows.h"
#include "shell/mainwinframe.h"
#include "shell/menubar.h"
#include "shell/navibar.h"
#include "shell/recentfilewidget.h"
#include "shell/saveimagedialog.h"
#include "shellitems.h"
#include "testmain.h"

#include <QQuickItem>
#include <QQuickWidget>
#include <QScreen>
#include <QSettings>
#include <QSignalSpy>

#include <memory>

using namespace ShellTest;

namespace {

QObject *menuRoot(MainWindows &window)
{
    return window.menuBar()->rootObject();
}

std::unique_ptr<MainWindows> shownWindow()
{
    auto window = std::make_unique<MainWindows>(QString());
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        return nullptr;
    return window;
}

void storeScreenIndex(const QVariant &index)
{
    const QString path = Platform::machinePath(QStringLiteral("userhabit"));
    QSettings habits(path, QSettings::IniFormat);
    habits.setIniCodec("UTF-8");
    if (index.isValid())
        habits.setValue(path, index);
    else
        habits.remove(path);
}

int subPageOf(MainWindows &window, int primary)
{
    auto *page = qobject_cast<PageContainer *>(window.frame()->page(primary));
    return page ? page->currentIndex() : -1;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initAppResources(); }
    void init()
    {
        imageActionMode = 0;
        currentFileBaseName.clear();
    }

    void placedOnStoredScreen_data();
    void placedOnStoredScreen();
    void maxSizeStoresScreen();
    void titleMarkedOnDataChange();
    void fileActionsWaitForFirstOpen();
    void recentOpensFromArrowOnly();
    void pressesHidePopups();
    void busyOverlay();
    void drag_data();
    void drag();
    void navigation();
    void imageAction_data();
    void imageAction();
    void imagePopupToggles();
    void imagePopupLabelsFit_data();
    void imagePopupLabelsFit();
    void close_data();
    void close();
};

void TestMainWindow::placedOnStoredScreen_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::newRow("none stored") << QVariant();
    QTest::newRow("0") << QVariant(0);
    QTest::newRow("-1") << QVariant(-1);
    QTest::newRow("equal to the count") << QVariant(int(QGuiApplication::screens().size()));
    QTest::newRow("far beyond") << QVariant(42);
    QTest::newRow("not a number") << QVariant(QStringLiteral("left"));
}

// Any stored index that names no screen places the window on the first, one pixel in and one
// pixel smaller than its available area, scaled by the screen's width.
void TestMainWindow::placedOnStoredScreen()
{
    QFETCH(QVariant, stored);
    storeScreenIndex(stored);
    uiScaleFactor = 0.5;
    MainWindows window{QString()};
    const QScreen *first = QGuiApplication::screens().constFirst();
    const QRect available = first->availableGeometry();
    QCOMPARE(window.pos(), first->geometry().topLeft() + QPoint(1, 1));
    QCOMPARE(window.size(), available.size() - QSize(1, 1));
    QCOMPARE(uiScaleFactor, available.width() < 2000 ? 1.0 : (available.width() < 3000 ? 1.33 : 2.0));
    QCOMPARE(window.menuBar()->minimumHeight(), int(40 * uiScaleFactor));
    QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
}

void TestMainWindow::maxSizeStoresScreen()
{
    storeScreenIndex(5);
    auto window = shownWindow();
    QVERIFY(window);
    window->resize(300, 200);
    QVERIFY(QMetaObject::invokeMethod(menuRoot(*window), "maxSize"));
    const QScreen *first = QGuiApplication::screens().constFirst();
    QCOMPARE(window->pos(), first->geometry().topLeft() + QPoint(1, 1));
    QCOMPARE(window->size(), first->availableGeometry().size());
    const QString path = Platform::machinePath(QStringLiteral("userhabit"));
    QSettings habits(path, QSettings::IniFormat);
    QCOMPARE(habits.value(path).toInt(), 0);
}

void TestMainWindow::titleMarkedOnDataChange()
{
    MainWindows window{QString()};
    currentFileBaseName = QStringLiteral("run");
    window.menuBar()->fileName(QStringLiteral("run"));
    emit SignalTransfer::getInstance()->dataFixed();
    QCOMPARE(window.menuBar()->property(QStringLiteral("fileName")), QStringLiteral("* run"));
    emit SignalTransfer::getInstance()->dataFixed();
    QCOMPARE(window.menuBar()->property(QStringLiteral("fileName")), QStringLiteral("* run"));
}

void TestMainWindow::fileActionsWaitForFirstOpen()
{
    MainWindows window{QString()};
    const QStringList waiting = {QStringLiteral("saveButton"), QStringLiteral("saveAsButton"),
                                 QStringLiteral("imageButton"), QStringLiteral("imageArrow"),
                                 QStringLiteral("whatIsButton")};
    const QStringList ready = {QStringLiteral("openButton"), QStringLiteral("recentButton"),
                               QStringLiteral("recentArrow"), QStringLiteral("closeButton")};
    for (const QString &name : waiting + ready) {
        QQuickItem *item = findItem(window.menuBar(), name);
        QVERIFY2(item, qPrintable(name));
        QCOMPARE(item->isEnabled(), ready.contains(name));
    }
    emit SignalTransfer::getInstance()->updateWellComplete();
    for (const QString &name : waiting + ready)
        QVERIFY2(findItem(window.menuBar(), name)->isEnabled(), qPrintable(name));
}

void TestMainWindow::recentOpensFromArrowOnly()
{
    auto window = shownWindow();
    QVERIFY(window);
    QVERIFY(clickItem(window->menuBar(), QStringLiteral("recentButton")));
    QVERIFY(!window->recentFileWidget()->isVisible());
    // A real click on the arrow: the window's drag filter must let it through to the view.
    QTest::mouseClick(window->menuBar(), Qt::LeftButton, {},
                      centreOf(findItem(window->menuBar(), QStringLiteral("recentArrow"))));
    QTRY_VERIFY(window->recentFileWidget()->isVisible());
    QCOMPARE(window->recentFileWidget()->x(), window->menuBar()->recentFilePosition() + 12);
    QVERIFY(window->menuBar()->recentFilePosition() > 0);
    // The arrow again closes it.
    QVERIFY(clickItem(window->menuBar(), QStringLiteral("recentArrow")));
    QVERIFY(!window->recentFileWidget()->isVisible());
}

void TestMainWindow::pressesHidePopups()
{
    auto window = shownWindow();
    QVERIFY(window);
    QVERIFY(QMetaObject::invokeMethod(menuRoot(*window), "recentFile"));
    QVERIFY(window->recentFileWidget()->isVisible());
    QTest::mousePress(window.get(), Qt::RightButton, {}, QPoint(window->width() - 10, window->height() - 10));
    QTest::mouseRelease(window.get(), Qt::RightButton, {}, QPoint(window->width() - 10, window->height() - 10));
    QVERIFY(!window->recentFileWidget()->isVisible());

    QVERIFY(QMetaObject::invokeMethod(menuRoot(*window), "recentFile"));
    QVERIFY(window->recentFileWidget()->isVisible());
    QTest::mouseClick(window->naviBar(), Qt::RightButton, {}, QPoint(5, window->naviBar()->height() - 5));
    QTRY_VERIFY(!window->recentFileWidget()->isVisible());
}

void TestMainWindow::busyOverlay()
{
    auto window = shownWindow();
    QVERIFY(window);
    SignalTransfer *hub = SignalTransfer::getInstance();
    QVERIFY(!window->busyOverlay()->isVisible());
    emit hub->beginBusyStatus();
    QVERIFY(window->busyOverlay()->isVisible());
    QCOMPARE(window->busyOverlay()->geometry(), window->rect());
    emit hub->endBusyStatus();
    QVERIFY(!window->busyOverlay()->isVisible());

    emit hub->beginBusyStatus();
    window->resize(window->width() - 40, window->height() - 30);
    QTRY_COMPARE(window->busyOverlay()->geometry(), window->rect());
    emit hub->updateWellComplete();
    QVERIFY(!window->busyOverlay()->isVisible());
}

void TestMainWindow::drag_data()
{
    QTest::addColumn<int>("buttonValue");
    QTest::addColumn<bool>("moves");
    QTest::newRow("left") << int(Qt::LeftButton) << true;
    QTest::newRow("right") << int(Qt::RightButton) << false;
}

void TestMainWindow::drag()
{
    QFETCH(int, buttonValue);
    QFETCH(bool, moves);
    const auto button = Qt::MouseButton(buttonValue);
    auto window = shownWindow();
    QVERIFY(window);
    window->resize(600, 400);
    window->move(40, 30);
    QTRY_COMPARE(window->pos(), QPoint(40, 30));
    const QPoint start(window->menuBar()->width() / 2, window->menuBar()->height() / 2);
    const QPoint delta(25, 17);
    const QPoint cursor = window->menuBar()->mapToGlobal(start + delta);
    QTest::mousePress(window->menuBar(), button, {}, start);
    QTest::mouseMove(window->menuBar(), start + delta);
    // Released where the cursor is, wherever the bar is now.
    QTest::mouseRelease(window->menuBar(), button, {}, window->menuBar()->mapFromGlobal(cursor));
    QTRY_COMPARE(window->pos(), moves ? QPoint(40, 30) + delta : QPoint(40, 30));
}

// Modules open their sub-page last chosen; the first open of a file starts at the first page.
void TestMainWindow::navigation()
{
    auto window = shownWindow();
    QVERIFY(window);
    QSignalSpy levels(window->naviBar(), &Navibar::updateMenuLeve);
    QQuickWidget *bar = window->naviBar();

    QVERIFY(clickItem(bar, QStringLiteral("module2")));
    QTRY_VERIFY(findItem(bar, QStringLiteral("sub2_3")));
    QVERIFY(clickItem(bar, QStringLiteral("sub2_3")));
    QCOMPARE(window->frame()->currentIndex(), 2);
    QCOMPARE(subPageOf(*window, 2), 3);

    QVERIFY(clickItem(bar, QStringLiteral("module3")));
    QCOMPARE(window->frame()->currentIndex(), 3);
    QVERIFY(!findItem(bar, QStringLiteral("sub2_3")));

    QVERIFY(clickItem(bar, QStringLiteral("module2")));
    QCOMPARE(window->frame()->currentIndex(), 2);
    QCOMPARE(subPageOf(*window, 2), 3);

    QVERIFY(clickItem(bar, QStringLiteral("module4")));
    QTRY_VERIFY(findItem(bar, QStringLiteral("sub4_2")));
    QVERIFY(clickItem(bar, QStringLiteral("sub4_2")));
    QCOMPARE(subPageOf(*window, 4), 2);

    const QList<QList<QVariant>> expected = {{2, 0}, {2, 3}, {3, 0}, {2, 3}, {4, 0}, {4, 2}};
    QCOMPARE(QList<QList<QVariant>>(levels.begin(), levels.end()), expected);

    // After an open: the first module and its first sub-page, the others still remembered.
    emit window->naviBar()->initNaviBar();
    QCOMPARE(window->frame()->currentIndex(), 0);
    QCOMPARE(bar->rootObject()->property("primayIndex").toInt(), 0);
    QCOMPARE(bar->rootObject()->property("subMenuIndex").toInt(), 0);
    QVERIFY(clickItem(bar, QStringLiteral("module4")));
    QCOMPARE(levels.constLast(), (QList<QVariant>{4, 2}));

    // An index without a module changes nothing.
    window->frame()->switchPage(6, 0);
    QCOMPARE(window->frame()->currentIndex(), 4);
    window->frame()->switchPage(-1, 0);
    QCOMPARE(window->frame()->currentIndex(), 4);
}

void TestMainWindow::imageAction_data()
{
    QTest::addColumn<QStringList>("steps"); // the menu's signals, or the pop-up's "pick ..." buttons
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("icon");
    const QString png = QStringLiteral("qrc:/assets/png_icon1.png");
    const QString svg = QStringLiteral("qrc:/assets/svg_icon1.png");
    const QString copy = QStringLiteral("qrc:/assets/copy_icon1.png");
    QTest::newRow("main button at start: vector") << QStringList{"saveImage"} << 2 << "Save Vector Image" << svg;
    QTest::newRow("PNG chosen") << QStringList{"pick saveClicked"} << 1 << "Save Image" << png;
    QTest::newRow("main button repeats PNG") << QStringList{"pick saveClicked", "whatIs", "saveImage"} << 1
                                             << "Save Image" << png;
    QTest::newRow("copy chosen") << QStringList{"pick copyClicked"} << 3 << "Copy Image" << copy;
    QTest::newRow("main button repeats copy") << QStringList{"pick copyClicked", "saveImage"} << 3 << "Copy Image"
                                              << copy;
    QTest::newRow("vector after PNG") << QStringList{"pick saveClicked", "pick svgClicked", "saveImage"} << 2
                                      << "Save Vector Image" << svg;
    QTest::newRow("what is") << QStringList{"pick saveClicked", "whatIs"} << 4 << "Save Image" << png;
}

void TestMainWindow::imageAction()
{
    QFETCH(QStringList, steps);
    QFETCH(int, mode);
    QFETCH(QString, text);
    QFETCH(QString, icon);
    auto window = shownWindow();
    QVERIFY(window);
    SaveImageDialog *popup = window->saveImageDialog();
    for (const QString &step : steps) {
        if (step.startsWith(QLatin1String("pick "))) {
            // The pop-up opens under the image button's arrow, at the scaled size.
            QVERIFY(QMetaObject::invokeMethod(menuRoot(*window), "imageSaveMode"));
            QVERIFY(popup->isVisible());
            QCOMPARE(popup->geometry(), QRect(window->menuBar()->imageSavePosition(), window->menuBar()->height(),
                                              int(161 * uiScaleFactor), int(174 * uiScaleFactor)));
            auto *view = popup->findChild<QQuickWidget *>();
            QVERIFY(view && view->rootObject());
            QVERIFY(QMetaObject::invokeMethod(view->rootObject(), qPrintable(step.mid(5))));
            QVERIFY(!popup->isVisible());
        } else {
            QVERIFY2(QMetaObject::invokeMethod(menuRoot(*window), qPrintable(step)), qPrintable(step));
        }
    }
    QCOMPARE(imageActionMode, mode);
    QCOMPARE(window->menuBar()->property(QStringLiteral("imageSaveText")), text);
    QCOMPARE(window->menuBar()->property(QStringLiteral("imageSaveIcon")), icon);
}

// The image arrow opens and closes the pop-up under the image button, wherever the button is;
// a press on the window closes it too.
void TestMainWindow::imagePopupToggles()
{
    auto window = shownWindow();
    QVERIFY(window);
    // The position follows the button when the window is resized.
    QQuickItem *button = findItem(window->menuBar(), QStringLiteral("imageButton"));
    QVERIFY(button);
    // Wide enough that the narrower window stays above the pages' minimum width.
    window->resize(1200, 800);
    QTRY_COMPARE(window->menuBar()->imageSavePosition(), int(button->mapToScene(QPointF(0, 0)).x()));
    const int before = window->menuBar()->imageSavePosition();
    window->resize(window->width() - 100, window->height());
    QTRY_COMPARE(window->menuBar()->imageSavePosition(), before - 100);
    QCOMPARE(window->menuBar()->imageSavePosition(), int(button->mapToScene(QPointF(0, 0)).x()));
    QVERIFY(QMetaObject::invokeMethod(menuRoot(*window), "imageSaveMode"));
    QVERIFY(window->saveImageDialog()->isVisible());
    QVERIFY(QMetaObject::invokeMethod(menuRoot(*window), "imageSaveMode"));
    QVERIFY(!window->saveImageDialog()->isVisible());
    QVERIFY(QMetaObject::invokeMethod(menuRoot(*window), "imageSaveMode"));
    QTest::mouseClick(window.get(), Qt::LeftButton, {}, QPoint(window->width() - 10, window->height() - 10));
    QVERIFY(!window->saveImageDialog()->isVisible());
}

// At the size the window gives it, the pop-up shows every label whole, at every scale.
void TestMainWindow::imagePopupLabelsFit_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<QString>("button");
    for (double scale : {1.0, 1.33, 2.0})
        for (const char *button : {"copyButton", "svgButton", "saveButton"})
            QTest::addRow("%s at %.2f", button, scale) << scale << QString::fromLatin1(button);
}

void TestMainWindow::imagePopupLabelsFit()
{
    QFETCH(double, scale);
    QFETCH(QString, button);
    const double before = uiScaleFactor;
    uiScaleFactor = scale;
    SaveImageDialog popup;
    uiScaleFactor = before;
    popup.setGeometry(0, 0, int(161 * scale), int(174 * scale));
    popup.show();
    QVERIFY(QTest::qWaitForWindowExposed(&popup));
    auto *view = popup.findChild<QQuickWidget *>();
    QVERIFY(view && view->rootObject());
    QQuickItem *root = view->rootObject();
    QTRY_COMPARE(root->width(), qreal(int(161 * scale)));
    QQuickItem *item = findItem(view, button);
    QVERIFY(item);
    const QList<QQuickItem *> parts = item->property("contentItem").value<QQuickItem *>()->childItems();
    QQuickItem *label = nullptr;
    for (QQuickItem *part : parts)
        if (!part->property("text").toString().isEmpty())
            label = part;
    QVERIFY(label);
    const qreal right = label->mapToItem(root, QPointF(label->width(), 0)).x();
    QVERIFY2(right <= root->width() - 2, qPrintable(QStringLiteral("%1 ends at %2 of %3")
                                                        .arg(label->property("text").toString())
                                                        .arg(right)
                                                        .arg(root->width())));
}

void TestMainWindow::close_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("answer"); // -1: no question expected
    QTest::addColumn<bool>("closed");
    QTest::newRow("unchanged") << "run" << -1 << true;
    QTest::newRow("nothing open") << "" << -1 << true;
    QTest::newRow("name with a blank") << "my run.arlx" << -1 << true;
    QTest::newRow("changed, Cancel") << "* run" << 2 << false;
    QTest::newRow("changed, No") << "* run" << 0 << true;
}

// The window's close button and any other close request ask the same question.
void TestMainWindow::close()
{
    QFETCH(QString, title);
    QFETCH(int, answer);
    QFETCH(bool, closed);
    for (const bool fromMenu : {true, false}) {
        auto window = shownWindow();
        QVERIFY(window);
        window->menuBar()->fileName(title);
        ModalDriver driver;
        if (answer >= 0)
            driver.answerMessage(answer);
        if (fromMenu)
            QVERIFY(QMetaObject::invokeMethod(menuRoot(*window), "closeWindows"));
        else
            window->close();
        QVERIFY(driver.waitDone());
        if (answer >= 0)
            QCOMPARE(driver.messages(), QStringList{QStringLiteral("Do you want to save you modify? ")});
        QTRY_COMPARE(window->isVisible(), !closed);
        QTest::qWait(50);
        QCOMPARE(window->isVisible(), !closed);
        QCOMPARE(driver.seen().size(), answer >= 0 ? 1 : 0);
    }
}

LUMARA_TEST_GUI_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
