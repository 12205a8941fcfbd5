#include "pages/EditExperiment/experimentedit.h"

#include "bll/bllinstance.h"
#include "bll/signaltransfer.h"
#include "io/poolhandover.h"
#include "shell/channelcolors.h"
#include "shell/dialoghost.h"
#include "shell/dialogmessage.h"
#include "shell/globalvalues.h"
#include "shell/longjob.h"
#include "shell/welllistmodel.h"

#include <QDebug>
#include <QFileDialog>
#include <QQmlContext>
#include <QQuickItem>
#include <QtConcurrent>

#include <exception>

ExperimentEdit::ExperimentEdit(QWidget *parent) : QQuickWidget(parent)
{
    rootContext()->setContextProperty(QStringLiteral("TableWellModel"), WellListModel::instance());
    rootContext()->setContextProperty(QStringLiteral("resoving"), uiScaleFactor);
    setResizeMode(QQuickWidget::SizeRootObjectToView);
    setSource(QUrl(QStringLiteral("qrc:/EditExperiment/qml/ExperimentEdit.qml")));
    m_root = rootObject();

    SignalTransfer *hub = SignalTransfer::getInstance();
    if (m_root) {
        QObject *root = m_root;
        QStringList colours;
        for (int channel = 1; channel <= 6; ++channel)
            colours.append(getChannelColor(channel));
        root->setProperty("channelColors", colours);
        connect(this, SIGNAL(updateView()), root, SIGNAL(updateModel()));
        connect(hub, SIGNAL(updateWellComplete()), root, SIGNAL(updateModel()));
        connect(root, SIGNAL(updateTargetName(int,QString)), this, SLOT(updateTargetName(int,QString)));
        connect(root, SIGNAL(deleteWell()), this, SLOT(deleteWellRows()));
        connect(root, SIGNAL(addWell()), this, SLOT(addWells()));
        connect(root, SIGNAL(commentChanged(QString)), this, SLOT(commentChanged(QString)));
        connect(this, SIGNAL(updateSelectIndex()), root, SIGNAL(updateSelectIndex()));
        connect(hub, SIGNAL(compensationStatus(bool)), root, SIGNAL(useApplyCompensation(bool)));
        connect(hub, SIGNAL(clearCompensation()), root, SIGNAL(resetApplyCompensation()));
    }
    // mergeFile and endMergeFile reach the hub's busy signals through its forwarder table.
    hub->forwardSignals(this);
    // Emitted on the merge's pool thread: the message comes by a queued call.
    connect(this, &ExperimentEdit::endMergeFile, this, &ExperimentEdit::handError);
}

ExperimentEdit::~ExperimentEdit()
{
    // The merge job emits this page's signal when it fails.
    m_merge.waitForFinished();
}

QString ExperimentEdit::mergeRefusal(PcrAnalysisDocument::ErrorCode code, const PcrAnalysisDocument::MergePermit &permit)
{
    switch (code) {
    case PcrAnalysisDocument::MergeSupported:
        break;
    case PcrAnalysisDocument::UnsupportedSuffix:
        return QStringLiteral("Format not support, can not be merged");
    case PcrAnalysisDocument::AlreadyLoaded:
        return QStringLiteral("This file has been loaded, can not be merged");
    case PcrAnalysisDocument::CannotParse:
        return QStringLiteral("Read configure file failed, can not be merged");
    default:
        return QString();
    }
    if (!permit.sameDevParas)
        return QStringLiteral("Device parameter configure different, can not be merged");
    if (!permit.sameExperimentCfg)
        return QStringLiteral("Experiment configure different, can not be merged");
    if (!permit.sameCompensationMatrix)
        return QStringLiteral("Compensation matrix configure different, can not be merged");
    return QString();
}

bool ExperimentEdit::ask(int type, const QString &text)
{
    auto *box = new DialogMessage(type, text);
    centreOnActiveWindow(box);
    const int answer = box->exec();
    box->deleteLater();
    return answer != 0;
}

void ExperimentEdit::updateTargetName(int channelID, QString name)
{
    BLLInstance::getInstance()->setTargetName(uint(channelID), name);
    WellListModel::instance()->setTargetName(uint(channelID), name);
}

void ExperimentEdit::commentChanged(QString msg)
{
    BLLInstance::getInstance()->setExpComment(msg);
}

void ExperimentEdit::handError()
{
    ask(0, QStringLiteral("This is some error happen in merge."));
}

void ExperimentEdit::deleteWellRows()
{
    if (!m_root)
        return;
    const QVariantList rows = m_root->property("selectIndexs").toList();
    if (!ask(1, QStringLiteral("This well will be removed from the analysis.\nDo you wish to continue?")))
        return;
    WellListModel *wells = WellListModel::instance();
    wells->removeWell(rows);
    if (wells->modelIsEmpty())
        emit updateView();
    emit updateSelectIndex();
}

namespace {

const QString MergeJob = QStringLiteral("merge");

} // namespace

void ExperimentEdit::addWells()
{
    if (LongJob::running())
        return;
    // Nothing open: there is nothing to merge into.
    if (WellListModel::instance()->modelIsEmpty()) {
        emit openFile();
        return;
    }
    const QString path = QFileDialog::getOpenFileName(this, tr("Open File"), QString(), tr("*.expzip *.arlx *.imrs"));
    if (path.isEmpty())
        return;

    PcrAnalysisDocument::MergePermit permit;
    const PcrAnalysisDocument::ErrorCode code = BLLInstance::getInstance()->isMergeSupported4Load(path, permit);
    const QString refusal = mergeRefusal(code, permit);
    if (!refusal.isEmpty()) {
        ask(0, refusal);
        return;
    }
    if (code != PcrAnalysisDocument::MergeSupported)
        return;
    // The dialogs ran event loops: another job may have begun meanwhile.
    if (!LongJob::begin(MergeJob))
        return;

    emit mergeFile();
    PoolHandover::give(PoolHandover::queue());
    m_merge = QtConcurrent::run([this] {
        PoolHandover::take(PoolHandover::queue());
        bool merged = false;
        try {
            merged = BLLInstance::getInstance()->continueLoadFile();
        } catch (const std::exception &e) {
            qWarning() << "The merge failed:" << e.what();
        } catch (...) {
            qWarning() << "The merge failed";
        }
        // On success the business layer's own completion ends the busy state.
        if (!merged)
            emit endMergeFile();
        // After the reload or the message that the lines above posted.
        PoolHandover::give(PoolHandover::queue());
        QMetaObject::invokeMethod(this, [] { LongJob::end(MergeJob); }, Qt::QueuedConnection);
    });
}
