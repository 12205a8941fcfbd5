// The main window on a virtual screen 2560 pixels wide: the scale factor from the screen when
// built (1.33), from the window's own width once resized (1.3) and from the screen again when
// maximised (1.33), and the window placed on the stored screen or, for an index that names
// none, on the first.
#include "platform/platform.h"
#include "shell/appresources.h"
#include "shell/globalvalues.h"
#include "shell/mainwindows.h"
#include "shell/menubar.h"
#include "testmain.h"

#include <QQuickItem>
#include <QScreen>
#include <QSettings>

namespace {

void storeScreenIndex(int index)
{
    const QString path = Platform::machinePath(QStringLiteral("userhabit"));
    QSettings habits(path, QSettings::IniFormat);
    habits.setIniCodec("UTF-8");
    habits.setValue(path, index);
}

} // namespace

class TestScreens : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        initAppResources();
        QCOMPARE(QGuiApplication::primaryScreen()->availableGeometry().width(), 2560);
    }

    void scaleFollowsWidth()
    {
        storeScreenIndex(0);
        uiScaleFactor = 1.0;
        MainWindows window{QString()};
        QCOMPARE(uiScaleFactor, 1.33);
        QCOMPARE(window.menuBar()->minimumHeight(), 53);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTRY_COMPARE(uiScaleFactor, 1.3);
        QCOMPARE(window.width(), 2559);

        // Maximising first resizes the window, whose resize event reads its own width again;
        // maximised already, only the screen's width counts, until the next resize.
        QObject *menu = window.menuBar()->rootObject();
        QVERIFY(QMetaObject::invokeMethod(menu, "maxSize"));
        QTRY_COMPARE(window.geometry(), QRect(1, 1, 2560, 1440));
        QCOMPARE(uiScaleFactor, 1.3);
        QVERIFY(QMetaObject::invokeMethod(menu, "maxSize"));
        QCOMPARE(uiScaleFactor, 1.33);
        QTest::qWait(100);
        QCOMPARE(uiScaleFactor, 1.33);

        window.resize(1500, 900);
        QTRY_COMPARE(uiScaleFactor, 1.0);
    }

    void placedOnStoredScreen_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("screen");
        const int count = QGuiApplication::screens().size();
        for (int i = 0; i < count; ++i)
            QTest::addRow("screen %d", i) << i << i;
        QTest::newRow("-1") << -1 << 0;
        QTest::newRow("one past the last") << count << 0;
    }

    void placedOnStoredScreen()
    {
        QFETCH(int, stored);
        QFETCH(int, screen);
        storeScreenIndex(stored);
        MainWindows window{QString()};
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QScreen *chosen = QGuiApplication::screens().at(screen);
        QTRY_COMPARE(window.geometry(), QRect(chosen->geometry().topLeft() + QPoint(1, 1),
                                              chosen->availableGeometry().size() - QSize(1, 1)));
        QCOMPARE(window.screen(), chosen);
    }
};

LUMARA_TEST_GUI_MAIN(TestScreens)
#include "tst_screens.moc"
