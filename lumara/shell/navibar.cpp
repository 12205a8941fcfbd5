#include "shell/navibar.h"

#include "shell/dialoghost.h"

#include <QQuickItem>

Navibar::Navibar(QWidget *parent)
    : QQuickWidget(parent)
{
    loadScaledView(this, QUrl(QStringLiteral("qrc:/qml/NaviBar.qml")));
    m_root = rootObject();
    if (!m_root)
        return;
    connect(m_root, SIGNAL(itemClicked()), this, SLOT(updateMenu()));
    connect(m_root, SIGNAL(naviBarClicked()), this, SIGNAL(naviBarClicked()));
    connect(this, SIGNAL(initNaviBar()), m_root, SIGNAL(initNaviBar()));
}

void Navibar::updateMenu()
{
    if (!m_root)
        return;
    emit updateMenuLeve(m_root->property("primayIndex").toInt(), m_root->property("subMenuIndex").toInt());
}
