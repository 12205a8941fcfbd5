#pragma once
// The dialog that adds a 3D plot combination: three channels (ascending) and a name. A
// combination of the same three channels in any order, or an existing name, is refused in the
// view and the dialog stays open.
#include <QDialog>
#include <QString>

class QQuickWidget;

class Add3DCombition : public QDialog {
    Q_OBJECT
public:
    explicit Add3DCombition(QWidget *parent = nullptr);

    Q_INVOKABLE QString getTargetName(uint channelID) const;
    QObject *rootObject() const { return m_root; }

signals:
    void selectPlotCombition(int ch1, int ch2, int ch3, QString plotName);
    void combitionExist();
    void plotNameExist();

private slots:
    void okClicked(int chan1, int chan2, int ch3, QString plotName);

private:
    QQuickWidget *m_quickWidget = nullptr;
    QObject *m_root = nullptr;
};
