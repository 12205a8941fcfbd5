#pragma once
// One polygon zone of one well on one 2D plot combination: the outline the document holds
// and the changed outline that the user has not applied yet.
#include <QMetaType>
#include <QPolygonF>

struct PolygonZoneInfo {
    uint wellID = 0;
    uint zoneID = 0;
    uint plotID = 0;
    QPolygonF pending; // empty while unchanged
    QPolygonF applied;
};
Q_DECLARE_METATYPE(PolygonZoneInfo)
