#include "compose.h"

#include "assets/analyserassets.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QThreadPool>
#include <QtConcurrent>

namespace MkPackage {

namespace {

// One well on its way into the archive: its small records kept, its droplets already
// serialised, its images written and dropped batch by batch.
struct WellSlot {
    int index = 0;
    bool ok = false;
    QString error;
    WellTruth truth;
    PkgWriter::Pcr3ExpInfo expInfo;
    PkgWriter::Pcr3Classify classify;
    PkgWriter::Pcr3WellResult result;
    QByteArray record; // the list-2 record (.imrs) or the well record (.expzip)
    QList<QPair<QString, QByteArray>> images;
};

bool fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

QJsonObject concentrationObject(const Concentration &c)
{
    return {{"concentration", c.concentration},
            {"lower", c.lower},
            {"upper", c.upper},
            {"uncertainty", c.uncertainty}};
}

} // namespace

QString truthPathFor(const QString &archivePath)
{
    return archivePath + QStringLiteral(".truth.json");
}

QByteArray truthJson(const RunTruth &truth)
{
    QJsonArray zoneChannels;
    for (int c : truth.zoneChannels)
        zoneChannels.append(c);
    QJsonArray wells;
    for (const WellTruth &w : truth.wells) {
        QJsonArray channels;
        for (const ChannelTruth &c : w.channels) {
            QJsonObject o{{"channelIndex", c.channel},
                          {"target", c.target},
                          {"dye", c.dye},
                          {"threshold", qint64(c.threshold)},
                          {"positives", c.truePositives},
                          {"total", c.total},
                          {"fraction", c.total > 0 ? double(c.truePositives) / c.total : 0.0},
                          {"drawnFraction", c.drawnFraction},
                          {"storedPositives", c.storedPositives},
                          {"stored", concentrationObject(c.concentration)}};
            if (!c.shape.isEmpty()) {
                o.insert("shape", c.shape);
                o.insert("drawn", QJsonObject{{"negatives", c.drawn.negatives},
                                              {"positives", c.drawn.positives},
                                              {"rain", c.drawn.rain},
                                              {"rainPositive", c.drawn.rainPositive},
                                              {"debris", c.drawn.debris},
                                              {"saturated", c.drawn.saturated}});
            }
            channels.append(o);
        }
        QJsonArray zones;
        for (const auto &z : w.zones)
            zones.append(QJsonObject{{"mask", qint64(z.first)}, {"droplets", z.second}});
        wells.append(QJsonObject{{"id", qint64(w.id)},
                                 {"position", w.position},
                                 {"droplets", w.droplets},
                                 {"drawnDroplets", w.drawnDroplets},
                                 {"excluded", w.excluded},
                                 {"sharpness", w.sharpness},
                                 {"saturated", w.saturated},
                                 {"referenceMean", w.referenceMean},
                                 {"channels", channels},
                                 {"zones", zones},
                                 {"images", QJsonArray::fromStringList(w.imageEntries)}});
    }
    const QJsonObject root{{"kind", kindName(truth.kind)},
                           {"pcrVersion", truth.pcrVersion},
                           {"imageSets", truth.imageSets},
                           {"password", truth.password},
                           {"matrix", truth.matrix},
                           {"seed", QString::number(truth.seed)},
                           {"zoneChannels", zoneChannels},
                           {"wells", wells}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool writeArchive(const RunPlan &plan, const QString &path, RunTruth *truth, QString *error)
{
    return writeArchive(plan, PlanWells(plan), path, truth, error);
}

bool writeArchive(const RunPlan &plan, const WellSource &source, const QString &path,
                  RunTruth *truthOut, QString *error)
{
    ArchiveKind kind = ArchiveKind::Imrs;
    if (!kindForPath(path, &kind) || kind != plan.kind)
        return fail(error, QStringLiteral("the file name must end in .%1").arg(kindName(plan.kind)));

    QList<WellSummary> summaries;
    for (int i = 0; i < source.wellCount(); ++i)
        summaries.append(source.summary(i));
    Composer composer;
    if (!composer.prepare(plan, summaries, error))
        return false;

    // Written under a temporary name beside the target and renamed at the end, so a failure
    // never leaves a half archive under the real name.
    const QString partPath = path + QStringLiteral(".part");
    PkgWriter::ArchiveWriter zip;
    if (!zip.create(partPath))
        return fail(error, zip.errorString());
    auto abandon = [&](const QString &text) {
        zip.close();
        QFile::remove(partPath);
        return fail(error, text);
    };
    const QString &pw = plan.password;
    if (plan.passwordEntry && !zip.add(QStringLiteral("password"), composer.passwordEntry()))
        return abandon(zip.errorString());

    const bool imrs = plan.kind == ArchiveKind::Imrs;
    RunTruth truth;
    truth.kind = plan.kind;
    truth.pcrVersion = imrs ? plan.pcrVersion : 0;
    truth.imageSets = plan.imageSets;
    truth.password = plan.password;
    truth.matrix = plan.storeMatrix;
    truth.seed = plan.seed;
    truth.zoneChannels = composer.zoneChannels();

    QList<PkgWriter::Pcr3ExpInfo> expInfos;
    QList<PkgWriter::Pcr3Classify> classifications;
    QList<PkgWriter::Pcr3WellResult> results;
    QList<QByteArray> records;

    // A few wells per thread at a time: enough to keep the pool busy, few enough that only
    // their images are in memory.
    const int batch = std::max(1, QThreadPool::globalInstance()->maxThreadCount());
    const int wellCount = source.wellCount();
    auto composeSlot = [&](WellSlot &slot) {
        WellPlan well;
        if (!source.well(slot.index, &well, &slot.error))
            return;
        ComposedWell composed;
        if (!composer.composeWell(well, slot.index, &composed, &slot.error))
            return;
        slot.truth = composed.truth;
        slot.expInfo = composed.expInfo;
        slot.classify = composed.classify;
        slot.result = composed.result;
        slot.record = imrs ? PkgWriter::pcr3DropletRecord(composed.dropletData)
                           : PkgWriter::pcr1WellRecord(composed.pcr1);
        slot.images = composed.images;
        slot.ok = true;
    };
    auto makeBatch = [&](int first) {
        QVector<WellSlot> b;
        for (int i = first; i < std::min(wellCount, first + batch); ++i) {
            WellSlot s;
            s.index = i;
            b.append(s);
        }
        return b;
    };
    // The next batch is composed while the current one is written.
    QVector<WellSlot> current = makeBatch(0);
    QtConcurrent::blockingMap(current, composeSlot);
    for (int first = 0; first < wellCount; first += batch) {
        QVector<WellSlot> next = makeBatch(first + batch);
        QFuture<void> running = QtConcurrent::map(next, composeSlot);
        QString failure;
        for (const WellSlot &slot : qAsConst(current)) {
            if (!slot.ok) {
                failure = slot.error;
                break;
            }
            // The PNG data is compressed already: stored, not deflated again.
            for (const auto &image : slot.images)
                if (failure.isEmpty() && !zip.add(image.first, image.second, pw, 0))
                    failure = zip.errorString();
            if (!failure.isEmpty())
                break;
            truth.wells.append(slot.truth);
            expInfos.append(slot.expInfo);
            classifications.append(slot.classify);
            results.append(slot.result);
            records.append(slot.record);
        }
        if (!failure.isEmpty()) {
            running.cancel();
            running.waitForFinished();
            return abandon(failure);
        }
        running.waitForFinished();
        current = std::move(next);
    }

    if (!zip.add(QStringLiteral("run.exp"), composer.experimentEntry(), pw))
        return abandon(zip.errorString());
    // run.pcr goes in as its pieces: the well records are most of its bytes.
    QList<QByteArray> pcr;
    {
        QByteArray count;
        QDataStream ds(&count, QIODevice::WriteOnly);
        ds << quint32(wellCount);
        if (imrs)
            pcr.append(PkgWriter::entryHeader(2, plan.pcrVersion, plan.writeTime)
                       + PkgWriter::pcr3ExpInfoList(expInfos, plan.pcrVersion) + count);
        else
            pcr.append(count);
        pcr += records;
        records.clear();
        if (imrs)
            pcr.append(PkgWriter::pcr3ClassifyList(classifications) + PkgWriter::pcr3ResultList(results));
    }
    if (!zip.add(QStringLiteral("run.pcr"), pcr, pw))
        return abandon(zip.errorString());
    pcr.clear();

    QList<QPair<QString, QByteArray>> entries = {
        {QStringLiteral("run.dps"), composer.deviceEntry()},
        {QStringLiteral("run.cmtx"), composer.matrixEntry()},
    };
    if (plan.fileLog)
        entries.append({QStringLiteral("fileMgrLog"), composer.fileLogEntry()});
    if (!plan.analysisParams.isEmpty())
        entries.append({AnalyserAssets::generalParameterEntry(), plan.analysisParams});
    if (!plan.uniformImage.isEmpty())
        entries.append({AnalyserAssets::uniformImageEntry(), plan.uniformImage});
    if (plan.reagentKit)
        entries.append({QStringLiteral("reagentKit/pcr.kit"), Composer::reagentKitEntry()});
    for (const auto &entry : qAsConst(entries))
        if (!zip.add(entry.first, entry.second, pw))
            return abandon(zip.errorString());
    if (!zip.close())
        return abandon(zip.errorString());

    if (QFileInfo::exists(path) && !QFile::remove(path))
        return abandon(QStringLiteral("cannot replace %1").arg(path));
    if (!QFile::rename(partPath, path))
        return abandon(QStringLiteral("cannot rename the archive to %1").arg(path));

    QSaveFile truthFile(truthPathFor(path));
    if (!truthFile.open(QIODevice::WriteOnly) || truthFile.write(truthJson(truth)) < 0 || !truthFile.commit())
        return fail(error, QStringLiteral("cannot write %1").arg(truthPathFor(path)));
    if (truthOut)
        *truthOut = truth;
    return true;
}

} // namespace MkPackage
