#pragma once
// Per-well records of the image analysis: images in, one result record per well out.
#include "drpltimg.h"
#include "ravelin_global.h"

#include <QString>
#include <QVector>

// The images of one well, indexed by channel 0..5: raw buffers or file paths (empty: none).
template <typename T>
using DrpltImgsOnWell = QVector<T>;

struct RAVELIN_EXPORT DropletAnalysisInfo {
    quint32 x = 0;
    quint32 y = 0;
    quint32 maskSize = 0;
    QVector<quint32> measuredGreys = QVector<quint32>(6);
    QVector<quint32> adjustedGreys = QVector<quint32>(6);
    QVector<quint32> compensatedGreys = QVector<quint32>(6);
    QVector<quint32> workingGreys = QVector<quint32>(6);
    QVector<quint32> flags = QVector<quint32>(6); // 3: saturated in that channel
};

struct RAVELIN_EXPORT WellImageAnalysisInfo {
    bool valid = false;
    QVector<qint32> channels; // channel indices with an image, ascending
    QVector<quint32> channelStates = QVector<quint32>(6);
    QVector<DropletAnalysisInfo> droplets;
    QVector<quint32> channelLevels = QVector<quint32>(6);
    QVector<QVector<quint32>> thresholds = QVector<QVector<quint32>>(6, QVector<quint32>(1, 0));
    double sharpness = 0.0;
    quint32 countSum = 0; // saturated droplets over all channels
    QString message;
};
