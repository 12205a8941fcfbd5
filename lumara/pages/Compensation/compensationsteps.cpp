#include "pages/Compensation/compensationsteps.h"

#include <algorithm>

namespace CompensationSteps {

CompensationMatrix workingMatrix(const CompensationMatrix &edited)
{
    CompensationMatrix working = edited;
    for (int i = 0; i < 6; ++i)
        working.matrix[i][i] = 1.0;
    return working;
}

QList<QPair<uint, uint>> channelPairs(const QList<uint> &channels)
{
    QList<QPair<uint, uint>> pairs;
    for (int i = 0; i < channels.size(); ++i)
        for (int j = i + 1; j < channels.size(); ++j)
            pairs.append(qMakePair(channels.at(i), channels.at(j)));
    return pairs;
}

namespace {

PlotPage firstPage(int pairs)
{
    PlotPage page;
    page.disablePrevious = true;
    if (pairs == 1) {
        page.first = 0;
        page.index = 0;
    } else {
        page.first = 0;
        page.second = 1;
        page.index = 1;
    }
    return page;
}

} // namespace

PlotPage turnPage(int pairs, int index, PageTurn turn)
{
    PlotPage page;
    page.index = index;
    if (pairs <= 0)
        return page;

    switch (turn) {
    case PageTurn::Redraw: {
        // Past the list (or before its second pair) starts again at the first page.
        if (index >= pairs || (pairs > 1 && index < 1) || index < 0)
            index = 1;
        if (pairs == 1 || index <= 1)
            return firstPage(pairs);
        page.first = index - 1;
        page.second = index;
        page.index = index;
        return page;
    }
    case PageTurn::Next: {
        const int k = index;
        if (k < 0 || k + 1 >= pairs) {
            // Nothing after this page: it stays, and so does the button's state.
            page = turnPage(pairs, index, PageTurn::Redraw);
            page.disableNext = true;
            return page;
        }
        if (k + 2 <= pairs - 1) {
            page.first = k + 1;
            page.second = k + 2;
            page.index = k + 2;
            page.disableNext = k + 2 == pairs - 1;
        } else {
            page.first = k + 1;
            page.index = k + 1;
            page.disableNext = true;
        }
        return page;
    }
    case PageTurn::Previous: {
        const int k = index;
        if (k - 3 > 0 && k < pairs) {
            page.first = k - 3;
            page.second = k - 2;
            page.index = k - 2;
            return page;
        }
        return firstPage(pairs);
    }
    }
    return page;
}

QVector<uint> keptValues(const QVector<uint> &all, const QSet<uint> &excluded)
{
    if (excluded.isEmpty())
        return all;
    QVector<uint> kept;
    kept.reserve(all.size());
    for (int i = 0; i < all.size(); ++i) {
        if (!excluded.contains(uint(i)))
            kept.append(all.at(i));
    }
    return kept;
}

QVector<QPointF> pairPoints(const QVector<uint> &x, const QVector<uint> &y)
{
    const int count = std::min(x.size(), y.size());
    QVector<QPointF> points;
    points.reserve(count);
    for (int i = 0; i < count; ++i)
        points.append(QPointF(x.at(i), y.at(i)));
    return points;
}

AxisRanges axisRanges(const QVector<QPointF> &points)
{
    double minX = 100000.0;
    double maxX = 0.0;
    double minY = 100000.0;
    double maxY = 0.0;
    for (const QPointF &p : points) {
        minX = std::min(minX, p.x());
        maxX = std::max(maxX, p.x());
        minY = std::min(minY, p.y());
        maxY = std::max(maxY, p.y());
    }
    return {0.5 * minX, 1.2 * maxX, 0.5 * minY, 1.2 * maxY};
}

} // namespace CompensationSteps
