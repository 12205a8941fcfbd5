#pragma once
// The program's one top-level window: frameless, on the screen the user last chose, with the
// menu bar on top, the navigation bar on the left and the page frame filling the rest. It
// owns the busy overlay and the two pop-ups under the menu bar, sets the user-interface scale
// and the pending plot action, opens and saves packages, and asks before closing with
// unsaved changes.
#include <QPointer>
#include <QString>
#include <QWidget>

#include <string>

class LongJob;
class MainWinFrame;
class MenuBar;
class Navibar;
class QQuickWidget;
class QVBoxLayout;
class RecentFileWidget;
class SaveImageDialog;

class MainWindows : public QWidget {
    Q_OBJECT
public:
    // startFile, when not empty, is opened a few seconds after the window is up.
    explicit MainWindows(QString startFile, QWidget *parent = nullptr);
    ~MainWindows() override;

    // Opening: checks that the file can be read, asks whether to save unsaved changes first,
    // shows the busy overlay and runs loadFile on a detached worker. The overlay goes when the
    // well list reports the wells complete, or when the open fails. Nothing happens while
    // another long job runs.
    void startOpenFile(const QString &path);
    // The worker's body: the business layer's open, then the user-interface steps handed to
    // the window's thread. path is UTF-8.
    static void loadFile(QPointer<MainWindows> window, std::string path);
    // Moves the path to the newest place of the recent-files table.
    void updateRecentRecord(const QString &path);
    // Save as: asks for a name and starts the save job. Returns whether a job started.
    bool saveFileAs();

    // The screen the user habitually uses (stored index, else the first): its top left corner
    // and available size.
    void loadUserHabit(QSize &size, QPoint &topLeft);
    // Stores the screen that holds the largest part of the window and gives the same for it.
    void saveUserHabit(QSize &size, QPoint &topLeft);

    MenuBar *menuBar() const;
    Navibar *naviBar() const;
    MainWinFrame *frame() const;
    QQuickWidget *busyOverlay() const;
    RecentFileWidget *recentFileWidget() const;
    SaveImageDialog *saveImageDialog() const;
    QString openFilePath() const { return m_filePath; }
    QString openFileName() const { return m_fileName; }
    // The one long job of the window; a close request waits for it.
    LongJob *longJob() const { return m_jobs; }
    bool isOpening() const;
    bool isSaving() const;
    // Whether the title carries the changed-data mark.
    bool hasUnsavedChanges() const;

signals:
    void initNaviBar();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // Every close goes through closeWindows' question unless closeWindows decided it.
    void closeEvent(QCloseEvent *event) override;
    // The busy overlay's clicks on the title bar's close button.
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void updateMenu(int primary, int sub);
    void closeWindows();
    void whatIs();
    void maxSize();
    void imageSaveMode();
    void saveImage();
    void open();
    void save(int type);
    void clearCurentRecord();
    void openCurrentFile(QString filePath);
    void openRecentFile();
    void saveAsCopy();
    void saveAsSVG();
    void saveAsPNG();
    void startWait();
    void endWait();
    void openFileSucceed();
    void openFileError();
    void hideDialog();
    void openAssignFile();
    void jobStarted();
    void jobEnded();
    void hubBusyBegan();
    void hubBusyEnded();

private:
    void initLayout();
    void initConnections();
    // Save (1) or Save as (any other type); returns whether a save job started.
    bool startSave(int type);
    bool runSaveJob(const QString &path);
    // Shows the box if the file cannot be opened or read; true when it can.
    bool checkReadable(const QString &path);
    // The changed-data question before an open; true when the open may go on now.
    bool settleChangesBeforeOpen(const QString &path);
    // After a job: the close or the open that waited for it.
    void afterJob();
    void startFileTimeout();
    // On the window's thread after the job: the overlay, the title, the result.
    void finishSave(bool saved, const QString &titleBefore);
    // On the window's thread after a successful open: the open file, the title, the recent
    // list and the first page, in this order.
    void takeOpenedFile(const QString &path);
    void openWorkerEnded(bool opened);
    void closeNow();
    void setImageAction(const QString &text, const QString &icon, int mode);

    QPointer<MenuBar> m_menuBar;
    QPointer<Navibar> m_naviBar;
    QPointer<MainWinFrame> m_frame;
    QPointer<QQuickWidget> m_busyOverlay;
    QPointer<RecentFileWidget> m_recentFileWidget;
    QPointer<SaveImageDialog> m_saveImageDialog;
    QVBoxLayout *m_layout = nullptr;
    LongJob *m_jobs = nullptr;
    QPointer<QWidget> m_focusBeforeJob;
    QString m_fileName;
    QString m_filePath;
    QString m_startFile;

    bool m_startFileSettled = false; // the user has begun an open: the start file is not opened
    bool m_closeRequested = false; // a close waits for the running job
    bool m_closeAfterSave = false; // the close question's Yes: close once the save succeeded
    QString m_openAfterSave; // the open question's Yes: open this once the save succeeded
    bool m_closeApproved = false;
    bool m_closePressedUnderOverlay = false; // a press on the close button, under the overlay
};
