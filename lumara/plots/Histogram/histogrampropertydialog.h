#pragma once
// The vertical axis of a histogram: linear or logarithmic, and the bounds used when linear.
// The caller fills it, centres it, runs exec() and releases it with deleteLater(). Yes emits
// what the fields hold and closes; No only closes.
#include <QDialog>
#include <QPointer>

class QQuickWidget;

class HistogramPropertyDialog : public QDialog {
    Q_OBJECT
public:
    explicit HistogramPropertyDialog(QWidget *parent = nullptr);

    void setAxisProperty(bool isLinear, double lower, double upper);
    QQuickWidget *view() const { return m_quickWidget; }

signals:
    void updateProperty(bool isLinear, double lower, double upper);

public slots:
    void yesClicked();

private:
    QPointer<QQuickWidget> m_quickWidget;
    QPointer<QObject> m_root;
};
