#include "truthcheck.h"

#include "bll/bllinstance.h"
#include "bll/documentaccess.h"
#include "bll/reanalysis.h"

#include "spillovercompensation.h"
#include "synthchip.h"

#include <QFile>
#include <opencv2/imgcodecs.hpp>
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <cmath>

namespace EndToEnd {

namespace {

bool close(double a, double b)
{
    if (a == b)
        return true;
    return std::fabs(a - b) <= 1e-9 * std::max(std::fabs(a), std::fabs(b));
}

// Copies per microlitre of k positives among n droplets of `volume` picolitres.
double concentration(int k, int n, int volume)
{
    return -std::log(1.0 - double(k) / double(n)) / (double(volume) * 1e-6);
}

} // namespace

QJsonObject readTruth(const QString &archivePath)
{
    QFile file(MkPackage::truthPathFor(archivePath));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

CheckResult compareWithTruth(const Snapshot &snapshot, const QJsonObject &truth, int volume, uint idOffset)
{
    CheckResult result;
    const QJsonArray wells = truth.value(QStringLiteral("wells")).toArray();
    if (wells.isEmpty())
        result.failures.append(QStringLiteral("the ground truth has no wells"));
    for (const QJsonValue &w : wells) {
        const QJsonObject tw = w.toObject();
        const uint id = uint(tw.value(QStringLiteral("id")).toInt()) + idOffset;
        const WellFigures *well = snapshot.well(id);
        if (!well) {
            result.failures.append(QStringLiteral("well %1 is missing").arg(id));
            continue;
        }
        const int droplets = tw.value(QStringLiteral("droplets")).toInt();
        const int excluded = tw.value(QStringLiteral("excluded")).toInt();
        if (int(well->effective) != droplets - excluded)
            result.failures.append(QStringLiteral("well %1: %2 effective droplets, the truth has %3")
                                       .arg(id)
                                       .arg(well->effective)
                                       .arg(droplets - excluded));
        for (const QJsonValue &c : tw.value(QStringLiteral("channels")).toArray()) {
            const QJsonObject tc = c.toObject();
            const QString dye = tc.value(QStringLiteral("dye")).toString();
            const PopulationFigures *p = well->population(dye);
            ++result.checked;
            const QString where = QStringLiteral("well %1 %2").arg(id).arg(dye);
            if (!p) {
                result.failures.append(where + QStringLiteral(": no population"));
                continue;
            }
            const int stored = tc.value(QStringLiteral("storedPositives")).toInt();
            const int total = tc.value(QStringLiteral("total")).toInt();
            const int drawn = tc.value(QStringLiteral("positives")).toInt();
            if (int(p->positives) != stored || int(p->positives + p->negatives) != total) {
                result.failures.append(QStringLiteral("%1: pos %2 neg %3, the truth has %4 of %5")
                                           .arg(where)
                                           .arg(p->positives)
                                           .arg(p->negatives)
                                           .arg(stored)
                                           .arg(total));
                continue;
            }
            // Every droplet positive has no finite concentration; the truth writes 0 for it.
            if (stored == total)
                continue;
            const double truthConcentration =
                tc.value(QStringLiteral("stored")).toObject().value(QStringLiteral("concentration")).toDouble();
            if (!close(p->concentration, truthConcentration))
                result.failures.append(QStringLiteral("%1: concentration %2, the truth has %3")
                                           .arg(where)
                                           .arg(p->concentration, 0, 'g', 12)
                                           .arg(truthConcentration, 0, 'g', 12));
            if (drawn < total) {
                const double byClass = concentration(drawn, total, volume);
                if (!(byClass >= p->lower * (1 - 1e-12) && byClass <= p->upper * (1 + 1e-12)))
                    result.failures.append(QStringLiteral("%1: the drawn classes give %2, outside [%3, %4]")
                                               .arg(where)
                                               .arg(byClass, 0, 'g', 8)
                                               .arg(p->lower, 0, 'g', 8)
                                               .arg(p->upper, 0, 'g', 8));
            }
        }
    }
    return result;
}

namespace {

void compareQc(const WellFigures &expected, const WellFigures &actual, CheckResult *result)
{
    ++result->checked;
    if (actual.sharpness != expected.sharpness || actual.saturated != expected.saturated)
        result->failures.append(QStringLiteral("well %1: sharpness %2 and %3 saturated droplets, expected %4 and %5")
                                    .arg(actual.id)
                                    .arg(actual.sharpness, 0, 'g', 10)
                                    .arg(actual.saturated)
                                    .arg(expected.sharpness, 0, 'g', 10)
                                    .arg(expected.saturated));
}

} // namespace

CheckResult compareQcFigures(const Snapshot &before, const Snapshot &after)
{
    CheckResult result;
    for (const WellFigures &was : before.wells)
        if (const WellFigures *now = after.well(was.id))
            compareQc(was, *now, &result);
    return result;
}

CheckResult compareQcWithTruth(const Snapshot &snapshot, const QJsonObject &truth, uint idOffset)
{
    CheckResult result;
    const bool expzip = truth.value(QStringLiteral("kind")).toString() == QLatin1String("expzip");
    const QJsonArray wells = truth.value(QStringLiteral("wells")).toArray();
    if (wells.isEmpty())
        result.failures.append(QStringLiteral("the ground truth has no wells"));
    for (const QJsonValue &w : wells) {
        const QJsonObject tw = w.toObject();
        WellFigures stored;
        stored.id = uint(tw.value(QStringLiteral("id")).toInt()) + idOffset;
        stored.sharpness = expzip ? 0.0 : tw.value(QStringLiteral("sharpness")).toDouble();
        stored.saturated = uint(tw.value(QStringLiteral("saturated")).toInt());
        if (const WellFigures *well = snapshot.well(stored.id))
            compareQc(stored, *well, &result);
        else
            result.failures.append(QStringLiteral("well %1 is missing").arg(stored.id));
    }
    return result;
}

CheckResult compareReanalysis(const Snapshot &before, const Snapshot &after, double countShare,
                              const QStringList &unstored)
{
    CheckResult result;
    for (const WellFigures &was : before.wells) {
        const WellFigures *now = after.well(was.id);
        ++result.checked;
        if (!now) {
            result.failures.append(QStringLiteral("well %1 is missing").arg(was.id));
            continue;
        }
        const QString where = QStringLiteral("well %1").arg(was.id);
        if (std::fabs(double(now->effective) - double(was.effective)) > countShare * was.effective)
            result.failures.append(
                QStringLiteral("%1: %2 droplets, %3 before").arg(where).arg(now->effective).arg(was.effective));
        for (const PopulationFigures &p : was.populations) {
            const PopulationFigures *q = now->population(p.name);
            if (!q) {
                result.failures.append(QStringLiteral("%1 %2: no population").arg(where, p.name));
                continue;
            }
            if (!(q->concentration >= p.lower && q->concentration <= p.upper))
                result.failures.append(QStringLiteral("%1 %2: concentration %3, before %4 in [%5, %6]")
                                           .arg(where, p.name)
                                           .arg(q->concentration, 0, 'g', 8)
                                           .arg(p.concentration, 0, 'g', 8)
                                           .arg(p.lower, 0, 'g', 8)
                                           .arg(p.upper, 0, 'g', 8));
        }
        if (now->qcMet.keys() != was.qcMet.keys())
            result.failures.append(QStringLiteral("%1: quality figures %2, before %3")
                                       .arg(where, now->qcMet.keys().join(QStringLiteral(", ")),
                                            was.qcMet.keys().join(QStringLiteral(", "))));
        for (auto it = was.qcMet.cbegin(); it != was.qcMet.cend(); ++it)
            if (!unstored.contains(it.key()) && now->qcMet.contains(it.key())
                && now->qcMet.value(it.key()) != it.value())
                result.failures.append(QStringLiteral("%1: %2 %3 its limit, before it %4")
                                           .arg(where, it.key(), now->qcMet.value(it.key()) ? "meets" : "misses",
                                                it.value() ? "met it" : "missed it"));
    }
    return result;
}

ClassAgreement classAgreement(const DrawnRun &run, uint firstId)
{
    ClassAgreement agreement;
    DrpltImgInfoMgr *images = DocumentAccess::imageInfo();
    if (!run.isValid() || !images)
        return agreement;
    BLLInstance *bll = BLLInstance::getInstance();
    const cv::Mat templ = cv::imread(bll->getReAnalysis()->setup().templatePath.toStdString(), cv::IMREAD_GRAYSCALE);
    const double margin = 1.5 * (templ.cols / 2);

    for (int i = 0; i < run.wellCount(); ++i) {
        const MkPackage::WellPlan &plan = run.well(i);
        const uint id = firstId + uint(i);
        agreement.truthDroplets += int(plan.droplets.size());
        std::vector<char> found(plan.droplets.size(), 0);
        LumaraAnalysisData::WellImageAnalysisInfo record;
        try {
            record = images->getImgAnalysisInfo(id);
        } catch (const char *) {
            continue;
        }
        // The well's target channels (0-based) and thresholds.
        QVector<int> channels;
        for (uint channel : bll->getWellChannels(id))
            channels.append(int(channel) - 1);
        QVector<uint> thresholds;
        QVector<QVector<uint>> values; // per target, per droplet of the record
        for (int c : qAsConst(channels)) {
            thresholds.append(bll->getThldByLine(id, uint(c) + 1));
            values.append(bll->getAllDropletGrayValues(id, uint(c) + 1));
        }

        for (int k = 0; k < record.droplets.size(); ++k) {
            const LumaraAnalysisData::DrpltInfo &d = record.droplets.at(k);
            ++agreement.recognised;
            const int best = run.dropletAt(i, double(d.x), double(d.y));
            if (best < 0)
                continue;
            ++agreement.matched;
            found[size_t(best)] = 1;
            const MkPackage::DropletPlan &s = plan.droplets[size_t(best)];
            bool same = true;
            for (int j = 0; j < channels.size(); ++j)
                same = same && ((values.at(j).value(k) >= thresholds.at(j)) == s.positive[size_t(channels.at(j))]);
            if (same)
                ++agreement.agreeing;
        }
        for (size_t k = 0; k < plan.droplets.size(); ++k) {
            const MkPackage::DropletPlan &s = plan.droplets[k];
            if (s.x > margin && s.y > margin && s.x < run.imageWidth() - 1 - margin
                && s.y < run.imageHeight() - 1 - margin) {
                ++agreement.eligible;
                agreement.eligibleFound += found[k];
            }
        }
    }
    return agreement;
}

int CountTolerance::allowed(int truth, int total) const
{
    return std::max({droplets, int(std::floor(ofTruth * truth)), int(std::floor(ofTotal * total))});
}

QMap<uint, QMap<QString, DrawnCount>> drawnCounts(const DrawnRun &run, uint firstId)
{
    QMap<uint, QMap<QString, DrawnCount>> counts;
    DrpltImgInfoMgr *images = DocumentAccess::imageInfo();
    if (!run.isValid() || !images)
        return counts;
    BLLInstance *bll = BLLInstance::getInstance();
    for (int i = 0; i < run.wellCount(); ++i) {
        const uint id = firstId + uint(i);
        LumaraAnalysisData::WellImageAnalysisInfo record;
        try {
            record = images->getImgAnalysisInfo(id);
        } catch (const char *) {
            continue;
        }
        const QSet<uint> excluded = bll->getExcludedDroplets(id);
        // The droplets kept, each by the drawn droplet it lies on.
        std::vector<int> drawn;
        for (int k = 0; k < record.droplets.size(); ++k)
            if (!excluded.contains(uint(k)))
                drawn.push_back(run.dropletAt(i, double(record.droplets.at(k).x), double(record.droplets.at(k).y)));
        for (uint channel : bll->getWellChannels(id)) {
            QString dye;
            for (const MkPackage::TargetOption &t : run.options().targets)
                if (MkPackage::dyeChannel(t.dye) == int(channel) - 1)
                    dye = t.dye;
            DrawnCount &count = counts[id][dye];
            count.droplets = int(drawn.size());
            for (int k : drawn)
                if (k >= 0 && run.well(i).droplets[size_t(k)].positive[size_t(channel - 1)])
                    ++count.positives;
        }
    }
    return counts;
}

CheckResult compareWithDrawn(const Snapshot &snapshot, const QMap<uint, QMap<QString, DrawnCount>> &truth,
                             const std::function<CountTolerance(uint, const QString &)> &tolerance)
{
    CheckResult result;
    if (truth.isEmpty())
        result.failures.append(QStringLiteral("no drawn droplets to compare with"));
    for (auto w = truth.cbegin(); w != truth.cend(); ++w) {
        const WellFigures *well = snapshot.well(w.key());
        for (auto c = w.value().cbegin(); c != w.value().cend(); ++c) {
            ++result.checked;
            const QString where = QStringLiteral("well %1 %2").arg(w.key()).arg(c.key());
            const PopulationFigures *p = well ? well->population(c.key()) : nullptr;
            if (!p) {
                result.failures.append(where + QStringLiteral(": no population"));
                continue;
            }
            const int allowed = tolerance(w.key(), c.key()).allowed(c.value().positives, c.value().droplets);
            if (std::abs(int(p->positives) - c.value().positives) > allowed)
                result.failures.append(QStringLiteral("%1: %2 positive of %3, drawn %4 (within %5)")
                                           .arg(where)
                                           .arg(p->positives)
                                           .arg(p->positives + p->negatives)
                                           .arg(c.value().positives)
                                           .arg(allowed));
        }
    }
    return result;
}

double seamShare(int height, int volume)
{
    const cv::Mat templ = cv::imread(QStringLiteral("../data/template/modelTemp%1pl.tif").arg(volume).toStdString(),
                                     cv::IMREAD_GRAYSCALE);
    const double guard = 1.5 * (templ.cols / 2);
    return 2.0 * guard / (height - 2.0 * guard);
}

QMap<uint, QVector<std::array<uint, 3>>> dropletSignature()
{
    QMap<uint, QVector<std::array<uint, 3>>> signature;
    DrpltImgInfoMgr *images = DocumentAccess::imageInfo();
    if (!images)
        return signature;
    BLLInstance *bll = BLLInstance::getInstance();
    for (uint id : bll->getWellIds()) {
        LumaraAnalysisData::WellImageAnalysisInfo record;
        try {
            record = images->getImgAnalysisInfo(id);
        } catch (const char *) {
            continue;
        }
        QVector<QVector<uint>> values;
        for (uint channel = 1; channel <= 6; ++channel)
            values.append(bll->getAllDropletGrayValues(id, channel));
        QVector<std::array<uint, 3>> rows;
        for (int i = 0; i < record.droplets.size(); ++i) {
            uint bits = 0;
            for (uint channel = 1; channel <= 6; ++channel)
                if (values.at(int(channel) - 1).value(i) >= bll->getThldByLine(id, channel))
                    bits |= 1u << (channel - 1);
            rows.append({record.droplets.at(i).x, record.droplets.at(i).y, bits});
        }
        std::sort(rows.begin(), rows.end());
        signature.insert(id, rows);
    }
    return signature;
}

bool writeCrosstalkMatrix(const MkPackage::GeneratorOptions &options, const QString &path)
{
    QVector<int> channels{MkPackage::ReferenceChannel};
    for (const MkPackage::TargetOption &t : options.targets) {
        const int c = MkPackage::dyeChannel(t.dye);
        if (c >= 0 && !channels.contains(c))
            channels.append(c);
    }
    const auto m = MkPackage::crosstalkMatrix(options.crosstalk, channels);
    LumaraSynth::ChipPlan nominal;
    nominal.referenceGrey = MkPackage::ReferenceGrey;
    CompensationMatrix matrix;
    for (int r = 0; r < 6; ++r) {
        matrix.negativeBackground[r] = 0.0;
        for (int c = 0; c < 6; ++c)
            matrix.matrix[r][c] = m[size_t(c)][size_t(r)];
    }
    for (int c : qAsConst(channels)) {
        double background = 0.0;
        for (int k : qAsConst(channels))
            background += m[size_t(c)][size_t(k)]
                          * (k == MkPackage::ReferenceChannel ? nominal.referenceGrey : nominal.negativeGrey);
        matrix.negativeBackground[c] = background;
    }
    Ravelin::SpilloverCompensation compensation;
    compensation.setCompensationMatrix(matrix);
    return compensation.exportCompensationMatrixFile(path);
}

} // namespace EndToEnd
