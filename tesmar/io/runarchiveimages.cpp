#include "io/runarchiveimages.h"
#include "io/imagestack.h"

#include <QDebug>
#include <QtConcurrent>
#include <quazip.h>
#include <quazipfile.h>

#include <cstring>

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

QImage EntryReader::load(const QString &entryName)
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
    if (!opened) {
        qDebug() << "Cannot Open image";
        return QImage();
    }
    QImage image;
    if (data.isEmpty() || !image.loadFromData(data))
        return QImage();
    return image;
}

QString captureEntryName(const QString &storedName)
{
    const QStringList parts = storedName.split(QLatin1Char('/'), Qt::KeepEmptyParts);
    return QStringLiteral("capture/") + parts.last();
}

namespace {

QImage asEightBit(const QImage &image)
{
    return image.format() == QImage::Format_Grayscale8 ? image : image.convertToFormat(QImage::Format_Grayscale8);
}

cv::Mat matView(const QImage &image)
{
    return cv::Mat(image.height(), image.width(), CV_8UC1, const_cast<uchar *>(image.constBits()),
                   size_t(image.bytesPerLine()));
}

} // namespace

QImage stackHalves(const QImage &top, const QImage &bottom)
{
    if (top.isNull() || bottom.isNull())
        return QImage();
    const QImage a = asEightBit(top);
    const QImage b = asEightBit(bottom);
    if (a.isNull() || b.isNull())
        return QImage();
    const cv::Mat stacked = stackImageHalves(matView(a), matView(b));
    if (stacked.empty())
        return QImage();
    QImage out(stacked.cols, stacked.rows, QImage::Format_Grayscale8);
    if (out.isNull())
        return QImage();
    for (int r = 0; r < stacked.rows; ++r)
        std::memcpy(out.scanLine(r), stacked.ptr(r), size_t(stacked.cols));
    return out;
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

QList<WellDrpltImgInfo<QImage>> loadWells(const QList<WellItemInfo> &wells, const QString &zipPath,
                                          const QString &password, const WellLoader &loader)
{
    if (wells.isEmpty())
        return {};
    const LoadTask task{zipPath, password, &loader};
    QList<WellDrpltImgInfo<QImage>> out = QtConcurrent::blockingMappedReduced<QList<WellDrpltImgInfo<QImage>>>(
        wells, task, appendWell, QtConcurrent::OrderedReduce | QtConcurrent::SequentialReduce);
    if (out.size() == wells.size())
        return out;
    // A record the reduction could not keep: the others keep their places (results arrive in
    // well order, and ids are unique), the lost one gets an empty record.
    QList<WellDrpltImgInfo<QImage>> aligned;
    int next = 0;
    for (const WellItemInfo &well : wells) {
        if (next < out.size() && out.at(next).wellId == well.wellId) {
            aligned.append(out.at(next++));
            continue;
        }
        WellDrpltImgInfo<QImage> empty;
        empty.wellId = well.wellId;
        empty.refChanId = well.refChanId;
        aligned.append(empty);
    }
    out = aligned;
    return out;
}

} // namespace RunArchiveImages
