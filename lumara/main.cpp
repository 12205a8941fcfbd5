// Lumara: brings the process up in a fixed order (see shell/startup.h), then shows the program.
#include "platform/crashdump.h"
#include "platform/singleinstanceguard.h"
#include "shell/dialogmessage.h"
#include "shell/dialoghost.h"
#include "shell/logfile.h"
#include "shell/startup.h"

#include <QApplication>
#include <QDebug>
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
    Platform::installCrashDumpFilter(logFileDescriptor());

    const QString startFile = argc == 2 ? QString::fromLocal8Bit(argv[1]) : QString();
    qDebug().noquote() << QStringLiteral("Start file: ") + startFile;

    DialogMessage box(0, QStringLiteral("The main window is not part of this build yet."));
    centreOnActiveWindow(&box);
    box.show();
    splash.finish(&box);
    box.exec();
    return 0;
}
