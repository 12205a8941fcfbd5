#pragma once
// The analysis document's data model: plain value records that refer to one another by
// 32-bit ids. Field order is the stream order of the package entries.
#include "tesmar_global.h"

#include <QList>
#include <QMap>
#include <QPair>
#include <QPolygonF>
#include <QSet>
#include <QString>
#include <QVector>

namespace LumaraAnalysisData {

// Enumerations are 32 bits wide and may carry any value a file holds.
enum ThresholdMode : qint32 { LineThreshold = 0, PolygonThreshold = 1 };
enum ZoneType : qint32 { PositiveZone = 0, NegativeZone = 1, PositiveAndNegativeZone = 2 };
enum ExperimentType : qint32 {};
enum ReagentsType : qint32 {};
enum DropletWorkType : qint32 {};
enum BlocksType : qint32 {};

constexpr int PerChannel = 6;

// ---- Experiment configuration ------------------------------------------------------------

struct TargetInfo {
    QString name;
    QString fluorophore;
};

struct SampleInfo {
    QString name;
};

struct WellInfo {
    quint32 id = 0;
    QString position;
    QString name;
    QString prefix;
    qint32 plateIndex = 0;
    QString comment;
    qint32 drpltVolume = 0; // picolitres
    qint32 drpltSum = 0;
    QList<quint32> channels; // positions 0..5 in ExperimentInfo::targets
    QString sampleName;
};

struct MethodStepInfo {
    double rampRate = 5.0;
    double temperature = 0.0;
    double deltaTemperature = 0.0;
    double gradient = 0.0;
    qint32 holdTime = 60;
    qint32 deltaTime = 0;
    double extraValue = 0.0;
    qint32 extraInt = 0;
    bool collect = false;
    qint32 mode = 0;
};

struct MethodStageInfo {
    qint32 type = 0;
    qint32 cycles = 0;
    QList<MethodStepInfo> steps;
};

struct MethodInfo {
    double value = 0.0;
    QList<MethodStageInfo> stages;
};

struct ExperimentInfo {
    QString name;
    BlocksType blocksType = BlocksType(0);
    ExperimentType expType = ExperimentType(0);
    DropletWorkType dropletWorkType = DropletWorkType(0);
    ReagentsType reagentsType = ReagentsType(0);
    QVector<TargetInfo> targets = QVector<TargetInfo>(PerChannel); // entry channel - 1
    QVector<SampleInfo> samples;
    QList<WellInfo> wells;
    MethodInfo method;
    QString comment;
};

// ---- Analysis experiments and wells --------------------------------------------------------

struct ExpItemInfo {
    quint32 id = 0;
    QString fileName;
    QList<quint32> wellIds;
};

struct WellItemInfo {
    quint32 wellId = 0;
    quint32 refChanId = 0; // 1..6
    QVector<QVector<QString>> imageNames;
    quint32 expId = 0;
};

struct AnalysisExpGlobalInfo {
    QList<WellItemInfo> wells;
    QList<ExpItemInfo> experiments;
};

// ---- Image-analysis results ----------------------------------------------------------------

struct DrpltInfo {
    quint32 x = 0; // the analyser's droplet number in older records
    quint32 y = 0;
    quint32 size = 0;
    QVector<quint32> flags = QVector<quint32>(PerChannel);
    QVector<quint32> values = QVector<quint32>(PerChannel);
    QVector<QPair<quint32, quint32>> grayPairs = QVector<QPair<quint32, quint32>>(PerChannel); // raw, compensated
    QVector<quint32> grays = QVector<quint32>(PerChannel);
};

struct ChanAnalysisInfo {
    double posMean = 0.0;
    double posCv = 0.0;
    double negMean = 0.0;
    double negCv = 0.0;
    double Rs = -1.0;
    double rain = -1.0;
    quint32 lineThld = 0;
    quint32 compensatedLineThld = 0;
};

struct WellImageAnalysisInfo {
    quint32 wellId = 0;
    bool valid = false;
    double sharpness = 0.0;
    quint32 saturatedDrpltNum = 0;
    quint32 roxChannel = 0;
    double roxValue = 0.0;
    QVector<DrpltInfo> droplets;
    QSet<quint32> excludedDrplts;
    QVector<ChanAnalysisInfo> chanInfos = QVector<ChanAnalysisInfo>(PerChannel);
};

// ---- Classification ------------------------------------------------------------------------

struct DrpltZoneInfo {
    quint32 id = 0;
    quint32 code = 0; // channel mask (line mode) or 2D plot id (polygon mode)
    QList<quint32> populationIds;
};

struct PopulationsInfo {
    quint32 id = 0;
    QString name;
    QString signColor;
    bool negEdited = false;
    QList<QPair<quint32, ZoneType>> zones;
};

struct ClassifyGlobalInfo {
    QVector<DrpltZoneInfo> zones;
    QList<PopulationsInfo> populations;
};

template <typename T>
struct ThresholdInfo {
    quint32 id = 0; // channel (line) or zone (polygon)
    T value = T();
};

struct ZoneDrpltNumInfo {
    quint32 zoneId = 0;
    quint32 drpltNum = 0;
};

template <typename T>
struct WellClassifyInfo {
    quint32 wellId = 0;
    QVector<ThresholdInfo<T>> thlds;
    QVector<ZoneDrpltNumInfo> zoneDrpltNums;
};

using LineThresholdInfo = ThresholdInfo<quint32>;
using PolygonThresholdInfo = ThresholdInfo<QPolygonF>;
using WellClassifyInfoByLine = WellClassifyInfo<quint32>;
using WellClassifyInfoByPolygon = WellClassifyInfo<QPolygonF>;

// ---- User-defined plots --------------------------------------------------------------------

struct Customized2DPlotInfo {
    quint32 id = 0;
    QString name;
    quint32 xChannel = 0;
    quint32 yChannel = 0;
};

struct Customized3DPlotInfo {
    quint32 id = 0;
    QString name;
    quint32 xChannel = 0;
    quint32 yChannel = 0;
    quint32 zChannel = 0;
};

struct CustomizedPlotGlobalInfo {
    QList<Customized2DPlotInfo> plots2D;
    QList<Customized3DPlotInfo> plots3D;
};

// ---- Results -------------------------------------------------------------------------------

struct ChanResultInfo {
    quint32 chanId = 0;
    quint16 chanType = 0; // streamed as one QChar
    double refConcentration = 0.0;
    double dilution = 1.0;
};

struct PopulationResultInfo {
    quint32 populationId = 0;
    double dilution = 1.0; // not part of the stored form
    quint32 posDrpltNum = 0;
    quint32 negDrpltNum = 0;
    double concentration = 0.0;
    double concentrationLower = 0.0;
    double concentrationUpper = 0.0;
    double uncertainty = 0.0;
};

struct WellResultInfo {
    quint32 wellId = 0;
    quint32 effDrpltNum = 0;
    QVector<ChanResultInfo> chanResults = QVector<ChanResultInfo>(PerChannel);
    QVector<PopulationResultInfo> populationResults;
};

struct QcThresholdInfo {
    quint32 imageSharpness = 1500;
    double analyzableDrpltRatio = 0.85;
    quint32 saturatedObjects = 10;
    double rfuCv = 0.1;
    double rs = 0.5;
    double rain = 0.5;
    quint32 rainRangeStddevNum = 3;
    quint32 recogExcludeStddevNum = 3;
};

// ---- Device parameters ---------------------------------------------------------------------

struct ScanningParameterInfo {
    qint32 exposureTime = 0;
    double focus = 0.0;
};

struct DevParasInfoOfWells {
    QString serialNumber;
    QMap<quint32, QVector<ScanningParameterInfo>> paras; // key 0: shared by every well
};

// Member-wise equality, used to compare managers' contents (e.g. after save and reopen).
TESMAR_EXPORT bool operator==(const TargetInfo &a, const TargetInfo &b);
TESMAR_EXPORT bool operator==(const SampleInfo &a, const SampleInfo &b);
TESMAR_EXPORT bool operator==(const WellInfo &a, const WellInfo &b);
TESMAR_EXPORT bool operator==(const MethodStepInfo &a, const MethodStepInfo &b);
TESMAR_EXPORT bool operator==(const MethodStageInfo &a, const MethodStageInfo &b);
TESMAR_EXPORT bool operator==(const MethodInfo &a, const MethodInfo &b);
TESMAR_EXPORT bool operator==(const ExperimentInfo &a, const ExperimentInfo &b);
TESMAR_EXPORT bool operator==(const ExpItemInfo &a, const ExpItemInfo &b);
TESMAR_EXPORT bool operator==(const WellItemInfo &a, const WellItemInfo &b);
TESMAR_EXPORT bool operator==(const AnalysisExpGlobalInfo &a, const AnalysisExpGlobalInfo &b);
TESMAR_EXPORT bool operator==(const DrpltInfo &a, const DrpltInfo &b);
TESMAR_EXPORT bool operator==(const ChanAnalysisInfo &a, const ChanAnalysisInfo &b);
TESMAR_EXPORT bool operator==(const WellImageAnalysisInfo &a, const WellImageAnalysisInfo &b);
TESMAR_EXPORT bool operator==(const DrpltZoneInfo &a, const DrpltZoneInfo &b);
TESMAR_EXPORT bool operator==(const PopulationsInfo &a, const PopulationsInfo &b);
TESMAR_EXPORT bool operator==(const ClassifyGlobalInfo &a, const ClassifyGlobalInfo &b);
TESMAR_EXPORT bool operator==(const ZoneDrpltNumInfo &a, const ZoneDrpltNumInfo &b);
TESMAR_EXPORT bool operator==(const Customized2DPlotInfo &a, const Customized2DPlotInfo &b);
TESMAR_EXPORT bool operator==(const Customized3DPlotInfo &a, const Customized3DPlotInfo &b);
TESMAR_EXPORT bool operator==(const CustomizedPlotGlobalInfo &a, const CustomizedPlotGlobalInfo &b);
TESMAR_EXPORT bool operator==(const ChanResultInfo &a, const ChanResultInfo &b);
TESMAR_EXPORT bool operator==(const PopulationResultInfo &a, const PopulationResultInfo &b);
TESMAR_EXPORT bool operator==(const WellResultInfo &a, const WellResultInfo &b);
TESMAR_EXPORT bool operator==(const QcThresholdInfo &a, const QcThresholdInfo &b);
TESMAR_EXPORT bool operator==(const ScanningParameterInfo &a, const ScanningParameterInfo &b);
TESMAR_EXPORT bool operator==(const DevParasInfoOfWells &a, const DevParasInfoOfWells &b);

template <typename T>
bool operator==(const ThresholdInfo<T> &a, const ThresholdInfo<T> &b)
{
    return a.id == b.id && a.value == b.value;
}
template <typename T>
bool operator==(const WellClassifyInfo<T> &a, const WellClassifyInfo<T> &b)
{
    return a.wellId == b.wellId && a.thlds == b.thlds && a.zoneDrpltNums == b.zoneDrpltNums;
}

} // namespace LumaraAnalysisData
