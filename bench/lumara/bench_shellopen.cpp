// Opening from the shell on a generated 96-well run archive (see benchpackage.h): the main
// window's own road (the check, the busy overlay, the worker, the well list's reload, the first
// page made current and drawn) until the hub reports the wells, against the business layer's
// open alone on the same package. Each iteration opens both ways back to back, the first of
// them alternating, each from a drained pool and a trimmed heap, and gives one ratio; the
// counters are medians over the iterations with the spread of the ratios. Run from build/bin
// (the data folder is ../data); without a display it runs offscreen.
#include "benchpackage.h"
#include "widgetbench.h"

#include "bll/bllinstance.h"
#include "bll/signaltransfer.h"
#include "shell/appresources.h"
#include "shell/mainwindows.h"
#include "shell/mainwinframe.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThreadPool>
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <vector>

namespace {

using namespace BenchPackage;

// Made in main, after the application object and before any timing, and ended before it: a
// window outliving the application would be torn down without its event dispatcher.
const Archive *package = nullptr;
MainWindows *window = nullptr;

// Every measured open starts alike: nothing an earlier open queued still working, no freed
// memory kept for reuse, every announcement delivered.
void settle()
{
    QCoreApplication::processEvents();
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    malloc_trim(0);
}

// The window's open until the wells are reported, the worker's steps are done and the first
// page is current and drawn. Returns the seconds, or a negative value when it failed.
double shellOpen(const QString &path)
{
    SignalTransfer *hub = SignalTransfer::getInstance();
    QEventLoop loop;
    bool failed = false;
    QObject::connect(hub, &SignalTransfer::updateWellComplete, &loop, &QEventLoop::quit);
    QObject::connect(hub, &SignalTransfer::openFileError, &loop, [&] {
        failed = true;
        loop.quit();
    });
    QElapsedTimer t;
    t.start();
    window->startOpenFile(path);
    loop.exec();
    // The worker's own steps (title, recent record, first page) follow the wells.
    while (window->isOpening())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    window->repaint();
    const double s = t.nsecsElapsed() / 1e9;
    return failed || window->frame()->currentIndex() != 0 ? -1.0 : s;
}

// The business layer's open alone; negative when it failed.
double bllOpen(const QString &path)
{
    QElapsedTimer t;
    t.start();
    const bool opened = BLLInstance::getInstance()->openFile(path);
    const double s = t.nsecsElapsed() / 1e9;
    return opened ? s : -1.0;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0.0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

void BM_ShellOpen(benchmark::State &state)
{
    if (!package->error.isEmpty()) {
        state.SkipWithError(qPrintable(package->error));
        return;
    }
    std::vector<double> bare, shell, ratios;
    bool shellFirst = false;
    for (auto _ : state) {
        double b = -1.0, s = -1.0;
        const auto openShell = [&s] {
            settle();
            s = shellOpen(package->path);
        };
        const auto openBare = [&b] {
            settle();
            b = bllOpen(package->path);
        };
        if (shellFirst) {
            openShell();
            openBare();
        } else {
            openBare();
            openShell();
        }
        settle();
        shellFirst = !shellFirst;
        if (b < 0 || s < 0 || BLLInstance::getInstance()->getWellIds().size() != package->wells) {
            state.SkipWithError("the package did not open");
            return;
        }
        bare.push_back(b);
        shell.push_back(s);
        ratios.push_back(s / b);
        state.SetIterationTime(s);
    }
    state.counters["bll_open_ms"] = 1000.0 * median(bare);
    state.counters["shell_open_ms"] = 1000.0 * median(shell);
    state.counters["shell_per_bll_open"] = median(ratios);
    state.counters["shell_per_bll_open_min"] = *std::min_element(ratios.begin(), ratios.end());
    state.counters["shell_per_bll_open_max"] = *std::max_element(ratios.begin(), ratios.end());
}
BENCHMARK(BM_ShellOpen)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("QT_QUICK_BACKEND", "software");
    }
    QApplication app(argc, argv);
    WidgetBench::leaveOutOffscreenNotice();
    // The engine's data paths are relative to the working folder, as the program's are.
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    QTemporaryDir machine;
    if (qEnvironmentVariableIsEmpty("LUMARA_ROOT"))
        qputenv("LUMARA_ROOT", machine.path().toUtf8());
    benchmark::Initialize(&argc, argv);
    initAppResources();
    BLLInstance::createSingletons();
    // Generated before any timing; removed when main ends, with the window before it.
    const Archive archive = generate(defaultOptions(), QStringLiteral("bench"));
    package = &archive;
    MainWindows shellWindow{QString()};
    shellWindow.show();
    window = &shellWindow;
    benchmark::RunSpecifiedBenchmarks();
    window = nullptr;
    return 0;
}
