// The explore page's plots for a well of 20000 kept droplets with a channel triple chosen:
// feeding the three 2D plots (updatePlots) against setting the same points on three bare dot
// curves of plots of the same size and replotting them. Both sides then render each plot
// (a grab), since an offscreen replot need not paint at once. Beside it, the marker set of a
// quadrant on the image. Each iteration times both sides; the counters give the ratio of the
// totals. Run offscreen.
#include "pages/Explore/explore2ddot.h"
#include "pages/Explore/explorepage.h"
#include "pages/Explore/exploreview.h"
#include "pages/Explore/quorinbox.h"

#include "bll/bllinstance.h"
#include "bll/signaltransfer.h"
#include "seeddocument.h"
#include "widgetbench.h"
#include "shell/appresources.h"
#include "shell/welllistmodel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QListWidget>
#include <benchmark/benchmark.h>

#include <qwt_plot.h>
#include <qwt_plot_curve.h>

#include <memory>
#include <random>

namespace {

constexpr int Droplets = 20000;
const QString Triple = QStringLiteral("T1-T2-T4");

QString seedWell()
{
    BllTest::DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1, 2, 4});
    BllTest::WellSeed w = BllTest::well(1, QStringLiteral("A1"), {1, 2, 4});
    std::mt19937 random(11);
    std::uniform_int_distribution<uint> grey(200, 9000);
    for (int i = 0; i < Droplets; ++i) {
        BllTest::Greys g{};
        g[0] = grey(random);
        g[1] = grey(random);
        g[3] = grey(random);
        BllTest::DropletSeed d = BllTest::droplet(g);
        d.centre = QPoint(8 + 7 * (i % 141), 8 + 7 * (i / 141));
        w.droplets.append(d);
    }
    w.lineThresholds[0] = 3000;
    w.lineThresholds[1] = 4000;
    w.lineThresholds[3] = 5000;
    QImage image(1000, 1000, QImage::Format_Grayscale8);
    image.fill(20);
    w.channelImages = {image, image, image, image};
    seed.wells = {w};
    QString error;
    if (!BllTest::seedDocument(seed, nullptr, &error))
        return error;
    BLLInstance::getInstance()->updateZonesDroplets(1, false);
    WellListModel::instance()->setModelType(0);
    emit SignalTransfer::getInstance()->updateWellInfo();
    if (WellListModel::instance()->modelIsEmpty())
        return QStringLiteral("the well list is empty");
    return QString();
}

bool choose(QuorinBox *box, const QString &name)
{
    for (int i = 0; i < box->list()->count(); ++i)
        if (box->list()->item(i)->data(QuorinBox::NameRole).toString() == name) {
            box->updateItem(box->list()->item(i));
            return true;
        }
    return false;
}

void BM_ExploreTriple(benchmark::State &state)
{
    const QString error = seedWell();
    if (!error.isEmpty()) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    auto page = std::make_unique<ExplorePage>();
    page->resize(1600, 1000);
    page->show();
    QApplication::processEvents();
    page->refresh();
    if (!choose(page->plots(), Triple)) {
        state.SkipWithError("no triple to choose");
        return;
    }
    QApplication::processEvents();

    // The bare side: one dot curve per plot, plots of the page's plots' sizes.
    BLLInstance *bll = BLLInstance::getInstance();
    const QVector<uint> g1 = bll->getWellChannelGrayValues(1, 1);
    const QVector<uint> g2 = bll->getWellChannelGrayValues(1, 2);
    const QVector<uint> g4 = bll->getWellChannelGrayValues(1, 4);
    auto pairOf = [](const QVector<uint> &x, const QVector<uint> &y) {
        QVector<QPointF> points(x.size());
        for (int i = 0; i < x.size(); ++i)
            points[i] = QPointF(x[i], y[i]);
        return points;
    };
    const QVector<QVector<QPointF>> samples = {pairOf(g1, g2), pairOf(g1, g4), pairOf(g2, g4)};
    const QVector<Explore2DDot *> shown = {page->plotXYView(), page->plotXZView(), page->plotYZView()};
    std::vector<std::unique_ptr<QwtPlot>> bare;
    std::vector<QwtPlotCurve *> curves;
    for (int i = 0; i < 3; ++i) {
        auto plot = std::make_unique<QwtPlot>();
        plot->resize(shown[i]->size());
        plot->setAxisScale(QwtPlot::xBottom, 0, 11000);
        plot->setAxisScale(QwtPlot::yLeft, 0, 11000);
        plot->show();
        auto *curve = new QwtPlotCurve;
        curve->setStyle(QwtPlotCurve::Dots);
        curve->setRenderHint(QwtPlotItem::RenderAntialiased, true);
        curve->setPen(QPen(QColor("#67b32e"), 1.7));
        curve->attach(plot.get());
        curves.push_back(curve);
        bare.push_back(std::move(plot));
    }
    QApplication::processEvents();

    double pageSeconds = 0.0, bareSeconds = 0.0, markerSeconds = 0.0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < 3; ++i) {
            curves[size_t(i)]->setSamples(samples[i]);
            bare[size_t(i)]->replot();
            benchmark::DoNotOptimize(bare[size_t(i)]->grab().cacheKey());
        }
        bareSeconds += timer.nsecsElapsed() * 1e-9;
        timer.restart();
        page->updatePlots(Triple);
        for (Explore2DDot *plot : shown)
            benchmark::DoNotOptimize(plot->grab().cacheKey());
        const double seconds = timer.nsecsElapsed() * 1e-9;
        pageSeconds += seconds;
        state.SetIterationTime(seconds);
        timer.restart();
        page->imageView()->showMarkerBy2DThreshold(1, 4, true, true, false);
        markerSeconds += timer.nsecsElapsed() * 1e-9;
    }
    const double n = double(state.iterations());
    state.counters["bare_ms"] = 1000.0 * bareSeconds / n;
    state.counters["marker_set_ms"] = 1000.0 * markerSeconds / n;
    state.counters["update_per_bare"] = pageSeconds / bareSeconds;
    state.counters["marker_per_bare"] = markerSeconds / bareSeconds;
}
BENCHMARK(BM_ExploreTriple)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

} // namespace

int main(int argc, char **argv)
{
    return WidgetBench::main(argc, argv, [] {
        initAppResources();
        BLLInstance::createSingletons();
    });
}
