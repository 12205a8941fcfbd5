#pragma once
// Droplet images of run archives: reading "capture/" entries, stacking two 8-bit halves, and
// decoding every well's images on the global thread pool with the results in well order.
#include "model/lumaraanalysisdata.h"
#include "model/welldrpltimginfo.h"
#include "tesmar_global.h"

#include <QImage>
#include <QList>
#include <QScopedPointer>
#include <QString>

#include <functional>

class QuaZip;

namespace RunArchiveImages {

// Reads entries of one archive through one zip handle. Not shared between threads: every
// task makes its own.
class TESMAR_EXPORT EntryReader {
public:
    EntryReader(const QString &zipPath, const QString &password);
    ~EntryReader();

    // The decoded image of the entry; null when it is missing, cannot be opened (logged
    // "Cannot Open image") or does not decode.
    QImage load(const QString &entryName);

private:
    Q_DISABLE_COPY(EntryReader)
    QScopedPointer<QuaZip> m_zip;
    bool m_open = false;
    QByteArray m_password;
};

// "capture/" followed by the last "/"-separated part of a stored name.
TESMAR_EXPORT QString captureEntryName(const QString &storedName);

// One 8-bit grey image with `top`'s rows above `bottom`'s, as wide as `top`; null when either
// is null or `bottom` is smaller. Halves of another depth are cut to 8 bits first.
TESMAR_EXPORT QImage stackHalves(const QImage &top, const QImage &bottom);

// Images of one well, given its record and a reader of the archive.
using WellLoader =
    std::function<QVector<QImage>(const LumaraAnalysisData::WellItemInfo &well, EntryReader &reader)>;

// Loads every well on the global pool, one task per well, and returns one record per well in
// the order of `wells` (well id and reference channel copied). A task that fails in any way
// leaves its well without images; no exception escapes the pool.
TESMAR_EXPORT QList<WellDrpltImgInfo<QImage>> loadWells(const QList<LumaraAnalysisData::WellItemInfo> &wells,
                                                        const QString &zipPath, const QString &password,
                                                        const WellLoader &loader);

} // namespace RunArchiveImages
