#include "shell/longjob.h"

#include <QDebug>

namespace {

// Not an owner: the window owns the slot, this only finds it.
LongJob *current = nullptr;

} // namespace

LongJob::LongJob(QObject *parent) : QObject(parent)
{
    current = this;
}

LongJob::~LongJob()
{
    if (current == this)
        current = nullptr;
}

LongJob *LongJob::instance()
{
    return current;
}

bool LongJob::begin(const QString &name)
{
    LongJob *slot = instance();
    return !slot || slot->take(name);
}

void LongJob::end(const QString &name)
{
    if (LongJob *slot = instance())
        slot->release(name);
}

bool LongJob::running()
{
    LongJob *slot = instance();
    return slot && slot->isRunning();
}

bool LongJob::take(const QString &name)
{
    if (isRunning() || name.isEmpty()) {
        qDebug().noquote() << QStringLiteral("Not started while %1 runs: %2").arg(m_name, name);
        return false;
    }
    m_name = name;
    emit started(name);
    return true;
}

void LongJob::release(const QString &name)
{
    if (m_name != name)
        return;
    m_name.clear();
    emit ended(name);
}
