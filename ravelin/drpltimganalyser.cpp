#include "drpltimganalyser.h"

#include "backgrduniformadjuster.h"
#include "dropletimganalysishelper.h"
#include "drpltgysladjuster.h"
#include "ml_classifymodel.h"
#include "negposcluster.h"
#include "settings.h"
#include "spillovercompensation.h"

#include <QDebug>
#include <QFileInfo>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <random>

namespace Ravelin {

namespace {

const int kChannels = 6;
// Every recognition reshuffles from the same start, so a well's result does not depend on
// which analyser, thread or earlier wells it met.
const std::mt19937::result_type kShuffleSeed = 20240611u;

std::string localPath(const QString &path)
{
    return path.toUtf8().toStdString();
}

cv::Mat readImage(const QString &path, int flags = cv::IMREAD_UNCHANGED)
{
    if (path.isEmpty())
        return cv::Mat();
    try {
        return cv::imread(localPath(path), flags);
    } catch (const cv::Exception &) {
        return cv::Mat();
    }
}

bool writeImage(const QString &path, const cv::Mat &img)
{
    if (path.isEmpty())
        return false;
    try {
        return cv::imwrite(localPath(path), img);
    } catch (const cv::Exception &) {
        return false;
    }
}

bool rawTypeKnown(const DrpltImg &img)
{
    return img.type == 0 || img.type == 1;
}

bool hasImage(const DrpltImg &img)
{
    return img.data && rawTypeKnown(img) && img.width > 0 && img.height > 0;
}

bool hasImage(const QString &path)
{
    return !path.isEmpty();
}

// Why the reference entry cannot be recognised on; empty when it can.
QString referenceProblem(const DrpltImg &img, int channel)
{
    if (!img.data || img.width <= 0 || img.height <= 0)
        return DrpltImgAnalyser::tr("The reference channel %1 has no image.\n").arg(channel);
    if (!rawTypeKnown(img))
        return DrpltImgAnalyser::tr("The reference channel %1 image has the unknown pixel type %2.\n")
            .arg(channel)
            .arg(img.type);
    return QString();
}

QString referenceProblem(const QString &path, int channel)
{
    return path.isEmpty() ? DrpltImgAnalyser::tr("The reference channel %1 has no image.\n").arg(channel) : QString();
}

QString describe(const QString &path)
{
    return path;
}

QString describe(const DrpltImg &)
{
    return DrpltImgAnalyser::tr("The raw image");
}

// A view on the caller's pixels; never written through.
cv::Mat wrap(const DrpltImg &img)
{
    return cv::Mat(img.height, img.width, img.type == 1 ? CV_16UC1 : CV_8UC1, const_cast<void *>(img.data));
}

} // namespace

class DrpltImgAnalyserPrivate {
public:
    explicit DrpltImgAnalyserPrivate(DrpltImgAnalyser *q)
        : q(q), settings(new Settings), compensation(new SpilloverCompensation)
    {
    }

    ~DrpltImgAnalyserPrivate()
    {
        delete greyAdjuster;
        delete settings;
        delete compensation;
        delete backgroundAdjuster;
        preprocessing.uniformImages.clear();
    }

    void setBackgroundStrategy(int value);

    // Template, kernel and (when fake positives are removed) model, checked before the
    // recognition so that a missing file fails the well with a text that names it.
    bool checkAssets(const AnalysisSettings &s);

    template <typename Image>
    bool recognise(const DrpltImgsOnWell<Image> &imgs, int refChannel, WellImageAnalysisInfo *info);

    template <typename In, typename Out>
    bool preprocess(const DrpltImgsOnWell<In> &in, DrpltImgsOnWell<Out> &out);

    // Loads channel image i of the input: 1 loaded, 0 no image there, -1 unreadable.
    int load(const DrpltImg &img, cv::Mat &m);
    int load(const QString &path, cv::Mat &m);
    bool store(const cv::Mat &m, DrpltImg &out);
    bool store(const cv::Mat &m, const QString &out);
    // Where preprocessing writes its result: for a raw output, a buffer of the output's own that
    // is handed over as it is when the result lands in it; otherwise a copy of the input.
    cv::Mat target(const cv::Mat &src, const DrpltImg &out, std::unique_ptr<unsigned char[]> &buffer);
    cv::Mat target(const cv::Mat &src, const QString &out, std::unique_ptr<unsigned char[]> &buffer);
    bool store(const cv::Mat &m, std::unique_ptr<unsigned char[]> &buffer, DrpltImg &out);
    bool store(const cv::Mat &m, std::unique_ptr<unsigned char[]> &buffer, const QString &out);

    bool measure(DropletImgAnalysisHelper &engine, int channel, const DrpltImg &img);
    bool measure(DropletImgAnalysisHelper &engine, int channel, const QString &path);
    bool recogniseReference(DropletImgAnalysisHelper &engine, const DrpltImg &img);
    bool recogniseReference(DropletImgAnalysisHelper &engine, const QString &path);

    void fail(WellImageAnalysisInfo *info, const QString &text)
    {
        if (info) {
            info->valid = false;
            info->message += text;
        }
        errorString = text;
    }

    DrpltImgAnalyser *q;
    Settings *settings;
    SpilloverCompensation *compensation;

    BackgrdUnifromAdjuster *backgroundAdjuster = nullptr;
    PreprocessState preprocessing;

    QString templateModelPath;
    QString mexicanhatKernelPath;
    QString randomTreesModelPath;
    QString checkedModelPath; // the model path last found loadable

    QString errorString;
    QString infoMessage;

    DrpltGyslAdjuster *greyAdjuster = nullptr;
    bool useRecogChanFilterDrplt = true;
    qint32 referenceChannel = 0;
    QList<RemapParameter> remapParameters;
    DiscreteRegions removeDiscreteRegions = DiscreteRegionsNone;

    std::mt19937 shuffleEngine{kShuffleSeed};
};

void DrpltImgAnalyserPrivate::setBackgroundStrategy(int value)
{
    delete backgroundAdjuster;
    backgroundAdjuster = nullptr;
    switch (value) {
    case NoneBackgrdUniform:
        backgroundAdjuster = new NoneBuaer(&preprocessing);
        break;
    case InstrumentFileBackgrdUniform:
        backgroundAdjuster = new InstrumentFileBuaer(&preprocessing);
        break;
    case IntelligenceBackgrdUniform:
        backgroundAdjuster = new IntelligenceBuaer(&preprocessing);
        break;
    default:
        break;
    }
}

bool DrpltImgAnalyserPrivate::checkAssets(const AnalysisSettings &s)
{
    if (templateModelPath.isEmpty()) {
        errorString = DrpltImgAnalyser::tr("No droplet template image is set.\n");
        return false;
    }
    const cv::Mat templ = readImage(templateModelPath, cv::IMREAD_GRAYSCALE);
    if (templ.empty()) {
        errorString = DrpltImgAnalyser::tr("The droplet template image %1 cannot be read.\n").arg(templateModelPath);
        return false;
    }
    // An empty kernel path selects the built-in kernel.
    if (!mexicanhatKernelPath.isEmpty()) {
        const cv::Mat kernel = readImage(mexicanhatKernelPath);
        if (kernel.empty() || kernel.channels() != 1) {
            errorString =
                DrpltImgAnalyser::tr("The Mexican-hat kernel image %1 cannot be read.\n").arg(mexicanhatKernelPath);
            return false;
        }
    }
    // The classifier is only consulted when fake positives are removed; without a model the
    // removal would silently do nothing.
    if (s.DispersionCorrection == 1 && checkedModelPath != randomTreesModelPath) {
        ML_ClassifyModel model;
        std::string error;
        const int kind = randomTreesModelPath.isEmpty()
                             ? int(ML_ClassifyModel::NoModel)
                             : model.loadModel(localPath(randomTreesModelPath), s.MLFeatureType, error);
        if (kind == ML_ClassifyModel::NoModel) {
            errorString = DrpltImgAnalyser::tr("The droplet classifier model %1 cannot be loaded.\n")
                              .arg(randomTreesModelPath);
            return false;
        }
        checkedModelPath = randomTreesModelPath;
    }
    return true;
}

bool DrpltImgAnalyserPrivate::recogniseReference(DropletImgAnalysisHelper &engine, const DrpltImg &img)
{
    return engine.recogDrplt(unsigned(std::max(0, img.width)), unsigned(std::max(0, img.height)), img.data,
                             img.type);
}

bool DrpltImgAnalyserPrivate::recogniseReference(DropletImgAnalysisHelper &engine, const QString &path)
{
    return engine.recogDrplt(path);
}

bool DrpltImgAnalyserPrivate::measure(DropletImgAnalysisHelper &engine, int channel, const DrpltImg &img)
{
    return engine.getChannelDrpltGray(channel, unsigned(std::max(0, img.width)), unsigned(std::max(0, img.height)),
                                      img.data, img.type);
}

bool DrpltImgAnalyserPrivate::measure(DropletImgAnalysisHelper &engine, int channel, const QString &path)
{
    return engine.getChannelDrpltGray(channel, path);
}

template <typename Image>
bool DrpltImgAnalyserPrivate::recognise(const DrpltImgsOnWell<Image> &imgs, int refChannel,
                                        WellImageAnalysisInfo *info)
{
    if (!info) {
        errorString = DrpltImgAnalyser::tr("No analysis record to fill.\n");
        return false;
    }
    // The reference channel comes from the package; it must name an image of this well.
    if (refChannel < 0 || refChannel >= kChannels || refChannel >= imgs.size()) {
        fail(info, DrpltImgAnalyser::tr("The reference channel index %1 is out of range: the well has images "
                                        "for channel indices 0 to %2.\n")
                       .arg(refChannel)
                       .arg(std::min(kChannels, int(imgs.size())) - 1));
        return false;
    }
    const QString problem = referenceProblem(imgs[refChannel], refChannel);
    if (!problem.isEmpty()) {
        fail(info, problem);
        return false;
    }

    const AnalysisSettings s = settings->getAnalysisSettings();
    if (!checkAssets(s)) {
        fail(info, errorString);
        return false;
    }

    DropletImgAnalysisHelper engine;
    engine.clearData();
    engine.setRemoveDiscreteArea(removeDiscreteRegions);
    engine.setSettings(s);
    engine.setRTreesModelPath(randomTreesModelPath);
    if (s.DispersionCorrection == 0 || s.DispersionCorrection == 1)
        engine.alterIsRemoveFakePos(s.DispersionCorrection == 1);
    engine.alterIsTargetsUsedRox(!useRecogChanFilterDrplt);
    engine.setTemplateModel(templateModelPath);
    engine.setMexicanhatKernel(mexicanhatKernelPath);
    referenceChannel = refChannel;
    engine.alterReferenceIndex(refChannel);
    shuffleEngine.seed(kShuffleSeed);
    engine.setShuffleEngine(&shuffleEngine);

    if (!recogniseReference(engine, imgs[refChannel])) {
        fail(info, engine.GetErrString());
        return false;
    }

    info->valid = true;
    // Rebuilt, not appended to: a record analysed twice must not list a channel twice.
    info->channels.clear();
    for (int i = 0; i < imgs.size(); ++i) {
        if (hasImage(imgs[i]))
            info->channels.append(i);
    }

    for (qint32 ch : qAsConst(info->channels)) {
        if (!measure(engine, ch, imgs[ch])) {
            fail(info, engine.GetErrString());
            return false;
        }
    }

    const WellImageAnalysisInfo found = engine.getWellAnalysisInfo();
    info->valid = found.valid;
    info->channelStates = found.channelStates;
    info->droplets = found.droplets;
    info->channelLevels = found.channelLevels;
    info->thresholds = found.thresholds;
    info->sharpness = found.sharpness;
    info->countSum = found.countSum;
    info->message = found.message;
    const int recognised = info->droplets.size();

    // Droplets far off the well's reference level are not droplets of this well.
    if (useRecogChanFilterDrplt)
        excludeReferenceOutliers(info->droplets, refChannel, s.RecogExcludeStddevNum);

    infoMessage =
        QStringLiteral("ImageInfo: completed:%1,DrpltRecog Number:%2").arg(info->valid ? 1 : 0).arg(recognised);
    errorString = engine.GetErrString();
    return true;
}

int DrpltImgAnalyserPrivate::load(const DrpltImg &img, cv::Mat &m)
{
    if (!hasImage(img))
        return 0;
    m = wrap(img);
    return 1;
}

int DrpltImgAnalyserPrivate::load(const QString &path, cv::Mat &m)
{
    if (path.isEmpty())
        return 0;
    m = readImage(path);
    return m.empty() ? -1 : 1;
}

bool DrpltImgAnalyserPrivate::store(const cv::Mat &m, DrpltImg &out)
{
    if (m.type() != CV_8UC1 && m.type() != CV_16UC1) {
        errorString = DrpltImgAnalyser::tr("A %1-channel image of depth %2 has no raw form; the entry is left as it "
                                           "was.\n")
                          .arg(m.channels())
                          .arg(m.depth());
        return false;
    }
    const size_t rowBytes = size_t(m.cols) * m.elemSize();
    unsigned char *pixels = new unsigned char[rowBytes * size_t(m.rows)];
    for (int y = 0; y < m.rows; ++y)
        std::memcpy(pixels + rowBytes * size_t(y), m.ptr(y), rowBytes);
    out.width = m.cols;
    out.height = m.rows;
    out.type = m.depth() == CV_16U ? 1 : 0;
    out.data = pixels;
    return true;
}

cv::Mat DrpltImgAnalyserPrivate::target(const cv::Mat &src, const DrpltImg &, std::unique_ptr<unsigned char[]> &buffer)
{
    // Only the raw types: an adjuster leaves any other image as the copy it was given.
    if (src.type() != CV_8UC1 && src.type() != CV_16UC1)
        return src.clone();
    buffer.reset(new unsigned char[size_t(src.cols) * src.elemSize() * size_t(src.rows)]);
    return cv::Mat(src.rows, src.cols, src.type(), buffer.get());
}

cv::Mat DrpltImgAnalyserPrivate::target(const cv::Mat &src, const QString &, std::unique_ptr<unsigned char[]> &)
{
    return src.clone();
}

bool DrpltImgAnalyserPrivate::store(const cv::Mat &m, std::unique_ptr<unsigned char[]> &buffer, DrpltImg &out)
{
    if (!buffer || m.data != buffer.get() || !m.isContinuous())
        return store(m, out);
    out.width = m.cols;
    out.height = m.rows;
    out.type = m.depth() == CV_16U ? 1 : 0;
    out.data = buffer.release();
    return true;
}

bool DrpltImgAnalyserPrivate::store(const cv::Mat &m, std::unique_ptr<unsigned char[]> &, const QString &out)
{
    return store(m, out);
}

bool DrpltImgAnalyserPrivate::store(const cv::Mat &m, const QString &out)
{
    if (writeImage(out, m))
        return true;
    errorString = DrpltImgAnalyser::tr("%1 cannot be written.\n").arg(out);
    return false;
}

template <typename In, typename Out>
bool DrpltImgAnalyserPrivate::preprocess(const DrpltImgsOnWell<In> &in, DrpltImgsOnWell<Out> &out)
{
    preprocessing.maskSize = settings->getAnalysisSettings().GreyValueMaskSize;
    if (out.size() < in.size()) {
        errorString = DrpltImgAnalyser::tr("The output holds %1 entries for %2 input channels.\n")
                          .arg(out.size())
                          .arg(in.size());
        return false;
    }
    bool complete = true;
    QString problems;
    for (int i = 0; i < in.size(); ++i) {
        cv::Mat src;
        const int loaded = load(in[i], src);
        if (loaded == 0)
            continue;
        if (loaded < 0) {
            errorString = problems + DrpltImgAnalyser::tr("%1 cannot be read.\n").arg(describe(in[i]));
            return false;
        }
        try {
            // The adjusters write into the output's buffer; one that passes the input on (or
            // fails) has it copied there.
            std::unique_ptr<unsigned char[]> buffer;
            cv::Mat dst = backgroundAdjuster ? target(src, out[i], buffer) : src;
            if (backgroundAdjuster && !backgroundAdjuster->adjust(src, dst, i)) {
                // The image passes uncorrected rather than not at all.
                const QString why = backgroundAdjuster->errorString();
                qWarning().noquote() << why.trimmed();
                problems += why;
                complete = false;
                dst = src;
            }
            if (!store(dst, buffer, out[i])) {
                qWarning().noquote() << errorString.trimmed();
                problems += errorString;
                complete = false;
            }
        } catch (const cv::Exception &e) {
            errorString =
                problems + DrpltImgAnalyser::tr("Image processing failed: %1\n").arg(QString::fromUtf8(e.what()));
            return false;
        } catch (const std::bad_alloc &) {
            errorString = problems + DrpltImgAnalyser::tr("Out of memory.\n");
            return false;
        }
    }
    if (!complete)
        errorString = problems;
    return complete;
}

int excludeReferenceOutliers(QVector<DropletAnalysisInfo> &droplets, int referenceChannel, int stddevNum)
{
    const int n = droplets.size();
    if (n == 0 || referenceChannel < 0 || referenceChannel >= kChannels)
        return 0;
    auto grey = [referenceChannel](const DropletAnalysisInfo &drop) {
        return referenceChannel < drop.workingGreys.size() ? double(drop.workingGreys[referenceChannel]) : 0.0;
    };
    double sum = 0.0;
    for (const DropletAnalysisInfo &drop : qAsConst(droplets))
        sum += grey(drop);
    const double mean = sum / n;
    double squares = 0.0;
    for (const DropletAnalysisInfo &drop : qAsConst(droplets))
        squares += (grey(drop) - mean) * (grey(drop) - mean);
    const double limit = stddevNum * std::sqrt(squares / n);
    QVector<DropletAnalysisInfo> kept;
    kept.reserve(n);
    for (const DropletAnalysisInfo &drop : qAsConst(droplets)) {
        if (!(std::fabs(grey(drop) - mean) > limit))
            kept.append(drop);
    }
    const int dropped = n - kept.size();
    if (dropped > 0)
        droplets = kept;
    return dropped;
}

DrpltImgAnalyser::DrpltImgAnalyser() : d(new DrpltImgAnalyserPrivate(this)) {}

DrpltImgAnalyser::~DrpltImgAnalyser()
{
    delete d;
}

Settings *DrpltImgAnalyser::getSettings()
{
    return d->settings;
}

SpilloverCompensation *DrpltImgAnalyser::getSpilloverCompensation()
{
    return d->compensation;
}

const QString &DrpltImgAnalyser::errorString() const
{
    return d->errorString;
}

const QString &DrpltImgAnalyser::infoMessage() const
{
    return d->infoMessage;
}

bool DrpltImgAnalyser::setTemplateModel(QString &path)
{
    d->templateModelPath = path;
    return true;
}

bool DrpltImgAnalyser::setMexicanhatKernel(QString &path)
{
    d->mexicanhatKernelPath = path;
    return true;
}

void DrpltImgAnalyser::setRandomTreesModelPath(const QString &path)
{
    d->randomTreesModelPath = path;
    d->checkedModelPath.clear();
}

void DrpltImgAnalyser::setRemoveDiscreteRegions(DiscreteRegions mode)
{
    d->removeDiscreteRegions = mode;
}

void DrpltImgAnalyser::setUseRecogChanFilterDrplt(bool on)
{
    d->useRecogChanFilterDrplt = on;
}

bool DrpltImgAnalyser::setReMapParameter(const QList<RemapParameter> &list)
{
    if (!d->remapParameters.isSharedWith(list))
        d->remapParameters = list;
    return true;
}

void DrpltImgAnalyser::setStrategy()
{
    const AnalysisSettings s = d->settings->getAnalysisSettings();
    const int b = s.BackgroundUniformAdjustType;
    const int g = s.DrpltGyslAdjustType;
    if (d->useRecogChanFilterDrplt) {
        d->setBackgroundStrategy(b);
        if (b == NoneBackgrdUniform)
            setAdjustStrategy(SettingChanDrpltGysl);
        else if (b == InstrumentFileBackgrdUniform || b == IntelligenceBackgrdUniform)
            setAdjustStrategy(DrpltGyslAdjustStrategy(g));
        // any other value keeps the grey adjuster in place
    } else {
        d->setBackgroundStrategy(b == NoneBackgrdUniform ? IntelligenceBackgrdUniform : b);
        setAdjustStrategy(g == SettingChanDrpltGysl || g == IntelligenceDrpltGysl ? NoneDrpltGysl
                                                                                  : DrpltGyslAdjustStrategy(g));
    }
}

void DrpltImgAnalyser::setAdjustStrategy(DrpltGyslAdjustStrategy strategy)
{
    delete d->greyAdjuster;
    d->greyAdjuster = nullptr;
    switch (strategy) {
    case NoneDrpltGysl:
        d->greyAdjuster = new NoneDgaer;
        break;
    case SettingChanDrpltGysl:
        d->greyAdjuster = new SettingChanDgaer;
        break;
    case IntelligenceDrpltGysl:
        d->greyAdjuster = new IntelligenceDgaer;
        break;
    default:
        break;
    }
}

bool DrpltImgAnalyser::setUniformData(const DrpltImgsOnWell<QString> &paths)
{
    if (d->settings->getAnalysisSettings().BackgroundUniformAdjustType != InstrumentFileBackgrdUniform)
        return true;
    QVector<cv::Mat> &stored = d->preprocessing.uniformImages;
    stored.clear();
    if (paths.isEmpty()) {
        d->errorString = tr("Uniform image is empty.\n");
        return false;
    }
    for (const QString &path : paths) {
        const cv::Mat img = readImage(path);
        if (img.empty()) {
            d->errorString = tr("Uniform image is empty.\n");
            return false;
        }
        // Any other form would be divided by as if it were float and read past its pixels.
        if (img.type() != CV_32FC1) {
            d->errorString = tr("Uniform image %1 is not a single-channel 32-bit float image.\n").arg(path);
            return false;
        }
        stored.append(img);
    }
    return true;
}

bool DrpltImgAnalyser::setUniformData(const DrpltImgsOnWell<DrpltImg> &images)
{
    if (d->settings->getAnalysisSettings().BackgroundUniformAdjustType != InstrumentFileBackgrdUniform)
        return true;
    QVector<cv::Mat> &stored = d->preprocessing.uniformImages;
    stored.clear();
    if (images.isEmpty()) {
        d->errorString = tr("Uniform image is empty.\n");
        return false;
    }
    for (const DrpltImg &img : images) {
        if (!img.data) {
            d->errorString = tr("Uniform image is empty.\n");
            return false;
        }
        cv::Mat flat;
        // Other types stay empty so that the channel indices keep their places.
        if (rawTypeKnown(img) && img.width > 0 && img.height > 0)
            wrap(img).convertTo(flat, CV_32F, img.type == 1 ? 1.0 / 65535.0 : 1.0 / 255.0);
        stored.append(flat);
    }
    return true;
}

bool DrpltImgAnalyser::preprocess(const DrpltImgsOnWell<DrpltImg> &in, DrpltImgsOnWell<DrpltImg> &out)
{
    return d->preprocess(in, out);
}

bool DrpltImgAnalyser::preprocess(const DrpltImgsOnWell<DrpltImg> &in, DrpltImgsOnWell<QString> &out)
{
    return d->preprocess(in, out);
}

bool DrpltImgAnalyser::preprocess(const DrpltImgsOnWell<QString> &in, DrpltImgsOnWell<QString> &out)
{
    return d->preprocess(in, out);
}

bool DrpltImgAnalyser::preprocess(const DrpltImgsOnWell<QString> &in, DrpltImgsOnWell<DrpltImg> &out)
{
    return d->preprocess(in, out);
}

void DrpltImgAnalyser::releaseImages(DrpltImgsOnWell<DrpltImg> &images)
{
    for (DrpltImg &img : images) {
        delete[] static_cast<const unsigned char *>(img.data);
        img = DrpltImg();
    }
}

bool DrpltImgAnalyser::ReMapImage(const DrpltImgsOnWell<QString> &paths)
{
    const int count = d->remapParameters.size();
    for (int i = 0; i < paths.size(); ++i) {
        const QString &path = paths[i];
        if (path.isEmpty())
            continue;
        const cv::Mat img = readImage(path);
        if (img.empty()) {
            d->errorString = tr("%1 is exist,but imread failed!").arg(path);
            return false;
        }
        RemapParameter p;
        if (count == 6 && i < 6) {
            p = d->remapParameters[i];
            if (p.scaleX == 0.0 && p.scaleY == 0.0)
                continue;
        } else if (count == 5 && i >= 1 && i <= 5) {
            p = d->remapParameters[i - 1];
        } else {
            continue;
        }
        cv::Mat mapX(img.size(), CV_32FC1), mapY(img.size(), CV_32FC1);
        for (int y = 0; y < img.rows; ++y) {
            float *mx = mapX.ptr<float>(y);
            float *my = mapY.ptr<float>(y);
            const float dy = float(y) - float(p.offsetY);
            for (int x = 0; x < img.cols; ++x) {
                const float dx = float(x) - float(p.offsetX);
                mx[x] = float(double(dx) * p.scaleX + double(x));
                my[x] = float(double(dy) * p.scaleY + double(y));
            }
        }
        cv::Mat out;
        try {
            cv::remap(img, out, mapX, mapY, cv::INTER_LINEAR, cv::BORDER_CONSTANT, cv::Scalar(0));
        } catch (const cv::Exception &e) {
            d->errorString = tr("Image processing failed: %1\n").arg(QString::fromUtf8(e.what()));
            return false;
        }
        if (!writeImage(path, out)) {
            d->errorString = tr("%1 cannot be written.\n").arg(path);
            return false;
        }
    }
    return true;
}

bool DrpltImgAnalyser::recogDrplt(const DrpltImgsOnWell<DrpltImg> &imgs, int refChannel, WellImageAnalysisInfo *info)
{
    return d->recognise(imgs, refChannel, info);
}

bool DrpltImgAnalyser::recogDrplt(const DrpltImgsOnWell<QString> &imgs, int refChannel, WellImageAnalysisInfo *info)
{
    return d->recognise(imgs, refChannel, info);
}

bool DrpltImgAnalyser::adjustDrpltGysl(WellImageAnalysisInfo *info)
{
    if (!info) {
        d->errorString = tr("No analysis record to adjust.\n");
        return false;
    }
    if (d->greyAdjuster)
        d->greyAdjuster->adjust(*info, d->referenceChannel);
    d->infoMessage = QStringLiteral("ImageInfo: ,Adjust_DrpltRecog Number:%1").arg(info->droplets.size());
    return true;
}

bool DrpltImgAnalyser::negPosCluster(WellImageAnalysisInfo *info)
{
    const AnalysisSettings s = d->settings->getAnalysisSettings();
    return clusterWellThresholds(info, s.SaturatedPixelNum, &d->infoMessage);
}

bool DrpltImgAnalyser::newNegPosCluster(const QVector<QVector<uint>> &greys, QVector<QVector<uint>> &thresholds,
                                        const QVector<QVector<uint>> &before)
{
    return clusterGreyTable(greys, thresholds, before);
}

bool DrpltImgAnalyser::adjustCrosstalk(WellImageAnalysisInfo *info)
{
    const int strategy = d->settings->getAnalysisSettings().CrosstalkAdjustType;
    d->compensation->setAdjustStrategy(CrosstalkAdjustStrategy(strategy));
    if (!info) {
        d->errorString = tr("No analysis record to adjust.\n");
        return false;
    }
    if (CrosstalkAdjuster *adjuster = d->compensation->getCrosstalkAdjuster())
        adjuster->adjust(*info);
    return true;
}

} // namespace Ravelin
