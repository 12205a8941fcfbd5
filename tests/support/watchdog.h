#pragma once
// Ends the process with a message when the guarded step has not returned in time, so that a
// hang fails its test at once instead of holding the suite until its time limit.
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace LumaraTest {

class Watchdog {
public:
    Watchdog(const char *what, std::chrono::seconds limit)
        : m_thread([this, what, limit] {
              std::unique_lock<std::mutex> lock(m_mutex);
              if (!m_done.wait_for(lock, limit, [this] { return m_finished; })) {
                  std::fprintf(stderr, "FAIL: hung: %s\n", what);
                  std::fflush(stderr);
                  std::_Exit(3);
              }
          })
    {
    }
    ~Watchdog()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_finished = true;
        }
        m_done.notify_all();
        m_thread.join();
    }
    Watchdog(const Watchdog &) = delete;
    Watchdog &operator=(const Watchdog &) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::thread m_thread;
};

} // namespace LumaraTest
