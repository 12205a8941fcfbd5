// The engine's set-up of its analysers and the jobs over all wells.
#include "bll/reanalysis_p.h"

#include "bll/bllinstance.h"
#include "bll/documentaccess.h"
#include "bll/resultcalculate.h"
#include "bll/signaltransfer.h"
#include "bll/wellchannels.h"
#include "platform/platform.h"

#include "assets/analyserassets.h"

#include "settings.h"
#include "spillovercompensation.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <quazipfile.h>

#include <algorithm>
#include <cstdlib>

using namespace EngineDetail;
namespace LAD = LumaraAnalysisData;

namespace {

// The data folder's files as the program names them: from the working folder, and from its own
// folder by the pattern "%1/%2".
QString dataFile(const QString &file)
{
    return QStringLiteral("%1/%2").arg(AnalyserAssets::dataFolder(), file);
}

const QString LocalUniformCopy = QStringLiteral("uninform/uniform.tif");

QString localUniformPath()
{
    return Platform::machinePath(LocalUniformCopy);
}

// The 336-byte image of the identity matrix with zero backgrounds.
QByteArray identityMatrix()
{
    Ravelin::SpilloverCompensation identity;
    return identity.getCompensationMatrixBuf();
}

// Droplets in random order, as std::random_shuffle with the C library's generator does it.
template <typename T>
void shuffleWithRand(QVector<T> &items)
{
    for (int i = 1; i < items.size(); ++i) {
        const int j = std::rand() % (i + 1);
        if (j != i)
            std::swap(items[i], items[j]);
    }
}

} // namespace

ReAnalysis::ReAnalysis(QObject *parent) : QObject(parent)
{
    m_analyserA = new Ravelin::DrpltImgAnalyser;
    m_analyserB = new Ravelin::DrpltImgAnalyser;
    SignalTransfer::getInstance()->forwardSignals(this);
    // The folder of the local uniformity copy; a failure shows when the copy is written.
    QDir().mkpath(QFileInfo(localUniformPath()).absolutePath());
}

ReAnalysis::~ReAnalysis()
{
    m_pool.reset();
    delete m_analyserA;
    delete m_analyserB;
}

void ReAnalysis::setFilePath(const QString &path)
{
    m_filePath = path;
}

QString ReAnalysis::filePath() const
{
    return m_filePath;
}

void ReAnalysis::setAdjustTypes(int background, int fluorescence)
{
    m_backgroundAdjustType = background == 0 ? 0 : background == 1 ? 1 : 2;
    m_greyAdjustType = fluorescence != 0 ? 1 : 0;
}

int ReAnalysis::backgroundAdjustType() const
{
    return m_backgroundAdjustType;
}

int ReAnalysis::greyAdjustType() const
{
    return m_greyAdjustType;
}

const ReAnalysis::AnalyserSetup &ReAnalysis::setup() const
{
    return m_setup;
}

Ravelin::DrpltImgAnalyser *ReAnalysis::analyserA() const
{
    return m_analyserA;
}

Ravelin::DrpltImgAnalyser *ReAnalysis::analyserB() const
{
    return m_analyserB;
}

QString ReAnalysis::uniformImagePath() const
{
    return m_uniformImagePath;
}

bool ReAnalysis::readEntry(const QString &entry, QByteArray *content, QString *error) const
{
    QuaZipFile file(m_filePath, entry);
    const QByteArray password = DocumentAccess::document()->getUnzipPassword().toLatin1();
    const bool opened = password.isEmpty() ? file.open(QIODevice::ReadOnly)
                                           : file.open(QIODevice::ReadOnly, password.constData());
    if (!opened) {
        if (error)
            *error = file.errorString();
        return false;
    }
    if (content)
        *content = file.readAll();
    file.close();
    if (content && file.getZipError() != UNZ_OK) {
        if (error)
            *error = QStringLiteral("zip error %1").arg(file.getZipError());
        return false;
    }
    return true;
}

bool ReAnalysis::hasEntry(const QString &entry) const
{
    return readEntry(entry, nullptr);
}

void ReAnalysis::initAnalysers(bool useGivenMatrix, const QByteArray &matrix)
{
    const QString modelPath = dataFile(AnalyserAssets::modelFile());
    m_setup.modelPath = modelPath;
    m_analyserA->setRandomTreesModelPath(modelPath);
    m_analyserB->setRandomTreesModelPath(modelPath);

    const QString appDir = QCoreApplication::applicationDirPath();
    const bool applied = DocumentAccess::compensationApplied();
    const QList<LAD::WellInfo> wells = DocumentAccess::wells();
    if (wells.isEmpty()) {
        m_pool = std::make_shared<AnalyserPool>(m_setup);
        return;
    }

    // Large images: some channel of the first well wider than 3500 pixels. While the
    // document's images still decode, only that well's are waited for.
    bool large = false;
    if (AnalysisExperimentMgr *experiments = DocumentAccess::analysisExperiments()) {
        const std::shared_ptr<WellImagesInFlight> inFlight = experiments->wellDrpltImgsInFlight();
        const QList<LAD::WellItemInfo> &held = experiments->getAnalysisExpGlobalInfo().wells;
        const auto first = std::find_if(held.cbegin(), held.cend(),
                                        [&wells](const LAD::WellItemInfo &w) { return w.wellId == wells.first().id; });
        if (inFlight && first != held.cend()) {
            for (const QImage &image : inFlight->wellAt(int(first - held.cbegin())).images)
                large = large || (!image.isNull() && AnalyserAssets::isLargeImage(image.width()));
        } else if (!inFlight) {
            try {
                const WellDrpltImgInfo<DrpltImg> images = experiments->getWellImgData(wells.first().id);
                for (const DrpltImg &image : images.images)
                    large = large || AnalyserAssets::isLargeImage(image.width);
            } catch (const char *) {
            }
        }
    }

    // Whether the package carries volume-specific parameters at all.
    const bool volumeParams = hasEntry(AnalyserAssets::volumeParameterProbe());

    int workType = 0, blocksType = 0;
    if (!large) {
        if (ExperimentCfgMgr *cfg = DocumentAccess::experimentCfg()) {
            workType = int(cfg->getDropletWorkType());
            blocksType = int(cfg->getBlocksType());
        }
    }
    const AnalyserAssets assets = AnalyserAssets::choose(large, workType, blocksType);
    const QString entry = volumeParams ? assets.parameterEntry : AnalyserAssets::generalParameterEntry();
    QString templatePath = QStringLiteral("%1/%2").arg(appDir, dataFile(assets.templateFile));
    QString kernelPath = QStringLiteral("%1/%2").arg(appDir, dataFile(assets.kernelFile));
    m_analyserA->setTemplateModel(templatePath);
    m_analyserB->setTemplateModel(templatePath);
    m_analyserA->setMexicanhatKernel(kernelPath);
    m_analyserB->setMexicanhatKernel(kernelPath);

    QByteArray buffer;
    if (!readEntry(entry, &buffer)) {
        QFile defaults(dataFile(AnalyserAssets::generalParameterEntry()));
        buffer = defaults.open(QIODevice::ReadOnly) ? defaults.readAll() : QByteArray();
    }
    if (m_overrideSettings) {
        QJsonObject root = QJsonDocument::fromJson(buffer).object();
        QJsonObject general = root.value(QStringLiteral("General")).toObject();
        general.insert(QStringLiteral("BackgroundUniformAdjustType"), m_backgroundAdjustType);
        general.insert(QStringLiteral("DrpltGyslAdjustType"), m_greyAdjustType);
        general.insert(QStringLiteral("StdDevInfluenceCoefficient"), 7);
        root.insert(QStringLiteral("General"), general);
        buffer = QJsonDocument(root).toJson(QJsonDocument::Indented);
    }
    m_analyserA->getSettings()->loadAnalysisSettingsBuf(buffer);
    m_analyserA->setStrategy();
    m_analyserB->getSettings()->loadAnalysisSettingsBuf(buffer);
    m_analyserB->setStrategy();

    // Analyser A's matrix: the given one, else the document's applied one, else the identity,
    // so that a withdrawn matrix never stays in force. Whenever a matrix is in force the
    // crosstalk is adjusted by it: values marked compensated must be compensated.
    Ravelin::SpilloverCompensation *compensation = m_analyserA->getSpilloverCompensation();
    QByteArray matrixBuffer;
    if (useGivenMatrix)
        matrixBuffer = matrix;
    else if (applied)
        matrixBuffer = DocumentAccess::compensation()->getMatrixBuf();
    if (matrixBuffer.size() >= 336) {
        Ravelin::AnalysisSettings settings = m_analyserA->getSettings()->getAnalysisSettings();
        settings.CrosstalkAdjustType = 1;
        m_analyserA->getSettings()->setAnalysisSettings(settings);
        compensation->loadCompensationMatrixBuf(matrixBuffer);
    } else {
        compensation->loadCompensationMatrixBuf(identityMatrix());
    }

    // The uniformity image: in a saved package under its source archive's folder (the name
    // the archive had when it was saved), else under the package's own base name.
    QStringList uniformEntries;
    if (isSavedPackage()) {
        if (AnalysisExperimentMgr *experiments = DocumentAccess::analysisExperiments()) {
            for (const LAD::ExpItemInfo &experiment : experiments->getAnalysisExpGlobalInfo().experiments) {
                const QString base = experiment.fileName.section(QLatin1Char('/'), -1).section(QLatin1Char('.'), 0, 0);
                if (!base.isEmpty())
                    uniformEntries.append(QStringLiteral("%1/%2").arg(base, AnalyserAssets::uniformImageEntry()));
            }
        }
        const QString own = m_filePath.section(QLatin1Char('/'), -1).remove(QStringLiteral(".arlx"));
        uniformEntries.append(QStringLiteral("%1/%2").arg(own, AnalyserAssets::uniformImageEntry()));
        uniformEntries.removeDuplicates();
    } else {
        uniformEntries.append(AnalyserAssets::uniformImageEntry());
    }
    QByteArray uniform;
    QString uniformError;
    bool found = false;
    for (const QString &name : qAsConst(uniformEntries)) {
        if (readEntry(name, &uniform, &uniformError)) {
            found = true;
            break;
        }
    }
    if (found) {
        QFile copy(localUniformPath());
        if (copy.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            copy.write(uniform);
            copy.close();
            m_uniformImagePath = localUniformPath();
        } else {
            m_uniformImagePath = dataFile(AnalyserAssets::uniformImageFile());
        }
    } else {
        qDebug().noquote() << QStringLiteral("OPen Uniform File ") + uniformEntries.last()
                                  + QStringLiteral(" error. error info: ") + uniformError;
        m_uniformImagePath = QStringLiteral("%1/%2").arg(appDir, dataFile(AnalyserAssets::uniformImageFile()));
    }
    const DrpltImgsOnWell<QString> uniformPaths(LAD::PerChannel, m_uniformImagePath);
    m_analyserA->setUniformData(uniformPaths);
    m_analyserB->setUniformData(uniformPaths);

    m_setup.templatePath = templatePath;
    m_setup.kernelPath = kernelPath;
    m_setup.parameterEntry = entry;
    m_setup.parameterBuffer = buffer;
    m_setup.settingsA = m_analyserA->getSettings()->getAnalysisSettings();
    m_setup.settingsB = m_analyserB->getSettings()->getAnalysisSettings();
    m_setup.matrixA = compensation->getCompensationMatrixBuf();
    m_setup.uniformPaths = QStringList(uniformPaths.cbegin(), uniformPaths.cend());
    m_setup.largeImages = large;
    m_pool = std::make_shared<AnalyserPool>(m_setup);
}

// ---- Per-well analysis ------------------------------------------------------------------------

namespace {

// The thresholds of a stored record from the droplets the user kept, as the first analysis takes
// them (a change over the recount, which clustered the excluded droplets too, so that debris a
// user excluded to mend a threshold moved it again); the record keeps every droplet.
void clusterKept(Ravelin::DrpltImgAnalyser &analyser, WellImageAnalysisInfo *info, const QSet<uint> &excluded)
{
    if (excluded.isEmpty()) {
        analyser.negPosCluster(info);
        return;
    }
    WellImageAnalysisInfo kept = *info;
    kept.droplets.clear();
    for (int i = 0; i < info->droplets.size(); ++i)
        if (!excluded.contains(uint(i)))
            kept.droplets.append(info->droplets.at(i));
    analyser.negPosCluster(&kept);
    info->thresholds = kept.thresholds;
    info->valid = kept.valid;
    info->message = kept.message;
}

} // namespace

WellDrpltImgInfoStatus ReAnalysis::analyseWell(const WellDrpltImgInfo<QImage> &well, const WellJob &job)
{
    if (!m_pool)
        m_pool = std::make_shared<AnalyserPool>(m_setup);
    AnalyserPool::Lease analysers(m_pool);
    Ravelin::DrpltImgAnalyser &a = analysers.a();
    Ravelin::DrpltImgAnalyser &b = analysers.b();

    WellDrpltImgInfoStatus status;
    status.wellId = well.wellId;
    const bool filter = job.recognitionFilter.value(well.wellId, true);
    a.setUseRecogChanFilterDrplt(filter);
    a.setStrategy();
    b.setUseRecogChanFilterDrplt(filter);
    b.setStrategy();
    const RawImages raw = rawImages(well.images);
    const QVector<float> factors = job.factors.value(well.wellId, QVector<float>(LAD::PerChannel, 1.0f));

    a.setRemoveDiscreteRegions(job.discreteRegions);
    if (!a.recogDrplt(raw.views, int(well.refChanId) - 1, &status.compensated))
        return status;
    if (!a.adjustDrpltGysl(&status.compensated))
        return status;
    status.uncompensated = status.compensated;
    if (job.clusterUncompensated) {
        applyExposureFactors(status.uncompensated, factors);
        b.negPosCluster(&status.uncompensated);
    }
    a.adjustCrosstalk(&status.compensated);
    applyExposureFactors(status.compensated, factors);
    status.ok = true;
    return status;
}

ReAnalysis::WellJob ReAnalysis::wellJob(const QVector<uint> &references) const
{
    WellJob job;
    job.references = references;
    for (const WellDrpltImgInfo<QImage> &well : m_wells) {
        job.recognitionFilter.insert(well.wellId, !WellChannels::targetChannels(well.wellId).contains(well.refChanId));
        job.factors.insert(well.wellId, exposureFactors(well.wellId, references));
    }
    return job;
}

QList<WellDrpltImgInfoStatus> ReAnalysis::analyseBlock(const QList<WellDrpltImgInfo<QImage>> &block,
                                                       const WellJob &job)
{
    const QVector<WellDrpltImgInfo<QImage>> wells(block.cbegin(), block.cend());
    const QVector<WellDrpltImgInfoStatus> statuses = orderedMap<WellDrpltImgInfoStatus, WellDrpltImgInfo<QImage>>(
        wells, [this, &job](const WellDrpltImgInfo<QImage> &well) { return analyseWell(well, job); });
    return QList<WellDrpltImgInfoStatus>(statuses.cbegin(), statuses.cend());
}

void ReAnalysis::recomputePopulationResults()
{
    if (ResultCalculate *results = BLLInstance::getInstance()->getResultCalculate())
        results->updatePopulationResults();
}

// ---- Jobs -------------------------------------------------------------------------------------

void ReAnalysis::reanalyseAll()
{
    const bool applied = DocumentAccess::compensationApplied();
    // The references of the wells the last preprocessing loaded.
    const QVector<uint> references = exposureReferences();
    m_overrideSettings = true;
    initAnalysers(false, QByteArray());
    m_overrideSettings = false;
    preprocessWells();

    WellJob job = wellJob(references);
    job.clusterUncompensated = applied;
    QList<WellDrpltImgInfoStatus> statuses;
    if (m_preprocessedBlocks.size() == 1) {
        job.discreteRegions = Ravelin::DiscreteRegionsNone;
        statuses = analyseBlock(m_preprocessedBlocks.at(0), job);
    } else if (m_preprocessedBlocks.size() == 2) {
        job.discreteRegions = Ravelin::DiscreteRegionsKeepRight;
        statuses = analyseBlock(m_preprocessedBlocks.at(0), job);
        job.discreteRegions = Ravelin::DiscreteRegionsKeepLeft;
        const QList<WellDrpltImgInfoStatus> second = analyseBlock(m_preprocessedBlocks.at(1), job);
        // The second block's droplets follow the first's, their rows below its image.
        for (WellDrpltImgInfoStatus &status : statuses) {
            for (const WellDrpltImgInfoStatus &other : second) {
                if (other.wellId != status.wellId)
                    continue;
                for (DropletAnalysisInfo droplet : other.compensated.droplets) {
                    droplet.y += m_imageHeight;
                    status.compensated.droplets.append(droplet);
                }
                for (DropletAnalysisInfo droplet : other.uncompensated.droplets) {
                    droplet.y += m_imageHeight;
                    status.uncompensated.droplets.append(droplet);
                }
            }
        }
    }

    for (WellDrpltImgInfoStatus &status : statuses) {
        shuffleWithRand(status.compensated.droplets);
        shuffleWithRand(status.uncompensated.droplets);
    }
    // Clustering is per well; the wells are independent.
    const std::shared_ptr<AnalyserPool> pool = m_pool;
    {
        QVector<WellDrpltImgInfoStatus *> pending;
        for (WellDrpltImgInfoStatus &status : statuses)
            pending.append(&status);
        poolFor(pending.size(), [&pool, &pending](int i) {
            AnalyserPool::Lease analysers(pool);
            analysers.a().negPosCluster(&pending[i]->compensated);
        });
    }
    for (const WellDrpltImgInfoStatus &status : qAsConst(statuses))
        recalcThresholds(status.wellId, status.compensated, applied, status.uncompensated);

    recomputePopulationResults();
    emit updateWellModel();
    emit dataFixed();
}

void ReAnalysis::applyCompensation(Ravelin::SpilloverCompensation *matrix)
{
    compensateWells(matrix);
    announceCompensation();
}

void ReAnalysis::announceCompensation()
{
    emit updateWellModel();
    emit dataFixed();
    emit applyConpemsationSucceeded(true);
}

void ReAnalysis::compensateWells(Ravelin::SpilloverCompensation *matrix)
{
    const QByteArray buffer = matrix ? matrix->getCompensationMatrixBuf() : QByteArray();
    bool applied = false;
    if (CompensationMatrixMgr *stored = DocumentAccess::compensation()) {
        stored->setMatrixBuf(buffer);
        applied = stored->isApplied();
    }
    initAnalysers(true, buffer);

    // Read from the document before the parallel steps, written back after them.
    struct Stored {
        uint wellId = 0;
        WellImageAnalysisInfo info;
        QSet<uint> excluded;
    };
    QVector<Stored> records;
    for (const WellDrpltImgInfo<QImage> &well : qAsConst(m_wells))
        records.append({well.wellId, storedWellInfo(well.wellId),
                        BLLInstance::getInstance()->getExcludedDroplets(well.wellId)});
    const std::shared_ptr<AnalyserPool> pool = m_pool;
    using Result = QPair<WellImageAnalysisInfo, WellImageAnalysisInfo>; // compensated, uncompensated
    const QVector<Result> results =
        orderedMap<Result, Stored>(records, [&pool](const Stored &record) {
            AnalyserPool::Lease analysers(pool);
            Result result(record.info, record.info);
            if (analysers.a().adjustCrosstalk(&result.first)) {
                clusterKept(analysers.a(), &result.first, record.excluded);
                clusterKept(analysers.b(), &result.second, record.excluded);
            }
            return result;
        });
    for (int i = 0; i < records.size(); ++i)
        storeAnalysis(records.at(i).wellId, results.at(i).first, applied, results.at(i).second, RecordSource::Stored);
    recomputePopulationResults();
}

void ReAnalysis::editCompensation(Ravelin::SpilloverCompensation *matrix)
{
    initAnalysers(true, matrix ? matrix->getCompensationMatrixBuf() : QByteArray());
    m_compensationPreview.clear();
    QVector<QPair<uint, WellImageAnalysisInfo>> records;
    for (const WellDrpltImgInfo<QImage> &well : qAsConst(m_wells))
        records.append(qMakePair(well.wellId, storedWellInfo(well.wellId)));
    const std::shared_ptr<AnalyserPool> pool = m_pool;
    using Preview = QPair<uint, QVector<DropletAnalysisInfo>>;
    // Gathered by the ordered reduction, not appended from the tasks.
    m_compensationPreview = orderedMap<Preview, QPair<uint, WellImageAnalysisInfo>>(
        records, [&pool](const QPair<uint, WellImageAnalysisInfo> &record) {
            AnalyserPool::Lease analysers(pool);
            WellImageAnalysisInfo info = record.second;
            analysers.a().adjustCrosstalk(&info);
            return Preview(record.first, info.droplets);
        });
    emit editCompensationCompleted();
}

bool ReAnalysis::adjustWellCrosstalk(uint wellId)
{
    if (!m_pool)
        m_pool = std::make_shared<AnalyserPool>(m_setup);
    WellImageAnalysisInfo info = storedWellInfo(wellId);
    {
        AnalyserPool::Lease analysers(m_pool);
        analysers.a().adjustCrosstalk(&info);
    }
    for (auto &entry : m_compensationPreview) {
        if (entry.first == wellId) {
            entry.second = info.droplets;
            return true;
        }
    }
    m_compensationPreview.append(qMakePair(wellId, info.droplets));
    return true;
}

QVector<uint> ReAnalysis::getWellChannelValues(uint wellId, uint channel) const
{
    QVector<uint> values;
    if (channel < 1 || channel > uint(LAD::PerChannel))
        return values;
    for (const auto &entry : m_compensationPreview) {
        if (entry.first != wellId)
            continue;
        values.reserve(entry.second.size());
        for (const DropletAnalysisInfo &droplet : entry.second)
            values.append(droplet.workingGreys.value(int(channel) - 1));
        return values;
    }
    return values;
}
