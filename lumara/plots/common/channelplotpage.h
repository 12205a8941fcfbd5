#pragma once
// What the histogram and 1D dot-plot pages share: a QML panel under the widgets, the well list
// at the left, up to four channel plots in a 2 x 2 grid, the thumbnail column at the right, the
// threshold panel's rows and the thresholding-mode, scope, Auto, Apply and Cancel slots. Each
// page draws its own plots and thumbnails.
#include "plots/common/thumbnailview.h"
#include "shell/globalvalues.h"
#include "shell/welllistview.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QPointer>
#include <QQuickWidget>
#include <QVector>

#include <functional>

class QGridLayout;
class ThresholdModel;
class ThumbnailModel;
class WellHeaderView;

class ChannelPlotPage : public QQuickWidget {
    Q_OBJECT
public:
    // Called by the page container when the page becomes current: with wells, a full refresh
    // and the first shown thumbnail made current.
    virtual void refresh();

    // For the page's owners and tests.
    QObject *qmlRoot() const { return m_root; }
    ThresholdModel *thresholdModel() const { return m_thresholds; }
    ThumbnailModel *thumbnailModel() const { return m_thumbnails; }
    ThumbnailView *thumbnailView() const { return m_thumbnailView; }
    WellListView *wellListView() const { return m_wellList; }
    QGridLayout *plotGrid() const { return m_grid; }
    QWidget *plotArea() const { return m_plotArea; }
    QWidget *filler(int i) const { return m_fillers[i]; }

protected:
    // previewTop: where the thumbnail column starts below the page's top (unscaled).
    ChannelPlotPage(ThumbnailModel *thumbnails, const QString &qmlSource, int previewTop, QWidget *parent);
    ~ChannelPlotPage() override;

    // Puts the page's plots into the widget tree; called once by the page's constructor.
    void addPlots(const QVector<QWidget *> &plots);

    QList<uint> selectedWells() const;
    // The channels of the shown plots, each once, in plot order.
    virtual QVector<uint> shownChannels() const;
    // "isLinerType", "isCommonAll" and "isSpecialKit" of the QML root.
    void setModeProperties();
    // The rows of the threshold panel for the selected wells and shown channels.
    void refreshThresholdTable();
    // Clears and rebuilds the thumbnail rows of the selected wells' channels, each drawn by
    // `render`, keeping which were shown (only the first when none was).
    void rebuildThumbnails(const std::function<QImage(uint channel)> &render);
    // Puts the plots of the shown channels and the fillers into the grid.
    void placeShownPlots(const QVector<QWidget *> &plots);
    // The typed or dragged value into the cache: one well, or every well in common scope.
    void cacheThreshold(int wellID, uint channel, uint value);

    // Panel, thumbnails, plots, threshold table.
    void fullRefresh();
    virtual void refreshPanel() = 0;
    virtual void refreshThumbnails() = 0;
    virtual void refreshPlots() = 0;
    // The plot at position 0..3 moves its solid line(s) to the typed value.
    virtual void moveSolidLine(int plotIndex, uint value) = 0;
    // Whether switching to per-well scope reloads the cache from the document.
    virtual bool reloadsOnIndividual() const = 0;
    // A typed value reached the cache: the plots show it as their solid line(s).
    virtual void showTypedThreshold(uint channel, uint value);
    // The user accepted a new thresholding type and the document has it; before the refresh.
    virtual void thresholdTypeSwitched(int mode) { Q_UNUSED(mode) }

protected slots:
    // After every analysis or load: the page forgets its own plot state (called by the reset).
    virtual void initData() = 0;
    void updateWellModel();
    void switchIndividual();
    void switchCommon();
    void switchLineModel();
    void switchPolygonModel();
    void updateChannelThreshold(uint channelID, QString threshold);
    void autoThreshold();
    void applyThreshold();
    void cancelThreshold();
    void resetAxisScale();

private slots:
    // An open, a merge or a re-analysis: the rows, plots, thumbnails and the page's own state
    // of the old document go, and a page on screen is built again from the new one at once.
    void resetDocument();

private:
    void switchType(int mode);
    // Whether another page on screen shows the same thumbnail model.
    bool thumbnailsShownElsewhere() const;

    QPointer<QObject> m_root;
    QPointer<WellListView> m_wellList;
    QPointer<WellHeaderView> m_header;
    QPointer<QWidget> m_plotArea;
    QGridLayout *m_grid = nullptr;
    ThresholdModel *m_thresholds = nullptr;
    QPointer<ThumbnailView> m_thumbnailView;
    ThumbnailModel *m_thumbnails = nullptr;
    QWidget *m_fillers[2] = {nullptr, nullptr};
    // Plots and fillers: out of the grid they have no parent, so the page deletes them.
    QVector<QPointer<QWidget>> m_gridWidgets;
    // Per channel being typed into, every well's cached threshold before the typing began: a
    // box whose text is no threshold puts them back. Forgotten whenever the rows are rebuilt.
    QHash<uint, QHash<uint, int>> m_beforeTyping;
};
