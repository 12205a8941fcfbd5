#include "io/runarchiveimages.h"

#include "io/poolwork.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <numeric>
#include <vector>

#include <QDebug>
#include <QHash>
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
    using Stage = std::function<void(int, const WellDrpltImgInfo<QImage> &)>;

    QList<WellItemInfo> wells;
    WellLoader loader;
    QString zipPath;
    QString password;
    QVector<WellDrpltImgInfo<QImage>> results;
    WellDrpltImgInfo<QImage> *records = nullptr; // results' records, one per task
    bool taken = false;
    // Each well is loaded by whichever thread claims it first: a pool helper going through the
    // list, or a thread that wants that very well now.
    std::unique_ptr<std::atomic<bool>[]> claimed;
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<char> loaded;  // under mutex
    std::vector<char> staged;  // under mutex: the stage was handed this well
    int stagesDone = 0;        // under mutex
    Stage stage;               // under mutex; empty until forEachLoaded
    // Last, so that it stops and waits for its helpers before anything they use goes.
    std::unique_ptr<PoolWork> work;

    bool claim(int i)
    {
        bool expected = false;
        return claimed[i].compare_exchange_strong(expected, true);
    }

    void runStage(const Stage &s, int i)
    {
        try {
            s(i, records[i]);
        } catch (...) {
        }
        std::lock_guard<std::mutex> lock(mutex);
        ++stagesDone;
        changed.notify_all();
    }

    // Loads a claimed well, then hands it to the stage when one is waiting for wells.
    void loadClaimed(int i)
    {
        load(i);
        Stage s;
        {
            std::lock_guard<std::mutex> lock(mutex);
            loaded[size_t(i)] = 1;
            if (stage && !staged[size_t(i)]) {
                staged[size_t(i)] = 1;
                s = stage;
            }
            changed.notify_all();
        }
        if (s)
            runStage(s, i);
    }

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
    d->claimed.reset(new std::atomic<bool>[size_t(wells.size())]);
    for (int i = 0; i < wells.size(); ++i)
        d->claimed[i].store(false);
    d->loaded.assign(size_t(wells.size()), 0);
    d->staged.assign(size_t(wells.size()), 0);
    Private *p = d.data();
    d->work.reset(new PoolWork(wells.size(), [p](int i) {
        if (p->claim(i))
            p->loadClaimed(i);
    }));
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

WellDrpltImgInfo<QImage> ImageLoadJob::wellNow(int index)
{
    if (index < 0 || index >= d->wells.size())
        return {};
    if (d->claim(index))
        d->loadClaimed(index);
    std::unique_lock<std::mutex> lock(d->mutex);
    // Claimed by a thread that is loading it now: never one that waits for this one.
    d->changed.wait(lock, [this, index] { return d->loaded[size_t(index)] != 0; });
    return d->records[index];
}

void ImageLoadJob::forEachLoaded(const std::function<void(int, const WellDrpltImgInfo<QImage> &)> &stage)
{
    QVector<int> ready;
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->stage = stage;
        d->stagesDone = 0;
        for (int i = 0; i < d->wells.size(); ++i) {
            d->staged[size_t(i)] = d->loaded[size_t(i)];
            if (d->loaded[size_t(i)])
                ready.append(i);
        }
    }
    // Wells loaded before the call go through the stage beside those still loading; the rest
    // go through it on the thread that loads them.
    Private *p = d.data();
    poolFor(ready.size(), [p, &ready, &stage](int k) { p->runStage(stage, ready.at(k)); });
    d->work->finish();
    std::unique_lock<std::mutex> lock(d->mutex);
    d->changed.wait(lock, [this] { return d->stagesDone >= d->wells.size(); });
    d->stage = nullptr;
}

namespace {

class JobImagesInFlight : public WellImagesInFlight {
public:
    JobImagesInFlight(std::unique_ptr<ImageLoadJob> job, const QList<WellItemInfo> &wells, const QVector<int> &jobIndexOf)
        : m_job(std::move(job)), m_wells(wells), m_jobIndexOf(jobIndexOf)
    {
        if (m_jobIndexOf.isEmpty()) {
            m_jobIndexOf.resize(wells.size());
            std::iota(m_jobIndexOf.begin(), m_jobIndexOf.end(), 0);
        }
        m_jobIndexOf.resize(wells.size());
    }

    int count() const override { return m_wells.size(); }

    WellDrpltImgInfo<QImage> wellAt(int position) override
    {
        if (position < 0 || position >= m_wells.size())
            return {};
        const int index = m_jobIndexOf.at(position);
        return index >= 0 ? m_job->wellNow(index) : none(position);
    }

    void forEachWell(const Stage &stage) override
    {
        QVector<int> without;
        QHash<int, QVector<int>> placesOf;
        for (int p = 0; p < m_wells.size(); ++p) {
            const int index = m_jobIndexOf.at(p);
            if (index >= 0)
                placesOf[index].append(p);
            else
                without.append(p);
        }
        auto guarded = [&stage](int position, const WellDrpltImgInfo<QImage> &images) {
            try {
                stage(position, images);
            } catch (...) {
            }
        };
        poolFor(without.size(), [this, &without, &guarded](int k) { guarded(without.at(k), none(without.at(k))); });
        m_job->forEachLoaded([&placesOf, &guarded](int index, const WellDrpltImgInfo<QImage> &record) {
            for (int p : placesOf.value(index))
                guarded(p, record);
        });
    }

    QList<WellDrpltImgInfo<QImage>> takeAll() override
    {
        if (m_taken)
            return {};
        m_taken = true;
        const QList<WellDrpltImgInfo<QImage>> loaded = m_job->results();
        QList<WellDrpltImgInfo<QImage>> ordered;
        ordered.reserve(m_wells.size());
        for (int p = 0; p < m_wells.size(); ++p) {
            const int index = m_jobIndexOf.at(p);
            ordered.append(index >= 0 && index < loaded.size() ? loaded.at(index) : none(p));
        }
        return ordered;
    }

private:
    WellDrpltImgInfo<QImage> none(int position) const
    {
        WellDrpltImgInfo<QImage> record;
        record.wellId = m_wells.at(position).wellId;
        record.refChanId = m_wells.at(position).refChanId;
        return record;
    }

    std::unique_ptr<ImageLoadJob> m_job;
    QList<WellItemInfo> m_wells;
    QVector<int> m_jobIndexOf;
    bool m_taken = false;
};

} // namespace

std::shared_ptr<WellImagesInFlight> imagesInFlight(std::unique_ptr<ImageLoadJob> job, const QList<WellItemInfo> &wells,
                                                   const QVector<int> &jobIndexOf)
{
    return std::make_shared<JobImagesInFlight>(std::move(job), wells, jobIndexOf);
}

} // namespace RunArchiveImages
