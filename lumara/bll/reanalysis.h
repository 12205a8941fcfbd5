#pragma once
// The analysis engine of the business layer: it configures the droplet-image analysers for the
// open package, prepares every well's images, brings stored droplet values to a common
// exposure time, and runs the jobs over all wells: the full re-analysis, applying a spill-over
// compensation matrix and the crosstalk-only preview of one.
//
// The engine's own two analysers (A recognises, adjusts and clusters compensated values; B
// clusters an uncompensated copy) are the configured prototypes. Analysers keep per-call state
// (reference channel, discrete-region mode, adjusters), so every parallel per-well task works
// with analysers of its own, configured from the set-up that initAnalysers recorded.
#include "analysisrecords.h"
#include "analysissettings.h"
#include "drpltimganalyser.h"
#include "model/lumaraanalysisdata.h"
#include "model/welldrpltimginfo.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPair>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

#include <memory>

namespace Ravelin {
class SpilloverCompensation;
}

// The result of the per-well analysis step.
struct WellDrpltImgInfoStatus {
    uint wellId = 0;
    WellImageAnalysisInfo compensated;   // after recognition, grey and crosstalk adjustment
    WellImageAnalysisInfo uncompensated; // taken after grey adjustment, before crosstalk
    bool ok = false;
};

class ReAnalysis : public QObject {
    Q_OBJECT
public:
    // What initAnalysers configured, recorded so that per-well tasks can set up analysers of
    // their own exactly like the engine's pair.
    struct AnalyserSetup {
        QString modelPath;
        QString templatePath;
        QString kernelPath;
        QString parameterEntry;      // the package entry the parameters were looked for in
        QByteArray parameterBuffer;  // the JSON both analysers loaded
        Ravelin::AnalysisSettings settingsA;
        Ravelin::AnalysisSettings settingsB;
        QByteArray matrixA;          // analyser A's compensation matrix image
        QStringList uniformPaths;    // one per channel
        bool largeImages = false;
    };

    // What one job hands to every per-well step.
    struct WellJob {
        QVector<uint> references = QVector<uint>(LumaraAnalysisData::PerChannel, 0);
        Ravelin::DiscreteRegions discreteRegions = Ravelin::DiscreteRegionsNone;
        bool clusterUncompensated = false;
        // Read from the document before the parallel steps. A well missing here gets the
        // recognition filter on and exposure factors of 1.
        QHash<uint, bool> recognitionFilter;
        QHash<uint, QVector<float>> factors;
    };

    explicit ReAnalysis(QObject *parent = nullptr);
    ~ReAnalysis() override;

    // ---- Set-up ------------------------------------------------------------------------------
    void setFilePath(const QString &path);
    QString filePath() const;
    // The re-analysis dialog's two choices: background 0, 1 or 2 (anything else 2), grey
    // adjustment on (non-zero) or off.
    void setAdjustTypes(int background, int fluorescence);
    // Configures both analysers for the open document: classifier model, template and kernel by
    // image size, blocks and droplet work type, the package's parameters (three keys overridden
    // during a re-analysis), analyser A's matrix (the given one; else the document's applied
    // one; else the identity) and the uniformity image.
    void initAnalysers(bool useGivenMatrix, const QByteArray &matrix);
    const AnalyserSetup &setup() const;
    Ravelin::DrpltImgAnalyser *analyserA() const;
    Ravelin::DrpltImgAnalyser *analyserB() const;
    QString uniformImagePath() const;
    int backgroundAdjustType() const;
    int greyAdjustType() const;

    // ---- Images ------------------------------------------------------------------------------
    // Takes every well's images and preprocesses them (background uniformity), one task per
    // well that preprocesses as soon as its images are there; a chip imaged in two blocks gets
    // its halves stacked per channel. No raw image is kept afterwards.
    void preprocessWells();
    // The images of every well, one inner vector per image block: the document's where it
    // holds the very images the well's entry names decode to, else read from the package.
    QVector<QVector<WellDrpltImgInfo<QImage>>> loadWellImages();
    // One channel image of the package: the entry of that name (in a saved package under the
    // folder of its source archive); null when it is missing or does not decode.
    QImage loadImage(const QString &entryName, const QString &sourceFileName);
    // The preprocessed image of the well's channel (1..6); {0, 0, 1, null} for a well not
    // loaded. The pixels stay valid until the next preprocessing or the well's removal.
    DrpltImg getWellChannelImage(uint wellId, uint channel) const;
    // Replaces the prepared images with these (8- or 16-bit grey; other formats become 8-bit),
    // stored with packed rows as a preprocessing leaves them. For callers that prepare wells
    // themselves, such as tests with given pixels.
    void setPreparedImages(const QList<WellDrpltImgInfo<QImage>> &wells);
    void removeWellImages(uint wellId);
    const QList<WellDrpltImgInfo<QImage>> &wells() const;
    int blockCount() const;
    uint imageHeight() const;

    // ---- Exposure normalisation -------------------------------------------------------------
    // Per channel, the exposure time most wells share (ties: the smaller).
    QVector<uint> exposureReferences() const;
    // reference / own exposure per channel, rounded to three decimals; 1.0 where either is 0.
    QVector<float> exposureFactors(uint wellId, const QVector<uint> &references) const;
    static void applyExposureFactors(WellImageAnalysisInfo &info, const QVector<float> &factors);
    // Brings the stored droplet values of every well (or of the wells at configuration
    // positions begin .. begin + size - 1) to the common exposure time.
    void storeWellResults();
    void storeWellResults(int begin, int size);

    // ---- Per-well analysis and jobs ---------------------------------------------------------
    WellDrpltImgInfoStatus analyseWell(const WellDrpltImgInfo<QImage> &well, const WellJob &job);
    // The full re-analysis: droplets recognised anew from the images. Blocking; run it as a
    // pool job (after setAdjustTypes).
    void reanalyseAll();
    // Stores the matrix in the document and recomputes every well from its stored droplets,
    // then announces it (compensateWells, then announceCompensation).
    void applyCompensation(Ravelin::SpilloverCompensation *matrix);
    // The two halves, for a caller that has more to store before the user interface hears of
    // the change: listeners of the announcements read the document at once.
    void compensateWells(Ravelin::SpilloverCompensation *matrix);
    void announceCompensation();
    // Crosstalk-only preview of the matrix; the document is not changed.
    void editCompensation(Ravelin::SpilloverCompensation *matrix);
    // The preview of one well, replacing its earlier entry. Always true.
    bool adjustWellCrosstalk(uint wellId);
    // The working grey values of the channel (1..6) of the well's preview, droplet order.
    QVector<uint> getWellChannelValues(uint wellId, uint channel) const;

    // ---- Stored records ---------------------------------------------------------------------
    // The well's target channels and its reference channel, 0-based, ascending.
    QVector<int> getWellChannelIndices(uint wellId) const;
    // The analyser form of the well's stored record. The working values are the
    // exposure-normalised raw values, so a compensation always starts from uncompensated data.
    WellImageAnalysisInfo storedWellInfo(uint wellId) const;
    // Stores the analysis of a freshly recognised well: droplets with their raw values scaled
    // to the common exposure time, thresholds, no exclusions. Announces the thresholds and
    // asks for the well's recount.
    void recalcThresholds(uint wellId, const WellImageAnalysisInfo &compensated, bool compensationApplied,
                          const WellImageAnalysisInfo &uncompensated);
    static void storeReferenceCv(LumaraAnalysisData::WellImageAnalysisInfo &record);
    // With four or more values one smallest and one largest are dropped; the truncated mean of
    // the rest, 0 for none.
    static uint trimmedMean(QVector<uint> values);

signals:
    void applyConpemsationSucceeded(bool succeeded);
    void editCompensationCompleted();
    void compensationComplete();
    void updateWellModel();
    void clearCompensation();
    void dataFixed();
    void updateZonesDroplets(uint wellID, bool flag);
    void updateThldByLine(uint wellId, uint channelID, uint thld);

private:
    class AnalyserPool;
    enum class RecordSource {
        Recognised, // droplets new from the images: raw values get the exposure factors
        Stored,     // droplets of the stored record: raw values are normalised already, and
                    // the record's exclusions and measured figures carry over
    };

    void storeAnalysis(uint wellId, const WellImageAnalysisInfo &compensated, bool compensationApplied,
                       const WellImageAnalysisInfo &uncompensated, RecordSource source);
    // A job over the wells of the last preprocessing, with their filters and factors.
    WellJob wellJob(const QVector<uint> &references) const;
    // The statuses of one block's wells, in well order.
    QList<WellDrpltImgInfoStatus> analyseBlock(const QList<WellDrpltImgInfo<QImage>> &block, const WellJob &job);
    void recomputePopulationResults();
    bool readEntry(const QString &entry, QByteArray *content, QString *error = nullptr) const;
    bool hasEntry(const QString &entry) const;
    bool isSavedPackage() const;

    QList<WellDrpltImgInfo<QImage>> m_wells;
    QVector<QList<WellDrpltImgInfo<QImage>>> m_preprocessedBlocks;
    Ravelin::DrpltImgAnalyser *m_analyserA = nullptr;
    Ravelin::DrpltImgAnalyser *m_analyserB = nullptr;
    QVector<QPair<uint, QVector<DropletAnalysisInfo>>> m_compensationPreview;
    QString m_filePath;
    QString m_uniformImagePath;
    bool m_overrideSettings = false;
    int m_backgroundAdjustType = 0;
    int m_greyAdjustType = 0;
    uint m_imageHeight = 0;

    AnalyserSetup m_setup;
    std::shared_ptr<AnalyserPool> m_pool;
};
