#pragma once
// The droplet images of one well, one per channel (entry channel - 1), either as decoded
// images (QImage) or as raw views handed to the image-analysis library (DrpltImg).
#include "drpltimg.h"

#include <QVector>
#include <QtGlobal>

template <typename T>
struct WellDrpltImgInfo {
    quint32 wellId = 0;
    quint32 refChanId = 0; // 1..6
    QVector<T> images;     // may hold fewer than six entries; a missing image is null
};
