#pragma once
// The page where the user picks the outputs and the parent folder of an export. The export
// makes a new folder named after the time and the open file and writes into it on a pool
// thread, behind the main window's busy overlay.
#include "shell/guihandoff.h"

#include <QFuture>
#include <QPointer>
#include <QQuickWidget>

class ExportPage : public QQuickWidget {
    Q_OBJECT
public:
    explicit ExportPage(QWidget *parent = nullptr);
    ~ExportPage() override;

    QObject *root() const { return m_root.data(); }
    QString exportFolderName() const { return m_exportFolderName; }
    // The last export's job; tests wait for it.
    QFuture<void> lastJob() const { return m_job; }

private slots:
    void browse();
    void exportClicked(int total);
    void doExportError();

private:
    // Called by the job for each failing output kind: the message is shown on the GUI thread
    // and the job waits until it is closed.
    void reportError();

    QPointer<QObject> m_root;
    QString m_exportFolderName;
    QFuture<void> m_job;
    // The job's drawing and messages on this page's thread; closed before the page waits for
    // the job, so that neither waits for the other.
    GuiHandOff m_gui{this};
};
