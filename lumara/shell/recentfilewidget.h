#pragma once
// The recent-files pop-up under the menu bar's Recent arrow: the recent-files model in a QML
// list. A click on a path asks to open it, a click on the last entry to clear the list.
#include <QDialog>
#include <QString>

class QQuickWidget;

class RecentFileWidget : public QDialog {
    Q_OBJECT
public:
    explicit RecentFileWidget(QWidget *parent = nullptr);

    QQuickWidget *view() const { return m_view; }

signals:
    void openCurrentFile(QString filePath);
    void clearCurentRecord();

private slots:
    void itemClicked(int index);

private:
    QQuickWidget *m_view = nullptr;
};
