#include "plotutil.h"

#include <qwt_plot_curve.h>

namespace CorvelDetail {

void setupDotCurve(QwtPlotCurve *curve)
{
    curve->setStyle(QwtPlotCurve::Dots);
    curve->setRenderHint(QwtPlotItem::RenderAntialiased, true);
    curve->setPaintAttribute(QwtPlotCurve::ImageBuffer, true);
}

} // namespace CorvelDetail
