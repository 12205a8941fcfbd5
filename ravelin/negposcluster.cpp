#include "negposcluster.h"

#include "clusterhandle.h"

namespace Ravelin {

namespace {

const int kChannels = 6;
const quint32 kSaturatedFlag = 3;

} // namespace

bool isSaturated(const QVector<quint32> &flags)
{
    return flags.contains(kSaturatedFlag);
}

bool clusterWellThresholds(WellImageAnalysisInfo *info, qint32 saturatedPixelNum, QString *infoMessage)
{
    if (!info)
        return false;
    if (info->valid) {
        ClusterHandle handle;
        for (qint32 ch : qAsConst(info->channels)) {
            if (ch < 0 || ch >= kChannels)
                continue; // no such channel image, nothing to threshold
            QVector<uint> values, before;
            values.reserve(info->droplets.size());
            int leftOut = 0; // saturated droplets (and any without this channel)
            bool compensated = false, adjusted = false;
            for (const DropletAnalysisInfo &drop : qAsConst(info->droplets)) {
                if (isSaturated(drop.flags) || ch >= drop.workingGreys.size()) {
                    ++leftOut;
                    continue;
                }
                values.append(drop.workingGreys[ch]);
                compensated = compensated || drop.compensatedGreys.value(ch) != 0;
                adjusted = adjusted || drop.adjustedGreys.value(ch) != 0;
            }
            // A compensated channel is clustered with each grey before the compensation (the
            // adjusted one, or the measured one where no adjustment ran), which tells the
            // droplets an over-strong coefficient pushed down.
            if (compensated) {
                before.reserve(values.size());
                for (const DropletAnalysisInfo &drop : qAsConst(info->droplets))
                    if (!isSaturated(drop.flags) && ch < drop.workingGreys.size())
                        before.append(adjusted ? drop.adjustedGreys.value(ch) : drop.measuredGreys.value(ch));
            }

            handle.clearErrString();
            double threshold = 0;
            if (!handle.clusterDrpltGray(values, threshold, before)) {
                info->message += handle.getErrString();
                if (infoMessage)
                    *infoMessage = QStringLiteral("ImageInfo: cluster_completed:%1,cluster Number:%2,"
                                                  "nSaturatedPixelNum:%3,Saturated_number:%4")
                                       .arg(0)
                                       .arg(values.size())
                                       .arg(saturatedPixelNum)
                                       .arg(leftOut);
                return false;
            }
            if (info->thresholds.size() < kChannels)
                info->thresholds.resize(kChannels);
            QVector<quint32> &slot = info->thresholds[ch];
            if (slot.isEmpty())
                slot.append(0);
            slot[0] = quint32(threshold);
        }
        info->valid = true;
    }
    if (infoMessage)
        *infoMessage = QStringLiteral("ImageInfo: negPosCluster_completed:%1,negPosCluster_DrpltRecog Number:%2")
                           .arg(info->valid ? 1 : 0)
                           .arg(info->droplets.size());
    return true;
}

bool clusterGreyTable(const QVector<QVector<uint>> &greys, QVector<QVector<uint>> &thresholds,
                      const QVector<QVector<uint>> &before)
{
    thresholds = QVector<QVector<uint>>(kChannels, QVector<uint>(1, 0));
    ClusterHandle handle;
    const bool withBefore = before.size() == greys.size();
    for (int c = 0; c < kChannels; ++c) {
        QVector<uint> column, columnBefore;
        column.reserve(greys.size());
        bool anyNonZero = false;
        for (int i = 0; i < greys.size(); ++i) {
            const QVector<uint> &row = greys.at(i);
            if (c >= row.size())
                continue; // a short row has no value for this channel
            column.append(row[c]);
            if (withBefore)
                columnBefore.append(before.at(i).value(c, row[c]));
            anyNonZero = anyNonZero || row[c] != 0;
        }
        if (!anyNonZero)
            continue;
        handle.clearErrString();
        double threshold = 0;
        if (handle.clusterDrpltGray(column, threshold, columnBefore))
            thresholds[c] = QVector<uint>(1, uint(threshold));
    }
    return true;
}

} // namespace Ravelin
