// The engine's images: reading every well's channel images out of the package block by block,
// preprocessing them for background uniformity, and stacking the halves of a chip imaged in
// two blocks.
#include "bll/reanalysis_p.h"

#include "bll/documentaccess.h"
#include "bll/poolhandover.h"
#include "bll/wellchannels.h"

#include "io/imagestack.h"
#include "settings.h"
#include "spillovercompensation.h"

#include <QFileInfo>
#include <QHash>
#include <QRunnable>
#include <QThreadPool>

#include <quazip.h>
#include <quazipfile.h>

#include <atomic>
#include <condition_variable>
#include <cstring>

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

// ---- Parallel loop ------------------------------------------------------------------------------

namespace EngineDetail {

namespace {

// What the caller and its helpers share. Standard locks, so that every hand-over is one a
// thread checker can follow.
struct LoopState {
    int count = 0;
    const std::function<void(int)> *body = nullptr;
    std::atomic<int> next{0};
    std::mutex mutex;
    std::condition_variable finished;
    int running = 0;

    void work()
    {
        for (int i = next.fetch_add(1); i < count; i = next.fetch_add(1))
            (*body)(i);
    }
};

// Deletes itself after its run; the state lives as long as the last helper that shares it.
class LoopHelper : public QRunnable {
public:
    explicit LoopHelper(std::shared_ptr<LoopState> state) : m_state(std::move(state)) {}
    void run() override
    {
        PoolHandover::take(this);
        {
            // Taken once the caller has started its helpers: everything it set up is visible.
            std::lock_guard<std::mutex> lock(m_state->mutex);
        }
        m_state->work();
        std::lock_guard<std::mutex> lock(m_state->mutex);
        --m_state->running;
        m_state->finished.notify_all();
    }

private:
    std::shared_ptr<LoopState> m_state;
};

} // namespace

void parallelFor(int count, const std::function<void(int)> &body)
{
    if (count <= 0)
        return;
    auto state = std::make_shared<LoopState>();
    state->count = count;
    state->body = &body;
    QThreadPool *pool = QThreadPool::globalInstance();
    {
        std::lock_guard<std::mutex> lock(state->mutex);
        const int wanted = std::min(count - 1, pool->maxThreadCount());
        for (int h = 0; h < wanted; ++h) {
            auto *helper = new LoopHelper(state);
            ++state->running;
            PoolHandover::give(helper);
            if (!pool->tryStart(helper)) {
                // Not taken: no thread was free.
                --state->running;
                delete helper;
                break;
            }
        }
    }
    state->work();
    // The body stays valid until every helper is past its last item.
    std::unique_lock<std::mutex> lock(state->mutex);
    state->finished.wait(lock, [&state] { return state->running == 0; });
}

} // namespace EngineDetail

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

QVector<QVector<WellDrpltImgInfo<QImage>>> ReAnalysis::loadWellImages()
{
    AnalysisExperimentMgr *experiments = DocumentAccess::analysisExperiments();
    if (!experiments)
        return {};
    const LAD::AnalysisExpGlobalInfo global = experiments->getAnalysisExpGlobalInfo();
    if (global.wells.isEmpty())
        return {};
    const int blocks = global.wells.first().imageNames.size();
    QVector<QVector<WellDrpltImgInfo<QImage>>> result(blocks);
    if (blocks == 0)
        return result;

    // The source file of every well (the first experiment with its number; none: no images).
    QVector<QPair<LAD::WellItemInfo, QString>> wells;
    wells.reserve(global.wells.size());
    for (const LAD::WellItemInfo &well : global.wells) {
        QString source;
        for (const LAD::ExpItemInfo &experiment : global.experiments) {
            if (experiment.id == well.expId) {
                source = experiment.fileName;
                break;
            }
        }
        wells.append(qMakePair(well, source));
    }

    const QSet<QString> names = entryNames(m_filePath);
    const QString path = m_filePath;
    const bool saved = isSavedPackage();
    // Decoded on the pool, one task per well; the images in blocks x channels order.
    const QVector<QVector<QImage>> decoded = orderedMap<QVector<QImage>, QPair<LAD::WellItemInfo, QString>>(
        wells, [&names, &path, saved, blocks](const QPair<LAD::WellItemInfo, QString> &well) {
            ImageEntries entries(path, &names);
            // Every image of the well, of all blocks, is held to the size they agree on.
            QVector<WellImages::Encoded> encoded(blocks * LAD::PerChannel);
            for (int b = 0; b < blocks && b < well.first.imageNames.size(); ++b) {
                const QVector<QString> &set = well.first.imageNames.at(b);
                for (int c = 0; c < LAD::PerChannel && c < set.size(); ++c)
                    encoded[b * LAD::PerChannel + c] = {set.at(c), entries.read(set.at(c), well.second, saved)};
            }
            return WellImages::decode(encoded);
        });

    for (int b = 0; b < blocks; ++b) {
        result[b].reserve(wells.size());
        for (int w = 0; w < wells.size(); ++w) {
            WellDrpltImgInfo<QImage> entry;
            entry.wellId = wells.at(w).first.wellId;
            entry.refChanId = wells.at(w).first.refChanId;
            entry.images.resize(LAD::PerChannel);
            for (int c = 0; c < LAD::PerChannel; ++c) {
                const QImage &image = decoded.at(w).value(b * LAD::PerChannel + c);
                entry.images[c] = image;
            }
            result[b].append(entry);
        }
    }
    // The height of the last image read, in reading order (well, block, channel).
    for (int w = 0; w < wells.size(); ++w)
        for (const QImage &image : decoded.at(w))
            if (!image.isNull())
                m_imageHeight = uint(image.height());
    return result;
}

void ReAnalysis::preprocessWells()
{
    m_imageHeight = 0;
    m_wells.clear();
    m_preprocessedBlocks.clear();
    m_rawBlocks = loadWellImages();
    if (m_rawBlocks.isEmpty())
        return;
    if (!m_pool)
        m_pool = std::make_shared<AnalyserPool>(m_setup);
    const std::shared_ptr<AnalyserPool> pool = m_pool;

    QHash<uint, bool> filters;
    for (const QVector<WellDrpltImgInfo<QImage>> &block : qAsConst(m_rawBlocks))
        for (const WellDrpltImgInfo<QImage> &well : block)
            if (!filters.contains(well.wellId))
                filters.insert(well.wellId, recognitionFilter(well.wellId, well.refChanId));

    for (const QVector<WellDrpltImgInfo<QImage>> &block : qAsConst(m_rawBlocks)) {
        const QVector<WellDrpltImgInfo<QImage>> done = orderedMap<WellDrpltImgInfo<QImage>, WellDrpltImgInfo<QImage>>(
            block, [&pool, &filters](const WellDrpltImgInfo<QImage> &well) {
                AnalyserPool::Lease analysers(pool);
                const bool filter = filters.value(well.wellId, true);
                analysers.a().setUseRecogChanFilterDrplt(filter);
                analysers.a().setStrategy();
                analysers.b().setUseRecogChanFilterDrplt(filter);
                analysers.b().setStrategy();
                const RawImages raw = rawImages(well.images);
                DrpltImgsOnWell<DrpltImg> out(LAD::PerChannel, DrpltImg{0, 0, 1, nullptr});
                analysers.a().preprocess(raw.views, out);
                WellDrpltImgInfo<QImage> prepared;
                prepared.wellId = well.wellId;
                prepared.refChanId = well.refChanId;
                prepared.images.reserve(LAD::PerChannel);
                for (const DrpltImg &image : qAsConst(out))
                    prepared.images.append(adoptPixels(image));
                return prepared;
            });
        m_preprocessedBlocks.append(QList<WellDrpltImgInfo<QImage>>(done.cbegin(), done.cend()));
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
