#include "qualityevaluation.h"
#include <cmath>

double QualityEvaluation::calMean(const QVector<quint32> &values)
{
    if (values.isEmpty())
        return 0.0;
    double sum = 0.0;
    for (quint32 v : values)
        sum += double(v);
    return sum / double(int(values.size()));
}

double QualityEvaluation::calStdev(const QVector<quint32> &values)
{
    if (values.isEmpty())
        return 0.0;
    const double n = double(int(values.size()));
    const double m = calMean(values);
    QVector<double> d;
    d.reserve(values.size());
    for (quint32 v : values)
        d.append(double(v) - m);
    double s = 0.0;
    for (double x : d)
        s += x * x;
    return std::sqrt(s / n);
}

double QualityEvaluation::calCv(const QVector<quint32> &values)
{
    if (values.isEmpty())
        return 0.0;
    return calStdev(values) / calMean(values);
}

void QualityEvaluation::calDrpltValue(const QVector<quint32> &values, double &mean, double &cv)
{
    if (values.isEmpty())
        return;
    mean = calMean(values);
    if (mean != 0.0)
        cv = calStdev(values) / mean;
}

void QualityEvaluation::calRainValue(DrpltQuality &quality, const QVector<quint32> &all,
                                     const QVector<quint32> &positives,
                                     const QVector<quint32> &negatives, quint32 k,
                                     quint32 threshold)
{
    if (positives.isEmpty() || negatives.isEmpty())
        return;
    const double kd = double(k);
    const double lo = calStdev(negatives) * kd + quality.negMean;
    const double hi = quality.posMean - calStdev(positives) * kd;
    if (lo >= hi)
        return;
    // The band walk reads values as signed 32-bit numbers.
    const qint32 t = qint32(threshold);
    int nRain = 0;
    int nNeg = int(negatives.size());
    for (quint32 raw : all) {
        const qint32 v = qint32(raw);
        const double dv = double(v);
        if (lo <= dv && dv <= hi) {
            ++nRain;
            if (v < t)
                --nNeg;
        }
    }
    // Every negative inside the band leaves no negative to divide by: rain stays undefined.
    if (nNeg <= 0)
        return;
    const double nTotal = double(int(all.size()));
    quality.rain = std::log(double(nRain) / double(nNeg) + 1.0) / std::log(nTotal / double(nNeg));
}

void QualityEvaluation::calRsValue(DrpltQuality &quality)
{
    const double s = quality.posCv + quality.negCv;
    if (s != 0.0 && quality.negMean < quality.posMean)
        quality.Rs = (quality.posMean - quality.negMean) / s;
}

DrpltQuality QualityEvaluation::calDrpltQuality(const QVector<quint32> &greys, quint32 threshold,
                                                quint32 k)
{
    DrpltQuality q;
    if (greys.isEmpty())
        return q;
    QVector<quint32> negatives;
    QVector<quint32> positives;
    for (quint32 v : greys) {
        if (v < threshold)
            negatives.append(v);
        else
            positives.append(v);
    }
    calDrpltValue(negatives, q.negMean, q.negCv);
    calDrpltValue(positives, q.posMean, q.posCv);
    calRainValue(q, greys, positives, negatives, k, threshold);
    calRsValue(q);
    return q;
}
