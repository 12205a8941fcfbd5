#pragma once
// Droplet grey adjusters, run on the measured greys after recognition: they normalise each
// droplet's other channels by its brightness in the reference channel.
#include "analysisrecords.h"
#include "ravelin_global.h"

namespace Ravelin {

enum DrpltGyslAdjustStrategy : int {
    NoneDrpltGysl = 0,
    SettingChanDrpltGysl = 1,
    IntelligenceDrpltGysl = 2,
};

class RAVELIN_EXPORT DrpltGyslAdjuster {
public:
    virtual ~DrpltGyslAdjuster();
    virtual bool adjust(WellImageAnalysisInfo &info, int referenceChannel) = 0;
};

class RAVELIN_EXPORT NoneDgaer : public DrpltGyslAdjuster {
public:
    bool adjust(WellImageAnalysisInfo &info, int referenceChannel) override;
};

// Every other channel of a droplet becomes meanRef * grey / reference grey (capped at
// 65535), so a droplet brighter than average in the reference channel is scaled down and a
// dimmer one up. A droplet without reference signal keeps its values.
class RAVELIN_EXPORT SettingChanDgaer : public DrpltGyslAdjuster {
public:
    bool adjust(WellImageAnalysisInfo &info, int referenceChannel) override;
};

// Reserved strategy: leaves the greys as they are.
class RAVELIN_EXPORT IntelligenceDgaer : public DrpltGyslAdjuster {
public:
    bool adjust(WellImageAnalysisInfo &info, int referenceChannel) override;
};

} // namespace Ravelin
