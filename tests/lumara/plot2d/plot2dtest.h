#pragma once
// Small makers the 2D plot tests share.
#include "plots/TwoDotPlot/polygonzoneinfo.h"

#include <QPolygonF>
#include <QVector>
#include <initializer_list>

namespace Plot2DTest {

inline QPolygonF poly(std::initializer_list<QPointF> points)
{
    return QPolygonF(QVector<QPointF>(points));
}

// A zone record of well 1 on plot 1 unless told otherwise.
inline PolygonZoneInfo zone(uint zoneId, const QPolygonF &applied, const QPolygonF &pending = QPolygonF(),
                            uint wellId = 1, uint plotId = 1)
{
    PolygonZoneInfo z;
    z.wellID = wellId;
    z.zoneID = zoneId;
    z.plotID = plotId;
    z.applied = applied;
    z.pending = pending;
    return z;
}

} // namespace Plot2DTest
