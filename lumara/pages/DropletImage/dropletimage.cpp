#include "pages/DropletImage/dropletimage.h"

cv::Mat drpltImgToMat(const DrpltImg &image)
{
    if (!image.data || image.width <= 0 || image.height <= 0)
        return cv::Mat();
    void *pixels = const_cast<void *>(image.data); // only read: the wrap below is never written
    if (image.type == 0)
        return cv::Mat(image.height, image.width, CV_8UC1, pixels).clone();
    if (image.type != 1)
        return cv::Mat();
    cv::Mat out;
    cv::Mat(image.height, image.width, CV_16UC1, pixels).convertTo(out, CV_8U, 1.0 / 256.0);
    return out;
}
