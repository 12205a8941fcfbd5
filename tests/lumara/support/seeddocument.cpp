#include "seeddocument.h"

#include "generator.h"
#include "seedimages.h"
#include "model/analysisdatamgr.h"
#include "model/analysisexperimentmgr.h"
#include "model/analysisresultmgr.h"
#include "model/compensationmatrixmgr.h"
#include "model/customizedplotmgr.h"
#include "model/devparasmgr.h"
#include "model/drpltclassifymgr.h"
#include "model/drpltimginfomgr.h"
#include "model/experimentcfgmgr.h"
#include "model/filelogmgr.h"
#include "pcranalysisdocument.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <algorithm>

using namespace LumaraAnalysisData;

namespace BllTest {

DropletSeed droplet(const Greys &raw)
{
    return DropletSeed{raw, raw};
}

DropletSeed droplet(const Greys &raw, const Greys &compensated)
{
    return DropletSeed{raw, compensated};
}

WellSeed well(uint id, const QString &position, const QList<uint> &channels, const QVector<DropletSeed> &droplets)
{
    WellSeed w;
    w.id = id;
    w.position = position;
    w.sampleName = QStringLiteral("S%1").arg(id);
    w.channels = channels;
    w.droplets = droplets;
    return w;
}

QVector<TargetInfo> namedTargets(const QList<uint> &channels)
{
    QVector<TargetInfo> targets(PerChannel);
    for (uint channel : channels) {
        if (channel >= 1 && channel <= uint(PerChannel)) {
            targets[int(channel) - 1].name = QStringLiteral("T%1").arg(channel);
            targets[int(channel) - 1].fluorophore = QStringLiteral("D%1").arg(channel);
        }
    }
    return targets;
}

QString basePackagePath(QString *error)
{
    static QTemporaryDir folder;
    static QString path;
    static QString failure;
    if (path.isEmpty() && failure.isEmpty()) {
        MkPackage::GeneratorOptions options;
        options.wells = 1;
        options.width = 64;
        options.height = 48;
        options.storedDroplets = MkPackage::StoredDroplets::Drawn; // too small for the recognition
        const QString target = folder.filePath(QStringLiteral("base.imrs"));
        QString message;
        if (folder.isValid() && MkPackage::generatePackage(options, target, nullptr, &message))
            path = target;
        else
            failure = QStringLiteral("base package: %1").arg(message);
    }
    if (error && path.isEmpty())
        *error = failure;
    return path;
}

QString generateRun(const QString &folder, const QString &name, const MkPackage::GeneratorOptions &options)
{
    const QString path = QDir(folder).filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QString error;
    if (!MkPackage::generatePackage(options, path, nullptr, &error)) {
        qWarning() << "generatePackage:" << error;
        return QString();
    }
    return path;
}

MkPackage::GeneratorOptions smallRun(bool matrix, quint64 seed, int size)
{
    MkPackage::GeneratorOptions o;
    o.wells = 2;
    o.width = size;
    o.height = size;
    o.matrix = matrix;
    o.crosstalk = 0.1;
    o.seed = seed;
    // Chips of a few dozen droplets at most: the droplets as drawn, whatever a recognition
    // would make of them.
    o.storedDroplets = MkPackage::StoredDroplets::Drawn;
    return o;
}

QList<int> lineChannels(const DocumentSeed &seed)
{
    QSet<uint> used;
    for (const WellSeed &well : seed.wells)
        for (uint channel : well.channels)
            used.insert(channel);
    QList<int> channels;
    for (int i = 0; i < seed.targets.size() && i < PerChannel; ++i)
        if (!seed.targets.at(i).name.isEmpty() && used.contains(uint(i) + 1))
            channels.append(i);
    return channels;
}

bool seedDocument(const DocumentSeed &seed, SeededIds *ids, QString *error)
{
    const auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return false;
    };
    const QString base = basePackagePath(error);
    if (base.isEmpty())
        return false;
    PcrAnalysisDocument *doc = PcrAnalysisDocument::getInstance();
    if (!doc->open(base))
        return fail(QStringLiteral("the document does not open the base package"));

    ExperimentCfgMgr *cfg = doc->getExperimentCfgMgr();
    AnalysisDataMgr *data = doc->getAnalysisDataMgr();
    AnalysisExperimentMgr *experiments = data->getAnalysisExpMgr();
    DrpltImgInfoMgr *imageInfo = data->getDrpltImgInfoMgr();
    AnalysisResultMgr *results = data->getAnalysisRetMgr();
    DrpltClassifyMgr *classify = data->getDrpltClassifyMgr();
    CustomizedPlotMgr *plots = data->getCustomizedPlotMgr();

    // Configuration.
    ExperimentInfo exp = cfg->getExp();
    exp.name = QStringLiteral("Seeded run");
    exp.targets = seed.targets;
    exp.targets.resize(PerChannel);
    exp.comment = seed.comment;
    if (!seed.method.stages.isEmpty())
        exp.method = seed.method;
    exp.wells.clear();
    quint32 lastWellId = 0;
    for (const WellSeed &w : seed.wells) {
        WellInfo well;
        well.id = w.id;
        well.position = w.position;
        well.prefix = w.prefix;
        well.sampleName = w.sampleName;
        well.name = cfg->generateWellName(w.prefix, w.position, w.sampleName);
        well.plateIndex = w.plateIndex;
        well.comment = w.comment;
        well.drpltVolume = w.volume;
        well.drpltSum = w.dropletSum == -1 ? w.droplets.size() : w.dropletSum;
        for (uint channel : w.channels)
            well.channels.append(channel - 1);
        exp.wells.append(well);
        lastWellId = std::max(lastWellId, quint32(w.id));
    }
    cfg->setExperiment(exp);

    // Analysed wells with their images.
    AnalysisExpGlobalInfo global;
    ExpItemInfo source;
    source.id = 1;
    source.fileName = seed.sourceFileName;
    QList<WellDrpltImgInfo<QImage>> images;
    for (const WellSeed &w : seed.wells) {
        WellItemInfo item;
        item.wellId = w.id;
        item.refChanId = w.referenceChannel;
        item.expId = source.id;
        item.imageNames = w.imageNames;
        global.wells.append(item);
        source.wellIds.append(w.id);
        WellDrpltImgInfo<QImage> wellImages;
        wellImages.wellId = w.id;
        wellImages.refChanId = w.referenceChannel;
        for (int c = 0; c < PerChannel; ++c) {
            QImage image;
            if (c < w.imageSizes.size() && !w.imageSizes.at(c).isEmpty()) {
                image = QImage(w.imageSizes.at(c), QImage::Format_Grayscale16);
                image.fill(Qt::black);
            }
            wellImages.images.append(image);
        }
        images.append(wellImages);
    }
    global.experiments.append(source);
    experiments->setAnalysisExpGlobalInfo(global);
    experiments->setWellDrpltImgs(images);

    // The prepared images, as a preprocessing of the package would leave them.
    QList<WellDrpltImgInfo<QImage>> prepared;
    for (const WellSeed &w : seed.wells) {
        WellDrpltImgInfo<QImage> wellImages;
        wellImages.wellId = w.id;
        wellImages.refChanId = w.referenceChannel;
        for (int c = 0; c < PerChannel; ++c)
            wellImages.images.append(w.channelImages.value(c));
        prepared.append(wellImages);
    }
    setPreparedImages(prepared);

    // Droplets and the image analysis's own thresholds.
    QList<WellImageAnalysisInfo> records;
    QList<WellResultInfo> wellResults;
    for (const WellSeed &w : seed.wells) {
        WellImageAnalysisInfo record;
        record.wellId = w.id;
        record.valid = true;
        record.sharpness = w.sharpness;
        record.saturatedDrpltNum = w.saturatedCount;
        for (int i = 0; i < w.droplets.size(); ++i) {
            const DropletSeed &seeded = w.droplets.at(i);
            DrpltInfo d;
            const bool placed = seeded.centre.x() >= 0 && seeded.centre.y() >= 0;
            d.x = quint32(placed ? seeded.centre.x() : i);
            d.y = quint32(placed ? seeded.centre.y() : i);
            d.size = 10;
            for (int c = 0; c < PerChannel; ++c) {
                d.grayPairs[c] = qMakePair(quint32(seeded.raw[c]), quint32(seeded.compensated[c]));
                d.grays[c] = seeded.compensated[c];
                d.flags[c] = seeded.flags[c];
            }
            record.droplets.append(d);
        }
        for (uint index : w.excluded)
            record.excludedDrplts.insert(index);
        for (int c = 0; c < PerChannel; ++c) {
            record.chanInfos[c].lineThld = w.analysisThresholds[c];
            record.chanInfos[c].compensatedLineThld = w.compensatedThresholds[c];
        }
        records.append(record);

        WellResultInfo result;
        result.wellId = w.id;
        int excluded = 0;
        for (uint index : w.excluded)
            if (int(index) < w.droplets.size())
                ++excluded;
        result.effDrpltNum = quint32(w.droplets.size() - excluded);
        for (int c = 0; c < PerChannel; ++c)
            result.chanResults[c].chanId = quint32(c) + 1;
        wellResults.append(result);
    }
    imageInfo->setWellImgAnalysisInfos(records);
    results->setWellResults(wellResults);
    results->setQcThresholds(QcThresholdInfo());

    // Device parameters.
    DevParasInfoOfWells paras;
    paras.serialNumber = QStringLiteral("LMR-SEED");
    for (const WellSeed &w : seed.wells) {
        QVector<ScanningParameterInfo> channels;
        for (int c = 0; c < PerChannel; ++c)
            channels.append(ScanningParameterInfo{w.exposure[c], w.focus});
        paras.paras.insert(seed.sharedScanning ? 0u : w.id, channels);
        if (seed.sharedScanning)
            break;
    }
    doc->getDevParasMgr()->setDevParas(paras);

    if (seed.matrix.isEmpty())
        doc->getCompensationMatrixMgr()->resetMatrix();
    else
        doc->getCompensationMatrixMgr()->setMatrixBuf(seed.matrix);

    // Counters from scratch: the experiment and wells above, nothing else yet.
    FileLogMgr::Log log{};
    log[FileLogMgr::ExperimentCounter] = source.id;
    log[FileLogMgr::WellCounter] = lastWellId;
    doc->getFileLogMgr()->setLog(log);

    plots->setCustomizedPlotGlobalInfo(CustomizedPlotGlobalInfo());
    SeededIds seeded;
    for (const auto &plot : seed.plots2D) {
        Customized2DPlotInfo info;
        info.name = plot.first;
        info.xChannel = plot.second.first;
        info.yChannel = plot.second.second;
        seeded.plots2D.append(plots->add2DPlot(info));
    }
    for (const auto &plot : seed.plots3D) {
        Customized3DPlotInfo info;
        info.name = plot.first;
        info.xChannel = plot.second[0];
        info.yChannel = plot.second[1];
        info.zChannel = plot.second[2];
        seeded.plots3D.append(plots->add3DPlot(info));
    }

    // Classification.
    if (seed.mode == LineThreshold) {
        const QList<int> channels = lineChannels(seed);
        data->switch2LineMode(channels);
        classify->generateZoneCombination(channels.size());
        for (const WellSeed &w : seed.wells)
            for (int c = 0; c < PerChannel; ++c)
                classify->setThldByLine(w.id, quint32(c) + 1, w.lineThresholds[c]);
        for (const PopulationsInfo &population : classify->getPopulations()) {
            PopulationResultInfo entry;
            entry.populationId = population.id;
            for (const WellSeed &w : seed.wells)
                results->appendPopulationResult(w.id, entry);
            seeded.populations.append(population.id);
        }
        for (const DrpltZoneInfo &zone : classify->getZones())
            seeded.zones.append(zone.id);
    } else {
        data->switch2PolygonMode();
        for (const ZoneSeed &z : seed.zones) {
            DrpltZoneInfo zone;
            zone.code = z.plot >= 0 && z.plot < seeded.plots2D.size() ? seeded.plots2D.at(z.plot) : 0;
            const uint id = classify->addZone(zone);
            if (id == 0)
                return fail(QStringLiteral("the document gives no zone id"));
            for (const WellSeed &w : seed.wells)
                classify->setThldByPolygon(w.id, id, z.wellPolygons.value(w.id, z.polygon));
            seeded.zones.append(id);
        }
        for (const PopulationSeed &p : seed.populations) {
            PopulationsInfo population;
            population.name = p.name;
            population.signColor = p.colour;
            population.negEdited = p.negEdited;
            const uint id = classify->addPopulation(population);
            if (id == 0)
                return fail(QStringLiteral("the document gives no population id"));
            PopulationResultInfo entry;
            entry.populationId = id;
            for (const WellSeed &w : seed.wells)
                results->appendPopulationResult(w.id, entry);
            for (const auto &bound : p.zones) {
                if (bound.first < 0 || bound.first >= seeded.zones.size())
                    return fail(QStringLiteral("population %1 names zone %2 that the seed lacks").arg(p.name).arg(bound.first));
                classify->bindPopulationAndZone(qMakePair(uint(seeded.zones.at(bound.first)), bound.second), id);
            }
            seeded.populations.append(id);
        }
    }
    if (ids)
        *ids = seeded;
    return true;
}

} // namespace BllTest
