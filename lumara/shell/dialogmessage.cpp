#include "shell/dialogmessage.h"

#include "shell/dialoghost.h"
#include "shell/globalvalues.h"

#include <QQuickItem>
#include <QQuickWidget>

namespace {

QUrl viewOfType(int type)
{
    switch (type) {
    case 0:
        return QUrl(QStringLiteral("qrc:/qml/SingleDialog.qml"));
    case 1:
        return QUrl(QStringLiteral("qrc:/qml/TwoDialog.qml"));
    case 2:
        return QUrl(QStringLiteral("qrc:/qml/ThreeDialog.qml"));
    default:
        return QUrl();
    }
}

} // namespace

DialogMessage::DialogMessage(int type, QString message, QWidget *parent)
    : QDialog(parent)
    , m_type(type)
{
    // Frameless, yet still a window of its own: with a parent, a bare frameless flag would make
    // the box a child widget painted inside the parent.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    resize(int(584 * uiScaleFactor), int(215 * uiScaleFactor));

    const QUrl view = viewOfType(type);
    if (view.isEmpty())
        return;
    m_quickWidget = hostQmlView(this, view, true);
    m_root = m_quickWidget->rootObject();
    if (!m_root)
        return;

    m_root->setProperty("message", message);
    connect(m_root, SIGNAL(clickYes()), this, SIGNAL(sigYesBtn()));
    switch (type) {
    case 0:
        connect(m_root, SIGNAL(clickYes()), this, SLOT(accept()));
        break;
    case 1:
        connect(m_root, SIGNAL(clickYes()), this, SLOT(accept()));
        connect(m_root, SIGNAL(clickNo()), this, SLOT(reject()));
        connect(m_root, SIGNAL(clickYes()), this, SIGNAL(yesBtnClick()));
        connect(m_root, SIGNAL(clickNo()), this, SIGNAL(noBtnClick()));
        break;
    case 2:
        // Only the No button discards: reject() is Cancel here.
        connect(m_root, SIGNAL(clickYes()), this, SLOT(accept()));
        connect(m_root, SIGNAL(clickNo()), this, SLOT(answerNo()));
        connect(m_root, SIGNAL(clickCancel(int)), this, SLOT(done(int)));
        break;
    }
}

void DialogMessage::reject()
{
    if (m_type == 2)
        done(2);
    else
        QDialog::reject();
}

void DialogMessage::answerNo()
{
    done(0);
}

DialogMessage::~DialogMessage()
{
    delete m_quickWidget;
}
