#include "plots/common/plotstyle.h"

#include "shell/globalvalues.h"

#include "qwtbasic.h"

#include <QFont>

void stylePlot(QwtBasic *plot)
{
    QFont font(QStringLiteral("Roboto"));
    font.setPixelSize(int(20 * uiScaleFactor));
    for (QwtPlot::Axis axis : {QwtPlot::xBottom, QwtPlot::yLeft}) {
        plot->SetTitleFont(axis, font);
        plot->SetTitleFontColor(axis, QStringLiteral("#333333"));
    }
    plot->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    // The plain (unmasked) background of the plot and its canvas.
    plot->SetMaskBackgroundVisible(false);
}
