#pragma once
// The page tour: starts the program as main does, opens a package, then visits one stop after
// the other and grabs each to "<out>/NN-name.png". A stop fails when its grab is one colour or
// it throws; the run fails on any failed stop or on a QML warning or error logged meanwhile.
#include <QImage>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class MainWindows;
class QSplashScreen;
class QWidget;

struct TourContext {
    QSplashScreen *splash = nullptr; // shown at start-up, until its stop closes it
    MainWindows *window = nullptr;   // the program's window, the package open in it
    QString packagePath;
    int wellCount = 0;

    // Goes to a module's sub-page as the navigation bar's own click does, and lets the page
    // draw. Returns the module's page.
    QWidget *visit(int primary, int sub);
};

class Tour {
public:
    using Grab = std::function<QImage(TourContext &)>;

    // Stops run in the order they are added; the number in the file name follows it.
    void add(const QString &name, Grab grab);

    // Runs every stop; returns the number of failures. Prints each PNG's path.
    int run(TourContext &context, const QString &outFolder);

    // The PNG of every stop in outFolder, in order.
    QStringList pictures(const QString &outFolder) const;

private:
    struct Stop {
        QString name;
        Grab grab;
    };
    QVector<Stop> m_stops;
};

// Every stop of the program, in a fixed order: one function per area (stops_*.cpp).
void registerStops(Tour &tour);
void addStartUpStops(Tour &tour);
void addMainWindowStops(Tour &tour);
void addSharedDialogStops(Tour &tour);
void addWellListStops(Tour &tour);
void addChannelPlotStops(Tour &tour);
void addPlot2DStops(Tour &tour);
void addDropletViewerStops(Tour &tour);
void addExploreStops(Tour &tour);
void addViewResultStops(Tour &tour);
void addSetUpStops(Tour &tour);
void addQualityControlStops(Tour &tour);
void addPopulationStops(Tour &tour);
void addExportStops(Tour &tour);

// Shows the window, waits until it is on screen and drawn, and grabs it (QML included).
QImage grabWindow(QWidget *window);

bool isOneColour(const QImage &image);
