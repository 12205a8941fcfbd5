#pragma once
// Steps the Set Up page tests share: answering the pages' dialogs and recording what the
// signal hub hears, in order.
#include "bll/signaltransfer.h"
#include "modalanswerer.h"
#include "shell/dialogmessage.h"

#include <QDialog>
#include <QFileDialog>
#include <QQuickItem>
#include <QQuickWidget>
#include <QStringList>

namespace SetupTest {

// The text of the program's message box; empty for any other dialog.
inline QString messageOf(QWidget *modal)
{
    auto *box = qobject_cast<DialogMessage *>(modal);
    const auto *view = box ? box->findChild<QQuickWidget *>() : nullptr;
    return view && view->rootObject() ? view->rootObject()->property("message").toString() : QString();
}

// The visual item of that object name under the item (also items a Repeater made).
inline QQuickItem *findItem(QQuickItem *item, const QString &name)
{
    if (!item)
        return nullptr;
    if (item->objectName() == name)
        return item;
    for (QQuickItem *child : item->childItems()) {
        if (QQuickItem *found = findItem(child, name))
            return found;
    }
    return nullptr;
}

// Answers a file dialog with the path, a message box with yes or no (one-button boxes are
// always accepted). Remembers the message texts in order.
class DialogAnswers {
public:
    explicit DialogAnswers(const QString &path = QString(), bool yes = true)
        : m_answerer([this, path, yes](QWidget *modal) {
              if (auto *files = qobject_cast<QFileDialog *>(modal)) {
                  m_captions.append(files->windowTitle());
                  if (path.isEmpty()) {
                      files->reject();
                      return;
                  }
                  files->selectFile(path);
                  files->QDialog::accept(); // past the dialog's own checks
                  return;
              }
              m_messages.append(messageOf(modal));
              if (auto *dialog = qobject_cast<QDialog *>(modal)) {
                  if (yes)
                      dialog->accept();
                  else
                      dialog->reject();
              } else {
                  modal->close();
              }
          })
    {
    }
    QStringList messages() const { return m_messages; }
    QStringList fileCaptions() const { return m_captions; }
    QStringList seen() const { return m_answerer.seen(); }

private:
    QStringList m_messages;
    QStringList m_captions;
    LumaraTest::ModalAnswerer m_answerer;
};

// The hub's busy, compensation and well-list signals, named in the order they came.
class HubLog : public QObject {
public:
    HubLog()
    {
        SignalTransfer *hub = SignalTransfer::getInstance();
        connect(hub, &SignalTransfer::beginBusyStatus, this, [this] { m_events.append(QStringLiteral("begin")); });
        connect(hub, &SignalTransfer::endBusyStatus, this, [this] { m_events.append(QStringLiteral("end")); });
        connect(hub, &SignalTransfer::editCompensationComplete, this,
                [this] { m_events.append(QStringLiteral("complete")); });
        connect(hub, &SignalTransfer::compensationStatus, this,
                [this](bool applied) { m_events.append(applied ? QStringLiteral("applied") : QStringLiteral("reset")); });
        connect(hub, &SignalTransfer::updateWellComplete, this, [this] { m_events.append(QStringLiteral("wells")); });
    }
    QStringList events() const { return m_events; }
    int count(const QString &event) const { return m_events.count(event); }
    // Begins minus ends.
    int busy() const { return count(QStringLiteral("begin")) - count(QStringLiteral("end")); }
    // Some busy period began, and an end came after the last begin. (Applying a matrix ends
    // busy twice: once with the new well data, once with the compensation's own report.)
    bool busyEnded() const
    {
        return m_events.lastIndexOf(QStringLiteral("end")) > m_events.lastIndexOf(QStringLiteral("begin"))
               && m_events.contains(QStringLiteral("begin"));
    }

private:
    QStringList m_events;
};

} // namespace SetupTest
