#include "quantitativeanalysis.h"
#include <cmath>

DropletConcentration QuantitativeAnalysis::calConcentration(quint32 positives, quint32 total,
                                                            quint32 volume, double dilution)
{
    // Operation order matters for bit-exact results; keep it as written.
    DropletConcentration r;
    const double p = double(positives) / double(total);
    r.concentration = (-std::log(1.0 - p)) * 1e6 * dilution / double(volume);
    const double sigma = std::sqrt(p * (1.0 - p) / double(total));
    const double f = 1.96 * sigma;
    const double c = -(dilution * 1e6 / double(volume));
    r.upper = std::log(1.0 - (f + p)) * c;
    r.lower = std::log(1.0 - (p - f)) * c;
    return r;
}

double QuantitativeAnalysis::relativeUncertainty(const DropletConcentration &c)
{
    return (c.upper - c.lower) / (c.concentration + c.concentration);
}
