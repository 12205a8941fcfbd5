#include "shell/saveimagedialog.h"

#include "shell/dialoghost.h"

#include <QQuickItem>
#include <QQuickWidget>

SaveImageDialog::SaveImageDialog(QWidget *parent) : QDialog(parent)
{
    setWindowFlags(Qt::SubWindow);
    m_view = hostQmlView(this, QUrl(QStringLiteral("qrc:/qml/TopPopup.qml")), true);
    if (QQuickItem *root = m_view->rootObject()) {
        connect(root, SIGNAL(copyClicked()), this, SIGNAL(clickCopy()));
        connect(root, SIGNAL(svgClicked()), this, SIGNAL(clickSvg()));
        connect(root, SIGNAL(saveClicked()), this, SIGNAL(clickSave()));
    }
}
