#include "io/runarchiveimages.h"

#include <QDebug>
#include <QtConcurrent>
#include <quazip.h>
#include <quazipfile.h>


using namespace LumaraAnalysisData;

namespace RunArchiveImages {

EntryReader::EntryReader(const QString &zipPath, const QString &password)
    : m_zip(new QuaZip(zipPath)), m_password(password.toLatin1())
{
}

EntryReader::~EntryReader()
{
    if (m_open)
        m_zip->close();
}

QByteArray EntryReader::read(const QString &entryName)
{
    // The archive is opened once, at the first image, and its directory reused afterwards.
    if (!m_open)
        m_open = m_zip->open(QuaZip::mdUnzip);
    QByteArray data;
    bool opened = false;
    if (m_open && m_zip->setCurrentFile(entryName)) {
        QuaZipFile file(m_zip.data());
        opened = m_password.isEmpty()
                     ? file.open(QIODevice::ReadOnly)
                     : file.open(QIODevice::ReadOnly, nullptr, nullptr, false, m_password.constData());
        if (opened)
            data = file.readAll();
        file.close();
        // A wrong password shows only as a failed check of the inflated data.
        if (opened && file.getZipError() != UNZ_OK)
            data.clear();
    }
    if (!opened)
        qDebug() << "Cannot Open image";
    return data;
}

QString captureEntryName(const QString &storedName)
{
    const QStringList parts = storedName.split(QLatin1Char('/'), Qt::KeepEmptyParts);
    return QStringLiteral("capture/") + parts.last();
}

namespace {

struct LoadTask {
    using result_type = WellDrpltImgInfo<QImage>;

    QString zipPath;
    QString password;
    const WellLoader *loader;

    result_type operator()(const WellItemInfo &well) const
    {
        result_type out;
        out.wellId = well.wellId;
        out.refChanId = well.refChanId;
        try {
            EntryReader reader(zipPath, password);
            out.images = (*loader)(well, reader);
        } catch (...) {
            // Out of memory while decoding, most likely: the well stays without images.
            out.images.clear();
        }
        return out;
    }
};

void appendWell(QList<WellDrpltImgInfo<QImage>> &list, const WellDrpltImgInfo<QImage> &well)
{
    try {
        list.append(well);
    } catch (...) {
        qWarning() << "Droplet images of well" << well.wellId << "could not be kept";
    }
}

} // namespace

struct ImageLoadJob::Private {
    QList<WellItemInfo> wells;
    WellLoader loader;
    QFuture<QList<WellDrpltImgInfo<QImage>>> future;
    bool taken = false;
};

ImageLoadJob::ImageLoadJob(const QList<WellItemInfo> &wells, const QString &zipPath, const QString &password,
                           WellLoader loader)
    : d(new Private)
{
    d->wells = wells;
    d->loader = std::move(loader);
    if (wells.isEmpty())
        return;
    const LoadTask task{zipPath, password, &d->loader};
    d->future = QtConcurrent::mappedReduced<QList<WellDrpltImgInfo<QImage>>>(
        d->wells, task, appendWell, QtConcurrent::OrderedReduce | QtConcurrent::SequentialReduce);
}

ImageLoadJob::~ImageLoadJob()
{
    if (d->future.isStarted() && !d->taken) {
        d->future.cancel();
        d->future.waitForFinished();
    }
}

QList<WellDrpltImgInfo<QImage>> ImageLoadJob::results()
{
    QList<WellDrpltImgInfo<QImage>> out;
    if (!d->wells.isEmpty() && !d->taken) {
        d->taken = true;
        try {
            out = d->future.result();
        } catch (...) {
            out.clear();
        }
    }
    if (out.size() == d->wells.size())
        return out;
    // A record the reduction could not keep: the others keep their places (results arrive in
    // well order, and ids are unique), the lost one gets an empty record.
    QList<WellDrpltImgInfo<QImage>> aligned;
    int next = 0;
    for (const WellItemInfo &well : qAsConst(d->wells)) {
        if (next < out.size() && out.at(next).wellId == well.wellId) {
            aligned.append(out.at(next++));
            continue;
        }
        WellDrpltImgInfo<QImage> empty;
        empty.wellId = well.wellId;
        empty.refChanId = well.refChanId;
        aligned.append(empty);
    }
    return aligned;
}

QList<WellDrpltImgInfo<QImage>> loadWells(const QList<WellItemInfo> &wells, const QString &zipPath,
                                          const QString &password, const WellLoader &loader)
{
    return ImageLoadJob(wells, zipPath, password, loader).results();
}

} // namespace RunArchiveImages
