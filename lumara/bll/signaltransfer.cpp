#include "bll/signaltransfer.h"

#include <QCoreApplication>
#include <QDebug>
#include <QMetaMethod>
#include <QThread>

namespace {

using Row = SignalTransfer::Forwarder;

const QVector<Row> &table()
{
    static const QVector<Row> rows = {
        {"BLLInstance", "mergeComplete()", "endBusyStatus()"},
        {"BLLInstance", "mergeComplete()", "updateWellInfo()"},
        {"BLLInstance", "openFileComplete()", "updateWellInfo()"},
        {"BLLInstance", "openFileError()", "openFileError()"},
        {"BLLInstance", "dataFixed()", "dataFixed()"},
        {"DropletExclude", "dataFixed()", "dataFixed()"},
        // Before the reload: the well list knows by then whose thresholds it reloads.
        {"ReAnalysis", "updateWellModel()", "wellsReanalysed()"},
        {"ReAnalysis", "updateWellModel()", "updateWellInfo()"},
        {"ReAnalysis", "updateWellModel()", "endBusyStatus()"},
        {"ReAnalysis", "applyConpemsationSucceeded(bool)", "endBusyStatus()"},
        {"ReAnalysis", "applyConpemsationSucceeded(bool)", "editCompensationComplete()"},
        {"ReAnalysis", "editCompensationCompleted()", "editCompensationComplete()"},
        {"ReAnalysis", "editCompensationCompleted()", "endBusyStatus()"},
        {"ReAnalysis", "clearCompensation()", "endBusyStatus()"},
        {"ReAnalysis", "dataFixed()", "dataFixed()"},
        {"Plot2DDot", "dataFixed()", "dataFixed()"},
        {"WellListModel", "updateComplete()", "updateWellComplete()"},
        {"QualityControl", "beginReanalysis()", "beginBusyStatus()"},
        {"SpillOverCompensate", "beginCompensation()", "beginBusyStatus()"},
        {"ExperimentEdit", "mergeFile()", "beginBusyStatus()"},
        {"ExperimentEdit", "endMergeFile()", "endBusyStatus()"},
        {"ExploreView", "hideTitleDialog()", "sigHideMenuDialog()"},
        {"DropletPannel", "hideTitleDialog()", "sigHideMenuDialog()"},
        {"ResultListView", "sigPressed()", "sigHideMenuDialog()"},
    };
    return rows;
}

bool hasRows(const char *senderClass)
{
    for (const Row &row : table())
        if (qstrcmp(row.senderClass, senderClass) == 0)
            return true;
    return false;
}

} // namespace

SignalTransfer::SignalTransfer() : QObject(nullptr)
{
    // A hub made on a worker would take that thread's affinity, and every queued delivery to
    // it would wait for an event loop that never runs.
    if (QCoreApplication *app = QCoreApplication::instance()) {
        if (thread() != app->thread())
            moveToThread(app->thread());
    }
}

SignalTransfer::~SignalTransfer() = default;

SignalTransfer *SignalTransfer::getInstance()
{
    static SignalTransfer hub;
    return &hub;
}

const QVector<SignalTransfer::Forwarder> &SignalTransfer::forwarders()
{
    return table();
}

int SignalTransfer::forwardSignals(QObject *sender)
{
    if (!sender)
        return 0;
    for (const QMetaObject *meta = sender->metaObject(); meta; meta = meta->superClass()) {
        if (hasRows(meta->className()))
            return forwardSignalsAs(sender, meta->className());
    }
    qWarning() << "SignalTransfer: no forwarders for" << sender->metaObject()->className();
    return 0;
}

int SignalTransfer::forwardSignalsAs(QObject *sender, const char *senderClass)
{
    if (!sender || !senderClass)
        return 0;
    const QMetaObject *senderMeta = sender->metaObject();
    const QMetaObject *hubMeta = metaObject();
    int made = 0;
    for (const Row &row : table()) {
        if (qstrcmp(row.senderClass, senderClass) != 0)
            continue;
        const int from = senderMeta->indexOfSignal(row.senderSignal);
        const int to = hubMeta->indexOfSignal(row.hubSignal);
        if (from < 0 || to < 0) {
            qWarning() << "SignalTransfer:" << senderMeta->className() << "has no signal" << row.senderSignal;
            continue;
        }
        if (connect(sender, senderMeta->method(from), this, hubMeta->method(to), Qt::AutoConnection))
            ++made;
    }
    return made;
}
