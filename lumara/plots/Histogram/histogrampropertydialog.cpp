#include "plots/Histogram/histogrampropertydialog.h"

#include "shell/dialoghost.h"
#include "shell/globalvalues.h"

#include <QQuickItem>
#include <QQuickWidget>
#include <QVariant>

HistogramPropertyDialog::HistogramPropertyDialog(QWidget *parent) : QDialog(parent)
{
    resize(int(356 * uiScaleFactor), int(336 * uiScaleFactor));
    // A window of its own also with a parent (see DialogMessage).
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    m_quickWidget = hostQmlView(this, QUrl(QStringLiteral("qrc:/Histogram/qml/HistogramPropertyDialog.qml")), true);
    m_root = m_quickWidget->rootObject();
    if (!m_root)
        return;
    connect(m_root, SIGNAL(clickNo()), this, SLOT(close()));
    connect(m_root, SIGNAL(clickYes()), this, SLOT(yesClicked()));
}

void HistogramPropertyDialog::setAxisProperty(bool isLinear, double lower, double upper)
{
    if (!m_root)
        return;
    m_root->setProperty("isLineraScale", isLinear);
    m_root->setProperty("lowerBound", QStringLiteral("%1").arg(lower));
    m_root->setProperty("upperBound", QStringLiteral("%1").arg(upper));
}

void HistogramPropertyDialog::yesClicked()
{
    if (m_root) {
        emit updateProperty(m_root->property("isLineraScale").toBool(), m_root->property("lowerBound").toDouble(),
                            m_root->property("upperBound").toDouble());
    }
    close();
}
