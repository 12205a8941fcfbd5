#include "bll/bllinstance.h"

#include "bll/documentaccess.h"
#include "bll/dropletexclude.h"
#include "bll/experimenteditmgr.h"
#include "bll/plotgroupmgr.h"
#include "bll/populationsmgr.h"
#include "bll/reanalysis.h"
#include "bll/reportexport.h"
#include "bll/resultcalculate.h"
#include "bll/signaltransfer.h"
#include "bll/wellchannels.h"

#include "assets/analyserassets.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFileInfo>
#include <QSettings>
#include <QThread>

#include <quazipfile.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>

using namespace LumaraAnalysisData;

namespace {

const QString QcSettingsFile = QStringLiteral("../data/QcParams.ini");
const QString ReagentKitEntry = QStringLiteral("reagentKit/pcr.kit");
const QString SavedPackageSuffix = QStringLiteral("arlx");

// Population names given to line-mode populations, by channel (entry channel - 1).
const char *const DefaultPopulationNames[] = {"Blue Channel",  "Cyan Channel", "Green Channel",
                                              "Orange Channel", "Red Channel",  "Dark Red Channel"};

// Truncated toward zero and held within 0..UINT_MAX: a bare cast of a negative or too large
// real is undefined.
uint toUnsigned(double value)
{
    if (!(value > 0.0))
        return 0;
    if (value >= double(std::numeric_limits<uint>::max()))
        return std::numeric_limits<uint>::max();
    return uint(value);
}

uint toUnsigned(qlonglong value)
{
    if (value <= 0)
        return 0;
    if (value >= qlonglong(std::numeric_limits<uint>::max()))
        return std::numeric_limits<uint>::max();
    return uint(value);
}

// A present value that is no finite number reads as 0; an absent key keeps its default.
double readReal(const QSettings &ini, const QString &key, double fallback)
{
    const QVariant value = ini.value(key);
    if (!value.isValid())
        return fallback;
    bool ok = false;
    const double number = value.toString().trimmed().toDouble(&ok);
    return ok && std::isfinite(number) ? number : 0.0;
}

uint readTruncatedReal(const QSettings &ini, const QString &key, uint fallback)
{
    if (!ini.contains(key))
        return fallback;
    return toUnsigned(readReal(ini, key, 0.0));
}

// Whole numbers as written; a number with a fraction is truncated; negatives give 0.
uint readUnsigned(const QSettings &ini, const QString &key, uint fallback)
{
    const QVariant value = ini.value(key);
    if (!value.isValid())
        return fallback;
    const QString text = value.toString().trimmed();
    bool ok = false;
    const qlonglong whole = text.toLongLong(&ok);
    if (ok)
        return toUnsigned(whole);
    const double real = text.toDouble(&ok);
    return ok && std::isfinite(real) ? toUnsigned(real) : 0u;
}

// The entry of the well's channel (1..6) in its results; false when the well has no record or
// the channel no entry.
bool channelResult(uint wellId, uint channelId, ChanResultInfo *entry)
{
    const WellResultInfo result = DocumentAccess::readOr(
        DocumentAccess::results(), [wellId](AnalysisResultMgr *m) { return m->getWellResult(wellId); },
        WellResultInfo());
    if (result.wellId != wellId || channelId < 1 || int(channelId) > result.chanResults.size())
        return false;
    *entry = result.chanResults.at(int(channelId) - 1);
    return true;
}

enum class Written { Refused, Unchanged, Changed };

// One figure of a well's channel entry written through the results manager, unless the entry
// holds that value already.
template <typename T>
Written writeChannelFigure(uint wellId, uint channelId, T value, T ChanResultInfo::*figure,
                           bool (AnalysisResultMgr::*write)(uint, uint, T))
{
    AnalysisResultMgr *results = DocumentAccess::results();
    ChanResultInfo entry;
    if (!results || !channelResult(wellId, channelId, &entry))
        return Written::Refused;
    if (entry.*figure == value)
        return Written::Unchanged;
    return (results->*write)(wellId, channelId, value) ? Written::Changed : Written::Refused;
}

// The target names of channels 1..6 (entry channel - 1), "" where none is configured.
QStringList targetNames()
{
    QStringList names;
    ExperimentCfgMgr *cfg = DocumentAccess::experimentCfg();
    for (int c = 0; c < PerChannel; ++c)
        names.append(cfg && c < cfg->getExp().targets.size() ? cfg->getExp().targets.at(c).name : QString());
    return names;
}

// The name a default plot of these channels takes: their target names joined by "_".
QString defaultPlotName(const QStringList &names, std::initializer_list<uint> channels)
{
    QStringList parts;
    for (uint channel : channels)
        parts.append(channel >= 1 && int(channel) <= names.size() ? names.at(int(channel) - 1) : QString());
    return parts.join(QLatin1Char('_'));
}

bool probeReagentKit(const QString &path)
{
    const QString password = DocumentAccess::document()->getUnzipPassword();
    QuaZipFile kit(path, ReagentKitEntry);
    const QByteArray latin1 = password.toLatin1();
    const bool opened = password.isEmpty() ? kit.open(QIODevice::ReadOnly)
                                           : kit.open(QIODevice::ReadOnly, latin1.constData());
    if (opened)
        kit.close();
    return opened;
}

QString targetField(uint channelId, bool dye)
{
    ExperimentCfgMgr *cfg = DocumentAccess::experimentCfg();
    if (!cfg || channelId < 1)
        return QString();
    const QVector<TargetInfo> &targets = cfg->getExp().targets;
    if (int(channelId) > targets.size())
        return QString();
    const TargetInfo &target = targets.at(int(channelId) - 1);
    return dye ? target.fluorophore : target.name;
}

QVector<ScanningParameterInfo> scanningParameters(uint wellId)
{
    DevParasMgr *paras = DocumentAccess::devParas();
    if (!paras)
        return {};
    const auto shared = paras->getDevParas().paras.constFind(0);
    if (shared != paras->getDevParas().paras.cend())
        return shared.value();
    return paras->getScanningParas(wellId);
}

} // namespace

// ---- Instance ---------------------------------------------------------------------------------

BLLInstance::BLLInstance() : QObject(nullptr)
{
    m_dropletExclude = new DropletExclude(this);
    m_experimentEditMgr = new ExperimentEditMgr(this);
    m_plotGroupMgr = new PlotGroupMgr(this);
    m_populationsMgr = new PopulationsMgr(this);
    m_reAnalysis = new ReAnalysis(this);
    m_reportExport = new ReportExport(this);
    m_resultCalculate = new ResultCalculate(this);

    // Made on a worker, the facade would take its affinity and queued deliveries to it
    // (the managers' children included) would never run.
    if (QCoreApplication *app = QCoreApplication::instance()) {
        if (thread() != app->thread())
            moveToThread(app->thread());
    }

    // mergeComplete, openFileComplete, openFileError and dataFixed into the hub, in order.
    SignalTransfer::getInstance()->forwardSignals(this);
    // After the hub's own forwarder of the same signal: the pages hear of the change first,
    // then the recount announces the new counts.
    connect(m_dropletExclude, &DropletExclude::dataFixed, this, &BLLInstance::reCalculateZonesDroplets);

    // The engine's reports arrive directly, on the job's thread: the job goes on writing the
    // document, so the thresholds and recounts of a well must be stored before its next step,
    // and a compensation of merged wells must be complete before the merge reports back.
    connect(m_reAnalysis, &ReAnalysis::applyConpemsationSucceeded, this, &BLLInstance::compensationComplated,
            Qt::DirectConnection);
    connect(PcrAnalysisDocument::getInstance(), &PcrAnalysisDocument::wellAdded, this,
            &BLLInstance::noteAddedWells, Qt::DirectConnection);
    connect(m_reAnalysis, &ReAnalysis::updateZonesDroplets, this, &BLLInstance::updateZonesDroplets,
            Qt::DirectConnection);
    connect(m_reAnalysis, &ReAnalysis::updateThldByLine, this, &BLLInstance::updateThldByLine,
            Qt::DirectConnection);
}

BLLInstance::~BLLInstance() = default;

BLLInstance *BLLInstance::getInstance()
{
    static BLLInstance instance;
    return &instance;
}

void BLLInstance::createSingletons()
{
    PcrAnalysisDocument::getInstance();
    SignalTransfer::getInstance();
    getInstance();
}

DropletExclude *BLLInstance::getDropletExclude() const
{
    return m_dropletExclude;
}

ExperimentEditMgr *BLLInstance::getExperimentEditMgr() const
{
    return m_experimentEditMgr;
}

PlotGroupMgr *BLLInstance::getPlotGroupMgr() const
{
    return m_plotGroupMgr;
}

PopulationsMgr *BLLInstance::getPopulationsMgr() const
{
    return m_populationsMgr;
}

// ---- Opening and QC limits ------------------------------------------------------------------

bool BLLInstance::openFile(QString path)
{
    // The open worker has no handler of its own: whatever the document throws ends here as a
    // failed open, so the busy state is always ended by a signal.
    bool opened = false;
    try {
        opened = DocumentAccess::document()->open(path);
    } catch (const char *what) {
        qWarning() << "openFile():" << what;
    } catch (const std::exception &e) {
        qWarning() << "openFile():" << e.what();
    }
    m_specialKit = probeReagentKit(path);
    if (!opened) {
        emit openFileError();
        qDebug("Open File Error!");
        return false;
    }

    try {
        m_reAnalysis->setFilePath(path);
        m_reAnalysis->initAnalysers(false, QByteArray());
        m_reAnalysis->preprocessWells();
        // A saved package (by its suffix, as the document tells them apart) keeps its stored
        // values, thresholds, plots and names.
        if (QFileInfo(path).suffix() != SavedPackageSuffix) {
            m_reAnalysis->storeWellResults();
            autoThresholdAllWells();
            createDefaultPlots();
            renameChannelPopulations();
        }
        readQcSettings(QcSettingsFile);
    } catch (const char *what) {
        qWarning() << "openFile():" << what;
        emit openFileError();
        return false;
    } catch (const std::exception &e) {
        qWarning() << "openFile():" << e.what();
        emit openFileError();
        return false;
    }
    emit openFileComplete();
    return true;
}

bool BLLInstance::isSpecialKit() const
{
    return m_specialKit;
}

bool BLLInstance::readQcSettings(QString file)
{
    AnalysisResultMgr *results = DocumentAccess::results();
    if (!results || !QFileInfo(file).isFile())
        return false;
    QSettings ini(file, QSettings::IniFormat);
    ini.setIniCodec("UTF-8");
    if (ini.status() != QSettings::NoError)
        return false;

    const QcThresholdInfo defaults;
    QcThresholdInfo qc;
    qc.imageSharpness = readTruncatedReal(ini, QStringLiteral("Thresholds/ImageSharpness"), defaults.imageSharpness);
    qc.analyzableDrpltRatio = readReal(ini, QStringLiteral("Thresholds/NbAnalyzableDroplets"), defaults.analyzableDrpltRatio);
    qc.saturatedObjects = readUnsigned(ini, QStringLiteral("Thresholds/NbStaturatedObjects"), defaults.saturatedObjects);
    qc.rfuCv = readReal(ini, QStringLiteral("Thresholds/RFuCv"), defaults.rfuCv);
    qc.rs = readReal(ini, QStringLiteral("Thresholds/Rs"), defaults.rs);
    qc.rain = readReal(ini, QStringLiteral("Thresholds/Rain"), defaults.rain);
    qc.rainRangeStddevNum = readUnsigned(ini, QStringLiteral("CalRange/RainRangeStddevNum"), defaults.rainRangeStddevNum);
    qc.recogExcludeStddevNum = readUnsigned(ini, QStringLiteral("CalRange/RecogExcludeStddevNum"), defaults.recogExcludeStddevNum);
    results->setQcThresholds(qc);
    return true;
}

QcThresholdInfo BLLInstance::getQcSettings() const
{
    AnalysisResultMgr *results = DocumentAccess::results();
    return results ? results->getQcThresholds() : QcThresholdInfo();
}

// ---- Pass-through readers and editors -------------------------------------------------------

void BLLInstance::removeWell(uint wellId)
{
    bool removed = false;
    if (AnalysisDataMgr *data = DocumentAccess::analysisData())
        removed = data->removeWell(wellId);
    if (ExperimentCfgMgr *cfg = DocumentAccess::experimentCfg())
        removed = cfg->removeWell(wellId) || removed;
    m_reAnalysis->removeWellImages(wellId);
    if (removed)
        emit dataFixed();
}

void BLLInstance::resetCompensationMatrix()
{
    CompensationMatrixMgr *matrix = DocumentAccess::compensation();
    if (!matrix)
        return;
    const bool wasApplied = matrix->isApplied();
    matrix->resetMatrix();
    // The readers give raw values from now on: the thresholds and counts found on compensated
    // values would no longer fit them, so every well goes back to its raw analysis thresholds.
    const int count = DocumentAccess::wells().size();
    if (!wasApplied || count == 0)
        return;
    recountWells(0, count - 1, true);
    m_resultCalculate->updatePopulationResults();
    emit dataFixed();
}

const QByteArray &BLLInstance::getCompensationMatrixBuf() const
{
    static const QByteArray none;
    CompensationMatrixMgr *matrix = DocumentAccess::compensation();
    return matrix ? matrix->getMatrixBuf() : none;
}

MethodInfo BLLInstance::getMethod() const
{
    ExperimentCfgMgr *cfg = DocumentAccess::experimentCfg();
    return cfg ? cfg->getMethod() : MethodInfo();
}

WellItemInfo BLLInstance::getWellGlobal(uint wellId) const
{
    return DocumentAccess::readOr(
        DocumentAccess::analysisExperiments(),
        [wellId](AnalysisExperimentMgr *m) { return m->getWellGlobal(wellId); }, WellItemInfo());
}

uint BLLInstance::getRefChannelId(uint wellId) const
{
    return WellChannels::referenceChannel(wellId);
}

QString BLLInstance::getExpComment() const
{
    ExperimentCfgMgr *cfg = DocumentAccess::experimentCfg();
    return cfg ? cfg->getExp().comment : QString();
}

void BLLInstance::setExpComment(QString comment)
{
    ExperimentCfgMgr *cfg = DocumentAccess::experimentCfg();
    if (!cfg || cfg->getExp().comment == comment)
        return;
    cfg->setComment(comment);
    emit dataFixed();
}

bool BLLInstance::setSampleName(uint wellId, QString name)
{
    ExperimentCfgMgr *cfg = DocumentAccess::experimentCfg();
    if (!cfg)
        return false;
    const QList<WellInfo> wells = cfg->getWells();
    const auto well = std::find_if(wells.cbegin(), wells.cend(), [wellId](const WellInfo &w) { return w.id == wellId; });
    if (well != wells.cend() && well->sampleName == name)
        return true;
    if (!cfg->setSampleName(wellId, name))
        return false;
    emit dataFixed();
    return true;
}

void BLLInstance::setTargetName(uint channelId, QString name)
{
    ExperimentCfgMgr *cfg = DocumentAccess::experimentCfg();
    const QStringList before = targetNames();
    if (!cfg || channelId < 1 || int(channelId) > before.size() || before.at(int(channelId) - 1) == name
        || !cfg->setTargetName(channelId, name))
        return;
    // A plot still named after its targets follows them; a name the user gave stays.
    const QStringList after = targetNames();
    const QList<Customized2DPlotInfo> plots2D = m_plotGroupMgr->get2DPlots();
    for (const Customized2DPlotInfo &plot : plots2D) {
        if ((plot.xChannel == channelId || plot.yChannel == channelId)
            && plot.name == defaultPlotName(before, {plot.xChannel, plot.yChannel}))
            m_plotGroupMgr->rename2DPlot(plot.id, defaultPlotName(after, {plot.xChannel, plot.yChannel}));
    }
    const QList<Customized3DPlotInfo> plots3D = m_plotGroupMgr->get3DPlots();
    for (const Customized3DPlotInfo &plot : plots3D) {
        const auto channels = {plot.xChannel, plot.yChannel, plot.zChannel};
        if (std::find(channels.begin(), channels.end(), channelId) != channels.end()
            && plot.name == defaultPlotName(before, channels))
            m_plotGroupMgr->rename3DPlot(plot.id, defaultPlotName(after, channels));
    }
    emit dataFixed();
}

QString BLLInstance::getTargetName(uint channelId) const
{
    return targetField(channelId, false);
}

QString BLLInstance::getFluorophoreName(uint channelId) const
{
    return targetField(channelId, true);
}

QList<uint> BLLInstance::getWellIds() const
{
    QList<uint> ids;
    const QList<WellInfo> wells = DocumentAccess::wells();
    for (const WellInfo &well : wells)
        ids.append(well.id);
    return ids;
}

QList<uint> BLLInstance::getWellChannels(uint wellId) const
{
    return WellChannels::targetChannels(wellId);
}

QList<uint> BLLInstance::getChannelsOfWells(QList<uint> wellIds) const
{
    QList<uint> channels;
    for (uint wellId : qAsConst(wellIds)) {
        const QList<uint> own = getWellChannels(wellId);
        for (uint channel : own)
            if (!channels.contains(channel))
                channels.append(channel);
    }
    return channels;
}

QList<uint> BLLInstance::getSortedChannelsOfWells(QList<uint> wellIds) const
{
    QList<uint> channels;
    for (uint wellId : qAsConst(wellIds)) {
        QList<uint> own = getWellChannels(wellId);
        const uint reference = getRefChannelId(wellId);
        if (reference != 0)
            own.append(reference);
        for (uint channel : qAsConst(own))
            if (!channels.contains(channel))
                channels.append(channel);
    }
    std::sort(channels.begin(), channels.end());
    return channels;
}

QVector<int> BLLInstance::getWellChannelIndices(uint wellId) const
{
    return WellChannels::analysisIndices(wellId);
}

QList<uint> BLLInstance::getAllUsedChannels() const
{
    QList<uint> channels;
    const QList<uint> ids = getWellIds();
    for (uint wellId : ids) {
        const QVector<int> indices = getWellChannelIndices(wellId);
        for (int index : indices)
            if (!channels.contains(uint(index + 1)))
                channels.append(uint(index + 1));
    }
    std::sort(channels.begin(), channels.end());
    return channels;
}

QString BLLInstance::getWellSampleName(uint wellId) const
{
    const QList<WellEditRow> rows = m_experimentEditMgr->getWellRows();
    for (const WellEditRow &row : rows)
        if (row.wellId == wellId)
            return row.wellName;
    return QString();
}

int BLLInstance::getWellDropletVolume(uint wellId) const
{
    // The calculator's volume: copies and concentrations of a well take the same one.
    return int(m_resultCalculate->dropletVolume(wellId));
}

uint BLLInstance::getWellDropletNum(uint wellId) const
{
    return DocumentAccess::readOr(
        DocumentAccess::results(),
        [wellId](AnalysisResultMgr *m) { return uint(m->getWellResult(wellId).effDrpltNum); }, 0u);
}

uint BLLInstance::getNumbersRef(uint wellId) const
{
    const QList<WellEditRow> rows = m_experimentEditMgr->getWellRows();
    for (const WellEditRow &row : rows) {
        if (row.wellId == wellId) {
            return truncatedShare(row.dropletSum, getQcSettings().analyzableDrpltRatio);
        }
    }
    return 0;
}

uint BLLInstance::truncatedShare(uint count, double ratio)
{
    const double product = double(count) * ratio;
    // The binary ratio can put a whole product a few units of the last place below itself;
    // that far from a whole number is no fraction of the ratio as written.
    const double whole = std::round(product);
    if (std::fabs(product - whole) <= 1e-12 * std::max(1.0, std::fabs(whole)))
        return toUnsigned(whole);
    return toUnsigned(product);
}

uint BLLInstance::getExposeTime(uint wellId, uint channelId) const
{
    const QVector<ScanningParameterInfo> paras = scanningParameters(wellId);
    if (channelId < 1 || int(channelId) > paras.size())
        return 0;
    const qint32 exposure = paras.at(int(channelId) - 1).exposureTime;
    return exposure < 0 ? 0u : uint(exposure);
}

double BLLInstance::getFocus(uint wellId, uint channelId) const
{
    const QVector<ScanningParameterInfo> paras = scanningParameters(wellId);
    if (channelId < 1 || int(channelId) > paras.size())
        return 0.0;
    return paras.at(int(channelId) - 1).focus;
}

bool BLLInstance::isLargeImageFormat() const
{
    const QList<WellInfo> wells = DocumentAccess::wells();
    if (wells.isEmpty())
        return false;
    const uint first = wells.first().id;
    const WellDrpltImgInfo<DrpltImg> images = DocumentAccess::readOr(
        DocumentAccess::analysisExperiments(),
        [first](AnalysisExperimentMgr *m) { return m->getWellImgData(first); }, WellDrpltImgInfo<DrpltImg>());
    for (const DrpltImg &image : images.images)
        if (AnalyserAssets::isLargeImage(image.width))
            return true;
    return false;
}

QChar BLLInstance::getChannelSymbol(uint wellId, uint channelId) const
{
    const WellResultInfo result = DocumentAccess::readOr(
        DocumentAccess::results(), [wellId](AnalysisResultMgr *m) { return m->getWellResult(wellId); },
        WellResultInfo());
    if (channelId < 1 || int(channelId) > result.chanResults.size())
        return QChar();
    return QChar(result.chanResults.at(int(channelId) - 1).chanType);
}

void BLLInstance::setChannelType(uint wellId, uint channelId, QChar symbol)
{
    if (writeChannelFigure<ushort>(wellId, channelId, symbol.unicode(), &ChanResultInfo::chanType,
                                   &AnalysisResultMgr::setChanType) == Written::Changed)
        emit dataFixed();
}

bool BLLInstance::setChannelDilution(uint wellId, uint channelId, double dilution)
{
    const Written written =
        writeChannelFigure(wellId, channelId, dilution, &ChanResultInfo::dilution, &AnalysisResultMgr::setChanDilution);
    if (written == Written::Changed) {
        // The concentrations scale with the dilution: every view of them reads the new figures.
        m_resultCalculate->updatePopulationResults();
        emit dataFixed();
    }
    return written != Written::Refused;
}

bool BLLInstance::setRefConcentration(uint wellId, uint channelId, double concentration)
{
    const Written written = writeChannelFigure(wellId, channelId, concentration, &ChanResultInfo::refConcentration,
                                               &AnalysisResultMgr::setChanRefCctt);
    if (written == Written::Changed)
        emit dataFixed();
    return written != Written::Refused;
}

// ---- Default plots and population names -------------------------------------------------------

void BLLInstance::createDefaultPlots()
{
    const QList<uint> channels = getChannelsOfWells(getWellIds());
    const int n = channels.size();
    const QStringList names = targetNames();

    if (m_plotGroupMgr->get2DPlots().isEmpty() && n >= 2) {
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j)
                m_plotGroupMgr->add2DPlot(defaultPlotName(names, {channels.at(i), channels.at(j)}), channels.at(i),
                                          channels.at(j));
    }
    if (m_plotGroupMgr->get3DPlots().isEmpty() && n >= 3) {
        for (int i = 0; i < n; ++i)
            for (int j = i + 1; j < n; ++j)
                for (int k = j + 1; k < n; ++k)
                    m_plotGroupMgr->add3DPlot(defaultPlotName(names, {channels.at(i), channels.at(j), channels.at(k)}),
                                              channels.at(i), channels.at(j), channels.at(k));
    }
}

void BLLInstance::renameChannelPopulations()
{
    const QList<PopulationsInfo> populations = m_populationsMgr->getPopulations();
    for (const PopulationsInfo &population : populations) {
        for (int c = 0; c < PerChannel; ++c) {
            if (population.name == QLatin1String(DefaultPopulationNames[c])) {
                m_populationsMgr->setPopulationName(population.id, getFluorophoreName(uint(c) + 1));
                break;
            }
        }
    }
}
