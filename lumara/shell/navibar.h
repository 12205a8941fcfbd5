#pragma once
// The window's left bar: a QML view of the six modules and their sub-pages. Reports the chosen
// module and sub-page, and any press on the bar.
#include <QPointer>
#include <QQuickWidget>

class Navibar : public QQuickWidget {
    Q_OBJECT
public:
    explicit Navibar(QWidget *parent = nullptr);

signals:
    void updateMenuLeve(int primary, int sub);
    void naviBarClicked();
    // Makes the first module and its first sub-page current (after each open).
    void initNaviBar();

private slots:
    void updateMenu();

private:
    QPointer<QObject> m_root;
};
