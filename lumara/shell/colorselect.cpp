#include "shell/colorselect.h"

#include "shell/dialoghost.h"

#include <QQuickItem>
#include <QQuickWidget>

ColorSelect::ColorSelect(QWidget *parent)
    : QDialog(parent)
{
    // A window of its own also with a parent (see DialogMessage).
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    resize(596, 512);

    m_quickWidget = hostQmlView(this, QUrl(QStringLiteral("qrc:/qml/ColorSelect.qml")), false);
    m_root = m_quickWidget->rootObject();
    if (!m_root)
        return;
    connect(m_root, SIGNAL(yesClicked()), this, SLOT(accept()));
    connect(m_root, SIGNAL(cancelClicked()), this, SLOT(reject()));
    connect(m_root, SIGNAL(sigClrValue(QString)), this, SIGNAL(sigClrValue(QString)));
}

void ColorSelect::setCurrentColor(QString color)
{
    m_currentColor = color;
    if (!m_root)
        return;
    m_root->setProperty("currentcolor", color);
    m_root->setProperty("current", color.mid(1));
}
