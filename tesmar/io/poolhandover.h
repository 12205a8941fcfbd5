#pragma once
// Work handed to a thread of Qt's pool crosses under the pool's own lock, which a thread checker
// cannot follow (Qt's mutexes bypass the threading library it watches). Marking the hand-over
// on both sides tells it what the pool guarantees; in other builds the marks are nothing.
#if defined(__SANITIZE_THREAD__)
#include <sanitizer/tsan_interface.h>
#define LUMARA_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#include <sanitizer/tsan_interface.h>
#define LUMARA_TSAN 1
#endif
#endif

#include <QtGlobal>

namespace PoolHandover {

// Before the object is given to the pool.
inline void give(const void *object)
{
#ifdef LUMARA_TSAN
    __tsan_release(const_cast<void *>(object));
#else
    Q_UNUSED(object)
#endif
}

// First thing on the pool's thread, before the object is read.
inline void take(const void *object)
{
#ifdef LUMARA_TSAN
    __tsan_acquire(const_cast<void *>(object));
#else
    Q_UNUSED(object)
#endif
}

// The mark of hand-overs through Qt's queues where no one object is handed (a job given to
// the pool, its end posted back to the event loop): give it before queueing, take it first
// thing where the queued work runs.
inline const void *queue()
{
    static const char token = 0;
    return &token;
}

} // namespace PoolHandover
