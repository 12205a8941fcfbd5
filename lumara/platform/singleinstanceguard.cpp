#include "platform/singleinstanceguard.h"

#include "platform/platform.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace Platform {

SingleInstanceGuard::SingleInstanceGuard()
    : SingleInstanceGuard(defaultLockPath())
{
}

SingleInstanceGuard::SingleInstanceGuard(const QString &lockPath)
{
    const QByteArray path = QFile::encodeName(lockPath);
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return;
    }
    m_fd = fd;
}

SingleInstanceGuard::~SingleInstanceGuard()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QString SingleInstanceGuard::defaultLockPath()
{
    const QString name = QStringLiteral("Lumara_App.lock");
    if (!qEnvironmentVariableIsEmpty("LUMARA_ROOT")) {
        QDir().mkpath(machineFolder());
        return machinePath(name);
    }
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QLatin1Char('/') + name;
}

} // namespace Platform
