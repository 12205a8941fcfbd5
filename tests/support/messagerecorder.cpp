#include "messagerecorder.h"

#include <QMutexLocker>

namespace LumaraTest {

namespace {
MessageRecorder *g_current = nullptr;

QString describe(const MessageRecorder::Message &m)
{
    return m.category + QStringLiteral(": ") + m.text;
}
} // namespace

MessageRecorder::MessageRecorder()
    : m_outer(g_current)
{
    g_current = this;
    m_previous = qInstallMessageHandler(&MessageRecorder::handle);
}

MessageRecorder::~MessageRecorder()
{
    qInstallMessageHandler(m_previous);
    g_current = m_outer;
}

void MessageRecorder::handle(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    MessageRecorder *self = g_current;
    if (!self)
        return;
    {
        QMutexLocker lock(&self->m_mutex);
        self->m_messages.append({type, QString::fromLatin1(context.category ? context.category : ""), text});
    }
    if (self->m_previous)
        self->m_previous(type, context, text);
}

QList<MessageRecorder::Message> MessageRecorder::messages() const
{
    QMutexLocker lock(&m_mutex);
    return m_messages;
}

QStringList MessageRecorder::qmlWarningsAndErrors() const
{
    QStringList found;
    for (const Message &m : messages()) {
        const bool fromQml = m.category.startsWith(QLatin1String("qml")) || m.category.startsWith(QLatin1String("js"))
            || m.text.contains(QLatin1String(".qml"));
        const bool serious = m.type == QtCriticalMsg || m.type == QtFatalMsg;
        if ((fromQml && m.type == QtWarningMsg) || serious)
            found.append(describe(m));
    }
    return found;
}

QStringList MessageRecorder::warnings() const
{
    QStringList found;
    for (const Message &m : messages()) {
        if (m.type == QtWarningMsg || m.type == QtCriticalMsg || m.type == QtFatalMsg)
            found.append(describe(m));
    }
    return found;
}

QStringList MessageRecorder::texts(QtMsgType type) const
{
    QStringList found;
    for (const Message &m : messages()) {
        if (m.type == type)
            found.append(m.text);
    }
    return found;
}

void MessageRecorder::clear()
{
    QMutexLocker lock(&m_mutex);
    m_messages.clear();
}

} // namespace LumaraTest
