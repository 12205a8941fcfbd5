#include "shell/menubar.h"

#include "bll/signaltransfer.h"
#include "shell/dialoghost.h"
#include "shell/globalvalues.h"

#include <QMouseEvent>
#include <QQuickItem>

MenuBar::MenuBar(QWidget *parent)
    : QQuickWidget(parent)
{
    loadScaledView(this, QUrl(QStringLiteral("qrc:/qml/TopMenuBar.qml")));
    m_root = rootObject();

    if (m_root) {
        for (const char *forwarded : {SIGNAL(closeWindows()), SIGNAL(whatIs()), SIGNAL(maxSize()), SIGNAL(hideApp()),
                                      SIGNAL(imageSaveMode()), SIGNAL(saveImage()), SIGNAL(open()), SIGNAL(save(int))})
            connect(m_root, forwarded, this, forwarded);
        connect(m_root, SIGNAL(closePopupMenu()), this, SIGNAL(closeMenuList()));
        connect(m_root, SIGNAL(recentFile()), this, SIGNAL(openRecentFile()));
        connect(SignalTransfer::getInstance(), SIGNAL(updateWellComplete()), m_root, SIGNAL(openFile()));
    }
    connect(SignalTransfer::getInstance(), &SignalTransfer::dataFixed, this, &MenuBar::dataFixed);
    installEventFilter(this);
}

QString MenuBar::property(const QString &name)
{
    return m_root ? m_root->property(name.toUtf8().constData()).toString() : QString();
}

void MenuBar::setProperty(const QString &name, const QString &value)
{
    if (m_root)
        m_root->setProperty(name.toUtf8().constData(), value);
}

int MenuBar::recentFilePosition()
{
    return m_root ? m_root->property("recentFilePosition").toInt() : 0;
}

int MenuBar::imageSavePosition()
{
    return m_root ? m_root->property("imageSavePosition").toInt() : 0;
}

void MenuBar::fileName(const QString &name)
{
    setProperty(QStringLiteral("fileName"), name);
}

QRect MenuBar::closeButtonRect() const
{
    const auto *root = qobject_cast<QQuickItem *>(m_root.data());
    const QQuickItem *button = root ? root->findChild<QQuickItem *>(QStringLiteral("closeButton")) : nullptr;
    if (!button)
        return QRect();
    return button->mapRectToScene(QRectF(0, 0, button->width(), button->height())).toAlignedRect();
}

void MenuBar::dataFixed()
{
    fileName(QStringLiteral("* %1").arg(currentFileBaseName));
}

bool MenuBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == this) {
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton) {
                m_dragging = true;
                m_pressPosition = mouse->pos();
            }
            break;
        }
        case QEvent::MouseMove:
            if (m_dragging)
                window()->move(static_cast<QMouseEvent *>(event)->globalPos() - m_pressPosition);
            break;
        case QEvent::MouseButtonRelease:
            m_dragging = false;
            break;
        default:
            break;
        }
    }
    return QQuickWidget::eventFilter(watched, event);
}
