#include "platform/fileassociation.h"

#include "platform/platform.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace Platform {

QString fileAssociationPath()
{
    return machinePath(QStringLiteral("fileassociation.ini"));
}

QString associationIconPath(const QString &programPath)
{
    const QString programFolder = QFileInfo(programPath).absoluteFilePath();
    return QDir::cleanPath(programFolder + QStringLiteral("/../..")) + QStringLiteral("/install.ico");
}

void registerFileAssociation(const QString &programPath)
{
    const QString progId = QStringLiteral("Lumara");
    const QString extension = QStringLiteral(".imrs");
    const QString iconPath = associationIconPath(programPath);

    QSettings classes(fileAssociationPath(), QSettings::IniFormat);
    classes.setValue(QLatin1Char('/') + progId + QStringLiteral("/Shell/Open/Command/."),
                     QStringLiteral("\"%1\" \"%2\"").arg(programPath, QStringLiteral("%1")));
    classes.setValue(QLatin1Char('/') + progId + QStringLiteral("/."), QStringLiteral("Quorin Analysis Package."));
    classes.setValue(QLatin1Char('/') + progId + QStringLiteral("/DefaultIcon/."), programPath + QStringLiteral(",0"));
    classes.setValue(QLatin1Char('/') + extension + QStringLiteral("/DefaultIcon/."), iconPath + QStringLiteral(",0"));
    qDebug().noquote() << QStringLiteral("ICON Path = ") + iconPath;
    classes.setValue(QLatin1Char('/') + extension + QStringLiteral("/OpenWithProgIds/") + progId, QString());
    classes.sync();
}

} // namespace Platform
