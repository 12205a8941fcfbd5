#include "pcranalysisdocument.h"

#include "io/poolhandover.h"

#include "io/analysisfileparseassigners.h"
#include "io/packagecopy.h"
#include "io/poolhandover.h"
#include "model/analysisdatamgr.h"
#include "model/analysisexperimentmgr.h"
#include "model/analysisresultmgr.h"
#include "model/compensationmatrixmgr.h"
#include "model/devparasmgr.h"
#include "model/drpltclassifymgr.h"
#include "model/drpltimginfomgr.h"
#include "model/experimentcfgmgr.h"
#include "model/filelogmgr.h"

#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QThreadPool>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <memory>

using namespace LumaraAnalysisData;

namespace {

const QString TempCopySuffix = QStringLiteral("/quorintmp");
const QString SuffixSaved = QStringLiteral("arlx");
const QString SuffixExpzip = QStringLiteral("expzip");
const QString SuffixImrs = QStringLiteral("imrs");

// The parser set for the generation the suffix names; null for any other suffix.
std::unique_ptr<AnalysisFileParseAssigner> createAssigner(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    if (suffix == SuffixSaved)
        return std::make_unique<AnalysisFileParseAssigner2>(path);
    if (suffix == SuffixExpzip)
        return std::make_unique<AnalysisFileParseAssigner1>(path);
    if (suffix == SuffixImrs)
        return std::make_unique<AnalysisFileParseAssigner3>(path);
    return nullptr;
}

QList<QString> experimentNamesOf(const AnalysisDataMgr *mgr)
{
    QList<QString> names;
    if (!mgr)
        return names;
    for (const ExpItemInfo &exp : qAsConst(mgr->getAnalysisExpMgr()->getAnalysisExpGlobalInfo().experiments))
        names.append(exp.fileName);
    return names;
}

// Same file, whether or not the paths are spelled alike.
bool samePath(const QString &a, const QString &b)
{
    const QFileInfo fa(a);
    const QFileInfo fb(b);
    if (fa.exists() && fb.exists())
        return fa.canonicalFilePath() == fb.canonicalFilePath();
    return fa.absoluteFilePath() == fb.absoluteFilePath();
}

bool sameExperimentConfiguration(const ExperimentInfo &a, const ExperimentInfo &b)
{
    if (a.blocksType != b.blocksType || a.targets.size() != b.targets.size())
        return false;
    for (int i = 0; i < a.targets.size(); ++i) {
        if (a.targets.at(i).name != b.targets.at(i).name
            || a.targets.at(i).fluorophore != b.targets.at(i).fluorophore)
            return false;
    }
    return true;
}

} // namespace

// ---- Private state ---------------------------------------------------------------------------

struct SourceArchiveRecord {
    QString path;
    QList<QString> experimentNames;
};

class PcrAnalysisDocumentPrivate {
public:
    explicit PcrAnalysisDocumentPrivate(PcrAnalysisDocument *q) : q(q) {}
    ~PcrAnalysisDocumentPrivate()
    {
        pending.reset();
        assigner.reset();
        deleteManagers();
    }

    bool loaded() const { return analysisDataMgr && experimentCfgMgr && devParasMgr && compensationMatrixMgr && fileLogMgr; }

    void deleteManagers()
    {
        delete analysisDataMgr;
        delete experimentCfgMgr;
        delete devParasMgr;
        delete compensationMatrixMgr;
        delete fileLogMgr;
        analysisDataMgr = nullptr;
        experimentCfgMgr = nullptr;
        devParasMgr = nullptr;
        compensationMatrixMgr = nullptr;
        fileLogMgr = nullptr;
    }

    void takeManagers(AnalysisFileParseAssigner &set)
    {
        // The document let go is freed on the pool: a 96-well run's images and droplets take a
        // while to free, and nothing refers to them once the new managers are in.
        struct Old {
            AnalysisDataMgr *data;
            ExperimentCfgMgr *config;
            DevParasMgr *paras;
            CompensationMatrixMgr *matrix;
            FileLogMgr *log;
        };
        const Old old{analysisDataMgr, experimentCfgMgr, devParasMgr, compensationMatrixMgr, fileLogMgr};
        if (old.data || old.config || old.paras || old.matrix || old.log) {
            std::function<void()> release = [old] {
                PoolHandover::take(PoolHandover::queue());
                delete old.data;
                delete old.config;
                delete old.paras;
                delete old.matrix;
                delete old.log;
            };
            PoolHandover::give(PoolHandover::queue());
            QThreadPool::globalInstance()->start(std::move(release));
        }
        analysisDataMgr = set.analysisDataMgr();
        experimentCfgMgr = set.experimentCfgMgr();
        devParasMgr = set.devParasMgr();
        compensationMatrixMgr = set.compensationMatrixMgr();
        fileLogMgr = set.fileLogMgr();
        set.releaseManagers();
    }

    void clearPending()
    {
        pending.reset();
        mergePending = false;
        pendingPath.clear();
    }

    QString tempCopyFor(const QString &archive) const
    {
        return QFileInfo(archive).absolutePath() + TempCopySuffix;
    }

    // Where a source's entries are read from during a save; empty when it cannot be read
    // without harm (missing, or the target itself with no copy made beforehand).
    QString readableSource(const SourceArchiveRecord &record, const QString &target) const
    {
        if (QFileInfo(record.path).suffix() == SuffixSaved) {
            const QString tmp = tempCopyFor(record.path);
            if (tempCopies.value(tmp) == QFileInfo(record.path).absoluteFilePath() && QFileInfo(tmp).isFile())
                return tmp;
        }
        if (!QFileInfo(record.path).isFile() || samePath(record.path, target))
            return QString();
        return record.path;
    }

    bool writeSources(PackageCopy::Writer &writer, const QString &target);
    void mergeFile();

    PcrAnalysisDocument *q;

    CompensationMatrixMgr *compensationMatrixMgr = nullptr;
    AnalysisDataMgr *analysisDataMgr = nullptr;
    DevParasMgr *devParasMgr = nullptr;
    ExperimentCfgMgr *experimentCfgMgr = nullptr;
    FileLogMgr *fileLogMgr = nullptr;
    // The readers and writers of the open package: save and the password use them.
    std::unique_ptr<AnalysisFileParseAssigner> assigner;
    QList<SourceArchiveRecord> sourceArchives;
    // Temporary copies made by beginSaveFile: copy path -> the source it copies.
    QHash<QString, QString> tempCopies;
    bool mergePending = false;
    QString pendingPath;
    // The merge candidate: its own managers, apart from the document's.
    std::unique_ptr<AnalysisFileParseAssigner> pending;
};

// ---- Instance --------------------------------------------------------------------------------

namespace {
PcrAnalysisDocument *s_instance = nullptr;
}

PcrAnalysisDocument *PcrAnalysisDocument::getInstance()
{
    if (!s_instance)
        s_instance = new PcrAnalysisDocument;
    return s_instance;
}

void PcrAnalysisDocument::release()
{
    delete s_instance;
    s_instance = nullptr;
}

PcrAnalysisDocument::PcrAnalysisDocument() : QObject(nullptr), m_d(new PcrAnalysisDocumentPrivate(this))
{
}

PcrAnalysisDocument::~PcrAnalysisDocument() = default;

// ---- Open ------------------------------------------------------------------------------------

bool PcrAnalysisDocument::open(const QString &path)
{
    if (!QFileInfo(path).isFile()) {
        qWarning() << "open(): no such file" << path;
        return false;
    }
    // The new readers stay local until everything has read: a failed open leaves the loaded
    // document, its readers and its password as they were.
    std::unique_ptr<AnalysisFileParseAssigner> set = createAssigner(path);
    if (!set) {
        qWarning() << "open(): unsupported package kind" << path;
        return false;
    }
    if (!set->parseMiscEntries()) {
        qWarning() << "open(): reading run.exp, run.dps or run.cmtx failed" << path << set->errorText();
        return false;
    }
    if (!set->parseAnalysisData()) {
        qWarning() << "open(): reading run.pcr failed" << path;
        return false;
    }
    set->parseFileLog();

    m_d->clearPending();
    m_d->sourceArchives = {SourceArchiveRecord{path, experimentNamesOf(set->analysisDataMgr())}};
    m_d->takeManagers(*set);
    m_d->assigner = std::move(set);

    if (m_d->analysisDataMgr->getThldType() == LineThreshold)
        m_d->analysisDataMgr->getDrpltClassifyMgr()->generateZoneCombination(getChanIndicesUsed().size());
    return true;
}

// ---- Save ------------------------------------------------------------------------------------

bool PcrAnalysisDocumentPrivate::writeSources(PackageCopy::Writer &writer, const QString &target)
{
    if (!writer.isOpen())
        return false;

    // The entries of every source under its folder.
    for (const SourceArchiveRecord &record : qAsConst(sourceArchives)) {
        const QString from = readableSource(record, target);
        bool ok = false;
        if (QFileInfo(record.path).suffix() == SuffixSaved) {
            ok = writer.copyFolders(from, PackageCopy::baseNames(record.experimentNames));
        } else {
            // A run archive without an experiment name goes under its own file name.
            const QString name = record.experimentNames.value(0, QFileInfo(record.path).fileName());
            ok = writer.copyUnder(from, PackageCopy::baseNameOf(name));
        }
        if (!ok) {
            qWarning() << "backupOriginalFile(): copying" << record.path << "failed";
            return false;
        }
    }

    // The package's own analysis parameters and password entry at the top level, from the
    // first source (a saved package's own top level, else its first source's folder).
    if (!sourceArchives.isEmpty()) {
        const SourceArchiveRecord &first = sourceArchives.first();
        const QString from = readableSource(first, target);
        QString folder;
        if (QFileInfo(first.path).suffix() == SuffixSaved && !first.experimentNames.isEmpty())
            folder = PackageCopy::baseNameOf(first.experimentNames.first());
        if (!writer.copySharedEntries(from, folder))
            return false;
    }
    return true;
}

bool PcrAnalysisDocument::save(const QString &path)
{
    if (!m_d->assigner || !m_d->loaded()) {
        qWarning() << "save(): no document is open";
        return false;
    }
    // Under any other suffix the package could not be opened again.
    if (QFileInfo(path).suffix() != SuffixSaved) {
        qWarning() << "save(): a package is saved as ." << SuffixSaved << "only:" << path;
        return false;
    }
    // Every source must be readable before anything is written.
    for (const SourceArchiveRecord &record : qAsConst(m_d->sourceArchives)) {
        if (m_d->readableSource(record, path).isEmpty()) {
            if (QFileInfo(record.path).suffix() == SuffixSaved)
                qWarning("backupOriginalFile():temp copy file does not exist!");
            qWarning() << "save(): source archive cannot be read" << record.path;
            return false;
        }
    }

    // The package is written beside the target and takes its place only once it is whole
    // and on the disk: whatever fails, the target stays as it was.
    PackageCopy::TempTarget temp(path);
    if (!temp.isValid()) {
        qWarning() << "save(): cannot write in the folder of" << path;
        return false;
    }
    AnalysisFileParseAssigner &set = *m_d->assigner;
    bool written = false;
    {
        PackageCopy::Writer writer(temp, set.getUnzipPassword());
        if (m_d->writeSources(writer, path)) {
            set.setManagers(m_d->compensationMatrixMgr, m_d->analysisDataMgr, m_d->devParasMgr,
                            m_d->experimentCfgMgr, m_d->fileLogMgr);
            written = set.saveEntries(writer);
            set.releaseManagers();
        }
        written = writer.close() && written;
    }
    if (!written) {
        qWarning() << "save(): the package could not be written whole; " << path << "is left as it was";
        return false;
    }
    if (!temp.commit()) {
        qWarning() << "save(): cannot replace" << path;
        return false;
    }
    m_d->sourceArchives = {SourceArchiveRecord{path, experimentNamesOf(m_d->analysisDataMgr)}};
    return true;
}

void PcrAnalysisDocument::beginSaveFile()
{
    for (const SourceArchiveRecord &record : qAsConst(m_d->sourceArchives)) {
        if (QFileInfo(record.path).suffix() != SuffixSaved)
            continue;
        const QString tmp = m_d->tempCopyFor(record.path);
        if (QFileInfo::exists(tmp))
            QFile::remove(tmp);
        if (QFile::copy(record.path, tmp))
            m_d->tempCopies.insert(tmp, QFileInfo(record.path).absoluteFilePath());
        else
            qWarning() << "beginSaveFile(): cannot copy" << record.path << "to" << tmp;
    }
}

void PcrAnalysisDocument::endSaveFile()
{
    for (auto it = m_d->tempCopies.cbegin(); it != m_d->tempCopies.cend(); ++it)
        QFile::remove(it.key());
    m_d->tempCopies.clear();
}

// ---- Accessors -------------------------------------------------------------------------------

QString PcrAnalysisDocument::getUnzipPassword() const
{
    return m_d->assigner ? m_d->assigner->getUnzipPassword() : QString();
}

AnalysisDataMgr *PcrAnalysisDocument::getAnalysisDataMgr() const
{
    return m_d->analysisDataMgr;
}

CompensationMatrixMgr *PcrAnalysisDocument::getCompensationMatrixMgr() const
{
    return m_d->compensationMatrixMgr;
}

DevParasMgr *PcrAnalysisDocument::getDevParasMgr() const
{
    return m_d->devParasMgr;
}

ExperimentCfgMgr *PcrAnalysisDocument::getExperimentCfgMgr() const
{
    return m_d->experimentCfgMgr;
}

FileLogMgr *PcrAnalysisDocument::getFileLogMgr() const
{
    return m_d->fileLogMgr;
}

QVector<int> PcrAnalysisDocument::getChanIndicesUsed() const
{
    QVector<int> used;
    if (!m_d->experimentCfgMgr)
        return used;
    QSet<quint32> seen;
    for (const WellInfo &well : qAsConst(m_d->experimentCfgMgr->getWells()))
        for (quint32 channel : well.channels)
            seen.insert(channel);
    const QVector<TargetInfo> &targets = m_d->experimentCfgMgr->getTargets();
    for (int i = 0; i < PerChannel; ++i) {
        if (i < targets.size() && !targets.at(i).fluorophore.isEmpty() && seen.contains(quint32(i)))
            used.append(i);
    }
    return used;
}

// ---- Merge -----------------------------------------------------------------------------------

PcrAnalysisDocument::ErrorCode PcrAnalysisDocument::isMergeSupported4Load(const QString &path, MergePermit &permit)
{
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    if (suffix != SuffixImrs && suffix != SuffixExpzip)
        return UnsupportedSuffix;
    if (!m_d->loaded())
        return CannotParse;

    // Sources are embedded under their name up to the first "."; two sources with one folder
    // would mix on reopen.
    const QString fileName = info.fileName();
    const QString base = PackageCopy::baseNameOf(fileName);
    for (const ExpItemInfo &exp : qAsConst(m_d->analysisDataMgr->getAnalysisExpMgr()->getAnalysisExpGlobalInfo().experiments)) {
        if (exp.fileName == fileName || PackageCopy::baseNameOf(exp.fileName) == base)
            return AlreadyLoaded;
    }

    m_d->clearPending();
    std::unique_ptr<AnalysisFileParseAssigner> candidate = createAssigner(path);
    if (!candidate || !info.isFile() || !candidate->parseMiscEntries())
        return CannotParse;

    permit.accepted = true;
    permit.sameExperimentCfg = sameExperimentConfiguration(m_d->experimentCfgMgr->getExp(),
                                                           candidate->experimentCfgMgr()->getExp());
    permit.sameDevParas = true;
    permit.sameCompensationMatrix = true;
    m_d->pending = std::move(candidate);
    m_d->mergePending = true;
    m_d->pendingPath = path;
    return MergeSupported;
}

bool PcrAnalysisDocument::continueLoadFile()
{
    if (!m_d->mergePending || !m_d->pending || !m_d->loaded())
        return false;
    m_d->mergePending = false;
    if (!m_d->pending->parseAnalysisData()) {
        qWarning() << "continueLoadFile(): reading run.pcr failed" << m_d->pendingPath;
        m_d->clearPending();
        return false;
    }
    m_d->mergeFile();
    m_d->clearPending();
    return true;
}

// Appends the pending archive (m, the candidate's managers) to the document (d) under fresh
// well ids after d's well counter. Every step numbers the wells it adds on its own; the
// results must agree for the new wells to be announced.
void PcrAnalysisDocumentPrivate::mergeFile()
{
    AnalysisFileParseAssigner &m = *pending;
    AnalysisDataMgr *mData = m.analysisDataMgr();
    AnalysisExperimentMgr *mExperiments = mData->getAnalysisExpMgr();
    AnalysisExperimentMgr *dExperiments = analysisDataMgr->getAnalysisExpMgr();

    // 1. The archive becomes one of the sources.
    sourceArchives.append(SourceArchiveRecord{pendingPath, experimentNamesOf(mData)});
    const QString mergedPath = pendingPath;
    pendingPath.clear();

    // 2. Where the new wells start.
    const int beginIndex = experimentCfgMgr->getWells().size();
    const quint32 last = fileLogMgr->getLog()[FileLogMgr::WellCounter];

    // 3. Configuration wells; they measure what the document's wells measure.
    QList<WellInfo> &dConfigWells = experimentCfgMgr->getWells();
    const bool haveFirstWell = !dConfigWells.isEmpty();
    const QList<quint32> firstChannels = haveFirstWell ? dConfigWells.first().channels : QList<quint32>();
    const QList<WellInfo> mConfigWells = m.experimentCfgMgr()->getWells();
    quint32 idA = last;
    for (WellInfo well : mConfigWells) {
        well.id = ++idA;
        if (haveFirstWell)
            well.channels = firstChannels;
        dConfigWells.append(well);
    }

    // The analysed wells of m in order, and the id each of them gets.
    AnalysisExpGlobalInfo &mInfo = mExperiments->getAnalysisExpGlobalInfo();
    const int count = mInfo.wells.size();
    QHash<quint32, quint32> newIdOf;
    for (int k = 0; k < count; ++k)
        if (!newIdOf.contains(mInfo.wells.at(k).wellId))
            newIdOf.insert(mInfo.wells.at(k).wellId, last + quint32(k) + 1);

    // 4. Classification of the current mode: a copy of d's first well with its thresholds and
    // counts cleared, or a cleared record made from the zones when d has no well.
    DrpltClassifyMgr *classify = analysisDataMgr->getDrpltClassifyMgr();
    const QVector<DrpltZoneInfo> &zones = classify->getZones();
    if (analysisDataMgr->getThldType() == LineThreshold) {
        QList<WellClassifyInfoByLine> &wells = classify->getClassifyInfosOfWellsByLine();
        WellClassifyInfoByLine model;
        if (!wells.isEmpty()) {
            model = wells.first();
            for (LineThresholdInfo &t : model.thlds)
                t.value = 0;
            for (ZoneDrpltNumInfo &z : model.zoneDrpltNums)
                z.drpltNum = 0;
        } else {
            for (quint32 channel = 1; channel <= quint32(PerChannel); ++channel)
                model.thlds.append(LineThresholdInfo{channel, 0});
            for (const DrpltZoneInfo &zone : zones)
                model.zoneDrpltNums.append(ZoneDrpltNumInfo{zone.id, 0});
        }
        for (int k = 0; k < count; ++k) {
            model.wellId = last + quint32(k) + 1;
            wells.append(model);
        }
    } else {
        QList<WellClassifyInfoByPolygon> &wells = classify->getClassifyInfosOfWellsByPolygon();
        WellClassifyInfoByPolygon model;
        if (!wells.isEmpty()) {
            model = wells.first();
            for (PolygonThresholdInfo &t : model.thlds)
                t.value = QPolygonF();
            for (ZoneDrpltNumInfo &z : model.zoneDrpltNums)
                z.drpltNum = 0;
        } else {
            for (const DrpltZoneInfo &zone : zones) {
                model.thlds.append(PolygonThresholdInfo{zone.id, QPolygonF()});
                model.zoneDrpltNums.append(ZoneDrpltNumInfo{zone.id, 0});
            }
        }
        for (int k = 0; k < count; ++k) {
            model.wellId = last + quint32(k) + 1;
            wells.append(model);
        }
    }

    // 5. Image-analysis records, each under the new id of its well (by list position when
    // its well is not among m's wells).
    QList<WellImageAnalysisInfo> &mRecords = mData->getDrpltImgInfoMgr()->getWellImgAnalysisInfos();
    for (int i = 0; i < mRecords.size(); ++i)
        mRecords[i].wellId = newIdOf.value(mRecords.at(i).wellId, last + quint32(i) + 1);
    analysisDataMgr->getDrpltImgInfoMgr()->getWellImgAnalysisInfos().append(mRecords);

    // 6. Results: the effective droplet number from m's record of the same well, fresh
    // channel entries, and an entry for each population the document's wells have.
    AnalysisResultMgr *dResults = analysisDataMgr->getAnalysisRetMgr();
    QList<quint32> populationIds;
    if (!dResults->getWellResults().isEmpty())
        for (const PopulationResultInfo &p : qAsConst(dResults->getWellResults().first().populationResults))
            populationIds.append(p.populationId);
    const QList<WellResultInfo> &mResults = mData->getAnalysisRetMgr()->getWellResults();
    for (int k = 0; k < count; ++k) {
        const quint32 oldId = mInfo.wells.at(k).wellId;
        WellResultInfo result;
        result.wellId = last + quint32(k) + 1;
        const auto found = std::find_if(mResults.cbegin(), mResults.cend(),
                                        [oldId](const WellResultInfo &r) { return r.wellId == oldId; });
        result.effDrpltNum = found != mResults.cend() ? found->effDrpltNum : 0;
        for (int c = 0; c < PerChannel; ++c) {
            ChanResultInfo &chan = result.chanResults[c];
            chan.chanId = quint32(c) + 1;
            chan.chanType = 0;
            chan.refConcentration = 0.0;
            chan.dilution = 1.0;
        }
        for (quint32 id : qAsConst(populationIds)) {
            PopulationResultInfo population;
            population.populationId = id;
            result.populationResults.append(population);
        }
        dResults->appendWellResult(result);
    }

    // 7. The experiment with its wells and their images.
    ExpItemInfo experiment;
    if (!mInfo.experiments.isEmpty())
        experiment = mInfo.experiments.first();
    else
        experiment.fileName = QFileInfo(mergedPath).fileName();
    experiment.id = fileLogMgr->nextExperimentId();
    experiment.wellIds.clear();
    QList<WellDrpltImgInfo<QImage>> &mImages = mExperiments->getWellDrpltImgInfos();
    quint32 idB = last;
    for (int k = 0; k < count; ++k) {
        WellItemInfo well = mInfo.wells.at(k);
        well.wellId = ++idB;
        well.expId = experiment.id;
        experiment.wellIds.append(well.wellId);
        dExperiments->appendWellGlobal(well);
        if (k < mImages.size())
            mImages[k].wellId = well.wellId;
    }
    dExperiments->appendExpFile(experiment);
    dExperiments->appendWellDrpltImgsOfExp(mImages);

    // 8. Device parameters: the shared set when m has one, else each well's own.
    const DevParasInfoOfWells &mParas = m.devParasMgr()->getDevParas();
    QMap<uint, QVector<ScanningParameterInfo>> paras;
    quint32 idC = last;
    const auto shared = mParas.paras.constFind(0);
    for (const WellInfo &well : mConfigWells) {
        ++idC;
        paras.insert(idC, shared != mParas.paras.cend() ? shared.value() : mParas.paras.value(well.id));
    }
    devParasMgr->addDevParasInfoOfWells(paras);

    // 9. The well counter covers every id given out, also when the steps disagree.
    FileLogMgr::Log log = fileLogMgr->getLog();
    log[FileLogMgr::WellCounter] = std::max({idA, idB, idC});
    fileLogMgr->setLog(log);

    // 10.
    if (idA == idB && idB == idC)
        emit q->wellAdded(beginIndex, int(idA - last));
    else
        qWarning("mergeFile():well data is inconsistent!");
}
