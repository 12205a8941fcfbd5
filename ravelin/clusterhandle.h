#pragma once
// The automatic threshold of one channel's droplet greys: a two-class split by one-dimensional
// k-means, kept where the droplets show two groups that it separates, and otherwise replaced by
// what the shape of the values says (GreyGroups).
#include "ravelin_global.h"

#include <QCoreApplication>
#include <QString>
#include <QVector>

#include <cstdint>
#include <vector>

class RAVELIN_EXPORT ClusterHandle {
    Q_DECLARE_TR_FUNCTIONS(ClusterHandle)

public:
    ClusterHandle();
    ClusterHandle(const ClusterHandle &other);
    ClusterHandle(ClusterHandle &&other) noexcept;
    ClusterHandle &operator=(const ClusterHandle &other);
    ClusterHandle &operator=(ClusterHandle &&other) noexcept;
    ~ClusterHandle();

    // The threshold between negatives and positives; a value at or above it is positive. Where
    // the values form one group, it lies above that group. Fails for fewer than three values
    // and for values that are all equal. before: each value's grey before a spill-over
    // compensation, in the same order, at any common scale (empty where none was applied);
    // droplets the compensation pushed below the others then count as negatives.
    bool clusterDrpltGray(const QVector<uint> &greys, double &threshold, const QVector<uint> &before = {});
    // The two-class split alone: halfway between the top of the dim class and the bottom of the
    // bright one. The same failures.
    bool splitDrpltGray(const QVector<uint> &greys, double &threshold);
    QString getErrString() const;
    void clearErrString();

private:
    // Two classes of ascending values: the index of the first value of the upper class, or -1
    // when all values are equal.
    std::ptrdiff_t k_means(const std::vector<quint32> &sorted);
    static double cal_distance(double a, double b);
    // Ascending, with each value's grey before the compensation beside it where given.
    bool sortedGreys(const QVector<uint> &greys, std::vector<quint32> *sorted, const QVector<uint> &before = {},
                     std::vector<quint32> *sortedBefore = nullptr);
    static double splitOf(const std::vector<quint32> &sorted, std::ptrdiff_t upper);

    QString errString;
};
