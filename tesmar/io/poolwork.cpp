#include "io/poolwork.h"

#include "io/poolhandover.h"

#include <QRunnable>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>

// What the starter, the helpers and the waiting thread share. Standard locks, so that every
// hand-over is one a thread checker can follow.
struct PoolWork::State {
    int count = 0;
    std::function<void(int)> body;
    std::atomic<int> next{0};
    std::mutex mutex;
    std::condition_variable finished;
    int running = 0;

    void work()
    {
        for (int i = next.fetch_add(1); i < count; i = next.fetch_add(1))
            body(i);
    }
};

namespace {

// Deletes itself after its run; the state lives as long as the last helper that shares it.
class Helper : public QRunnable {
public:
    explicit Helper(std::shared_ptr<PoolWork::State> state) : m_state(std::move(state)) {}
    void run() override
    {
        PoolHandover::take(this);
        {
            // Taken once the starter has started its helpers: everything it set up is visible.
            std::lock_guard<std::mutex> lock(m_state->mutex);
        }
        try {
            m_state->work();
        } catch (...) {
            // The item's own result stays as it was; the others go on.
        }
        std::lock_guard<std::mutex> lock(m_state->mutex);
        --m_state->running;
        m_state->finished.notify_all();
    }

private:
    std::shared_ptr<PoolWork::State> m_state;
};

} // namespace

PoolWork::PoolWork(int count, std::function<void(int)> body, bool callerJoinsAtOnce)
    : m_state(std::make_shared<State>())
{
    m_state->count = std::max(count, 0);
    m_state->body = std::move(body);
    QThreadPool *pool = QThreadPool::globalInstance();
    std::lock_guard<std::mutex> lock(m_state->mutex);
    const int wanted = std::min(m_state->count - (callerJoinsAtOnce ? 1 : 0), pool->maxThreadCount());
    for (int h = 0; h < wanted; ++h) {
        auto *helper = new Helper(m_state);
        ++m_state->running;
        PoolHandover::give(helper);
        if (!pool->tryStart(helper)) {
            // Not taken: no thread was free.
            --m_state->running;
            delete helper;
            break;
        }
    }
}

PoolWork::~PoolWork()
{
    m_state->next.store(m_state->count);
    std::unique_lock<std::mutex> lock(m_state->mutex);
    m_state->finished.wait(lock, [this] { return m_state->running == 0; });
}

void PoolWork::finish()
{
    try {
        m_state->work();
    } catch (...) {
    }
    // The body stays valid until every helper is past its last item.
    std::unique_lock<std::mutex> lock(m_state->mutex);
    m_state->finished.wait(lock, [this] { return m_state->running == 0; });
}

void poolFor(int count, const std::function<void(int)> &body)
{
    if (count <= 0)
        return;
    PoolWork work(count, body, true);
    work.finish();
}

PoolThreadReservation::PoolThreadReservation()
{
    QThreadPool::globalInstance()->reserveThread();
}

PoolThreadReservation::~PoolThreadReservation()
{
    release();
}

void PoolThreadReservation::release()
{
    if (m_held)
        QThreadPool::globalInstance()->releaseThread();
    m_held = false;
}
