#include "plots/TwoDotPlot/addplotcombition.h"

#include "bll/bllinstance.h"
#include "bll/plotgroupmgr.h"
#include "shell/dialoghost.h"
#include "shell/globalvalues.h"
#include "shell/welllistmodel.h"

#include <QQuickItem>
#include <QQuickWidget>

void setChannelProperties(QObject *root)
{
    if (!root)
        return;
    BLLInstance *bll = BLLInstance::getInstance();
    const QList<uint> offered = bll->getChannelsOfWells(WellListModel::instance()->getSelectWellIDs());
    const QString none = QStringLiteral("--");
    for (uint n = 1; n <= 6; ++n) {
        const QByteArray enable = n == 1 ? QByteArray("channelEnable") : QByteArray("channe") + QByteArray::number(n) + "Enable";
        const QByteArray target = "target" + QByteArray::number(n) + "Name";
        const QByteArray fluo = "fluo" + QByteArray::number(n) + "Name";
        const bool on = offered.contains(n);
        root->setProperty(enable.constData(), on);
        root->setProperty(target.constData(), on ? bll->getTargetName(n) : none);
        root->setProperty(fluo.constData(), on ? bll->getFluorophoreName(n) : none);
    }
}

AddPlotCombition::AddPlotCombition(QWidget *parent) : QDialog(parent)
{
    resize(int(560 * uiScaleFactor), int(402 * uiScaleFactor));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    // The view's bindings read the dialog while it loads.
    m_quickWidget = hostQmlView(this, QUrl(QStringLiteral("qrc:/TwoDotPlot/qml/AddPlotCombition.qml")), true,
                                {{QStringLiteral("FunInstance"), QVariant::fromValue<QObject *>(this)}});
    m_root = m_quickWidget->rootObject();
    if (m_root) {
        connect(m_root, SIGNAL(cancelClicked()), this, SLOT(close()));
        connect(m_root, SIGNAL(okClicked(int, int, QString)), this, SLOT(okClicked(int, int, QString)));
        connect(this, SIGNAL(combitionExist()), m_root, SIGNAL(combitionExist()));
        connect(this, SIGNAL(plotNameExist()), m_root, SIGNAL(plotNameExist()));
    }
    setChannelProperties(m_root);
}

QString AddPlotCombition::getTargetName(uint channelID) const
{
    return BLLInstance::getInstance()->getTargetName(channelID);
}

void AddPlotCombition::okClicked(int chan1, int chan2, QString plotName)
{
    PlotGroupMgr *plots = BLLInstance::getInstance()->getPlotGroupMgr();
    if (plots->find2DPlot(uint(chan1), uint(chan2)) != 0) {
        emit combitionExist();
        return;
    }
    if (plots->is2DPlotNameExist(plotName)) {
        emit plotNameExist();
        return;
    }
    emit selectPlotCombition(chan1, chan2, plotName);
    close();
}
