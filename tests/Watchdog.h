#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

// Ends the test program with a message unless it is destroyed within the time
// limit: a test of threads that hangs fails at once instead of stalling the
// test run until its time limit.
class CWatchdog
{
public:
    CWatchdog(std::chrono::milliseconds limit, std::string what)
        : m_thread([this, limit, what = std::move(what)] {
              std::unique_lock<std::mutex> lock(m_mutex);
              if (!m_done.wait_for(lock, limit, [this] { return m_bDone; })) {
                  std::fprintf(stderr, "watchdog: %s did not finish within %lld ms\n", what.c_str(),
                               static_cast<long long>(limit.count()));
                  std::_Exit(1);
              }
          })
    {
    }
    ~CWatchdog()
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_bDone = true;
        }
        m_done.notify_one();
        m_thread.join();
    }
    CWatchdog(const CWatchdog&) = delete;
    CWatchdog& operator=(const CWatchdog&) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_bDone = false;
    std::thread m_thread; // last: it starts once the rest is made
};
