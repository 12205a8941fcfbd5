#include "pages/ViewResult/resulttable.h"

#include "bll/bllinstance.h"
#include "bll/signaltransfer.h"
#include "pages/ViewResult/resultmodel.h"
#include "shell/globalvalues.h"

#include <QQmlContext>
#include <QQuickItem>

ResultTable::ResultTable(QWidget *parent) : QQuickWidget(parent)
{
    // This view's own context: the other pages' "TableWellModel" is the well list.
    rootContext()->setContextProperty(QStringLiteral("resoving"), uiScaleFactor);
    rootContext()->setContextProperty(QStringLiteral("TableWellModel"), ResultModel::instance());
    setResizeMode(QQuickWidget::SizeRootObjectToView);
    setSource(QUrl(QStringLiteral("qrc:/ViewResult/ResultTable/qml/ResultTable.qml")));
    m_root = rootObject();
    QObject *root = m_root.data();
    if (!root)
        return;
    connect(this, SIGNAL(updateModelData()), root, SIGNAL(updateModel()));
    connect(this, SIGNAL(clickedBoth()), root, SIGNAL(switchToBoth()));
    connect(this, SIGNAL(clickedIndividual()), root, SIGNAL(switchToSignle()));
    connect(this, SIGNAL(clickedMerge()), root, SIGNAL(switchToMerge()));
    connect(root, SIGNAL(clickedBoth()), this, SLOT(switchToBoth()));
    connect(root, SIGNAL(clickedIndividual()), this, SLOT(switchToSignle()));
    connect(root, SIGNAL(clickedMerge()), this, SLOT(switchToMerge()));
    SignalTransfer *hub = SignalTransfer::getInstance();
    connect(hub, SIGNAL(updateWellComplete()), root, SIGNAL(updateModel()));
    connect(hub, SIGNAL(compensationStatus(bool)), root, SIGNAL(useApplyCompensation(bool)));
    connect(hub, SIGNAL(clearCompensation()), root, SIGNAL(resetApplyCompensation()));
}

void ResultTable::refresh()
{
    if (QObject *root = m_root.data())
        root->setProperty("isSpecialKit", BLLInstance::getInstance()->isSpecialKit());
    ResultModel *rows = ResultModel::instance();
    if (rows->getSelectIDs().isEmpty())
        return;
    switch (rows->listMode()) {
    case 0:
        emit clickedBoth();
        break;
    case 1:
        emit clickedIndividual();
        break;
    case 2:
        emit clickedMerge();
        break;
    default:
        break;
    }
    emit updateModelData();
}

void ResultTable::switchListMode(int mode)
{
    ResultModel::instance()->setListMode(mode);
    ResultModel::instance()->ensureSelection();
    refresh();
}

void ResultTable::switchToBoth()
{
    switchListMode(0);
}

void ResultTable::switchToSignle()
{
    switchListMode(1);
}

void ResultTable::switchToMerge()
{
    switchListMode(2);
}
