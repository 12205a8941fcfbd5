#pragma once
// The main window driven as a user drives it: the navigation bar, the menu's Open, the title
// bar's buttons and the Quality Control page's re-analysis clicked with the mouse, keys typed
// to whatever has the keyboard. The window itself at a size that holds every page's controls.
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class MainWindows;
class QQuickItem;
class QQuickWidget;
class QualityControl;

namespace JourneyTest {

const int JobTimeoutMs = 120000;

// A new window, shown at 1920 x 1080 and active; null when it does not show.
std::unique_ptr<MainWindows> showWindow();
// Destroys the window, ending the process when that hangs.
void destroyWindow(std::unique_ptr<MainWindows> &window);

// One journey's window and its own temporary folder.
struct WindowSession {
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<MainWindows> window;
    // A fresh folder, no open file's name left from before, the window shown; false when it
    // does not show.
    bool start();
    // Waits for the window's job, then the window and the folder go.
    void end();
    // The fixture copied into the folder under the name; "" when that fails.
    QString copyOf(const QString &fixture, const QString &name) const;
};

// The title text of the menu bar.
QString title(MainWindows &window);
// The view's item of that name when it is shown and enabled, as a user needs it to click it.
QQuickItem *shownItem(QQuickWidget *view, const QString &objectName);
// The navigation bar's module, then its sub-page (when not -1), clicked; true when the page
// of the module is current.
bool visit(MainWindows &window, int primary, int sub = -1);
// A box closed: the window has the keyboard again, as a window manager gives it back (the
// offscreen platform does not).
bool backToWindow(MainWindows &window);
// The menu's Open and its file dialog; changes left unsaved are discarded when asked. True
// once the file is open and the window has the keyboard again.
bool openFromMenu(MainWindows &window, const QString &path);
// The title bar's button, clicked where it shows; whatever lies on top there takes the click.
void clickTitleBar(MainWindows &window, const QString &button);
// Keys as a user types them, to whatever has the keyboard.
void typeText(const QString &text);
QualityControl *qualityControl(MainWindows &window);
// The Export page: the outputs ticked (by their labels), the folder chosen through Browse, then
// Export, all by the mouse; the export is running after it.
void startExport(MainWindows &window, const QString &folder, const QStringList &outputs);
// The Quality Control page's Re_Analyze, its dialog answered with machine correction and Yes,
// by the mouse; the re-analysis is running after it.
void startReanalysis(MainWindows &window);

} // namespace JourneyTest
