#include "plots/TwoDotPlot/addpopulationdialog.h"

#include "shell/dialoghost.h"

#include <QQuickItem>
#include <QQuickWidget>

AddpopulationDialog::AddpopulationDialog(QWidget *parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    m_quickWidget = hostQmlView(this, QUrl(QStringLiteral("qrc:/TwoDotPlot/qml/PopulationAtributes.qml")), true);
    m_root = m_quickWidget->rootObject();
    if (!m_root)
        return;
    connect(m_root, SIGNAL(yesClicked(QString, QString)), this, SIGNAL(yesClicked(QString, QString)));
    connect(m_root, SIGNAL(noClicked()), this, SIGNAL(noClicked()));
    connect(m_root, SIGNAL(noClicked()), this, SLOT(reject()));
    connect(this, SIGNAL(populationNameExist()), m_root, SIGNAL(populationNameExist()));
}

void AddpopulationDialog::setCircleColor(QString color)
{
    if (m_root)
        m_root->setProperty("circleColor", color);
}
