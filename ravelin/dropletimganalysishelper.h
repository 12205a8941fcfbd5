#pragma once
// The recognition engine: finds the droplets on the reference-channel image of one well by
// template matching a Mexican-hat filtered image, then measures every droplet in every
// channel. One engine serves one well.
#include "analysisrecords.h"
#include "analysissettings.h"
#include "ravelin_global.h"

#include <QCoreApplication>
#include <QByteArray>
#include <QString>
#include <QVector>

#include <opencv2/core.hpp>

#include <random>
#include <vector>

struct RAVELIN_EXPORT DrpltRecogRecord {
    qint32 x = 0;
    qint32 y = 0;
    qint32 size = 0;
    double meanGrey = 0.0;
    qint32 score = 0; // match score times 1000, truncated
    qint32 flags[6] = {0, 0, 0, 0, 0, 0}; // 3 saturated, 4 bright spot
    qint32 greys[6] = {0, 0, 0, 0, 0, 0};
    qint32 measuredGreys[6] = {0, 0, 0, 0, 0, 0};
    qint32 workingGreys[6] = {0, 0, 0, 0, 0, 0};
    bool removed = false;
    bool outlier = false;
};

struct RAVELIN_EXPORT InnerRetDrpltRecogInfo {
    QVector<DrpltRecogRecord> droplets;
    double sharpness[6] = {0, 0, 0, 0, 0, 0};
    qint32 saturatedCounts[6] = {0, 0, 0, 0, 0, 0};
};

class RAVELIN_EXPORT DropletImgAnalysisHelper {
    Q_DECLARE_TR_FUNCTIONS(DropletImgAnalysisHelper)
public:
    DropletImgAnalysisHelper();
    ~DropletImgAnalysisHelper();
    // Copies get their own result holder; the matrices share pixels as OpenCV's do.
    DropletImgAnalysisHelper(const DropletImgAnalysisHelper &other);
    DropletImgAnalysisHelper &operator=(const DropletImgAnalysisHelper &other);

    bool clearData();
    bool setSettings(Ravelin::AnalysisSettings s);
    bool setTemplateModel(const QString &path);
    bool setMexicanhatKernel(const QString &path);
    void setRTreesModelPath(const QString &path);
    void setRemoveDiscreteArea(int mode);
    void alterIsRemoveFakePos(bool on);
    void alterIsTargetsUsedRox(bool on);
    void alterReferenceIndex(int index);
    // Generator of the result-list shuffle, owned by the caller (an analyser keeps its own so
    // that parallel wells share nothing). Without one a generator of the calling thread is used.
    void setShuffleEngine(std::mt19937 *engine);

    bool recogDrplt(const QString &path);
    bool recogDrplt(unsigned width, unsigned height, const void *data, int format);

    // Per-channel measurement of the recognised droplets.
    bool getChannelDrpltGray(int channel, const QString &path);
    bool getChannelDrpltGray(int channel, unsigned width, unsigned height, const void *data, int format);

    QString GetErrString() const;
    InnerRetDrpltRecogInfo *getResultData();
    int getTemplateMarkSize() const;
    WellImageAnalysisInfo getWellAnalysisInfo() const;

    // Mean of the mixed second derivative; -1.0 for an empty image.
    double ImageSharpnessCheck(const cv::Mat &img);
    double ImageSharpnessCheck(int width, int height, void *data, int depth);

    // Trimmed mean grey of the disk of side maskSize around (x, y), on the 16-bit scale.
    double cacluMeanGreyValue(const cv::Mat &img, int maskSize, int x, int y, bool &saturated, bool &brightSpot,
                              int &saturatedPixels);

    // Minimum over the (2 radius + 1) square for every pixel but the outermost ring.
    cv::Mat new_erode(int radius, cv::Mat src);
    // Disk-shaped 8-bit structuring element of side 2 radius - 1.
    cv::Mat diskStrel(int radius);

    // The image the template is matched against (the recognition up to its median and
    // blur), from an 8- or 16-bit source. Uses the current kernel and the template side
    // `templateSide` for the median aperture. False (with an error text) on bad input.
    bool prepareMatchImage(const cv::Mat &src, int templateSide, cv::Mat &out);

    // The score threshold of the largest-gap search over the candidate scores, given in
    // the order the candidates were found (at least 3 of them). lowestScore is the match
    // threshold times 1000: what every candidate reached.
    static int adaptiveScoreThreshold(const std::vector<int> &scoresInFoundOrder, int lowestScore = 200);

    const cv::Mat &getTemplateMark() const { return templateMark; }

private:
    bool commonRecog(const cv::Mat &src);
    bool recogImpl(const cv::Mat &src);
    double getMSSIM(const cv::Mat &a, const cv::Mat &b);
    bool commonGetGrey(int channel, const cv::Mat &img);
    bool greyImpl(int channel, const cv::Mat &img);
    bool toEightBit(const cv::Mat &src, cv::Mat &dst);
    // Blurs A (8-bit) in place and makes the match image of it.
    void matchImageFromEightBit(cv::Mat &A, int templateSide, cv::Mat &out);

    qint32 referenceIndex = 0;
    cv::Mat templateMark;
    cv::Mat mexicanhatKernel;
    bool isRemoveFakePos = false;
    bool isTargetsUsedRox = false;
    InnerRetDrpltRecogInfo *result = nullptr;
    QByteArray templateModelPath;
    QString errString;
    Ravelin::AnalysisSettings settings;
    QString rTreesModelPath;
    qint32 removeDiscreteArea = 0;
    std::mt19937 *shuffleEngine = nullptr;
};
