#pragma once
#include "tesmar_global.h"
#include <opencv2/core/mat.hpp>

// Stacks two single-channel 8-bit halves of one droplet image: `top` above `bottom`, as
// wide as `top`. An empty input, or a bottom half smaller than the top one, gives an empty image.
TESMAR_EXPORT cv::Mat stackImageHalves(const cv::Mat &top, const cv::Mat &bottom);
