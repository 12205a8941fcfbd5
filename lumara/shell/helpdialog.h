#pragma once
// The help pop-up of the "What is..." action: an icon, the help text and a Yes button. Views
// create it with new, centre it, exec() it and then deleteLater() it.
#include <QDialog>
#include <QString>

class HelpDialog : public QDialog {
    Q_OBJECT
public:
    explicit HelpDialog(QString text, QWidget *parent = nullptr);

protected:
    void resizeEvent(QResizeEvent *event) override;

private slots:
    void closeDialog();
};

// The help text of one element of the user interface from the built-in help file: the value
// of `key` in the group `group`; empty when either is missing or the file cannot be read.
QString getHelpText(QString group, QString key);
