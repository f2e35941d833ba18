#pragma once

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

// Runs one piece of work per band of the image on up to a fixed number of
// threads: the caller's thread and worker threads of its own, which keep
// spinning for a while between runs, so that the next frame starts without
// waking them, and then sleep. The bands are handed out one at a time to
// whichever thread is free.
//
// The workers are all started here, at once: a thread that cannot be started
// (a process limit, too little memory for its stack) leaves the workers that
// did start, down to none, and the caller's thread, and StartFailure says why.
// No thread is started later, while a frame is drawn.
class CBandWorkers
{
public:
    // Starts a thread that runs body; throws (std::system_error, as
    // std::thread does) when it cannot. Tests put one in that fails.
    using ThreadStarter = std::function<std::thread(std::function<void()> body)>;

    // count threads, at least 1: the caller's and count - 1 workers, as many of
    // them as start. (The caller keeps count to MaxThreads.)
    explicit CBandWorkers(int count, const ThreadStarter& start = nullptr);
    ~CBandWorkers();

    // The threads that run the bands: the caller's and the workers that started.
    int Count() const { return static_cast<int>(m_workers.size()) + 1; }
    // The threads asked for: count, at least 1.
    int Asked() const { return m_nAsked; }
    // Why fewer threads than asked for run ("Resource temporarily
    // unavailable"); empty when all of them started.
    const std::string& StartFailure() const { return m_strStartFailure; }
    // The threads the processors run at once (those this process may use):
    // more would only take turns.
    static int MaxThreads();

    CBandWorkers(const CBandWorkers&) = delete;
    CBandWorkers& operator=(const CBandWorkers&) = delete;

    // Runs work(band, slot) for every band from 0 to bands - 1 and returns when
    // all are done. slot, from 0 to Count() - 1, is the running thread's own: no
    // two bands run at the same time with the same slot. The work is called
    // through a plain pointer: nothing is allocated. When a band throws, the
    // bands that other threads have begun are finished, and the first exception
    // thrown then reaches the caller (bands not yet begun may still run).
    template <class Work> void Run(int bands, Work& work)
    {
        RunBands(bands, &work, [](void* w, int band, int slot) { (*static_cast<Work*>(w))(band, slot); });
    }

private:
    using Call = void (*)(void* work, int band, int slot);
    void RunBands(int bands, void* work, Call call);

    struct SShared; // what the caller and the workers share, known only where it is used
    void Work(int slot);

    int m_nAsked = 1;
    std::string m_strStartFailure;
    std::unique_ptr<SShared> m_pShared;
    std::vector<std::thread> m_workers;
};
