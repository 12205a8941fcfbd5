#pragma once
// Asks for a new population's colour and name. The caller checks the name: it accepts the
// dialog, or emits populationNameExist on it to show the message and keep it open. The caller
// gives it the active window's size and place; the view centres its panel in it.
#include <QDialog>
#include <QString>

class QQuickWidget;

class AddpopulationDialog : public QDialog {
    Q_OBJECT
public:
    explicit AddpopulationDialog(QWidget *parent = nullptr);

    void setCircleColor(QString color);
    QObject *rootObject() const { return m_root; }

signals:
    void yesClicked(QString color, QString name);
    void noClicked();
    void populationNameExist();

private:
    QQuickWidget *m_quickWidget = nullptr;
    QObject *m_root = nullptr;
};
