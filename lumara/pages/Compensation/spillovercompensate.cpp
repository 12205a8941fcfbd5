#include "pages/Compensation/spillovercompensate.h"

#include "bll/bllinstance.h"
#include "bll/reanalysis.h"
#include "bll/signaltransfer.h"
#include "io/poolhandover.h"
#include "pages/Compensation/backgrdmodel.h"
#include "pages/Compensation/compensationsteps.h"
#include "pages/Compensation/matrixmodel.h"
#include "pages/Compensation/setup2dplot.h"
#include "pages/Compensation/dyeemissionplot.h"
#include "shell/dialoghost.h"
#include "shell/dialogmessage.h"
#include "shell/globalvalues.h"
#include "shell/longjob.h"
#include "shell/wellheaderview.h"
#include "shell/welllistdelegate.h"
#include "shell/welllistmodel.h"
#include "shell/welllistview.h"
#include "spillovercompensationfileparser.h"

#include <QDateTime>
#include <QDebug>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QQmlContext>
#include <QQuickItem>
#include <QVBoxLayout>
#include <QtConcurrent>

#include <exception>
#include <memory>

using namespace CompensationSteps;

namespace {

int scaled(double pixels)
{
    return int(pixels * uiScaleFactor);
}

BLLInstance *bll()
{
    return BLLInstance::getInstance();
}

QString channelTitle(uint channel)
{
    const QString name = bll()->getFluorophoreName(channel);
    return name.isEmpty() ? QStringLiteral("Ref") : name;
}

} // namespace

SpillOverCompensate::SpillOverCompensate(QWidget *parent) : QQuickWidget(parent)
{
    rootContext()->setContextProperty(QStringLiteral("resoving"), uiScaleFactor);
    rootContext()->setContextProperty(QStringLiteral("MatrixModel"), MatrixModel::instance());
    rootContext()->setContextProperty(QStringLiteral("BackGrdModel"), BackGrdModel::instance());
    setResizeMode(QQuickWidget::SizeRootObjectToView);
    setSource(QUrl(QStringLiteral("qrc:/Compensation/qml/SpillOverCompensate.qml")));
    m_root = rootObject();

    // The well list.
    auto *header = new WellHeaderView(Qt::Horizontal, this);
    header->setFixedHeight(32);
    m_wellList = new WellListView(this);
    m_wellList->setHorizontalHeader(header);
    m_wellList->setItemDelegate(new WellListDelegate(m_wellList));
    m_wellList->setModel(WellListModel::instance());
    m_wellList->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);

    // The two scatter plots, hidden until there are pairs to show.
    m_plotHost = new QWidget(this);
    m_plotLayout = new QVBoxLayout(m_plotHost);
    m_plotLayout->setSpacing(scaled(10));
    m_plotLayout->setContentsMargins(scaled(10), scaled(10), scaled(10), scaled(10));
    m_plot1 = new SetUp2DPlot(m_plotHost);
    m_plot2 = new SetUp2DPlot(m_plotHost);
    m_plot1->setObjectName(QStringLiteral("compensationPlot1"));
    m_plot2->setObjectName(QStringLiteral("compensationPlot2"));
    m_plotLayout->addWidget(m_plot1);
    m_plotLayout->addWidget(m_plot2);
    m_plotLayout->addSpacing(scaled(10));
    for (SetUp2DPlot *plot : {m_plot1, m_plot2}) {
        for (QwtPlot::Axis axis : {QwtPlot::xBottom, QwtPlot::yLeft})
            plot->SetQwtPlotAutoAxis(axis, false);
        plot->hide();
    }

    // The dye spectra in percent over 400 to 1000 nm.
    m_spectrumHost = new QWidget(this);
    auto *spectrumLayout = new QVBoxLayout(m_spectrumHost);
    spectrumLayout->setContentsMargins(0, 0, 0, 0);
    m_spectrogram = new Spectrogram(m_spectrumHost);
    m_spectrogram->SetQwtPlotAutoAxis(QwtPlot::yLeft, false);
    m_spectrogram->SetQwtPlotAutoAxis(QwtPlot::xBottom, false);
    m_spectrogram->SetQwtPlotAxisInfo(QwtPlot::yLeft, 0, 100, 0);
    m_spectrogram->SetQwtPlotAxisInfo(QwtPlot::xBottom, 400, 1000, 0);
    spectrumLayout->addWidget(m_spectrogram);

    auto *layout = new QHBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(scaled(26), scaled(26), scaled(26), scaled(55));
    layout->addWidget(m_wellList, 1);
    layout->addSpacing(scaled(15));
    layout->addWidget(m_plotHost, 7);
    layout->addStretch(1);
    auto *spectrumColumn = new QVBoxLayout;
    spectrumColumn->setSpacing(0);
    // The matrix panel of the view shows in the space below the spectra.
    spectrumColumn->addWidget(m_spectrumHost, 4);
    spectrumColumn->addStretch(5);
    layout->addLayout(spectrumColumn, 6);
    m_plotHost->installEventFilter(this);
    m_spectrumHost->installEventFilter(this);

    connect(m_wellList, &WellListView::sigWellSelectChange, this, &SpillOverCompensate::updatePlot);
    connect(WellListModel::instance(), &WellListModel::updateComplete, this, &SpillOverCompensate::openNewFile);
    SignalTransfer *hub = SignalTransfer::getInstance();
    connect(hub, &SignalTransfer::editCompensationComplete, this, &SpillOverCompensate::updatePlot);
    // beginCompensation reaches the hub's beginBusyStatus through the hub's forwarder table.
    hub->forwardSignals(this);
    connectRoot();
}

SpillOverCompensate::~SpillOverCompensate()
{
    // A job holds its own matrix and the engine; only its end is this page's business.
    m_job.waitForFinished();
}

void SpillOverCompensate::connectRoot()
{
    if (!m_root)
        return;
    QObject *root = m_root;
    connect(root, SIGNAL(preCombitionPlot()), this, SLOT(preCombitionPlot()));
    connect(root, SIGNAL(nextCombitionPlot()), this, SLOT(nextCombitionPlot()));
    connect(root, SIGNAL(loadFile()), this, SLOT(loadMatrixFile()));
    connect(root, SIGNAL(saveFile()), this, SLOT(saveCompensationFile()));
    connect(root, SIGNAL(resetMatrix()), this, SLOT(resetMatrix()));
    connect(root, SIGNAL(applyMatrix()), this, SLOT(applyMatrix()));
    connect(root, SIGNAL(editCompensation()), this, SLOT(editCompensation()));
    connect(this, SIGNAL(initQMLPropety()), root, SIGNAL(initProperty()));
    connect(this, SIGNAL(applyCompensation()), root, SIGNAL(applyCompensation()));
    connect(this, SIGNAL(loadFileSuccessful()), root, SIGNAL(loadFileSuccessful()));
    connect(this, SIGNAL(disableNextBtn()), root, SIGNAL(disableNextBtn()));
    connect(this, SIGNAL(disablePreBtn()), root, SIGNAL(disablePreBtn()));
    connect(this, SIGNAL(switchEditStatus(bool)), root, SIGNAL(switchEditStatus(bool)));
    connect(this, SIGNAL(uiEnable()), root, SIGNAL(enableUI()));
}

// ---- Layout ------------------------------------------------------------------------------------

void SpillOverCompensate::resizeEvent(QResizeEvent *event)
{
    QQuickWidget::resizeEvent(event);
    placePanels();
}

bool SpillOverCompensate::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == m_plotHost || watched == m_spectrumHost)
        && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        placePanels();
    return QQuickWidget::eventFilter(watched, event);
}

void SpillOverCompensate::placePanels()
{
    if (!m_root || !m_plotHost || !m_spectrumHost)
        return;
    const QRect spectrum = m_spectrumHost->geometry();
    const int top = spectrum.bottom() + 1 + scaled(12);
    const QRect panel(spectrum.left(), top, spectrum.width(), qMax(0, height() - top - scaled(12)));
    m_root->setProperty("plotArea", QRectF(m_plotHost->geometry()));
    m_root->setProperty("panelArea", QRectF(panel));
}

// ---- Opening a package and paging through the pairs ---------------------------------------------

void SpillOverCompensate::openNewFile()
{
    emit initQMLPropety();
    combinations.clear();
    combinationIndex = 1;
    previewing = 0;
    m_previewPending = false;
    appliedMatrix = CompensationMatrix();

    const QByteArray &stored = bll()->getCompensationMatrixBuf();
    if (!stored.isEmpty())
        SpilloverCompensationFileParser().converToMatrix(stored, appliedMatrix);
    MatrixModel::instance()->setMatrix(appliedMatrix);

    combinations = channelPairs(bll()->getChannelsOfWells(WellListModel::instance()->getSelectWellIDs()));
    m_plot1->setVisible(!combinations.isEmpty());
    m_plot2->setVisible(combinations.size() > 1);

    const QList<uint> used = bll()->getAllUsedChannels();
    BackGrdModel::instance()->setChannels(used);
    MatrixModel::instance()->setChannels(used);

    emit switchEditStatus(used.size() >= 2);
    emit uiEnable();
    emit disablePreBtn();
    if (combinations.size() < 3)
        emit disableNextBtn();
    if (isVisible())
        updatePlot();
}

void SpillOverCompensate::updatePlot()
{
    if (combinations.isEmpty())
        return;
    const PlotPage page = turnPage(combinations.size(), combinationIndex, PageTurn::Redraw);
    showPage(page.first, page.second, page.index, page.disablePrevious, page.disableNext);
}

void SpillOverCompensate::nextCombitionPlot()
{
    const PlotPage page = turnPage(combinations.size(), combinationIndex, PageTurn::Next);
    showPage(page.first, page.second, page.index, page.disablePrevious, page.disableNext);
}

void SpillOverCompensate::preCombitionPlot()
{
    const PlotPage page = turnPage(combinations.size(), combinationIndex, PageTurn::Previous);
    showPage(page.first, page.second, page.index, page.disablePrevious, page.disableNext);
}

void SpillOverCompensate::showPage(int first, int second, int index, bool disablePrevious, bool disableNext)
{
    if (first < 0 || first >= combinations.size())
        return;
    combinationIndex = index;
    if (disablePrevious)
        emit disablePreBtn();
    if (disableNext)
        emit disableNextBtn();
    const bool both = second >= 0 && second < combinations.size();
    m_plot1->show();
    m_plot2->setVisible(both);
    // A job writes what the plots read; its end draws them again.
    if (m_jobRunning)
        return;
    drawPair(m_plot1, combinations.at(first));
    if (both)
        drawPair(m_plot2, combinations.at(second));
}

void SpillOverCompensate::drawPair(SetUp2DPlot *plot, const QPair<uint, uint> &pair)
{
    BLLInstance *facade = bll();
    ReAnalysis *engine = facade->getReAnalysis();
    QVector<QPointF> current;
    QVector<QPointF> before;
    for (uint well : WellListModel::instance()->getSelectWellIDs()) {
        const QVector<QPointF> stored = pairPoints(facade->getWellChannelGrayValues(well, pair.first),
                                                   facade->getWellChannelGrayValues(well, pair.second));
        if (!previewing) {
            current += stored;
            continue;
        }
        // The engine's preview holds every droplet of the record, the excluded ones too.
        const QSet<uint> excluded = facade->getExcludedDroplets(well);
        current += pairPoints(keptValues(engine->getWellChannelValues(well, pair.first), excluded),
                              keptValues(engine->getWellChannelValues(well, pair.second), excluded));
        before += stored;
    }

    plot->ClearPlot2DPoints();
    plot->SetTitleName(QwtPlot::xBottom, channelTitle(pair.first));
    plot->SetTitleName(QwtPlot::yLeft, channelTitle(pair.second));
    if (previewing)
        plot->AppendPlot2DPoints(before, QStringLiteral("#CCCCCC"), 2);
    plot->AppendPlot2DPoints(current, QStringLiteral("#555555"), 2);
    const AxisRanges ranges = axisRanges(current);
    plot->SetQwtPlotAxisInfo(QwtPlot::xBottom, ranges.xLower, ranges.xUpper, 0);
    plot->SetQwtPlotAxisInfo(QwtPlot::yLeft, ranges.yLower, ranges.yUpper, 0);
}

// ---- The matrix: load, edit, preview, apply, reset, save ----------------------------------------

namespace {

const QString CompensationJob = QStringLiteral("compensation");

// Another page's job holds the document: the matrix is left alone until it has ended.
bool busyElsewhere(bool ownJobRunning)
{
    return LongJob::running() && !ownJobRunning;
}

} // namespace

void SpillOverCompensate::loadMatrixFile()
{
    if (busyElsewhere(m_jobRunning))
        return;
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Open Compensation Matrix File"), QStringLiteral("."), tr("(*.cmtx)"));
    if (path.isEmpty())
        return;
    {
        // Only whether it opens: the matrix is read by the library alone.
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return;
    }
    if (!compensation.loadCompensationMatrixFile(path)) {
        showLibraryError();
        return;
    }
    emit loadFileSuccessful();
    MatrixModel::instance()->setMatrix(compensation.getCompensationMatrix());
    requestPreview();
}

void SpillOverCompensate::editCompensation()
{
    if (busyElsewhere(m_jobRunning))
        return;
    requestPreview();
}

void SpillOverCompensate::requestPreview()
{
    previewing = 1;
    if (m_jobRunning) {
        m_previewPending = true;
        return;
    }
    if (!LongJob::begin(CompensationJob))
        return;
    emit beginCompensation();
    compensation.setCompensationMatrix(workingMatrix(MatrixModel::instance()->getMatrix()));
    startJob(Job::Preview);
}

void SpillOverCompensate::applyMatrix()
{
    if (busyElsewhere(m_jobRunning))
        return;
    auto *question = new DialogMessage(1, tr("Do you want to re-compute the automated fluorescence thresholds? This "
                                             "is recommend after spillover compensation"));
    centreOnActiveWindow(question);
    const int answer = question->exec();
    question->deleteLater();
    if (answer == 0)
        return;

    // The apply replaces any preview still to come.
    waitForJob();
    m_previewPending = false;
    if (!LongJob::begin(CompensationJob))
        return;
    emit beginCompensation();
    emit SignalTransfer::getInstance()->compensationStatus(true);
    emit applyCompensation();
    const CompensationMatrix edited = MatrixModel::instance()->getMatrix();
    compensation.setCompensationMatrix(workingMatrix(edited));
    appliedMatrix = edited;
    previewing = 0;
    startJob(Job::Apply);
}

void SpillOverCompensate::resetMatrix()
{
    if (busyElsewhere(m_jobRunning))
        return;
    waitForJob();
    m_previewPending = false;
    appliedMatrix = CompensationMatrix();
    MatrixModel::instance()->setMatrix(appliedMatrix);
    bll()->resetCompensationMatrix();
    previewing = 0;
    updatePlot();
    emit SignalTransfer::getInstance()->compensationStatus(false);
}

void SpillOverCompensate::saveCompensationFile()
{
    const QString proposed = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-hh-mm-ss"));
    const QString path =
        QFileDialog::getSaveFileName(this, tr("Save Compensation Matrix File"), proposed, QStringLiteral("(*.cmtx)"));
    if (path.isEmpty())
        return;
    compensation.setCompensationMatrix(MatrixModel::instance()->getMatrix());
    if (!compensation.exportCompensationMatrixFile(path))
        showLibraryError();
}

void SpillOverCompensate::showLibraryError()
{
    QString text = compensation.getError();
    while (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    auto *message = new DialogMessage(0, text);
    centreOnActiveWindow(message);
    message->exec();
    message->deleteLater();
}

// ---- Jobs ------------------------------------------------------------------------------------------

void SpillOverCompensate::startJob(Job job)
{
    // The job's own copy: the page's matrix may change while it runs.
    auto matrix = std::make_shared<Ravelin::SpilloverCompensation>();
    matrix->setCompensationMatrix(compensation.getCompensationMatrix());
    const int id = ++m_jobId;
    m_jobRunning = true;
    PoolHandover::give(PoolHandover::queue());
    m_job = QtConcurrent::run([matrix, job] {
        PoolHandover::take(PoolHandover::queue());
        ReAnalysis *engine = BLLInstance::getInstance()->getReAnalysis();
        try {
            if (job == Job::Preview)
                engine->editCompensation(matrix.get());
            else
                engine->applyCompensation(matrix.get());
            PoolHandover::give(PoolHandover::queue());
            return;
        } catch (const std::exception &e) {
            qWarning() << "The compensation job failed:" << e.what();
        } catch (...) {
            qWarning() << "The compensation job failed";
        }
        // The engine's own end never came.
        PoolHandover::give(PoolHandover::queue());
        emit SignalTransfer::getInstance()->endBusyStatus();
    });
    auto *watcher = new QFutureWatcher<void>(this);
    connect(watcher, &QFutureWatcher<void>::finished, this, [this, watcher, id] {
        watcher->deleteLater();
        jobEnded(id);
    });
    watcher->setFuture(m_job);
}

void SpillOverCompensate::jobEnded(int id)
{
    // A job that was waited for has been dealt with already.
    if (id != m_jobId || !m_jobRunning)
        return;
    m_jobRunning = false;
    LongJob::end(CompensationJob);
    if (m_previewPending) {
        m_previewPending = false;
        requestPreview();
        return;
    }
    updatePlot();
}

void SpillOverCompensate::waitForJob()
{
    if (!m_jobRunning)
        return;
    m_job.waitForFinished();
    m_jobRunning = false;
    ++m_jobId;
    LongJob::end(CompensationJob);
}
