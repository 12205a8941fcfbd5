#include "backgrduniformadjuster.h"

#include "dropletimganalysishelper.h"

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <new>

namespace Ravelin {

namespace {

// q = src / u, capped at `cap`, truncated. A zero flat-field pixel gives the cap for a lit
// pixel and 0 for a dark one; a negative or undefined quotient gives 0.
template <typename T>
void divideRows(const cv::Mat &src, const cv::Mat &u, cv::Mat &dst, double cap)
{
    for (int y = 0; y < src.rows; ++y) {
        const T *s = src.ptr<T>(y);
        const float *f = u.ptr<float>(y);
        T *d = dst.ptr<T>(y);
        for (int x = 0; x < src.cols; ++x) {
            const double v = s[x];
            double q;
            if (f[x] == 0.0f)
                q = v > 0.0 ? cap : 0.0;
            else
                q = v / double(f[x]);
            if (!(q > 0.0))
                q = 0.0;
            else if (q > cap)
                q = cap;
            d[x] = T(q);
        }
    }
}

} // namespace

BackgrdUnifromAdjuster::BackgrdUnifromAdjuster(const PreprocessState *state) : m_state(state) {}

BackgrdUnifromAdjuster::~BackgrdUnifromAdjuster() = default;

QString BackgrdUnifromAdjuster::errorString() const
{
    return m_error;
}

bool NoneBuaer::adjust(const cv::Mat &src, cv::Mat &dst, int)
{
    dst = src;
    return true;
}

InstrumentFileBuaer::~InstrumentFileBuaer()
{
    m_uniformImages.clear();
}

bool InstrumentFileBuaer::adjust(const cv::Mat &src, cv::Mat &dst, int channel)
{
    m_error.clear();
    if (m_state)
        m_uniformImages = m_state->uniformImages;
    if (src.type() != CV_8UC1 && src.type() != CV_16UC1)
        return true; // nothing this strategy knows how to divide; dst stays the clone
    if (channel < 0 || channel >= m_uniformImages.size() || m_uniformImages[channel].empty()) {
        m_error = tr("No uniform image for channel %1; the image is left uncorrected.\n").arg(channel);
        return false;
    }
    const cv::Mat &u = m_uniformImages[channel];
    if (u.type() != CV_32FC1) {
        m_error = tr("The uniform image of channel %1 is not a single-channel 32-bit float image; "
                     "the image is left uncorrected.\n")
                      .arg(channel);
        return false;
    }
    if (u.size() != src.size()) {
        m_error = tr("The uniform image of channel %1 is %2 x %3 pixels, the image %4 x %5; "
                     "the image is left uncorrected.\n")
                      .arg(channel)
                      .arg(u.cols)
                      .arg(u.rows)
                      .arg(src.cols)
                      .arg(src.rows);
        return false;
    }
    if (dst.size() != src.size() || dst.type() != src.type())
        dst.create(src.size(), src.type());
    if (src.depth() == CV_16U)
        divideRows<ushort>(src, u, dst, 65535.0);
    else
        divideRows<uchar>(src, u, dst, 255.0);
    return true;
}

bool IntelligenceBuaer::adjust(const cv::Mat &src, cv::Mat &dst, int)
{
    m_error.clear();
    const int radius = m_state ? m_state->maskSize : 23;
    try {
        cv::Mat element;
        {
            DropletImgAnalysisHelper engine;
            element = engine.diskStrel(radius);
        }
        if (element.empty()) {
            m_error = tr("GreyValueMaskSize %1 gives no structuring element; the image is left uncorrected.\n")
                          .arg(radius);
            return false;
        }
        cv::morphologyEx(src, dst, cv::MORPH_TOPHAT, element, cv::Point(-1, -1), 1);
    } catch (const cv::Exception &e) {
        dst = src.clone();
        m_error = tr("Background removal failed: %1\n").arg(QString::fromUtf8(e.what()));
        return false;
    } catch (const std::bad_alloc &) {
        dst = src.clone();
        m_error = tr("Out of memory.\n");
        return false;
    }
    return true;
}

} // namespace Ravelin
