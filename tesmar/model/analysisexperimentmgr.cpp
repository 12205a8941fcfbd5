#include "analysisexperimentmgr.h"

#include <QDebug>
#include <cstdlib>
#include <cstring>
#include <mutex>

using namespace LumaraAnalysisData;

namespace {

const char *const InvalidWellId = "Well id is invalid!";

int packedBytesPerLine(const QImage &image)
{
    return int((qint64(image.width()) * image.depth() + 7) / 8);
}

bool hasPackedRows(const QImage &image)
{
    return image.isNull() || image.bytesPerLine() == packedBytesPerLine(image);
}

void freeBuffer(void *buffer)
{
    std::free(buffer);
}

// Qt pads rows to 4 bytes; the image-analysis library reads rows of exactly `width` pixels.
// Such images get a packed copy that owns its buffer.
QImage withPackedRows(const QImage &image)
{
    if (hasPackedRows(image))
        return image;
    const int bpl = packedBytesPerLine(image);
    const size_t bytes = size_t(bpl) * size_t(image.height());
    auto *buffer = static_cast<uchar *>(std::malloc(bytes));
    if (!buffer)
        return image;
    for (int row = 0; row < image.height(); ++row)
        std::memcpy(buffer + size_t(row) * size_t(bpl), image.constScanLine(row), size_t(bpl));
    QImage packed(buffer, image.width(), image.height(), bpl, image.format(), freeBuffer, buffer);
    if (packed.isNull()) {
        std::free(buffer);
        return image;
    }
    packed.setColorTable(image.colorTable());
    packed.setDotsPerMeterX(image.dotsPerMeterX());
    packed.setDotsPerMeterY(image.dotsPerMeterY());
    return packed;
}

void packAll(QList<WellDrpltImgInfo<QImage>> &wells, int from)
{
    for (int i = from; i < wells.size(); ++i) {
        const int n = qAsConst(wells).at(i).images.size();
        for (int k = 0; k < n; ++k) {
            const QImage image = qAsConst(wells).at(i).images.at(k);
            if (!hasPackedRows(image))
                wells[i].images[k] = withPackedRows(image);
        }
    }
}

} // namespace

class AnalysisExperimentMgrPrivate {
public:
    AnalysisExpGlobalInfo info; // wells, experiments
    QList<WellDrpltImgInfo<QImage>> images;
    // Images still decoding, kept into images at the first call that needs them. Const
    // getters may do so from several threads, hence the lock.
    std::mutex inFlightMutex;
    std::shared_ptr<WellImagesInFlight> inFlight;

    void settle()
    {
        std::lock_guard<std::mutex> lock(inFlightMutex);
        if (!inFlight)
            return;
        const std::shared_ptr<WellImagesInFlight> pending = std::move(inFlight);
        inFlight.reset();
        images = pending->takeAll();
        packAll(images, 0);
    }

    int wellPosition(uint wellId) const
    {
        for (int i = 0; i < info.wells.size(); ++i)
            if (info.wells.at(i).wellId == wellId)
                return i;
        return -1;
    }
    int experimentPosition(uint expId) const
    {
        for (int i = 0; i < info.experiments.size(); ++i)
            if (info.experiments.at(i).id == expId)
                return i;
        return -1;
    }
    const WellDrpltImgInfo<QImage> &imagesOf(uint wellId) const
    {
        const_cast<AnalysisExperimentMgrPrivate *>(this)->settle();
        const int i = wellPosition(wellId);
        if (i < 0 || i >= images.size())
            throw InvalidWellId;
        return images.at(i);
    }
};

AnalysisExperimentInterface::~AnalysisExperimentInterface() = default;

WellImagesInFlight::~WellImagesInFlight() = default;

AnalysisExperimentMgr::AnalysisExperimentMgr() : d_ptr(new AnalysisExperimentMgrPrivate) {}

AnalysisExperimentMgr::~AnalysisExperimentMgr() = default;

const WellItemInfo &AnalysisExperimentMgr::getWellGlobal(uint wellId) const
{
    Q_D(const AnalysisExperimentMgr);
    const int i = d->wellPosition(wellId);
    if (i < 0)
        throw InvalidWellId;
    return d->info.wells.at(i);
}

const ExpItemInfo &AnalysisExperimentMgr::getExperiment(uint expId) const
{
    Q_D(const AnalysisExperimentMgr);
    const int i = d->experimentPosition(expId);
    if (i < 0)
        throw InvalidWellId;
    return d->info.experiments.at(i);
}

uint AnalysisExperimentMgr::getRefChanId(uint wellId) const
{
    return getWellGlobal(wellId).refChanId;
}

const WellDrpltImgInfo<DrpltImg> AnalysisExperimentMgr::getWellImgData(uint wellId) const
{
    Q_D(const AnalysisExperimentMgr);
    const WellDrpltImgInfo<QImage> &source = d->imagesOf(wellId);
    WellDrpltImgInfo<DrpltImg> result;
    result.wellId = source.wellId;
    result.refChanId = source.refChanId;
    result.images.resize(PerChannel);
    const int n = qMin(PerChannel, source.images.size());
    for (int k = 0; k < n; ++k) {
        const QImage &image = source.images.at(k);
        if (image.isNull())
            continue;
        if (!hasPackedRows(image)) {
            qWarning() << "getWellImgData(): image with padded rows skipped, well" << wellId
                       << "channel" << k + 1;
            continue;
        }
        DrpltImg &raw = result.images[k];
        raw.width = image.width();
        raw.height = image.height();
        raw.type = image.format() == QImage::Format_Grayscale16 ? 1 : 0;
        raw.data = image.constBits();
    }
    return result;
}

const WellDrpltImgInfo<QImage> &AnalysisExperimentMgr::getWellImg(uint wellId) const
{
    Q_D(const AnalysisExperimentMgr);
    return d->imagesOf(wellId);
}

void AnalysisExperimentMgr::appendWellGlobal(const WellItemInfo &well)
{
    Q_D(AnalysisExperimentMgr);
    d->settle();
    d->info.wells.append(well);
}

void AnalysisExperimentMgr::appendExpFile(const ExpItemInfo &experiment)
{
    Q_D(AnalysisExperimentMgr);
    d->info.experiments.append(experiment);
}

bool AnalysisExperimentMgr::removeWell(uint wellId)
{
    Q_D(AnalysisExperimentMgr);
    d->settle();
    const int i = d->wellPosition(wellId);
    if (i < 0)
        return false;
    const uint expId = d->info.wells.at(i).expId;
    d->info.wells.removeAt(i);
    if (i < d->images.size())
        d->images.removeAt(i);

    const int e = d->experimentPosition(expId);
    if (e < 0)
        return true;
    QList<quint32> &ids = d->info.experiments[e].wellIds;
    ids.removeOne(wellId);
    if (ids.isEmpty())
        d->info.experiments.removeAt(e);
    return true;
}

AnalysisExpGlobalInfo &AnalysisExperimentMgr::getAnalysisExpGlobalInfo()
{
    Q_D(AnalysisExperimentMgr);
    return d->info;
}

void AnalysisExperimentMgr::setAnalysisExpGlobalInfo(const AnalysisExpGlobalInfo &info)
{
    Q_D(AnalysisExperimentMgr);
    d->settle();
    d->info.wells = info.wells;
    d->info.experiments = info.experiments;
}

QList<WellDrpltImgInfo<QImage>> &AnalysisExperimentMgr::getWellDrpltImgInfos()
{
    Q_D(AnalysisExperimentMgr);
    d->settle();
    return d->images;
}

void AnalysisExperimentMgr::setWellDrpltImgs(const QList<WellDrpltImgInfo<QImage>> &images)
{
    Q_D(AnalysisExperimentMgr);
    {
        // Replaced: what was still decoding is let go (its loading is cancelled).
        std::lock_guard<std::mutex> lock(d->inFlightMutex);
        d->inFlight.reset();
    }
    d->images = images;
    packAll(d->images, 0);
}

void AnalysisExperimentMgr::appendWellDrpltImgsOfExp(const QList<WellDrpltImgInfo<QImage>> &images)
{
    Q_D(AnalysisExperimentMgr);
    d->settle();
    const int from = d->images.size();
    d->images.append(images);
    packAll(d->images, from);
}

void AnalysisExperimentMgr::setWellDrpltImgsInFlight(std::shared_ptr<WellImagesInFlight> images)
{
    Q_D(AnalysisExperimentMgr);
    std::lock_guard<std::mutex> lock(d->inFlightMutex);
    d->inFlight = std::move(images);
    d->images.clear();
}

std::shared_ptr<WellImagesInFlight> AnalysisExperimentMgr::wellDrpltImgsInFlight() const
{
    Q_D(const AnalysisExperimentMgr);
    std::lock_guard<std::mutex> lock(const_cast<AnalysisExperimentMgrPrivate *>(d)->inFlightMutex);
    return d->inFlight;
}
