#pragma once
// The colour picker dialog (596 x 512, not scaled). Yes gives the chosen colour through
// sigClrValue and accepts; No rejects.
#include <QDialog>
#include <QString>

class QQuickWidget;

class ColorSelect : public QDialog {
    Q_OBJECT
public:
    explicit ColorSelect(QWidget *parent = nullptr);

    // The colour shown as "Current" ("#rrggbb"), where the picker also starts.
    void setCurrentColor(QString color);

signals:
    void sigClrValue(QString color);

private:
    QQuickWidget *m_quickWidget = nullptr;
    QObject *m_root = nullptr;
    QString m_currentColor;
};
