#include "seedimages.h"

#include "bll/bllinstance.h"
#include "bll/reanalysis.h"

namespace BllTest {

void setPreparedImages(const QList<WellDrpltImgInfo<QImage>> &wells)
{
    BLLInstance::getInstance()->getReAnalysis()->setPreparedImages(wells);
}

} // namespace BllTest
