#include "plots/TwoDotPlot/addpopulationdialog.h"

#include "platform/compositing.h"
#include "shell/dialoghost.h"

#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickWidget>

AddpopulationDialog::AddpopulationDialog(QWidget *parent) : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    // Without a compositing manager a translucent window's clear pixels show black: the whole
    // window behind the layer would be blacked out.
    m_layer = Platform::desktopComposites(QGuiApplication::platformName());
    if (m_layer)
        setAttribute(Qt::WA_TranslucentBackground);
    m_quickWidget = hostQmlView(this, QUrl(QStringLiteral("qrc:/TwoDotPlot/qml/PopulationAtributes.qml")), true);
    m_root = m_quickWidget->rootObject();
    if (!m_root)
        return;
    connect(m_root, SIGNAL(yesClicked(QString, QString)), this, SIGNAL(yesClicked(QString, QString)));
    connect(m_root, SIGNAL(noClicked()), this, SIGNAL(noClicked()));
    connect(m_root, SIGNAL(noClicked()), this, SLOT(reject()));
    connect(this, SIGNAL(populationNameExist()), m_root, SIGNAL(populationNameExist()));
    if (!m_layer) {
        if (QObject *picker = m_root->findChild<QObject *>(QStringLiteral("colorPopup")))
            connect(picker, SIGNAL(visibleChanged()), this, SLOT(fitShownPart()));
    }
}

void AddpopulationDialog::setCircleColor(QString color)
{
    if (m_root)
        m_root->setProperty("circleColor", color);
}

void AddpopulationDialog::showEvent(QShowEvent *event)
{
    if (!m_layer) {
        // The caller's place and size mark the centre; the dialog keeps to what it shows.
        if (!m_placed)
            m_centre = geometry().topLeft() + QPoint(width() / 2, height() / 2);
        m_placed = true;
        fitShownPart();
    }
    QDialog::showEvent(event);
}

void AddpopulationDialog::fitShownPart()
{
    auto *root = qobject_cast<QQuickItem *>(m_root);
    if (!root)
        return;
    QSize size;
    QObject *picker = root->findChild<QObject *>(QStringLiteral("colorPopup"));
    if (picker && picker->property("visible").toBool()) {
        size = QSize(picker->property("width").toInt(), picker->property("height").toInt());
    } else if (auto *panel = root->findChild<QQuickItem *>(QStringLiteral("panel"))) {
        size = QSize(int(panel->width()), int(panel->height()));
    }
    if (size.isEmpty())
        return;
    setFixedSize(size);
    move(m_centre - QPoint(size.width() / 2, size.height() / 2));
}
