#pragma once
// Droplet images as packages store them: decoding a well's encoded images within bounds, and
// joining the two halves of a channel image of a chip imaged in two blocks. The readers of
// every package generation and the analysis engine use these, so an image reads the same
// whichever of them reads it.
#include "tesmar_global.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

namespace WellImages {

// No side of a droplet image may exceed this.
constexpr int MaxSide = 16384;

struct Encoded {
    QString name;     // for the log
    QByteArray bytes; // empty: no image
};

// The entries a stored image name stands for, in the order to try them. `sourceFileName` is the
// archive the name comes from; in a saved package, which embeds it under its name up to the
// first ".", `embedded` is true. ".expzip" archives name images by their complete entry names,
// embedded or not, so that a package saved from one shows the images the archive showed. An
// ".imrs" archive takes the last "/" part under "capture/"; embedded sources other than
// ".expzip" ones the last non-empty part under "capture/", else directly in their folder.
// None for an empty name or ".".
TESMAR_EXPORT QStringList entryCandidates(const QString &storedName, const QString &sourceFileName, bool embedded);

// The size an encoded image declares, read from its header without decoding it; invalid when
// the header cannot be read.
TESMAR_EXPORT QSize declaredSize(const QByteArray &bytes);

// The size the images of one well agree on: the declared size most of them have (of two
// equally common sizes the smaller), leaving out those beyond MaxSide. Invalid when none.
TESMAR_EXPORT QSize agreedSize(const QVector<QSize> &declared);

// Decodes the images of one well, in order. An image is decoded only when its declared size is
// the size the well's images agree on; any other (larger, smaller, unreadable, or beyond
// MaxSide) stays a null image, logged, and is never decoded. Neither is one whose decoded size
// differs from its declared one.
TESMAR_EXPORT QVector<QImage> decode(const QVector<Encoded> &images);

// The channel image of two halves: `top`'s rows above `bottom`'s, in rows without padding. A
// null half, or halves of different sizes, give a null image. 16-bit when the top half is
// 16-bit grey, else 8-bit grey; the bottom half is converted to the same.
TESMAR_EXPORT QImage stackHalves(const QImage &top, const QImage &bottom);

// The two halves of an image stackHalves made of halves that were both already in its format,
// exactly as they were decoded (rows packed); empty for any other image, whose halves cannot
// be told back from it.
TESMAR_EXPORT QVector<QImage> unstackHalves(const QImage &stacked);

// Called with the name of every image just before it is decoded, from whichever thread decodes
// it; none by default. For counting decodes: set it only while no decode runs.
using DecodeObserver = std::function<void(const QString &name)>;
TESMAR_EXPORT void setDecodeObserver(DecodeObserver observer);

} // namespace WellImages
