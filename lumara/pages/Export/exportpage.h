#pragma once
// The page where the user picks the outputs and the parent folder of an export. The export
// makes a new folder named after the time and the open file and writes into it on a pool
// thread, behind the main window's busy overlay.
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

signals:
    // A workbook or image could not be saved; blocks the emitting job until the message closes.
    void exportError();

private slots:
    void browse();
    void exportClicked(int total);
    void doExportError();

private:
    // Called by the job for each failing output kind.
    void reportError();

    QPointer<QObject> m_root;
    QString m_exportFolderName;
    QFuture<void> m_job;
};
