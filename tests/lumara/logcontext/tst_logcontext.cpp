// A business-layer log line as the program writes it, with the business layer compiled as a
// Debug build compiles it: the source-file field stays empty and the line number is 0.
#include "bll/signaltransfer.h"
#include "shell/logfile.h"
#include "testmain.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

class TestLogContext : public QObject {
    Q_OBJECT
private slots:
    void debugFlagsInForce()
    {
#ifdef QT_NO_DEBUG
        QFAIL("compiled without the Debug flags: the check below would pass whatever the definitions");
#endif
    }

    void businessLineHasNoLocation()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("log.txt"));
        QVERIFY(openLogFile(path));
        qInstallMessageHandler(logMessageHandler);
        QObject stranger;
        // A sender the hub has no rows for: the hub logs a warning.
        const int forwarded = SignalTransfer::getInstance()->forwardSignals(&stranger);
        qInstallMessageHandler(nullptr);
        closeLogFile();
        QCOMPARE(forwarded, 0);

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString log = QString::fromUtf8(file.readAll());
        const QRegularExpression line(
            QStringLiteral("^Warning:\\(\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\) <(.*)> \\[(\\d+)\\] \\{SignalTransfer: no "
                           "forwarders for QObject\\}$"),
            QRegularExpression::MultilineOption);
        const QRegularExpressionMatch match = line.match(log);
        QVERIFY2(match.hasMatch(), qPrintable(log));
        QCOMPARE(match.captured(1), QString());
        QCOMPARE(match.captured(2), QStringLiteral("0"));
    }
};

LUMARA_TEST_MAIN(TestLogContext)
#include "tst_logcontext.moc"
