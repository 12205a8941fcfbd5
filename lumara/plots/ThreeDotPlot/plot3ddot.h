#pragma once
// The 3D page of the Analyze Plot pages: the kept droplets of the selected wells over three
// channels, coloured by octant (entry "Default") or by a population's selected zones, with
// the user's 3D plot combinations as thumbnails beside the graph. The widget hosts the QML
// panel and is the parent of the well list, the graph and the thumbnail column.
#include <QColor>
#include <QPointer>
#include <QQuickWidget>
#include <QVector>
#include <QVector3D>

namespace QtDataVisualization {
class Q3DScatter;
}
class QModelIndex;
class ThumbnailModel;
class ThumbnailView;
class Thumbnai2DDelegate;
class WellListView;
class WellHeaderView;
class ZoneModel;

// The point lists of one draw: eight octant lists (octant draw), or list 0 the droplets out of
// the population and list 7 those in it (population draw).
struct DotSets {
    QVector<QVector<QVector3D>> lists = QVector<QVector<QVector3D>>(8);
    uint largest = 0; // the largest value walked, excluded droplets left out
};

class Plot3DDot : public QQuickWidget {
    Q_OBJECT
public:
    explicit Plot3DDot(QWidget *parent = nullptr);
    ~Plot3DDot() override;

    // Run by the page container when the page is made current: nothing without wells.
    void refreshPage();

    Q_INVOKABLE QStringList getPopulationNames() const;

    // The walks over the selected wells' kept droplets; a channel outside 1..6 gives nothing.
    static DotSets octantDots(int x, int y, int z);
    static DotSets populationDots(int x, int y, int z, const QVector<uint> &selectedZones);
    // The octant colours: none, z, y, yz, x, xz, xy, xyz.
    static QVector<QString> octantColors(int x, int y, int z);
    // Whether a GL context can be made: without one no graph is built.
    static bool openGLAvailable();

    QtDataVisualization::Q3DScatter *graph() const { return m_graph; }
    QtDataVisualization::Q3DScatter *renderGraph() const { return m_renderGraph; }
    ThumbnailModel *thumbnailModel() const { return m_thumbnailModel; }
    ThumbnailView *thumbnailView() const;
    ZoneModel *zoneModel() const { return m_zoneModel; }
    QWidget *graphContainer() const { return m_container; }
    // The population of the QML combo's index: 0 for "Default" and for an index past the list.
    uint populationOfIndex(int index) const;

signals:
    void updateModelData();

private slots:
    // Empties both graphs.
    void initData();
    // An open, a merge or a re-analysis: the graphs, thumbnails, zones and the chosen plot and
    // population of the old document go; a page on screen is built again from the new one.
    void resetDocument();
    void updateWellModel();
    void populationUpdate();
    void zoneSelectUpdate();
    void updatePlotCombitionName(QModelIndex index, QString name);
    void addPlotCombition();
    void deletePlotCombition();
    void selectPlotCombition(int channelID1, int channelID2, int ch3, QString plotName);
    void deleteStatusChange();

private:
    int currentPopulationIndex() const;
    void rebuildThumbnails();
    void redraw();
    // Octant or population draw of the channels into the graph.
    void draw(QtDataVisualization::Q3DScatter *graph, int x, int y, int z);
    static void clearGraph(QtDataVisualization::Q3DScatter *graph);
    // Every draw starts from the same theme and front view.
    static void prepareGraph(QtDataVisualization::Q3DScatter *graph);

    ZoneModel *m_zoneModel = nullptr;
    QPointer<QObject> m_root;
    QPointer<WellListView> m_wellView;
    QPointer<WellHeaderView> m_wellHeader;
    QPointer<QWidget> m_container;
    QtDataVisualization::Q3DScatter *m_graph = nullptr;
    QtDataVisualization::Q3DScatter *m_renderGraph = nullptr;
    QPointer<ThumbnailView> m_thumbnailView;
    ThumbnailModel *m_thumbnailModel = nullptr;
    Thumbnai2DDelegate *m_thumbnailDelegate = nullptr;
};
