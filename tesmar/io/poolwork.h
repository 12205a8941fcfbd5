#pragma once
// Items worked through on Qt's global pool without ever waiting for a thread that no one will
// free: helpers start only on threads that are free at once, and the thread that waits for the
// work takes part in it. Work started from a pool job (or on a pool limited to one thread) thus
// runs its items on that thread instead of waiting for itself.
#include "tesmar_global.h"

#include <functional>
#include <memory>

class TESMAR_EXPORT PoolWork {
public:
    // Starts body(0) .. body(count - 1) on the pool's free threads: one per item at most, one
    // fewer when the caller joins in at once. An exception thrown by body is dropped at the
    // pool's edge; bodies catch their own.
    PoolWork(int count, std::function<void(int)> body, bool callerJoinsAtOnce = false);
    // Hands out no further item and waits for those begun.
    ~PoolWork();
    PoolWork(const PoolWork &) = delete;
    PoolWork &operator=(const PoolWork &) = delete;

    // Works through the items not yet begun on this thread, then waits for the others.
    void finish();

    struct State;

private:
    std::shared_ptr<State> m_state;
};

// body(0) .. body(count - 1), the calling thread taking part; returns when every item is done.
TESMAR_EXPORT void poolFor(int count, const std::function<void(int)> &body);

// The calling thread's share of the global pool while it works beside the pool's tasks: the
// pool starts one helper fewer, so that this thread's own work is not starved.
class TESMAR_EXPORT PoolThreadReservation {
public:
    PoolThreadReservation();
    ~PoolThreadReservation();
    PoolThreadReservation(const PoolThreadReservation &) = delete;
    PoolThreadReservation &operator=(const PoolThreadReservation &) = delete;
    void release();

private:
    bool m_held = true;
};
