#include "crosstalkadjuster.h"

#include "spillovercompensation.h"

namespace Ravelin {

CrosstalkAdjuster::~CrosstalkAdjuster() = default;

bool NoneCaer::adjust(WellImageAnalysisInfo &)
{
    return true;
}

CompensationMatrixCaer::CompensationMatrixCaer(SpilloverCompensation *owner) : m_owner(owner) {}

bool CompensationMatrixCaer::adjust(WellImageAnalysisInfo &info)
{
    if (m_owner)
        m_owner->applyCompensationMatrix(info);
    return true;
}

bool IntelligenceCaer::adjust(WellImageAnalysisInfo &)
{
    return true;
}

} // namespace Ravelin
