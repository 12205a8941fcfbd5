// The facade and the hub first used on a worker thread: they still belong to the application's
// thread, so queued deliveries from other workers reach them and their listeners there.
#include "bll/bllinstance.h"
#include "bll/dropletexclude.h"
#include "bll/signaltransfer.h"
#include "seeddocument.h"
#include "testmain.h"

#include <QThread>

namespace {

void runOnWorker(const std::function<void()> &job)
{
    QThread *worker = QThread::create(job);
    worker->start();
    worker->wait();
    delete worker;
}

} // namespace

class TestBllThreads : public QObject {
    Q_OBJECT
private slots:
    void firstUseOnWorker();
    void queuedDeliveries_data();
    void queuedDeliveries();
};

void TestBllThreads::firstUseOnWorker()
{
    BLLInstance *made = nullptr;
    QThread *madeOn = nullptr;
    runOnWorker([&] {
        made = BLLInstance::getInstance();
        madeOn = QThread::currentThread();
    });
    QThread *gui = QCoreApplication::instance()->thread();
    QVERIFY(madeOn != gui);
    QCOMPARE(made, BLLInstance::getInstance());
    QCOMPARE(made->thread(), gui);
    QCOMPARE(made->getDropletExclude()->thread(), gui);
    QCOMPARE(SignalTransfer::getInstance()->thread(), gui);
}

void TestBllThreads::queuedDeliveries_data()
{
    QTest::addColumn<QString>("sender");
    QTest::addColumn<int>("hubWellInfo");
    QTest::addColumn<int>("hubDataFixed");
    QTest::addColumn<int>("facadeDataFixed");
    QTest::newRow("open announced") << "openFileComplete" << 1 << 0 << 0;
    // Forwarded to the hub, and to the facade's recount, which announces once more.
    QTest::newRow("droplets changed") << "exclusion" << 0 << 2 << 1;
}

void TestBllThreads::queuedDeliveries()
{
    QFETCH(QString, sender);
    QFETCH(int, hubWellInfo);
    QFETCH(int, hubDataFixed);
    QFETCH(int, facadeDataFixed);
    BllTest::DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1});
    seed.wells = {BllTest::well(1, "A1", {1}, QVector<BllTest::DropletSeed>(3))};
    QVERIFY(BllTest::seedDocument(seed));

    BLLInstance *bll = BLLInstance::getInstance();
    QList<QThread *> heardOn;
    int wellInfo = 0, hubFixed = 0, facadeFixed = 0;
    QObject listener;
    connect(SignalTransfer::getInstance(), &SignalTransfer::updateWellInfo, &listener, [&] {
        ++wellInfo;
        heardOn.append(QThread::currentThread());
    });
    connect(SignalTransfer::getInstance(), &SignalTransfer::dataFixed, &listener, [&] {
        ++hubFixed;
        heardOn.append(QThread::currentThread());
    });
    connect(bll, &BLLInstance::dataFixed, &listener, [&] {
        ++facadeFixed;
        heardOn.append(QThread::currentThread());
    });
    runOnWorker([&] {
        if (sender == "openFileComplete")
            emit bll->openFileComplete();
        else
            emit bll->getDropletExclude()->dataFixed();
    });
    QTRY_COMPARE(heardOn.size(), hubWellInfo + hubDataFixed + facadeFixed);
    QCoreApplication::processEvents();
    QCOMPARE(wellInfo, hubWellInfo);
    QCOMPARE(hubFixed, hubDataFixed);
    QCOMPARE(facadeFixed, facadeDataFixed);
    for (QThread *t : qAsConst(heardOn))
        QCOMPARE(t, QCoreApplication::instance()->thread());
}

LUMARA_TEST_MAIN(TestBllThreads)
#include "tst_bllthreads.moc"
