// The 2D page redrawing one plot of 96 selected seeded wells x 20000 droplets until its canvas
// has painted (line mode and polygon mode), against a bare QPainter drawPoints of the same
// points with the same pens into an image of the canvas' size; and the thumbnails of the 15
// combinations of six channels with the thread pool at 1 and at 8 threads.
#include "plots/TwoDotPlot/dotlayer.h"
#include "plots/TwoDotPlot/plot2ddot.h"
#include "plots/TwoDotPlot/zt2dplot.h"
#include "plots/common/thumbnailmodel.h"
#include "plots/common/thumbnailview.h"

#include "bll/bllinstance.h"
#include "bll/plotgroupmgr.h"
#include "bll/populationsmgr.h"
#include "bll/signaltransfer.h"
#include "seededrun.h"
#include "shell/appresources.h"
#include "shell/channelcolors.h"
#include "shell/globalvalues.h"
#include "shell/welllistmodel.h"
#include "widgetbench.h"

#include <QImage>
#include <QPainter>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QThreadPool>
#include <qwt_plot_canvas.h>

namespace {

constexpr int Wells = 96;
const QSize PageSize(1920, 1080);
constexpr uint Threshold = 2000; // the seeded run's line thresholds of channels 1 and 2 ...
constexpr uint ThresholdY = 2010; // ... are 2000 and 2010

// The shared seeded run, with the 15 combinations of its six channels, as the page finds it
// after an open.
QString seedRun()
{
    initAppResources();
    QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
    const QString error = BenchSeed::seeded();
    if (!error.isEmpty())
        return error;
    BLLInstance *bll = BLLInstance::getInstance();
    for (uint x = 1; x <= 6; ++x) {
        for (uint y = x + 1; y <= 6; ++y)
            bll->getPlotGroupMgr()->add2DPlot(QString(), x, y);
    }
    for (uint w = 1; w <= uint(Wells); ++w)
        bll->updateZonesDroplets(w, false);
    WellListModel::instance()->setModelType(0);
    emit SignalTransfer::getInstance()->updateWellInfo();
    return QString();
}

const QString &seeded()
{
    static const QString error = seedRun();
    return error;
}

// The page on screen with every well selected and the first combination shown.
struct ShownPage {
    ShownPage()
    {
        QMetaObject::invokeMethod(&page, "initData");
        WellListModel *wells = WellListModel::instance();
        for (int row = 0; row < wells->rowCount(); ++row)
            wells->setData(wells->index(row, 0), true, WellListModel::WellSelect);
        WidgetBench::showExposed(page, PageSize);
        emit page.wellListView()->sigWellSelectChange();
        QApplication::processEvents();
    }
    Plot2DDot page;
};

// Polygon mode with two zones on the first combination, for the benchmark's life.
struct PolygonMode {
    PolygonMode()
    {
        BLLInstance *bll = BLLInstance::getInstance();
        bll->setThresholdingType(LumaraAnalysisData::PolygonThreshold);
        const uint plot = bll->getPlotGroupMgr()->get2DPlots().first().id;
        PopulationsMgr *pm = bll->getPopulationsMgr();
        pm->addPolygonZone(QPolygonF(QVector<QPointF>{{2500, 2500}, {9500, 2500}, {9500, 9500}, {2500, 9500}}), plot);
        pm->addPolygonZone(QPolygonF(QVector<QPointF>{{200, 2500}, {1800, 2500}, {1000, 9500}}), plot);
    }
    ~PolygonMode() { BLLInstance::getInstance()->setThresholdingType(LumaraAnalysisData::LineThreshold); }
};

void redraw(benchmark::State &state)
{
    ShownPage shown;
    Zt2DPlot *plot = shown.page.plot(0);
    WidgetBench::PaintCounter counter;
    plot->canvas()->installEventFilter(&counter);
    for (auto _ : state) {
        QMetaObject::invokeMethod(&shown.page, "resetAxisScale");
        QApplication::processEvents();
    }
    state.counters["paints_per_round"] = double(counter.paints) / double(state.iterations());
    state.counters["canvas_w"] = plot->canvas()->width();
    state.counters["canvas_h"] = plot->canvas()->height();
}

} // namespace

static void BM_TwoDotPageRedraw(benchmark::State &state)
{
    if (!seeded().isEmpty()) {
        state.SkipWithError(qPrintable(seeded()));
        return;
    }
    redraw(state);
}
BENCHMARK(BM_TwoDotPageRedraw)->Unit(benchmark::kMillisecond);

static void BM_TwoDotPageRedrawPolygons(benchmark::State &state)
{
    if (!seeded().isEmpty()) {
        state.SkipWithError(qPrintable(seeded()));
        return;
    }
    PolygonMode polygons;
    redraw(state);
}
BENCHMARK(BM_TwoDotPageRedrawPolygons)->Unit(benchmark::kMillisecond);

// The same points with the same four pens, mapped and drawn by hand.
static void BM_PlainDrawPoints2D(benchmark::State &state)
{
    if (!seeded().isEmpty()) {
        state.SkipWithError(qPrintable(seeded()));
        return;
    }
    QSize canvas;
    {
        ShownPage shown;
        canvas = shown.page.plot(0)->canvas()->size();
    }
    BLLInstance *bll = BLLInstance::getInstance();
    PointMap map;
    for (uint w = 1; w <= uint(Wells); ++w)
        map += lineWellPoints(bll->getWellChannelGrayValues(w, 1), bll->getWellChannelGrayValues(w, 2), Threshold, ThresholdY,
                              getTwoChannelColor(1, 2), getChannelColor(2), getChannelColor(1));
    QImage image(canvas, QImage::Format_ARGB32_Premultiplied);
    const double sx = canvas.width() / 10000.0, sy = canvas.height() / 10000.0;
    QVector<QPointF> mapped;
    int points = 0;
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, true);
        points = 0;
        for (const auto &pair : map) {
            mapped.resize(pair.second.size());
            for (int i = 0; i < pair.second.size(); ++i)
                mapped[i] = QPointF(pair.second[i].x() * sx, canvas.height() - pair.second[i].y() * sy);
            painter.setPen(QPen(QBrush(QColor(pair.first)), 3.0, Qt::SolidLine));
            painter.drawPoints(mapped.constData(), mapped.size());
            points += mapped.size();
        }
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["points"] = points;
}
BENCHMARK(BM_PlainDrawPoints2D)->Unit(benchmark::kMillisecond);

static void BM_TwoDotThumbnails(benchmark::State &state)
{
    if (!seeded().isEmpty()) {
        state.SkipWithError(qPrintable(seeded()));
        return;
    }
    ShownPage shown;
    QThreadPool *pool = QThreadPool::globalInstance();
    const int before = pool->maxThreadCount();
    pool->setMaxThreadCount(int(state.range(0)));
    for (auto _ : state)
        shown.page.updateThumbnails();
    pool->setMaxThreadCount(before);
    state.counters["combinations"] = shown.page.thumbnailModel()->rowCount();
    state.counters["threads"] = double(state.range(0));
    state.counters["ideal_threads"] = QThread::idealThreadCount();
}
BENCHMARK(BM_TwoDotThumbnails)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return WidgetBench::main(argc, argv);
}
