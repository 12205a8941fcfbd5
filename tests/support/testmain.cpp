#include "testmain.h"

#if defined(__SANITIZE_THREAD__)
#include <sanitizer/tsan_interface.h>

// Qt's signal hooks, as Qt declares them for its own signal spies.
struct QSignalSpyCallbackSet {
    typedef void (*BeginCallback)(QObject *caller, int signal_or_method_index, void **argv);
    typedef void (*EndCallback)(QObject *caller, int signal_or_method_index);
    BeginCallback signal_begin_callback, slot_begin_callback;
    EndCallback signal_end_callback, slot_end_callback;
};
void Q_CORE_EXPORT qt_register_signal_spy_callbacks(QSignalSpyCallbackSet *callback_set);
#endif

namespace LumaraTest {

ScopedRoot::ScopedRoot()
{
    qputenv("LUMARA_ROOT", m_dir.path().toLocal8Bit());
    markQtHandovers();
}

#if defined(__SANITIZE_THREAD__)
namespace {

char queued = 0;

void signalEmitted(QObject *, int, void **)
{
    __tsan_release(&queued);
}

bool eventDelivered(void **)
{
    __tsan_acquire(&queued);
    return false;
}

} // namespace
#endif

void markQtHandovers()
{
#if defined(__SANITIZE_THREAD__)
    // A queued signal crosses threads under Qt's own locks, which the thread checker cannot
    // follow: every emission is marked as handing over, every delivery as taking over.
    static QSignalSpyCallbackSet callbacks = {signalEmitted, nullptr, nullptr, nullptr};
    qt_register_signal_spy_callbacks(&callbacks);
    QInternal::registerCallback(QInternal::EventNotifyCallback, eventDelivered);
#endif
}

QString sourcePath(const QString &relative)
{
    const QByteArray src = qgetenv("LUMARA_TEST_SOURCE");
    return QString::fromLocal8Bit(src) + QLatin1Char('/') + relative;
}

} // namespace LumaraTest
