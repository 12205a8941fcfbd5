#include "pages/ViewResult/chartgeometry.h"

#include "plotutil.h"

#include <algorithm>
#include <cmath>

namespace ChartGeometry {

XDivision buildXDivision(const QVector<int> &widths)
{
    XDivision div;
    if (widths.isEmpty())
        return div;
    int boundary = 0;
    div.boundaries.append(boundary);
    for (int width : widths) {
        div.centres.append(boundary + width / 2);
        boundary += width;
        div.boundaries.append(boundary);
    }
    div.upper = boundary + 1;
    return div;
}

int groupCentre(int group)
{
    return GroupWidth * group + GroupWidth / 2;
}

int barX(int group, int bar, int barsInGroup)
{
    return GroupWidth * group + GroupWidth / (barsInGroup + 1) + (GroupWidth * bar) / (barsInGroup + 1);
}

int halfWidth(double xRange, int plotWidth)
{
    return CorvelDetail::truncToInt(30.0 * xRange / std::max(plotWidth, 1)) / 2;
}

double halfHeight(double yRange, int plotHeight)
{
    return 10.0 * yRange / std::max(plotHeight, 1) / 2.0;
}

YRange concentrationYRange(double maximum, bool linear)
{
    if (!(maximum > 0.0) || !std::isfinite(maximum))
        return linear ? YRange{0.0, 1.0} : YRange{0.001, 1.0};
    return linear ? YRange{0.0, maximum * 1.3} : YRange{0.001, maximum * 2.0};
}

double dividerBottom(bool linear)
{
    return linear ? 0.0 : std::pow(3.0, -300.0);
}

BarCurves barCurves(double x, double c, double lower, double upper, double hw, double hh)
{
    BarCurves bar;
    const double xl = x - hw;
    const double xr = x + hw;
    const bool hasUpper = std::isfinite(upper);
    const bool hasLower = std::isfinite(lower);
    const double L = hasLower ? std::max(lower, 0.0) : 0.0;
    const double U = upper;
    const double boxTop = c + hh;
    const double boxBottom = c - hh;

    if (hasUpper) {
        bar.upperWhisker = {{xl, U}, {xr, U}, {x, U}};
        if (U > boxTop)
            bar.upperWhisker.append({x, boxTop});
    }
    if (hasLower) {
        bar.lowerWhisker = {{xl, L}, {xr, L}, {x, L}};
        if (boxBottom > L)
            bar.lowerWhisker.append({x, boxBottom});
    }

    const double top = (!hasUpper || U > boxTop) ? boxTop : U;
    bar.box = {{xl, top}, {xr, top}};
    if (!hasLower || boxBottom > L) {
        bar.box.append({xr, boxBottom});
        bar.box.append({xl, boxBottom});
    } else if (L > 0.0) {
        bar.box.append({xr, L});
        bar.box.append({xl, L});
    }
    bar.box.append({xl, top});
    return bar;
}

int fitLabelPixelSize(int perGroup, double scale, const std::function<int(int)> &advanceAt)
{
    const auto scaled = [scale](int size) { return std::max(1, int(size * scale)); };
    const int initial = scaled(20);
    if (perGroup < 1 || perGroup >= advanceAt(initial) + 10)
        return initial;
    for (int k = 19; k >= 1; --k) {
        const int size = scaled(k);
        if (perGroup >= advanceAt(size) + 10)
            return size;
    }
    return 10;
}

double uncertaintyAxisUpper(double largest)
{
    if (largest < 20.0)
        return 24.0;
    if (largest < 40.0)
        return 44.0;
    if (largest < 60.0)
        return 64.0;
    return largest + 20.0;
}

} // namespace ChartGeometry
