#pragma once
// The small pop-up under the menu bar's image-action arrow: copy the image, save it as a
// vector image or as an image. The main window places and shows it.
#include <QDialog>

class QQuickWidget;

class SaveImageDialog : public QDialog {
    Q_OBJECT
public:
    explicit SaveImageDialog(QWidget *parent = nullptr);

signals:
    void clickCopy();
    void clickSvg();
    void clickSave();

private:
    QQuickWidget *m_view = nullptr;
};
