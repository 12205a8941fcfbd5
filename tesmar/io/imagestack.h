#pragma once
#include "tesmar_global.h"
#include <QImage>
#include <opencv2/core/mat.hpp>

// Stacks two single-channel 8-bit halves of one droplet image: `top` above `bottom`, as
// wide as `top`. An empty input, or a bottom half smaller than the top one, gives an empty image.
TESMAR_EXPORT cv::Mat stackImageHalves(const cv::Mat &top, const cv::Mat &bottom);

// The decoded halves of one channel image joined into one 8-bit grey image, `top` above
// `bottom`. Halves are taken as 8-bit grey (other formats are converted first). A null half,
// or halves of different sizes, give a null image.
TESMAR_EXPORT QImage joinImageHalves(const QImage &top, const QImage &bottom);
