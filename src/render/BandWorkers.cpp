#include "render/BandWorkers.h"

#include <sched.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <exception>
#include <system_error>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace {

// A worker that has finished its bands spins this many times, then yields this
// many times, before it sleeps: a frame that follows at once (a sequence of
// frames, a benchmark) finds it awake, and one 50 ms later costs no processor
// time in between.
constexpr int kSpins = 2000;
constexpr int kYields = 2000;

void Pause()
{
#if defined(__x86_64__) || defined(__i386__)
    _mm_pause();
#endif
}

// The door of a run: its generation in the upper half, kOpen while workers may
// still come in, and how many are inside in the bits below.
constexpr std::uint64_t kOpen = std::uint64_t(1) << 31;
constexpr std::uint64_t kInside = kOpen - 1;

} // namespace

struct CBandWorkers::SShared
{
    // Bumped to start a run, and to stop the workers: they sleep on it.
    alignas(64) std::atomic<std::uint32_t> generation{0};
    alignas(64) std::atomic<std::uint64_t> door{0};
    alignas(64) std::atomic<int> next{0}; // the next band to hand out
    // The run, set before the door opens.
    int bands = 0;
    void* work = nullptr;
    Call call = nullptr;
    std::atomic<bool> quit{false};
    std::atomic<bool> failing{false}; // a worker's band has thrown
    std::exception_ptr failure;       // the first exception a worker caught, read after the run
};

CBandWorkers::CBandWorkers(int count, const ThreadStarter& start)
    : m_nAsked(std::max(count, 1)), m_pShared(std::make_unique<SShared>())
{
    m_workers.reserve(static_cast<std::size_t>(m_nAsked - 1));
    for (int slot = 1; slot < m_nAsked; ++slot) {
        try {
            const auto body = [this, slot] { Work(slot); };
            m_workers.push_back(start ? start(body) : std::thread(body));
        } catch (const std::system_error& e) {
            m_strStartFailure = e.code().message();
            break;
        } catch (const std::exception& e) {
            m_strStartFailure = e.what();
            break;
        }
    }
}

CBandWorkers::~CBandWorkers()
{
    SShared& s = *m_pShared;
    s.quit.store(true, std::memory_order_release);
    s.generation.fetch_add(1, std::memory_order_release);
    s.generation.notify_all();
    for (std::thread& worker : m_workers)
        worker.join();
}

int CBandWorkers::MaxThreads()
{
    // The processors this process may run on, as the scheduler's affinity says.
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) == 0)
        return std::max(1, CPU_COUNT(&set));
    return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

void CBandWorkers::Work(int slot)
{
    SShared& s = *m_pShared;
    std::uint32_t seen = 0;
    for (;;) {
        std::uint32_t now = s.generation.load(std::memory_order_acquire);
        for (int spins = 0; now == seen; ++spins) {
            if (spins < kSpins)
                Pause();
            else if (spins < kSpins + kYields)
                std::this_thread::yield();
            else
                s.generation.wait(seen, std::memory_order_acquire);
            now = s.generation.load(std::memory_order_acquire);
        }
        seen = now;
        if (s.quit.load(std::memory_order_acquire))
            return;
        // In through the door of this run while it is open; a run that has
        // closed it (its bands all done) goes on without this thread.
        std::uint64_t door = s.door.load(std::memory_order_acquire);
        bool inside = false;
        while (door >> 32 == seen && (door & kOpen) != 0 && !inside)
            inside = s.door.compare_exchange_weak(door, door + 1, std::memory_order_acq_rel,
                                                  std::memory_order_acquire);
        if (!inside)
            continue;
        try {
            for (int band = s.next.fetch_add(1, std::memory_order_relaxed); band < s.bands;
                 band = s.next.fetch_add(1, std::memory_order_relaxed))
                s.call(s.work, band, slot);
        } catch (...) {
            s.next.store(s.bands, std::memory_order_relaxed); // no band is begun after a failure
            if (!s.failing.exchange(true, std::memory_order_acq_rel))
                s.failure = std::current_exception();
        }
        s.door.fetch_sub(1, std::memory_order_release);
    }
}

void CBandWorkers::RunBands(int bands, void* work, Call call)
{
    if (m_workers.empty()) {
        for (int band = 0; band < bands; ++band)
            call(work, band, 0);
        return;
    }
    SShared& s = *m_pShared;
    s.bands = bands;
    s.work = work;
    s.call = call;
    s.next.store(0, std::memory_order_relaxed);
    s.failure = nullptr;
    s.failing.store(false, std::memory_order_relaxed);
    const std::uint32_t generation = s.generation.load(std::memory_order_relaxed) + 1;
    s.door.store(std::uint64_t(generation) << 32 | kOpen, std::memory_order_release);
    s.generation.store(generation, std::memory_order_release);
    s.generation.notify_all();

    // Each thread takes the next band in order as it finishes one, so that the
    // run ends with its last bands, which the caller cuts small.
    std::exception_ptr own;
    try {
        for (int band = s.next.fetch_add(1, std::memory_order_relaxed); band < bands;
             band = s.next.fetch_add(1, std::memory_order_relaxed))
            call(work, band, 0);
    } catch (...) {
        s.next.store(bands, std::memory_order_relaxed);
        own = std::current_exception();
    }
    // Every band is taken: no worker comes in any more, and those inside finish
    // the bands they have begun; the work is not left while any of them runs.
    std::uint64_t door = s.door.load(std::memory_order_relaxed);
    while (!s.door.compare_exchange_weak(door, door & ~kOpen, std::memory_order_acq_rel,
                                         std::memory_order_relaxed)) {
    }
    for (int spins = 0; (s.door.load(std::memory_order_acquire) & kInside) != 0; ++spins)
        if (spins >= 64)
            std::this_thread::yield();
    if (own)
        std::rethrow_exception(own);
    if (s.failure)
        std::rethrow_exception(s.failure);
}
