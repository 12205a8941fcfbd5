#include "shell/startup.h"

#include "bll/bllinstance.h"
#include "platform/fileassociation.h"
#include "shell/appresources.h"
#include "shell/logfile.h"

#include <QApplication>
#include <QDateTime>
#include <QFont>
#include <QFontDatabase>
#include <QPainter>
#include <QThread>

const char *const LumaraVersionText = "VERSION 1.0.3";

void prepareApplication()
{
    QCoreApplication::setAttribute(Qt::AA_DisableHighDpiScaling);
}

QString startApplication()
{
    // The per-machine folder's fallback depends on the application's name.
    QCoreApplication::setApplicationName(QStringLiteral("Lumara"));
    QCoreApplication::setOrganizationName(QString());
    initAppResources();

    QString logPath;
    initLogFile(logPath);
    openLogFile(logPath);
    qInstallMessageHandler(logMessageHandler);

    BLLInstance::createSingletons();
    Platform::registerFileAssociation(QCoreApplication::applicationFilePath());
    loadApplicationFonts();
    return logPath;
}

QStringList loadApplicationFonts()
{
    QStringList families;
    for (const char *path : {":/Others/font/Roboto-Regular.ttf", ":/Others/font/SOURCEHANSANSCN-REGULAR.OTF"}) {
        const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(path));
        if (id >= 0)
            families += QFontDatabase::applicationFontFamilies(id);
    }
    QFont font;
    font.setFamily(QStringLiteral("Roboto"));
    QApplication::setFont(font);
    return families;
}

QPixmap splashPixmap()
{
    QPixmap pixmap(QStringLiteral(":/Others/Icon/start.png"));
    if (pixmap.isNull())
        return pixmap;
    QPainter painter(&pixmap);
    QFont font;
    font.setFamily(QStringLiteral("Roboto"));
    font.setPixelSize(12);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QPoint(40, 172), QString::fromLatin1(LumaraVersionText));
    return pixmap;
}

void waitOnSplash(int seconds)
{
    const QDateTime shown = QDateTime::currentDateTime();
    while (shown.secsTo(QDateTime::currentDateTime()) < seconds) {
        QCoreApplication::processEvents();
        // A short rest between rounds; the splash still answers at once.
        QThread::msleep(10);
    }
}
