#include "pages/DropletImage/qcimageprocessmanager.h"

#include <opencv2/core.hpp>

#include <array>
#include <cmath>

namespace {

// A grey level takes part in the stretch when it lies in 1..239 and more than this many
// pixels have it: the black border, saturated droplets and a few stray pixels stay out.
constexpr int MinLevelCount = 151;
constexpr int LowestLevel = 1;
constexpr int HighestLevel = 239;

using Histogram = std::array<quint64, 256>;

bool isGreyImage(const cv::Mat &image)
{
    return !image.empty() && image.type() == CV_8UC1;
}

// Each row read as `cols` bytes from its own start, so views into larger matrices count
// only their own pixels.
Histogram histogramOf(const cv::Mat &image)
{
    Histogram counts{};
    const int cols = image.cols;
    for (int y = 0; y < image.rows; ++y) {
        const uchar *row = image.ptr<uchar>(y);
        for (int x = 0; x < cols; ++x)
            ++counts[row[x]];
    }
    return counts;
}

} // namespace

struct QCImageProcessManager::Calibration {
    double contrastSpan = -1.0;
    double brightnessSpan = -1.0;
    double brightnessOffset = 0.0;
    double autoContrastPosition = 0.0;
    double autoBrightnessPosition = 0.0;
    double autoAlpha = 0.0;
    double autoBeta = 0.0;
};

struct QCImageProcessManager::Private {
    Calibration calibration;
    double contrast = -1.0;
    double brightness = -1.0;
};

QCImageProcessManager::QCImageProcessManager(QObject *parent) : QObject(parent), d(new Private)
{
}

QCImageProcessManager::~QCImageProcessManager() = default;

double QCImageProcessManager::brightness() const
{
    return d->brightness;
}

double QCImageProcessManager::contrast() const
{
    return d->contrast;
}

double QCImageProcessManager::contrastSpan() const
{
    return d->calibration.contrastSpan;
}

double QCImageProcessManager::brightnessSpan() const
{
    return d->calibration.brightnessSpan;
}

double QCImageProcessManager::brightnessOffset() const
{
    return d->calibration.brightnessOffset;
}

bool QCImageProcessManager::isCalibrated() const
{
    return d->calibration.contrastSpan != -1.0 && d->calibration.brightnessSpan != -1.0;
}

void QCImageProcessManager::applyLinear(const cv::Mat &src, cv::Mat &dst, double alpha, double beta)
{
    if (!isGreyImage(src)) {
        dst = src.clone();
        return;
    }
    cv::Mat table(1, 256, CV_8U);
    uchar *entry = table.ptr<uchar>(0);
    for (int p = 0; p < 256; ++p) {
        double v = double(p) * alpha + beta;
        if (v > 255.0)
            v = 255.0;
        if (!(v >= 0.0)) // below 0, or NaN
            v = 0.0;
        entry[p] = uchar(v);
    }
    // A fresh matrix: dst may share its pixels with src or with a caller's image.
    cv::Mat out(src.size(), src.type());
    cv::LUT(src, table, out);
    dst = out;
}

bool QCImageProcessManager::deriveCalibration(const cv::Mat &image, Calibration &out) const
{
    if (!isGreyImage(image))
        return false;
    const Histogram counts = histogramOf(image);

    int first = -1;
    int last = -1;
    for (int level = LowestLevel; level <= HighestLevel; ++level) {
        if (counts[size_t(level)] >= quint64(MinLevelCount)) {
            if (first < 0)
                first = level;
            last = level;
        }
    }
    // One qualifying level would stretch by 255 / 0.
    if (first < 0 || last <= first)
        return false;

    int min = 0;
    while (min < 255 && counts[size_t(min)] == 0)
        ++min;
    int max = 255;
    while (max > 0 && counts[size_t(max)] == 0)
        --max;
    if (max <= min)
        return false;

    Calibration c;
    c.autoAlpha = 255.0 / double(last - first);
    c.autoBeta = -c.autoAlpha * double(first);
    const double k = 255.0 / double(max - min);
    c.brightnessOffset = -(double(max - min) * 0.5 * k);
    c.brightnessSpan = 2.0 * (-k * double(min) - c.brightnessOffset);
    c.contrastSpan = 2.0 * k;
    // A background at a third of the maximum gives a brightness span of 0: no position
    // reaches another brightness, and the doubling below would never end.
    if (!std::isfinite(c.brightnessSpan) || c.brightnessSpan == 0.0 || !std::isfinite(c.contrastSpan)
        || c.contrastSpan == 0.0)
        return false;

    // Both quotients are finite here, and each doubling halves them.
    while (c.autoAlpha / c.contrastSpan >= 1.0)
        c.contrastSpan *= 2.0;
    c.autoContrastPosition = c.autoAlpha / c.contrastSpan;
    while ((c.autoBeta - c.brightnessOffset) / c.brightnessSpan >= 1.0)
        c.brightnessSpan *= 2.0;
    c.autoBrightnessPosition = (c.autoBeta - c.brightnessOffset) / c.brightnessSpan;
    out = c;
    return true;
}

bool QCImageProcessManager::calibrate(const cv::Mat &image)
{
    Calibration c;
    if (!deriveCalibration(image, c))
        return false;
    d->calibration = c;
    return true;
}

cv::Mat QCImageProcessManager::mapped(const cv::Mat &image) const
{
    const Calibration &c = d->calibration;
    cv::Mat out;
    applyLinear(image, out, d->contrast * c.contrastSpan, d->brightness * c.brightnessSpan + c.brightnessOffset);
    return out;
}

cv::Mat QCImageProcessManager::adjustBrightness(const cv::Mat &image, double b)
{
    if (!isCalibrated() && !calibrate(image))
        return image.clone();
    d->brightness = b;
    if (d->contrast == -1.0)
        d->contrast = 0.5;
    return mapped(image);
}

cv::Mat QCImageProcessManager::adjustContrast(const cv::Mat &image, double c)
{
    if (!isCalibrated() && !calibrate(image))
        return image.clone();
    d->contrast = c;
    if (d->brightness == -1.0)
        d->brightness = 0.5;
    return mapped(image);
}

cv::Mat QCImageProcessManager::autoContrast(const cv::Mat &image)
{
    Calibration c;
    if (!deriveCalibration(image, c))
        return image.clone();
    cv::Mat out;
    applyLinear(image, out, c.autoAlpha, c.autoBeta);
    d->calibration = c;
    d->contrast = c.autoContrastPosition;
    d->brightness = c.autoBrightnessPosition;
    return out;
}

double QCImageProcessManager::defaultContrast(const cv::Mat &image)
{
    if (!isCalibrated() && !calibrate(image))
        return d->contrast;
    if (!isGreyImage(image))
        return d->contrast;
    double min = 0.0;
    double max = 0.0;
    cv::minMaxLoc(image, &min, &max);
    if (max <= min)
        return d->contrast;
    const Calibration &c = d->calibration;
    const double k = 255.0 / (max - min);
    const double contrast = k / c.contrastSpan;
    const double brightness = (-k * min - c.brightnessOffset) / c.brightnessSpan;
    if (!std::isfinite(contrast) || !std::isfinite(brightness))
        return d->contrast;
    d->contrast = contrast;
    d->brightness = brightness;
    return contrast;
}
