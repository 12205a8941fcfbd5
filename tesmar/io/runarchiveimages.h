#pragma once
// Droplet images of run archives: reading "capture/" entries, and decoding every well's images
// on the global thread pool with the results in well order.
#include "model/lumaraanalysisdata.h"
#include "model/welldrpltimginfo.h"
#include "model/wellimagesinflight.h"
#include "tesmar_global.h"

#include <QImage>
#include <QList>
#include <QScopedPointer>
#include <QString>

#include <functional>
#include <memory>

class QuaZip;

namespace RunArchiveImages {

// Reads entries of one archive through one zip handle. Not shared between threads: every
// task makes its own.
class TESMAR_EXPORT EntryReader {
public:
    EntryReader(const QString &zipPath, const QString &password);
    ~EntryReader();

    // The bytes of the entry; empty when it is missing, cannot be opened (logged "Cannot Open
    // image") or does not inflate whole.
    QByteArray read(const QString &entryName);

private:
    Q_DISABLE_COPY(EntryReader)
    QScopedPointer<QuaZip> m_zip;
    bool m_open = false;
    QByteArray m_password;
};

// "capture/" followed by the last "/"-separated part of a stored name.
TESMAR_EXPORT QString captureEntryName(const QString &storedName);

// Images of one well, given its record and a reader of the archive.
using WellLoader =
    std::function<QVector<QImage>(const LumaraAnalysisData::WellItemInfo &well, EntryReader &reader)>;

// Decodes the images of a list of wells on the global pool's free threads, one task per well,
// while the caller goes on with other work; waiting for the results, the caller decodes the wells
// not yet begun itself, so a reader working on a pool job never waits for its own thread.
// Results come in the order of the wells given, each with the well's id and reference channel.
// A task that fails in any way leaves its well without images; no exception escapes the pool.
// Destroying the job cancels the wells not yet started and waits for the others.
class TESMAR_EXPORT ImageLoadJob {
public:
    ImageLoadJob(const QList<LumaraAnalysisData::WellItemInfo> &wells, const QString &zipPath,
                 const QString &password, WellLoader loader);
    ~ImageLoadJob();

    // Waits for every well.
    QList<WellDrpltImgInfo<QImage>> results();

    // The record of well index once loaded; this thread loads it when no one has begun.
    WellDrpltImgInfo<QImage> wellNow(int index);
    // stage(index, record) once for every well as soon as it is loaded: on the thread that
    // loaded it, or here and on the pool for wells loaded before the call. Returns when every
    // well has loaded and gone through stage. Not to be called beside itself or wellNow.
    void forEachLoaded(const std::function<void(int index, const WellDrpltImgInfo<QImage> &)> &stage);

private:
    Q_DISABLE_COPY(ImageLoadJob)
    struct Private;
    QScopedPointer<Private> d;
};

// The job's wells as the images of a document's well list, still decoding: place p takes the
// job's well jobIndexOf[p] (-1: none, the place's well keeps its id and no images); without
// jobIndexOf, the job's well p.
TESMAR_EXPORT std::shared_ptr<WellImagesInFlight>
imagesInFlight(std::unique_ptr<ImageLoadJob> job, const QList<LumaraAnalysisData::WellItemInfo> &wells,
               const QVector<int> &jobIndexOf = {});

} // namespace RunArchiveImages
