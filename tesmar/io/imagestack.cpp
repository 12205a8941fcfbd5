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

namespace {

// 8-bit images are taken byte for byte (an indexed image by its indices); anything else is
// converted, so that a matrix over the pixels never reads past a row.
QImage asEightBit(const QImage &image)
{
    if (image.format() == QImage::Format_Grayscale8 || image.format() == QImage::Format_Indexed8)
        return image;
    return image.convertToFormat(QImage::Format_Grayscale8);
}

cv::Mat matOver(const QImage &image)
{
    return cv::Mat(image.height(), image.width(), CV_8UC1, const_cast<uchar *>(image.constBits()),
                   size_t(image.bytesPerLine()));
}

} // namespace

QImage joinImageHalves(const QImage &top, const QImage &bottom)
{
    if (top.isNull() || bottom.isNull() || top.size() != bottom.size())
        return QImage();
    const QImage a = asEightBit(top);
    const QImage b = asEightBit(bottom);
    if (a.isNull() || b.isNull())
        return QImage();
    const cv::Mat joined = stackImageHalves(matOver(a), matOver(b));
    if (joined.empty())
        return QImage();
    QImage out(joined.cols, joined.rows, QImage::Format_Grayscale8);
    if (out.isNull())
        return QImage();
    for (int r = 0; r < joined.rows; ++r)
        std::memcpy(out.scanLine(r), joined.ptr(r), size_t(joined.cols));
    return out;
}
