#include "shell/packagefile.h"

#include <QFileInfo>
#include <QTemporaryFile>

QString fileNameOfPath(const QString &path)
{
    return path.section(QLatin1Char('/'), -1);
}

QString baseNameOfFile(const QString &fileName)
{
    return fileName.section(QLatin1Char('.'), 0, 0);
}

SaveRoad saveRoadFor(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix();
    if (suffix == QLatin1String("arlx"))
        return SaveRoad::InPlace;
    if (suffix == QLatin1String("expzip") || suffix == QLatin1String("imrs"))
        return SaveRoad::SaveAs;
    return SaveRoad::Nothing;
}

bool canWriteBeside(const QString &path)
{
    QTemporaryFile probe(QFileInfo(path).absolutePath() + QStringLiteral("/.lumara-write-probe-XXXXXX"));
    return probe.open(); // removed again when probe goes
}
