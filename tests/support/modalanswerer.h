#pragma once
// Widget tests only (header only: this support library stays free of widgets). Answers every
// modal dialog that opens while it lives, from inside the dialog's own loop, and remembers
// which dialogs those were (their class names, in order).
#include <QApplication>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace LumaraTest {

class ModalAnswerer {
public:
    explicit ModalAnswerer(std::function<void(QWidget *)> answer) : m_answer(std::move(answer))
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this]() {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || modal == m_last)
                return;
            m_last = modal;
            m_seen.append(QString::fromLatin1(modal->metaObject()->className()));
            m_answer(modal);
        });
        m_timer.start();
    }
    QStringList seen() const { return m_seen; }

private:
    std::function<void(QWidget *)> m_answer;
    QTimer m_timer;
    QPointer<QWidget> m_last;
    QStringList m_seen;
};

} // namespace LumaraTest
