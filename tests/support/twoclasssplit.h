#pragma once
// The two-class threshold of one channel as the clustering gave it before it told one group
// from two: one-dimensional k-means from the smallest and the largest value, run until neither
// centroid moves, and the threshold halfway between the top of the dim class and the bottom of
// the bright one (values beyond 16 bits count as full scale). Written apart from the analysis
// library, so that tests can hold the clustering of wells with positives to it.
#include <QVector>

namespace LumaraTest {

// False (threshold 0) for fewer than three values or values that are all equal.
bool splitThreshold(const QVector<uint> &greys, double *threshold);

} // namespace LumaraTest
