#include "scenario.h"

#include "driver.h"
#include "truthcheck.h"
#include "messagerecorder.h"
#include "zipcheck.h"

#include "bll/bllinstance.h"
#include "bll/documentaccess.h"

#include "clusterhandle.h"

#include <QDir>
#include <QFile>
#include <QThreadPool>

#include <memory>

namespace EndToEnd {

namespace {

QString suffixOf(MkPackage::ArchiveKind kind)
{
    return kind == MkPackage::ArchiveKind::Expzip ? QStringLiteral("expzip") : QStringLiteral("imrs");
}

// Restores the pool's limit when the scenario ends, however it ends.
class PoolLimit {
public:
    explicit PoolLimit(int threads) : m_previous(QThreadPool::globalInstance()->maxThreadCount())
    {
        if (threads > 0)
            QThreadPool::globalInstance()->setMaxThreadCount(threads);
    }
    ~PoolLimit() { QThreadPool::globalInstance()->setMaxThreadCount(m_previous); }

private:
    int m_previous;
};

} // namespace

QByteArray dataFolderParameters(int volume)
{
    QFile file(QStringLiteral("../data/%1pl_analysisparams.json").arg(volume));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

ScenarioResult runScenario(const ScenarioOptions &o, QTextStream *out)
{
    ScenarioResult r;
    auto fail = [&r, out](const QString &text) {
        r.failures.append(text);
        if (out) {
            *out << "FAIL " << text << '\n';
            out->flush();
        }
    };
    auto note = [out](const QString &text) {
        if (out) {
            *out << text << '\n';
            out->flush();
        }
    };
    auto addAll = [&fail](const CheckResult &check, const QString &stage) {
        for (const QString &f : check.failures)
            fail(stage + QStringLiteral(": ") + f);
    };
    // The drawn droplets, rendered once when a step needs them.
    std::unique_ptr<DrawnRun> drawnRun;
    auto drawn = [&drawnRun, &o]() -> const DrawnRun & {
        if (!drawnRun)
            drawnRun = std::make_unique<DrawnRun>(o.run);
        return *drawnRun;
    };
    // With well shapes, the counts against the drawn truth.
    auto counted = [&](const Snapshot &now) {
        if (o.run.drawsShapes())
            addAll(compareWithDrawn(now, drawnCounts(drawn()),
                                    [&o](uint, const QString &) { return o.countTolerance; }),
                   now.stage);
        return now;
    };
    // The next figures of a step that keeps the droplets: what was measured of them stays.
    auto kept = [&addAll, &counted](const Snapshot &before, const Snapshot &after) {
        addAll(compareQcFigures(before, after), after.stage);
        return counted(after);
    };
    PoolLimit limit(o.threads);
    QDir().mkpath(o.folder);

    const QString path = QDir(o.folder).filePath(QStringLiteral("run.") + suffixOf(o.run.kind));
    QString error;
    if (!MkPackage::generatePackage(o.run, path, nullptr, &error)) {
        fail(QStringLiteral("generate: ") + error);
        return r;
    }
    Driver driver(out);
    if (!driver.open(path)) {
        fail(QStringLiteral("open: failed"));
        r.signalsSeen = driver.allSignals();
        return r;
    }
    const QStringList opened = driver.takeSignals();
    if (!opened.contains(QStringLiteral("updateWellInfo")) || opened.contains(QStringLiteral("openFileError")))
        fail(QStringLiteral("open: the hub showed %1").arg(opened.join(QLatin1Char(' '))));
    Snapshot current = counted(driver.snapshot(QStringLiteral("open")));
    const Snapshot openFigures = current;
    addAll(compareWithTruth(current, readTruth(path), o.run.volume), QStringLiteral("open"));
    addAll(compareQcWithTruth(current, readTruth(path)), QStringLiteral("open"));

    if (o.lineMode) {
        driver.switchToLineMode();
        current = kept(current, driver.snapshot(QStringLiteral("line mode")));
    }
    if (o.pool) {
        driver.poolThresholds();
        current = kept(current, driver.snapshot(QStringLiteral("pooled thresholds")));
    }
    if (o.reanalyse) {
        LumaraTest::MessageRecorder messages;
        driver.reanalyse(o.background, 1);
        const QStringList seen = driver.takeSignals();
        if (!seen.contains(QStringLiteral("updateWellInfo")) || !seen.contains(QStringLiteral("dataFixed")))
            fail(QStringLiteral("re-analysis: the hub showed %1").arg(seen.join(QLatin1Char(' '))));
        for (const LumaraTest::MessageRecorder::Message &m : messages.messages())
            if (m.text.contains(QStringLiteral("left uncorrected")))
                fail(QStringLiteral("re-analysis: ") + m.text.trimmed());
        current = counted(driver.snapshot(QStringLiteral("re-analysis")));
        // An .expzip archive keeps no sharpness (it opens as 0); only the re-analysis measures it.
        const QStringList unstored = o.run.kind == MkPackage::ArchiveKind::Expzip
                                         ? QStringList{QStringLiteral("sharpness")}
                                         : QStringList();
        for (const QString &f : compareReanalysis(openFigures, current, 0.01, unstored).failures) {
            r.reanalysisChanges.append(QStringLiteral("re-analysis: ") + f);
            if (out) {
                *out << "FAIL re-analysis: " << f << '\n';
                out->flush();
            }
        }
        const ClassAgreement a = classAgreement(drawn(), 1);
        note(QStringLiteral("re-analysis: %1 drawn (%2 eligible, %3 of them found), %4 recognised, %5 on drawn "
                            "droplets, %6 with their classes")
                 .arg(a.truthDroplets)
                 .arg(a.eligible)
                 .arg(a.eligibleFound)
                 .arg(a.recognised)
                 .arg(a.matched)
                 .arg(a.agreeing));
        if (a.agreement() < o.minAgreement)
            fail(QStringLiteral("re-analysis: classes agree for %1 %").arg(100.0 * a.agreement(), 0, 'f', 2));
        if (a.completeness() < o.minCompleteness)
            fail(QStringLiteral("re-analysis: found %1 % of the").arg(100.0 * a.completeness(), 0, 'f', 2)
                     + QStringLiteral(" eligible"));
    }
    QMap<uint, QSet<uint>> excluded;
    if (o.excludeStep > 0) {
        excluded = driver.excludeEvery(o.excludeStep);
        current = kept(current, driver.snapshot(QStringLiteral("excluded")));
    }
    const Snapshot beforeMatrix = current;
    if (o.matrix) {
        const QString cmtx = QDir(o.folder).filePath(QStringLiteral("crosstalk.cmtx"));
        if (!writeCrosstalkMatrix(o.run, cmtx) || !driver.applyMatrixFile(cmtx)) {
            fail(QStringLiteral("matrix: cannot apply %1").arg(cmtx));
        } else {
            const QStringList seen = driver.takeSignals();
            if (!seen.contains(QStringLiteral("editCompensationComplete")))
                fail(QStringLiteral("matrix: the hub showed %1").arg(seen.join(QLatin1Char(' '))));
            current = kept(current, driver.snapshot(QStringLiteral("compensated")));
            BLLInstance *bll = BLLInstance::getInstance();
            for (auto it = excluded.cbegin(); it != excluded.cend(); ++it) {
                if (bll->getExcludedDroplets(it.key()) != it.value())
                    fail(QStringLiteral("matrix: well %1 lost its exclusions").arg(it.key()));
                if (int(bll->getWellDropletNum(it.key())) != bll->getWellEffDropletCount(it.key()))
                    fail(QStringLiteral("matrix: well %1 counts %2 effective droplets, it keeps %3")
                             .arg(it.key())
                             .arg(bll->getWellDropletNum(it.key()))
                             .arg(bll->getWellEffDropletCount(it.key())));
            }
        }
    }
    if (o.reset) {
        driver.resetMatrix();
        current = kept(current, driver.snapshot(QStringLiteral("reset")));
        // The raw figures come back when they stood on the analysis thresholds before. Where
        // droplets were excluded since, the thresholds come from the droplets kept.
        if (o.matrix && o.reanalyse && excluded.isEmpty() && !current.sameFigures(beforeMatrix))
            fail(QStringLiteral("reset: the figures before the matrix did not come back"));
        if (o.matrix && !excluded.isEmpty()) {
            BLLInstance *bll = BLLInstance::getInstance();
            for (const WellFigures &well : qAsConst(current.wells)) {
                for (const auto &entry : well.thresholds) {
                    ClusterHandle handle;
                    double expected = 0;
                    handle.clusterDrpltGray(bll->getWellChannelGrayValues(well.id, entry.first), expected);
                    if (entry.second != uint(expected))
                        fail(QStringLiteral("reset: well %1 channel %2 threshold %3, its kept droplets give %4")
                                 .arg(well.id)
                                 .arg(entry.first)
                                 .arg(entry.second)
                                 .arg(uint(expected)));
                }
            }
        }
    }
    if (o.merge) {
        MkPackage::GeneratorOptions second = o.run;
        second.wells = 2;
        second.seed = o.run.seed + 100;
        const QString secondPath = QDir(o.folder).filePath(QStringLiteral("second.") + suffixOf(o.run.kind));
        if (!MkPackage::generatePackage(second, secondPath, nullptr, &error)) {
            fail(QStringLiteral("merge: generate: ") + error);
        } else {
            const QList<uint> before = BLLInstance::getInstance()->getWellIds();
            const int merged = driver.merge(secondPath);
            if (merged != 0)
                fail(QStringLiteral("merge: result %1").arg(merged));
            const QStringList seen = driver.takeSignals();
            if (!seen.contains(QStringLiteral("updateWellInfo")))
                fail(QStringLiteral("merge: the hub showed %1").arg(seen.join(QLatin1Char(' '))));
            current = kept(current, driver.snapshot(QStringLiteral("merged")));
            const uint last = before.isEmpty() ? 0 : *std::max_element(before.cbegin(), before.cend());
            // Also when a matrix in force compensated them on the way in.
            addAll(compareQcWithTruth(current, readTruth(secondPath), last), QStringLiteral("merge"));
            QList<uint> expected = before;
            for (int i = 1; i <= second.wells; ++i)
                expected.append(last + uint(i));
            if (BLLInstance::getInstance()->getWellIds() != expected)
                fail(QStringLiteral("merge: wells %1").arg(
                    [&] {
                        QStringList ids;
                        for (uint id : BLLInstance::getInstance()->getWellIds())
                            ids.append(QString::number(id));
                        return ids.join(QLatin1Char(' '));
                    }()));
            // Without a matrix in force the added wells keep their archive's figures.
            if (!DocumentAccess::compensationApplied())
                addAll(compareWithTruth(current, readTruth(secondPath), o.run.volume, last), QStringLiteral("merge"));
        }
    }
    if (o.save) {
        const Snapshot beforeSave = kept(current, driver.snapshot(QStringLiteral("before saving")));
        const QString saved = QDir(o.folder).filePath(QStringLiteral("saved.arlx"));
        QString zipProblem;
        if (!driver.save(saved)) {
            fail(QStringLiteral("save: failed"));
        } else if (!(zipProblem = LumaraTest::standardZipCheck(saved)).isEmpty()) {
            fail(QStringLiteral("save: ") + zipProblem);
        } else if (!driver.open(saved)) {
            fail(QStringLiteral("save: the saved package does not open"));
        } else {
            current = driver.snapshot(QStringLiteral("reopened"));
            if (!current.sameFigures(beforeSave))
                fail(QStringLiteral("save: the reopened package shows other figures"));
        }
    }
    r.signalsSeen = driver.allSignals();
    return r;
}

} // namespace EndToEnd
