#pragma once
// Every tunable of the droplet-image analysis; the JSON keys are the field names.
#include "ravelin_global.h"

namespace Ravelin {

struct RAVELIN_EXPORT AnalysisSettings {
    double PreRecogThreshold = 0.7;
    qint32 MeanGreyvalueRadius = 17;
    qint32 DiscreteRectLength = 100;
    qint32 DiscreteCountThreshold = 13;
    qint32 StandardDeviationThld = 3;
    double SaveResultThld = 1.0;
    bool RandomShuffle = true;
    qint32 BrightestNumber = 40;
    double BrightestSimilarity = 0.2;
    qint32 GreyValueMaskSize = 23;
    qint32 BackgroundUniformAdjustType = 0;
    qint32 DrpltGyslAdjustType = 1;
    qint32 ChannelUsed4DrpltGyslAdjust = 3;
    qint32 CrosstalkAdjustType = 0;
    qint32 RecogExcludeStddevNum = 3;
    double StdDevInfluenceCoefficient = 7.0;
    qint32 DispersionCorrection = 0;
    qint32 SaturatedPixelNum = 1;
    qint32 RemovedMaxMinNum = 2;
    qint32 MedianFilter = 0;
    qint32 MLFeatureType = 0;
};

} // namespace Ravelin
