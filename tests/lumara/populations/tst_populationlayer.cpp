// The add-population dialog on an X11 screen (a virtual one). Without a compositing manager a
// translucent window's clear pixels show black, so the dialog shows only what its view shows
// (the panel, or the colour picker while it is open), centred where its caller placed it, and
// the screen behind it stays as it was. With a manager (here a stand-in owning the manager's
// selection) it is the window-sized translucent layer its callers give it.
#include "plots/TwoDotPlot/addpopulationdialog.h"
#include "shell/appresources.h"
#include "shell/dialoghost.h"
#include "shell/globalvalues.h"

#include "testmain.h"

#include <QApplication>
#include <QPainter>
#include <QQuickItem>
#include <QScreen>
#include <QTimer>

#include <xcb/xcb.h>

#include <cstdlib>
#include <functional>

namespace {

// A window full of stripes, so that any change behind the dialog shows.
class Backdrop : public QWidget {
public:
    Backdrop()
    {
        setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        setGeometry(100, 80, 1000, 760);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        for (int x = 0; x < width(); x += 20)
            painter.fillRect(x, 0, 10, height(), (x / 20) % 2 ? QColor(0x2a6f97) : QColor(0xe9c46a));
        painter.fillRect(0, 0, width(), 40, QColor(0x264653));
    }
};

QImage screenAt(const QRect &area)
{
    return QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// Pixels of the area (screen coordinates) outside `keep` that differ between the two pictures.
int changedOutside(const QImage &before, const QImage &after, const QRect &area, const QRect &keep)
{
    int changed = 0;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            if (!keep.contains(area.topLeft() + QPoint(x, y)) && before.pixel(x, y) != after.pixel(x, y))
                ++changed;
        }
    }
    return changed;
}

QPoint middle(const QRect &r)
{
    return r.topLeft() + QPoint(r.width() / 2, r.height() / 2);
}

// Runs the dialog modally as its callers do, calling `during` once it is on screen.
void runAsCallersDo(AddpopulationDialog *dialog, QWidget *window, const std::function<void()> &during)
{
    dialog->resize(window->size());
    dialog->move(centredOn(window->geometry(), dialog->size()));
    QTimer::singleShot(0, dialog, [dialog, during] {
        if (QTest::qWaitForWindowExposed(dialog)) {
            // The view draws on the frames after the exposure.
            QTest::qWait(300);
            during();
        }
        dialog->reject();
    });
    dialog->exec();
}

// Holds the selection a compositing manager owns, for as long as it lives.
class CompositorStandIn {
public:
    CompositorStandIn()
    {
        int screen = 0;
        m_connection = xcb_connect(nullptr, &screen);
        if (xcb_connection_has_error(m_connection))
            return;
        xcb_screen_t *root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        m_window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, root->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        const QByteArray name = QByteArrayLiteral("_NET_WM_CM_S") + QByteArray::number(screen);
        xcb_intern_atom_reply_t *atom = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, uint16_t(name.size()), name.constData()), nullptr);
        if (atom) {
            xcb_set_selection_owner(m_connection, m_window, atom->atom, XCB_CURRENT_TIME);
            std::free(atom);
        }
        xcb_flush(m_connection);
    }
    ~CompositorStandIn() { xcb_disconnect(m_connection); }

private:
    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_window = 0;
};

} // namespace

class TestPopulationLayer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        initAppResources();
    }

    void withoutCompositor()
    {
        Backdrop window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(200);
        const QRect area = window.geometry();
        const QImage before = screenAt(area);

        auto *dialog = new AddpopulationDialog;
        QVERIFY(!dialog->isLayer());
        QVERIFY(!dialog->testAttribute(Qt::WA_TranslucentBackground));
        const QSize panel(int(560 * uiScaleFactor), int(262 * uiScaleFactor));
        QRect shown, pickerShown;
        QImage during, duringPicker;
        runAsCallersDo(dialog, &window, [&] {
            shown = dialog->geometry();
            during = screenAt(area);
            // The colour picker opened from the panel: the dialog takes its size.
            QObject *picker = dialog->rootObject()->findChild<QObject *>(QStringLiteral("colorPopup"));
            if (!picker)
                return;
            QMetaObject::invokeMethod(picker, "open");
            QTest::qWait(400);
            pickerShown = dialog->geometry();
            duringPicker = screenAt(area);
            QMetaObject::invokeMethod(picker, "close");
            QTest::qWait(200);
        });
        QVERIFY(!during.isNull());
        QCOMPARE(shown.size(), panel);
        QCOMPARE(middle(shown), middle(area));
        QCOMPARE(changedOutside(before, during, area, shown), 0);
        // The panel itself is drawn.
        QVERIFY(changedOutside(before, during, area, QRect()) > shown.width() * shown.height() / 2);

        QVERIFY(!duringPicker.isNull());
        QCOMPARE(pickerShown.size(), QSize(596, 512));
        QCOMPARE(middle(pickerShown), middle(area));
        QCOMPARE(changedOutside(before, duringPicker, area, pickerShown), 0);
        delete dialog;
    }

    void withCompositor()
    {
        CompositorStandIn manager;
        Backdrop window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *dialog = new AddpopulationDialog;
        QVERIFY(dialog->isLayer());
        QVERIFY(dialog->testAttribute(Qt::WA_TranslucentBackground));
        QRect shown;
        runAsCallersDo(dialog, &window, [&] { shown = dialog->geometry(); });
        QCOMPARE(shown, window.geometry());
        delete dialog;
    }
};

LUMARA_TEST_GUI_MAIN(TestPopulationLayer)
#include "tst_populationlayer.moc"
