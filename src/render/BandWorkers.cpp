#include "render/BandWorkers.h"

#include <tbb/info.h>
#include <tbb/parallel_for.h>
#include <tbb/partitioner.h>
#include <tbb/task_arena.h>

#include <algorithm>
#include <atomic>
#include <cassert>

// More threads than the processors run at once would only take turns.
struct CBandWorkers::SArena
{
    explicit SArena(int threads) : arena(threads) {}
    tbb::task_arena arena;
};

CBandWorkers::CBandWorkers(int count)
    : m_nCount(std::clamp(count, 1, MaxThreads())),
      m_pArena(m_nCount > 1 ? std::make_unique<SArena>(m_nCount) : nullptr)
{
}

CBandWorkers::~CBandWorkers() = default;

int CBandWorkers::MaxThreads()
{
    return std::max(1, tbb::info::default_concurrency());
}

void CBandWorkers::RunBands(int bands, void* work, Call call)
{
    if (!m_pArena) {
        for (int band = 0; band < bands; ++band)
            call(work, band, 0);
        return;
    }
    // Each thread takes the next band in order as it finishes one, so that the
    // frame ends with its last bands, which the caller cuts small. (A parallel
    // loop over the bands would hand them out in halves, the last ones first.)
    // A thread that joins late finds fewer bands, or none, left.
    std::atomic<int> next{0};
    m_pArena->arena.execute([&] {
        tbb::parallel_for(
            0, m_nCount,
            [&](int) {
                const int slot = tbb::this_task_arena::current_thread_index();
                assert(slot >= 0 && slot < m_nCount);
                for (int band = next++; band < bands; band = next++)
                    call(work, band, slot);
            },
            tbb::simple_partitioner());
    });
}
