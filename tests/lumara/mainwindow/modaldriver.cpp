#include "modaldriver.h"

#include "shell/dialogmessage.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QQuickItem>
#include <QQuickWidget>
#include <QtTest>

namespace ShellTest {

namespace {

QObject *rootOf(QWidget *dialog)
{
    auto *view = dialog->findChild<QQuickWidget *>();
    return view ? view->rootObject() : nullptr;
}

} // namespace

ModalDriver::ModalDriver()
{
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &ModalDriver::poll);
}

ModalDriver::~ModalDriver() = default;

void ModalDriver::answerMessage(int answer)
{
    m_steps.append({[this, answer](QWidget *widget) {
        auto *box = qobject_cast<DialogMessage *>(widget);
        QObject *root = box ? rootOf(box) : nullptr;
        if (!root)
            return false;
        m_seen.append({QStringLiteral("message"), root->property("message").toString(), QString()});
        if (answer == 1)
            QMetaObject::invokeMethod(root, "clickYes", Qt::QueuedConnection);
        else if (answer == 0)
            QMetaObject::invokeMethod(root, "clickNo", Qt::QueuedConnection);
        else
            QMetaObject::invokeMethod(root, "clickCancel", Qt::QueuedConnection, Q_ARG(int, 2));
        return true;
    }});
    m_timer.start();
}

void ModalDriver::dismissMessage(Dismissal how)
{
    m_steps.append({[this, how](QWidget *widget) {
        auto *box = qobject_cast<DialogMessage *>(widget);
        QObject *root = box ? rootOf(box) : nullptr;
        if (!root)
            return false;
        m_seen.append({QStringLiteral("message"), root->property("message").toString(), QString()});
        QPointer<DialogMessage> guarded(box);
        QTimer::singleShot(0, box, [guarded, how] {
            if (!guarded)
                return;
            if (how == Dismissal::WindowClose) {
                guarded->close();
                return;
            }
            // Where the key lands when the user presses it: the box's view, which has the focus.
            QWidget *target = guarded->findChild<QQuickWidget *>();
            QTest::keyClick(target ? target : guarded.data(), Qt::Key_Escape);
        });
        return true;
    }});
    m_timer.start();
}

void ModalDriver::answerDialog(const QString &className, std::function<void(QDialog *)> answer)
{
    m_steps.append({[this, className, answer](QWidget *widget) {
        auto *dialog = qobject_cast<QDialog *>(widget);
        if (!dialog || QString::fromLatin1(widget->metaObject()->className()) != className)
            return false;
        m_seen.append({QStringLiteral("dialog"), className, QString()});
        QPointer<QDialog> guarded(dialog);
        QTimer::singleShot(0, dialog, [guarded, answer] {
            if (guarded)
                answer(guarded.data());
        });
        return true;
    }});
    m_timer.start();
}

void ModalDriver::answerFileDialog(const QString &file)
{
    m_steps.append({[this, file](QWidget *widget) {
        auto *dialog = qobject_cast<QFileDialog *>(widget);
        if (!dialog)
            return false;
        // What the program proposed, before this step typed over it.
        if (!dialog->property("proposedToDriver").isValid())
            dialog->setProperty("proposedToDriver", dialog->selectedFiles().value(0));
        if (file.isEmpty()) {
            QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
        } else {
            // selectFile leaves a focused name field as it is, and the program would be handed
            // the proposed name: type the answer there and accept only once the dialog holds it.
            dialog->selectFile(file);
            if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")); edit && edit->text() != file)
                edit->setText(file);
            const QString chosen = dialog->selectedFiles().value(0);
            const bool completed = QFileInfo(file).suffix().isEmpty() && !dialog->defaultSuffix().isEmpty()
                && chosen == file + QLatin1Char('.') + dialog->defaultSuffix();
            if (chosen != file && !completed)
                return false;
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        }
        m_seen.append({QStringLiteral("file"), dialog->property("proposedToDriver").toString(), dialog->defaultSuffix()});
        return true;
    }});
    m_timer.start();
}

void ModalDriver::confirmOverwrite()
{
    m_steps.append({[this](QWidget *widget) {
        auto *question = qobject_cast<QMessageBox *>(widget);
        if (!question || !question->button(QMessageBox::Yes))
            return false;
        m_seen.append({QStringLiteral("question"), question->text(), QString()});
        QMetaObject::invokeMethod(question->button(QMessageBox::Yes), "click", Qt::QueuedConnection);
        return true;
    }});
    m_timer.start();
}

void ModalDriver::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    // A later box may be built where an earlier one was: mark the ones answered.
    if (!modal || modal->property("answeredByDriver").toBool() || m_steps.isEmpty())
        return;
    if (!m_steps.constFirst().handle(modal))
        return;
    modal->setProperty("answeredByDriver", true);
    m_steps.removeFirst();
    if (m_steps.isEmpty())
        m_timer.stop();
}

bool ModalDriver::waitDone(int timeoutMs)
{
    return QTest::qWaitFor([this] { return m_steps.isEmpty(); }, timeoutMs);
}

QStringList ModalDriver::messages() const
{
    QStringList texts;
    for (const SeenDialog &dialog : m_seen) {
        if (dialog.kind == QLatin1String("message"))
            texts.append(dialog.text);
    }
    return texts;
}

} // namespace ShellTest
