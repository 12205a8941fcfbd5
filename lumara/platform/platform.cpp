#include "platform/platform.h"

#include <QDir>
#include <QStandardPaths>

namespace Platform {

QString machineFolder()
{
    QString folder = QDir::fromNativeSeparators(qEnvironmentVariable("LUMARA_ROOT"));
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

QString machinePath(const QString &relative)
{
    QString rel = QDir::fromNativeSeparators(relative);
    while (rel.startsWith(QLatin1Char('/')))
        rel.remove(0, 1);
    return machineFolder() + QLatin1Char('/') + rel;
}

QString defaultExportFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QDir(documents).exists())
        return QDir::cleanPath(documents);
    return QDir::cleanPath(QDir::homePath());
}

} // namespace Platform
