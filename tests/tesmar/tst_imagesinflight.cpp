// Images still decoding when an open hands its records over: every well reaches the stage
// exactly once, as soon as it is loaded, whatever the pool's size; the document keeps them
// parallel to its wells whenever it is first asked for them.
#include "io/runarchiveimages.h"
#include "model/analysisexperimentmgr.h"
#include "testmain.h"

#include <QElapsedTimer>
#include <QThread>
#include <QThreadPool>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

using namespace LumaraAnalysisData;
using RunArchiveImages::ImageLoadJob;

namespace {

QList<WellItemInfo> wellList(const QList<quint32> &ids)
{
    QList<WellItemInfo> wells;
    for (quint32 id : ids) {
        WellItemInfo well;
        well.wellId = id;
        well.refChanId = 1 + id % 6;
        well.imageNames = {{QStringLiteral("w%1").arg(id)}};
        wells.append(well);
    }
    return wells;
}

// One image per well, as wide as the well's id, so that a record tells whose it is.
QVector<QImage> imagesOf(const WellItemInfo &well)
{
    QImage image(int(well.wellId), 2, QImage::Format_Grayscale8);
    image.fill(int(well.wellId));
    return {image};
}

RunArchiveImages::WellLoader slowLoader(int microseconds)
{
    return [microseconds](const WellItemInfo &well, RunArchiveImages::EntryReader &) {
        QThread::usleep(ulong(microseconds));
        return imagesOf(well);
    };
}

bool recordOf(const WellDrpltImgInfo<QImage> &record, const WellItemInfo &well)
{
    return record.wellId == well.wellId && record.refChanId == well.refChanId && record.images.size() == 1
           && record.images.first().width() == int(well.wellId);
}

// Waits at most ms for flag: a freeze shows as a failure, not as a test that never ends.
bool waitFor(const std::atomic<bool> &flag, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!flag.load() && timer.elapsed() < ms)
        QThread::msleep(1);
    return flag.load();
}

} // namespace

class TestImagesInFlight : public QObject {
    Q_OBJECT
private slots:
    void everyWellStagedOnce_data();
    void everyWellStagedOnce();
    void stageBeginsBeforeTheLastWellLoads_data();
    void stageBeginsBeforeTheLastWellLoads();
    void placesFollowTheWellList();
    void managerKeepsThemWhenAsked_data();
    void managerKeepsThemWhenAsked();
    void cleanup() { QThreadPool::globalInstance()->setMaxThreadCount(QThread::idealThreadCount()); }
};

void TestImagesInFlight::everyWellStagedOnce_data()
{
    QTest::addColumn<int>("poolThreads");
    QTest::addColumn<int>("takenFirst"); // wells asked for one by one before the stage
    QTest::newRow("one thread") << 1 << 0;
    QTest::newRow("one thread, two wells asked for first") << 1 << 2;
    QTest::newRow("two threads, two wells asked for first") << 2 << 2;
    QTest::newRow("eight threads") << 8 << 0;
    QTest::newRow("eight threads, every well asked for first") << 8 << 40;
}

void TestImagesInFlight::everyWellStagedOnce()
{
    QFETCH(int, poolThreads);
    QFETCH(int, takenFirst);
    QThreadPool::globalInstance()->setMaxThreadCount(poolThreads);
    QList<quint32> ids;
    for (quint32 i = 1; i <= 40; ++i)
        ids.append(i);
    const QList<WellItemInfo> wells = wellList(ids);
    ImageLoadJob job(wells, QString(), QString(), slowLoader(300));

    // Asked for out of order: the last first.
    for (int k = 0; k < takenFirst; ++k) {
        const int i = wells.size() - 1 - k;
        QVERIFY(recordOf(job.wellNow(i), wells.at(i)));
    }

    std::vector<std::atomic<int>> staged(size_t(wells.size()));
    std::atomic<int> wrong{0};
    job.forEachLoaded([&](int i, const WellDrpltImgInfo<QImage> &record) {
        staged[size_t(i)].fetch_add(1);
        if (!recordOf(record, wells.at(i)))
            wrong.fetch_add(1);
    });
    // Returned only once every well has gone through the stage.
    for (int i = 0; i < wells.size(); ++i)
        QCOMPARE(staged[size_t(i)].load(), 1);
    QCOMPARE(wrong.load(), 0);
    // Asked again (a re-analysis after the open): every well goes through once more.
    job.forEachLoaded([&](int i, const WellDrpltImgInfo<QImage> &) { staged[size_t(i)].fetch_add(1); });
    for (int i = 0; i < wells.size(); ++i)
        QCOMPARE(staged[size_t(i)].load(), 2);
    const QList<WellDrpltImgInfo<QImage>> results = job.results();
    QCOMPARE(results.size(), wells.size());
    for (int i = 0; i < wells.size(); ++i)
        QVERIFY(recordOf(results.at(i), wells.at(i)));
}

void TestImagesInFlight::stageBeginsBeforeTheLastWellLoads_data()
{
    QTest::addColumn<int>("poolThreads");
    QTest::newRow("two threads") << 2;
    QTest::newRow("four threads") << 4;
}

// The last well's loading waits for the stage of an earlier well: the stage could not run
// before every well had loaded, the loading times out and the test fails.
void TestImagesInFlight::stageBeginsBeforeTheLastWellLoads()
{
    QFETCH(int, poolThreads);
    QThreadPool::globalInstance()->setMaxThreadCount(poolThreads);
    const QList<WellItemInfo> wells = wellList({1, 2, 3, 4, 5, 6});
    const quint32 last = wells.last().wellId;
    std::atomic<bool> earlierStaged{false};
    std::atomic<bool> lastWaited{false};
    std::atomic<bool> timedOut{false};
    ImageLoadJob job(wells, QString(), QString(), [&](const WellItemInfo &well, RunArchiveImages::EntryReader &) {
        if (well.wellId == last) {
            lastWaited.store(true);
            if (!waitFor(earlierStaged, 20000))
                timedOut.store(true);
        }
        return imagesOf(well);
    });
    std::atomic<int> stagedAfterLast{0};
    job.forEachLoaded([&](int i, const WellDrpltImgInfo<QImage> &) {
        if (wells.at(i).wellId != last)
            earlierStaged.store(true);
        else
            stagedAfterLast.fetch_add(1);
    });
    QVERIFY(lastWaited.load());
    QVERIFY2(!timedOut.load(), "no well went through the stage before the last had loaded");
    QCOMPARE(stagedAfterLast.load(), 1);
}

// A document's well list need not follow the job's: each place takes the job's well given for
// it, and a place with none keeps its well's id without images.
void TestImagesInFlight::placesFollowTheWellList()
{
    QThreadPool::globalInstance()->setMaxThreadCount(3);
    const QList<WellItemInfo> loaded = wellList({30, 10});
    const QList<WellItemInfo> document = wellList({10, 20, 30});
    auto job = std::make_unique<ImageLoadJob>(loaded, QString(), QString(), slowLoader(100));
    const std::shared_ptr<WellImagesInFlight> images =
        RunArchiveImages::imagesInFlight(std::move(job), document, {1, -1, 0});
    QCOMPARE(images->count(), 3);
    QVERIFY(recordOf(images->wellAt(2), document.at(2)));
    const WellDrpltImgInfo<QImage> none = images->wellAt(1);
    QCOMPARE(none.wellId, 20u);
    QCOMPARE(none.refChanId, document.at(1).refChanId);
    QVERIFY(none.images.isEmpty());

    std::mutex mutex;
    QMap<int, quint32> staged;
    int twice = 0;
    images->forEachWell([&](int position, const WellDrpltImgInfo<QImage> &record) {
        std::lock_guard<std::mutex> lock(mutex);
        twice += staged.contains(position) ? 1 : 0;
        staged.insert(position, record.wellId);
    });
    QCOMPARE(twice, 0);
    QCOMPARE(staged, (QMap<int, quint32>{{0, 10u}, {1, 20u}, {2, 30u}}));

    const QList<WellDrpltImgInfo<QImage>> all = images->takeAll();
    QCOMPARE(all.size(), 3);
    QVERIFY(recordOf(all.at(0), document.at(0)));
    QCOMPARE(all.at(1).wellId, 20u);
    QVERIFY(all.at(1).images.isEmpty());
    QVERIFY(recordOf(all.at(2), document.at(2)));
    QVERIFY(images->takeAll().isEmpty());
}

void TestImagesInFlight::managerKeepsThemWhenAsked_data()
{
    QTest::addColumn<QString>("first"); // the first call after the images were handed over
    QTest::newRow("one well's images") << "image";
    QTest::newRow("the whole list") << "list";
    QTest::newRow("a well removed") << "remove";
    QTest::newRow("images set anew") << "set";
    QTest::newRow("never asked") << "none";
}

void TestImagesInFlight::managerKeepsThemWhenAsked()
{
    QFETCH(QString, first);
    QThreadPool::globalInstance()->setMaxThreadCount(2);
    const QList<WellItemInfo> wells = wellList({1, 2, 3, 4});
    auto manager = std::make_unique<AnalysisExperimentMgr>();
    AnalysisExpGlobalInfo info;
    info.wells = wells;
    manager->setAnalysisExpGlobalInfo(info);
    manager->setWellDrpltImgsInFlight(RunArchiveImages::imagesInFlight(
        std::make_unique<ImageLoadJob>(wells, QString(), QString(), slowLoader(2000)), wells, {0, 1, 2, 3}));
    QVERIFY(manager->wellDrpltImgsInFlight());
    // The well list is there at once, without waiting.
    QCOMPARE(manager->getAnalysisExpGlobalInfo().wells.size(), 4);

    if (first == QLatin1String("image")) {
        QVERIFY(recordOf(manager->getWellImg(3), wells.at(2)));
        QCOMPARE(manager->getWellImgData(4).images.first().width, 4);
    } else if (first == QLatin1String("list")) {
        const QList<WellDrpltImgInfo<QImage>> &all = manager->getWellDrpltImgInfos();
        QCOMPARE(all.size(), 4);
        for (int i = 0; i < 4; ++i)
            QVERIFY(recordOf(all.at(i), wells.at(i)));
    } else if (first == QLatin1String("remove")) {
        QVERIFY(manager->removeWell(2));
        QCOMPARE(manager->getWellDrpltImgInfos().size(), 3);
        QVERIFY(recordOf(manager->getWellImg(3), wells.at(2)));
        QVERIFY(recordOf(manager->getWellImg(4), wells.at(3)));
    } else if (first == QLatin1String("set")) {
        QList<WellDrpltImgInfo<QImage>> replaced;
        for (const WellItemInfo &well : wells) {
            WellDrpltImgInfo<QImage> record;
            record.wellId = well.wellId;
            replaced.append(record);
        }
        manager->setWellDrpltImgs(replaced);
        QVERIFY(!manager->wellDrpltImgsInFlight());
        QVERIFY(manager->getWellImg(1).images.isEmpty());
    }
    if (first != QLatin1String("none"))
        QVERIFY(!manager->wellDrpltImgsInFlight());
    // Destroyed with images still decoding: the loading is cancelled and waited for.
    manager.reset();
}

LUMARA_TEST_MAIN(TestImagesInFlight)
#include "tst_imagesinflight.moc"
