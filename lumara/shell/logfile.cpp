#include "shell/logfile.h"

#include "platform/platform.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QMutex>
#include <QMutexLocker>

namespace {

struct LogSink {
    QMutex mutex;
    QFile file;
};

// Never destroyed: threads may still log while the process winds down.
LogSink &sink()
{
    static LogSink *s = new LogSink;
    return *s;
}

} // namespace

QString formatLogLine(QtMsgType type, const QMessageLogContext &context, const QString &message,
                      const QDateTime &time)
{
    const char *format = nullptr;
    switch (type) {
    case QtDebugMsg:
        format = "Debug:(%1) <%2> [%3] {%4}";
        break;
    case QtWarningMsg:
        format = "Warning:(%1) <%2> [%3] {%4}";
        break;
    case QtCriticalMsg:
        format = "Critical:(%1) <%2> [%3] {%4}";
        break;
    case QtFatalMsg:
        format = "Fatal:(%1) <%2> [%3] {%4}";
        break;
    default:
        return QStringLiteral("\n");
    }
    // One multi-argument arg(): a "%1" inside the message stays as it is.
    return QString::fromLatin1(format).arg(time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
                                           QString::fromLatin1(context.file),
                                           QString::number(context.line), message)
        + QLatin1Char('\n');
}

void initLogFile(QString &path)
{
    const QString folder = Platform::machinePath(QStringLiteral("logs"));
    if (!QDir(folder).exists() && !QDir().mkpath(folder)) {
        qWarning().noquote() << QStringLiteral("Cannot Create Dir ") + folder;
        return;
    }
    path = folder + QLatin1Char('/') + QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd_hh-mm-ss"))
        + QStringLiteral(".txt");
}

bool openLogFile(const QString &path)
{
    LogSink &s = sink();
    bool opened = false;
    {
        QMutexLocker lock(&s.mutex);
        s.file.close();
        s.file.setFileName(path);
        // Unbuffered: every line reaches the file at once, and the crash filter's raw writes
        // to the same descriptor land after it.
        opened = s.file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text | QIODevice::Unbuffered);
    }
    if (!opened)
        qWarning().noquote() << path + QStringLiteral(" cannot open");
    return opened;
}

void closeLogFile()
{
    LogSink &s = sink();
    QMutexLocker lock(&s.mutex);
    s.file.close();
}

void logMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const QByteArray line = formatLogLine(type, context, message, QDateTime::currentDateTime()).toUtf8();
    LogSink &s = sink();
    QMutexLocker lock(&s.mutex);
    if (s.file.isOpen())
        s.file.write(line);
}

int logFileDescriptor()
{
    LogSink &s = sink();
    QMutexLocker lock(&s.mutex);
    return s.file.isOpen() ? s.file.handle() : -1;
}
