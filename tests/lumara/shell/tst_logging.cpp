// The per-run log: line formats, whole lines from many threads, appending to an existing file
// and the log folder made under the per-machine folder.
#include "shell/logfile.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>

#include <memory>
#include <vector>

namespace {

QString readAll(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

} // namespace

class TestLogging : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { closeLogFile(); }

    void formatLine_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("expected");
        const QString t = QStringLiteral("2024-03-05 07:08:09");
        QTest::newRow("debug") << int(QtDebugMsg) << QByteArray() << 0 << QStringLiteral("opened")
                               << QStringLiteral("Debug:(%1) <> [0] {opened}\n").arg(t);
        QTest::newRow("warning") << int(QtWarningMsg) << QByteArray() << 0 << QStringLiteral("careful")
                                 << QStringLiteral("Warning:(%1) <> [0] {careful}\n").arg(t);
        QTest::newRow("critical") << int(QtCriticalMsg) << QByteArray("help.cpp") << 42 << QStringLiteral("broken")
                                  << QStringLiteral("Critical:(%1) <help.cpp> [42] {broken}\n").arg(t);
        QTest::newRow("fatal") << int(QtFatalMsg) << QByteArray() << 0 << QStringLiteral("gone")
                               << QStringLiteral("Fatal:(%1) <> [0] {gone}\n").arg(t);
        QTest::newRow("info") << int(QtInfoMsg) << QByteArray("x.cpp") << 3 << QStringLiteral("ignored")
                              << QStringLiteral("\n");
        // Placeholders inside the message stay as they are.
        QTest::newRow("percent signs") << int(QtDebugMsg) << QByteArray() << 0 << QStringLiteral("%1 of %2 wells")
                                       << QStringLiteral("Debug:(") + t + QStringLiteral(") <> [0] {%1 of %2 wells}\n");
    }

    void formatLine()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, file);
        QFETCH(int, line);
        QFETCH(QString, message);
        QFETCH(QString, expected);
        const QMessageLogContext context(file.isEmpty() ? nullptr : file.constData(), line, nullptr, "default");
        const QDateTime time(QDate(2024, 3, 5), QTime(7, 8, 9));
        QCOMPARE(formatLogLine(QtMsgType(type), context, message, time), expected);
    }

    // Eight threads log at once: every line arrives whole, none is lost.
    void linesFromManyThreadsStayWhole()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("log.txt"));
        QVERIFY(openLogFile(path));
        const int threads = 8;
        const int lines = 2000;
        std::vector<std::unique_ptr<QThread>> workers;
        for (int t = 0; t < threads; ++t) {
            workers.emplace_back(QThread::create([t] {
                const QMessageLogContext context;
                for (int i = 0; i < lines; ++i)
                    logMessageHandler(QtDebugMsg, context,
                                      QStringLiteral("thread %1 line %2 %3").arg(t).arg(i).arg(QString(40, QLatin1Char('x'))));
            }));
            workers.back()->start();
        }
        for (auto &worker : workers)
            QVERIFY(worker->wait(60000));
        closeLogFile();

        const QStringList written = readAll(path).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(written.size(), threads * lines);
        const QRegularExpression shape(QStringLiteral(
            "^Debug:\\(\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\) <> \\[0\\] \\{thread (\\d) line (\\d+) x{40}\\}$"));
        QSet<QString> seen;
        for (const QString &l : written) {
            const QRegularExpressionMatch m = shape.match(l);
            QVERIFY2(m.hasMatch(), qPrintable(l));
            seen.insert(m.captured(1) + QLatin1Char(':') + m.captured(2));
        }
        QCOMPARE(seen.size(), threads * lines);
    }

    // A second start within the same second must not overwrite the running program's log.
    void existingFileIsAppendedTo()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("log.txt"));
        {
            QFile earlier(path);
            QVERIFY(earlier.open(QIODevice::WriteOnly));
            earlier.write("Debug:(2024-03-05 07:08:09) <> [0] {first run}\n");
        }
        QVERIFY(openLogFile(path));
        logMessageHandler(QtWarningMsg, QMessageLogContext(), QStringLiteral("second run"));
        closeLogFile();
        const QStringList lines = readAll(path).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].endsWith(QLatin1String("{first run}")));
        QVERIFY(lines[1].startsWith(QLatin1String("Warning:(")));
        QVERIFY(lines[1].endsWith(QLatin1String("{second run}")));
    }

    // With no file open the handler drops messages.
    void messagesWithoutFileAreDropped()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("no/such/folder/log.txt"));
        QTest::ignoreMessage(QtWarningMsg, qPrintable(missing + QStringLiteral(" cannot open")));
        QVERIFY(!openLogFile(missing));
        QCOMPARE(logFileDescriptor(), -1);
        logMessageHandler(QtDebugMsg, QMessageLogContext(), QStringLiteral("lost"));
        QVERIFY(!QFile::exists(missing));
    }

    // Neither the per-machine folder nor its logs folder exists yet: both are made.
    void logFolderMadeWithBothLevels()
    {
        QTemporaryDir dir;
        const QString root = dir.filePath(QStringLiteral("machine"));
        const QByteArray saved = qgetenv("LUMARA_ROOT");
        qputenv("LUMARA_ROOT", QFile::encodeName(root));
        const QDateTime before = QDateTime::currentDateTime();
        QString path;
        initLogFile(path);
        const QDateTime after = QDateTime::currentDateTime();
        qputenv("LUMARA_ROOT", saved);

        QVERIFY(QDir(root + QStringLiteral("/logs")).exists());
        const QFileInfo info(path);
        QCOMPARE(info.absolutePath(), root + QStringLiteral("/logs"));
        QVERIFY2(QRegularExpression(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d_\\d\\d-\\d\\d-\\d\\d\\.txt$"))
                     .match(info.fileName())
                     .hasMatch(),
                 qPrintable(info.fileName()));
        const QDateTime named = QDateTime::fromString(info.completeBaseName(), QStringLiteral("yyyy-MM-dd_hh-mm-ss"));
        QVERIFY(named.isValid());
        QVERIFY(named >= before.addMSecs(-before.time().msec()) && named <= after);
        QVERIFY(openLogFile(path));
        QVERIFY(logFileDescriptor() >= 0);
    }
};

LUMARA_TEST_MAIN(TestLogging)
#include "tst_logging.moc"
