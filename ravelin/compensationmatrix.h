#pragma once
// Spill-over between the six channels with the negative-droplet background of each channel.
#include "ravelin_global.h"

struct RAVELIN_EXPORT CompensationMatrix {
    CompensationMatrix();

    // matrix[r][c]: share of the signal of channel r's dye that shows in channel c.
    double matrix[6][6];
    double negativeBackground[6];
};
