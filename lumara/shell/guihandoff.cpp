#include "shell/guihandoff.h"

#include "io/poolhandover.h"

#include <QDebug>
#include <QThread>

#include <condition_variable>
#include <exception>
#include <mutex>

// Standard locks: a thread checker follows them, unlike Qt's own.
struct GuiHandOff::State {
    QObject *context = nullptr;
    std::mutex mutex;
    std::condition_variable changed;
    bool closed = false;
};

namespace {

struct Call {
    bool begun = false;
    bool done = false;
    bool ok = false;
};

bool runGuarded(const std::function<void()> &work)
{
    try {
        work();
        return true;
    } catch (const std::exception &e) {
        qWarning() << "Work handed to the GUI thread failed:" << e.what();
    } catch (...) {
        qWarning() << "Work handed to the GUI thread failed";
    }
    return false;
}

} // namespace

GuiHandOff::GuiHandOff(QObject *context) : m_state(std::make_shared<State>())
{
    m_state->context = context;
}

bool GuiHandOff::run(const std::function<void()> &work) const
{
    const std::shared_ptr<State> state = m_state;
    auto call = std::make_shared<Call>();
    std::unique_lock<std::mutex> lock(state->mutex);
    // Checked and posted under the lock: the context goes only after close() has taken it.
    if (state->closed || !state->context)
        return false;
    if (QThread::currentThread() == state->context->thread()) {
        lock.unlock();
        return runGuarded(work);
    }
    PoolHandover::give(PoolHandover::queue());
    // The work stays in the caller's frame: it runs only while the caller still waits, which
    // it does until the work is done or the hand-off was closed before the work began.
    const std::function<void()> *pending = &work;
    QMetaObject::invokeMethod(
        state->context,
        [state, call, pending] {
            PoolHandover::take(PoolHandover::queue());
            {
                std::lock_guard<std::mutex> guard(state->mutex);
                if (state->closed)
                    return;
                call->begun = true;
            }
            const bool ok = runGuarded(*pending);
            std::lock_guard<std::mutex> guard(state->mutex);
            call->ok = ok;
            call->done = true;
            state->changed.notify_all();
        },
        Qt::QueuedConnection);
    state->changed.wait(lock, [&] { return call->done || (state->closed && !call->begun); });
    return call->done && call->ok;
}

void GuiHandOff::close()
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    m_state->closed = true;
    m_state->changed.notify_all();
}

bool GuiHandOff::isClosed() const
{
    std::lock_guard<std::mutex> lock(m_state->mutex);
    return m_state->closed;
}
