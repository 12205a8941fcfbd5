#pragma once
// The single way from the user interface into the analysis document: a process-wide facade
// that owns the business managers, forwards most requests to the document's managers and
// carries out the operations that span several of them (opening a file, the QC limits, zone
// recounts, default plots and population names). It holds no copy of document data: every
// read goes to the document at the time of the call. Its signals reach the signal hub.
#include "model/lumaraanalysisdata.h"
#include "model/welldrpltimginfo.h"
#include "pcranalysisdocument.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QPolygonF>
#include <QSet>
#include <QString>
#include <QVector>

#include <atomic>

class DropletExclude;
class ExperimentEditMgr;
class PlotGroupMgr;
class PopulationsMgr;
class ReportExport;
class ReAnalysis;
class ResultCalculate;

class BLLInstance : public QObject {
    Q_OBJECT
public:
    // The process-wide facade, built on first use (thread-safe) and kept to the end of the
    // program. When the first call comes from a worker, the facade and its managers move to
    // the application's thread, so that queued deliveries still reach them.
    static BLLInstance *getInstance();
    // Creates the document, the signal hub and the facade on the calling thread. Call it from
    // main on the user-interface thread before any worker starts: the document's first use
    // must not race with another, and the three objects belong to that thread.
    static void createSingletons();

    DropletExclude *getDropletExclude() const;
    ExperimentEditMgr *getExperimentEditMgr() const;
    PlotGroupMgr *getPlotGroupMgr() const;
    PopulationsMgr *getPopulationsMgr() const;

    // ---- Opening and QC limits ---------------------------------------------------------
    // Opens the package into the document and probes its reagent-kit entry (also when the
    // open fails). On failure emits openFileError and returns false, the rest untouched.
    // Otherwise configures the analysis engine and prepares every well's images; a run
    // archive (any suffix but "arlx") also gets its stored values brought to a common exposure
    // time, automatic analysis thresholds, the default plots and dye-named populations. Then
    // reads "../data/QcParams.ini" and emits openFileComplete. Runs on the open worker thread;
    // nothing thrown leaves it.
    bool openFile(QString path);
    // Whether the last opened archive holds a readable "reagentKit/pcr.kit".
    bool isSpecialKit() const;
    // The result manager's QC limits; the defaults while no document is open.
    LumaraAnalysisData::QcThresholdInfo getQcSettings() const;

    // ---- Pass-through readers and editors (channels 1..6) ----------------------------------
    // Removes the well from the analysis data, the configuration and the engine's images.
    void removeWell(uint wellId);
    // Withdraws the matrix; when one was applied, every well goes back to its raw analysis
    // thresholds, is recounted, and the results are renewed (dataFixed).
    void resetCompensationMatrix();
    const QByteArray &getCompensationMatrixBuf() const;
    LumaraAnalysisData::MethodInfo getMethod() const;
    // The well's analysis record; an empty record for a well the document does not hold.
    LumaraAnalysisData::WellItemInfo getWellGlobal(uint wellId) const;
    // 0 for a well the document does not hold.
    uint getRefChannelId(uint wellId) const;
    QString getExpComment() const;
    void setExpComment(QString comment);
    bool setSampleName(uint wellId, QString name);
    void setTargetName(uint channelId, QString name);
    QString getTargetName(uint channelId) const;
    QString getFluorophoreName(uint channelId) const;
    QList<uint> getWellIds() const;
    // Target channels of the first well record with the id, stored order; empty when none.
    QList<uint> getWellChannels(uint wellId) const;
    // Target channels of the listed wells, first-seen order, each once.
    QList<uint> getChannelsOfWells(QList<uint> wellIds) const;
    // Target and reference channels of the listed wells, each once, ascending.
    QList<uint> getSortedChannelsOfWells(QList<uint> wellIds) const;
    // Target and reference channel indices (0..5) of the well, ascending, repeats kept.
    QVector<int> getWellChannelIndices(uint wellId) const;
    // Every channel that some well analyses (targets and reference), each once, ascending.
    QList<uint> getAllUsedChannels() const;
    // Display name of the well; "" when no well has the id.
    QString getWellSampleName(uint wellId) const;
    // Droplet volume in picolitres; 800 when no well has the id.
    int getWellDropletVolume(uint wellId) const;
    // The effective droplet number of the well's result; 0 without a result record.
    uint getWellDropletNum(uint wellId) const;
    // Droplet sum times the analysable-droplet ratio of the QC limits, truncated as
    // truncatedShare does; 0 when no well has the id.
    uint getNumbersRef(uint wellId) const;
    // count x ratio truncated toward zero, within 0..UINT_MAX. A product that is whole stays
    // whole although the ratio is held in binary: 20000 x 0.57 is 11400, not 11399.
    static uint truncatedShare(uint count, double ratio);
    // Exposure time / focus of the channel: the parameters shared by all wells when the
    // device parameters have them, else the well's own; 0 when there are none.
    uint getExposeTime(uint wellId, uint channelId) const;
    double getFocus(uint wellId, uint channelId) const;
    // Some image of the first well is wider than 3500 pixels.
    bool isLargeImageFormat() const;
    QChar getChannelSymbol(uint wellId, uint channelId) const;
    void setChannelType(uint wellId, uint channelId, QChar symbol);
    bool setChannelDilution(uint wellId, uint channelId, double dilution);
    bool setRefConcentration(uint wellId, uint channelId, double concentration);

    // ---- Thresholds, grey values and results -------------------------------------------
    ResultCalculate *getResultCalculate() const;

    LumaraAnalysisData::ThresholdMode getThldType() const;
    // The first line threshold of the well for the channel; 0 when there is none.
    uint getThldByLine(uint wellId, uint channelId) const;
    // How a droplet's zone code is made in line mode, the one rule of the recount, the image
    // markers and the 3D colours: bit j stands for the j-th named target channel, ascending
    // (at most six); a target the well does not measure is always set (`forced`), any other
    // bit is set when the droplet's value in its channel (1..6) reaches the well's threshold.
    struct CodeBit {
        uint channel = 0;
        uint threshold = 0;
        int shift = 0;
    };
    struct LineCode {
        QVector<CodeBit> bits; // the measured targets, in bit order
        uint forced = 0;
        int bitCount = 0;
    };
    LineCode lineCode(uint wellId) const;
    // The well's polygon of the zone; an empty polygon when there is none.
    QPolygonF getThldByPolygon(uint wellId, uint zoneId) const;
    // Stores the well's polygon of the zone and announces dataFixed; no recount.
    void setThldByPolygon(uint wellId, uint zoneId, QPolygonF polygon);
    // 0: line thresholds for the target channels, fresh population results in every well,
    // every well back on its analysis thresholds and recounted, dataFixed, dye names.
    // Nothing without wells. Any other mode: polygon thresholds, no recount, no signal.
    void setThresholdingType(int mode);
    // Pools every well's analysis thresholds per channel (trimmed mean) and sets them as the
    // line thresholds of every well, or only of the listed wells when individual is true;
    // each well set is recounted; then dataFixed.
    void autoThreshold(QList<uint> wellIds, bool individual);
    // Clusters every well's kept grey values into the image-analysis thresholds of channels
    // 1..6 (compensated ones while the matrix is applied). No recount, no signal.
    void autoThresholdAllWells();

    // Per kept droplet in droplet order (excluded droplets left out). A droplet without a
    // value for the channel reads 0, so that the channels of one well stay aligned. Channels
    // outside 1..6 give nothing.
    QVector<QPair<uint, uint>> getWellChannelGrayPairs(uint wellId, uint channelId) const; // raw, compensated
    // The compensated value while the compensation matrix is applied, the raw one otherwise:
    // the value the recount classifies.
    QVector<uint> getWellChannelGrayValues(uint wellId, uint channelId) const;
    // The same value for every stored droplet in record order, excluded ones included, so that
    // position i is droplet i of the record: what droplet markers, the droplet panel and the
    // grey-value export read (never a droplet record's own grey list, which can hold the other
    // member of the pair). 0 where a droplet has none; nothing for a channel outside 1..6.
    QVector<uint> getAllDropletGrayValues(uint wellId, uint channelId) const;
    // The values at or above the channel's line threshold: the positives the recount counts.
    QVector<uint> getPositiveGrayValues(uint wellId, uint channelId) const;
    // Truncated mean of the values strictly above the threshold; 0 when there are none.
    uint getPFuMean(uint wellId, uint channelId) const;
    QSet<uint> getExcludedDroplets(uint wellId) const;
    // Droplets minus the excluded ones among them; 0 for a well without a record.
    int getWellEffDropletCount(uint wellId) const;

    // The well's kept droplets of the plot's channel pair inside the polygon (odd-even fill):
    // the count the recount stores for a polygon zone.
    int countDropletsInPolygon(uint plotId, uint wellId, const QPolygonF &polygon) const;

    // ---- Default plots and population names -----------------------------------------------
    // When a plot list is empty: every pair (2D) and triple (3D) of the wells' target channels
    // in first-seen order, named "%1_%2" / "%1_%2_%3" after the channels' target names.
    void createDefaultPlots();
    // Populations named after a channel ("Blue Channel" ... "Dark Red Channel", exactly) take
    // the dye name of that channel.
    void renameChannelPopulations();

signals:
    void saveCompleted();
    void mergeComplete();
    void openFileComplete();
    void openFileError();
    void dataFixed();

public slots:
    // Wired to the analysis engine's per-well requests and also called directly (the well
    // list's threshold Apply). Recounts every position of the well, announces when asked.
    void updateZonesDroplets(uint wellID, bool flag);
    // Stores the well's line threshold; no recount, no signal.
    void updateThldByLine(uint wellId, uint channelID, uint thld);

private slots:
    // On DropletExclude::dataFixed: recounts every well, then announces; nothing without wells.
    void reCalculateZonesDroplets();
    // True when the file exists and was read; its limits then replace the result manager's.
    bool readQcSettings(QString file);

private:
    BLLInstance();
    ~BLLInstance() override;
    Q_DISABLE_COPY(BLLInstance)

    // Recounts the wells at positions first..last of the configuration's well list; nothing
    // for an empty list or positions outside it. No signal.
    void recountWells(int first, int last, bool resetThresholds);
    void recountWellByLine(uint wellId, bool resetThresholds);
    void recountWellByPolygon(uint wellId);
    // The kept values of the channel above its line threshold, or at it too.
    QVector<uint> valuesAboveThreshold(uint wellId, uint channelId, bool atThreshold) const;

    DropletExclude *m_dropletExclude = nullptr;
    ExperimentEditMgr *m_experimentEditMgr = nullptr;
    PlotGroupMgr *m_plotGroupMgr = nullptr;
    PopulationsMgr *m_populationsMgr = nullptr;
    ReportExport *m_reportExport = nullptr;
    ResultCalculate *m_resultCalculate = nullptr;
    // Written by the open worker, read by the pages.
    std::atomic<bool> m_specialKit{false};

    // ---- Analysis engine, saving and merging ---------------------------------------------------
public:
    ReAnalysis *getReAnalysis() const;
    // The preprocessed image of the well's channel (1..6); {0, 0, 1, null} when not loaded.
    DrpltImg getWellChannelImage(uint wellId, uint channelId) const;
    // Saving: beginSaveFile on the user-interface thread, then saveFile and endSaveFile on a
    // worker. saveFile gives the document's result (and emits saveCompleted either way).
    void beginSaveFile();
    bool saveFile(QString path);
    void endSaveFile();
    // Merging: the check, then (only when it gives MergeSupported) continueLoadFile on a
    // worker. The added wells are normalised, preprocessed and recounted (or compensated with
    // the stored matrix) inside that call, before mergeComplete.
    PcrAnalysisDocument::ErrorCode isMergeSupported4Load(QString path, PcrAnalysisDocument::MergePermit &permit);
    bool continueLoadFile();

private slots:
    // The wells at positions begin .. begin + size - 1 were added by a merge: recounted with
    // their analysis thresholds, or, when a matrix is stored, compensated with it.
    void updateNewWellInfo(int begin, int size);
    // On the engine's report that a compensation was applied: recounts pending merged wells.
    void compensationComplated(bool success);
    // On the document's wellAdded, on the merging thread: only remembers the range.
    void noteAddedWells(int begin, int size);

private:
    ReAnalysis *m_reAnalysis = nullptr;
    int m_pendingBegin = 0;
    int m_pendingSize = 0;
    bool m_compensationPending = false;
    int m_addedBegin = -1;
    int m_addedSize = 0;
};
