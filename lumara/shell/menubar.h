#pragma once
// The window's top bar: a QML view with the file and image actions, the title and the window
// buttons. Forwards the view's signals as its own, gives the main window a few of the view's
// properties, marks the title when the analysis changes, and drags the frameless window.
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QQuickWidget>
#include <QString>

class MenuBar : public QQuickWidget {
    Q_OBJECT
public:
    explicit MenuBar(QWidget *parent = nullptr);

    // The view's property of that name as text; "" without a view. These two hide QObject's
    // own property()/setProperty(): call them through a MenuBar pointer.
    QString property(const QString &name);
    void setProperty(const QString &name, const QString &value);

    // Positions of the Recent and image-action buttons, kept current by the view; 0 without one.
    int recentFilePosition();
    int imageSavePosition();

    // The title text.
    void fileName(const QString &name);

    // Where the window's close button lies, in the bar's coordinates; empty without a view.
    QRect closeButtonRect() const;

signals:
    void closeWindows();
    void whatIs();
    void maxSize();
    void hideApp();
    void imageSaveMode();
    void saveImage();
    void open();
    void save(int type);
    void closeMenuList();
    void openRecentFile();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void dataFixed();

private:
    QPointer<QObject> m_root;
    bool m_dragging = false;
    QPoint m_pressPosition;
};
