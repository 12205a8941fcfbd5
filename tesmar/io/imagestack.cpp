#include "imagestack.h"
#include <cstring>

cv::Mat stackImageHalves(const cv::Mat &top, const cv::Mat &bottom)
{
    if (top.empty() || bottom.empty())
        return cv::Mat();
    if (top.type() != CV_8UC1 || bottom.type() != CV_8UC1)
        return cv::Mat();
    if (bottom.rows < top.rows || bottom.cols < top.cols)
        return cv::Mat();
    cv::Mat out = cv::Mat::zeros(top.rows * 2, top.cols, CV_8UC1);
    for (int r = 0; r < top.rows; ++r)
        std::memcpy(out.ptr(r), top.ptr(r), size_t(top.cols));
    for (int r = 0; r < top.rows; ++r)
        std::memcpy(out.ptr(top.rows + r), bottom.ptr(r), size_t(top.cols));
    return out;
}
