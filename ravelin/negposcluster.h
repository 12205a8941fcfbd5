#pragma once
// Automatic negative/positive thresholds of a well, per channel. The analyser's negPosCluster
// and newNegPosCluster are these two steps.
#include "analysisrecords.h"
#include "ravelin_global.h"

#include <QString>
#include <QVector>

namespace Ravelin {

// Whether a droplet's flags mark it saturated in any channel: its greys say nothing of its class
// and it takes no part in the clustering.
RAVELIN_EXPORT bool isSaturated(const QVector<quint32> &flags);

// Clusters every channel of info->channels over the droplets not saturated in any channel and
// stores the thresholds as entry 0 of info->thresholds. Stops at the first channel that cannot
// be clustered (false; the handle's text appended to info->message). infoMessage receives the
// one-line progress text; saturatedPixelNum is only reported in it.
RAVELIN_EXPORT bool clusterWellThresholds(WellImageAnalysisInfo *info, qint32 saturatedPixelNum,
                                          QString *infoMessage);

// greys: one row per droplet, six greys by channel. thresholds becomes six one-entry vectors;
// a channel whose values are all 0, or that cannot be clustered, gets 0. Always true.
// before: the same rows before a spill-over compensation, where one was applied (see
// ClusterHandle::clusterDrpltGray).
RAVELIN_EXPORT bool clusterGreyTable(const QVector<QVector<uint>> &greys, QVector<QVector<uint>> &thresholds,
                                     const QVector<QVector<uint>> &before = {});

} // namespace Ravelin
