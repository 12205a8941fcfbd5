// Replot of the 2D page's dot plot with 96 wells x 20000 droplets in four colour curves (the
// quadrants of a threshold cross), dots of size 3 antialiased, against a plain QPainter
// drawPoints of the same points with the same pens into an image of the canvas' size, plain
// and antialiased.
#include "plots/TwoDotPlot/zt2dplot.h"
#include "widgetbench.h"

#include <QImage>
#include <QPainter>
#include <QVBoxLayout>
#include <qwt_plot_canvas.h>
#include <random>

namespace {
constexpr int Wells = 96;
constexpr int DropletsPerWell = 20000;
constexpr double MaxGrey = 30000.0;
constexpr double Threshold = 10000.0;
constexpr double DotSize = 3.0;
const QSize PlotSize(1000, 800);
const char *const Colours[] = {"#2b4b9b", "#e42520", "#67b32e", "#e8a400"};

// The droplets of all wells split by quadrant, as the 2D page colours them.
const QVector<QVector<QPointF>> &quadrants()
{
    static const QVector<QVector<QPointF>> data = [] {
        std::mt19937 gen(23);
        std::normal_distribution<double> neg(4000, 600), pos(18000, 1500);
        QVector<QVector<QPointF>> out(4);
        for (int w = 0; w < Wells; ++w) {
            for (int i = 0; i < DropletsPerWell; ++i) {
                const QPointF p(i % 7 == 0 ? pos(gen) : neg(gen), i % 5 == 0 ? pos(gen) : neg(gen));
                out[(p.x() >= Threshold ? 1 : 0) + (p.y() >= Threshold ? 2 : 0)].append(p);
            }
        }
        return out;
    }();
    return data;
}

// The plot inside a window, as on the page (a parentless plot would be a window itself).
struct ShownPlot {
    ShownPlot()
    {
        auto *layout = new QVBoxLayout(&host);
        layout->setContentsMargins(0, 0, 0, 0);
        plot = new Zt2DPlot(&host);
        layout->addWidget(plot);
        plot->setAxisScale(QwtPlot::xBottom, 0, MaxGrey);
        plot->setAxisScale(QwtPlot::yLeft, 0, MaxGrey);
        WidgetBench::showExposed(host, PlotSize);
    }
    QWidget host;
    Zt2DPlot *plot = nullptr;
};

} // namespace

static void BM_Zt2DPlotReplot(benchmark::State &state)
{
    ShownPlot shown;
    Zt2DPlot *plot = shown.plot;
    plot->clearCurves();
    for (int q = 0; q < 4; ++q)
        plot->addCurve(QString::fromLatin1(Colours[q]), quadrants()[q], DotSize);
    QApplication::processEvents();
    WidgetBench::PaintCounter counter;
    plot->canvas()->installEventFilter(&counter);
    for (auto _ : state) {
        plot->replot(); // schedules the canvas paint ...
        QApplication::processEvents(); // ... which the event loop carries out
    }
    // Every replot must really have painted the canvas, or the figure means nothing.
    state.counters["paints_per_replot"] = double(counter.paints) / double(state.iterations());
    state.counters["points"] = double(Wells) * DropletsPerWell;
    state.counters["canvas_w"] = plot->canvas()->width();
    state.counters["canvas_h"] = plot->canvas()->height();
}
BENCHMARK(BM_Zt2DPlotReplot)->Unit(benchmark::kMillisecond);

static void BM_PlainDrawPoints(benchmark::State &state)
{
    QSize canvas;
    {
        ShownPlot probe;
        canvas = probe.plot->canvas()->contentsRect().size();
    }
    QImage image(canvas, QImage::Format_ARGB32_Premultiplied);
    const double sx = canvas.width() / MaxGrey;
    const double sy = canvas.height() / MaxGrey;
    QVector<QPolygonF> mapped(4);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing, state.range(0) != 0);
        for (int q = 0; q < 4; ++q) {
            const QVector<QPointF> &pts = quadrants()[q];
            QPolygonF &out = mapped[q];
            out.resize(pts.size());
            for (int i = 0; i < pts.size(); ++i)
                out[i] = QPointF(pts[i].x() * sx, canvas.height() - pts[i].y() * sy);
            painter.setPen(QPen(QBrush(QColor(Colours[q])), DotSize, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
            painter.drawPoints(out);
        }
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
// 0: aliased, as the plot library's own benchmark draws; 1: antialiased like the plot.
BENCHMARK(BM_PlainDrawPoints)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return WidgetBench::main(argc, argv);
}
