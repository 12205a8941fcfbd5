#include "wellrecognition.h"

#include "compose.h"

#include "assets/analyserassets.h"
#include "dropletimganalysishelper.h"
#include "drpltimganalyser.h"
#include "settings.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace MkPackage {

namespace {

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

// The images of one stored set: the 16-bit images themselves, or the 8-bit top or bottom half
// of each when the chip is stored as two sets.
std::array<QImage, ChannelCount> storedSet(const std::array<QImage, ChannelCount> &images, int blocks, int block)
{
    std::array<QImage, ChannelCount> set;
    for (int c = 0; c < ChannelCount; ++c) {
        const QImage &image = images[size_t(c)];
        if (!image.isNull())
            set[size_t(c)] = blocks == 1 ? image : eightBitHalf(image, block == 1);
    }
    return set;
}

// A raw view on an image's pixels; rows padded to whole words are packed into `keep` first.
DrpltImg rawView(const QImage &image, QByteArray *keep)
{
    const bool deep = image.format() == QImage::Format_Grayscale16;
    const int rowBytes = image.width() * (deep ? 2 : 1);
    const void *pixels = image.constBits();
    if (image.bytesPerLine() != rowBytes) {
        keep->resize(rowBytes * image.height());
        for (int y = 0; y < image.height(); ++y)
            std::memcpy(keep->data() + y * rowBytes, image.constScanLine(y), size_t(rowBytes));
        pixels = keep->constData();
    }
    return DrpltImg{image.width(), image.height(), deep ? 1 : 0, pixels};
}

} // namespace

bool WellRecognition::setUp(const QString &dataFolder, int volume, int imageWidth, const QByteArray &parameters,
                            const cv::Mat &flatField, QString *error)
{
    qint32 workType = 0, blocksType = 0;
    volumeTypes(volume, &workType, &blocksType);
    const AnalyserAssets assets =
        AnalyserAssets::choose(AnalyserAssets::isLargeImage(imageWidth), workType, blocksType);
    m_template = QStringLiteral("%1/%2").arg(dataFolder, assets.templateFile);
    m_kernel = QStringLiteral("%1/%2").arg(dataFolder, assets.kernelFile);
    m_model = QStringLiteral("%1/%2").arg(dataFolder, AnalyserAssets::modelFile());
    for (const QString &file : {m_template, m_kernel})
        if (!QFileInfo(file).isReadable())
            return fail(error, QStringLiteral("cannot read the recognition's %1").arg(file));
    m_parameters = parameters;
    flatField.convertTo(m_flatField16, CV_16UC1, 65535.0);
    return true;
}

WellRecognition::Found WellRecognition::recognise(const std::array<QImage, ChannelCount> &images, int blocks) const
{
    Found found;
    Ravelin::DrpltImgAnalyser analyser;
    analyser.setRandomTreesModelPath(m_model);
    QString templatePath = m_template, kernelPath = m_kernel;
    analyser.setTemplateModel(templatePath);
    analyser.setMexicanhatKernel(kernelPath);
    analyser.getSettings()->loadAnalysisSettingsBuf(m_parameters);
    // Targets never use the reference dye's channel, so the reference serves as the
    // recognition channel and its outliers are dropped.
    analyser.setUseRecogChanFilterDrplt(true);
    analyser.setStrategy();
    const DrpltImg flat{m_flatField16.cols, m_flatField16.rows, 1, m_flatField16.data};
    analyser.setUniformData(DrpltImgsOnWell<DrpltImg>(ChannelCount, flat));

    for (int block = 0; block < blocks; ++block) {
        const std::array<QImage, ChannelCount> set = storedSet(images, blocks, block);
        std::array<QByteArray, ChannelCount> keep;
        DrpltImgsOnWell<DrpltImg> in(ChannelCount, DrpltImg{0, 0, 1, nullptr});
        int height = 0;
        for (int c = 0; c < ChannelCount; ++c) {
            if (set[size_t(c)].isNull())
                continue;
            in[c] = rawView(set[size_t(c)], &keep[size_t(c)]);
            height = set[size_t(c)].height();
        }
        DrpltImgsOnWell<DrpltImg> out(ChannelCount, DrpltImg{0, 0, 1, nullptr});
        analyser.preprocess(in, out);
        // The halves of a two-set chip keep the sparse droplets at the edge where they meet.
        analyser.setRemoveDiscreteRegions(blocks == 1 ? Ravelin::DiscreteRegionsNone
                                          : block == 0 ? Ravelin::DiscreteRegionsKeepRight
                                                       : Ravelin::DiscreteRegionsKeepLeft);
        WellImageAnalysisInfo info;
        analyser.recogDrplt(out, ReferenceChannel, &info);
        Ravelin::DrpltImgAnalyser::releaseImages(out);
        if (block == 0) {
            found.valid = info.valid;
            found.sharpness = info.sharpness;
            found.saturated = int(info.countSum);
        }
        // The second set's rows continue below the first's.
        for (DropletAnalysisInfo &d : info.droplets) {
            d.y += quint32(block * height);
            found.droplets.append(d);
        }
    }
    // The recognition hands its droplets out in random order; stored, they go by position.
    std::sort(found.droplets.begin(), found.droplets.end(),
              [](const DropletAnalysisInfo &a, const DropletAnalysisInfo &b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    return found;
}

double WellRecognition::sharpness(const QImage &reference, int blocks)
{
    if (reference.isNull())
        return 0.0;
    const QImage image = blocks == 1 ? reference : eightBitHalf(reference, false);
    QByteArray keep;
    const DrpltImg raw = rawView(image, &keep);
    DropletImgAnalysisHelper engine;
    return engine.ImageSharpnessCheck(raw.width, raw.height, const_cast<void *>(raw.data), raw.type == 1 ? 2 : 0);
}

} // namespace MkPackage
