#pragma once
// Background-uniformity strategies, applied to every channel image before recognition: the
// illumination of a well is not flat, so an image is either divided by the instrument's flat
// field or has its slowly varying background removed by morphology.
#include "ravelin_global.h"

#include <QCoreApplication>
#include <QString>
#include <QVector>

#include <opencv2/core.hpp>

namespace Ravelin {

enum BackgrdUniformAdjustStrategy : int {
    NoneBackgrdUniform = 0,
    InstrumentFileBackgrdUniform = 1,
    IntelligenceBackgrdUniform = 2,
};

// What an analyser's preprocessing shares with its background adjuster.
struct RAVELIN_EXPORT PreprocessState {
    QVector<cv::Mat> uniformImages; // flat field per channel index
    qint32 maskSize = 23;           // GreyValueMaskSize of the current run
};

class RAVELIN_EXPORT BackgrdUnifromAdjuster {
    Q_DECLARE_TR_FUNCTIONS(Ravelin::BackgrdUnifromAdjuster)

public:
    // The state is the analyser's and outlives the adjuster.
    explicit BackgrdUnifromAdjuster(const PreprocessState *state);
    virtual ~BackgrdUnifromAdjuster();
    BackgrdUnifromAdjuster(const BackgrdUnifromAdjuster &) = delete;
    BackgrdUnifromAdjuster &operator=(const BackgrdUnifromAdjuster &) = delete;

    // dst arrives as a clone of src. False when the correction could not be made: dst then
    // still holds the uncorrected image and errorString() says why.
    virtual bool adjust(const cv::Mat &src, cv::Mat &dst, int channel) = 0;
    QString errorString() const;

protected:
    const PreprocessState *m_state;
    QString m_error;
};

// No correction: dst shares src's pixels.
class RAVELIN_EXPORT NoneBuaer : public BackgrdUnifromAdjuster {
public:
    using BackgrdUnifromAdjuster::BackgrdUnifromAdjuster;
    bool adjust(const cv::Mat &src, cv::Mat &dst, int channel) override;
};

// Divides by the channel's flat field (single-channel 32-bit float of the image's size),
// capped at the pixel type's maximum. A missing or unfitting flat field leaves the image as
// it is, since dividing by it would read past its pixels.
class RAVELIN_EXPORT InstrumentFileBuaer : public BackgrdUnifromAdjuster {
public:
    using BackgrdUnifromAdjuster::BackgrdUnifromAdjuster;
    ~InstrumentFileBuaer() override;
    bool adjust(const cv::Mat &src, cv::Mat &dst, int channel) override;

private:
    QVector<cv::Mat> m_uniformImages;
};

// Morphological top-hat with a disk of radius GreyValueMaskSize: keeps what is smaller than a
// droplet cluster, drops the slowly varying background.
class RAVELIN_EXPORT IntelligenceBuaer : public BackgrdUnifromAdjuster {
public:
    using BackgrdUnifromAdjuster::BackgrdUnifromAdjuster;
    bool adjust(const cv::Mat &src, cv::Mat &dst, int channel) override;
};

} // namespace Ravelin
