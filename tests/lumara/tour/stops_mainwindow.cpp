// The main window: the window with the package open, the recent-files and image-save pop-ups,
// the busy overlay, the box of a failed open and the question before closing with changes.
#include "tour.h"

#include "bll/signaltransfer.h"
#include "shell/dialogmessage.h"
#include "shell/globalvalues.h"
#include "shell/mainwindows.h"
#include "shell/menubar.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QQuickItem>
#include <QQuickWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

namespace {

// Runs start, which opens a message box (at once or later from a queued call), grabs the box
// as it is shown and answers it with the QML root's signal.
QImage grabMessageBox(const std::function<void()> &start, const std::function<void(QObject *)> &answer)
{
    QImage image;
    bool answered = false;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *box = qobject_cast<DialogMessage *>(QApplication::activeModalWidget());
        if (!box || answered)
            return;
        answered = true;
        poll.stop();
        image = grabWindow(box);
        if (auto *view = box->findChild<QQuickWidget *>())
            answer(view->rootObject());
    });
    poll.start();
    start();
    QElapsedTimer waited;
    waited.start();
    while (!answered && waited.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return image;
}

void answerYes(QObject *root)
{
    QMetaObject::invokeMethod(root, "clickYes", Qt::QueuedConnection);
}

void answerCancel(QObject *root)
{
    QMetaObject::invokeMethod(root, "clickCancel", Qt::QueuedConnection, Q_ARG(int, 2));
}

QObject *menuRoot(TourContext &context)
{
    return context.window->menuBar()->rootObject();
}

} // namespace

void addMainWindowStops(Tour &tour)
{
    tour.add(QStringLiteral("main-window"), [](TourContext &context) {
        context.visit(0, 0);
        return grabWindow(context.window);
    });
    tour.add(QStringLiteral("recent-files"), [](TourContext &context) {
        QMetaObject::invokeMethod(menuRoot(context), "recentFile");
        const QImage image = grabWindow(context.window);
        QMetaObject::invokeMethod(menuRoot(context), "recentFile");
        return image;
    });
    tour.add(QStringLiteral("image-save"), [](TourContext &context) {
        QMetaObject::invokeMethod(menuRoot(context), "imageSaveMode");
        const QImage image = grabWindow(context.window);
        QMetaObject::invokeMethod(menuRoot(context), "imageSaveMode");
        return image;
    });
    tour.add(QStringLiteral("busy-overlay"), [](TourContext &context) {
        SignalTransfer *hub = SignalTransfer::getInstance();
        emit hub->beginBusyStatus();
        const QImage image = grabWindow(context.window);
        emit hub->endBusyStatus();
        return image;
    });
    tour.add(QStringLiteral("open-file-error"), [](TourContext &context) {
        QTemporaryDir dir;
        const QString broken = dir.filePath(QStringLiteral("broken.imrs"));
        QFile file(broken);
        if (!file.open(QIODevice::WriteOnly))
            return QImage();
        file.write("PK\x03\x04 this is not a package");
        file.close();
        const QImage image = grabMessageBox([&] { context.window->startOpenFile(broken); }, answerYes);
        QElapsedTimer waited;
        waited.start();
        while (context.window->isOpening() && waited.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return image;
    });
    tour.add(QStringLiteral("close-question"), [](TourContext &context) {
        emit SignalTransfer::getInstance()->dataFixed();
        const QImage image =
            grabMessageBox([&] { QMetaObject::invokeMethod(menuRoot(context), "closeWindows"); }, answerCancel);
        // Cancelled: the window stays; the tour goes on without the mark.
        context.window->menuBar()->fileName(currentFileBaseName);
        QCoreApplication::processEvents();
        return context.window->isVisible() ? image : QImage();
    });
}
