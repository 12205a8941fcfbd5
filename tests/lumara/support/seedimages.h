#pragma once
// Hands prepared channel images to the business layer's analysis engine. Apart from the
// document seeding, whose model records share names with the engine's.
#include "model/welldrpltimginfo.h"

#include <QImage>
#include <QList>

namespace BllTest {

void setPreparedImages(const QList<WellDrpltImgInfo<QImage>> &wells);

} // namespace BllTest
