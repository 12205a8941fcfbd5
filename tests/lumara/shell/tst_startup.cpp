// Start-up: the fonts from the resources, the splash with its version text, the splash wait
// that keeps the program answering, and the whole start-up sequence landing in the log.
#include "platform/fileassociation.h"
#include "platform/platform.h"
#include "shell/appresources.h"
#include "shell/logfile.h"
#include "shell/startup.h"
#include "testmain.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QRegularExpression>
#include <QTimer>

namespace {

// Pixels of the area that are nearly white.
int whitePixels(const QImage &image, const QRect &area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.green() > 200 && c.blue() > 200)
                ++count;
        }
    }
    return count;
}

} // namespace

class TestStartUp : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initAppResources(); }

    void fontsFromResources()
    {
        const QStringList families = loadApplicationFonts();
        QVERIFY2(families.contains(QStringLiteral("Roboto")), qPrintable(families.join(", ")));
        QCOMPARE(families.size(), 2);
        QCOMPARE(QApplication::font().family(), QStringLiteral("Roboto"));
        QCOMPARE(QFontInfo(QApplication::font()).family(), QStringLiteral("Roboto"));
    }

    // "VERSION 1.0.3" in white with its baseline at (40, 172), on a dark part of the picture.
    void splashVersionText()
    {
        const QImage plain(QStringLiteral(":/Others/Icon/start.png"));
        const QImage splash = splashPixmap().toImage();
        QCOMPARE(splash.size(), plain.size());
        const QRect text(40, 160, 90, 13); // cap height of 12-pixel text above the baseline
        QCOMPARE(whitePixels(plain, text.adjusted(-4, -4, 4, 4)), 0);
        QVERIFY(whitePixels(splash, text) > 40);
        // Nothing of it reaches below the baseline or left of x 40 (no descenders in the text).
        QCOMPARE(whitePixels(splash, QRect(30, 174, 110, 8)), 0);
        QCOMPARE(whitePixels(splash, QRect(30, 155, 9, 25)), 0);
        QVERIFY(whitePixels(splash, QRect(40, 160, 3, 13)) > 0);
    }

    // The wait keeps handling events while the splash shows.
    void splashWaitProcessesEvents()
    {
        bool fired = false;
        QTimer::singleShot(0, this, [&] { fired = true; });
        waitOnSplash(1);
        QVERIFY(fired);
    }

    // The whole sequence under a fresh per-machine folder: the name, the log with the
    // association's line (no source location), the association and the font.
    void startApplicationSequence()
    {
        QApplication::setFont(QFont(QStringLiteral("Sans")));
        const QString logPath = startApplication();
        qInstallMessageHandler(nullptr);
        closeLogFile();

        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Lumara"));
        QCOMPARE(QFileInfo(logPath).absolutePath(), Platform::machinePath(QStringLiteral("logs")));
        QFile log(logPath);
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(log.readAll());
        const QString icon = Platform::associationIconPath(QCoreApplication::applicationFilePath());
        const QRegularExpression line(QStringLiteral("^Debug:\\(\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\) <> \\[0\\] "
                                                     "\\{ICON Path = %1\\}$")
                                          .arg(QRegularExpression::escape(icon)),
                                      QRegularExpression::MultilineOption);
        QVERIFY2(line.match(text).hasMatch(), qPrintable(text));
        QVERIFY(QFile::exists(Platform::fileAssociationPath()));
        QCOMPARE(QApplication::font().family(), QStringLiteral("Roboto"));
    }
};

LUMARA_TEST_GUI_MAIN(TestStartUp)
#include "tst_startup.moc"
