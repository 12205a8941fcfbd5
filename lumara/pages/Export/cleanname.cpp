#include "pages/Export/cleanname.h"

QString CleanName::replaced(QString name, const QString &forbidden, bool controls)
{
    for (QChar &c : name) {
        if (forbidden.contains(c) || (controls && (c.unicode() < 0x20 || c.unicode() == 0x7f)))
            c = QLatin1Char('_');
    }
    return name;
}

QString CleanName::unique(const QString &base, QSet<QString> &used, const Fit &fit)
{
    QString result = fit(base, QString());
    for (int n = 2; used.contains(result.toLower()); ++n)
        result = fit(base, QStringLiteral(" (%1)").arg(n));
    used.insert(result.toLower());
    return result;
}

QString CleanName::fileName(const QString &base, const QString &extension, QSet<QString> &used)
{
    QString clean = replaced(base, QStringLiteral("/\\:*?\"<>|"), true);
    if (clean.isEmpty())
        clean = QStringLiteral("_");
    return unique(clean, used, [&extension](QString text, const QString &suffix) {
        const int room = MaxFileNameBytes - (suffix + extension).toUtf8().size();
        while (!text.isEmpty() && text.toUtf8().size() > room) {
            text.chop(1);
            // Never half a surrogate pair.
            if (!text.isEmpty() && text.at(text.size() - 1).isHighSurrogate())
                text.chop(1);
        }
        return text + suffix + extension;
    });
}
