#pragma once
// What the benchmarks of drawn widgets share: a widget shown and exposed on the offscreen
// platform, a count of the paints it really did, and the main that starts the application.
#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>
#include <benchmark/benchmark.h>

namespace WidgetBench {

inline void showExposed(QWidget &widget, const QSize &size)
{
    widget.resize(size);
    widget.show();
    for (int i = 0; i < 200 && !(widget.windowHandle() && widget.windowHandle()->isExposed()); ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    QApplication::processEvents();
}

// A replot only schedules a paint: counted, a figure shows that every round really painted.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

inline int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}

} // namespace WidgetBench
