// lumara_tour [--temp-root] PACKAGE OUTFOLDER
// Starts the program as main does (no splash wait, no single-instance guard), opens the
// package through the main window and grabs every stop into OUTFOLDER. Exit code 0 when every
// stop passed, no QML warning or error was logged and nothing escaped.
//
// lumara_tour --check OUTFOLDER
// Checks a tour's pictures, as a run left them: prints the path every stop's picture must have
// and exits with 1 when one is missing or blank (one colour).
#include "tour.h"

#include "bll/bllinstance.h"
#include "bll/signaltransfer.h"
#include "graphicsdrivers.h"
#include "messagerecorder.h"
#include "shell/mainwindows.h"
#include "shell/startup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QSplashScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>

namespace {

const int OpenTimeoutMs = 240 * 1000;

// Opens through the window's own open road and waits for the well list to report the wells.
bool openPackage(MainWindows &window, const QString &path, QString *error)
{
    SignalTransfer *hub = SignalTransfer::getInstance();
    QEventLoop loop;
    bool opened = false;
    QObject::connect(hub, &SignalTransfer::updateWellComplete, &loop, [&] {
        opened = true;
        loop.quit();
    });
    QObject::connect(hub, &SignalTransfer::openFileError, &loop, [&] {
        *error = QStringLiteral("the package did not open");
        loop.quit();
    });
    QTimer::singleShot(OpenTimeoutMs, &loop, [&] {
        *error = QStringLiteral("the package did not open in time");
        loop.quit();
    });
    window.startOpenFile(path);
    loop.exec();
    // The worker's last steps reach the window after the wells.
    QElapsedTimer waited;
    waited.start();
    while (window.isOpening() && waited.elapsed() < (opened ? 60000 : 5000))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (window.isOpening()) {
        std::fprintf(stderr, "lumara_tour: %s; the open still runs\n", qPrintable(*error));
        std::fflush(stderr);
        std::_Exit(2);
    }
    return opened;
}

int usage()
{
    std::fprintf(stderr, "usage: lumara_tour [--temp-root] PACKAGE OUTFOLDER | --check OUTFOLDER\n");
    return 2;
}

int checkPictures(const QString &outFolder)
{
    Tour tour;
    registerStops(tour);
    int bad = 0;
    for (const QString &file : tour.pictures(outFolder)) {
        const QImage image(file);
        const char *fault = image.isNull() ? "missing" : isOneColour(image) ? "blank" : nullptr;
        if (fault) {
            ++bad;
            std::fprintf(stderr, "lumara_tour: %s is %s\n", qPrintable(file), fault);
        }
        std::printf("%s\n", qPrintable(file));
    }
    return bad == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    if (args.value(0) == QLatin1String("--check"))
        return args.size() == 2 ? checkPictures(args.at(1)) : usage();
    std::unique_ptr<QTemporaryDir> root;
    if (args.value(0) == QLatin1String("--temp-root")) {
        args.removeFirst();
        root = std::make_unique<QTemporaryDir>();
        qputenv("LUMARA_ROOT", QFile::encodeName(root->path()));
    }
    if (args.size() != 2)
        return usage();

    try {
        prepareApplication();
        QApplication app(argc, argv);
        startApplication();
        // In front of the program's handler, which still writes the log.
        LumaraTest::MessageRecorder recorder;

        QSplashScreen splash(splashPixmap());
        splash.show();
        waitOnSplash(0);

        MainWindows window{QString()};
        window.show();
        TourContext context;
        context.splash = &splash;
        context.window = &window;
        context.packagePath = QFileInfo(args[0]).absoluteFilePath();
        QString error;
        if (!openPackage(window, context.packagePath, &error)) {
            std::fprintf(stderr, "lumara_tour: %s: %s\n", qPrintable(context.packagePath), qPrintable(error));
            return 1;
        }
        QCoreApplication::processEvents();
        context.wellCount = BLLInstance::getInstance()->getWellIds().size();
        std::printf("Wells opened: %d\n", context.wellCount);

        Tour tour;
        registerStops(tour);
        int failures = tour.run(context, args[1]);

        const QStringList logged = recorder.qmlWarningsAndErrors();
        for (const QString &line : logged)
            std::printf("FAILED logged: %s\n", qPrintable(line));
        failures += logged.size();
        std::printf("%s\n", failures == 0 ? "Tour passed" : "Tour failed");
        LumaraTest::keepGraphicsDriversLoaded();
        // What the log holds after this line comes from the program's way out.
        qDebug("The tour has ended");
        return failures == 0 ? 0 : 1;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "lumara_tour: exception: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "lumara_tour: unknown exception\n");
    }
    return 1;
}
