#include "shell/recentfilewidget.h"

#include "shell/dialoghost.h"
#include "shell/recentfilemodel.h"

#include <QQuickItem>
#include <QQuickWidget>

RecentFileWidget::RecentFileWidget(QWidget *parent)
    : QDialog(parent, Qt::SubWindow)
{
    RecentFileModel *model = RecentFileModel::instance();
    m_view = hostQmlView(this, QUrl(QStringLiteral("qrc:/qml/RecentOpenFile.qml")), true,
                         {{QStringLiteral("FileModel"), QVariant::fromValue<QObject *>(model)}});
    if (QQuickItem *root = m_view->rootObject())
        connect(root, SIGNAL(itemClicked(int)), this, SLOT(itemClicked(int)));
}

void RecentFileWidget::itemClicked(int index)
{
    RecentFileModel *model = RecentFileModel::instance();
    if (index == model->getLastIndexID())
        emit clearCurentRecord();
    else
        emit openCurrentFile(model->data(model->index(index)).toString());
}
