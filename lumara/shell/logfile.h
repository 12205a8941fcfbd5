#pragma once
// The per-run log: one file in "<machine folder>/logs" named after the start time, and the
// message handler that writes every Qt log message of every thread into it.
#include <QDateTime>
#include <QString>
#include <QtGlobal>

// One log line, "\n" included: "Debug:(%1) <%2> [%3] {%4}" and its warning, critical and
// fatal forms, filled with the time, the context's file (empty without one), its line and
// the message. An info message gives "\n" alone.
QString formatLogLine(QtMsgType type, const QMessageLogContext &context, const QString &message,
                      const QDateTime &time);

// Makes sure the log folder exists, creating every missing level, and sets path to this run's
// log file, named after the current time. Leaves path untouched when the folder cannot be made.
void initLogFile(QString &path);

// Opens the process-wide log file at path, closing any earlier one. The file is appended to:
// a second start within the same second logs before it finds the first one running, and must
// not overwrite that program's live log. When it cannot be opened, says so on the default
// output and returns false; messages are then dropped.
bool openLogFile(const QString &path);
void closeLogFile();

// The handler given to qInstallMessageHandler. Safe on any thread: each message is written
// as one whole line, never interleaved with another thread's.
void logMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message);

// The open log file's descriptor for the crash filter, -1 when none is open.
int logFileDescriptor();
