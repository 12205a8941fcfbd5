#include "lumaraanalysisdata.h"
#include <cmath>

namespace LumaraAnalysisData {

namespace {
// NaN equals NaN here: stored figures may legitimately be NaN and must compare equal after a round trip.
bool same(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}
} // namespace

bool operator==(const TargetInfo &a, const TargetInfo &b)
{
    return a.name == b.name && a.fluorophore == b.fluorophore;
}

bool operator==(const SampleInfo &a, const SampleInfo &b) { return a.name == b.name; }

bool operator==(const WellInfo &a, const WellInfo &b)
{
    return a.id == b.id && a.position == b.position && a.name == b.name && a.prefix == b.prefix
        && a.plateIndex == b.plateIndex && a.comment == b.comment && a.drpltVolume == b.drpltVolume
        && a.drpltSum == b.drpltSum && a.channels == b.channels && a.sampleName == b.sampleName;
}

bool operator==(const MethodStepInfo &a, const MethodStepInfo &b)
{
    return same(a.rampRate, b.rampRate) && same(a.temperature, b.temperature)
        && same(a.deltaTemperature, b.deltaTemperature) && same(a.gradient, b.gradient)
        && a.holdTime == b.holdTime && a.deltaTime == b.deltaTime && same(a.extraValue, b.extraValue)
        && a.extraInt == b.extraInt && a.collect == b.collect && a.mode == b.mode;
}

bool operator==(const MethodStageInfo &a, const MethodStageInfo &b)
{
    return a.type == b.type && a.cycles == b.cycles && a.steps == b.steps;
}

bool operator==(const MethodInfo &a, const MethodInfo &b)
{
    return same(a.value, b.value) && a.stages == b.stages;
}

bool operator==(const ExperimentInfo &a, const ExperimentInfo &b)
{
    return a.name == b.name && a.blocksType == b.blocksType && a.expType == b.expType
        && a.dropletWorkType == b.dropletWorkType && a.reagentsType == b.reagentsType
        && a.targets == b.targets && a.samples == b.samples && a.wells == b.wells
        && a.method == b.method && a.comment == b.comment;
}

bool operator==(const ExpItemInfo &a, const ExpItemInfo &b)
{
    return a.id == b.id && a.fileName == b.fileName && a.wellIds == b.wellIds;
}

bool operator==(const WellItemInfo &a, const WellItemInfo &b)
{
    return a.wellId == b.wellId && a.refChanId == b.refChanId && a.imageNames == b.imageNames
        && a.expId == b.expId;
}

bool operator==(const AnalysisExpGlobalInfo &a, const AnalysisExpGlobalInfo &b)
{
    return a.wells == b.wells && a.experiments == b.experiments;
}

bool operator==(const DrpltInfo &a, const DrpltInfo &b)
{
    return a.x == b.x && a.y == b.y && a.size == b.size && a.flags == b.flags
        && a.values == b.values && a.grayPairs == b.grayPairs && a.grays == b.grays;
}

bool operator==(const ChanAnalysisInfo &a, const ChanAnalysisInfo &b)
{
    return same(a.posMean, b.posMean) && same(a.posCv, b.posCv) && same(a.negMean, b.negMean)
        && same(a.negCv, b.negCv) && same(a.Rs, b.Rs) && same(a.rain, b.rain)
        && a.lineThld == b.lineThld && a.compensatedLineThld == b.compensatedLineThld;
}

bool operator==(const WellImageAnalysisInfo &a, const WellImageAnalysisInfo &b)
{
    return a.wellId == b.wellId && a.valid == b.valid && same(a.sharpness, b.sharpness)
        && a.saturatedDrpltNum == b.saturatedDrpltNum && a.roxChannel == b.roxChannel
        && same(a.roxValue, b.roxValue) && a.droplets == b.droplets
        && a.excludedDrplts == b.excludedDrplts && a.chanInfos == b.chanInfos;
}

bool operator==(const DrpltZoneInfo &a, const DrpltZoneInfo &b)
{
    return a.id == b.id && a.code == b.code && a.populationIds == b.populationIds;
}

bool operator==(const PopulationsInfo &a, const PopulationsInfo &b)
{
    return a.id == b.id && a.name == b.name && a.signColor == b.signColor
        && a.negEdited == b.negEdited && a.zones == b.zones;
}

bool operator==(const ClassifyGlobalInfo &a, const ClassifyGlobalInfo &b)
{
    return a.zones == b.zones && a.populations == b.populations;
}

bool operator==(const ZoneDrpltNumInfo &a, const ZoneDrpltNumInfo &b)
{
    return a.zoneId == b.zoneId && a.drpltNum == b.drpltNum;
}

bool operator==(const Customized2DPlotInfo &a, const Customized2DPlotInfo &b)
{
    return a.id == b.id && a.name == b.name && a.xChannel == b.xChannel && a.yChannel == b.yChannel;
}

bool operator==(const Customized3DPlotInfo &a, const Customized3DPlotInfo &b)
{
    return a.id == b.id && a.name == b.name && a.xChannel == b.xChannel && a.yChannel == b.yChannel
        && a.zChannel == b.zChannel;
}

bool operator==(const CustomizedPlotGlobalInfo &a, const CustomizedPlotGlobalInfo &b)
{
    return a.plots2D == b.plots2D && a.plots3D == b.plots3D;
}

bool operator==(const ChanResultInfo &a, const ChanResultInfo &b)
{
    return a.chanId == b.chanId && a.chanType == b.chanType
        && same(a.refConcentration, b.refConcentration) && same(a.dilution, b.dilution);
}

bool operator==(const PopulationResultInfo &a, const PopulationResultInfo &b)
{
    return a.populationId == b.populationId && same(a.dilution, b.dilution)
        && a.posDrpltNum == b.posDrpltNum && a.negDrpltNum == b.negDrpltNum
        && same(a.concentration, b.concentration)
        && same(a.concentrationLower, b.concentrationLower)
        && same(a.concentrationUpper, b.concentrationUpper) && same(a.uncertainty, b.uncertainty);
}

bool operator==(const WellResultInfo &a, const WellResultInfo &b)
{
    return a.wellId == b.wellId && a.effDrpltNum == b.effDrpltNum
        && a.chanResults == b.chanResults && a.populationResults == b.populationResults;
}

bool operator==(const QcThresholdInfo &a, const QcThresholdInfo &b)
{
    return a.imageSharpness == b.imageSharpness
        && same(a.analyzableDrpltRatio, b.analyzableDrpltRatio)
        && a.saturatedObjects == b.saturatedObjects && same(a.rfuCv, b.rfuCv) && same(a.rs, b.rs)
        && same(a.rain, b.rain) && a.rainRangeStddevNum == b.rainRangeStddevNum
        && a.recogExcludeStddevNum == b.recogExcludeStddevNum;
}

bool operator==(const ScanningParameterInfo &a, const ScanningParameterInfo &b)
{
    return a.exposureTime == b.exposureTime && same(a.focus, b.focus);
}

bool operator==(const DevParasInfoOfWells &a, const DevParasInfoOfWells &b)
{
    return a.serialNumber == b.serialNumber && a.paras == b.paras;
}

} // namespace LumaraAnalysisData
