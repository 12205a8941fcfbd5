#pragma once
#include "nivex_global.h"

struct NIVEX_EXPORT DropletConcentration {
    double concentration = 0.0;
    double lower = 0.0;
    double upper = 0.0;
};

// Poisson concentration of one well with its 95 % bounds. No clamping: degenerate
// input (no droplets, all positive) yields IEEE infinities or NaN for callers to test.
class NIVEX_EXPORT QuantitativeAnalysis {
public:
    QuantitativeAnalysis() = default;
    QuantitativeAnalysis(const QuantitativeAnalysis &) = default;
    QuantitativeAnalysis &operator=(const QuantitativeAnalysis &) = default;
    QuantitativeAnalysis &operator=(QuantitativeAnalysis &&) = default;

    static DropletConcentration calConcentration(quint32 positives, quint32 total, quint32 volume,
                                                 double dilution);
    static double relativeUncertainty(const DropletConcentration &c);
};
