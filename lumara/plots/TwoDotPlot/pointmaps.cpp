#include "plots/TwoDotPlot/pointmaps.h"

#include "plots/common/plotpage.h"

#include <QStringList>

#include <cmath>

const char *const NegativeDotColour = "#555555";

PointMap lineWellPoints(const QVector<uint> &gx, const QVector<uint> &gy, uint xThreshold, uint yThreshold,
                        const QString &bothColour, const QString &yColour, const QString &xColour)
{
    QVector<QPointF> both, yOnly, neither, xOnly;
    const int n = std::min(gx.size(), gy.size());
    for (int i = 0; i < n; ++i) {
        const uint x = gx.at(i);
        const uint y = gy.at(i);
        const bool a = x >= xThreshold;
        const bool b = y >= yThreshold;
        const QPointF p{double(x), double(y)};
        if (a && b)
            both.append(p);
        else if (b)
            yOnly.append(p);
        else if (a)
            xOnly.append(p);
        else
            neither.append(p);
    }
    return {{bothColour, both},
            {yColour, yOnly},
            {QString::fromLatin1(NegativeDotColour), neither},
            {xColour, xOnly}};
}

QMap<QString, QVector<QPointF>> collectZonePoints(const Plot2DCreateZoneInfo &item)
{
    QVector<const PlotPolygonInfo *> kept;
    for (const PlotPolygonInfo &zone : item.zones) {
        if (zone.xChannel == item.xChannel && zone.yChannel == item.yChannel)
            kept.append(&zone);
    }
    QVector<QString> colours;
    for (const PlotPolygonInfo *zone : qAsConst(kept))
        colours.append(item.zoneColours.value(zone->zoneId, QStringLiteral("#b37c4e")));
    const QString negative = QString::fromLatin1(NegativeDotColour);

    QMap<QString, QVector<QPointF>> map;
    const int n = std::min(item.gx.size(), item.gy.size());
    for (int i = 0; i < n; ++i) {
        const QPointF p(double(item.gx.at(i)), double(item.gy.at(i)));
        const QString *colour = &negative;
        for (int z = 0; z < kept.size(); ++z) {
            if (kept.at(z)->polygon.containsPoint(p, Qt::OddEvenFill)) {
                colour = &colours.at(z);
                break;
            }
        }
        map[*colour].append(p);
    }
    return map;
}

QString newPopulationColor(int index)
{
    static const QStringList colours = {QStringLiteral("#4FB1DB"), QStringLiteral("#66CC71"),
                                        QStringLiteral("#0D4CA3"), QStringLiteral("#F0AA30"),
                                        QStringLiteral("#F06060"), QStringLiteral("#9973E6")};
    const int n = colours.size();
    return colours.at(((index % n) + n) % n);
}

QString thumbnailTitle(const QString &name, const QString &xTarget, const QString &yTarget)
{
    if (!name.isEmpty())
        return name;
    return QStringLiteral("%1_%2").arg(xTarget, yTarget);
}

bool vertexTolerance(int width, int height, double xSpan, double ySpan, uint *xTolerance, uint *yTolerance)
{
    if (width < 1 || height < 1)
        return false;
    const int k = width / 80;
    const auto units = [k](double span, int size) {
        const double perPixel = std::trunc(std::fabs(span) / size);
        // Far beyond any grey value; kept from wrapping all the same.
        return uint(std::min(perPixel * k, 4294967295.0));
    };
    *xTolerance = units(xSpan, width);
    *yTolerance = units(ySpan, height);
    return true;
}

bool wellAxisRangeOf(const QVector<WellAxisRange> &ranges, const QList<uint> &selectedWells, uint channel,
                     AxisRange *range)
{
    AxisRange stored;
    if (!storedAxisRange(ranges, selectedWells, channel, &stored))
        return false;
    if (stored.first > stored.second)
        return false;
    *range = stored;
    return true;
}
