// The platform layer: the file association's keys, the single-instance guard between
// processes, and the crash dump written by a crashing child process.
#include "messagerecorder.h"
#include "platform/crashdump.h"
#include "platform/fileassociation.h"
#include "platform/platform.h"
#include "platform/singleinstanceguard.h"
#include "testmain.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

// Roles of this executable when started again as a child.
const char *const ChildRole = "LUMARA_PLATFORM_CHILD";

int runChild(const QByteArray &role)
{
    if (role == "hold") {
        Platform::SingleInstanceGuard guard;
        std::printf("%s\n", guard.acquired() ? "held" : "busy");
        std::fflush(stdout);
        if (!guard.acquired())
            return 3;
        for (;;)
            pause();
    }
    if (role == "probe")
        return Platform::SingleInstanceGuard().acquired() ? 0 : 3;
    if (role.startsWith("crash:")) {
        QFile log(Platform::machinePath(QStringLiteral("crash-log.txt")));
        if (!log.open(QIODevice::WriteOnly | QIODevice::Append))
            return 4;
        Platform::installCrashDumpFilter(log.handle());
        raise(role.mid(6).toInt());
        return 5;
    }
    return 6;
}

QProcess *startChild(const QByteArray &role, QObject *parent)
{
    auto *child = new QProcess(parent);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(ChildRole), QString::fromLatin1(role));
    child->setProcessEnvironment(env);
    child->start(QCoreApplication::applicationFilePath(), QStringList());
    return child;
}

QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    void associationKeys()
    {
        QTemporaryDir program;
        QTemporaryDir workingDir;
        const QString programPath = program.filePath(QStringLiteral("bin/Lumara"));
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(workingDir.path()));
        const QStringList rootBefore = QDir(Platform::machineFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        {
            LumaraTest::MessageRecorder recorder;
            Platform::registerFileAssociation(programPath);
            QCOMPARE(recorder.texts(QtDebugMsg),
                     QStringList(QStringLiteral("ICON Path = ") + program.path() + QStringLiteral("/install.ico")));
        }
        QVERIFY(QDir::setCurrent(before));

        QSettings ini(Platform::fileAssociationPath(), QSettings::IniFormat);
        QCOMPARE(ini.value(QStringLiteral("/Lumara/Shell/Open/Command/.")).toString(),
                 QStringLiteral("\"%1\" \"%2\"").arg(programPath, QStringLiteral("%1")));
        QCOMPARE(ini.value(QStringLiteral("/Lumara/.")).toString(), QStringLiteral("Quorin Analysis Package."));
        QCOMPARE(ini.value(QStringLiteral("/Lumara/DefaultIcon/.")).toString(), programPath + QStringLiteral(",0"));
        QCOMPARE(ini.value(QStringLiteral("/.imrs/DefaultIcon/.")).toString(),
                 program.path() + QStringLiteral("/install.ico,0"));
        QVERIFY(ini.contains(QStringLiteral("/.imrs/OpenWithProgIds/Lumara")));
        QCOMPARE(ini.value(QStringLiteral("/.imrs/OpenWithProgIds/Lumara")).toString(), QString());
        QCOMPARE(ini.allKeys().size(), 5);

        // Nothing lands in the working folder, and only the INI file in the per-machine one.
        QCOMPARE(QDir(workingDir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        QStringList rootAfter = QDir(Platform::machineFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        rootAfter.removeAll(QStringLiteral("fileassociation.ini"));
        QCOMPARE(rootAfter, rootBefore);
    }

    void guardBetweenProcesses()
    {
        QVERIFY(Platform::SingleInstanceGuard::defaultLockPath().startsWith(Platform::machineFolder() + QLatin1Char('/')));

        QProcess *holder = startChild("hold", this);
        QVERIFY(holder->waitForReadyRead(20000));
        QCOMPARE(holder->readLine().trimmed(), QByteArray("held"));
        {
            Platform::SingleInstanceGuard second;
            QVERIFY(!second.acquired());
        }
        // Killed, the holder leaves the lock free.
        holder->kill();
        QVERIFY(holder->waitForFinished(20000));
        Platform::SingleInstanceGuard mine;
        QVERIFY(mine.acquired());

        QProcess *probe = startChild("probe", this);
        QVERIFY(probe->waitForFinished(20000));
        QCOMPARE(probe->exitStatus(), QProcess::NormalExit);
        QCOMPARE(probe->exitCode(), 3);
    }

    void crashWritesDump_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGSEGV") << int(SIGSEGV);
        QTest::newRow("SIGFPE") << int(SIGFPE);
        QTest::newRow("SIGBUS") << int(SIGBUS);
        QTest::newRow("SIGILL") << int(SIGILL);
        QTest::newRow("SIGABRT") << int(SIGABRT);
    }

    // The child dies of its signal after writing the dump; the dump of an earlier crash is
    // replaced, and the log learns the dump folder.
    void crashWritesDump()
    {
        QFETCH(int, signal);
        const QString dumpPath = Platform::crashDumpPath();
        QCOMPARE(dumpPath, Platform::machineFolder() + QStringLiteral("/dump/lumara.dmp"));
        if (QFile::exists(dumpPath)) {
            QFile earlier(dumpPath);
            QVERIFY(earlier.open(QIODevice::WriteOnly | QIODevice::Append));
            earlier.write("an earlier crash, much longer than any dump header of this one ......................\n");
        }
        QFile::remove(Platform::machinePath(QStringLiteral("crash-log.txt")));

        QProcess *child = startChild("crash:" + QByteArray::number(signal), this);
        QVERIFY(child->waitForFinished(30000));
        QCOMPARE(child->exitStatus(), QProcess::CrashExit);
        QCOMPARE(child->exitCode(), signal);

        const QString dump = readAll(dumpPath);
        QVERIFY2(dump.startsWith(QStringLiteral("Lumara crash\nsignal %1\n").arg(signal)), qPrintable(dump));
        QVERIFY(!dump.contains(QLatin1String("earlier crash")));
        QVERIFY(dump.contains(QLatin1String("\naddress 0x")));
        QVERIFY(dump.contains(QLatin1String("\nbacktrace\n")));
        QCOMPARE(readAll(Platform::machinePath(QStringLiteral("crash-log.txt"))),
                 QStringLiteral("Path=") + Platform::machineFolder() + QStringLiteral("/dump/\n"));
    }
};

int main(int argc, char *argv[])
{
    const QByteArray role = qgetenv(ChildRole);
    if (!role.isEmpty()) {
        QCoreApplication app(argc, argv);
        return runChild(role);
    }
    QCoreApplication app(argc, argv);
    LumaraTest::ScopedRoot root;
    TestPlatform tc;
    return QTest::qExec(&tc, argc, argv);
}

#include "tst_platform.moc"
