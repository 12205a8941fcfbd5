#pragma once
// Brightness and contrast of one channel's 8-bit droplet image: a linear grey-level map driven
// by two positions, an automatic histogram stretch and a default min/max stretch. A droplet
// view owns one per channel, so that each channel keeps its positions across wells. The
// manager keeps no image: it is handed the unadjusted image and returns an adjusted copy.
#include <QObject>

#include <opencv2/core.hpp>

#include <memory>

class QCImageProcessManager : public QObject {
    Q_OBJECT
public:
    explicit QCImageProcessManager(QObject *parent = nullptr);
    ~QCImageProcessManager() override;

    // Calibrates on the image when not calibrated, sets the brightness (a contrast never set
    // becomes 0.5) and returns the image mapped with both positions.
    cv::Mat adjustBrightness(const cv::Mat &image, double b);
    // The same with the contrast (a brightness never set becomes 0.5).
    cv::Mat adjustContrast(const cv::Mat &image, double c);
    // The histogram stretch of the image; recalibrates on it and moves both positions to
    // the stretch, so that a later step starts from what is shown.
    cv::Mat autoContrast(const cv::Mat &image);
    // Calibrates when not calibrated, moves both positions to the image's min/max stretch
    // and returns the contrast position (no image: the caller passes it to adjustContrast).
    double defaultContrast(const cv::Mat &image);

    // -1 while never set.
    double brightness() const;
    double contrast() const;

    // The calibration, -1 for both spans until the first one succeeds.
    double contrastSpan() const;
    double brightnessSpan() const;
    double brightnessOffset() const;

    // Every pixel p becomes p * alpha + beta, limited to 0..255 and truncated (NaN gives 0);
    // one table of the 256 levels, one pass over the pixels.
    static void applyLinear(const cv::Mat &src, cv::Mat &dst, double alpha, double beta);

private:
    struct Calibration;
    bool isCalibrated() const;
    // Fills the record from the image; false, and nothing changed, when the image has no
    // mapping: fewer than two qualifying grey levels, no spread, or a span that is 0 or not
    // finite. The doubling loops only ever run on finite, non-zero spans.
    bool calibrate(const cv::Mat &image);
    bool deriveCalibration(const cv::Mat &image, Calibration &out) const;
    cv::Mat mapped(const cv::Mat &image) const;

    struct Private;
    std::unique_ptr<Private> d;
};
