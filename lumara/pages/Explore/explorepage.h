#pragma once
// The explore page: one well's droplet image beside dot plots of the same droplets. The user
// picks the well in the table, the image channel in the tool bar and a plot (one channel, a
// pair or a triple) in a drop-down; a threshold side, a rectangle or a population picked there
// marks the matching droplets on the image. The tool bar (QML, the root item of this view)
// adjusts the image, excludes and includes droplets and sets the markers' opacity; the plots
// then show the kept droplets only.
#include "pages/Explore/exploreplotentry.h"

#include <QPair>
#include <QPointer>
#include <QQuickWidget>
#include <QVector>

class Explore1DDot;
class Explore2DDot;
class ExploreView;
class QLabel;
class QuorinBox;
class WellHeaderView;
class WellListDelegate;
class WellListView;

class ExplorePage : public QQuickWidget {
    Q_OBJECT
public:
    explicit ExplorePage(QWidget *parent = nullptr);
    ~ExplorePage() override;

    // Fills the page from the shared well list; nothing while it has no wells.
    void refresh();

    Q_INVOKABLE void initMarker(bool selectAll);
    Q_INVOKABLE void initMarker();
    // Shows the plots of that entry, fed with the selected well's kept droplets.
    void updatePlots(const QString &plotName);

    // ---- Read by tests and the tour ------------------------------------------------------
    QObject *toolBar() const { return root; }
    ExploreView *imageView() const { return view; }
    WellListView *wells() const { return wellTable; }
    QuorinBox *populations() const { return populationBox; }
    QuorinBox *plots() const { return plotBox; }
    QLabel *populationSign() const { return populationDot; }
    Explore1DDot *plot1DView() const { return plot1D; }
    Explore2DDot *plotXYView() const { return plotXY; }
    Explore2DDot *plotXZView() const { return plotXZ; }
    Explore2DDot *plotYZView() const { return plotYZ; }
    QWidget *holder(int index) const; // 0 1D, 1 XY, 2 XZ, 3 YZ
    ExploreMarkerMode mode() const { return markerMode; }
    // A threshold side, quadrant or rectangle picked on the shown plot is in force.
    bool picking() const { return hasPick; }
    uint shownChannel() const { return imageChannel; }
    const QVector<ExplorePlotEntry> &entries() const { return plotEntries; }

signals:
    void updateQMLSelectChannel(int channelID);
    void updateConstractAdjustType(int type);

private slots:
    void populationBoxClicked(QString populationName);
    void targetBoxClicked(QString itemName);
    void selectWellChange();
    void openNewFile();
    void updateSelectImage(int channelID);
    void addBrightness();
    void reduceBrightness();
    void addConstract();
    void reduceConstract();
    void defaultBrightAndConstract();
    void autoBrightAndConstract();
    void cancelSelect();
    void showMarkerByThreshold(bool positive);
    void showMarkerBySelectRect(QPair<quint32, quint32> indexRange, QPair<quint32, quint32> graysRange);
    void showMarkerBy2DThreshold(bool ch1, bool ch2);
    void redo();
    void undo();
    void exclude();
    void include();
    void restore();
    void selectAll();
    void updateOpacity(double opacity);

private:
    void buildUi();
    void buildLayout();
    void connectSignals();
    void setRootProperty(const char *name, const QVariant &value);
    void setDotColour(const QString &colour);

    void updatePopulationBox();
    void updatePlotBox();
    // updatePlotBox; when the shown plot is another one afterwards, the pick goes with it.
    void rebuildPlotBox();
    // The stored pick forgotten (channels, sides, ranges); forgetPicks also takes its shapes
    // off the plots.
    void forgetPick();
    void forgetPicks();
    // Every plot emptied and hidden.
    void clearPlots();
    QVector<uint> getPlotChannels(const QString &name) const;
    void updateWellChannels(int wellId);
    void updateChannelButtons(const QList<uint> &channels, int wellId);
    void loadShownImage();
    // The selections of the 2D plots other than the sender; the sender's pair of channels.
    void clearOther2DSelections(const QObject *sender);
    bool pairOfSender(const QObject *sender, uint &x, uint &y) const;
    bool haveWells() const;

    // ---- Plot feeding ----------------------------------------------------------------------
    void update1DPlot(uint channel);
    void update2DPlot(uint xChannel, uint yChannel, Explore2DDot *plot);
    QVector<ExploreSeries> build2DSeries(uint xChannel, uint yChannel);
    int getDropletCount(uint channel);
    void restoreSelection();
    void redraw2DThresholdArea(Explore2DDot *plot);
    uint selectedWell() const;

    QPointer<QObject> root;
    ExploreView *view = nullptr;
    WellListView *wellTable = nullptr;
    WellListDelegate *delegate = nullptr;
    WellHeaderView *header = nullptr;
    QWidget *imageHolder = nullptr;
    QWidget *plotHolder = nullptr;
    QLabel *populationLabel = nullptr;
    QLabel *populationDot = nullptr;
    QLabel *plotLabel = nullptr;
    QuorinBox *populationBox = nullptr;
    QuorinBox *plotBox = nullptr;
    ExploreMarkerMode markerMode = Threshold;
    // Set by a pick on a plot, cleared when the shown plot changes, on a cancel and with the
    // document: the stored channels, sides and ranges mark nothing without it.
    bool hasPick = false;
    uint populationId = 0;
    uint oneDChannel = 0;
    bool positive = false;
    uint xChannel = 0;
    uint yChannel = 0;
    bool xPositive = false;
    bool yPositive = false;
    QPair<quint32, quint32> range1{0, 0};
    QPair<quint32, quint32> range2{0, 0};
    Explore1DDot *plot1D = nullptr;
    Explore2DDot *plotXY = nullptr;
    Explore2DDot *plotXZ = nullptr;
    Explore2DDot *plotYZ = nullptr;
    QWidget *holder1D = nullptr;
    QWidget *holderXY = nullptr;
    QWidget *holderXZ = nullptr;
    QWidget *holderYZ = nullptr;
    uint imageChannel = 0;
    QVector<ExplorePlotEntry> plotEntries;
    bool lastSelectAll = false;
};
