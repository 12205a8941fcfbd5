#pragma once
// Records the messages logged while it lives, on any thread, and passes every message on to
// the handler that was installed before it.
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace LumaraTest {

class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    struct Message {
        QtMsgType type;
        QString category;
        QString text;
    };
    QList<Message> messages() const;
    // The messages that come from QML (its categories, or a ".qml" location in the text) and
    // every critical or fatal one, as "category: text".
    QStringList qmlWarningsAndErrors() const;
    // The warnings, critical and fatal messages as "category: text".
    QStringList warnings() const;
    // The texts of every message of the type.
    QStringList texts(QtMsgType type) const;
    void clear();

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &text);

    mutable QMutex m_mutex;
    QList<Message> m_messages;
    QtMessageHandler m_previous = nullptr;
    MessageRecorder *m_outer = nullptr;
};

} // namespace LumaraTest
