#include "plots/TwoDotPlot/plot2ddot.h"

#include "plots/TwoDotPlot/addplotcombition.h"
#include "plots/TwoDotPlot/addpopulationdialog.h"
#include "plots/TwoDotPlot/dotlayer.h"
#include "plots/TwoDotPlot/plot2dpropertydialog.h"
#include "plots/TwoDotPlot/polygonmgr.h"
#include "plots/TwoDotPlot/thumbnai2ddelegate.h"
#include "plots/TwoDotPlot/zt2dplot.h"
#include "plots/common/plotpage.h"
#include "plots/common/plotstyle.h"
#include "plots/common/populationmodel.h"
#include "plots/common/thumbnailmodel.h"

#include "bll/bllinstance.h"
#include "bll/plotgroupmgr.h"
#include "bll/populationsmgr.h"
#include "bll/signaltransfer.h"
#include "shell/channelcolors.h"
#include "shell/dialoghost.h"
#include "shell/dialogmessage.h"
#include "shell/welllistmodel.h"

#include <QApplication>
#include <QGridLayout>
#include <QHash>
#include <QQmlContext>
#include <QtConcurrent>

#include <qwt_plot_canvas.h>
#include <qwt_scale_div.h>

#include <memory>

namespace {

const char *const PlotPrefix = "Quorin2D";
constexpr double DotSize = 3.0;
constexpr double CrossWidth = 1.8;

BLLInstance *bll()
{
    return BLLInstance::getInstance();
}

PopulationsMgr *populations()
{
    return BLLInstance::getInstance()->getPopulationsMgr();
}

PlotGroupMgr *plotGroups()
{
    return BLLInstance::getInstance()->getPlotGroupMgr();
}

bool lineMode()
{
    return bll()->getThldType() == LumaraAnalysisData::LineThreshold;
}

// What one well contributes to the dots of a channel pair, gathered on the GUI thread.
struct WellDots {
    QVector<uint> gx, gy;
    uint tx = 0, ty = 0;            // line mode: the document's thresholds
    Plot2DCreateZoneInfo zones;      // polygon mode
};

struct PairDots {
    uint x = 0, y = 0;
    bool lines = true;
    QVector<WellDots> wells;
};

// Grey values of each (well, channel) read once for all pairs that use them.
class GreyCache {
public:
    const QVector<uint> &values(uint well, uint channel)
    {
        const quint64 key = (quint64(well) << 8) | channel;
        auto it = m_values.find(key);
        if (it == m_values.end())
            it = m_values.insert(key, bll()->getWellChannelGrayValues(well, channel));
        return it.value();
    }

private:
    QHash<quint64, QVector<uint>> m_values;
};

PairDots gatherDots(const QList<uint> &wells, uint x, uint y, GreyCache &greys)
{
    PairDots dots;
    dots.x = x;
    dots.y = y;
    dots.lines = lineMode();
    // A stored channel the tables cannot index gives an empty plot.
    if (!isChannel(x) || !isChannel(y))
        return dots;
    QMap<uint, QString> zoneColours;
    if (!dots.lines) {
        for (const auto &zone : populations()->getZones())
            zoneColours.insert(zone.id, populations()->getZoneColor(zone.id));
    }
    for (uint well : wells) {
        WellDots w;
        w.gx = greys.values(well, x);
        w.gy = greys.values(well, y);
        if (dots.lines) {
            w.tx = bll()->getThldByLine(well, x);
            w.ty = bll()->getThldByLine(well, y);
        } else {
            w.zones.gx = w.gx;
            w.zones.gy = w.gy;
            w.zones.xChannel = x;
            w.zones.yChannel = y;
            w.zones.zones = populations()->getWellPlotPolygons(well);
            w.zones.zoneColours = zoneColours;
        }
        dots.wells.append(w);
    }
    return dots;
}

void appendZoneMap(PointMap *map, const QMap<QString, QVector<QPointF>> &zones)
{
    for (auto it = zones.cbegin(); it != zones.cend(); ++it)
        map->append(qMakePair(it.key(), it.value()));
}

// Line mode wells one after the other; polygon mode the same on the calling thread (the
// thumbnails run whole pairs on the pool).
PointMap pointsOf(const PairDots &dots)
{
    PointMap map;
    if (dots.lines) {
        const QString both = getTwoChannelColor(int(dots.x), int(dots.y));
        const QString cx = getChannelColor(int(dots.x));
        const QString cy = getChannelColor(int(dots.y));
        for (const WellDots &w : dots.wells)
            map += lineWellPoints(w.gx, w.gy, w.tx, w.ty, both, cy, cx);
    } else {
        for (const WellDots &w : dots.wells)
            appendZoneMap(&map, collectZonePoints(w.zones));
    }
    return map;
}

int scaled(double size)
{
    return int(size * uiScaleFactor);
}

} // namespace

Plot2DDot::Plot2DDot(QWidget *parent)
    : ChannelPlotPage(new ThumbnailModel, QStringLiteral("qrc:/TwoDotPlot/qml/Plot2DDot.qml"), 470, parent)
{
    thumbnailModel()->setParent(this);
    m_populations = new PopulationModel(this);
    rootContext()->setContextProperty(QStringLiteral("populationModel"), m_populations);
    m_polygons = new PolygonMgr(this);

    auto *delegate = new Thumbnai2DDelegate(thumbnailView());
    thumbnailView()->setItemDelegate(delegate);

    QVector<QWidget *> widgets;
    for (int i = 0; i < 4; ++i) {
        auto *plot = new Zt2DPlot;
        plot->setObjectName(QString::fromLatin1(PlotPrefix) + QString::number(i + 1));
        stylePlot(plot);
        connect(plot, &Zt2DPlot::axisXYClicked, this, &Plot2DDot::axisXYClicked);
        connect(plot, &Zt2DPlot::updateTempThreshold, this, &Plot2DDot::updateTempThreshold);
        connect(plot, &Zt2DPlot::addPolygon, this, &Plot2DDot::addZones);
        connect(plot, &Zt2DPlot::updateSharp, this, &Plot2DDot::updateSharp);
        connect(plot, &Zt2DPlot::enableRemove, this, &Plot2DDot::enableRemove);
        connect(plot, &Zt2DPlot::enableApply, this, &Plot2DDot::enableApply);
        connect(plot, &Zt2DPlot::zoneSelectStatus, this, &Plot2DDot::zoneSelectStatus);
        connect(plot, &Zt2DPlot::resetAxisScale, this, &Plot2DDot::resetAxisScale);
        connect(plot, &QwtBasic::repaintPlot, this, &Plot2DDot::resetAxisScale);
        m_plots[i] = plot;
        widgets.append(plot);
    }
    addPlots(widgets);

    connect(m_polygons, &PolygonMgr::updateZoneDroplets, this, &Plot2DDot::updateZoneDroplets);
    connect(delegate, &Thumbnai2DDelegate::deleteStatusChange, this, &Plot2DDot::deleteStatusChange);
    connect(thumbnailModel(), &ThumbnailModel::updatePlotCombitionName, this, &Plot2DDot::updatePlotCombitionName);
    if (QObject *root = qmlRoot()) {
        connect(root, SIGNAL(addPlotCombition()), this, SLOT(addPlotCombition()));
        connect(root, SIGNAL(deletePlotCombition()), this, SLOT(deletePlotCombition()));
        connect(root, SIGNAL(autoCreatePopulations(bool)), this, SLOT(autoCreatePopulations(bool)));
        connect(root, SIGNAL(applyPolygonChange()), this, SLOT(applyPolygonChange()));
        connect(root, SIGNAL(removePolygon()), this, SLOT(removePolygon()));
        connect(root, SIGNAL(cancelPolygonChange()), this, SLOT(cancelPolygonChange()));
    }
    SignalTransfer::getInstance()->forwardSignals(this);
}

Plot2DDot::~Plot2DDot() = default;

void Plot2DDot::setRootProperty(const char *name, const QVariant &value)
{
    if (QObject *root = qmlRoot())
        root->setProperty(name, value);
}

// ---- State, panel and refresh ----------------------------------------------------------------

void Plot2DDot::initData()
{
    m_currentPlot = 0;
    m_autoCreate = true;
    m_autoRanges = QVector<AxisRange>(6);
    m_selectedZones.clear();
    m_lastPolygon.clear();
    // The old document's outlines, pending edits and populations: nothing of them to press.
    for (Zt2DPlot *plot : m_plots) {
        plot->clearShapes();
        plot->clearCurves();
    }
    m_populations->clear();
    setRootProperty("enableApply", false);
    setRootProperty("enableCancel", false);
    setRootProperty("enableRemove", false);
    setRootProperty("deleteEnable", false);
    // Records are only ever appended by a load: without the clear every reload doubles them
    // and another file keeps this one's zones.
    m_polygons->clear();
    if (WellListModel::instance()->rowCount() > 0)
        m_polygons->loadZones();
}

void Plot2DDot::refresh()
{
    if (WellListModel::instance()->rowCount() < 1)
        return;
    ChannelPlotPage::refresh();
    m_populations->reload();
}

void Plot2DDot::refreshPanel()
{
    setModeProperties();
}

bool Plot2DDot::reloadsOnIndividual() const
{
    return lineMode();
}

void Plot2DDot::thresholdTypeSwitched(int mode)
{
    if (mode == LumaraAnalysisData::LineThreshold) {
        m_populations->clear();
        for (Zt2DPlot *plot : m_plots)
            plot->clearShapes();
        m_polygons->clear();
        m_selectedZones.clear();
    } else {
        m_populations->reload();
    }
}

void Plot2DDot::enableApply()
{
    setRootProperty("enableApply", true);
    setRootProperty("enableCancel", true);
}

void Plot2DDot::enableRemove(bool enable)
{
    setRootProperty("enableRemove", enable);
}

void Plot2DDot::deleteStatusChange()
{
    setRootProperty("deleteEnable", !thumbnailModel()->getDeletePlotIds().isEmpty());
}

// ---- Plots --------------------------------------------------------------------------------------

QVector<uint> Plot2DDot::shownPlotIds() const
{
    return thumbnailModel()->getShownPlotIds();
}

QVector<uint> Plot2DDot::shownChannels() const
{
    QVector<uint> channels;
    for (uint id : shownPlotIds()) {
        const QPair<uint, uint> xy = plotGroups()->get2DPlotChannels(id);
        for (uint c : {xy.first, xy.second}) {
            if (isChannel(c) && !channels.contains(c))
                channels.append(c);
        }
    }
    return channels;
}

void Plot2DDot::setCurrentPlot(const QString &objectName)
{
    m_currentPlot = 0;
    for (int i = 1; i <= 4; ++i) {
        if (objectName == QString::fromLatin1(PlotPrefix) + QString::number(i))
            m_currentPlot = i;
    }
}

uint Plot2DDot::currentPlotId() const
{
    const QVector<uint> shown = shownPlotIds();
    if (m_currentPlot < 1 || m_currentPlot > shown.size())
        return 0;
    // Two shown plots: the second cell shows the last one.
    if (m_currentPlot == 2 && shown.size() == 2)
        return shown.last();
    return shown.at(m_currentPlot - 1);
}

Zt2DPlot *Plot2DDot::currentPlotWidget() const
{
    return m_currentPlot >= 1 && m_currentPlot <= 4 ? m_plots[m_currentPlot - 1] : nullptr;
}

PointMap Plot2DDot::collectPlotPoints(const QList<uint> &wells, uint xChannel, uint yChannel) const
{
    GreyCache greys;
    const PairDots dots = gatherDots(wells, xChannel, yChannel, greys);
    if (dots.lines)
        return pointsOf(dots);
    // Polygon tests of the wells in parallel, the results in well order.
    QVector<Plot2DCreateZoneInfo> items;
    for (const WellDots &w : dots.wells)
        items.append(w.zones);
    const QList<QMap<QString, QVector<QPointF>>> maps = QtConcurrent::blockingMappedReduced<QList<QMap<QString, QVector<QPointF>>>>(
        items, collectZonePoints,
        [](QList<QMap<QString, QVector<QPointF>>> &all, const QMap<QString, QVector<QPointF>> &one) { all.append(one); },
        QtConcurrent::OrderedReduce | QtConcurrent::SequentialReduce);
    PointMap map;
    for (const auto &one : maps)
        appendZoneMap(&map, one);
    return map;
}

int Plot2DDot::countZoneDroplets(uint plotId, uint wellId, const QPolygonF &polygon) const
{
    return bll()->countDropletsInPolygon(plotId, wellId, polygon);
}

bool Plot2DDot::getWellAxisRange(AxisRange &range, uint channel) const
{
    return wellAxisRangeOf(wellAxisRanges, selectedWells(), channel, &range);
}

void Plot2DDot::setPlotAxisRange(Zt2DPlot *plot, uint xChannel, uint yChannel)
{
    const int index = int(std::find(std::begin(m_plots), std::end(m_plots), plot) - std::begin(m_plots));
    // Off-screen plots (thumbnails) are drawn once: their axes need remembering no more.
    ThresholdAxis unshown[2];
    ThresholdAxis *axes[2] = {index < 4 ? &m_xAxes[index] : &unshown[0], index < 4 ? &m_yAxes[index] : &unshown[1]};
    const auto apply = [this, plot](QwtPlot::Axis axis, uint channel, ThresholdAxis *grey, const QVector<double> &lines) {
        AxisRange range(0.0, 0.0);
        bool typed = false;
        if (isChannel(channel)) {
            if (isAxisIndividual != 0) {
                typed = getWellAxisRange(range, channel);
                if (!typed)
                    range = m_autoRanges.value(int(channel) - 1);
            } else {
                range = commonAxisRanges.value(int(channel) - 1);
            }
        }
        // A range never found (no thumbnail drawn yet, a channel out of range) is empty: the
        // plot scales itself.
        if (range.first < range.second) {
            plot->setAxisScale(axis, range.first, range.second, 0);
            // The droplets' range reaches past the crosses' lines; typed bounds stay as typed.
            if (typed)
                grey->leaveToUser();
            else
                grey->fit(plot, axis, range, lines);
        } else {
            plot->setAxisAutoScale(axis);
            grey->leaveToUser();
        }
    };
    const bool crosses = plot->isThresholdVisible();
    const QPointF solid = plot->solidThreshold();
    const QPointF dotted = plot->dottedThreshold();
    apply(QwtPlot::xBottom, xChannel, axes[0], crosses ? QVector<double>{solid.x(), dotted.x()} : QVector<double>());
    apply(QwtPlot::yLeft, yChannel, axes[1], crosses ? QVector<double>{solid.y(), dotted.y()} : QVector<double>());
}

void Plot2DDot::setAxisTitles(Zt2DPlot *plot, uint xChannel, uint yChannel) const
{
    const auto title = [](uint channel) {
        if (!isChannel(channel))
            return QString();
        return QStringLiteral("%1(%2)").arg(bll()->getFluorophoreName(channel), bll()->getTargetName(channel));
    };
    plot->SetTitleName(QwtPlot::xBottom, title(xChannel));
    plot->SetTitleName(QwtPlot::yLeft, title(yChannel));
}

void Plot2DDot::setThresholdCrosses(Zt2DPlot *plot, const QList<uint> &wells, uint xChannel, uint yChannel) const
{
    const bool show = lineMode() && !(isIndividualMode == 1 && wells.size() > 1) && !wells.isEmpty()
                      && isChannel(xChannel) && isChannel(yChannel);
    plot->setThresholdVisible(show);
    if (!show)
        return;
    const uint w = wells.first();
    const QString cx = getChannelColor(int(xChannel));
    const QString cy = getChannelColor(int(yChannel));
    const WellListModel *model = WellListModel::instance();
    plot->setSolidXLinePen(cx, CrossWidth);
    plot->setSolidYLinePen(cy, CrossWidth);
    plot->setDottedXLinePen(cx, CrossWidth);
    plot->setDottedYLinePen(cy, CrossWidth);
    plot->setSolidThreshold(QPointF(model->getCachedThreshold(w, xChannel), model->getCachedThreshold(w, yChannel)));
    plot->setDottedThreshold(QPointF(bll()->getThldByLine(w, xChannel), bll()->getThldByLine(w, yChannel)));
}

void Plot2DDot::showPlot(const QList<uint> &wells, uint plotId, Zt2DPlot *plot)
{
    plot->clearCurves();
    plot->clearShapes();
    const QPair<uint, uint> xy = plotGroups()->get2DPlotChannels(plotId);
    const uint x = xy.first;
    const uint y = xy.second;
    setAxisTitles(plot, x, y);

    if (!lineMode()) {
        plot->setThresholdVisible(false);
        if (populations()->getZones().isEmpty())
            m_polygons->clear();
        if (wells.size() == 1)
            plot->setPolygons(m_polygons->getPlotZones(int(wells.first()), plotId));
        else if (wells.size() > 1)
            isIndividualMode = 0;
    } else {
        setThresholdCrosses(plot, wells, x, y);
    }
    setPlotAxisRange(plot, x, y);
    plot->addCurves(collectPlotPoints(wells, x, y), DotSize);
}

void Plot2DDot::updateVertexTolerance(Zt2DPlot *plot)
{
    const int index = int(std::find(std::begin(m_plots), std::end(m_plots), plot) - std::begin(m_plots));
    if (index < 0 || index >= 4)
        return;
    const QWidget *canvas = plot->canvas();
    const double xSpan = plot->axisScaleDiv(QwtPlot::xBottom).range();
    const double ySpan = plot->axisScaleDiv(QwtPlot::yLeft).range();
    uint tx = 0, ty = 0;
    if (vertexTolerance(canvas->width(), canvas->height(), xSpan, ySpan, &tx, &ty))
        m_tolerances[index] = qMakePair(tx, ty);
    plot->setVertexTolerance(m_tolerances[index].first, m_tolerances[index].second);
}

void Plot2DDot::refreshPlots()
{
    const QList<uint> wells = selectedWells();
    const QVector<uint> shown = shownPlotIds();
    // The shapes are rebuilt unselected: no zone may stay selected for Remove.
    m_selectedZones.clear();
    setRootProperty("enableRemove", false);

    const int count = ::plotGrid(shown.size()).plots.size();
    QVector<QWidget *> placed;
    for (int i = 0; i < count; ++i) {
        const uint id = i == 1 && shown.size() == 2 ? shown.last() : shown.at(i);
        showPlot(wells, id, m_plots[i]);
        placed.append(m_plots[i]);
    }
    placeShownPlots(placed);
    // The tolerance needs the plots' laid-out size, not the one of their last showing.
    if (QLayout *layout = plotArea()->layout())
        layout->activate();
    for (int i = 0; i < count; ++i) {
        m_plots[i]->updateLayout();
        updateVertexTolerance(m_plots[i]);
    }
    // A polygon-mode plot of several wells may have forced common scope.
    setRootProperty("isCommonAll", isIndividualMode != 1);
}

// ---- Axis ranges ---------------------------------------------------------------------------------

void Plot2DDot::axisXYClicked(QPair<double, double> xRange, QPair<double, double> yRange)
{
    setCurrentPlot(sender() ? sender()->objectName() : QString());
    auto *dialog = new Plot2DPropertyDialog;
    dialog->setAxisRange(xRange, yRange);
    centreOnActiveWindow(dialog);
    connect(dialog, &Plot2DPropertyDialog::updateProperty, this, &Plot2DDot::updateProperty, Qt::UniqueConnection);
    dialog->exec();
    dialog->deleteLater();
}

void Plot2DDot::updateProperty(QPair<double, double> xRange, QPair<double, double> yRange)
{
    const QPair<uint, uint> xy = plotGroups()->get2DPlotChannels(currentPlotId());
    const QList<uint> wells = selectedWells();
    storeAxisRange(&wellAxisRanges, wells, xy.first, xRange);
    storeAxisRange(&wellAxisRanges, wells, xy.second, yRange);
    fullRefresh();
}

// ---- Line thresholds ---------------------------------------------------------------------------

void Plot2DDot::updateTempThreshold(QPointF threshold)
{
    setCurrentPlot(sender() ? sender()->objectName() : QString());
    const QPair<uint, uint> xy = plotGroups()->get2DPlotChannels(currentPlotId());
    if (!isChannel(xy.first) || !isChannel(xy.second))
        return;
    const int tx = int(std::max(0.0, threshold.x()));
    const int ty = int(std::max(0.0, threshold.y()));
    WellListModel *wells = WellListModel::instance();
    QList<uint> targets;
    if (isIndividualMode != 1)
        targets = wells->getAllWellIDs();
    else if (!selectedWells().isEmpty())
        targets.append(selectedWells().first());
    for (uint well : qAsConst(targets)) {
        wells->setCachedThreshold(well, xy.first, tx);
        wells->setCachedThreshold(well, xy.second, ty);
    }
    syncSolidThresholds(m_currentPlot);
    // The dragging plot replots once this returns.
    if (m_currentPlot >= 1)
        followSolidCross(m_currentPlot - 1, true);
    refreshThresholdTable();
}

void Plot2DDot::syncSolidThresholds(int skipPlot)
{
    const int count = ::plotGrid(shownPlotIds().size()).plots.size();
    for (int i = 0; i < count; ++i) {
        if (i + 1 != skipPlot)
            moveSolidLine(i, 0);
    }
}

void Plot2DDot::moveSolidLine(int plotIndex, uint value)
{
    Q_UNUSED(value) // the cache holds it, for every channel of the plot
    const QList<uint> wells = selectedWells();
    const QVector<uint> shown = shownPlotIds();
    // The first selected well, as the plots draw it: with several wells in common scope there
    // is no single selected well.
    if (wells.isEmpty() || plotIndex < 0 || plotIndex >= ::plotGrid(shown.size()).plots.size())
        return;
    const uint id = plotIndex == 1 && shown.size() == 2 ? shown.last() : shown.at(plotIndex);
    const QPair<uint, uint> xy = plotGroups()->get2DPlotChannels(id);
    if (!isChannel(xy.first) || !isChannel(xy.second))
        return;
    const WellListModel *model = WellListModel::instance();
    m_plots[plotIndex]->setSolidThreshold(QPointF(model->getCachedThreshold(wells.first(), xy.first),
                                                  model->getCachedThreshold(wells.first(), xy.second)));
    followSolidCross(plotIndex, false);
    m_plots[plotIndex]->replot();
}

bool Plot2DDot::followSolidCross(int plotIndex, bool dragged)
{
    Zt2DPlot *plot = m_plots[plotIndex];
    if (!plot->isThresholdVisible())
        return false;
    const QPointF solid = plot->solidThreshold();
    const QPointF dotted = plot->dottedThreshold();
    const bool x = m_xAxes[plotIndex].follow(plot, QwtPlot::xBottom, {solid.x(), dotted.x()}, {solid.x()}, dragged);
    const bool y = m_yAxes[plotIndex].follow(plot, QwtPlot::yLeft, {solid.y(), dotted.y()}, {solid.y()}, dragged);
    return x || y;
}

void Plot2DDot::showTypedThreshold(uint channel, uint value)
{
    Q_UNUSED(channel)
    Q_UNUSED(value)
    // Every plot moves its solid cross to the cache; the dots follow the document.
    syncSolidThresholds(0);
}

// ---- Combinations and thumbnails -------------------------------------------------------------

void Plot2DDot::updateThumbnails()
{
    const QList<uint> wells = selectedWells();
    const QList<LumaraAnalysisData::Customized2DPlotInfo> combinations = plotGroups()->get2DPlots();
    const QVector<uint> shown = shownPlotIds();
    const QVector<uint> marked = thumbnailModel()->getDeletePlotIds();
    thumbnailModel()->clear();

    struct Job {
        LumaraAnalysisData::Customized2DPlotInfo combination;
        PairDots dots;
        PointMap map;
        QRectF bounds;
        std::unique_ptr<Zt2DPlot> plot;
        DotLayerItem *layer = nullptr;
        QSize canvasSize;
        QwtScaleMap xMap, yMap;
        QImage image;
    };
    std::vector<Job> jobs(size_t(combinations.size()));
    GreyCache greys;
    for (int i = 0; i < combinations.size(); ++i) {
        jobs[size_t(i)].combination = combinations.at(i);
        jobs[size_t(i)].dots = gatherDots(wells, combinations.at(i).xChannel, combinations.at(i).yChannel, greys);
    }
    // 1. Pool: the point maps and their bounds.
    QtConcurrent::blockingMap(jobs, [](Job &job) {
        job.map = pointsOf(job.dots);
        job.bounds = pointMapBounds(job.map);
    });
    // 2. GUI thread, in combination order: the plot around the dots, whose automatic ranges
    // become the channels' (the last combination of a channel wins), then the page's ranges.
    for (Job &job : jobs) {
        const uint x = job.combination.xChannel;
        const uint y = job.combination.yChannel;
        job.plot = std::make_unique<Zt2DPlot>();
        Zt2DPlot *plot = job.plot.get();
        plot->resize(750, 550);
        plot->setStyleSheet(QStringLiteral("background-color: rgb(255,255,255)"));
        plot->ensurePolished();
        setAxisTitles(plot, x, y);
        setThresholdCrosses(plot, wells, x, y);
        job.layer = new DotLayerItem(job.bounds);
        job.layer->attach(plot);
        plot->setAxisAutoScale(QwtPlot::xBottom);
        plot->setAxisAutoScale(QwtPlot::yLeft);
        plot->updateAxes();
        if (isChannel(x)) {
            const QwtScaleDiv &div = plot->axisScaleDiv(QwtPlot::xBottom);
            m_autoRanges[int(x) - 1] = AxisRange(div.lowerBound(), div.upperBound());
        }
        if (isChannel(y)) {
            const QwtScaleDiv &div = plot->axisScaleDiv(QwtPlot::yLeft);
            m_autoRanges[int(y) - 1] = AxisRange(div.lowerBound(), div.upperBound());
        }
    }
    for (Job &job : jobs) {
        Zt2DPlot *plot = job.plot.get();
        setPlotAxisRange(plot, job.combination.xChannel, job.combination.yChannel);
        plot->updateAxes();
        plot->updateLayout();
        job.canvasSize = plot->canvas()->size();
        job.xMap = plot->canvasMap(QwtPlot::xBottom);
        job.yMap = plot->canvasMap(QwtPlot::yLeft);
    }
    // 3. Pool: each dot layer painted as the plot's curves would draw it.
    QtConcurrent::blockingMap(jobs, [](Job &job) {
        job.image = paintDotLayer(job.map, job.canvasSize, job.xMap, job.yMap, DotSize);
    });
    // 4. GUI thread: the plots with their layers grabbed and scaled.
    QVector<ThumbnailData> rows;
    for (Job &job : jobs) {
        job.layer->setLayer(job.image);
        ThumbnailData row;
        row.plotId = job.combination.id;
        row.image = job.plot->grab().toImage().scaled(scaled(142), scaled(129), Qt::KeepAspectRatioByExpanding,
                                                      Qt::SmoothTransformation);
        row.title = thumbnailTitle(job.combination.name, bll()->getTargetName(job.combination.xChannel),
                                   bll()->getTargetName(job.combination.yChannel));
        row.first = true;
        row.shown = shown.contains(row.plotId);
        row.marked = marked.contains(row.plotId);
        rows.append(row);
    }
    thumbnailModel()->setThumbnails(rows);
    if (thumbnailModel()->getShownPlotIds().isEmpty())
        thumbnailModel()->showFirst();
}

void Plot2DDot::addPlotCombition()
{
    auto *dialog = new AddPlotCombition;
    centreOnActiveWindow(dialog);
    connect(dialog, &AddPlotCombition::selectPlotCombition, this, &Plot2DDot::selectPlotCombition,
            Qt::UniqueConnection);
    dialog->exec();
    dialog->deleteLater();
}

void Plot2DDot::selectPlotCombition(int channelID1, int channelID2, QString plotName)
{
    if (channelID1 < 1 || channelID2 < 1)
        return;
    plotGroups()->add2DPlot(plotName, uint(channelID1), uint(channelID2));
    emit dataFixed();
    fullRefresh();
}

void Plot2DDot::deletePlotCombition()
{
    auto *message = new DialogMessage(1, tr("This thumbnail will be removed from the analysis.Do you wish to continue?"));
    centreOnActiveWindow(message);
    const bool yes = message->exec() == 1;
    message->deleteLater();
    if (!yes)
        return;
    const QVector<uint> marked = thumbnailModel()->getDeletePlotIds();
    bool removed = false;
    for (uint id : marked)
        removed = plotGroups()->remove2DPlot(id) || removed;
    if (removed)
        emit dataFixed();
    fullRefresh();
    deleteStatusChange();
}

void Plot2DDot::updatePlotCombitionName(QModelIndex index, QString name)
{
    const uint id = index.data(ThumbnailModel::PlotIdRole).toUInt();
    if (plotGroups()->get2DPlotName(id) != name && plotGroups()->rename2DPlot(id, name))
        emit dataFixed();
}

// ---- Polygon zones ------------------------------------------------------------------------------

void Plot2DDot::autoCreatePopulations(bool flag)
{
    m_autoCreate = flag;
}

void Plot2DDot::addZoneToWells(uint zoneId, uint plotId, const QPolygonF &polygon)
{
    PopulationsMgr *pm = populations();
    for (uint well : bll()->getWellIds()) {
        PolygonZoneInfo zone;
        zone.wellID = well;
        zone.zoneID = zoneId;
        zone.plotID = plotId;
        zone.applied = polygon;
        m_polygons->addZone(zone);
        pm->setDrpltNumByPolygon(well, zoneId, uint(std::max(0, countZoneDroplets(plotId, well, polygon))));
    }
}

void Plot2DDot::addZones(QPolygonF polygon)
{
    setCurrentPlot(sender() ? sender()->objectName() : QString());
    const uint plotId = currentPlotId();
    if (plotId == 0)
        return;
    m_colourIndex = populations()->getPopulations().size();
    m_lastPolygon = polygon;
    if (!m_autoCreate) {
        const uint zone = populations()->addPolygonZone(polygon, plotId);
        if (zone != 0) {
            addZoneToWells(zone, plotId, polygon);
            emit dataFixed();
        }
        updateThumbnails();
        resetAxisScale();
        return;
    }
    auto *dialog = new AddpopulationDialog;
    if (QWidget *window = QApplication::activeWindow()) {
        dialog->resize(window->size());
        dialog->move(centredOn(window->geometry(), dialog->size()));
    }
    dialog->setCircleColor(newPopulationColor(m_colourIndex));
    connect(dialog, &AddpopulationDialog::yesClicked, this, &Plot2DDot::addPopulation, Qt::UniqueConnection);
    connect(this, &Plot2DDot::populationNameExist, dialog, &AddpopulationDialog::populationNameExist,
            Qt::UniqueConnection);
    const int result = dialog->exec();
    dialog->deleteLater();
    // Declined: the outline just drawn belongs to no zone and goes with the redraw.
    if (result != QDialog::Accepted)
        resetAxisScale();
}

void Plot2DDot::addPopulation(QString color, QString name)
{
    const uint plotId = currentPlotId();
    PopulationsMgr *pm = populations();
    if (name.isEmpty() || pm->isPopulationNameExist(name)) {
        emit populationNameExist();
        return;
    }
    if (plotId == 0)
        return;
    if (Zt2DPlot *plot = currentPlotWidget())
        plot->setNewPolygonColor(newPopulationColor(m_colourIndex));
    const uint population = pm->addPopulation(name, color);
    if (population == 0)
        return;
    m_populations->addPopulation(name, color);
    const uint zone = pm->addPolygonZoneOfPopulation(m_lastPolygon, population, plotId);
    if (zone != 0) {
        pm->bindPopulationAndZone(qMakePair(zone, LumaraAnalysisData::ZoneType(0)), population);
        addZoneToWells(zone, plotId, m_lastPolygon);
    }
    emit dataFixed();
    if (auto *dialog = qobject_cast<QDialog *>(sender()))
        dialog->accept();
    updateThumbnails();
    resetAxisScale();
}

void Plot2DDot::updateSharp(QVector<QPair<QPolygonF, QPolygonF>> shape)
{
    setCurrentPlot(sender() ? sender()->objectName() : QString());
    for (const auto &pair : shape)
        updatePendingPolygon(pair.first, pair.second);
}

void Plot2DDot::updatePendingPolygon(const QPolygonF &applied, const QPolygonF &edited)
{
    const uint plotId = currentPlotId();
    const int well = WellListModel::instance()->getSelectWellID();
    if (plotId == 0 || well < 0)
        return;
    const int zone = m_polygons->findZoneId(uint(well), plotId, applied);
    if (zone < 0)
        return;
    if (isIndividualMode == 1) {
        m_polygons->setPendingPolygon(well, zone, edited);
        return;
    }
    for (uint w : WellListModel::instance()->getAllWellIDs())
        m_polygons->setPendingPolygon(int(w), zone, edited);
}

void Plot2DDot::applyPolygonChange()
{
    m_polygons->applyPolygonChange();
    resetAxisScale();
}

void Plot2DDot::cancelPolygonChange()
{
    m_polygons->clearPendingPolygons();
    resetAxisScale();
}

void Plot2DDot::removePolygon()
{
    const QVector<uint> zones = m_selectedZones;
    m_polygons->removeZones(zones);
    for (Zt2DPlot *plot : m_plots)
        plot->clearShapeSelection();
    m_selectedZones.clear();
    if (!zones.isEmpty())
        emit dataFixed();
    resetAxisScale();
}

void Plot2DDot::updateZoneDroplets(uint zoneID, uint plotID, uint wellID, QPolygonF thld)
{
    populations()->setDrpltNumByPolygon(wellID, zoneID, uint(std::max(0, countZoneDroplets(plotID, wellID, thld))));
}

void Plot2DDot::zoneSelectStatus(QPolygonF polygon, bool select)
{
    setCurrentPlot(sender() ? sender()->objectName() : QString());
    const int well = WellListModel::instance()->getSelectWellID();
    const uint plotId = currentPlotId();
    if (well < 0 || plotId == 0)
        return;
    const int zone = m_polygons->findZoneId(uint(well), plotId, polygon);
    if (zone < 0)
        return;
    if (select)
        m_selectedZones.append(uint(zone));
    else
        m_selectedZones.removeOne(uint(zone));
}
