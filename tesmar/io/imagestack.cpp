#include "io/imagestack.h"
#include "io/runarchiveimages.h"

#include <QBuffer>
#include <QDebug>
#include <QImageReader>
#include <QMap>

#include <cstring>
#include <new>

namespace WellImages {

namespace {

bool withinBounds(const QSize &size)
{
    return size.isValid() && !size.isEmpty() && size.width() <= MaxSide && size.height() <= MaxSide;
}

void freePixels(void *pixels)
{
    delete[] static_cast<uchar *>(pixels);
}

// Marks an image stacked from halves that needed no conversion; the halves can be cut back out.
const QString StackedKey = QStringLiteral("lumara.stacked-halves");

DecodeObserver &decodeObserver()
{
    static DecodeObserver observer;
    return observer;
}

} // namespace

QStringList entryCandidates(const QString &storedName, const QString &sourceFileName, bool embedded)
{
    if (storedName.isEmpty() || storedName == QLatin1String("."))
        return {};
    const QString folder =
        embedded ? sourceFileName.section(QLatin1Char('.'), 0, 0) + QLatin1Char('/') : QString();
    const QString suffix = sourceFileName.section(QLatin1Char('.'), -1);
    if (suffix == QLatin1String("expzip"))
        return {folder + storedName};
    if (suffix == QLatin1String("imrs") && !embedded)
        return {RunArchiveImages::captureEntryName(storedName)};
    const QStringList parts = storedName.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return {};
    return {folder + QStringLiteral("capture/") + parts.last(), folder + parts.last()};
}

QSize declaredSize(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return QSize();
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        return QSize();
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    return reader.size();
}

QSize agreedSize(const QVector<QSize> &declared)
{
    QMap<QPair<int, int>, int> counts;
    for (const QSize &size : declared)
        if (withinBounds(size))
            ++counts[qMakePair(size.width(), size.height())];
    QSize best;
    int bestCount = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        const QSize size(it.key().first, it.key().second);
        const qint64 area = qint64(size.width()) * size.height();
        const qint64 bestArea = best.isValid() ? qint64(best.width()) * best.height() : 0;
        if (it.value() > bestCount || (it.value() == bestCount && area < bestArea)) {
            best = size;
            bestCount = it.value();
        }
    }
    return best;
}

QVector<QImage> decode(const QVector<Encoded> &images)
{
    QVector<QSize> declared;
    declared.reserve(images.size());
    for (const Encoded &image : images)
        declared.append(declaredSize(image.bytes));
    const QSize agreed = agreedSize(declared);

    QVector<QImage> out(images.size());
    for (int i = 0; i < images.size(); ++i) {
        const Encoded &image = images.at(i);
        if (image.bytes.isEmpty())
            continue;
        if (!declared.at(i).isValid()) {
            qWarning() << "droplet image" << image.name << "refused: its size cannot be read";
            continue;
        }
        if (declared.at(i) != agreed) {
            qWarning() << "droplet image" << image.name << "refused: it declares" << declared.at(i)
                       << "where the well's images are" << agreed << "(at most" << MaxSide << "a side)";
            continue;
        }
        if (const DecodeObserver &observer = decodeObserver())
            observer(image.name);
        QImage decoded;
        if (!decoded.loadFromData(image.bytes))
            continue;
        if (decoded.size() != declared.at(i)) {
            qWarning() << "droplet image" << image.name << "refused: it decodes to" << decoded.size()
                       << "but declares" << declared.at(i);
            continue;
        }
        out[i] = decoded;
    }
    return out;
}

QImage stackHalves(const QImage &top, const QImage &bottom)
{
    if (top.isNull() || bottom.isNull() || top.size() != bottom.size())
        return QImage();
    const QImage::Format format =
        top.format() == QImage::Format_Grayscale16 ? QImage::Format_Grayscale16 : QImage::Format_Grayscale8;
    const QImage upper = top.format() == format ? top : top.convertToFormat(format);
    const QImage lower = bottom.format() == format ? bottom : bottom.convertToFormat(format);
    if (upper.isNull() || lower.isNull())
        return QImage();
    const size_t rowBytes = size_t(top.width()) * (format == QImage::Format_Grayscale16 ? 2 : 1);
    const size_t rows = size_t(top.height());
    auto *bits = new (std::nothrow) uchar[rowBytes * rows * 2];
    if (!bits)
        return QImage();
    for (size_t y = 0; y < rows; ++y) {
        std::memcpy(bits + rowBytes * y, upper.constScanLine(int(y)), rowBytes);
        std::memcpy(bits + rowBytes * (rows + y), lower.constScanLine(int(y)), rowBytes);
    }
    QImage stacked(bits, top.width(), top.height() * 2, int(rowBytes), format, freePixels, bits);
    if (top.format() == format && bottom.format() == format)
        stacked.setText(StackedKey, QStringLiteral("1"));
    return stacked;
}

QVector<QImage> unstackHalves(const QImage &stacked)
{
    if (stacked.isNull() || stacked.text(StackedKey).isEmpty() || stacked.height() % 2 != 0)
        return {};
    const QImage::Format format = stacked.format();
    if (format != QImage::Format_Grayscale8 && format != QImage::Format_Grayscale16)
        return {};
    const int rows = stacked.height() / 2;
    const size_t rowBytes = size_t(stacked.width()) * (format == QImage::Format_Grayscale16 ? 2 : 1);
    QVector<QImage> halves;
    for (int h = 0; h < 2; ++h) {
        auto *bits = new (std::nothrow) uchar[rowBytes * size_t(rows)];
        if (!bits)
            return {};
        for (int y = 0; y < rows; ++y)
            std::memcpy(bits + rowBytes * size_t(y), stacked.constScanLine(h * rows + y), rowBytes);
        halves.append(QImage(bits, stacked.width(), rows, int(rowBytes), format, freePixels, bits));
    }
    return halves;
}

void setDecodeObserver(DecodeObserver observer)
{
    decodeObserver() = std::move(observer);
}

} // namespace WellImages
