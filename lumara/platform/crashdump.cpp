#include "platform/crashdump.h"

#include "platform/platform.h"

#include <QDir>
#include <QFile>

#include <cstring>
#include <execinfo.h>
#include <fcntl.h>
#include <unistd.h>

namespace Platform {

namespace {

// Filled once at install time; the handler only reads them.
char g_dumpPath[4096];
bool g_dumpReady = false;
char g_pathLine[4200];
size_t g_pathLineLength = 0;
int g_logFd = -1;
alignas(16) char g_alternateStack[64 * 1024];

void writeBytes(int fd, const char *text, size_t length)
{
    while (length > 0) {
        const ssize_t n = ::write(fd, text, length);
        if (n <= 0)
            return;
        text += n;
        length -= size_t(n);
    }
}

void writeText(int fd, const char *text)
{
    writeBytes(fd, text, std::strlen(text));
}

// Digits of an unsigned value in base 10 or 16, without the library's formatting.
void writeNumber(int fd, unsigned long long value, unsigned base)
{
    char digits[32];
    int n = 0;
    do {
        const unsigned d = unsigned(value % base);
        digits[n++] = char(d < 10 ? '0' + d : 'a' + d - 10);
        value /= base;
    } while (value > 0 && n < int(sizeof digits));
    char text[32];
    for (int i = 0; i < n; ++i)
        text[i] = digits[n - 1 - i];
    writeBytes(fd, text, size_t(n));
}

void writeSigned(int fd, long long value)
{
    if (value < 0) {
        writeText(fd, "-");
        writeNumber(fd, 0ULL - (unsigned long long)value, 10);
    } else {
        writeNumber(fd, (unsigned long long)value, 10);
    }
}

bool copyInto(char *target, size_t size, const QByteArray &text)
{
    if (size_t(text.size()) >= size)
        return false;
    std::memcpy(target, text.constData(), size_t(text.size()));
    target[text.size()] = '\0';
    return true;
}

} // namespace

QString crashDumpPath()
{
    return machinePath(QStringLiteral("dump/")) + QStringLiteral("lumara") + QStringLiteral(".dmp");
}

bool installCrashDumpFilter(int logFd)
{
    const QString folder = machinePath(QStringLiteral("dump/"));
    const QByteArray line = "Path=" + QFile::encodeName(folder) + "\n";
    g_pathLineLength = copyInto(g_pathLine, sizeof g_pathLine, line) ? size_t(line.size()) : 0;
    g_logFd = logFd;
    g_dumpReady = QDir().mkpath(folder) && copyInto(g_dumpPath, sizeof g_dumpPath, QFile::encodeName(crashDumpPath()));

    // The first backtrace() loads the unwinder; in the handler that would allocate.
    void *frames[4];
    backtrace(frames, 4);

    stack_t stack{};
    stack.ss_sp = g_alternateStack;
    stack.ss_size = sizeof g_alternateStack;
    sigaltstack(&stack, nullptr);

    struct sigaction action{};
    action.sa_sigaction = crashDumpFilter;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
        sigaction(signal, &action, nullptr);
    return g_dumpReady;
}

void crashDumpFilter(int signal, siginfo_t *info, void *)
{
    if (g_logFd >= 0 && g_pathLineLength > 0)
        writeBytes(g_logFd, g_pathLine, g_pathLineLength);

    if (g_dumpReady) {
        const int fd = ::open(g_dumpPath, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd >= 0) {
            writeText(fd, "Lumara crash\nsignal ");
            writeSigned(fd, signal);
            writeText(fd, "\ncode ");
            writeSigned(fd, info ? info->si_code : 0);
            writeText(fd, "\naddress 0x");
            writeNumber(fd, info ? (unsigned long long)(uintptr_t)info->si_addr : 0ULL, 16);
            writeText(fd, "\nbacktrace\n");
            void *frames[64];
            const int count = backtrace(frames, 64);
            backtrace_symbols_fd(frames, count, fd);
            ::close(fd);
        }
    }

    // Die of the same signal: with the default action back, the re-raised signal ends the
    // process once this handler returns (a fault re-executes and faults again).
    struct sigaction fallback{};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(signal, &fallback, nullptr);
    raise(signal);
}

} // namespace Platform
