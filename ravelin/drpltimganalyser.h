#pragma once
// The facade through which the program analyses the droplet images of one well at a time:
// background correction, recognition on the reference channel, grey measurement in every
// channel, outlier exclusion, grey adjustment, automatic thresholds and crosstalk
// compensation, all into one WellImageAnalysisInfo that the caller owns.
//
// An analyser is configured once and reused for many wells; one analyser serves one thread at
// a time. Distinct analysers share nothing, so parallel wells need one analyser each.
#include "analysisrecords.h"
#include "ravelin_global.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVector>

namespace Ravelin {

class Settings;
class SpilloverCompensation;
class DrpltImgAnalyserPrivate;
enum DrpltGyslAdjustStrategy : int;

// Which sparse droplets the recognition keeps: none, those in the left fifth of the image, or
// those in the right fifth (the halves of a chip imaged in two blocks meet there).
enum DiscreteRegions : int {
    DiscreteRegionsNone = 0,
    DiscreteRegionsKeepLeft = 1,
    DiscreteRegionsKeepRight = 2,
};

// Geometric correction of one channel: x' = (x - offsetX) * scaleX + x, likewise for y.
struct RAVELIN_EXPORT RemapParameter {
    double scaleX = 0.0;
    double scaleY = 0.0;
    qint32 offsetX = 0;
    qint32 offsetY = 0;
};

// Drops, in place, the droplets whose reference grey lies more than stddevNum population
// standard deviations from the mean (strictly more). Returns how many were dropped.
RAVELIN_EXPORT int excludeReferenceOutliers(QVector<DropletAnalysisInfo> &droplets, int referenceChannel,
                                            int stddevNum);

class RAVELIN_EXPORT DrpltImgAnalyser : public QObject {
    Q_OBJECT

public:
    DrpltImgAnalyser();
    ~DrpltImgAnalyser() override;

    // Owned by the analyser; never null.
    Settings *getSettings();
    SpilloverCompensation *getSpilloverCompensation();

    const QString &errorString() const;
    // The last progress line ("ImageInfo: ...").
    const QString &infoMessage() const;

    // Paths are only stored here; a missing file shows when the recognition uses it.
    bool setTemplateModel(QString &path);
    bool setMexicanhatKernel(QString &path);
    void setRandomTreesModelPath(const QString &path);
    void setRemoveDiscreteRegions(DiscreteRegions mode);
    void setUseRecogChanFilterDrplt(bool on);
    bool setReMapParameter(const QList<RemapParameter> &list);

    // Chooses the background and grey adjusters from the current settings and the
    // recognition-channel filter flag.
    void setStrategy();

    // Loads one flat field per channel; only with BackgroundUniformAdjustType 1 (otherwise
    // true and nothing stored). Flat fields are single-channel 32-bit float images; raw 8- and
    // 16-bit buffers are taken as fractions of their full scale (255, 65535) and copied.
    bool setUniformData(const DrpltImgsOnWell<QString> &paths);
    bool setUniformData(const DrpltImgsOnWell<DrpltImg> &images);

    // Background-uniformity correction of every channel image into the same entry of out,
    // which must already hold an entry per input channel. Raw outputs get pixel buffers
    // allocated here that the caller owns (release them with releaseImages). A channel whose
    // correction cannot be made (no fitting flat field) passes unchanged; the result is then
    // false with the reason in errorString, the other channels still being corrected.
    bool preprocess(const DrpltImgsOnWell<DrpltImg> &in, DrpltImgsOnWell<DrpltImg> &out);
    bool preprocess(const DrpltImgsOnWell<DrpltImg> &in, DrpltImgsOnWell<QString> &out);
    bool preprocess(const DrpltImgsOnWell<QString> &in, DrpltImgsOnWell<QString> &out);
    bool preprocess(const DrpltImgsOnWell<QString> &in, DrpltImgsOnWell<DrpltImg> &out);
    // Frees the pixel buffers that preprocess allocated and clears the entries.
    static void releaseImages(DrpltImgsOnWell<DrpltImg> &images);

    // Geometric correction of the image files in place.
    bool ReMapImage(const DrpltImgsOnWell<QString> &paths);

    // refChannel: index of the reference channel in the image set (0 to 5).
    bool recogDrplt(const DrpltImgsOnWell<DrpltImg> &imgs, int refChannel, WellImageAnalysisInfo *info);
    bool recogDrplt(const DrpltImgsOnWell<QString> &imgs, int refChannel, WellImageAnalysisInfo *info);

    bool adjustDrpltGysl(WellImageAnalysisInfo *info);
    bool negPosCluster(WellImageAnalysisInfo *info);
    // before: the rows' greys before a spill-over compensation, where one was applied.
    bool newNegPosCluster(const QVector<QVector<uint>> &greys, QVector<QVector<uint>> &thresholds,
                          const QVector<QVector<uint>> &before = {});
    bool adjustCrosstalk(WellImageAnalysisInfo *info);

private:
    void setAdjustStrategy(DrpltGyslAdjustStrategy strategy);

    DrpltImgAnalyserPrivate *d;
};

} // namespace Ravelin
