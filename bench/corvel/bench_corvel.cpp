// Replot of a 2D dot plot of 96 wells x 20000 droplets, against a plain QPainter drawPoints of
// the same points, with the same pen, into an image of the canvas' size.
#include "quorin2dplot.h"
#include "widgetbench.h"

#include <QImage>
#include <QPainter>
#include <qwt_plot_canvas.h>
#include <random>

namespace {
constexpr int Wells = 96;
constexpr int DropletsPerWell = 20000;
constexpr double MaxGrey = 30000.0;
const QSize PlotSize(1000, 800);

const QVector<QVector<QPointF>> &wells()
{
    static const QVector<QVector<QPointF>> data = [] {
        std::mt19937 gen(11);
        std::normal_distribution<double> neg(4000, 600), pos(18000, 1500);
        QVector<QVector<QPointF>> out;
        for (int w = 0; w < Wells; ++w) {
            QVector<QPointF> pts;
            pts.reserve(DropletsPerWell);
            for (int i = 0; i < DropletsPerWell; ++i)
                pts.append(QPointF(i % 7 == 0 ? pos(gen) : neg(gen), i % 5 == 0 ? pos(gen) : neg(gen)));
            out.append(pts);
        }
        return out;
    }();
    return data;
}

QString wellColour(int w)
{
    return QColor::fromHsv((w * 37) % 360, 220, 200).name();
}

void showExposed(QWidget &w)
{
    WidgetBench::showExposed(w, PlotSize);
}
} // namespace

static void BM_Plot2DReplot(benchmark::State &state)
{
    const double size = double(state.range(0));
    Quorin2DPlot plot;
    plot.ClearPlot2DPoints();
    for (int w = 0; w < Wells; ++w)
        plot.AppendPlot2DPoints(wells()[w], wellColour(w), size);
    plot.SetQwtPlotAxisInfo(QwtPlot::xBottom, 0, MaxGrey, 0);
    plot.SetQwtPlotAxisInfo(QwtPlot::yLeft, 0, MaxGrey, 0);
    showExposed(plot);
    WidgetBench::PaintCounter counter;
    plot.canvas()->installEventFilter(&counter);
    for (auto _ : state) {
        plot.replot(); // schedules the canvas paint ...
        QApplication::processEvents(); // ... which the event loop carries out
    }
    // Every replot must really have painted the canvas, or the figure means nothing.
    state.counters["paints_per_replot"] = double(counter.paints) / double(state.iterations());
    state.counters["canvas_w"] = plot.canvas()->width();
    state.counters["canvas_h"] = plot.canvas()->height();
}
BENCHMARK(BM_Plot2DReplot)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

static void BM_PlainDrawPoints(benchmark::State &state)
{
    const double size = double(state.range(0));
    // The canvas of the plot above at the same widget size.
    Quorin2DPlot probe;
    showExposed(probe);
    const QSize canvas = probe.canvas()->contentsRect().size();
    probe.hide();

    QImage image(canvas, QImage::Format_ARGB32_Premultiplied);
    const double sx = canvas.width() / MaxGrey;
    const double sy = canvas.height() / MaxGrey;
    QPolygonF mapped(DropletsPerWell);
    for (auto _ : state) {
        image.fill(Qt::white);
        QPainter painter(&image);
        for (int w = 0; w < Wells; ++w) {
            const QVector<QPointF> &pts = wells()[w];
            for (int i = 0; i < pts.size(); ++i)
                mapped[i] = QPointF(pts[i].x() * sx, canvas.height() - pts[i].y() * sy);
            painter.setPen(QPen(QBrush(QColor(wellColour(w))), size, Qt::SolidLine,
                                Qt::SquareCap, Qt::BevelJoin));
            painter.drawPoints(mapped);
        }
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PlainDrawPoints)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    return WidgetBench::main(argc, argv);
}
