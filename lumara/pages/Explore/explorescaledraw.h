#pragma once
// Tick labels of the explore dot plots: plain numbers in a small dark font that does not
// follow the interface scale; the y axis turns its labels by 45 degrees.
#include "quorinscaledraw.h"

class ExploreScaleDraw : public QuorinScaleDraw {
public:
    explicit ExploreScaleDraw(bool rotated = false);

    QwtText label(double value) const override;
};
