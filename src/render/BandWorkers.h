#pragma once

#include <atomic>
#include <barrier>
#include <thread>
#include <vector>

// A fixed set of threads that run one piece of work per band of the image: the
// caller's thread does band 0, each worker one other band, and Run returns when
// every band is done. The workers wait on a barrier between runs.
class CBandWorkers
{
public:
    // count bands in all, so count - 1 worker threads; count is at least 1.
    explicit CBandWorkers(int count);
    ~CBandWorkers();

    CBandWorkers(const CBandWorkers&) = delete;
    CBandWorkers& operator=(const CBandWorkers&) = delete;

    int Count() const { return m_nCount; }

    // Runs work(band) for every band from 0 to Count() - 1, at the same time.
    // The work is called through a plain pointer: nothing is allocated per run.
    template <class Work> void Run(Work& work)
    {
        RunBands(&work, [](void* w, int band) { (*static_cast<Work*>(w))(band); });
    }

private:
    using Call = void (*)(void* work, int band);
    void RunBands(void* work, Call call);
    void WorkerLoop(int band);

    int m_nCount;
    void* m_pWork = nullptr;
    Call m_call = nullptr;
    std::atomic<bool> m_bStopping{false};
    std::barrier<> m_start;
    std::barrier<> m_done;
    std::vector<std::jthread> m_threads;
};
