#include "graphicsdrivers.h"

#include <QFile>
#include <QSet>
#include <QString>

#include <dlfcn.h>

namespace LumaraTest {

void keepGraphicsDriversLoaded()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    // Read whole: the file reports a size of 0.
    const QList<QByteArray> lines = maps.readAll().split('\n');
    QSet<QByteArray> done;
    for (const QByteArray &line : lines) {
        const int slash = line.indexOf('/');
        if (slash < 0)
            continue;
        const QByteArray path = line.mid(slash);
        if (!path.contains("/dri/") || !path.endsWith(".so") || done.contains(path))
            continue;
        done.insert(path);
        // Only raises the flag of a library that is loaded already; the handle stays open.
        dlopen(path.constData(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    }
}

} // namespace LumaraTest
