#include "plots/ThreeDotPlot/add3dcombition.h"

#include "bll/bllinstance.h"
#include "bll/plotgroupmgr.h"
#include "plots/TwoDotPlot/addplotcombition.h"
#include "shell/dialoghost.h"
#include "shell/globalvalues.h"

#include <QQuickItem>
#include <QQuickWidget>

Add3DCombition::Add3DCombition(QWidget *parent) : QDialog(parent)
{
    resize(int(560 * uiScaleFactor), int(402 * uiScaleFactor));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    m_quickWidget = hostQmlView(this, QUrl(QStringLiteral("qrc:/ThreeDotPlot/qml/Ad3DCombition.qml")), true,
                                {{QStringLiteral("FunInstance"), QVariant::fromValue<QObject *>(this)}});
    m_root = m_quickWidget->rootObject();
    if (m_root) {
        connect(m_root, SIGNAL(cancelClicked()), this, SLOT(close()));
        connect(m_root, SIGNAL(okClicked(int, int, int, QString)), this, SLOT(okClicked(int, int, int, QString)));
        connect(this, SIGNAL(combitionExist()), m_root, SIGNAL(combitionExist()));
        connect(this, SIGNAL(plotNameExist()), m_root, SIGNAL(plotNameExist()));
    }
    setChannelProperties(m_root);
}

QString Add3DCombition::getTargetName(uint channelID) const
{
    return BLLInstance::getInstance()->getTargetName(channelID);
}

void Add3DCombition::okClicked(int chan1, int chan2, int ch3, QString plotName)
{
    PlotGroupMgr *plots = BLLInstance::getInstance()->getPlotGroupMgr();
    if (plots->find3DPlot(uint(chan1), uint(chan2), uint(ch3)) != 0) {
        emit combitionExist();
        return;
    }
    if (plots->is3DPlotNameExist(plotName)) {
        emit plotNameExist();
        return;
    }
    emit selectPlotCombition(chan1, chan2, ch3, plotName);
    close();
}
