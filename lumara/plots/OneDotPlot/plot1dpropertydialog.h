#pragma once
// The vertical bounds of a 1D dot plot. The caller presets them, centres the dialog, runs
// exec() and releases it with deleteLater(). Yes emits the bounds (a text that is no number
// gives 0) and closes; No only closes.
#include <QDialog>
#include <QPointer>

class QQuickWidget;

class Plot1DpropertyDialog : public QDialog {
    Q_OBJECT
public:
    explicit Plot1DpropertyDialog(QWidget *parent = nullptr);

    void setBounds(double lower, double upper);
    QQuickWidget *view() const { return m_quickWidget; }

signals:
    void updateProperty(double lower, double upper);

public slots:
    void yesClicked();

private:
    QPointer<QQuickWidget> m_quickWidget;
    QPointer<QObject> m_root;
};
