#include "classifystatistic.h"

QVector<quint32> ClassifyStatistic::combinValCal(quint32 n, quint32 k)
{
    QVector<quint32> result;
    if (k > n)
        return result; // no caller asks for this; an empty list ends the recursion
    quint32 num = 1;
    quint32 den = 1;
    for (quint32 j = 0; j < k; ++j) {
        num *= (n - j);
        den *= (k - j);
    }
    result.reserve(int(num / den));
    if (k == 0) {
        result.append(0);
        return result;
    }
    for (quint32 i = 0; i <= n - k; ++i) {
        const QVector<quint32> rest = combinValCal(n - i - 1, k - 1);
        for (quint32 e : rest)
            result.append((2 * e + 1) << i);
    }
    return result;
}

QVector<quint32> ClassifyStatistic::generateFullPermutationVals(quint32 n)
{
    QVector<quint32> result;
    result.reserve(int(1u << n));
    for (quint32 k = 0; k <= n; ++k)
        result.append(combinValCal(n, k));
    return result;
}
