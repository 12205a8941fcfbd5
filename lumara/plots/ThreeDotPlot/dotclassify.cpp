#include "plots/ThreeDotPlot/dotclassify.h"

namespace Dot3D {

int octantIndex(uint gx, uint gy, uint gz, uint tx, uint ty, uint tz)
{
    return (gx >= tx ? 4 : 0) + (gy >= ty ? 2 : 0) + (gz >= tz ? 1 : 0);
}

uint populationCode(const QVector<uint> &values, const QVector<CodeBit> &bits, uint forced)
{
    uint code = forced;
    const int n = qMin(values.size(), bits.size());
    for (int i = 0; i < n; ++i) {
        const CodeBit &bit = bits.at(i);
        if (bit.shift >= 0 && bit.shift < 32 && values.at(i) >= bit.threshold)
            code |= 1u << bit.shift;
    }
    return code;
}

Membership polygonMembership(const QVector<PolygonZone> &zones, uint x, uint y, uint z, const QVector3D &point)
{
    for (const PolygonZone &zone : zones) {
        QPointF p;
        if (zone.px == x && zone.py == y)
            p = QPointF(point.x(), point.y());
        else if (zone.px == x && zone.py == z)
            p = QPointF(point.x(), point.z());
        else if (zone.px == y && zone.py == z)
            p = QPointF(point.y(), point.z());
        else
            continue;
        return zone.polygon.containsPoint(p, Qt::OddEvenFill) ? In : Out;
    }
    return NoZone;
}

QString plotTitle(const QString &name, const QString &xTarget, const QString &yTarget, const QString &zTarget)
{
    if (!name.isEmpty())
        return name;
    return QStringLiteral("%1_%2_%3").arg(xTarget, yTarget, zTarget);
}

float axisUpper(uint largest)
{
    return float(largest) + 10.0f;
}

} // namespace Dot3D
