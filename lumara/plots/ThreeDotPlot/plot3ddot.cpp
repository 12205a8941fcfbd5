#include "plots/ThreeDotPlot/plot3ddot.h"

#include "bll/bllinstance.h"
#include "bll/plotgroupmgr.h"
#include "bll/populationsmgr.h"
#include "bll/signaltransfer.h"
#include "plots/ThreeDotPlot/add3dcombition.h"
#include "plots/ThreeDotPlot/dotclassify.h"
#include "plots/ThreeDotPlot/zonemodel.h"
#include "plots/TwoDotPlot/thumbnai2ddelegate.h"
#include "plots/common/thumbnailmodel.h"
#include "plots/common/thumbnailview.h"
#include "shell/channelcolors.h"
#include "shell/dialoghost.h"
#include "shell/dialogmessage.h"
#include "shell/globalvalues.h"
#include "shell/wellheaderview.h"
#include "shell/welllistdelegate.h"
#include "shell/welllistmodel.h"
#include "shell/welllistview.h"

#include <QHBoxLayout>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QQmlContext>
#include <QQuickItem>
#include <QVBoxLayout>
#include <QtDataVisualization/Q3DScatter>
#include <QtDataVisualization/Q3DCamera>
#include <QtDataVisualization/Q3DScene>
#include <QtDataVisualization/Q3DTheme>
#include <QtDataVisualization/QScatter3DSeries>
#include <QtDataVisualization/QScatterDataProxy>
#include <QtDataVisualization/QValue3DAxis>

#include <algorithm>

using namespace QtDataVisualization;
using namespace LumaraAnalysisData;

namespace {

const QString Grey = QStringLiteral("#555555");

BLLInstance *bll()
{
    return BLLInstance::getInstance();
}

bool validChannel(int channel)
{
    return channel >= 1 && channel <= PerChannel;
}

int scaled(double length)
{
    return int(length * uiScaleFactor);
}

// The kept droplets' values of the channels in one well, aligned (droplet i in every list).
QVector<QVector<uint>> wellValues(uint wellId, const QVector<int> &channels)
{
    QVector<QVector<uint>> values;
    for (int channel : channels)
        values.append(bll()->getWellChannelGrayValues(wellId, uint(channel)));
    return values;
}

int keptCount(const QVector<QVector<uint>> &values)
{
    int n = values.isEmpty() ? 0 : values.first().size();
    for (const QVector<uint> &v : values)
        n = qMin(n, v.size());
    return n;
}

} // namespace

bool Plot3DDot::openGLAvailable()
{
    static const bool available = [] {
        QOpenGLContext context;
        return context.create();
    }();
    return available;
}

Plot3DDot::Plot3DDot(QWidget *parent) : QQuickWidget(parent)
{
    m_zoneModel = new ZoneModel(this);
    rootContext()->setContextProperty(QStringLiteral("PopulationModel"), this);
    rootContext()->setContextProperty(QStringLiteral("ZoneModel"), m_zoneModel);
    loadScaledView(this, QUrl(QStringLiteral("qrc:/ThreeDotPlot/qml/Plot3DDot.qml")));

    m_wellHeader = new WellHeaderView(Qt::Horizontal, this);
    m_wellHeader->setMinimumHeight(32);
    m_wellHeader->setMaximumHeight(32);
    auto *wellDelegate = new WellListDelegate(this);
    m_wellView = new WellListView(this);
    m_wellView->setHorizontalHeader(m_wellHeader);
    m_wellView->setModel(WellListModel::instance());
    m_wellView->setItemDelegate(wellDelegate);
    m_wellView->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    m_root = rootObject();

    // Without GL the graph cannot even be asked for its scene: no graph, panel and models only.
    if (openGLAvailable()) {
        m_graph = new Q3DScatter;
        m_renderGraph = new Q3DScatter;
        m_container = QWidget::createWindowContainer(m_graph, this);
        m_container->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    } else {
        m_container = new QWidget(this);
    }

    m_thumbnailView = new ThumbnailView(this);
    m_thumbnailDelegate = new Thumbnai2DDelegate(this);
    m_thumbnailModel = new ThumbnailModel(this);
    m_thumbnailView->setMinimumWidth(scaled(200));
    m_thumbnailView->setMaximumWidth(scaled(200));
    m_thumbnailView->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    m_thumbnailView->setModel(m_thumbnailModel);
    m_thumbnailView->setItemDelegate(m_thumbnailDelegate);
    m_thumbnailView->setSingleSelection();

    auto *column = new QVBoxLayout;
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addSpacing(scaled(550));
    column->addWidget(m_thumbnailView);
    column->addSpacing(scaled(33));
    auto *row = new QHBoxLayout(this);
    row->setSpacing(0);
    row->setContentsMargins(scaled(26), scaled(26), scaled(28), scaled(30));
    row->addWidget(m_wellView, 1);
    row->addSpacing(scaled(15));
    row->addWidget(m_container, 5);
    row->addSpacing(scaled(50));
    row->addLayout(column, 1);

    SignalTransfer *hub = SignalTransfer::getInstance();
    connect(hub, &SignalTransfer::updateWellComplete, this, &Plot3DDot::resetDocument);
    connect(m_zoneModel, &ZoneModel::zoneSelectUpdate, this, &Plot3DDot::zoneSelectUpdate);
    connect(m_wellView, &WellListView::sigWellSelectChange, this, &Plot3DDot::updateWellModel);
    connect(m_thumbnailView, &ThumbnailView::modelDataChange, this, &Plot3DDot::updateWellModel);
    connect(m_thumbnailModel, &ThumbnailModel::updatePlotCombitionName, this, &Plot3DDot::updatePlotCombitionName);
    connect(m_thumbnailDelegate, &Thumbnai2DDelegate::deleteStatusChange, this, &Plot3DDot::deleteStatusChange);
    if (m_root) {
        connect(hub, SIGNAL(updateWellComplete()), m_root.data(), SIGNAL(openNewFile()));
        connect(this, SIGNAL(updateModelData()), m_root.data(), SIGNAL(openNewFile()));
        connect(m_root.data(), SIGNAL(populationChange()), this, SLOT(populationUpdate()));
        connect(m_root.data(), SIGNAL(addPlotCombition()), this, SLOT(addPlotCombition()));
        connect(m_root.data(), SIGNAL(deletePlotCombition()), this, SLOT(deletePlotCombition()));
    }
}

Plot3DDot::~Plot3DDot()
{
    // The shown graph belongs to its container; the render graph has no parent.
    delete m_renderGraph;
}

ThumbnailView *Plot3DDot::thumbnailView() const
{
    return m_thumbnailView;
}

QStringList Plot3DDot::getPopulationNames() const
{
    if (WellListModel::instance()->getAllWellIDs().isEmpty())
        return {};
    QStringList names{QStringLiteral("Default")};
    names.append(bll()->getPopulationsMgr()->getPopulationNames());
    return names;
}

uint Plot3DDot::populationOfIndex(int index) const
{
    const QList<PopulationsInfo> &populations = bll()->getPopulationsMgr()->getPopulations();
    if (index <= 0 || index > populations.size())
        return 0;
    return populations.at(index - 1).id;
}

int Plot3DDot::currentPopulationIndex() const
{
    if (!m_root)
        return 0;
    const int index = m_root->property("currentPopulationIndex").toInt();
    // An index past the list counts as "Default".
    return populationOfIndex(index) == 0 ? 0 : index;
}

void Plot3DDot::refreshPage()
{
    if (WellListModel::instance()->getAllWellIDs().isEmpty())
        return;
    emit updateModelData();
    updateWellModel();
}

void Plot3DDot::updateWellModel()
{
    const uint population = populationOfIndex(currentPopulationIndex());
    if (m_root)
        m_root->setProperty("circleColor", population != 0 ? bll()->getPopulationsMgr()->getPopulationColor(population) : Grey);
    m_zoneModel->updateZones(population);
    rebuildThumbnails();
    redraw();
}

void Plot3DDot::populationUpdate()
{
    updateWellModel();
}

void Plot3DDot::zoneSelectUpdate()
{
    rebuildThumbnails();
    redraw();
}

void Plot3DDot::initData()
{
    clearGraph(m_graph);
    clearGraph(m_renderGraph);
}

void Plot3DDot::resetDocument()
{
    initData();
    // The old document's plots, zones and population are no choice in the new one.
    m_thumbnailModel->clear();
    m_zoneModel->updateZones(0);
    if (m_root) {
        m_root->setProperty("currentPopulationIndex", 0);
        m_root->setProperty("circleColor", Grey);
        m_root->setProperty("deleteEnable", false);
    }
    if (isVisible())
        refreshPage();
}

void Plot3DDot::clearGraph(Q3DScatter *graph)
{
    if (!graph)
        return;
    const QList<QScatter3DSeries *> series = graph->seriesList();
    for (QScatter3DSeries *s : series) {
        graph->removeSeries(s);
        delete s;
    }
}

void Plot3DDot::prepareGraph(Q3DScatter *graph)
{
    clearGraph(graph);
    Q3DTheme *theme = graph->activeTheme();
    theme->setType(Q3DTheme::ThemeUserDefined);
    QFont font = theme->font();
    font.setPointSize(10);
    theme->setFont(font);
    theme->setBackgroundEnabled(false);
    graph->setShadowQuality(QAbstract3DGraph::ShadowQualityNone);
    graph->scene()->activeCamera()->setCameraPreset(Q3DCamera::CameraPresetFront);
}

void Plot3DDot::redraw()
{
    const QVector<uint> current = m_thumbnailModel->getShownPlotIds();
    if (current.isEmpty())
        return;
    const QVector3D channels = bll()->getPlotGroupMgr()->get3DPlotChannels(current.first());
    draw(m_graph, int(channels.x()), int(channels.y()), int(channels.z()));
}

void Plot3DDot::rebuildThumbnails()
{
    const QVector<uint> current = m_thumbnailModel->getShownPlotIds();
    const QVector<uint> marked = m_thumbnailModel->getDeletePlotIds();
    const QList<Customized3DPlotInfo> plots = bll()->getPlotGroupMgr()->get3DPlots();
    if (m_renderGraph)
        m_renderGraph->resize(800, 600);
    QVector<ThumbnailData> rows;
    for (const Customized3DPlotInfo &plot : plots) {
        const int x = int(plot.xChannel), y = int(plot.yChannel), z = int(plot.zChannel);
        ThumbnailData row;
        row.plotId = plot.id;
        if (m_renderGraph) {
            draw(m_renderGraph, x, y, z);
            row.image = m_renderGraph->renderToImage(0, m_renderGraph->size())
                            .scaled(scaled(142), scaled(129), Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
        }
        row.title = Dot3D::plotTitle(plot.name, bll()->getTargetName(uint(x)), bll()->getTargetName(uint(y)),
                                     bll()->getTargetName(uint(z)));
        row.first = true;
        row.hovered = false;
        row.shown = current.contains(plot.id);
        row.marked = marked.contains(plot.id);
        rows.append(row);
    }
    m_thumbnailModel->setThumbnails(rows);
    // Without a current plot (a new document, the shown plot deleted) the first one shows.
    if (m_thumbnailModel->getShownPlotIds().isEmpty())
        m_thumbnailModel->showFirst();
}

QVector<QString> Plot3DDot::octantColors(int x, int y, int z)
{
    int sorted[3] = {x, y, z};
    std::sort(sorted, sorted + 3);
    return {Grey,
            getChannelColor(z),
            getChannelColor(y),
            getTwoChannelColor(y, z),
            getChannelColor(x),
            getTwoChannelColor(x, z),
            getTwoChannelColor(x, y),
            getThreeChannelColor(sorted[0], sorted[1], sorted[2])};
}

DotSets Plot3DDot::octantDots(int x, int y, int z)
{
    DotSets sets;
    if (!validChannel(x) || !validChannel(y) || !validChannel(z))
        return sets;
    const bool lineMode = bll()->getThldType() == LineThreshold;
    const QList<uint> wells = WellListModel::instance()->getSelectWellIDs();
    for (uint well : wells) {
        const QVector<QVector<uint>> values = wellValues(well, {x, y, z});
        const uint tx = bll()->getThldByLine(well, uint(x));
        const uint ty = bll()->getThldByLine(well, uint(y));
        const uint tz = bll()->getThldByLine(well, uint(z));
        const int n = keptCount(values);
        for (int i = 0; i < n; ++i) {
            const uint gx = values[0][i], gy = values[1][i], gz = values[2][i];
            sets.largest = std::max({sets.largest, gx, gy, gz});
            const int octant = lineMode ? Dot3D::octantIndex(gx, gy, gz, tx, ty, tz) : 0;
            sets.lists[octant].append(QVector3D(float(gx), float(gy), float(gz)));
        }
    }
    return sets;
}

DotSets Plot3DDot::populationDots(int x, int y, int z, const QVector<uint> &selectedZones)
{
    DotSets sets;
    if (!validChannel(x) || !validChannel(y) || !validChannel(z))
        return sets;
    PopulationsMgr *populations = bll()->getPopulationsMgr();
    const bool lineMode = bll()->getThldType() == LineThreshold;
    const QList<uint> codes = populations->getPlotIdsOfZones(selectedZones);
    const QList<uint> wells = WellListModel::instance()->getSelectWellIDs();
    for (uint well : wells) {
        const QVector<QVector<uint>> shown = wellValues(well, {x, y, z});
        int n = keptCount(shown);
        QVector<QVector<uint>> bitValues;
        QVector<Dot3D::CodeBit> bits;
        uint forced = 0;
        QVector<Dot3D::PolygonZone> zones;
        if (lineMode) {
            // The droplet code as the recount builds it, or the colours would be another zone's.
            const BLLInstance::LineCode code = bll()->lineCode(well);
            QVector<int> channels;
            for (const BLLInstance::CodeBit &bit : code.bits) {
                channels.append(int(bit.channel));
                bits.append({bit.shift, bit.threshold});
            }
            forced = code.forced;
            bitValues = wellValues(well, channels);
            if (!channels.isEmpty())
                n = qMin(n, keptCount(bitValues));
        } else {
            for (uint zone : selectedZones) {
                const QPair<uint, uint> pair = bll()->getPlotGroupMgr()->get2DPlotChannels(populations->getZonePlotId(zone));
                zones.append({bll()->getThldByPolygon(well, zone), pair.first, pair.second});
            }
        }
        QVector<uint> droplet(bits.size());
        for (int i = 0; i < n; ++i) {
            const uint gx = shown[0][i], gy = shown[1][i], gz = shown[2][i];
            sets.largest = std::max({sets.largest, gx, gy, gz});
            const QVector3D point{float(gx), float(gy), float(gz)};
            bool in = false;
            if (lineMode) {
                for (int c = 0; c < bits.size(); ++c)
                    droplet[c] = bitValues[c][i];
                in = codes.contains(Dot3D::populationCode(droplet, bits, forced));
            } else {
                const Dot3D::Membership m = Dot3D::polygonMembership(zones, uint(x), uint(y), uint(z), point);
                if (m == Dot3D::NoZone)
                    continue;
                in = m == Dot3D::In;
            }
            sets.lists[in ? 7 : 0].append(point);
        }
    }
    return sets;
}

void Plot3DDot::draw(Q3DScatter *graph, int x, int y, int z)
{
    if (!graph)
        return;
    prepareGraph(graph);
    if (!validChannel(x) || !validChannel(y) || !validChannel(z))
        return;
    const uint population = populationOfIndex(currentPopulationIndex());
    QVector<QPair<QString, QVector<QVector3D>>> series;
    DotSets sets;
    if (population != 0) {
        sets = populationDots(x, y, z, m_zoneModel->getSelectZoneIDs());
        series.append({Grey, sets.lists[0]});
        series.append({bll()->getPopulationsMgr()->getPopulationColor(population), sets.lists[7]});
    } else {
        sets = octantDots(x, y, z);
        if (bll()->getThldType() == LineThreshold) {
            const QVector<QString> colors = octantColors(x, y, z);
            for (int k = 0; k < 8; ++k)
                series.append({colors[k], sets.lists[k]});
        } else {
            series.append({Grey, sets.lists[0]});
        }
    }
    for (const auto &s : series) {
        auto *proxy = new QScatterDataProxy;
        auto *item = new QScatter3DSeries(proxy);
        item->setMeshSmooth(true);
        item->setItemSize(0.01f);
        // The proxy takes the array: a new one per draw.
        auto *array = new QScatterDataArray(s.second.size());
        for (int i = 0; i < s.second.size(); ++i)
            (*array)[i].setPosition(s.second.at(i));
        proxy->resetArray(array);
        item->setBaseColor(QColor(s.first));
        graph->addSeries(item);
    }
    const float upper = Dot3D::axisUpper(sets.largest);
    const QVector<QPair<QValue3DAxis *, QString>> axes = {
        {graph->axisX(), QStringLiteral("X(%1)").arg(bll()->getFluorophoreName(uint(x)))},
        {graph->axisY(), QStringLiteral("Y(%1)").arg(bll()->getFluorophoreName(uint(y)))},
        {graph->axisZ(), QStringLiteral("Z(%1)").arg(bll()->getFluorophoreName(uint(z)))}};
    for (const auto &axis : axes) {
        axis.first->setRange(0, upper);
        axis.first->setTitle(axis.second);
        axis.first->setTitleVisible(true);
    }
    graph->activeTheme()->setLabelBackgroundEnabled(false);
}

void Plot3DDot::updatePlotCombitionName(QModelIndex index, QString name)
{
    const uint id = index.data(ThumbnailModel::PlotIdRole).toUInt();
    PlotGroupMgr *plots = bll()->getPlotGroupMgr();
    if (plots->get3DPlotName(id) != name && plots->rename3DPlot(id, name))
        emit SignalTransfer::getInstance()->dataFixed();
}

void Plot3DDot::addPlotCombition()
{
    auto *dialog = new Add3DCombition;
    centreOnActiveWindow(dialog);
    connect(dialog, &Add3DCombition::selectPlotCombition, this, &Plot3DDot::selectPlotCombition);
    dialog->exec();
    dialog->deleteLater();
    updateWellModel();
}

void Plot3DDot::selectPlotCombition(int channelID1, int channelID2, int ch3, QString plotName)
{
    if (bll()->getPlotGroupMgr()->add3DPlot(plotName, uint(channelID1), uint(channelID2), uint(ch3)) != 0)
        emit SignalTransfer::getInstance()->dataFixed();
}

void Plot3DDot::deletePlotCombition()
{
    auto *box = new DialogMessage(1, tr("This thumbnail will be removed from the analysis.Do you wish to continue?"));
    centreOnActiveWindow(box);
    const bool yes = box->exec() == 1;
    box->deleteLater();
    if (!yes)
        return;
    const QVector<uint> marked = m_thumbnailModel->getDeletePlotIds();
    for (uint id : marked)
        bll()->getPlotGroupMgr()->remove3DPlot(id);
    if (!marked.isEmpty())
        emit SignalTransfer::getInstance()->dataFixed();
    initData();
    updateWellModel();
    deleteStatusChange();
}

void Plot3DDot::deleteStatusChange()
{
    if (m_root)
        m_root->setProperty("deleteEnable", !m_thumbnailModel->getDeletePlotIds().isEmpty());
}
