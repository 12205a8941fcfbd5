// The 1D page drawing one plot (96 selected seeded wells x 20000 droplets, one channel, one
// counted canvas paint per round) and its full refresh (6 channels, 4 shown, thumbnails
// included), against a bare QPainter drawPoints of the same 1.92 M points with the plot's
// dot pen (3.0) into an image of the canvas' size.
#include "plots/OneDotPlot/plot1ddot.h"
#include "plots/OneDotPlot/zetan1plot.h"
#include "plots/common/thumbnailmodel.h"
#include "plots/common/thumbnailview.h"

#include "bll/bllinstance.h"
#include "bll/signaltransfer.h"
#include "seeddocument.h"
#include "shell/appresources.h"
#include "shell/globalvalues.h"
#include "shell/welllistmodel.h"
#include "widgetbench.h"

#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <qwt_plot_canvas.h>
#include <random>

namespace {

constexpr int Wells = 96;
constexpr int Droplets = 20000;
const QSize PageSize(1920, 1080);

QString seedRun()
{
    initAppResources();
    // No OpenGL offscreen: the page's QML renders in software, as in the tests.
    QQuickWindow::setSceneGraphBackend(QSGRendererInterface::Software);
    BllTest::DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2, 3, 4, 5, 6});
    std::mt19937 random(11);
    std::uniform_int_distribution<uint> negative(3000, 6000), positive(14000, 22000), coin(0, 9);
    for (int w = 0; w < Wells; ++w) {
        BllTest::WellSeed well = BllTest::well(uint(w) + 1, QStringLiteral("W%1").arg(w + 1), {1, 2, 3, 4, 5, 6});
        well.droplets.reserve(Droplets);
        for (int i = 0; i < Droplets; ++i) {
            BllTest::Greys g{};
            for (uint &v : g)
                v = coin(random) < 3 ? positive(random) : negative(random);
            well.droplets.append(BllTest::droplet(g));
        }
        well.lineThresholds.fill(10000);
        seed.wells.append(well);
    }
    QString error;
    if (!BllTest::seedDocument(seed, nullptr, &error))
        return error;
    for (const BllTest::WellSeed &w : seed.wells)
        BLLInstance::getInstance()->updateZonesDroplets(w.id, false);
    WellListModel::instance()->setModelType(0);
    emit SignalTransfer::getInstance()->updateWellInfo();
    return QString();
}

const QString &seeded()
{
    static const QString error = seedRun();
    return error;
}

// The page on screen with every well selected and the first `shown` channels shown.
struct ShownPage {
    explicit ShownPage(int shown) : page(&thumbs)
    {
        WellListModel *wells = WellListModel::instance();
        for (int row = 0; row < wells->rowCount(); ++row)
            wells->setData(wells->index(row, 0), true, WellListModel::WellSelect);
        WidgetBench::showExposed(page, PageSize);
        emit page.wellListView()->sigWellSelectChange();
        for (int row = 1; row < shown; ++row)
            thumbs.setData(thumbs.index(row, 0), true, ThumbnailModel::ShownRole);
        emit page.thumbnailView()->modelDataChange();
        QApplication::processEvents();
    }
    ThumbnailModel thumbs;
    Plot1DDot page;
};

QSize canvasSize()
{
    static const QSize size = [] {
        ShownPage shown(1);
        return shown.page.plot(0)->canvas()->contentsRect().size();
    }();
    return size;
}

} // namespace

static void BM_OneDotPageDrawPlot(benchmark::State &state)
{
    if (!seeded().isEmpty()) {
        state.SkipWithError(qPrintable(seeded()));
        return;
    }
    ShownPage shown(1);
    Zetan1Plot *plot = shown.page.plot(0);
    WidgetBench::PaintCounter counter;
    plot->canvas()->installEventFilter(&counter);
    QElapsedTimer clock;
    qint64 buildNs = 0, paintNs = 0;
    for (auto _ : state) {
        clock.start();
        shown.page.drawPlot(plot, 1, false);
        buildNs += clock.nsecsElapsed();
        clock.start();
        QApplication::processEvents();
        paintNs += clock.nsecsElapsed();
    }
    // Where a round goes: handing the droplets to the plot, and the canvas paint.
    state.counters["build_ms"] = double(buildNs) / 1e6 / double(state.iterations());
    state.counters["paint_ms"] = double(paintNs) / 1e6 / double(state.iterations());
    state.counters["paints_per_round"] = double(counter.paints) / double(state.iterations());
    state.counters["canvas_w"] = plot->canvas()->width();
    state.counters["canvas_h"] = plot->canvas()->height();
}
BENCHMARK(BM_OneDotPageDrawPlot)->Unit(benchmark::kMillisecond);

static void BM_OneDotPageFullRefresh(benchmark::State &state)
{
    if (!seeded().isEmpty()) {
        state.SkipWithError(qPrintable(seeded()));
        return;
    }
    ShownPage shown(4);
    for (auto _ : state) {
        shown.page.refresh();
        QApplication::processEvents();
    }
    state.counters["shown"] = shown.thumbs.getShownChannelIds().size();
}
BENCHMARK(BM_OneDotPageFullRefresh)->Unit(benchmark::kMillisecond);

static void BM_PlainDrawPoints(benchmark::State &state)
{
    if (!seeded().isEmpty()) {
        state.SkipWithError(qPrintable(seeded()));
        return;
    }
    const QSize canvas = canvasSize();
    BLLInstance *bll = BLLInstance::getInstance();
    QVector<QPointF> points;
    for (uint w = 1; w <= uint(Wells); ++w) {
        const double start = points.size() + (points.size() / 30); // the layout's gaps, roughly
        const QVector<uint> greys = bll->getWellChannelGrayValues(w, 1);
        for (int j = 0; j < greys.size(); ++j)
            points.append(QPointF(start + j, greys.at(j)));
    }
    const double sx = canvas.width() / (points.last().x() + 1);
    const double sy = canvas.height() / 25000.0;
    QImage image(canvas, QImage::Format_ARGB32_Premultiplied);
    QPolygonF mapped(points.size());
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        for (int i = 0; i < points.size(); ++i)
            mapped[i] = QPointF(points[i].x() * sx, canvas.height() - points[i].y() * sy);
        painter.setPen(QPen(QBrush(QColor(QStringLiteral("#2b4b9b"))), 3.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
        painter.drawPoints(mapped);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["points"] = points.size();
}
BENCHMARK(BM_PlainDrawPoints)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return WidgetBench::main(argc, argv);
}
