// The engine's images: reading every well's channel images out of the package block by block,
// preprocessing them for background uniformity, and stacking the halves of a chip imaged in
// two blocks.
#include "bll/reanalysis_p.h"

#include "bll/documentaccess.h"
#include "bll/wellchannels.h"

#include "io/imagestack.h"
#include "io/poolhandover.h"
#include "settings.h"
#include "spillovercompensation.h"

#include <QFileInfo>
#include <QHash>
#include <QThreadPool>

#include <quazip.h>
#include <quazipfile.h>

#include <cstring>
#include <memory>
#include <mutex>

using namespace EngineDetail;
namespace LAD = LumaraAnalysisData;

// ---- Analyser pool ----------------------------------------------------------------------------

std::unique_ptr<ReAnalysis::AnalyserPool::Pair> ReAnalysis::AnalyserPool::take()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_free.empty()) {
            std::unique_ptr<Pair> pair = std::move(m_free.back());
            m_free.pop_back();
            return pair;
        }
        ++m_made;
    }
    // Configured outside the lock: loading a uniformity image takes a while.
    auto pair = std::make_unique<Pair>();
    auto configure = [this](Ravelin::DrpltImgAnalyser &analyser, const Ravelin::AnalysisSettings &settings,
                            const QByteArray &matrix) {
        analyser.setRandomTreesModelPath(m_setup.modelPath);
        QString templatePath = m_setup.templatePath;
        QString kernelPath = m_setup.kernelPath;
        analyser.setTemplateModel(templatePath);
        analyser.setMexicanhatKernel(kernelPath);
        analyser.getSettings()->setAnalysisSettings(settings);
        if (!matrix.isEmpty())
            analyser.getSpilloverCompensation()->loadCompensationMatrixBuf(matrix);
        analyser.setStrategy();
        analyser.setUniformData(DrpltImgsOnWell<QString>(m_setup.uniformPaths.toVector()));
    };
    configure(pair->a, m_setup.settingsA, m_setup.matrixA);
    configure(pair->b, m_setup.settingsB, QByteArray());
    return pair;
}

void ReAnalysis::AnalyserPool::giveBack(std::unique_ptr<Pair> pair)
{
    if (!pair)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_free.push_back(std::move(pair));
}

int ReAnalysis::AnalyserPool::pairsMade() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_made;
}

// ---- Raw views ------------------------------------------------------------------------------

namespace EngineDetail {

namespace {

void freePixels(void *pixels)
{
    delete[] static_cast<unsigned char *>(pixels);
}

bool isGrey(const QImage &image)
{
    return image.format() == QImage::Format_Grayscale8 || image.format() == QImage::Format_Grayscale16;
}

int bytesPerPixel(const QImage &image)
{
    return image.format() == QImage::Format_Grayscale16 ? 2 : 1;
}

} // namespace

RawImages rawImages(const QVector<QImage> &images)
{
    RawImages raw;
    raw.views.resize(LAD::PerChannel);
    raw.keep.resize(LAD::PerChannel);
    raw.packed.resize(LAD::PerChannel);
    for (int c = 0; c < LAD::PerChannel; ++c) {
        DrpltImg &view = raw.views[c];
        QImage image = c < images.size() ? images.at(c) : QImage();
        if (image.isNull()) {
            view = DrpltImg{0, 0, 1, nullptr};
            continue;
        }
        // Deeper images keep 16 bits; everything else becomes 8-bit grey.
        if (!isGrey(image))
            image = image.convertToFormat(image.depth() > 8 && image.depth() != 32 ? QImage::Format_Grayscale16
                                                                                   : QImage::Format_Grayscale8);
        const int rowBytes = image.width() * bytesPerPixel(image);
        view.width = image.width();
        view.height = image.height();
        view.type = image.format() == QImage::Format_Grayscale16 ? 1 : 0;
        if (image.bytesPerLine() == rowBytes) {
            raw.keep[c] = image;
            view.data = raw.keep[c].constBits();
        } else {
            QByteArray &packed = raw.packed[c];
            packed.resize(rowBytes * image.height());
            for (int y = 0; y < image.height(); ++y)
                std::memcpy(packed.data() + qsizetype(y) * rowBytes, image.constScanLine(y), size_t(rowBytes));
            view.data = packed.constData();
        }
    }
    return raw;
}

QImage adoptPixels(const DrpltImg &pixels)
{
    if (!pixels.data)
        return QImage();
    auto *bits = static_cast<uchar *>(const_cast<void *>(pixels.data));
    if (pixels.width <= 0 || pixels.height <= 0) {
        freePixels(bits);
        return QImage();
    }
    const bool deep = pixels.type != 0;
    return QImage(bits, pixels.width, pixels.height, pixels.width * (deep ? 2 : 1),
                  deep ? QImage::Format_Grayscale16 : QImage::Format_Grayscale8, freePixels, bits);
}

} // namespace EngineDetail

// ---- Package entries --------------------------------------------------------------------------

namespace {

QByteArray entryPassword()
{
    return DocumentAccess::document()->getUnzipPassword().toLatin1();
}

// Reads images of one archive through one zip handle; one per task.
class ImageEntries {
public:
    ImageEntries(const QString &path, const QSet<QString> *names) : m_zip(path), m_names(names)
    {
        m_open = m_zip.open(QuaZip::mdUnzip);
        m_password = entryPassword();
    }

    QByteArray read(const QString &entryName, const QString &sourceFileName, bool savedPackage)
    {
        if (!m_open || entryName.isEmpty() || sourceFileName.isEmpty())
            return QByteArray();
        for (const QString &entry : WellImages::entryCandidates(entryName, sourceFileName, savedPackage)) {
            if (!m_names->contains(entry))
                continue;
            if (!m_zip.setCurrentFile(entry, QuaZip::csSensitive))
                return QByteArray();
            QuaZipFile file(&m_zip);
            const bool opened = m_password.isEmpty()
                                    ? file.open(QIODevice::ReadOnly)
                                    : file.open(QIODevice::ReadOnly, m_password.constData());
            if (!opened)
                return QByteArray();
            const QByteArray bytes = file.readAll();
            file.close();
            // A wrong password shows as a failed inflate or checksum.
            if (file.getZipError() != UNZ_OK)
                return QByteArray();
            return bytes;
        }
        return QByteArray();
    }

private:
    QuaZip m_zip;
    const QSet<QString> *m_names;
    QByteArray m_password;
    bool m_open = false;
};

QSet<QString> entryNames(const QString &path)
{
    QuaZip zip(path);
    if (!zip.open(QuaZip::mdUnzip))
        return {};
    const QStringList names = zip.getFileNameList();
    zip.close();
    return QSet<QString>(names.cbegin(), names.cend());
}

// Whether the recognition leaves out droplets far off the reference level: only when the
// reference channel is none of the well's target channels.
bool recognitionFilter(uint wellId, uint referenceChannel)
{
    const QList<uint> targets = WellChannels::targetChannels(wellId);
    return !targets.contains(referenceChannel);
}

} // namespace

QImage ReAnalysis::loadImage(const QString &entryName, const QString &sourceFileName)
{
    const QSet<QString> names = entryNames(m_filePath);
    ImageEntries entries(m_filePath, &names);
    const QImage image =
        WellImages::decode({{entryName, entries.read(entryName, sourceFileName, isSavedPackage())}}).value(0);
    if (!image.isNull())
        m_imageHeight = uint(image.height());
    return image;
}

namespace {

// One well as the engine reads it: its record, the file name of its source archive (empty when
// its experiment is missing) and the document's images of it, when the document has a record
// at the well's place.
struct WellSource {
    LAD::WellItemInfo well;
    QString source;
    bool held = false;
    QVector<QImage> heldImages;
};

// Without the document's images (held false) while they still decode: asking for them would
// wait for all.
QVector<WellSource> wellSources(AnalysisExperimentMgr *experiments, bool withImages = true)
{
    const LAD::AnalysisExpGlobalInfo &global = experiments->getAnalysisExpGlobalInfo();
    // Parallel to the well list.
    const QList<WellDrpltImgInfo<QImage>> images =
        withImages ? experiments->getWellDrpltImgInfos() : QList<WellDrpltImgInfo<QImage>>();
    QVector<WellSource> wells;
    wells.reserve(global.wells.size());
    for (int i = 0; i < global.wells.size(); ++i) {
        WellSource entry;
        entry.well = global.wells.at(i);
        // The first experiment with the well's number; none: no images.
        for (const LAD::ExpItemInfo &experiment : global.experiments) {
            if (experiment.id == entry.well.expId) {
                entry.source = experiment.fileName;
                break;
            }
        }
        if (i < images.size() && images.at(i).wellId == entry.well.wellId) {
            entry.held = true;
            entry.heldImages = images.at(i).images;
        }
        wells.append(entry);
    }
    return wells;
}

// The images the package readers kept of the well, in blocks x channels order, when they are
// the very images the well's entry names decode to here; empty when they cannot stand in for
// them. One block: the readers decode the single name list as the engine does. Two blocks: the
// readers keep each channel's halves stacked, which give the halves back only when the stacking
// converted neither.
QVector<QImage> heldBlockImages(const WellSource &well, int blocks)
{
    if (!well.held || well.source.isEmpty() || well.heldImages.isEmpty() || well.well.imageNames.size() != blocks)
        return {};
    const QVector<QVector<QString>> &names = well.well.imageNames;
    QVector<QImage> images(blocks * LAD::PerChannel);
    if (blocks == 1) {
        if (names.first().size() > LAD::PerChannel || well.heldImages.size() > LAD::PerChannel)
            return {};
        for (int c = 0; c < well.heldImages.size(); ++c) {
            const QImage &image = well.heldImages.at(c);
            // A stacked image stands for two name lists, not for this one.
            if (!WellImages::unstackHalves(image).isEmpty())
                return {};
            images[c] = image;
        }
        return images;
    }
    if (blocks != 2)
        return {};
    for (int c = 0; c < LAD::PerChannel; ++c) {
        const QImage image = well.heldImages.value(c);
        if (image.isNull()) {
            // A null channel stands for its halves only when neither is named: a named half
            // may decode alone.
            if (!names.at(0).value(c).isEmpty() || !names.at(1).value(c).isEmpty())
                return {};
            continue;
        }
        const QVector<QImage> halves = WellImages::unstackHalves(image);
        if (halves.size() != 2)
            return {};
        images[c] = halves.at(0);
        images[LAD::PerChannel + c] = halves.at(1);
    }
    return images;
}

// The images of one well in blocks x channels order: the document's where it holds them, else
// read from the package and decoded, every image held to the size they agree on.
QVector<QImage> wellBlockImages(const WellSource &well, int blocks, const QString &path, const QSet<QString> &names,
                                bool saved)
{
    const QVector<QImage> held = heldBlockImages(well, blocks);
    if (!held.isEmpty())
        return held;
    ImageEntries entries(path, &names);
    QVector<WellImages::Encoded> encoded(blocks * LAD::PerChannel);
    for (int b = 0; b < blocks && b < well.well.imageNames.size(); ++b) {
        const QVector<QString> &set = well.well.imageNames.at(b);
        for (int c = 0; c < LAD::PerChannel && c < set.size(); ++c)
            encoded[b * LAD::PerChannel + c] = {set.at(c), entries.read(set.at(c), well.source, saved)};
    }
    return WellImages::decode(encoded);
}

// Whether a well lacks images the document holds for the engine: only then is the package's
// directory needed.
bool anyFromPackage(const QVector<WellSource> &wells, int blocks)
{
    for (const WellSource &well : wells)
        if (heldBlockImages(well, blocks).isEmpty())
            return true;
    return false;
}

// The height of the last image in (block, channel) order; 0 for none.
uint lastImageHeight(const QVector<QImage> &images)
{
    for (int i = images.size() - 1; i >= 0; --i)
        if (!images.at(i).isNull())
            return uint(images.at(i).height());
    return 0;
}

} // namespace

QVector<QVector<WellDrpltImgInfo<QImage>>> ReAnalysis::loadWellImages()
{
    AnalysisExperimentMgr *experiments = DocumentAccess::analysisExperiments();
    if (!experiments)
        return {};
    const QVector<WellSource> wells = wellSources(experiments);
    if (wells.isEmpty())
        return {};
    const int blocks = wells.first().well.imageNames.size();
    QVector<QVector<WellDrpltImgInfo<QImage>>> result(blocks);
    if (blocks == 0)
        return result;

    const QSet<QString> names = anyFromPackage(wells, blocks) ? entryNames(m_filePath) : QSet<QString>();
    const QString path = m_filePath;
    const bool saved = isSavedPackage();
    // One task per well; the images in blocks x channels order.
    const QVector<QVector<QImage>> decoded = orderedMap<QVector<QImage>, WellSource>(
        wells, [&names, &path, saved, blocks](const WellSource &well) {
            return wellBlockImages(well, blocks, path, names, saved);
        });

    for (int b = 0; b < blocks; ++b) {
        result[b].reserve(wells.size());
        for (int w = 0; w < wells.size(); ++w) {
            WellDrpltImgInfo<QImage> entry;
            entry.wellId = wells.at(w).well.wellId;
            entry.refChanId = wells.at(w).well.refChanId;
            entry.images.resize(LAD::PerChannel);
            for (int c = 0; c < LAD::PerChannel; ++c)
                entry.images[c] = decoded.at(w).value(b * LAD::PerChannel + c);
            result[b].append(entry);
        }
    }
    // The height of the last image read, in reading order (well, block, channel).
    for (int w = 0; w < wells.size(); ++w)
        if (const uint height = lastImageHeight(decoded.at(w)))
            m_imageHeight = height;
    return result;
}

void ReAnalysis::preprocessWells()
{
    m_imageHeight = 0;
    // The images prepared before are freed on the pool while these are prepared.
    {
        auto wells = std::make_shared<QList<WellDrpltImgInfo<QImage>>>();
        auto blocks = std::make_shared<QVector<QList<WellDrpltImgInfo<QImage>>>>();
        wells->swap(m_wells);
        blocks->swap(m_preprocessedBlocks);
        if (!wells->isEmpty() || !blocks->isEmpty()) {
            std::function<void()> release = [wells, blocks] {
                PoolHandover::take(PoolHandover::queue());
                wells->clear();
                blocks->clear();
            };
            PoolHandover::give(PoolHandover::queue());
            QThreadPool::globalInstance()->start(std::move(release));
        }
    }
    AnalysisExperimentMgr *experiments = DocumentAccess::analysisExperiments();
    if (!experiments)
        return;
    std::shared_ptr<WellImagesInFlight> inFlight = experiments->wellDrpltImgsInFlight();
    if (inFlight && inFlight->count() != experiments->getAnalysisExpGlobalInfo().wells.size())
        inFlight.reset(); // no longer parallel to the wells: the images are waited for whole
    const QVector<WellSource> wells = wellSources(experiments, !inFlight);
    if (wells.isEmpty())
        return;
    const int blocks = wells.first().well.imageNames.size();
    if (blocks == 0)
        return;
    if (!m_pool)
        m_pool = std::make_shared<AnalyserPool>(m_setup);
    const std::shared_ptr<AnalyserPool> pool = m_pool;

    QHash<uint, bool> filters;
    for (const WellSource &well : wells)
        if (!filters.contains(well.well.wellId))
            filters.insert(well.well.wellId, recognitionFilter(well.well.wellId, well.well.refChanId));

    const QString path = m_filePath;
    const bool saved = isSavedPackage();
    // The package's directory, read at most once and only when some well needs images the
    // document does not hold.
    QSet<QString> names;
    std::once_flag namesRead;

    // Each well is preprocessed as soon as its images are there, in the task that got them; a
    // raw image read from the package lives only as long as that task.
    struct Prepared {
        QVector<WellDrpltImgInfo<QImage>> blocks;
        uint height = 0;
    };
    auto prepare = [&](const WellSource &well) {
        Prepared prepared;
        if (heldBlockImages(well, blocks).isEmpty())
            std::call_once(namesRead, [&] { names = entryNames(path); });
        QVector<QImage> images = wellBlockImages(well, blocks, path, names, saved);
        prepared.height = lastImageHeight(images);
        const bool filter = filters.value(well.well.wellId, true);
        AnalyserPool::Lease analysers(pool);
        analysers.a().setUseRecogChanFilterDrplt(filter);
        analysers.a().setStrategy();
        analysers.b().setUseRecogChanFilterDrplt(filter);
        analysers.b().setStrategy();
        prepared.blocks.resize(blocks);
        for (int b = 0; b < blocks; ++b) {
            QVector<QImage> raw(LAD::PerChannel);
            for (int c = 0; c < LAD::PerChannel; ++c)
                raw[c] = std::move(images[b * LAD::PerChannel + c]);
            DrpltImgsOnWell<DrpltImg> out(LAD::PerChannel, DrpltImg{0, 0, 1, nullptr});
            {
                const RawImages views = rawImages(raw);
                analysers.a().preprocess(views.views, out);
            }
            WellDrpltImgInfo<QImage> &entry = prepared.blocks[b];
            entry.wellId = well.well.wellId;
            entry.refChanId = well.well.refChanId;
            entry.images.reserve(LAD::PerChannel);
            for (const DrpltImg &image : qAsConst(out))
                entry.images.append(adoptPixels(image));
        }
        return prepared;
    };

    QVector<Prepared> done;
    if (inFlight) {
        // The document's images are still decoding: each well goes through preprocessing on the
        // thread that decoded it, while later wells decode.
        done.resize(wells.size());
        Prepared *out = done.data();
        inFlight->forEachWell([&wells, &prepare, out](int position, const WellDrpltImgInfo<QImage> &record) {
            WellSource well = wells.at(position);
            well.held = record.wellId == well.well.wellId;
            well.heldImages = well.held ? record.images : QVector<QImage>();
            try {
                out[position] = prepare(well);
            } catch (...) {
                out[position] = Prepared();
            }
        });
    } else {
        done = orderedMap<Prepared, WellSource>(wells, prepare);
    }

    for (const Prepared &well : done)
        if (well.height)
            m_imageHeight = well.height;
    for (int b = 0; b < blocks; ++b) {
        QList<WellDrpltImgInfo<QImage>> block;
        block.reserve(done.size());
        for (int w = 0; w < done.size(); ++w) {
            WellDrpltImgInfo<QImage> entry = done.at(w).blocks.value(b);
            // A task that failed leaves its well's place with null images.
            entry.wellId = wells.at(w).well.wellId;
            entry.refChanId = wells.at(w).well.refChanId;
            entry.images.resize(LAD::PerChannel);
            block.append(entry);
        }
        m_preprocessedBlocks.append(block);
    }

    if (m_preprocessedBlocks.size() == 1) {
        m_wells = m_preprocessedBlocks.first();
    } else if (m_preprocessedBlocks.size() == 2) {
        const QList<WellDrpltImgInfo<QImage>> &first = m_preprocessedBlocks.at(0);
        const QList<WellDrpltImgInfo<QImage>> &second = m_preprocessedBlocks.at(1);
        for (int i = 0; i < first.size(); ++i) {
            WellDrpltImgInfo<QImage> merged;
            merged.wellId = first.at(i).wellId;
            merged.refChanId = first.at(i).refChanId;
            merged.images.resize(LAD::PerChannel);
            for (int c = 0; c < LAD::PerChannel; ++c) {
                const QImage top = first.at(i).images.value(c);
                const QImage bottom = i < second.size() ? second.at(i).images.value(c) : QImage();
                merged.images[c] = WellImages::stackHalves(top, bottom);
            }
            m_wells.append(merged);
        }
    }
}

DrpltImg ReAnalysis::getWellChannelImage(uint wellId, uint channel) const
{
    for (const WellDrpltImgInfo<QImage> &well : m_wells) {
        if (well.wellId != wellId)
            continue;
        const QImage image = channel >= 1 ? well.images.value(int(channel) - 1) : QImage();
        DrpltImg view;
        view.width = image.width();
        view.height = image.height();
        view.type = image.format() == QImage::Format_Grayscale16 ? 1 : 0;
        // The stored images share their pixels with this list, so the pointer stays valid.
        view.data = image.isNull() ? nullptr : well.images.at(int(channel) - 1).constBits();
        return view;
    }
    return DrpltImg{0, 0, 1, nullptr};
}

void ReAnalysis::setPreparedImages(const QList<WellDrpltImgInfo<QImage>> &wells)
{
    m_wells.clear();
    for (const WellDrpltImgInfo<QImage> &well : wells) {
        WellDrpltImgInfo<QImage> prepared;
        prepared.wellId = well.wellId;
        prepared.refChanId = well.refChanId;
        for (QImage image : well.images) {
            if (image.isNull()) {
                prepared.images.append(QImage());
                continue;
            }
            if (image.format() != QImage::Format_Grayscale8 && image.format() != QImage::Format_Grayscale16)
                image = image.convertToFormat(QImage::Format_Grayscale8);
            // Rows without padding, as the engine keeps its images.
            const size_t rowBytes = size_t(image.width()) * (image.format() == QImage::Format_Grayscale16 ? 2 : 1);
            auto *bits = new uchar[rowBytes * size_t(image.height())];
            for (int y = 0; y < image.height(); ++y)
                std::memcpy(bits + rowBytes * size_t(y), image.constScanLine(y), rowBytes);
            prepared.images.append(QImage(bits, image.width(), image.height(), int(rowBytes), image.format(),
                                          EngineDetail::freePixels, bits));
        }
        m_wells.append(prepared);
    }
}

void ReAnalysis::removeWellImages(uint wellId)
{
    for (int i = 0; i < m_wells.size(); ++i) {
        if (m_wells.at(i).wellId == wellId) {
            m_wells.removeAt(i);
            return;
        }
    }
}

const QList<WellDrpltImgInfo<QImage>> &ReAnalysis::wells() const
{
    return m_wells;
}

int ReAnalysis::blockCount() const
{
    return m_preprocessedBlocks.size();
}

uint ReAnalysis::imageHeight() const
{
    return m_imageHeight;
}

bool ReAnalysis::isSavedPackage() const
{
    return QFileInfo(m_filePath).suffix() == QLatin1String("arlx");
}
