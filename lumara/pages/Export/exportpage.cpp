#include "pages/Export/exportpage.h"

#include "bll/signaltransfer.h"
#include "pages/Export/exportjob.h"
#include "platform/platform.h"
#include "shell/dialoghost.h"
#include "shell/dialogmessage.h"
#include "shell/globalvalues.h"

#include <QApplication>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QQmlContext>
#include <QQuickItem>
#include <QThread>
#include <QtConcurrent>

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
    connect(this, &ExportPage::exportError, this, &ExportPage::doExportError, Qt::BlockingQueuedConnection);
}

ExportPage::~ExportPage()
{
    // The job reports to this page: it must not outlive it.
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
    SignalTransfer *hub = SignalTransfer::getInstance();
    emit hub->beginBusyStatus();
    const QString parent = m_root ? m_root->property("filePath").toString() : QString();
    m_exportFolderName = QStringLiteral("%1_%2").arg(QDateTime::currentDateTime().toString(QStringLiteral("MMddhhmmss")),
                                                     currentFileBaseName);
    // A parent that does not exist shows later as failing writers, each with its message.
    QDir(parent).mkdir(m_exportFolderName);
    // Everything the GUI-thread models hold is copied here, before the job starts.
    ExportSnapshot snapshot = ExportSnapshot::take(parent + QLatin1Char('/') + m_exportFolderName);
    m_job = QtConcurrent::run(QThreadPool::globalInstance(), [this, snapshot, total]() mutable {
        ExportJob job(std::move(snapshot), [this] { reportError(); });
        try {
            job.run(total);
        } catch (...) {
            qWarning() << "The export ended early";
        }
        emit SignalTransfer::getInstance()->endBusyStatus();
    });
}

void ExportPage::reportError()
{
    // A blocking queued call to one's own thread would never return.
    if (QThread::currentThread() == thread())
        doExportError();
    else
        emit exportError();
}

void ExportPage::doExportError()
{
    auto *dialog = new DialogMessage(0, QStringLiteral("The export path is invalid or disk space is insufficient "));
    if (QWidget *window = QApplication::activeWindow())
        dialog->move(centredOn(window->geometry(), dialog->size()));
    dialog->exec();
    dialog->deleteLater();
}
