#pragma once
// The crash dump: on a fatal signal the process writes what it knows about the crash into
// "<machine folder>/dump/lumara.dmp" (replacing the dump of an earlier crash) and then dies
// of the same signal. Everything the handler needs is prepared when it is installed, so that
// the handler itself makes only async-signal-safe calls.
#include <QString>

#include <csignal>

namespace Platform {

// The dump file of the current per-machine folder.
QString crashDumpPath();

// Makes the dump folder, prepares the dump path and the "Path=" line for the log descriptor
// (-1: no log), and installs crashDumpFilter for SIGSEGV, SIGBUS, SIGFPE, SIGILL and SIGABRT on
// an alternate stack (a stack overflow still reaches it). Without a dump folder the handler
// only writes the log line. Returns whether a dump can be written.
bool installCrashDumpFilter(int logFd);

// The signal handler itself.
void crashDumpFilter(int signal, siginfo_t *info, void *context);

} // namespace Platform
