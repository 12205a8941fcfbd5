#include "pages/Compensation/setup2dplot.h"

#include "shell/globalvalues.h"
#include "shell/imageactions.h"

#include <QFont>

SetUp2DPlot::SetUp2DPlot(QWidget *parent) : Quorin2DPlot(parent)
{
    QFont font;
    font.setFamily(QStringLiteral("Roboto"));
    font.setPixelSize(int(14 * uiScaleFactor));
    for (QwtPlot::Axis axis : {QwtPlot::xBottom, QwtPlot::yLeft}) {
        SetTitleFont(axis, font);
        SetTitleFontColor(axis, QStringLiteral("#333333"));
    }
    Set2DThresholdSoildLineVisible(false);
    Set2DThresholdDottedLineVisible(false);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    setStyleSheet(QStringLiteral("background-color: rgb(255,255,255)"));
}

void SetUp2DPlot::mousePressEvent(QMouseEvent *event)
{
    const QString name = currentFileBaseName + QLatin1Char('_') + axisTitle(QwtPlot::xBottom).text()
                         + QLatin1Char('_') + axisTitle(QwtPlot::yLeft).text() + QStringLiteral("_compensation");
    plotImageActionPress(this, event,
                         {name + QStringLiteral(".png"), name + QStringLiteral(".svg"), QStringLiteral("SetUp"),
                          QStringLiteral("CompensateSpillover")});
    Quorin2DPlot::mousePressEvent(event);
}

void SetUp2DPlot::enterEvent(QEvent *event)
{
    plotImageActionEnter(this, QStringLiteral(":/Compensation/assets/cursor_help.png"),
                         QStringLiteral(":/Compensation/assets/cursor_save.png"));
    Quorin2DPlot::enterEvent(event);
}

void SetUp2DPlot::leaveEvent(QEvent *event)
{
    plotImageActionLeave(this);
    Quorin2DPlot::leaveEvent(event);
}
