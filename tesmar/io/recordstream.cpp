#include "recordstream.h"
#include "io/experimentcfgfileparser.h"

namespace LumaraAnalysisData {

namespace {
constexpr qint64 ReservationCap = 1 << 20;

bool ok(const QDataStream &ds) { return ds.status() == QDataStream::Ok; }
} // namespace

int boundedReservation(const QDataStream &ds, quint32 count, int minElementBytes)
{
    const QIODevice *dev = ds.device();
    const qint64 available = dev ? dev->bytesAvailable() : 0;
    const qint64 fit = available / qMax(1, minElementBytes);
    return int(std::min<qint64>({qint64(count), fit, ReservationCap}));
}

void writeRecord(QDataStream &ds, const QPolygonF &v)
{
    ds << quint32(v.size());
    for (const QPointF &p : v)
        ds << double(p.x()) << double(p.y());
}

bool readRecord(QDataStream &ds, QPolygonF &v)
{
    QVector<QPair<double, double>> points;
    const bool good = readContainer(ds, points);
    v.clear();
    v.reserve(points.size());
    for (const auto &p : qAsConst(points))
        v.append(QPointF(p.first, p.second));
    return good && ok(ds);
}

// ---- Method ---------------------------------------------------------------------------------

void writeRecord(QDataStream &ds, const MethodStepInfo &v)
{
    ds << v.rampRate << v.temperature << v.deltaTemperature << v.gradient << v.holdTime
       << v.deltaTime << v.extraValue << v.extraInt << v.collect << v.mode;
}

bool readRecord(QDataStream &ds, MethodStepInfo &v)
{
    ds >> v.rampRate >> v.temperature >> v.deltaTemperature >> v.gradient >> v.holdTime
        >> v.deltaTime >> v.extraValue >> v.extraInt >> v.collect >> v.mode;
    return ok(ds);
}

void writeRecord(QDataStream &ds, const MethodStageInfo &v)
{
    ds << v.type << v.cycles;
    writeContainer(ds, v.steps);
}

bool readRecord(QDataStream &ds, MethodStageInfo &v)
{
    ds >> v.type >> v.cycles;
    readContainer(ds, v.steps);
    return ok(ds);
}

void writeRecord(QDataStream &ds, const MethodInfo &v)
{
    ds << v.value;
    writeContainer(ds, v.stages);
}

bool readRecord(QDataStream &ds, MethodInfo &v)
{
    ds >> v.value;
    readContainer(ds, v.stages);
    return ok(ds);
}

// ---- Experiment configuration ---------------------------------------------------------------

void writeRecord(QDataStream &ds, const TargetInfo &v) { ds << v.name << v.fluorophore; }

bool readRecord(QDataStream &ds, TargetInfo &v)
{
    ds >> v.name >> v.fluorophore;
    return ok(ds);
}

void writeRecord(QDataStream &ds, const SampleInfo &v) { ds << v.name; }

bool readRecord(QDataStream &ds, SampleInfo &v)
{
    ds >> v.name;
    return ok(ds);
}

void writeRecord(QDataStream &ds, const WellInfo &v)
{
    ds << v.id << v.position << v.name << v.prefix << v.plateIndex << v.comment << v.drpltVolume
       << v.drpltSum;
    writeContainer(ds, v.channels);
    ds << v.sampleName;
}

bool readRecord(QDataStream &ds, WellInfo &v)
{
    ds >> v.id >> v.position >> v.name >> v.prefix >> v.plateIndex >> v.comment >> v.drpltVolume
        >> v.drpltSum;
    readContainer(ds, v.channels);
    ds >> v.sampleName;
    return ok(ds);
}

// The record form is the configuration body with all four type integers.
void writeRecord(QDataStream &ds, const ExperimentInfo &v)
{
    writeConfigBody(ds, v, true);
}

bool readRecord(QDataStream &ds, ExperimentInfo &v)
{
    return readConfigBody(ds, v, true);
}

// ---- Analysis experiments -------------------------------------------------------------------

void writeRecord(QDataStream &ds, const WellItemInfo &v)
{
    ds << v.wellId << v.refChanId;
    ds << quint32(v.imageNames.size());
    for (const auto &names : v.imageNames)
        writeContainer(ds, names);
    ds << v.expId;
}

bool readRecord(QDataStream &ds, WellItemInfo &v)
{
    ds >> v.wellId >> v.refChanId;
    readContainerWith<QVector<QVector<QString>>, QVector<QString>>(
        ds, v.imageNames, [](QDataStream &s, QVector<QString> &names) { readContainer(s, names); },
        4);
    ds >> v.expId;
    return ok(ds);
}

void writeRecord(QDataStream &ds, const ExpItemInfo &v)
{
    ds << v.id << v.fileName;
    writeContainer(ds, v.wellIds);
}

bool readRecord(QDataStream &ds, ExpItemInfo &v)
{
    ds >> v.id >> v.fileName;
    readContainer(ds, v.wellIds);
    return ok(ds);
}

void writeRecord(QDataStream &ds, const AnalysisExpGlobalInfo &v)
{
    writeContainer(ds, v.wells);
    writeContainer(ds, v.experiments);
}

bool readRecord(QDataStream &ds, AnalysisExpGlobalInfo &v)
{
    readContainer(ds, v.wells);
    readContainer(ds, v.experiments);
    return ok(ds);
}

// ---- Image analysis -------------------------------------------------------------------------

void writeRecord(QDataStream &ds, const DrpltInfo &v)
{
    ds << v.x << v.y << v.size;
    writeContainer(ds, v.flags);
    writeContainer(ds, v.values);
    writeContainer(ds, v.grayPairs);
    writeContainer(ds, v.grays);
}

bool readRecord(QDataStream &ds, DrpltInfo &v)
{
    ds >> v.x >> v.y >> v.size;
    readContainer(ds, v.flags);
    readContainer(ds, v.values);
    readContainer(ds, v.grayPairs);
    readContainer(ds, v.grays);
    return ok(ds);
}

void writeRecord(QDataStream &ds, const ChanAnalysisInfo &v)
{
    ds << v.posMean << v.posCv << v.negMean << v.negCv << v.Rs << v.rain << v.lineThld
       << v.compensatedLineThld;
}

bool readRecord(QDataStream &ds, ChanAnalysisInfo &v)
{
    ds >> v.posMean >> v.posCv >> v.negMean >> v.negCv >> v.Rs >> v.rain >> v.lineThld
        >> v.compensatedLineThld;
    return ok(ds);
}

void writeRecord(QDataStream &ds, const WellImageAnalysisInfo &v)
{
    ds << v.wellId << v.valid << v.sharpness << v.saturatedDrpltNum << v.roxChannel << v.roxValue;
    writeContainer(ds, v.droplets);
    writeContainer(ds, v.excludedDrplts);
    writeContainer(ds, v.chanInfos);
}

bool readRecord(QDataStream &ds, WellImageAnalysisInfo &v)
{
    ds >> v.wellId >> v.valid >> v.sharpness >> v.saturatedDrpltNum >> v.roxChannel >> v.roxValue;
    readContainer(ds, v.droplets);
    readContainer(ds, v.excludedDrplts);
    readContainer(ds, v.chanInfos);
    return ok(ds);
}

// ---- Classification -------------------------------------------------------------------------

void writeRecord(QDataStream &ds, const DrpltZoneInfo &v)
{
    // The population list comes before the code in the stored form.
    ds << v.id;
    writeContainer(ds, v.populationIds);
    ds << v.code;
}

bool readRecord(QDataStream &ds, DrpltZoneInfo &v)
{
    ds >> v.id;
    readContainer(ds, v.populationIds);
    ds >> v.code;
    return ok(ds);
}

void writeRecord(QDataStream &ds, const PopulationsInfo &v)
{
    ds << v.id << v.name << v.signColor << v.negEdited;
    writeContainer(ds, v.zones);
}

bool readRecord(QDataStream &ds, PopulationsInfo &v)
{
    ds >> v.id >> v.name >> v.signColor >> v.negEdited;
    readContainer(ds, v.zones);
    return ok(ds);
}

void writeRecord(QDataStream &ds, const ClassifyGlobalInfo &v)
{
    writeContainer(ds, v.zones);
    writeContainer(ds, v.populations);
}

bool readRecord(QDataStream &ds, ClassifyGlobalInfo &v)
{
    readContainer(ds, v.zones);
    readContainer(ds, v.populations);
    return ok(ds);
}

void writeRecord(QDataStream &ds, const ZoneDrpltNumInfo &v) { ds << v.zoneId << v.drpltNum; }

bool readRecord(QDataStream &ds, ZoneDrpltNumInfo &v)
{
    ds >> v.zoneId >> v.drpltNum;
    return ok(ds);
}

// ---- Plots ----------------------------------------------------------------------------------

void writeRecord(QDataStream &ds, const Customized2DPlotInfo &v)
{
    ds << v.id << v.name << v.xChannel << v.yChannel;
}

bool readRecord(QDataStream &ds, Customized2DPlotInfo &v)
{
    ds >> v.id >> v.name >> v.xChannel >> v.yChannel;
    return ok(ds);
}

void writeRecord(QDataStream &ds, const Customized3DPlotInfo &v)
{
    ds << v.id << v.name << v.xChannel << v.yChannel << v.zChannel;
}

bool readRecord(QDataStream &ds, Customized3DPlotInfo &v)
{
    ds >> v.id >> v.name >> v.xChannel >> v.yChannel >> v.zChannel;
    return ok(ds);
}

// ---- Results --------------------------------------------------------------------------------

void writeRecord(QDataStream &ds, const ChanResultInfo &v)
{
    ds << v.chanId << QChar(ushort(v.chanType)) << v.refConcentration << v.dilution;
}

bool readRecord(QDataStream &ds, ChanResultInfo &v)
{
    QChar type;
    ds >> v.chanId >> type >> v.refConcentration >> v.dilution;
    v.chanType = type.unicode();
    return ok(ds);
}

void writeRecord(QDataStream &ds, const PopulationResultInfo &v)
{
    // The dilution is not part of the stored form.
    ds << v.populationId << v.posDrpltNum << v.negDrpltNum << v.concentration
       << v.concentrationLower << v.concentrationUpper << v.uncertainty;
}

bool readRecord(QDataStream &ds, PopulationResultInfo &v)
{
    ds >> v.populationId >> v.posDrpltNum >> v.negDrpltNum >> v.concentration
        >> v.concentrationLower >> v.concentrationUpper >> v.uncertainty;
    v.dilution = 1.0;
    return ok(ds);
}

void writeRecord(QDataStream &ds, const WellResultInfo &v)
{
    ds << v.wellId << v.effDrpltNum;
    writeContainer(ds, v.chanResults);
    writeContainer(ds, v.populationResults);
}

bool readRecord(QDataStream &ds, WellResultInfo &v)
{
    ds >> v.wellId >> v.effDrpltNum;
    readContainer(ds, v.chanResults);
    readContainer(ds, v.populationResults);
    return ok(ds);
}

// ---- Device parameters ----------------------------------------------------------------------

void writeRecord(QDataStream &ds, const ScanningParameterInfo &v)
{
    ds << v.exposureTime << v.focus;
}

bool readRecord(QDataStream &ds, ScanningParameterInfo &v)
{
    ds >> v.exposureTime >> v.focus;
    return ok(ds);
}

void writeRecord(QDataStream &ds, const DevParasInfoOfWells &v)
{
    ds << v.serialNumber;
    writeContainer(ds, v.paras);
}

bool readRecord(QDataStream &ds, DevParasInfoOfWells &v)
{
    ds >> v.serialNumber;
    readContainer(ds, v.paras);
    return ok(ds);
}

} // namespace LumaraAnalysisData
