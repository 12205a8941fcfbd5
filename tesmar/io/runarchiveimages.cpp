#include "io/runarchiveimages.h"

#include "io/poolwork.h"

#include <memory>

#include <QDebug>
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

struct ImageLoadJob::Private {
    QList<WellItemInfo> wells;
    WellLoader loader;
    QString zipPath;
    QString password;
    QVector<WellDrpltImgInfo<QImage>> results;
    WellDrpltImgInfo<QImage> *records = nullptr; // results' records, one per task
    bool taken = false;
    // Last, so that it stops and waits for its helpers before anything they use goes.
    std::unique_ptr<PoolWork> work;

    void load(int i)
    {
        const WellItemInfo &well = wells.at(i);
        WellDrpltImgInfo<QImage> &out = records[i];
        out.wellId = well.wellId;
        out.refChanId = well.refChanId;
        try {
            EntryReader reader(zipPath, password);
            out.images = loader(well, reader);
        } catch (...) {
            // Out of memory while decoding, most likely: the well stays without images.
            out.images.clear();
        }
    }
};

ImageLoadJob::ImageLoadJob(const QList<WellItemInfo> &wells, const QString &zipPath, const QString &password,
                           WellLoader loader)
    : d(new Private)
{
    d->wells = wells;
    d->loader = std::move(loader);
    d->zipPath = zipPath;
    d->password = password;
    // Every record is in place before any task writes to it.
    d->results.resize(wells.size());
    d->records = d->results.data();
    Private *p = d.data();
    d->work.reset(new PoolWork(wells.size(), [p](int i) { p->load(i); }));
}

ImageLoadJob::~ImageLoadJob() = default;

QList<WellDrpltImgInfo<QImage>> ImageLoadJob::results()
{
    if (d->taken)
        return {};
    d->taken = true;
    d->work->finish();
    return QList<WellDrpltImgInfo<QImage>>(d->results.cbegin(), d->results.cend());
}

QList<WellDrpltImgInfo<QImage>> loadWells(const QList<WellItemInfo> &wells, const QString &zipPath,
                                          const QString &password, const WellLoader &loader)
{
    return ImageLoadJob(wells, zipPath, password, loader).results();
}

} // namespace RunArchiveImages
