#include "pages/QualityControl/qualitycontrol.h"

#include "pages/QualityControl/dropletpannel.h"
#include "pages/QualityControl/reanalysisdialog.h"

#include "bll/bllinstance.h"
#include "bll/dropletexclude.h"
#include "bll/experimenteditmgr.h"
#include "bll/reanalysis.h"
#include "bll/signaltransfer.h"
#include "io/poolhandover.h"
#include "shell/dialoghost.h"
#include "shell/dialogmessage.h"
#include "shell/globalvalues.h"
#include "shell/longjob.h"
#include "shell/qcparamadialog.h"
#include "shell/wellheaderview.h"
#include "shell/welllistdelegate.h"
#include "shell/welllistmodel.h"
#include "shell/welllistview.h"

#include <QDebug>
#include <QHBoxLayout>
#include <QQmlContext>
#include <QQuickItem>
#include <QtConcurrent>

#include <exception>

namespace {

const QString ReAnalysisJob = QStringLiteral("re-analysis");

int scaled(int pixels)
{
    return int(pixels * uiScaleFactor);
}

// The asking dialogs of the page: centred on the window, run modally, released later.
int runCentred(QDialog *dialog)
{
    centreOnActiveWindow(dialog);
    const int answer = dialog->exec();
    dialog->deleteLater();
    return answer;
}

} // namespace

QualityControl::QualityControl(QWidget *parent) : QQuickWidget(parent)
{
    WellListModel *wells = WellListModel::instance();
    rootContext()->setContextProperty(QStringLiteral("TableWellModel"), wells);
    rootContext()->setContextProperty(QStringLiteral("resoving"), uiScaleFactor);
    setResizeMode(QQuickWidget::SizeRootObjectToView);
    setSource(QUrl(QStringLiteral("qrc:/qml/QC.qml")));
    m_root = rootObject();

    m_table = new WellListView;
    m_header = new WellHeaderView(Qt::Horizontal, m_table);
    m_header->setFixedHeight(32);
    m_table->setHorizontalHeader(m_header);
    m_header->setSectionResizeMode(QHeaderView::Stretch);
    m_delegate = new WellListDelegate(m_table);
    m_table->setModel(wells);
    m_table->setItemDelegate(m_delegate);
    m_table->setMultiSelect(false);
    m_table->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);
    // The table's size hint would otherwise be its least width and hold the window wide.
    m_table->setMinimumWidth(scaled(100));

    m_panel = new DropletPannel;
    m_panel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    m_panel->setMinimumSize(1, 1);
    m_panel->setStyleSheet(QStringLiteral("background-color: rgb(0 ,0 ,0)"));

    // The QML column shows through the strip on the right.
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(scaled(26), scaled(26), scaled(26), scaled(55));
    layout->setSpacing(0);
    layout->addWidget(m_table, 1);
    // The gap gives way before the image does when the window is narrow.
    layout->addSpacerItem(new QSpacerItem(scaled(100), 0, QSizePolicy::Preferred, QSizePolicy::Minimum));
    layout->addWidget(m_panel, 7);
    layout->addSpacing(scaled(270));

    // The hub forwards beginReanalysis to its busy state.
    SignalTransfer::getInstance()->forwardSignals(this);
    initConnections();
}

QualityControl::~QualityControl() = default;

void QualityControl::connectChecked(const QObject *sender, const char *signal, const QObject *receiver,
                                    const char *method)
{
    if (!sender || !receiver)
        return;
    if (!connect(sender, signal, receiver, method)) {
        ++m_failedConnections;
        qWarning() << "QualityControl: cannot connect" << signal << "to" << method;
    }
}

void QualityControl::initConnections()
{
    SignalTransfer *hub = SignalTransfer::getInstance();
    QObject *view = m_root.data();
    connectChecked(view, SIGNAL(reAnalysis()), this, SLOT(reAnalysis()));
    connectChecked(view, SIGNAL(reCover()), this, SLOT(reCover()));
    connectChecked(this, SIGNAL(selectDefaultChannel()), view, SIGNAL(channelStatusUpdate()));
    connectChecked(this, SIGNAL(defaultQCStatus()), view, SIGNAL(defaultQCStatus()));
    connectChecked(this, SIGNAL(openNewFile()), view, SIGNAL(openNewFile()));
    connectChecked(m_panel, SIGNAL(enableRedo(bool)), view, SIGNAL(enableRedo(bool)));
    connectChecked(m_panel, SIGNAL(enableUndo(bool)), view, SIGNAL(enableUndo(bool)));
    connectChecked(view, SIGNAL(undo()), m_panel, SLOT(undo()));
    connectChecked(view, SIGNAL(redo()), m_panel, SLOT(redo()));
    connectChecked(view, SIGNAL(channelClicked(int)), this, SLOT(channelClicked(int)));
    connectChecked(view, SIGNAL(adjustBrightContrast(int,double)), this, SLOT(onAdjustBrightContrast(int,double)));
    connectChecked(view, SIGNAL(autoBrightContrast()), m_panel, SLOT(autoBrightContrast()));
    connectChecked(view, SIGNAL(resetBrightContrast()), m_panel, SLOT(resetBrightContrast()));
    connectChecked(view, SIGNAL(exclude()), m_panel, SLOT(exclude()));
    connectChecked(view, SIGNAL(include()), m_panel, SLOT(include()));
    connectChecked(view, SIGNAL(restore()), m_panel, SLOT(restore()));
    connectChecked(view, SIGNAL(showAll(bool)), m_panel, SLOT(showAll(bool)));
    connectChecked(view, SIGNAL(showNegtiveDroplets(bool)), m_panel, SLOT(showNegtiveDroplets(bool)));
    connectChecked(view, SIGNAL(showExcludeDroplets(bool)), m_panel, SLOT(showExcludeDroplets(bool)));
    connectChecked(view, SIGNAL(showPositiveDroplets(bool)), m_panel, SLOT(showPositiveDroplets(bool)));
    connectChecked(view, SIGNAL(showSaturatedDroplets(bool)), m_panel, SLOT(showSaturatedDroplets(bool)));
    connectChecked(this, SIGNAL(selectWellChange(int)), view, SIGNAL(wellClicked(int)));
    connectChecked(view, SIGNAL(switchPopulation(QString)), this, SLOT(switchPopulation(QString)));
    // From updateData, once the old document is gone: the view takes its defaults, then the
    // page writes the new document's.
    connectChecked(this, SIGNAL(initQCData()), view, SIGNAL(initQCData()));
    connectChecked(view, SIGNAL(sigQcParamDialog()), this, SLOT(qcParamDialogSlot()));
    connectChecked(this, SIGNAL(updateConstractType(int)), view, SIGNAL(sigChannelConstractType(int)));
    connectChecked(this, SIGNAL(updateCurrentSelectChannel(int)), view, SIGNAL(updateCurrentSelectChannel(int)));
    connect(m_panel, &DropletPannel::updateQCParenmertes, this, &QualityControl::updateQCParameters);
    connect(m_table, &WellListView::sigWellSelectChange, this, &QualityControl::selectWellChanged);
    connect(hub, &SignalTransfer::updateWellComplete, this, &QualityControl::updateData);
}

void QualityControl::setRootProperty(const char *name, const QVariant &value)
{
    if (QObject *view = m_root.data())
        view->setProperty(name, value);
}

// ---- Reloads and selection -----------------------------------------------------------------

void QualityControl::updateData()
{
    WellListModel *wells = WellListModel::instance();
    // Nothing of the document shown so far stays: its image, markers, picks and ids go before
    // the view's defaults can ask the panel for anything.
    m_panel->showNothing();
    m_panel->resetState();
    m_populationId = 0;
    emit initQCData();
    emit openNewFile();
    if (wells->rowCount() > 0) {
        setRootProperty("uiEnable", true);
        // A 0-based index, corrected by selectWellChanged; nothing while no single well is
        // selected yet.
        const int selected = wells->getSelectWellID();
        const QVector<int> channels =
            selected > 0 ? BLLInstance::getInstance()->getWellChannelIndices(uint(selected)) : QVector<int>();
        if (!channels.isEmpty())
            setRootProperty("currentChannel", channels.first());
        if (wells->getSelectRow().isEmpty()) {
            const QModelIndex first = wells->index(0, 0);
            wells->setData(first, true, WellListModel::WellSelect);
            m_wellId = wells->data(first, WellListModel::WellIDRole).toUInt();
        } else {
            const int well = wells->getSelectWellID();
            m_wellId = well > 0 ? uint(well) : 0;
        }
        updateChannelStatus(m_wellId);
        selectWellChanged();
    } else {
        // No image of a well that is gone stays on screen.
        m_panel->clearScene();
        setRootProperty("uiEnable", false);
    }
    updateQCParameters();
}

void QualityControl::selectWellChanged()
{
    const int selected = WellListModel::instance()->getSelectWellID();
    m_wellId = selected > 0 ? uint(selected) : 0;
    if (QObject *view = m_root.data())
        m_channel = view->property("currentChannel").toUInt();
    emit selectWellChange(int(m_wellId));

    const QVector<int> channels = BLLInstance::getInstance()->getReAnalysis()->getWellChannelIndices(m_wellId);
    if (m_wellId == 0 || channels.isEmpty()) {
        showNoChannel();
        return;
    }
    if (!channels.contains(int(m_channel) - 1)) {
        m_channel = uint(channels.first() + 1);
        emit updateCurrentSelectChannel(int(m_channel));
    }
    m_panel->loadImage(m_wellId, m_channel);
    m_panel->setTitle(WellListModel::instance()->getSampleName(m_wellId));
    updateImageFigures();
    updateChannelStatus(m_wellId);
    updateQCParameters();
}

void QualityControl::showNoChannel()
{
    m_channel = 0;
    m_panel->showNothing();
    updateImageFigures();
    updateChannelStatus(m_wellId);
    updateQCParameters();
}

void QualityControl::refresh()
{
    if (m_channel == 0 || m_wellId == 0)
        return;
    WellListModel *wells = WellListModel::instance();
    if (wells->modelIsEmpty()) {
        m_panel->clearScene();
        emit defaultQCStatus();
        return;
    }
    const QList<uint> selected = wells->getSelectWellIDs();
    if (selected.isEmpty())
        return;
    m_wellId = selected.first();
    const QVector<int> channels = BLLInstance::getInstance()->getReAnalysis()->getWellChannelIndices(m_wellId);
    if (channels.isEmpty()) {
        emit selectWellChange(int(m_wellId));
        showNoChannel();
        return;
    }
    if (!channels.contains(int(m_channel) - 1)) {
        m_channel = uint(channels.first() + 1);
        emit updateCurrentSelectChannel(int(m_channel));
    }
    updateImageFigures();
    updateChannelStatus(m_wellId);
    emit selectWellChange(int(m_wellId));
    m_panel->loadImage(m_wellId, m_channel);
    // The well may have been renamed on Set Up meanwhile.
    m_panel->setTitle(wells->getSampleName(m_wellId));
    updateQCParameters();
}

void QualityControl::channelClicked(int channelID)
{
    if (channelID < 1 || channelID > 6)
        return;
    if (m_wellId != 0)
        m_panel->loadImage(m_wellId, uint(channelID));
    m_channel = uint(channelID);
    updateImageFigures();
    emit updateConstractType(m_panel->getAdjustType(m_channel));
    updateQCParameters();
}

void QualityControl::switchPopulation(QString populationName)
{
    m_populationId = WellListModel::instance()->getPopulationIDByName(populationName);
    if (m_populationId != 0)
        m_panel->switchPopulation(m_populationId);
}

void QualityControl::onAdjustBrightContrast(int type, double value)
{
    m_panel->adjustBrightContrast(type, value);
}

// ---- Figures -------------------------------------------------------------------------------

void QualityControl::updateImageFigures()
{
    if (!m_root)
        return;
    BLLInstance *bll = BLLInstance::getInstance();
    const LumaraAnalysisData::WellImageAnalysisInfo &record = bll->getDropletExclude()->getImgAnalysisInfo(m_wellId);
    const double sharpness = record.sharpness;
    const int droplets = record.droplets.size();
    const quint32 saturated = record.saturatedDrpltNum;
    setRootProperty("imageSharpness", QString::number(sharpness, 'f', 2));
    setRootProperty("dropletNumbers", QStringLiteral("%1").arg(double(droplets)));
    setRootProperty("saturatedObjects", QStringLiteral("%1").arg(double(saturated)));

    const LumaraAnalysisData::QcThresholdInfo limits = bll->getQcSettings();
    const uint reference = bll->getNumbersRef(m_wellId);
    setRootProperty("imageSharpnessColor", sharpness > double(limits.imageSharpness));
    setRootProperty("nbAnalyzableDropletsColor", uint(droplets) > reference);
    setRootProperty("nbSaturatedColor", limits.saturatedObjects > saturated);
}

void QualityControl::updateQCParameters()
{
    BLLInstance *bll = BLLInstance::getInstance();
    // The well's droplet number times the analysable ratio, an exact product kept exact.
    const quint32 threshold = bll->getNumbersRef(m_wellId);
    const quint32 effective = bll->getWellDropletNum(m_wellId);
    if (!m_root)
        return;
    setRootProperty("effDroplets", QString::number(effective));
    setRootProperty("effThld", QString::number(threshold));
    setRootProperty("dropletNumsValid", threshold <= effective);
    if (bll->getThldType() != LumaraAnalysisData::LineThreshold) {
        setRootProperty("posFu", QStringLiteral("---"));
        setRootProperty("qcparamEnable", false);
        return;
    }
    // The positive mean, strictly above the threshold, as the 1D page's.
    setRootProperty("posFu", QString::number(bll->getPFuMean(m_wellId, m_channel)));
    setRootProperty("qcparamEnable", true);
}

void QualityControl::updateChannelStatus(uint wellId)
{
    BLLInstance *bll = BLLInstance::getInstance();
    const QVector<int> channels = bll->getReAnalysis()->getWellChannelIndices(wellId);
    for (int i = 1; i <= 6; ++i) {
        const QByteArray status = QStringLiteral("channel%1Status").arg(i).toLatin1();
        const QByteArray dye = QStringLiteral("dyeName%1").arg(i).toLatin1();
        if (channels.contains(i - 1)) {
            const QString name = bll->getFluorophoreName(uint(i));
            setRootProperty(status.constData(), true);
            setRootProperty(dye.constData(), name.isEmpty() ? QStringLiteral("ref") : name);
        } else {
            setRootProperty(status.constData(), false);
            setRootProperty(dye.constData(), QStringLiteral("HHHHHH"));
        }
    }
    if (!channels.contains(int(m_channel) - 1))
        emit selectDefaultChannel();
}

// ---- Dialogs -------------------------------------------------------------------------------

void QualityControl::qcParamDialogSlot()
{
    auto *dialog = new QcParamaDialog;
    dialog->showQcParams(m_wellId, m_channel);
    runCentred(dialog);
}

void QualityControl::reCover()
{
    auto *question = new DialogMessage(
        1, QStringLiteral("This action will reset the current experiment back to the default state.Do you want to continue?"));
    if (runCentred(question) == 1)
        emit sigRecover();
}

void QualityControl::reAnalysis()
{
    WellListModel *wells = WellListModel::instance();
    if (wells->rowCount() <= 0 || m_reanalysing || LongJob::running())
        return;
    if (runCentred(new ReAnalysisDialog) != QDialog::Accepted)
        return;
    // A full re-analysis finds the droplets anew: the exclusions made by hand do not survive.
    if (wells->existExcludeDroplets()) {
        auto *question = new DialogMessage(1, QStringLiteral("The re-analysis detects the droplets again and clears the "
                                                             "droplets you excluded by hand. Do you want to continue?"));
        if (runCentred(question) != 1)
            return;
    }
    // The boxes ran event loops: another job may have begun meanwhile.
    if (!LongJob::begin(ReAnalysisJob))
        return;
    // The options are read here: the process-wide values belong to this thread.
    const int background = reanalysisBackgroundMode;
    const bool fluorescence = reanalysisFluorescenceCorrection;
    m_reanalysing = true;
    PoolHandover::give(PoolHandover::queue());
    QtConcurrent::run(QThreadPool::globalInstance(), [this, background, fluorescence] {
        PoolHandover::take(PoolHandover::queue());
        runReAnalysis(background, fluorescence);
    });
    emit beginReanalysis();
}

void QualityControl::reanalyse(int background, bool fluorescence)
{
    ReAnalysis *analysis = BLLInstance::getInstance()->getReAnalysis();
    analysis->setAdjustTypes(background, fluorescence ? 1 : 0);
    analysis->reanalyseAll();
}

void QualityControl::runReAnalysis(int background, bool fluorescence)
{
    bool succeeded = false;
    try {
        reanalyse(background, fluorescence);
        succeeded = true;
    } catch (const std::exception &error) {
        qCritical() << "Re-analysis failed:" << error.what();
    } catch (...) {
        qCritical() << "Re-analysis failed with an unknown error";
    }
    PoolHandover::give(PoolHandover::queue());
    QMetaObject::invokeMethod(
        this, [this, succeeded] { finishReAnalysis(succeeded); }, Qt::QueuedConnection);
}

void QualityControl::finishReAnalysis(bool succeeded)
{
    m_reanalysing = false;
    if (!succeeded) {
        // A successful job ends the busy state through the reload it announces; a failed one
        // announces nothing.
        emit SignalTransfer::getInstance()->endBusyStatus();
        auto *message = new DialogMessage(0, QStringLiteral("The re-analysis failed."));
        runCentred(message);
        LongJob::end(ReAnalysisJob);
        return;
    }
    updateQCParameters();
    LongJob::end(ReAnalysisJob);
}

void QualityControl::resizeEvent(QResizeEvent *event)
{
    // While a job rebuilds or replaces the images and droplet records they must not be read:
    // only the picture already shown is fitted.
    if (m_reanalysing || LongJob::running())
        m_panel->refitImage();
    else
        m_panel->reloadImage();
    QQuickWidget::resizeEvent(event);
}
