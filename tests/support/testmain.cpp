#include "testmain.h"

#include <QFile>

namespace LumaraTest {

ScopedRoot::ScopedRoot()
{
    qputenv("LUMARA_ROOT", m_dir.path().toLocal8Bit());
}

RuntimeFolder::RuntimeFolder()
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    m_dir = std::make_unique<QTemporaryDir>();
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_dir->path()));
}

QString sourcePath(const QString &relative)
{
    const QByteArray src = qgetenv("LUMARA_TEST_SOURCE");
    return QString::fromLocal8Bit(src) + QLatin1Char('/') + relative;
}

} // namespace LumaraTest
