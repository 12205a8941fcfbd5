#include "pages/Explore/exploreplotentry.h"

#include <algorithm>

namespace {

const QString negativeGrey = QStringLiteral("#555555");

QString joinedName(const QHash<uint, QString> &names, std::initializer_list<uint> channels)
{
    QStringList parts;
    for (uint channel : channels)
        parts.append(names.value(channel));
    return parts.join(QLatin1Char('-'));
}

} // namespace

QString explorePlotTag(const ExplorePlotEntry &entry)
{
    switch (entry.channels.size()) {
    case 1:
        return QStringLiteral("1D");
    case 2:
        return QStringLiteral("2D");
    case 3:
        return QStringLiteral("3D");
    default:
        return QString();
    }
}

QVector<ExplorePlotEntry> explorePlotEntries(const QList<uint> &channels, const QHash<uint, QString> &targetNames,
                                             uint refChannel)
{
    QVector<ExplorePlotEntry> entries;
    for (uint c : channels)
        entries.append({targetNames.value(c), {c}});
    if (refChannel >= 1 && refChannel <= 6 && !channels.contains(refChannel))
        entries.append({QStringLiteral("Ref"), {refChannel}});
    const int n = channels.size();
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            entries.append({joinedName(targetNames, {channels[i], channels[j]}), {channels[i], channels[j]}});
    for (int i = 0; i < n; ++i)
        for (int j = i + 1; j < n; ++j)
            for (int k = j + 1; k < n; ++k)
                entries.append({joinedName(targetNames, {channels[i], channels[j], channels[k]}),
                                {channels[i], channels[j], channels[k]}});
    return entries;
}

QVector<uint> explorePlotChannels(const QVector<ExplorePlotEntry> &entries, const QString &name)
{
    for (const ExplorePlotEntry &entry : entries)
        if (entry.name == name)
            return entry.channels;
    return {};
}

QVector<ExploreSeries> exploreQuadrants(const QVector<uint> &gx, const QVector<uint> &gy, uint tx, uint ty,
                                        const QVector<QString> &colours, bool lineMode)
{
    QVector<ExploreSeries> series(4);
    for (int i = 0; i < 4; ++i)
        series[i].colour = lineMode ? colours.value(i, negativeGrey) : negativeGrey;
    const int count = std::min(gx.size(), gy.size());
    for (int q = 0; q < 4; ++q)
        series[q].points.reserve(lineMode ? count / 4 : (q == 1 ? count : 0));
    for (int i = 0; i < count; ++i) {
        const uint x = gx[i];
        const uint y = gy[i];
        int q = 1;
        if (lineMode) {
            // At or above its threshold a droplet is positive, as the markers and counts say.
            if (x >= tx)
                q = y >= ty ? 0 : 3;
            else
                q = y >= ty ? 1 : 2;
        }
        series[q].points.append(QPointF(x, y));
    }
    return series;
}

ExploreBounds exploreSeriesBounds(const QVector<ExploreSeries> &series)
{
    ExploreBounds b;
    if (!series.isEmpty() && !series.first().points.isEmpty()) {
        const QPointF &p = series.first().points.first();
        b.xMin = b.xMax = p.x();
        b.yMin = b.yMax = p.y();
    }
    for (const ExploreSeries &s : series)
        for (const QPointF &p : s.points) {
            b.xMin = std::min(b.xMin, p.x());
            b.xMax = std::max(b.xMax, p.x());
            b.yMin = std::min(b.yMin, p.y());
            b.yMax = std::max(b.yMax, p.y());
        }
    return b;
}

ExploreRange exploreUsableRange(double lower, double upper)
{
    if (!(lower < upper))
        return ExploreRange(0.0, 100.0);
    return ExploreRange(lower, upper);
}

ExploreRange explore2DXRange(const ExploreBounds &bounds)
{
    return exploreUsableRange(bounds.xMin * 0.8, bounds.xMax * 1.2);
}

ExploreRange explore2DYRange(const ExploreBounds &bounds)
{
    return exploreUsableRange(bounds.yMin * 0.8, bounds.yMax * 1.2);
}

ExploreRange explore1DXRange(int count)
{
    return exploreUsableRange(0.0, double(count + count / 100));
}

ExploreRange explore1DYRange(const QVector<uint> &greys)
{
    if (greys.isEmpty())
        return ExploreRange(0.0, 100.0);
    const auto [low, high] = std::minmax_element(greys.cbegin(), greys.cend());
    // Signed: a lowest value under 100 must not wrap round.
    const qint64 lower = std::max<qint64>(0, qint64(*low) - 100);
    const qint64 upper = qint64(*high) + qint64(*high) / 50;
    return exploreUsableRange(double(lower), double(upper));
}
