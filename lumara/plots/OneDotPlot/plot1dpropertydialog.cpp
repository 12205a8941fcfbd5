#include "plots/OneDotPlot/plot1dpropertydialog.h"

#include "shell/dialoghost.h"
#include "shell/globalvalues.h"

#include <QLocale>
#include <QQuickItem>
#include <QQuickWidget>
#include <QVariant>

Plot1DpropertyDialog::Plot1DpropertyDialog(QWidget *parent) : QDialog(parent)
{
    resize(int(356 * uiScaleFactor), int(336 * uiScaleFactor));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    m_quickWidget = hostQmlView(this, QUrl(QStringLiteral("qrc:/OneDotPlot/qml/Plot1DPropertyDialog.qml")), true);
    m_root = m_quickWidget->rootObject();
    if (!m_root)
        return;
    connect(m_root, SIGNAL(clickNo()), this, SLOT(close()));
    connect(m_root, SIGNAL(clickYes()), this, SLOT(yesClicked()));
}

void Plot1DpropertyDialog::setBounds(double lower, double upper)
{
    if (!m_root)
        return;
    // The shortest text that reads back as the same value, so an untouched Yes keeps the range.
    m_root->setProperty("lowerBound", QString::number(lower, 'g', QLocale::FloatingPointShortest));
    m_root->setProperty("upperBound", QString::number(upper, 'g', QLocale::FloatingPointShortest));
}

void Plot1DpropertyDialog::yesClicked()
{
    if (m_root)
        emit updateProperty(m_root->property("lowerBound").toDouble(), m_root->property("upperBound").toDouble());
    close();
}
