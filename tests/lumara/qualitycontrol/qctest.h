#pragma once
// What the quality-control tests share beyond the droplet view tests' seed: a seed whose
// droplets are also excluded and saturated, and the marker states expected of it.
#include "../viewer/viewertest.h"

#include "pages/QualityControl/dropletpannel.h"
#include "pages/QualityControl/qcdrpltmarker.h"

#include "shell/appresources.h"

#include <QQuickItem>

namespace QcTest {

using namespace ViewerTest;

// The program's resources, the business layer and the shared well list, once per process.
inline void initCase()
{
    initAppResources();
    BLLInstance::createSingletons();
    WellListModel::instance();
}

// Droplets excluded in well 1 and droplets saturated in channel 2 (status 3), chosen so that
// every mix of excluded, saturated, positive and negative occurs.
inline QSet<uint> excludedDroplets()
{
    return {1, 4, 6, 11};
}

inline QSet<uint> saturatedDroplets()
{
    return {2, 3, 6, 7, 12};
}

inline BllTest::DocumentSeed qcSeed()
{
    BllTest::DocumentSeed seed = standardSeed();
    for (BllTest::WellSeed &well : seed.wells) {
        for (uint i : saturatedDroplets())
            well.droplets[int(i)].flags[1] = 3;
        // Another status value is not saturation.
        well.droplets[8].flags[0] = 2;
    }
    seed.wells[0].excluded = excludedDroplets();
    return seed;
}

// The markers of the panel by droplet id.
inline QMap<uint, QCDrpltMarker *> markersById(const DropletPannel &panel)
{
    QMap<uint, QCDrpltMarker *> byId;
    for (QCDrpltMarker *marker : panel.markers())
        byId.insert(marker->id, marker);
    return byId;
}

inline QSet<uint> visibleIds(const DropletPannel &panel)
{
    QSet<uint> ids;
    for (QCDrpltMarker *marker : panel.markers())
        if (marker->isVisible())
            ids.insert(marker->id);
    return ids;
}

// Every item of a view's visual tree below the item (the items a repeater makes have no
// object parent, so the object tree misses them).
inline QList<QQuickItem *> itemsBelow(QQuickItem *from)
{
    QList<QQuickItem *> found;
    if (!from)
        return found;
    for (QQuickItem *child : from->childItems()) {
        found.append(child);
        found.append(itemsBelow(child));
    }
    return found;
}

inline QQuickItem *itemNamed(QQuickItem *from, const QString &name)
{
    for (QQuickItem *item : itemsBelow(from))
        if (item->objectName() == name)
            return item;
    return nullptr;
}

} // namespace QcTest
