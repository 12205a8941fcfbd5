#pragma once
// The program's modal message box: type 0 one button (Yes), 1 Yes and No, 2 Yes, No and
// Cancel. exec() gives 1 for Yes, 0 for No and 2 for Cancel. Escape and the window manager's
// close give the answer that changes nothing: Cancel in the three-button box, No in the
// two-button one. Callers place it themselves (centreOnActiveWindow) and run it with exec().
#include <QDialog>
#include <QString>

class QQuickWidget;

class DialogMessage : public QDialog {
    Q_OBJECT
public:
    explicit DialogMessage(int type, QString message, QWidget *parent = nullptr);
    ~DialogMessage() override;

    // Escape and the window manager's close end here.
    void reject() override;

signals:
    void yesBtnClick(); // type 1 only
    void noBtnClick();  // type 1 only
    void sigYesBtn();   // every type

private slots:
    void answerNo();

private:
    int m_type = 0;
    QQuickWidget *m_quickWidget = nullptr;
    QObject *m_root = nullptr;
};
