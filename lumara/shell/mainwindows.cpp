#include "shell/mainwindows.h"

#include "bll/bllinstance.h"
#include "bll/signaltransfer.h"
#include "io/poolhandover.h"
#include "platform/crashdump.h"
#include "platform/platform.h"
#include "shell/database.h"
#include "shell/dialoghost.h"
#include "shell/dialogmessage.h"
#include "shell/globalvalues.h"
#include "shell/logfile.h"
#include "shell/longjob.h"
#include "shell/mainwinframe.h"
#include "shell/menubar.h"
#include "shell/navibar.h"
#include "shell/packagefile.h"
#include "shell/recentfilemodel.h"
#include "shell/recentfilewidget.h"
#include "shell/saveimagedialog.h"
#include "shell/windowplacement.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDebug>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QQuickWidget>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent>

#include <exception>
#include <memory>
#include <thread>

namespace {

// The user-habit file; its screen entry is keyed by the file's own path text.
QString habitPath()
{
    return Platform::machinePath(QStringLiteral("userhabit"));
}

std::unique_ptr<QSettings> habits()
{
    auto settings = std::make_unique<QSettings>(habitPath(), QSettings::IniFormat);
    settings->setIniCodec("UTF-8");
    return settings;
}

const char *const FilePathKey = "FilePath";

// The window's long jobs; pages name theirs where they take the slot.
const QString OpenJob = QStringLiteral("open");
const QString SaveJob = QStringLiteral("save");
// A busy period that the hub announced without a job taking the slot.
const QString HubBusy = QStringLiteral("busy");

} // namespace

MainWindows::MainWindows(QString startFile, QWidget *parent)
    : QWidget(parent)
    , m_filePath(std::move(startFile))
    , m_startFile(m_filePath)
{
    QSize available;
    QPoint topLeft;
    loadUserHabit(available, topLeft);
    uiScaleFactor = scaleForWidth(available.width(), false);

    setAutoFillBackground(true);
    setWindowFlags(Qt::FramelessWindowHint);
    resize(available.width() - 1, available.height() - 1);
    move(topLeft.x() + 1, topLeft.y() + 1);

    m_jobs = new LongJob(this);
    initLayout();
    initConnections();
    if (!m_startFile.isEmpty())
        QTimer::singleShot(3000, this, &MainWindows::startFileTimeout);
    Platform::installCrashDumpFilter(logFileDescriptor());
}

// The start file opens only if the user has not begun an open of their own by then.
void MainWindows::startFileTimeout()
{
    if (m_startFileSettled)
        return;
    // A box of the user's is up: the start file waits for it.
    if (QApplication::activeModalWidget() || m_jobs->isRunning()) {
        QTimer::singleShot(200, this, &MainWindows::startFileTimeout);
        return;
    }
    openAssignFile();
}

MainWindows::~MainWindows() = default;

MenuBar *MainWindows::menuBar() const
{
    return m_menuBar;
}

Navibar *MainWindows::naviBar() const
{
    return m_naviBar;
}

MainWinFrame *MainWindows::frame() const
{
    return m_frame;
}

QQuickWidget *MainWindows::busyOverlay() const
{
    return m_busyOverlay;
}

RecentFileWidget *MainWindows::recentFileWidget() const
{
    return m_recentFileWidget;
}

SaveImageDialog *MainWindows::saveImageDialog() const
{
    return m_saveImageDialog;
}

void MainWindows::initLayout()
{
    m_menuBar = new MenuBar;
    m_naviBar = new Navibar;
    m_frame = new MainWinFrame;
    m_menuBar->setMinimumHeight(int(40 * uiScaleFactor));
    for (QWidget *part : {static_cast<QWidget *>(m_menuBar), static_cast<QWidget *>(m_naviBar),
                          static_cast<QWidget *>(m_frame)})
        part->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);

    auto *row = new QHBoxLayout;
    row->setSpacing(0);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_naviBar, 1);
    row->addWidget(m_frame, 10);

    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    m_layout->addWidget(m_menuBar, 1);
    m_layout->addLayout(row, 26);

    m_busyOverlay = new QQuickWidget(this);
    m_busyOverlay->setGeometry(0, 0, width(), height());
    m_busyOverlay->setAttribute(Qt::WA_TranslucentBackground);
    m_busyOverlay->setAttribute(Qt::WA_AlwaysStackOnTop);
    m_busyOverlay->setClearColor(Qt::transparent);
    loadScaledView(m_busyOverlay, QUrl(QStringLiteral("qrc:/Others/qml/BusyStatus.qml")));
    m_busyOverlay->hide();
    m_busyOverlay->installEventFilter(this);

    m_recentFileWidget = new RecentFileWidget(this);
    m_saveImageDialog = new SaveImageDialog(this);
    hideDialog();
}

void MainWindows::initConnections()
{
    connect(m_naviBar, &Navibar::updateMenuLeve, this, &MainWindows::updateMenu);
    connect(m_naviBar, &Navibar::naviBarClicked, this, &MainWindows::hideDialog);
    connect(this, &MainWindows::initNaviBar, m_naviBar, &Navibar::initNaviBar);

    connect(m_menuBar, &MenuBar::closeWindows, this, &MainWindows::closeWindows);
    connect(m_menuBar, &MenuBar::hideApp, this, &QWidget::showMinimized);
    connect(m_menuBar, &MenuBar::whatIs, this, &MainWindows::whatIs);
    connect(m_menuBar, &MenuBar::maxSize, this, &MainWindows::maxSize);
    connect(m_menuBar, &MenuBar::imageSaveMode, this, &MainWindows::imageSaveMode);
    connect(m_menuBar, &MenuBar::saveImage, this, &MainWindows::saveImage);
    connect(m_menuBar, &MenuBar::open, this, &MainWindows::open);
    connect(m_menuBar, &MenuBar::save, this, &MainWindows::save);
    connect(m_menuBar, &MenuBar::openRecentFile, this, &MainWindows::openRecentFile);

    connect(m_saveImageDialog, &SaveImageDialog::clickCopy, this, &MainWindows::saveAsCopy);
    connect(m_saveImageDialog, &SaveImageDialog::clickSvg, this, &MainWindows::saveAsSVG);
    connect(m_saveImageDialog, &SaveImageDialog::clickSave, this, &MainWindows::saveAsPNG);

    connect(m_recentFileWidget, &RecentFileWidget::clearCurentRecord, this, &MainWindows::clearCurentRecord);
    connect(m_recentFileWidget, &RecentFileWidget::openCurrentFile, this, &MainWindows::openCurrentFile);

    connect(m_jobs, &LongJob::started, this, &MainWindows::jobStarted);
    connect(m_jobs, &LongJob::ended, this, &MainWindows::jobEnded);

    // The jobs take the slot themselves and announce their busy periods on the hub as well;
    // a period the hub announces with the slot free is a job of its own.
    SignalTransfer *hub = SignalTransfer::getInstance();
    connect(hub, &SignalTransfer::beginBusyStatus, this, &MainWindows::hubBusyBegan);
    connect(hub, &SignalTransfer::updateWellComplete, this, &MainWindows::hubBusyEnded);
    connect(hub, &SignalTransfer::endBusyStatus, this, &MainWindows::hubBusyEnded);
    connect(hub, &SignalTransfer::openFileError, this, &MainWindows::openFileError);
}

bool MainWindows::isOpening() const
{
    return m_jobs->name() == OpenJob;
}

bool MainWindows::isSaving() const
{
    return m_jobs->name() == SaveJob;
}

bool MainWindows::hasUnsavedChanges() const
{
    const QStringList title = m_menuBar->property(QStringLiteral("fileName")).split(QLatin1Char(' '));
    return title.size() > 1 && title.constFirst() == QLatin1String("*");
}

// ---- Screen, scale and the window's own events ------------------------------------------------

void MainWindows::loadUserHabit(QSize &size, QPoint &topLeft)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    const int stored = habits()->value(habitPath(), QStringLiteral("0")).toInt();
    QScreen *screen = screens.value(habitScreenIndex(stored, screens.size()));
    if (!screen)
        return;
    topLeft = screen->geometry().topLeft();
    size = screen->availableGeometry().size();
}

void MainWindows::saveUserHabit(QSize &size, QPoint &topLeft)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    QList<QRect> areas;
    for (const QScreen *screen : screens)
        areas.append(screen->geometry());
    const int index = chooseScreen(geometry(), areas);
    habits()->setValue(habitPath(), index);
    qDebug().noquote() << QStringLiteral("CCCCCCCCCCCCCCCCCCCCCCC ") + QString::number(index);
    QScreen *screen = screens.value(index);
    if (!screen)
        return;
    topLeft = screen->geometry().topLeft();
    size = screen->availableGeometry().size();
}

void MainWindows::maxSize()
{
    QSize size;
    QPoint topLeft;
    saveUserHabit(size, topLeft);
    uiScaleFactor = scaleForWidth(size.width(), false);
    move(topLeft.x() + 1, topLeft.y() + 1);
    resize(size);
}

void MainWindows::resizeEvent(QResizeEvent *event)
{
    uiScaleFactor = scaleForWidth(width(), true);
    if (m_busyOverlay)
        m_busyOverlay->setGeometry(0, 0, width(), height());
    QWidget::resizeEvent(event);
}

void MainWindows::mousePressEvent(QMouseEvent *event)
{
    hideDialog();
    QWidget::mousePressEvent(event);
}

void MainWindows::updateMenu(int primary, int sub)
{
    m_frame->switchPage(primary, sub);
}

// ---- Pop-ups and the pending plot action -------------------------------------------------------

void MainWindows::hideDialog()
{
    if (m_recentFileWidget)
        m_recentFileWidget->hide();
    if (m_saveImageDialog)
        m_saveImageDialog->hide();
}

void MainWindows::whatIs()
{
    imageActionMode = 4;
    hideDialog();
}

void MainWindows::imageSaveMode()
{
    if (m_saveImageDialog->isVisible()) {
        hideDialog();
        return;
    }
    m_saveImageDialog->setGeometry(m_menuBar->imageSavePosition(), m_menuBar->height(), int(161 * uiScaleFactor),
                                   int(174 * uiScaleFactor));
    m_saveImageDialog->show();
}

void MainWindows::setImageAction(const QString &text, const QString &icon, int mode)
{
    m_menuBar->setProperty(QStringLiteral("imageSaveText"), text);
    m_menuBar->setProperty(QStringLiteral("imageSaveIcon"), icon);
    imageActionMode = mode;
    hideDialog();
}

void MainWindows::saveAsPNG()
{
    setImageAction(QStringLiteral("Save Image"), QStringLiteral("qrc:/assets/png_icon1.png"), 1);
}

void MainWindows::saveAsSVG()
{
    setImageAction(QStringLiteral("Save Vector Image"), QStringLiteral("qrc:/assets/svg_icon1.png"), 2);
}

void MainWindows::saveAsCopy()
{
    setImageAction(QStringLiteral("Copy Image"), QStringLiteral("qrc:/assets/copy_icon1.png"), 3);
}

// The main image button repeats the kind chosen last; copying is the fallback.
void MainWindows::saveImage()
{
    const QString kind = m_menuBar->property(QStringLiteral("imageSaveText"));
    if (kind == QLatin1String("Save Image"))
        saveAsPNG();
    else if (kind == QLatin1String("Save Vector Image"))
        saveAsSVG();
    else
        saveAsCopy();
}

void MainWindows::openRecentFile()
{
    if (m_recentFileWidget->isVisible()) {
        hideDialog();
        return;
    }
    RecentFileModel *model = RecentFileModel::instance();
    model->reload();
    const int rows = model->rowCount();
    m_recentFileWidget->setGeometry(m_menuBar->recentFilePosition() + 12, 41, 240, rows < 21 ? rows * 28 : 560);
    m_recentFileWidget->show();
}

// ---- Busy overlay and the one long job ---------------------------------------------------------

void MainWindows::startWait()
{
    m_busyOverlay->raise();
    m_busyOverlay->show();
}

void MainWindows::endWait()
{
    m_busyOverlay->hide();
}

void MainWindows::openFileSucceed()
{
    m_busyOverlay->hide();
}

// Nothing under the overlay takes input while a job runs: the keyboard goes to the overlay,
// and the bars and pages are disabled, so that neither a key nor a click starts another job.
void MainWindows::jobStarted()
{
    hideDialog();
    startWait();
    QWidget *focused = QApplication::focusWidget();
    m_focusBeforeJob = focused && isAncestorOf(focused) ? focused : nullptr;
    for (QWidget *part : {static_cast<QWidget *>(m_menuBar), static_cast<QWidget *>(m_naviBar),
                          static_cast<QWidget *>(m_frame)}) {
        if (part)
            part->setEnabled(false);
    }
    m_busyOverlay->setFocusPolicy(Qt::StrongFocus);
    m_busyOverlay->setFocus(Qt::OtherFocusReason);
}

void MainWindows::jobEnded()
{
    endWait();
    for (QWidget *part : {static_cast<QWidget *>(m_menuBar), static_cast<QWidget *>(m_naviBar),
                          static_cast<QWidget *>(m_frame)}) {
        if (part)
            part->setEnabled(true);
    }
    if (m_focusBeforeJob && m_focusBeforeJob->isEnabled() && m_focusBeforeJob->isVisible())
        m_focusBeforeJob->setFocus(Qt::OtherFocusReason);
    m_focusBeforeJob = nullptr;
    // What waited for the job goes on once whoever ended it has finished its own steps.
    QTimer::singleShot(0, this, &MainWindows::afterJob);
}

void MainWindows::hubBusyBegan()
{
    if (!m_jobs->isRunning())
        m_jobs->take(HubBusy);
}

void MainWindows::hubBusyEnded()
{
    m_jobs->release(HubBusy);
}

void MainWindows::afterJob()
{
    if (m_jobs->isRunning())
        return;
    // A box is up (a job's last message, a question): go on once it is answered.
    if (QApplication::activeModalWidget()) {
        if (m_closeRequested || !m_openAfterSave.isEmpty())
            QTimer::singleShot(100, this, &MainWindows::afterJob);
        return;
    }
    if (m_closeRequested) {
        m_closeRequested = false;
        m_openAfterSave.clear();
        closeWindows();
        return;
    }
    if (!m_openAfterSave.isEmpty()) {
        const QString path = m_openAfterSave;
        m_openAfterSave.clear();
        startOpenFile(path);
    }
}

// ---- Opening -----------------------------------------------------------------------------------

namespace {

void showMessage(QWidget *window, const QString &text)
{
    DialogMessage box(0, text);
    box.move(centredOn(window->geometry(), box.size()));
    box.exec();
}

} // namespace

void MainWindows::open()
{
    hideDialog();
    if (m_jobs->isRunning())
        return;
    m_startFileSettled = true;
    const QString last = habits()->value(QLatin1String(FilePathKey), QString()).toString();
    QFileDialog dialog(this, tr("Open File"), last, tr("*.expzip *.arlx *.imrs"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString chosen = dialog.selectedFiles().constFirst();
    habits()->setValue(QLatin1String(FilePathKey), QFileInfo(chosen).absoluteFilePath());
    startOpenFile(chosen);
    RecentFileModel::instance()->reload();
}

void MainWindows::openCurrentFile(QString filePath)
{
    if (m_jobs->isRunning()) {
        hideDialog();
        return;
    }
    qDebug().noquote() << QStringLiteral("Open Current File ") + filePath;
    startOpenFile(filePath);
    hideDialog();
}

void MainWindows::openAssignFile()
{
    m_filePath.replace(QLatin1Char('\\'), QLatin1Char('/'));
    openCurrentFile(m_filePath);
}

bool MainWindows::checkReadable(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        showMessage(this, tr("Cannot open File"));
        return false;
    }
    if (!file.isReadable()) {
        showMessage(this, tr("Cannot read the file"));
        return false;
    }
    return true;
}

// Opening replaces the document: changes not yet saved are asked about as a close asks. Yes
// opens once the save has succeeded, No opens now, Cancel (and Escape) keeps the document.
bool MainWindows::settleChangesBeforeOpen(const QString &path)
{
    if (!hasUnsavedChanges())
        return true;
    DialogMessage box(2, tr("Do you want to save you modify? "));
    box.move(centredOn(geometry(), box.size()));
    const int answer = box.exec();
    if (answer == 0)
        return true;
    if (answer == 1) {
        m_openAfterSave = path;
        if (!startSave(1))
            m_openAfterSave.clear();
    }
    return false;
}

void MainWindows::startOpenFile(const QString &path)
{
    if (m_jobs->isRunning())
        return;
    // Whatever started this open, the start file is not opened after it.
    m_startFileSettled = true;
    if (!checkReadable(path) || !settleChangesBeforeOpen(path))
        return;
    // The question's box ran an event loop: a job may have begun meanwhile.
    if (!m_jobs->take(OpenJob))
        return;
    qDebug().noquote() << QStringLiteral("Open File Path: ") + path;
    std::thread(&MainWindows::loadFile, QPointer<MainWindows>(this), path.toStdString()).detach();
}

void MainWindows::loadFile(QPointer<MainWindows> window, std::string path)
{
    const QString filePath = QString::fromStdString(path);
    bool opened = false;
    bool threw = false;
    try {
        opened = BLLInstance::getInstance()->openFile(filePath);
    } catch (const std::exception &e) {
        qWarning() << "loadFile():" << e.what();
        threw = true;
    } catch (...) {
        qWarning("loadFile(): unknown exception");
        threw = true;
    }
    // The window's steps run on its own thread, in this order. The hub lives there to the end
    // of the program, so it carries the call even when the window is gone.
    PoolHandover::give(PoolHandover::queue());
    QMetaObject::invokeMethod(
        SignalTransfer::getInstance(),
        [window, filePath, opened, threw] {
            if (!window)
                return;
            if (opened)
                window->takeOpenedFile(filePath);
            // Without an exception the business layer has reported a failure itself.
            if (threw)
                window->openFileError();
            if (window)
                window->openWorkerEnded(opened);
        },
        Qt::QueuedConnection);
}

void MainWindows::takeOpenedFile(const QString &path)
{
    qDebug().noquote() << QStringLiteral("_fileName = ") + path;
    m_filePath = path;
    m_fileName = fileNameOfPath(path);
    currentFileBaseName = baseNameOfFile(m_fileName);
    m_menuBar->fileName(currentFileBaseName);
    updateRecentRecord(path);
    emit initNaviBar();
}

void MainWindows::openWorkerEnded(bool)
{
    // The wells were reloaded before this step arrived: the open ends here, on every road.
    m_jobs->release(OpenJob);
}

void MainWindows::openFileError()
{
    m_busyOverlay->hide();
    showMessage(this, QStringLiteral("Open File Error! "));
}

// ---- Recent files ------------------------------------------------------------------------------

void MainWindows::updateRecentRecord(const QString &path)
{
    DataBase *database = DataBase::instance();
    if (database->exists(DataBase::checkStatement(), {path}))
        database->exec(DataBase::removeStatement(), {path});
    database->exec(DataBase::insertStatement(), {path});
}

void MainWindows::clearCurentRecord()
{
    DataBase::instance()->exec(DataBase::clearStatement());
    RecentFileModel::instance()->reload();
}

// ---- Saving ------------------------------------------------------------------------------------

void MainWindows::save(int type)
{
    startSave(type);
}

bool MainWindows::startSave(int type)
{
    if (m_jobs->isRunning())
        return false;
    if (type != 1)
        return saveFileAs();
    switch (saveRoadFor(m_fileName)) {
    case SaveRoad::InPlace:
        BLLInstance::getInstance()->beginSaveFile();
        return runSaveJob(m_filePath);
    case SaveRoad::SaveAs:
        return saveFileAs();
    case SaveRoad::Nothing:
        break;
    }
    return false;
}

bool MainWindows::saveFileAs()
{
    if (m_jobs->isRunning())
        return false;
    BLLInstance *bll = BLLInstance::getInstance();
    bll->beginSaveFile();

    const QString proposed = m_filePath.isEmpty()
                                 ? QString()
                                 : QFileInfo(m_filePath).absolutePath() + QLatin1Char('/') + baseNameOfFile(m_fileName);
    QFileDialog dialog(this, tr("Save File"), proposed, tr("arlxfile(*.arlx)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // The document saves ".arlx" only, and this dialog does not add the filter's extension.
    dialog.setDefaultSuffix(QStringLiteral("arlx"));
    const QString chosen = dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    if (chosen.isEmpty()) {
        bll->endSaveFile();
        return false;
    }
    if (!canWriteBeside(chosen)) {
        showMessage(this, tr("Please confirm whether you have permission to write!"));
        bll->endSaveFile();
        return false;
    }
    return runSaveJob(chosen);
}

bool MainWindows::runSaveJob(const QString &path)
{
    // The dialogs before ran event loops: a job may have begun meanwhile.
    if (!m_jobs->take(SaveJob)) {
        BLLInstance::getInstance()->endSaveFile();
        return false;
    }
    const QString titleBefore = m_menuBar->property(QStringLiteral("fileName"));
    auto *watcher = new QFutureWatcher<bool>(this);
    connect(watcher, &QFutureWatcher<bool>::finished, this, [this, watcher, titleBefore] {
        const bool saved = watcher->result();
        watcher->deleteLater();
        finishSave(saved, titleBefore);
    });
    PoolHandover::give(PoolHandover::queue());
    watcher->setFuture(QtConcurrent::run(QThreadPool::globalInstance(), [path] {
        PoolHandover::take(PoolHandover::queue());
        BLLInstance *bll = BLLInstance::getInstance();
        bool saved = false;
        try {
            saved = bll->saveFile(path);
        } catch (const std::exception &e) {
            qWarning() << "save job:" << e.what();
        } catch (...) {
            qWarning("save job: unknown exception");
        }
        try {
            bll->endSaveFile();
        } catch (...) {
            qWarning("save job: the save did not end cleanly");
        }
        PoolHandover::give(PoolHandover::queue());
        return saved;
    }));
    m_menuBar->fileName(currentFileBaseName);
    return true;
}

void MainWindows::finishSave(bool saved, const QString &titleBefore)
{
    const bool closeAfter = m_closeAfterSave && saved;
    m_closeAfterSave = false;
    // A failed save keeps the document: nothing is opened over it.
    if (!saved)
        m_openAfterSave.clear();
    if (saved) {
        m_menuBar->fileName(m_fileName);
    } else {
        m_menuBar->fileName(titleBefore);
        endWait();
        showMessage(this, QStringLiteral("Save File Error! "));
    }
    if (closeAfter) {
        m_openAfterSave.clear();
        m_closeRequested = true;
    }
    m_jobs->release(SaveJob);
}

// ---- Closing -----------------------------------------------------------------------------------

void MainWindows::closeWindows()
{
    // Nothing a job uses goes while it runs: the close goes on once it has ended.
    if (m_jobs->isRunning()) {
        m_closeRequested = true;
        return;
    }
    if (hasUnsavedChanges()) {
        DialogMessage box(2, tr("Do you want to save you modify? "));
        box.move(centredOn(geometry(), box.size()));
        const int answer = box.exec();
        if (answer == 1)
            m_closeAfterSave = startSave(1);
        else if (answer == 0)
            closeNow();
        return;
    }
    closeNow();
}

// The overlay covers the title bar too and keeps every click from it, but the window's own
// close button must still be heard: a click on it (press and release on the button, as the
// button itself takes a click) asks for the close, which waits for the job like the window
// manager's. Every other click stays with the overlay.
bool MainWindows::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_busyOverlay || !m_menuBar)
        return QWidget::eventFilter(watched, event);
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick)
        return QWidget::eventFilter(watched, event);
    const auto *mouse = static_cast<QMouseEvent *>(event);
    const QRect button = m_menuBar->closeButtonRect().translated(m_menuBar->mapTo(this, QPoint(0, 0)));
    const QPoint at = m_busyOverlay->mapTo(this, mouse->pos());
    const bool onButton = mouse->button() == Qt::LeftButton && button.contains(at);
    if (type == QEvent::MouseButtonRelease) {
        const bool clicked = onButton && m_closePressedUnderOverlay;
        m_closePressedUnderOverlay = false;
        if (clicked)
            closeWindows();
    } else {
        m_closePressedUnderOverlay = onButton;
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindows::closeNow()
{
    m_closeApproved = true;
    close();
}

void MainWindows::closeEvent(QCloseEvent *event)
{
    if (m_closeApproved) {
        QWidget::closeEvent(event);
        return;
    }
    event->ignore();
    QTimer::singleShot(0, this, &MainWindows::closeWindows);
}
