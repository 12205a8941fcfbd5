#include "zipcheck.h"

#include <QCoreApplication>
#include <QMutex>
#include <QProcess>
#include <QThread>
#include <quazip.h>
#include <quazipfileinfo.h>

namespace LumaraTest {

namespace {

const int Timeout = 120000;

// Python starts slowly; one reader serves every check of a test program.
class Reader {
public:
    static Reader &instance()
    {
        static Reader reader;
        return reader;
    }

    // The reader's lines for one package, its closing line excluded; false when it could not
    // be asked.
    bool ask(const QString &request, QStringList *lines, int *failures)
    {
        QMutexLocker lock(&m_mutex);
        if (!m_process || m_process->thread() != QThread::currentThread())
            return askOnce(request, lines, failures);
        if (m_process->state() != QProcess::Running && !start())
            return false;
        m_process->write(request.toUtf8() + '\n');
        if (!m_process->waitForBytesWritten(Timeout))
            return false;
        QString line;
        while (true) {
            while (!m_process->canReadLine())
                if (!m_process->waitForReadyRead(Timeout))
                    return false;
            line = QString::fromUtf8(m_process->readLine()).chopped(1);
            if (line.startsWith(QLatin1String("= "))) {
                *failures = line.mid(2).toInt();
                return true;
            }
            lines->append(line);
        }
    }

private:
    Reader()
    {
        m_process.reset(new QProcess);
        // Ended before the application object goes, while its thread still runs.
        qAddPostRoutine([] { Reader::instance().stop(); });
    }

    bool start()
    {
        m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process->start(QStringLiteral("python3"), {QStringLiteral(LUMARA_ZIPCHECK_SCRIPT), QStringLiteral("--serve")});
        return m_process->waitForStarted(Timeout);
    }

    void stop()
    {
        QMutexLocker lock(&m_mutex);
        if (m_process && m_process->state() == QProcess::Running) {
            m_process->closeWriteChannel();
            if (!m_process->waitForFinished(Timeout))
                m_process->kill();
            m_process->waitForFinished();
        }
        m_process.reset();
    }

    // From another thread: a reader of its own.
    static bool askOnce(const QString &request, QStringList *lines, int *failures)
    {
        QProcess python;
        python.start(QStringLiteral("python3"), {QStringLiteral(LUMARA_ZIPCHECK_SCRIPT), QStringLiteral("--serve")});
        if (!python.waitForStarted(Timeout))
            return false;
        python.write(request.toUtf8() + '\n');
        python.closeWriteChannel();
        if (!python.waitForFinished(Timeout))
            return false;
        QStringList out = QString::fromUtf8(python.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        if (out.isEmpty() || !out.last().startsWith(QLatin1String("= ")))
            return false;
        *failures = out.takeLast().mid(2).toInt();
        *lines = out;
        return true;
    }

    QMutex m_mutex;
    QScopedPointer<QProcess> m_process;
};

} // namespace

QString standardZipCheck(const QString &path, bool whole)
{
    QStringList lines;
    int failures = 0;
    if (!Reader::instance().ask(whole ? QStringLiteral("whole ") + path : path, &lines, &failures))
        return QStringLiteral("python3 with zipfile did not answer for %1").arg(path);
    QStringList read;
    QStringList problems;
    for (const QString &line : qAsConst(lines))
        (line.startsWith(QLatin1String("! ")) ? problems : read).append(line);
    if (failures != 0 || !problems.isEmpty())
        return QStringLiteral("zipfile cannot read %1:\n%2").arg(path, problems.join(QLatin1Char('\n')));

    QStringList listed;
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdUnzip))
        return QStringLiteral("the zip library cannot open %1").arg(path);
    for (const QuaZipFileInfo64 &info : zip.getFileInfoList64())
        listed << QStringLiteral("%1\t%2").arg(quint32(info.crc), 8, 16, QLatin1Char('0')).arg(info.name);
    zip.close();
    if (read != listed)
        return QStringLiteral("zipfile lists %1 entries of %2, the zip library %3:\n%4\n---\n%5")
            .arg(read.size())
            .arg(path)
            .arg(listed.size())
            .arg(read.join(QLatin1Char('\n')), listed.join(QLatin1Char('\n')));
    return QString();
}

} // namespace LumaraTest
