#pragma once
// Shared by the recognition tests: the data-folder assets of each droplet volume and the
// comparison of found droplets with the ground truth of a synthetic chip.
#include "analysissettings.h"
#include "dropletimganalysishelper.h"
#include "synthchip.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <cmath>
#include <vector>

namespace RecogSupport {

using LumaraSynth::Volume;

inline QString dataPath(const QString &relative)
{
    return QStringLiteral("../data/") + relative;
}

inline QString templatePath(Volume v)
{
    return dataPath(QStringLiteral("template/modelTemp%1.tif").arg(QLatin1String(LumaraSynth::volumeName(v))));
}

// The kernel the analysis pairs with each volume: the large droplets get the wide one.
inline QString kernelPath(Volume v)
{
    return dataPath(v == Volume::Pl3000 ? QStringLiteral("template/Kernel_15.tif")
                                        : QStringLiteral("template/Kernel_11.tif"));
}

inline QString paramsPath(Volume v)
{
    return dataPath(QStringLiteral("%1_analysisparams.json").arg(QLatin1String(LumaraSynth::volumeName(v))));
}

// The few keys the recognition reads, straight from the parameter file.
inline Ravelin::AnalysisSettings loadSettings(const QString &path, bool *ok = nullptr)
{
    Ravelin::AnalysisSettings s;
    QFile f(path);
    const bool opened = f.open(QIODevice::ReadOnly);
    const QJsonObject g = QJsonDocument::fromJson(f.readAll()).object().value(QStringLiteral("General")).toObject();
    if (ok)
        *ok = opened && !g.isEmpty();
    s.PreRecogThreshold = g.value(QStringLiteral("PreRecogThreshold")).toDouble(s.PreRecogThreshold);
    s.MeanGreyvalueRadius = g.value(QStringLiteral("MeanGreyvalueRadius")).toInt(s.MeanGreyvalueRadius);
    s.DiscreteRectLength = g.value(QStringLiteral("DiscreteRectLength")).toInt(s.DiscreteRectLength);
    s.DiscreteCountThreshold = g.value(QStringLiteral("DiscreteCountThreshold")).toInt(s.DiscreteCountThreshold);
    s.GreyValueMaskSize = g.value(QStringLiteral("GreyValueMaskSize")).toInt(s.GreyValueMaskSize);
    s.SaveResultThld = g.value(QStringLiteral("SaveResultThld")).toDouble(s.SaveResultThld);
    s.RemovedMaxMinNum = g.value(QStringLiteral("RemovedMaxMinNum")).toInt(s.RemovedMaxMinNum);
    s.SaturatedPixelNum = g.value(QStringLiteral("SaturatedPixelNum")).toInt(s.SaturatedPixelNum);
    s.BrightestNumber = g.value(QStringLiteral("BrightestNumber")).toInt(s.BrightestNumber);
    s.StdDevInfluenceCoefficient =
        g.value(QStringLiteral("StdDevInfluenceCoefficient")).toDouble(s.StdDevInfluenceCoefficient);
    s.MLFeatureType = g.value(QStringLiteral("MLFeatureType")).toInt(s.MLFeatureType);
    s.RandomShuffle = false; // order-dependent checks need the found order
    return s;
}

// An engine configured with the assets of a volume, ready for recogDrplt.
inline void configure(DropletImgAnalysisHelper &engine, Volume v, const Ravelin::AnalysisSettings &s)
{
    engine.clearData();
    engine.setRemoveDiscreteArea(0);
    engine.setSettings(s);
    engine.setRTreesModelPath(dataPath(QStringLiteral("classify_droplet.xml")));
    engine.setTemplateModel(templatePath(v));
    engine.setMexicanhatKernel(kernelPath(v));
    engine.alterReferenceIndex(LumaraSynth::ReferenceChannel);
}

inline bool recognise(DropletImgAnalysisHelper &engine, const cv::Mat &img)
{
    return engine.recogDrplt(unsigned(img.cols), unsigned(img.rows), img.data, img.depth() == CV_16U ? 1 : 0);
}

inline bool measure(DropletImgAnalysisHelper &engine, int channel, const cv::Mat &img)
{
    return engine.getChannelDrpltGray(channel, unsigned(img.cols), unsigned(img.rows), img.data,
                                      img.depth() == CV_16U ? 1 : 0);
}

struct Matching {
    std::vector<int> truthOf; // per found droplet: index of the nearest true droplet, -1 if > limit
    std::vector<int> hits;    // per true droplet: how many found droplets matched it
    double worst = 0.0;       // largest distance of a matched droplet
    int unmatched = 0;
};

// Found droplets as the engine (DrpltRecogRecord) or the analyser (DropletAnalysisInfo) gives them.
template <typename Record>
inline Matching match(const QVector<Record> &found, const LumaraSynth::Chip &chip, double limit)
{
    Matching m;
    m.hits.assign(chip.droplets.size(), 0);
    for (const Record &r : found) {
        double best = 1e18;
        int at = -1;
        for (size_t i = 0; i < chip.droplets.size(); ++i) {
            const double d = std::hypot(chip.droplets[i].x - double(r.x), chip.droplets[i].y - double(r.y));
            if (d < best) {
                best = d;
                at = int(i);
            }
        }
        if (at >= 0 && best <= limit) {
            m.truthOf.push_back(at);
            ++m.hits[size_t(at)];
            m.worst = std::max(m.worst, best);
        } else {
            m.truthOf.push_back(-1);
            ++m.unmatched;
        }
    }
    return m;
}

// Whether a true droplet lies clear of every artefact (its grey is then the synthesised one).
inline bool clearOfArtefacts(const LumaraSynth::Chip &chip, const LumaraSynth::Droplet &d)
{
    for (const LumaraSynth::Artefact &a : chip.artefacts) {
        const double reach = a.kind == LumaraSynth::ArtefactKind::Haze ? 3.0 * a.size : a.size;
        if (std::hypot(a.x - d.x, a.y - d.y) < reach + d.radius + 2.0)
            return false;
    }
    return true;
}

} // namespace RecogSupport
