#pragma once
// Shared by the analyser tests: an analyser set up with the data-folder assets of a droplet
// volume, raw views on a synthetic chip's images, and record comparison.
#include "analysisrecords.h"
#include "drpltimganalyser.h"
#include "recogsupport.h"
#include "settings.h"
#include "spillovercompensation.h"

#include <QString>

#include <opencv2/core.hpp>

namespace AnalyserSupport {

using RecogSupport::Volume;

inline DrpltImg viewOf(const cv::Mat &m)
{
    DrpltImg img;
    if (m.empty())
        return img;
    img.width = m.cols;
    img.height = m.rows;
    img.type = m.depth() == CV_16U ? 1 : 0;
    img.data = m.data;
    return img;
}

inline DrpltImgsOnWell<DrpltImg> viewsOf(const LumaraSynth::Chip &chip)
{
    DrpltImgsOnWell<DrpltImg> imgs;
    for (const cv::Mat &m : chip.images)
        imgs.append(viewOf(m));
    return imgs;
}

// Template, kernel, model and the volume's parameter file; the caller may override settings
// afterwards and must call setStrategy once it has.
inline bool configure(Ravelin::DrpltImgAnalyser &a, Volume v)
{
    QString templ = RecogSupport::templatePath(v);
    QString kernel = RecogSupport::kernelPath(v);
    a.setTemplateModel(templ);
    a.setMexicanhatKernel(kernel);
    a.setRandomTreesModelPath(RecogSupport::dataPath(QStringLiteral("classify_droplet.xml")));
    const bool ok = a.getSettings()->loadAnalysisSettingsFile(RecogSupport::paramsPath(v));
    a.setStrategy();
    return ok;
}

template <typename F>
inline void editSettings(Ravelin::DrpltImgAnalyser &a, F edit)
{
    Ravelin::AnalysisSettings s = a.getSettings()->getAnalysisSettings();
    edit(s);
    a.getSettings()->setAnalysisSettings(s);
}

inline bool sameDroplet(const DropletAnalysisInfo &a, const DropletAnalysisInfo &b)
{
    return a.x == b.x && a.y == b.y && a.maskSize == b.maskSize && a.measuredGreys == b.measuredGreys
           && a.adjustedGreys == b.adjustedGreys && a.compensatedGreys == b.compensatedGreys
           && a.workingGreys == b.workingGreys && a.flags == b.flags;
}

// Field by field, droplet order included. Empty when equal, else what differs first.
inline QString difference(const WellImageAnalysisInfo &a, const WellImageAnalysisInfo &b)
{
    if (a.valid != b.valid)
        return QStringLiteral("valid");
    if (a.channels != b.channels)
        return QStringLiteral("channels");
    if (a.channelStates != b.channelStates || a.channelLevels != b.channelLevels)
        return QStringLiteral("channel states or levels");
    if (a.thresholds != b.thresholds)
        return QStringLiteral("thresholds");
    if (a.sharpness != b.sharpness || a.countSum != b.countSum || a.message != b.message)
        return QStringLiteral("sharpness, count or message");
    if (a.droplets.size() != b.droplets.size())
        return QStringLiteral("droplet count %1 against %2").arg(a.droplets.size()).arg(b.droplets.size());
    for (int k = 0; k < a.droplets.size(); ++k) {
        if (!sameDroplet(a.droplets[k], b.droplets[k]))
            return QStringLiteral("droplet %1").arg(k);
    }
    return QString();
}

// One well through the program's order of steps: preprocess, recognise on the reference
// channel, adjust the greys, compensate crosstalk, cluster. `uncompensated` receives the
// record as it was before compensation, clustered as well. False with the analyser's error
// text in `error` when a step fails (the tests' flat fields always fit, so preprocessing
// must succeed too).
inline bool analyseWell(Ravelin::DrpltImgAnalyser &a, const DrpltImgsOnWell<DrpltImg> &images, int refChannel,
                        WellImageAnalysisInfo &info, WellImageAnalysisInfo *uncompensated, QString *error)
{
    DrpltImgsOnWell<DrpltImg> pre(images.size());
    bool ok = a.preprocess(images, pre);
    ok = ok && a.recogDrplt(pre, refChannel, &info) && a.adjustDrpltGysl(&info);
    Ravelin::DrpltImgAnalyser::releaseImages(pre);
    if (ok && uncompensated) {
        *uncompensated = info;
        ok = a.negPosCluster(uncompensated);
    }
    ok = ok && a.adjustCrosstalk(&info) && a.negPosCluster(&info);
    if (!ok && error)
        *error = a.errorString() + info.message;
    return ok;
}

} // namespace AnalyserSupport
