#pragma once
// The modal dialog in which the user types the lower and upper bounds of a 2D plot's axes.
// The caller centres it, runs exec() and releases it with deleteLater(). Yes emits the four
// bounds (text that is no number gives 0) and closes; Cancel only closes. Lower bounds are
// not checked against upper ones.
#include <QDialog>
#include <QPair>
#include <QPointer>

class QQuickWidget;

class Plot2DPropertyDialog : public QDialog {
    Q_OBJECT
public:
    explicit Plot2DPropertyDialog(QWidget *parent = nullptr);

    void setAxisRange(QPair<double, double> xRange, QPair<double, double> yRange);

signals:
    void updateProperty(QPair<double, double> xRange, QPair<double, double> yRange);

private slots:
    void yesClicked();

private:
    QPointer<QQuickWidget> m_quickWidget;
    QPointer<QObject> m_root;
};
