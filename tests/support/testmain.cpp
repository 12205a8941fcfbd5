#include "testmain.h"

namespace LumaraTest {

ScopedRoot::ScopedRoot()
{
    qputenv("LUMARA_ROOT", m_dir.path().toLocal8Bit());
}

QString sourcePath(const QString &relative)
{
    const QByteArray src = qgetenv("LUMARA_TEST_SOURCE");
    return QString::fromLocal8Bit(src) + QLatin1Char('/') + relative;
}

} // namespace LumaraTest
