#include "drpltgysladjuster.h"

namespace Ravelin {

namespace {

const int kChannels = 6;

} // namespace

DrpltGyslAdjuster::~DrpltGyslAdjuster() = default;

bool NoneDgaer::adjust(WellImageAnalysisInfo &, int)
{
    return true;
}

bool SettingChanDgaer::adjust(WellImageAnalysisInfo &info, int ref)
{
    const int n = info.droplets.size();
    if (n == 0 || ref < 0 || ref >= kChannels)
        return true;
    // A record from outside may carry short vectors; such droplets are left alone.
    auto usable = [](const DropletAnalysisInfo &d) {
        return d.workingGreys.size() >= kChannels && d.adjustedGreys.size() >= kChannels;
    };

    quint64 refSum = 0;
    for (const DropletAnalysisInfo &d : qAsConst(info.droplets))
        refSum += usable(d) ? d.workingGreys[ref] : 0;
    const quint64 meanRef = refSum / quint64(n);

    for (DropletAnalysisInfo &d : info.droplets) {
        if (!usable(d))
            continue;
        const quint32 g = d.workingGreys[ref];
        d.adjustedGreys[ref] = g;
        for (int ch = 0; ch < kChannels; ++ch) {
            if (ch == ref)
                continue;
            quint32 v = d.workingGreys[ch];
            if (g != 0) {
                const double ratio = double(d.workingGreys[ch]) / double(g);
                const double scaled = double(meanRef) * ratio;
                v = scaled >= 65535.0 ? 65535u : quint32(scaled);
            }
            d.workingGreys[ch] = v;
            d.adjustedGreys[ch] = v;
        }
    }
    return true;
}

bool IntelligenceDgaer::adjust(WellImageAnalysisInfo &, int)
{
    return true;
}

} // namespace Ravelin
