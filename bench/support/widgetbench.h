#pragma once
// What the benchmarks of drawn widgets share: a widget shown and exposed on the offscreen
// platform, a count of the paints it really did, the offscreen platform's notice left out, and
// the main that starts the application with a per-machine folder of its own.
#include <QApplication>
#include <QEvent>
#include <QTemporaryDir>
#include <QWidget>
#include <QWindow>
#include <benchmark/benchmark.h>

namespace WidgetBench {

// The offscreen platform cannot pass a window's size hints on and says so each time a window's
// layout sets its minimum size: a message about the platform, not about what is measured.
// Every other message goes on as before.
inline QtMessageHandler &passedOnTo()
{
    static QtMessageHandler handler = nullptr;
    return handler;
}

inline void withoutOffscreenNotice(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtWarningMsg && message == QLatin1String("This plugin does not support propagateSizeHints()"))
        return;
    passedOnTo()(type, context, message);
}

// After the application object exists.
inline void leaveOutOffscreenNotice()
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen") && !passedOnTo())
        passedOnTo() = qInstallMessageHandler(withoutOffscreenNotice);
}

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

// setUp, where given, runs once the application and the per-machine folder exist (a page's
// resources and the business layer).
inline int main(int argc, char **argv, void (*setUp)() = nullptr)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        qputenv("QT_QUICK_BACKEND", "software");
    QApplication app(argc, argv);
    leaveOutOffscreenNotice();
    // What the program keeps per machine goes to a folder removed when main ends.
    QTemporaryDir machine;
    if (qEnvironmentVariableIsEmpty("LUMARA_ROOT"))
        qputenv("LUMARA_ROOT", machine.path().toLocal8Bit());
    if (setUp)
        setUp();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}

} // namespace WidgetBench
