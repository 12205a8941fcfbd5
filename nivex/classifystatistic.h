#pragma once
#include "nivex_global.h"
#include <QVector>

// Channel-combination masks ordered by number of set bits, then lowest set bit first.
class NIVEX_EXPORT ClassifyStatistic {
public:
    ClassifyStatistic() = default;
    ClassifyStatistic(const ClassifyStatistic &) = default;
    ClassifyStatistic &operator=(const ClassifyStatistic &) = default;
    ClassifyStatistic &operator=(ClassifyStatistic &&) = default;

    static QVector<quint32> combinValCal(quint32 n, quint32 k);
    static QVector<quint32> generateFullPermutationVals(quint32 n);
};
