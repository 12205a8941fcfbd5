// Lumara: brings the process up in a fixed order (see shell/startup.h), then shows the program.
#include "platform/singleinstanceguard.h"
#include "shell/mainwindows.h"
#include "shell/startup.h"

#include <QApplication>
#include <QSplashScreen>

int main(int argc, char *argv[])
{
    prepareApplication();
    QApplication app(argc, argv);
    startApplication();

    QSplashScreen splash(splashPixmap());
    splash.show();
    waitOnSplash(4);

    // Another instance runs: leave silently, the splash goes with the process.
    Platform::SingleInstanceGuard guard;
    if (!guard.acquired())
        return 0;

    // The window opens the start file itself once it is up; it installs the crash filter.
    MainWindows window(argc == 2 ? QString::fromLocal8Bit(argv[1]) : QString());
    window.show();
    splash.finish(&window);
    return app.exec();
}
