#pragma once
// Crosstalk strategies applied to a well's droplet greys after grey adjustment.
#include "analysisrecords.h"
#include "ravelin_global.h"

namespace Ravelin {

class SpilloverCompensation;

// The underlying type is fixed so that any setting value converts without leaving the type.
enum CrosstalkAdjustStrategy : int {
    NoneCrosstalk = 0,
    CompensationMatrixCrosstalk = 1,
    IntelligenceCrosstalk = 2,
};

class RAVELIN_EXPORT CrosstalkAdjuster {
public:
    virtual ~CrosstalkAdjuster();
    virtual bool adjust(WellImageAnalysisInfo &info) = 0;
};

class RAVELIN_EXPORT NoneCaer : public CrosstalkAdjuster {
public:
    bool adjust(WellImageAnalysisInfo &info) override;
};

// Applies the matrix held by the compensation object that created it.
class RAVELIN_EXPORT CompensationMatrixCaer : public CrosstalkAdjuster {
public:
    explicit CompensationMatrixCaer(SpilloverCompensation *owner);
    bool adjust(WellImageAnalysisInfo &info) override;

private:
    SpilloverCompensation *m_owner;
};

// Reserved strategy: leaves the greys as they are.
class RAVELIN_EXPORT IntelligenceCaer : public CrosstalkAdjuster {
public:
    bool adjust(WellImageAnalysisInfo &info) override;
};

} // namespace Ravelin
