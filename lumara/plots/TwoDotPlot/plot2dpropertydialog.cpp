#include "plots/TwoDotPlot/plot2dpropertydialog.h"

#include "shell/dialoghost.h"
#include "shell/globalvalues.h"

#include <QLocale>
#include <QQuickItem>
#include <QQuickWidget>
#include <QVariant>

namespace {

const char *const HorizontalLower = "horizontalLowerTxt";
const char *const HorizontalUpper = "horizontalUpperTxt";
const char *const VerticalLower = "vertialLowerTxt";
const char *const VerticalUpper = "vertialUpperTxt";

// The shortest text that reads back as the same value, so an untouched Yes keeps the range.
QString boundText(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

} // namespace

Plot2DPropertyDialog::Plot2DPropertyDialog(QWidget *parent)
    : QDialog(parent)
{
    resize(int(636 * uiScaleFactor), int(336 * uiScaleFactor));
    // A window of its own also with a parent (see DialogMessage).
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);

    m_quickWidget = hostQmlView(this, QUrl(QStringLiteral("qrc:/TwoDotPlot/qml/Plot2DPropertyDialog.qml")), true);
    m_root = m_quickWidget->rootObject();
    if (!m_root)
        return;
    connect(m_root, SIGNAL(cancel()), this, SLOT(close()));
    connect(m_root, SIGNAL(yes()), this, SLOT(yesClicked()));
}

void Plot2DPropertyDialog::setAxisRange(QPair<double, double> xRange, QPair<double, double> yRange)
{
    if (!m_root)
        return;
    m_root->setProperty(HorizontalLower, boundText(xRange.first));
    m_root->setProperty(HorizontalUpper, boundText(xRange.second));
    m_root->setProperty(VerticalLower, boundText(yRange.first));
    m_root->setProperty(VerticalUpper, boundText(yRange.second));
}

void Plot2DPropertyDialog::yesClicked()
{
    if (m_root) {
        const auto bound = [this](const char *name) { return m_root->property(name).toDouble(); };
        emit updateProperty(qMakePair(bound(HorizontalLower), bound(HorizontalUpper)),
                            qMakePair(bound(VerticalLower), bound(VerticalUpper)));
    }
    close();
}
