#include "pages/Export/exportpage.h"

#include "bll/signaltransfer.h"
#include "io/poolhandover.h"
#include "pages/Export/exportjob.h"
#include "platform/platform.h"
#include "shell/dialoghost.h"
#include "shell/dialogmessage.h"
#include "shell/globalvalues.h"
#include "shell/longjob.h"

#include <QApplication>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QQmlContext>
#include <QQuickItem>
#include <QThread>
#include <QtConcurrent>

namespace {

const QString ExportJobName = QStringLiteral("export");

} // namespace

ExportPage::ExportPage(QWidget *parent) : QQuickWidget(parent)
{
    loadScaledView(this, QUrl(QStringLiteral("qrc:/qml/Export.qml")));
    m_root = rootObject();
    QObject *root = m_root.data();
    if (root) {
        // The default folder of the platform: a fixed install path does not exist everywhere.
        root->setProperty("filePath", Platform::defaultExportFolder());
        connect(SignalTransfer::getInstance(), SIGNAL(updateWellComplete()), root, SIGNAL(openFile()));
        connect(root, SIGNAL(browse()), this, SLOT(browse()));
        connect(root, SIGNAL(exportClick(int)), this, SLOT(exportClicked(int)));
    }
}

ExportPage::~ExportPage()
{
    // The job reports to this page: it must not outlive it. A job waiting for this thread's
    // drawing or message would wait for ever: it is let go first.
    m_gui.close();
    m_job.waitForFinished();
}

void ExportPage::browse()
{
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Select a directory to export to."),
                                                             QStringLiteral("./"), QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return;
    if (!QDir(folder).exists()) {
        qDebug() << "path is not exist";
        return;
    }
    if (QObject *root = m_root.data())
        root->setProperty("filePath", folder);
}

void ExportPage::exportClicked(int total)
{
    if (!LongJob::begin(ExportJobName))
        return;
    SignalTransfer *hub = SignalTransfer::getInstance();
    emit hub->beginBusyStatus();
    const QString parent = m_root ? m_root->property("filePath").toString() : QString();
    m_exportFolderName = QStringLiteral("%1_%2").arg(QDateTime::currentDateTime().toString(QStringLiteral("MMddhhmmss")),
                                                     currentFileBaseName);
    // A parent that does not exist shows later as failing writers, each with its message.
    QDir(parent).mkdir(m_exportFolderName);
    // Everything the GUI-thread models hold is copied here, before the job starts.
    ExportSnapshot snapshot = ExportSnapshot::take(parent + QLatin1Char('/') + m_exportFolderName);
    PoolHandover::give(PoolHandover::queue());
    m_job = QtConcurrent::run(QThreadPool::globalInstance(), [this, snapshot, total]() mutable {
        PoolHandover::take(PoolHandover::queue());
        ExportJob job(std::move(snapshot), [this] { reportError(); });
        job.handOffTo(m_gui);
        try {
            job.run(total);
        } catch (...) {
            qWarning() << "The export ended early";
        }
        emit SignalTransfer::getInstance()->endBusyStatus();
        PoolHandover::give(PoolHandover::queue());
        QMetaObject::invokeMethod(this, [] { LongJob::end(ExportJobName); }, Qt::QueuedConnection);
    });
}

void ExportPage::reportError()
{
    m_gui.run([this] { doExportError(); });
}

void ExportPage::doExportError()
{
    auto *dialog = new DialogMessage(0, QStringLiteral("The export path is invalid or disk space is insufficient "));
    if (QWidget *window = QApplication::activeWindow())
        dialog->move(centredOn(window->geometry(), dialog->size()));
    dialog->exec();
    dialog->deleteLater();
}
