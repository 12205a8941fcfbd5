#pragma once
// Answers the modal dialogs that the main window runs, one after the other as they appear,
// from inside their own modal loops: message boxes by their QML buttons, file dialogs by a
// chosen file or a cancel, and the file dialog's overwrite question. Boxes opened by queued
// calls appear later; the driver keeps polling until every step has been used.
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVector>

#include <functional>

class QDialog;
class QWidget;

namespace ShellTest {

struct SeenDialog {
    QString kind;    // "message", "file" or "question"
    QString text;    // the message, or the file dialog's proposed file
    QString suffix;  // the file dialog's default suffix
};

class ModalDriver : public QObject {
    Q_OBJECT
public:
    ModalDriver();
    ~ModalDriver() override;

    // 1 Yes, 0 No, 2 Cancel.
    void answerMessage(int answer);
    // The message box left without a button: by the Escape key, or closed by the window
    // manager.
    enum class Dismissal { EscapeKey, WindowClose };
    void dismissMessage(Dismissal how);
    // Any other modal dialog of the class, handed to the answer.
    void answerDialog(const QString &className, std::function<void(QDialog *)> answer);
    // An empty file cancels the dialog.
    void answerFileDialog(const QString &file);
    // The file dialog's question whether to replace an existing file: always Yes.
    void confirmOverwrite();

    // Waits until every step was used (or the time is up).
    bool waitDone(int timeoutMs = 20000);
    bool done() const { return m_steps.isEmpty(); }
    const QVector<SeenDialog> &seen() const { return m_seen; }
    // The texts of the message boxes seen, in order.
    QStringList messages() const;

private:
    void poll();

    struct Step {
        std::function<bool(QWidget *)> handle; // false: not the dialog this step expects
    };
    QVector<Step> m_steps;
    QVector<SeenDialog> m_seen;
    QTimer m_timer;
};

} // namespace ShellTest
