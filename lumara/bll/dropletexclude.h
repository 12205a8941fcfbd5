#pragma once
// Excluding droplets from the analysis by hand, including them again and restoring a well;
// reading a well's images and image-analysis record. Excluded droplets stay in the document,
// every grey-value reader leaves them out. After each change the well's effective droplet
// number is stored and dataFixed announces the change; a call that changes no droplet
// announces nothing.
#include "model/lumaraanalysisdata.h"

#include <QImage>
#include <QObject>
#include <QSet>
#include <QVector>

class DropletExclude : public QObject {
    Q_OBJECT
public:
    explicit DropletExclude(QObject *parent = nullptr);

    // Only indices of droplets the well has are excluded; each counts once.
    void excludeDroplets(uint wellId, const QSet<uint> &indices);
    void includeDroplets(uint wellId, const QSet<uint> &indices);
    // Every droplet of the well included again.
    void restoreDroplets(uint wellId);

    // Image number index of the well, counted from 1; a null image for an index the well has
    // no image for. The reference stays valid while the document keeps the well's images.
    const QImage &getWellImage(uint wellId, int index) const;
    // The well's record; an empty record when the well has none. A droplet's own grey list can
    // hold the other member of its value pair than the one the recount classifies: read the
    // values through BLLInstance::getAllDropletGrayValues.
    const LumaraAnalysisData::WellImageAnalysisInfo &getImgAnalysisInfo(uint wellId) const;
    // The zone-combination masks (one mask of positive channels per zone).
    const QVector<uint> &getZoneCombinationOfChan() const;

signals:
    void dataFixed();

private:
    // Stores droplets minus excluded droplets as the well's effective number, then announces;
    // nothing when neither the excluded set (as it was before the call) nor the number changed.
    void updateCount(uint wellId, const QSet<quint32> &excludedBefore);
};
