#include "driver.h"

#include "bll/bllinstance.h"
#include "bll/documentaccess.h"
#include "bll/dropletexclude.h"
#include "bll/experimenteditmgr.h"
#include "io/poolhandover.h"
#include "bll/populationsmgr.h"
#include "bll/reanalysis.h"
#include "bll/resultcalculate.h"
#include "bll/signaltransfer.h"

#include "qualityevaluation.h"
#include "spillovercompensation.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QRunnable>
#include <QThread>
#include <QThreadPool>

#include <cmath>
#include <mutex>

namespace EndToEnd {

bool PopulationFigures::operator==(const PopulationFigures &o) const
{
    // Figures computed the same way from the same counts are equal to the bit; NaN (no
    // droplets) equals NaN here.
    auto same = [](double a, double b) { return a == b || (a != a && b != b); };
    return id == o.id && name == o.name && positives == o.positives && negatives == o.negatives
           && same(concentration, o.concentration) && same(lower, o.lower) && same(upper, o.upper)
           && same(uncertainty, o.uncertainty);
}

bool WellFigures::operator==(const WellFigures &o) const
{
    return id == o.id && name == o.name && effective == o.effective && sharpness == o.sharpness
           && saturated == o.saturated && qcMet == o.qcMet && thresholds == o.thresholds
           && populations == o.populations;
}

const PopulationFigures *WellFigures::population(const QString &populationName) const
{
    for (const PopulationFigures &p : populations)
        if (p.name == populationName)
            return &p;
    return nullptr;
}

const WellFigures *Snapshot::well(uint id) const
{
    for (const WellFigures &w : wells)
        if (w.id == id)
            return &w;
    return nullptr;
}

Driver::Driver(QTextStream *out, QObject *parent) : QObject(parent), m_out(out)
{
    BLLInstance::createSingletons();
    SignalTransfer *hub = SignalTransfer::getInstance();
    connect(hub, &SignalTransfer::beginBusyStatus, this, [this] { noteSignal("beginBusyStatus"); });
    connect(hub, &SignalTransfer::endBusyStatus, this, [this] { noteSignal("endBusyStatus"); });
    connect(hub, &SignalTransfer::compensationStatus, this, [this] { noteSignal("compensationStatus"); });
    connect(hub, &SignalTransfer::updateWellInfo, this, [this] {
        noteSignal("updateWellInfo");
        // As the well list reloads: the results views read what this stores.
        BLLInstance::getInstance()->getResultCalculate()->updatePopulationResults();
    });
    connect(hub, &SignalTransfer::updateWellComplete, this, [this] { noteSignal("updateWellComplete"); });
    connect(hub, &SignalTransfer::computeCompensation, this, [this] { noteSignal("computeCompensation"); });
    connect(hub, &SignalTransfer::dataFixed, this, [this] { noteSignal("dataFixed"); });
    connect(hub, &SignalTransfer::openFileError, this, [this] { noteSignal("openFileError"); });
    connect(hub, &SignalTransfer::editCompensationComplete, this,
            [this] { noteSignal("editCompensationComplete"); });
    connect(hub, &SignalTransfer::sigHideMenuDialog, this, [this] { noteSignal("sigHideMenuDialog"); });
    connect(hub, &SignalTransfer::clearCompensation, this, [this] { noteSignal("clearCompensation"); });
}

void Driver::noteSignal(const char *name)
{
    const QString text = QString::fromLatin1(name);
    m_recent.append(text);
    m_all.append(text);
    print(QStringLiteral("signal %1").arg(text));
}

void Driver::print(const QString &line)
{
    if (m_out) {
        *m_out << line << '\n';
        m_out->flush();
    }
}

QStringList Driver::takeSignals()
{
    const QStringList taken = m_recent;
    m_recent.clear();
    return taken;
}

namespace {

// A job on the global pool, as the program starts its jobs. Its end is handed back under a
// standard lock, so a thread checker sees what the job wrote.
struct JobState {
    std::function<void()> job;
    std::mutex mutex;
    bool done = false;
};

class JobRunnable : public QRunnable {
public:
    JobRunnable(std::shared_ptr<JobState> state, QEventLoop *loop) : m_state(std::move(state)), m_loop(loop) {}
    void run() override
    {
        PoolHandover::take(this);
        m_state->job();
        {
            std::lock_guard<std::mutex> lock(m_state->mutex);
            m_state->done = true;
        }
        QMetaObject::invokeMethod(m_loop, "quit", Qt::QueuedConnection);
    }

private:
    std::shared_ptr<JobState> m_state;
    QEventLoop *m_loop;
};

} // namespace

void Driver::runJob(const std::function<void()> &job)
{
    QEventLoop loop;
    auto state = std::make_shared<JobState>();
    state->job = job;
    auto *runnable = new JobRunnable(state, &loop);
    PoolHandover::give(runnable);
    QThreadPool::globalInstance()->start(runnable);
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(state->mutex);
            if (state->done)
                break;
        }
        loop.exec();
    }
    // Signals the job queued just before it ended, and the loop's own quit.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void Driver::runOnWorker(const std::function<void()> &work)
{
    QEventLoop loop;
    QThread *worker = QThread::create(work);
    connect(worker, &QThread::finished, &loop, &QEventLoop::quit);
    worker->start();
    if (!worker->isFinished())
        loop.exec();
    worker->wait();
    delete worker;
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

bool Driver::open(const QString &path)
{
    print(QStringLiteral("step open %1").arg(path));
    bool opened = false;
    runOnWorker([&opened, path] { opened = BLLInstance::getInstance()->openFile(path); });
    return opened;
}

void Driver::switchToLineMode()
{
    print(QStringLiteral("step line mode"));
    BLLInstance::getInstance()->setThresholdingType(0);
    QCoreApplication::processEvents();
}

void Driver::poolThresholds()
{
    print(QStringLiteral("step pooled thresholds"));
    BLLInstance *bll = BLLInstance::getInstance();
    bll->autoThreshold(bll->getWellIds(), false);
    QCoreApplication::processEvents();
}

void Driver::reanalyse(int background, int fluorescence)
{
    print(QStringLiteral("step re-analysis background %1 fluorescence %2").arg(background).arg(fluorescence));
    runJob([background, fluorescence] {
        ReAnalysis *engine = BLLInstance::getInstance()->getReAnalysis();
        engine->setAdjustTypes(background, fluorescence);
        engine->reanalyseAll();
    });
}

bool Driver::applyMatrixFile(const QString &cmtxPath)
{
    print(QStringLiteral("step apply matrix %1").arg(cmtxPath));
    auto matrix = std::make_shared<Ravelin::SpilloverCompensation>();
    if (!matrix->loadCompensationMatrixFile(cmtxPath))
        return false;
    runJob([matrix] { BLLInstance::getInstance()->getReAnalysis()->applyCompensation(matrix.get()); });
    return true;
}

void Driver::resetMatrix()
{
    print(QStringLiteral("step reset matrix"));
    BLLInstance::getInstance()->resetCompensationMatrix();
    QCoreApplication::processEvents();
}

QMap<uint, QSet<uint>> Driver::excludeEvery(int step)
{
    print(QStringLiteral("step exclude every %1th droplet").arg(step));
    QMap<uint, QSet<uint>> excluded;
    BLLInstance *bll = BLLInstance::getInstance();
    for (uint id : bll->getWellIds()) {
        const int n = bll->getDropletExclude()->getImgAnalysisInfo(id).droplets.size();
        QSet<uint> indices;
        for (int i = 0; i < n; i += std::max(1, step))
            indices.insert(uint(i));
        bll->getDropletExclude()->excludeDroplets(id, indices);
        excluded.insert(id, indices);
    }
    QCoreApplication::processEvents();
    return excluded;
}

int Driver::merge(const QString &path)
{
    print(QStringLiteral("step merge %1").arg(path));
    PcrAnalysisDocument::MergePermit permit;
    const int check = BLLInstance::getInstance()->isMergeSupported4Load(path, permit);
    if (check != 0)
        return check;
    bool merged = false;
    runJob([&merged] { merged = BLLInstance::getInstance()->continueLoadFile(); });
    return merged ? 0 : -1;
}

bool Driver::save(const QString &path)
{
    print(QStringLiteral("step save %1").arg(path));
    BLLInstance *bll = BLLInstance::getInstance();
    bll->beginSaveFile();
    bool saved = false;
    runJob([&saved, path] {
        saved = BLLInstance::getInstance()->saveFile(path);
        BLLInstance::getInstance()->endSaveFile();
    });
    return saved;
}

namespace {

// As the Quality Control page colours its figures and the droplet-quality dialog its own (the
// dialog's only in line mode, where it shows them).
QMap<QString, bool> qcMet(uint id, const LumaraAnalysisData::WellImageAnalysisInfo &record)
{
    BLLInstance *bll = BLLInstance::getInstance();
    const LumaraAnalysisData::QcThresholdInfo limits = bll->getQcSettings();
    QMap<QString, bool> met;
    met.insert(QStringLiteral("sharpness"), record.sharpness > double(limits.imageSharpness));
    met.insert(QStringLiteral("droplets"), uint(record.droplets.size()) > bll->getNumbersRef(id));
    met.insert(QStringLiteral("saturated"), limits.saturatedObjects > record.saturatedDrpltNum);
    met.insert(QStringLiteral("effective"), bll->getNumbersRef(id) <= bll->getWellDropletNum(id));
    if (bll->getThldType() != LumaraAnalysisData::LineThreshold)
        return met;
    const double reference =
        double(bll->getExperimentEditMgr()->getWellDropletNumber(id)) * limits.analyzableDrpltRatio;
    met.insert(QStringLiteral("effective of all"), double(bll->getWellDropletNum(id)) > reference);
    met.insert(QStringLiteral("reference CV"),
               limits.rfuCv > QualityEvaluation::calCv(bll->getWellChannelGrayValues(id, bll->getRefChannelId(id))));
    for (uint channel : bll->getWellChannels(id)) {
        const DrpltQuality q = QualityEvaluation::calDrpltQuality(
            bll->getWellChannelGrayValues(id, channel), bll->getThldByLine(id, channel), limits.rainRangeStddevNum);
        met.insert(QStringLiteral("Rs %1").arg(channel), std::isfinite(q.Rs) && q.Rs >= 0.0 && q.Rs > limits.rs);
        met.insert(QStringLiteral("rain %1").arg(channel),
                   std::isfinite(q.rain) && q.rain >= 0.0 && limits.rain > q.rain);
    }
    return met;
}

} // namespace

Snapshot Driver::snapshot(const QString &stage)
{
    Snapshot snap;
    snap.stage = stage;
    BLLInstance *bll = BLLInstance::getInstance();
    ResultCalculate *results = bll->getResultCalculate();
    // As the results page does when it is shown: the figures the user reads are current.
    results->updatePopulationResults();
    PopulationsMgr *populations = bll->getPopulationsMgr();
    const QList<uint> channels = bll->getAllUsedChannels();
    for (uint id : bll->getWellIds()) {
        WellFigures well;
        well.id = id;
        well.name = bll->getWellSampleName(id);
        well.effective = bll->getWellDropletNum(id);
        // What the quality-control page reads.
        const LumaraAnalysisData::WellImageAnalysisInfo &record = bll->getDropletExclude()->getImgAnalysisInfo(id);
        well.sharpness = record.sharpness;
        well.saturated = record.saturatedDrpltNum;
        well.qcMet = qcMet(id, record);
        for (uint channel : channels)
            well.thresholds.append(qMakePair(channel, bll->getThldByLine(id, channel)));
        for (const LumaraAnalysisData::PopulationResultInfo &r : results->getPopulationResults(id)) {
            PopulationFigures p;
            p.id = r.populationId;
            p.name = populations->getPopulationName(r.populationId);
            p.positives = r.posDrpltNum;
            p.negatives = r.negDrpltNum;
            p.concentration = r.concentration;
            p.lower = r.concentrationLower;
            p.upper = r.concentrationUpper;
            p.uncertainty = r.uncertainty;
            well.populations.append(p);
        }
        snap.wells.append(well);
    }
    print(format(snap));
    return snap;
}

QString Driver::format(const Snapshot &snapshot)
{
    QString text;
    QTextStream s(&text);
    s << "figures " << snapshot.stage << '\n';
    for (const WellFigures &w : snapshot.wells) {
        s << "well " << w.id << " \"" << w.name << "\" effective " << w.effective << " sharpness "
          << QString::number(w.sharpness, 'g', 10) << " saturated " << w.saturated << " thresholds";
        for (const auto &t : w.thresholds)
            s << ' ' << t.first << '=' << t.second;
        s << "\n  qc";
        for (auto it = w.qcMet.cbegin(); it != w.qcMet.cend(); ++it)
            s << ' ' << it.key() << (it.value() ? " met," : " NOT met,");
        s << '\n';
        for (const PopulationFigures &p : w.populations)
            s << "  population " << p.id << " \"" << p.name << "\" pos " << p.positives << " neg " << p.negatives
              << " concentration " << QString::number(p.concentration, 'g', 10) << " ["
              << QString::number(p.lower, 'g', 10) << ", " << QString::number(p.upper, 'g', 10) << "] uncertainty "
              << QString::number(p.uncertainty, 'g', 10) << '\n';
    }
    s.flush();
    if (text.endsWith('\n'))
        text.chop(1);
    return text;
}

} // namespace EndToEnd
