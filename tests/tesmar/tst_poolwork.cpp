// Work on the global pool that never waits for a thread no one will free: every item runs once,
// whatever the pool's size and whether the work is started from one of the pool's own jobs.
#include "io/poolwork.h"
#include "testmain.h"

#include <QElapsedTimer>
#include <QRunnable>
#include <QThread>
#include <QThreadPool>

#include <atomic>
#include <memory>
#include <vector>

namespace {

// Runs work as a job of the pool (or on a thread of its own) and reports whether it ended within
// the time given: a freeze shows as false, not as a test that never ends.
bool endsWithin(bool onPool, const std::function<void()> &work, int milliseconds)
{
    auto done = std::make_shared<std::atomic<bool>>(false);
    auto run = [work, done] {
        work();
        done->store(true);
    };
    std::unique_ptr<QThread> thread;
    if (onPool)
        QThreadPool::globalInstance()->start(QRunnable::create(run));
    else {
        thread.reset(QThread::create(run));
        thread->start();
    }
    QElapsedTimer timer;
    timer.start();
    while (!done->load() && timer.elapsed() < milliseconds)
        QThread::msleep(5);
    const bool ended = done->load();
    if (thread && ended)
        thread->wait();
    if (thread && !ended)
        thread.release(); // still stuck: left behind, the test has failed
    return ended;
}

} // namespace

class TestPoolWork : public QObject {
    Q_OBJECT
private slots:
    void everyItemOnce_data();
    void everyItemOnce();
    void destroyingStopsHandingOut();
    void cleanup() { QThreadPool::globalInstance()->setMaxThreadCount(QThread::idealThreadCount()); }
};

void TestPoolWork::everyItemOnce_data()
{
    QTest::addColumn<int>("poolThreads");
    QTest::addColumn<bool>("onPool");   // started from a job of the pool itself
    QTest::addColumn<bool>("async");    // started, other work done, then waited for
    QTest::addColumn<int>("count");
    QTest::newRow("one thread, from a pool job") << 1 << true << false << 20;
    QTest::newRow("one thread, from a pool job, waited for later") << 1 << true << true << 20;
    QTest::newRow("two threads, from a pool job holding the other") << 2 << true << true << 20;
    QTest::newRow("one thread, from another thread") << 1 << false << true << 20;
    QTest::newRow("eight threads, from a pool job") << 8 << true << true << 200;
    QTest::newRow("eight threads, from another thread") << 8 << false << false << 200;
    QTest::newRow("a single item") << 4 << false << false << 1;
    QTest::newRow("no item") << 4 << true << true << 0;
}

void TestPoolWork::everyItemOnce()
{
    QFETCH(int, poolThreads);
    QFETCH(bool, onPool);
    QFETCH(bool, async);
    QFETCH(int, count);
    QThreadPool::globalInstance()->setMaxThreadCount(poolThreads);
    auto runs = std::make_shared<std::vector<std::atomic<int>>>(size_t(count));
    auto work = [runs, async, count] {
        std::function<void(int)> body = [runs](int i) {
            (*runs)[i].fetch_add(1);
            QThread::usleep(200);
        };
        if (!async) {
            poolFor(count, body);
            return;
        }
        PoolWork started(count, body);
        // The reader goes on with the records meanwhile, holding a pool thread of its own.
        QThreadPool::globalInstance()->reserveThread();
        QThread::msleep(2);
        started.finish();
        QThreadPool::globalInstance()->releaseThread();
    };
    QVERIFY2(endsWithin(onPool, work, 20000), "the work waited for a thread no one frees");
    for (int i = 0; i < count; ++i)
        QCOMPARE((*runs)[i].load(), 1);
}

void TestPoolWork::destroyingStopsHandingOut()
{
    QThreadPool::globalInstance()->setMaxThreadCount(2);
    std::atomic<int> runs{0};
    {
        PoolWork work(1000, [&runs](int) {
            runs.fetch_add(1);
            QThread::msleep(1);
        });
        QThread::msleep(5);
    }
    // Every item begun has ended when the work is gone; most were never begun.
    const int after = runs.load();
    QThread::msleep(20);
    QCOMPARE(runs.load(), after);
    QVERIFY(after < 1000);
}

LUMARA_TEST_MAIN(TestPoolWork)
#include "tst_poolwork.moc"
