#include "plots/common/channelplotpage.h"

#include "plots/common/plotpage.h"
#include "plots/common/thresholdmodel.h"
#include "plots/common/thumbnaildelegate.h"
#include "plots/common/thumbnailmodel.h"
#include "plots/common/thumbnailview.h"

#include "bll/bllinstance.h"
#include "bll/signaltransfer.h"
#include "shell/dialoghost.h"
#include "shell/dialogmessage.h"
#include "shell/wellheaderview.h"
#include "shell/welllistdelegate.h"
#include "shell/welllistmodel.h"
#include "shell/welllistview.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QQmlContext>
#include <QQuickItem>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Every page alive, for the thumbnails two of them share.
QVector<const ChannelPlotPage *> &livePages()
{
    static QVector<const ChannelPlotPage *> pages;
    return pages;
}

int scaled(double size)
{
    return int(size * uiScaleFactor);
}

QWidget *whiteWidget()
{
    auto *w = new QWidget;
    w->setAutoFillBackground(true);
    QPalette palette = w->palette();
    palette.setColor(QPalette::Window, Qt::white);
    w->setPalette(palette);
    w->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    return w;
}

} // namespace

ChannelPlotPage::ChannelPlotPage(ThumbnailModel *thumbnails, const QString &qmlSource, int previewTop,
                                 QWidget *parent)
    : QQuickWidget(parent), m_thumbnails(thumbnails)
{
    livePages().append(this);
    m_thresholds = new ThresholdModel(this);
    rootContext()->setContextProperty(QStringLiteral("resoving"), uiScaleFactor);
    rootContext()->setContextProperty(QStringLiteral("ThresholdData"), m_thresholds);
    setResizeMode(QQuickWidget::SizeRootObjectToView);
    setSource(QUrl(qmlSource));
    m_root = rootObject();

    m_wellList = new WellListView(this);
    m_header = new WellHeaderView(Qt::Horizontal, m_wellList);
    m_header->setFixedHeight(32);
    m_wellList->setHorizontalHeader(m_header);
    m_wellList->setModel(WellListModel::instance());
    m_wellList->setItemDelegate(new WellListDelegate(m_wellList));
    m_wellList->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);

    m_plotArea = whiteWidget();
    m_plotArea->setParent(this);
    m_grid = new QGridLayout(m_plotArea);
    m_grid->setSpacing(0);
    m_grid->setContentsMargins(0, 0, 0, 0);

    m_thumbnailView = new ThumbnailView(this);
    m_thumbnailView->setModel(m_thumbnails);
    m_thumbnailView->setItemDelegate(new ThumbnailDelegate(m_thumbnailView));
    m_thumbnailView->setFixedWidth(scaled(200));
    m_thumbnailView->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);

    for (QWidget *&filler : m_fillers) {
        filler = whiteWidget();
        m_gridWidgets.append(filler);
    }

    auto *box = new QHBoxLayout(this);
    box->setSpacing(0);
    box->setContentsMargins(scaled(26), scaled(26), scaled(28), scaled(30));
    box->addWidget(m_wellList, 1);
    box->addSpacing(scaled(15));
    box->addWidget(m_plotArea, 5);
    box->addSpacing(scaled(50));
    auto *column = new QVBoxLayout;
    column->setSpacing(0);
    column->setContentsMargins(0, 0, 0, 0);
    column->addSpacing(scaled(previewTop));
    column->addWidget(m_thumbnailView);
    column->addSpacing(scaled(33));
    box->addLayout(column, 1);

    connect(m_wellList, &WellListView::sigWellSelectChange, this, &ChannelPlotPage::updateWellModel);
    connect(m_thumbnailView, &ThumbnailView::modelDataChange, this, &ChannelPlotPage::updateWellModel);
    connect(m_thresholds, &ThresholdModel::updateChannelThreshold, this, &ChannelPlotPage::updateChannelThreshold);
    // Rebuilt rows show the cache afresh: typing starts over from there.
    connect(m_thresholds, &QAbstractItemModel::modelReset, this, [this] { m_beforeTyping.clear(); });
    SignalTransfer *hub = SignalTransfer::getInstance();
    if (m_root) {
        // First the panel's own reset, then the page's: a page on screen sets the panel last.
        connect(hub, SIGNAL(updateWellComplete()), m_root, SIGNAL(initData()));
        connect(m_root, SIGNAL(switchIndividual()), this, SLOT(switchIndividual()));
        connect(m_root, SIGNAL(switchCommon()), this, SLOT(switchCommon()));
        connect(m_root, SIGNAL(switchLineModel()), this, SLOT(switchLineModel()));
        connect(m_root, SIGNAL(switchPolygonModel()), this, SLOT(switchPolygonModel()));
        connect(m_root, SIGNAL(autoThreshold()), this, SLOT(autoThreshold()));
        connect(m_root, SIGNAL(applyThreshold()), this, SLOT(applyThreshold()));
        connect(m_root, SIGNAL(cancelThreshold()), this, SLOT(cancelThreshold()));
    }
    connect(hub, &SignalTransfer::updateWellComplete, this, &ChannelPlotPage::resetDocument);
}

ChannelPlotPage::~ChannelPlotPage()
{
    livePages().removeOne(this);
    // Those in the grid go with the plot area; the others have no parent.
    for (const QPointer<QWidget> &w : qAsConst(m_gridWidgets)) {
        if (w && !w->parent())
            delete w.data();
    }
}

void ChannelPlotPage::addPlots(const QVector<QWidget *> &plots)
{
    for (QWidget *plot : plots)
        m_gridWidgets.append(plot);
}

QList<uint> ChannelPlotPage::selectedWells() const
{
    return WellListModel::instance()->getSelectWellIDs();
}

QVector<uint> ChannelPlotPage::shownChannels() const
{
    return m_thumbnails->getShownChannelIds();
}

void ChannelPlotPage::setModeProperties()
{
    if (!m_root)
        return;
    BLLInstance *bll = BLLInstance::getInstance();
    m_root->setProperty("isLinerType", bll->getThldType() == LumaraAnalysisData::LineThreshold);
    m_root->setProperty("isCommonAll", isIndividualMode != 1);
    m_root->setProperty("isSpecialKit", bll->isSpecialKit());
}

void ChannelPlotPage::refreshThresholdTable()
{
    refreshThresholdRows(m_thresholds, selectedWells(), shownChannels());
}

void ChannelPlotPage::rebuildThumbnails(const std::function<QImage(uint channel)> &render)
{
    const QVector<uint> wasShown = shownChannels();
    m_thumbnails->clear();
    BLLInstance *bll = BLLInstance::getInstance();
    const QList<uint> channels = bll->getChannelsOfWells(selectedWells());
    QVector<ThumbnailData> rows;
    for (uint channel : channels) {
        ThumbnailData row;
        row.channelId = channel;
        row.title = bll->getTargetName(channel);
        row.image = render(channel).scaled(scaled(142), scaled(129), Qt::KeepAspectRatioByExpanding,
                                           Qt::SmoothTransformation);
        row.shown = wasShown.isEmpty() ? rows.isEmpty() : wasShown.contains(channel);
        rows.append(row);
    }
    m_thumbnails->setThumbnails(rows);
}

void ChannelPlotPage::placeShownPlots(const QVector<QWidget *> &plots)
{
    placePlots(m_grid, plots, m_fillers);
}

void ChannelPlotPage::cacheThreshold(int wellID, uint channel, uint value)
{
    WellListModel *wells = WellListModel::instance();
    if (isIndividualMode != 1) {
        for (uint well : wells->getAllWellIDs())
            wells->setCachedThreshold(well, channel, int(value));
    } else if (wellID >= 0) {
        wells->setCachedThreshold(uint(wellID), channel, int(value));
    }
}

void ChannelPlotPage::fullRefresh()
{
    // The panel follows the shown channels, which the thumbnails' rebuild decides.
    refreshThumbnails();
    refreshPanel();
    refreshPlots();
    refreshThresholdTable();
}

void ChannelPlotPage::resetDocument()
{
    // An open or a merge starts in common scope, a re-analysis per well (its thresholds are
    // each well's own). Set by each of these pages, so that a page on screen is built in it
    // whichever of them hears the reload first.
    isIndividualMode = WellListModel::instance()->scopeAfterReload();
    initData();
    m_thresholds->clear();
    placePlots(m_grid, {}, m_fillers);
    // The histogram and 1D pages share the thumbnails: a hidden page leaves them to the one on
    // screen, which builds them again.
    if (isVisible() || !thumbnailsShownElsewhere())
        m_thumbnails->clear();
    if (isVisible())
        refresh();
}

bool ChannelPlotPage::thumbnailsShownElsewhere() const
{
    for (const ChannelPlotPage *page : qAsConst(livePages())) {
        if (page != this && page->m_thumbnails == m_thumbnails && page->isVisible())
            return true;
    }
    return false;
}

void ChannelPlotPage::refresh()
{
    if (WellListModel::instance()->rowCount() < 1)
        return;
    fullRefresh();
    m_thumbnailView->resetAnchor(m_thumbnails->firstShownIndex());
    m_thumbnailView->setCurrentIndex(m_thumbnails->firstShownIndex());
}

void ChannelPlotPage::updateWellModel()
{
    fullRefresh();
}

void ChannelPlotPage::switchIndividual()
{
    isIndividualMode = 1;
    if (reloadsOnIndividual())
        WellListModel::instance()->cacheThresholds();
    fullRefresh();
}

void ChannelPlotPage::switchCommon()
{
    isIndividualMode = 0;
    fullRefresh();
}

void ChannelPlotPage::switchType(int mode)
{
    auto *message = new DialogMessage(1, tr("Changing the Thresholding Type will erase all your current "
                                            "thresholds/polygons. Do you want to conntinue?"));
    centreOnActiveWindow(message);
    const bool yes = message->exec() == 1;
    message->deleteLater();
    if (!yes)
        return;
    BLLInstance::getInstance()->setThresholdingType(mode);
    if (m_root)
        m_root->setProperty("isLinerType", mode == LumaraAnalysisData::LineThreshold);
    if (mode == LumaraAnalysisData::LineThreshold)
        WellListModel::instance()->cacheThresholds();
    // The business layer announces the switch to lines itself, not the one to polygons; the
    // file has changed all the same.
    else
        emit SignalTransfer::getInstance()->dataFixed();
    thresholdTypeSwitched(mode);
    fullRefresh();
}

void ChannelPlotPage::switchLineModel()
{
    switchType(LumaraAnalysisData::LineThreshold);
}

void ChannelPlotPage::switchPolygonModel()
{
    switchType(LumaraAnalysisData::PolygonThreshold);
}

void ChannelPlotPage::updateChannelThreshold(uint channelID, QString threshold)
{
    WellListModel *wells = WellListModel::instance();
    const int selected = wells->getSelectWellID();
    if (!m_beforeTyping.contains(channelID)) {
        QHash<uint, int> before;
        for (uint well : wells->getAllWellIDs())
            before.insert(well, wells->getCachedThreshold(well, channelID));
        m_beforeTyping.insert(channelID, before);
    }
    uint value = 0;
    if (ThresholdModel::parseThreshold(threshold, &value)) {
        cacheThreshold(selected, channelID, value);
    } else {
        // Only what the box shows may be applied: while its text is no threshold ("", "1,5",
        // "70001"), the cache holds what it held before the typing, not a value typed on the way.
        const QHash<uint, int> &before = m_beforeTyping[channelID];
        for (auto it = before.constBegin(); it != before.constEnd(); ++it)
            wells->setCachedThreshold(it.key(), channelID, it.value());
        if (selected < 0)
            return;
        value = uint(std::max(0, wells->getCachedThreshold(uint(selected), channelID)));
    }
    showTypedThreshold(channelID, value);
}

void ChannelPlotPage::showTypedThreshold(uint channel, uint value)
{
    const int index = plotIndexOfChannel(shownChannels(), channel);
    if (index >= 0)
        moveSolidLine(index, value);
}

void ChannelPlotPage::autoThreshold()
{
    BLLInstance::getInstance()->autoThreshold(selectedWells(), isIndividualMode == 1);
    WellListModel::instance()->cacheThresholds();
    fullRefresh();
}

void ChannelPlotPage::applyThreshold()
{
    WellListModel::instance()->applyCachedThresholds();
    fullRefresh();
}

void ChannelPlotPage::cancelThreshold()
{
    WellListModel::instance()->cacheThresholds();
    refreshPlots();
    refreshThresholdTable();
}

void ChannelPlotPage::resetAxisScale()
{
    refreshPlots();
}
