#pragma once
// Two-class split of one channel's droplet greys by one-dimensional k-means.
#include "ravelin_global.h"

#include <QCoreApplication>
#include <QString>
#include <QVector>

#include <cstdint>
#include <vector>

struct Cluster {
    std::vector<double> centroid;
    std::vector<double> previousCentroid;
    std::vector<uint32_t> members; // indices into the clustered points
};

class RAVELIN_EXPORT ClusterHandle {
    Q_DECLARE_TR_FUNCTIONS(ClusterHandle)

public:
    ClusterHandle();
    ClusterHandle(const ClusterHandle &other);
    ClusterHandle(ClusterHandle &&other) noexcept;
    ClusterHandle &operator=(const ClusterHandle &other);
    ClusterHandle &operator=(ClusterHandle &&other) noexcept;
    ~ClusterHandle();

    // Threshold halfway between the top of the dim class and the bottom of the bright one.
    // Where the two classes are one group instead (see separationDeviations), the threshold
    // lies above the whole group, so that none of its droplets counts as positive.
    // Fails for fewer than three values and for values that are all equal.
    bool clusterDrpltGray(const QVector<uint> &greys, double &threshold);
    QString getErrString() const;
    void clearErrString();

    // The half-width, in standard deviations, of the band each class covers around its mean
    // (the analysis settings' StandardDeviationThld). The split is taken as two groups only
    // where the two bands stay apart. 0 or less: every split into classes of different means
    // is taken as two groups.
    void setSeparationDeviations(double deviations);
    double separationDeviations() const;

private:
    std::vector<Cluster> k_means(const std::vector<std::vector<double>> &points, unsigned int k);
    double cal_distance(const std::vector<double> &a, const std::vector<double> &b);

    QString errString;
    double deviations;
};
