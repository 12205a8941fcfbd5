#pragma once
// The droplet views' one way from the business layer's channel image to the 8-bit grey
// matrix they show and adjust.
#include "drpltimg.h"

#include <opencv2/core.hpp>

// An 8-bit, one-channel copy of the image: 16-bit pixels divided by 256, rounded to the
// nearest value with ties to even and saturated; 8-bit pixels copied. Rows are read packed,
// `width` pixels each. An empty matrix when there are no pixels or the type is unknown. The
// copy is made at once: the source pixels may go with the next preprocessing.
cv::Mat drpltImgToMat(const DrpltImg &image);
