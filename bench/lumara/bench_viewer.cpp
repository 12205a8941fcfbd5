// The droplet image views: the automatic stretch of a 4096 x 4096 image against cv::LUT over
// the same image (and a map computed per pixel in doubles, for scale); one repaint of a 1024 x
// 1024 image carrying 15000 markers of each kind against the same view with the image alone;
// and a whole marker set of 15000 droplets against creating and parenting 15000 bare markers;
// the same two for the quality-control panel, whose markers come from drawing every droplet.
// Each iteration times both sides; the counters give the ratio of the totals. Run offscreen.
#include "pages/DropletImage/dropletmarkerlayer.h"
#include "pages/DropletImage/qcimageprocessmanager.h"
#include "pages/Explore/explordrpltmarker.h"
#include "pages/Explore/exploreview.h"
#include "pages/QualityControl/dropletpannel.h"
#include "pages/QualityControl/qcdrpltmarker.h"

#include "bll/bllinstance.h"
#include "bll/dropletexclude.h"
#include "bll/signaltransfer.h"
#include "seeddocument.h"
#include "widgetbench.h"
#include "shell/appresources.h"
#include "shell/welllistmodel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGraphicsPixmapItem>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <functional>
#include <memory>
#include <random>

namespace {

constexpr int Markers = 15000;
constexpr int ImageSide = 1024;
constexpr int GridColumns = 125; // droplets 8 pixels apart
constexpr int Spacing = 8;

QPoint centreOf(int i)
{
    return QPoint(12 + Spacing * (i % GridColumns), 12 + Spacing * (i / GridColumns));
}

// A dark noisy background with bright droplets, as a chamber image looks.
cv::Mat chamberImage(int side, int droplets)
{
    cv::Mat image(side, side, CV_8UC1);
    cv::randu(image, cv::Scalar(8), cv::Scalar(40));
    std::mt19937 random(3);
    std::uniform_int_distribution<int> level(90, 200);
    for (int i = 0; i < droplets; ++i) {
        const QPoint c = centreOf(i);
        if (c.x() < side && c.y() < side)
            cv::circle(image, cv::Point(c.x(), c.y()), 3, cv::Scalar(level(random)), cv::FILLED);
    }
    return image;
}

// Each iteration times `bare`, then `work` (the iteration's time); `between` runs untimed
// before each. The counter `ratioName` is the ratio of the two totals.
void against(benchmark::State &state, const char *ratioName, const std::function<void()> &bare,
             const std::function<void()> &work, const std::function<void()> &between = {})
{
    double workSeconds = 0.0, bareSeconds = 0.0;
    for (auto _ : state) {
        if (between)
            between();
        QElapsedTimer timer;
        timer.start();
        bare();
        bareSeconds += timer.nsecsElapsed() * 1e-9;
        if (between)
            between();
        timer.restart();
        work();
        const double seconds = timer.nsecsElapsed() * 1e-9;
        workSeconds += seconds;
        state.SetIterationTime(seconds);
    }
    const double n = double(state.iterations());
    state.counters["bare_ms"] = 1000.0 * bareSeconds / n;
    state.counters[ratioName] = workSeconds / bareSeconds;
}

// ---- The stretch ------------------------------------------------------------------------------

void BM_AutoContrast(benchmark::State &state)
{
    const cv::Mat image = chamberImage(4096, 4096 * 4096 / 64);
    cv::Mat table(1, 256, CV_8U);
    for (int p = 0; p < 256; ++p)
        table.at<uchar>(p) = cv::saturate_cast<uchar>(p * 1.7 - 20);
    QCImageProcessManager manager(nullptr);
    cv::Mat out;
    against(
        state, "auto_per_lut", [&] { cv::LUT(image, table, out); },
        [&] { benchmark::DoNotOptimize(manager.autoContrast(image).data); });
}
BENCHMARK(BM_AutoContrast)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

// What a map computed per pixel in doubles costs against the table.
void BM_PerPixelDoubles(benchmark::State &state)
{
    const cv::Mat image = chamberImage(4096, 4096 * 4096 / 64);
    cv::Mat table(1, 256, CV_8U);
    for (int p = 0; p < 256; ++p)
        table.at<uchar>(p) = cv::saturate_cast<uchar>(p * 1.7 - 20);
    cv::Mat out;
    cv::Mat perPixel(image.size(), CV_8UC1);
    against(
        state, "per_pixel_per_lut", [&] { cv::LUT(image, table, out); },
        [&] {
            for (int y = 0; y < image.rows; ++y) {
                const uchar *in = image.ptr<uchar>(y);
                uchar *to = perPixel.ptr<uchar>(y);
                for (int x = 0; x < image.cols; ++x) {
                    double v = in[x] * 1.7 - 20.0;
                    v = v > 255.0 ? 255.0 : v;
                    to[x] = uchar(v >= 0.0 ? v : 0.0);
                }
            }
            benchmark::DoNotOptimize(perPixel.data);
        });
}
BENCHMARK(BM_PerPixelDoubles)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

// ---- Repaint ----------------------------------------------------------------------------------

class BenchView : public ExploreView {
public:
    using DropletImageView::showMat;
};

std::unique_ptr<BenchView> viewWith(const cv::Mat &image)
{
    auto view = std::make_unique<BenchView>();
    view->resize(800, 800);
    view->show();
    QApplication::processEvents();
    view->showMat(image);
    QApplication::processEvents();
    return view;
}

template <typename Marker>
void addMarkers(QGraphicsItem *imageItem, int count)
{
    for (int i = 0; i < count; ++i) {
        auto *marker = new Marker;
        marker->id = uint(i);
        marker->setPos(centreOf(i));
        marker->excluded = i % 50 == 0;
        marker->selected = i % 7 == 0;
        marker->setParentItem(imageItem);
    }
    if (DropletMarkerLayer *layer = DropletMarkerLayer::of(imageItem))
        layer->markersChanged();
}

void BM_Repaint(benchmark::State &state)
{
    const cv::Mat image = chamberImage(ImageSide, Markers);
    auto plain = viewWith(image);
    auto marked = viewWith(image);
    markerColorMode = state.range(0) == 2 ? 0 : 1;
    markerColor = QStringLiteral("#e42520");
    if (state.range(0) == 0) {
        addMarkers<QCDrpltMarker>(marked->imageItem(), Markers);
    } else {
        addMarkers<ExplorDrpltMarker>(marked->imageItem(), Markers);
        for (QGraphicsItem *child : marked->imageItem()->childItems())
            if (auto *marker = dynamic_cast<ExplorDrpltMarker *>(child))
                marker->shown = true;
    }
    // The first paint fills the layer's cache, as the first paint after a marker set does.
    marked->viewport()->repaint();
    plain->viewport()->repaint();
    against(
        state, "markers_per_image", [&] { plain->viewport()->repaint(); },
        [&] { marked->viewport()->repaint(); });
}
BENCHMARK(BM_Repaint)
    ->ArgName("kind")
    ->Arg(0) // quality-control crosses
    ->Arg(1) // explore discs
    ->Arg(2) // explore rings
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(20);

// ---- Marker set -------------------------------------------------------------------------------

// One well of 15000 droplets, all above channel 1's threshold, with its 1024 x 1024 image.
QString seedWell()
{
    BllTest::DocumentSeed seed;
    seed.targets = BllTest::namedTargets({1});
    BllTest::WellSeed well = BllTest::well(1, QStringLiteral("A1"), {1});
    well.droplets.reserve(Markers);
    for (int i = 0; i < Markers; ++i) {
        BllTest::Greys g{};
        g[0] = 3000 + uint(i % 500);
        BllTest::DropletSeed d = BllTest::droplet(g);
        d.centre = centreOf(i);
        well.droplets.append(d);
    }
    well.lineThresholds[0] = 1000;
    const cv::Mat image = chamberImage(ImageSide, Markers);
    QImage picture(image.data, image.cols, image.rows, int(image.step), QImage::Format_Grayscale8);
    well.channelImages = {picture.copy()};
    seed.wells = {well};
    QString error;
    if (!BllTest::seedDocument(seed, nullptr, &error))
        return error;
    BLLInstance::getInstance()->updateZonesDroplets(1, false);
    WellListModel *wells = WellListModel::instance();
    wells->setModelType(0);
    emit SignalTransfer::getInstance()->updateWellInfo();
    if (wells->modelIsEmpty())
        return QStringLiteral("the well list stayed empty");
    wells->clearSelect();
    wells->setData(wells->index(0, 0), true, WellListModel::WellSelect);
    return QString();
}

void BM_MarkerSet(benchmark::State &state)
{
    const QString error = seedWell();
    if (!error.isEmpty()) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    auto view = std::make_unique<BenchView>();
    view->resize(800, 800);
    view->show();
    view->loadImage(1, 1);
    QGraphicsPixmapItem *bareImage = nullptr;
    auto bareView = viewWith(chamberImage(ImageSide, Markers));
    against(
        state, "set_per_bare_markers",
        [&] {
            bareImage = bareView->imageItem();
            for (int i = 0; i < Markers; ++i) {
                auto *marker = new ExplorDrpltMarker;
                marker->id = uint(i);
                marker->setPos(centreOf(i));
                marker->shown = true;
                marker->setParentItem(bareImage);
            }
            if (DropletMarkerLayer *layer = DropletMarkerLayer::of(bareImage))
                layer->markersChanged();
        },
        [&] { view->markBy1DThreshold(1, true, false); },
        [&] {
            // Items are polished by the event loop; removing unpolished ones costs far more.
            QApplication::processEvents();
            if (bareImage) {
                const QList<QGraphicsItem *> children = bareImage->childItems();
                for (QGraphicsItem *child : children)
                    if (DropletMarker::fromItem(child))
                        delete child;
                bareImage = nullptr;
                QApplication::processEvents();
            }
        });
    state.counters["markers"] = double(view->imageItem() ? view->imageItem()->childItems().size() - 1 : 0);
}
BENCHMARK(BM_MarkerSet)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

// ---- Quality-control panel --------------------------------------------------------------------

class BenchPanel : public DropletPannel {
public:
    using DropletImageView::showMat;
};

// The seeded well with every 50th droplet excluded; the panel showing it with its markers.
std::unique_ptr<BenchPanel> qcPanel(QString *error)
{
    *error = seedWell();
    if (!error->isEmpty())
        return nullptr;
    QSet<uint> excluded;
    for (uint i = 0; i < uint(Markers); i += 50)
        excluded.insert(i);
    BLLInstance::getInstance()->getDropletExclude()->excludeDroplets(1, excluded);
    auto panel = std::make_unique<BenchPanel>();
    panel->resize(800, 800);
    panel->show();
    QApplication::processEvents();
    panel->loadImage(1, 1);
    QApplication::processEvents();
    if (panel->markers().size() != Markers)
        *error = QStringLiteral("the panel drew %1 markers").arg(panel->markers().size());
    return panel;
}

void BM_QcPanelRepaint(benchmark::State &state)
{
    QString error;
    auto marked = qcPanel(&error);
    if (!error.isEmpty()) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    auto plain = std::make_unique<BenchPanel>();
    plain->resize(800, 800);
    plain->show();
    QApplication::processEvents();
    plain->showMat(marked->shownImage().clone());
    marked->viewport()->repaint();
    plain->viewport()->repaint();
    against(
        state, "markers_per_image", [&] { plain->viewport()->repaint(); },
        [&] { marked->viewport()->repaint(); });
}
BENCHMARK(BM_QcPanelRepaint)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);

// A population switch draws the image afresh and every droplet's marker; the bare side shows
// the same image and creates and parents as many markers.
void BM_QcDrawMarkers(benchmark::State &state)
{
    QString error;
    auto panel = qcPanel(&error);
    if (!error.isEmpty()) {
        state.SkipWithError(qPrintable(error));
        return;
    }
    const uint population = panel->currentPopulation();
    const cv::Mat image = panel->shownImage().clone();
    auto bare = std::make_unique<BenchPanel>();
    bare->resize(800, 800);
    bare->show();
    against(
        state, "draw_per_bare_markers",
        [&] {
            bare->showMat(image);
            for (int i = 0; i < Markers; ++i) {
                auto *marker = new QCDrpltMarker;
                marker->id = uint(i);
                marker->setPos(centreOf(i));
                marker->setParentItem(bare->imageItem());
            }
            if (DropletMarkerLayer *layer = DropletMarkerLayer::of(bare->imageItem()))
                layer->markersChanged();
        },
        [&] { panel->switchPopulation(population); },
        // Items are polished by the event loop between rounds.
        [] { QApplication::processEvents(); });
    state.counters["markers"] = double(panel->markers().size());
}
BENCHMARK(BM_QcDrawMarkers)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

} // namespace

int main(int argc, char **argv)
{
    return WidgetBench::main(argc, argv, [] {
        initAppResources();
        BLLInstance::createSingletons();
    });
}
