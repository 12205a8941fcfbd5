// Opening from the shell on a generated 96-well run archive (see benchpackage.h): the main
// window's own road (the check, the busy overlay, the worker, the well list's reload, the first
// page made current and drawn) until the hub reports the wells, against the business layer's
// open alone on the same package. Each iteration measures both back to back, so they see the
// same machine load, and reports their ratio. Run from build/bin (the data folder is ../data);
// without a display it runs offscreen.
#include "benchpackage.h"

#include "bll/bllinstance.h"
#include "bll/signaltransfer.h"
#include "shell/appresources.h"
#include "shell/mainwindows.h"
#include "shell/mainwinframe.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

using namespace BenchPackage;

const Archive &archive()
{
    static const Archive a = generate(defaultOptions(), QStringLiteral("bench"));
    return a;
}

MainWindows &window()
{
    static std::unique_ptr<MainWindows> w;
    if (!w) {
        w = std::make_unique<MainWindows>(QString());
        w->show();
    }
    return *w;
}

// The window's open until the wells are reported, the worker's steps are done and the first
// page is current and drawn. Returns the seconds, or a negative value when it failed.
double shellOpen(const QString &path)
{
    MainWindows &w = window();
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
    w.startOpenFile(path);
    loop.exec();
    // The worker's own steps (title, recent record, first page) follow the wells.
    while (w.isOpening())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    w.repaint();
    const double s = t.nsecsElapsed() / 1e9;
    return failed || w.frame()->currentIndex() != 0 ? -1.0 : s;
}

void BM_ShellOpen(benchmark::State &state)
{
    const Archive &a = archive();
    if (!a.error.isEmpty()) {
        state.SkipWithError(qPrintable(a.error));
        return;
    }
    BLLInstance *bll = BLLInstance::getInstance();
    double bare = 0.0, shell = 0.0;
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        const bool opened = bll->openFile(a.path);
        bare += t.nsecsElapsed() / 1e9;
        // Whatever the bare open announced is delivered before the shell's turn.
        QCoreApplication::processEvents();
        const double s = shellOpen(a.path);
        if (!opened || s < 0 || bll->getWellIds().size() != a.wells) {
            state.SkipWithError("the package did not open");
            return;
        }
        shell += s;
        state.SetIterationTime(s);
    }
    const double n = double(state.iterations());
    state.counters["bll_open_ms"] = 1000.0 * bare / n;
    state.counters["shell_per_bll_open"] = shell / bare;
}
BENCHMARK(BM_ShellOpen)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("QT_QUICK_BACKEND", "software");
    }
    QApplication app(argc, argv);
    // The engine's data paths are relative to the working folder, as the program's are.
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    QTemporaryDir machine;
    if (qEnvironmentVariableIsEmpty("LUMARA_ROOT"))
        qputenv("LUMARA_ROOT", machine.path().toUtf8());
    benchmark::Initialize(&argc, argv);
    initAppResources();
    BLLInstance::createSingletons();
    archive(); // generated before any timing
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
