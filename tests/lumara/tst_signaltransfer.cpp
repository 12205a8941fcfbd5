// The signal hub: its signals, the forwarder table and the order and thread in which
// forwarded signals reach the hub's listeners.
#include "bll/bllinstance.h"
#include "bll/signaltransfer.h"
#include "pcranalysisdocument.h"
#include "testmain.h"

#include <QMetaMethod>
#include <QThread>

namespace {

// Carries every signal the forwarder table names, so each row can be driven.
class FakeSender : public QObject {
    Q_OBJECT
signals:
    void mergeComplete();
    void openFileComplete();
    void openFileError();
    void dataFixed();
    void updateWellModel();
    void applyConpemsationSucceeded(bool succeeded);
    void editCompensationCompleted();
    void clearCompensation();
    void updateComplete();
    void beginReanalysis();
    void beginCompensation();
    void mergeFile();
    void endMergeFile();
    void hideTitleDialog();
    void sigPressed();
};

// Records every hub signal with the thread its listener ran on.
class HubLog : public QObject {
    Q_OBJECT
public:
    HubLog()
    {
        SignalTransfer *hub = SignalTransfer::getInstance();
        const QMetaMethod record = metaObject()->method(metaObject()->indexOfSlot("record()"));
        for (int i = hub->metaObject()->methodOffset(); i < hub->metaObject()->methodCount(); ++i)
            if (hub->metaObject()->method(i).methodType() == QMetaMethod::Signal)
                connect(hub, hub->metaObject()->method(i), this, record);
    }
    QStringList names() const { return m_names; }
    int size() const { return m_names.size(); }
    bool allOn(QThread *thread) const { return m_threads.count(thread) == m_threads.size(); }

public slots:
    void record()
    {
        m_names.append(QString::fromLatin1(sender()->metaObject()->method(senderSignalIndex()).name()));
        m_threads.append(QThread::currentThread());
    }

private:
    QStringList m_names;
    QList<QThread *> m_threads;
};

// Emits the object's signal (by signature; a bool argument is true) on the calling thread.
void emitHere(QObject *sender, const QByteArray &signature)
{
    const QMetaMethod method = sender->metaObject()->method(sender->metaObject()->indexOfSignal(signature));
    if (method.parameterCount() == 1)
        method.invoke(sender, Qt::DirectConnection, Q_ARG(bool, true));
    else
        method.invoke(sender, Qt::DirectConnection);
}

// The same on a thread of its own, waiting for it to end.
void emitOnWorker(QObject *sender, const QByteArray &signature)
{
    QThread *worker = QThread::create([sender, signature] { emitHere(sender, signature); });
    worker->start();
    worker->wait();
    delete worker;
}

} // namespace

class TestSignalTransfer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void hubSignalsInDeclaredOrder();
    void forwarders_data();
    void forwarders();
    void facadeSignals_data();
    void facadeSignals();
    void senderWithoutTheSignals();
    void unknownSender();
};

void TestSignalTransfer::initTestCase()
{
    BLLInstance::createSingletons();
    QThread *gui = QCoreApplication::instance()->thread();
    QCOMPARE(SignalTransfer::getInstance()->thread(), gui);
    QCOMPARE(BLLInstance::getInstance()->thread(), gui);
    QCOMPARE(PcrAnalysisDocument::getInstance()->thread(), gui);
}

void TestSignalTransfer::hubSignalsInDeclaredOrder()
{
    const QStringList expected = {"beginBusyStatus()", "endBusyStatus()", "compensationStatus(bool)",
                                  "updateWellInfo()", "updateWellComplete()", "computeCompensation()",
                                  "dataFixed()", "openFileError()", "editCompensationComplete()",
                                  "sigHideMenuDialog()", "clearCompensation()", "wellsReanalysed()"};
    QStringList signals_;
    const QMetaObject *meta = SignalTransfer::getInstance()->metaObject();
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i)
        if (meta->method(i).methodType() == QMetaMethod::Signal)
            signals_.append(QString::fromLatin1(meta->method(i).methodSignature()));
    QCOMPARE(signals_, expected);
}

void TestSignalTransfer::forwarders_data()
{
    QTest::addColumn<QByteArray>("senderClass");
    QTest::addColumn<QByteArray>("signal");
    QTest::addColumn<bool>("onWorker");
    QTest::addColumn<QStringList>("heard");

    const struct {
        const char *cls;
        const char *signal;
        QStringList heard;
    } rows[] = {
        {"BLLInstance", "mergeComplete()", {"endBusyStatus", "updateWellInfo"}},
        {"BLLInstance", "openFileComplete()", {"updateWellInfo"}},
        {"BLLInstance", "openFileError()", {"openFileError"}},
        {"BLLInstance", "dataFixed()", {"dataFixed"}},
        {"DropletExclude", "dataFixed()", {"dataFixed"}},
        // The well list learns that the reload carries the engine's thresholds before it reloads.
        {"ReAnalysis", "updateWellModel()", {"wellsReanalysed", "updateWellInfo", "endBusyStatus"}},
        {"ReAnalysis", "applyConpemsationSucceeded(bool)", {"endBusyStatus", "editCompensationComplete"}},
        {"ReAnalysis", "editCompensationCompleted()", {"editCompensationComplete", "endBusyStatus"}},
        {"ReAnalysis", "clearCompensation()", {"endBusyStatus"}},
        {"ReAnalysis", "dataFixed()", {"dataFixed"}},
        {"Plot2DDot", "dataFixed()", {"dataFixed"}},
        {"WellListModel", "updateComplete()", {"updateWellComplete"}},
        {"QualityControl", "beginReanalysis()", {"beginBusyStatus"}},
        {"SpillOverCompensate", "beginCompensation()", {"beginBusyStatus"}},
        {"ExperimentEdit", "mergeFile()", {"beginBusyStatus"}},
        {"ExperimentEdit", "endMergeFile()", {"endBusyStatus"}},
        {"ExploreView", "hideTitleDialog()", {"sigHideMenuDialog"}},
        {"DropletPannel", "hideTitleDialog()", {"sigHideMenuDialog"}},
        {"ResultListView", "sigPressed()", {"sigHideMenuDialog"}},
        // Signals a sender class has no row for reach nothing.
        {"WellListModel", "dataFixed()", {}},
        {"DropletExclude", "mergeComplete()", {}},
    };
    for (const auto &row : rows) {
        for (bool worker : {true, false}) {
            QTest::addRow("%s::%s %s", row.cls, row.signal, worker ? "worker" : "gui")
                << QByteArray(row.cls) << QByteArray(row.signal) << worker << row.heard;
        }
    }
}

void TestSignalTransfer::forwarders()
{
    QFETCH(QByteArray, senderClass);
    QFETCH(QByteArray, signal);
    QFETCH(bool, onWorker);
    QFETCH(QStringList, heard);

    FakeSender sender;
    SignalTransfer::getInstance()->forwardSignalsAs(&sender, senderClass.constData());
    HubLog log;
    if (onWorker) {
        emitOnWorker(&sender, signal);
        // Queued: nothing reaches the listeners before the event loop runs.
        QCOMPARE(log.size(), 0);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    } else {
        // Relayed at once, inside the emitting call.
        emitHere(&sender, signal);
    }
    QCOMPARE(log.names(), heard);
    QVERIFY(log.allOn(QCoreApplication::instance()->thread()));
}

void TestSignalTransfer::facadeSignals_data()
{
    QTest::addColumn<QByteArray>("signal");
    QTest::addColumn<QStringList>("heard");
    QTest::newRow("mergeComplete") << QByteArray("mergeComplete()") << QStringList{"endBusyStatus", "updateWellInfo"};
    QTest::newRow("openFileComplete") << QByteArray("openFileComplete()") << QStringList{"updateWellInfo"};
    QTest::newRow("openFileError") << QByteArray("openFileError()") << QStringList{"openFileError"};
    QTest::newRow("dataFixed") << QByteArray("dataFixed()") << QStringList{"dataFixed"};
    QTest::newRow("saveCompleted") << QByteArray("saveCompleted()") << QStringList{};
}

// The facade's own constructor made its forwarders, each once.
void TestSignalTransfer::facadeSignals()
{
    QFETCH(QByteArray, signal);
    QFETCH(QStringList, heard);
    HubLog log;
    emitOnWorker(BLLInstance::getInstance(), signal);
    QTRY_COMPARE(log.size(), heard.size());
    QCoreApplication::processEvents();
    QCOMPARE(log.names(), heard);
    QVERIFY(log.allOn(QCoreApplication::instance()->thread()));
}

void TestSignalTransfer::senderWithoutTheSignals()
{
    QObject plain;
    for (int i = 0; i < 8; ++i)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("QObject has no signal"));
    QCOMPARE(SignalTransfer::getInstance()->forwardSignalsAs(&plain, "ReAnalysis"), 0);
}

void TestSignalTransfer::unknownSender()
{
    FakeSender sender;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("no forwarders for"));
    QCOMPARE(SignalTransfer::getInstance()->forwardSignals(&sender), 0);
    QCOMPARE(SignalTransfer::getInstance()->forwardSignalsAs(&sender, "ReAnalysis"), 9);
}

LUMARA_TEST_MAIN(TestSignalTransfer)
#include "tst_signaltransfer.moc"
