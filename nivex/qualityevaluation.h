#pragma once
#include "nivex_global.h"
#include <QVector>

struct NIVEX_EXPORT DrpltQuality {
    double posMean = 0.0;
    double posCv = 0.0;
    double negMean = 0.0;
    double negCv = 0.0;
    double Rs = -1.0;
    double rain = -1.0;
};

// Grey-value statistics of one channel of a well. Population standard deviation;
// a value equal to the threshold counts as positive.
class NIVEX_EXPORT QualityEvaluation {
public:
    QualityEvaluation() = default;
    QualityEvaluation(const QualityEvaluation &) = default;
    QualityEvaluation &operator=(const QualityEvaluation &) = default;
    QualityEvaluation &operator=(QualityEvaluation &&) = default;

    static double calMean(const QVector<quint32> &values);
    static double calStdev(const QVector<quint32> &values);
    static double calCv(const QVector<quint32> &values);
    static DrpltQuality calDrpltQuality(const QVector<quint32> &greys, quint32 threshold, quint32 k);

    // Building blocks of calDrpltQuality, exported for callers that assemble a record themselves.
    static void calDrpltValue(const QVector<quint32> &values, double &mean, double &cv);
    static void calRainValue(DrpltQuality &quality, const QVector<quint32> &all,
                             const QVector<quint32> &positives, const QVector<quint32> &negatives,
                             quint32 k, quint32 threshold);
    static void calRsValue(DrpltQuality &quality);
};
