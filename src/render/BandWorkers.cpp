#include "render/BandWorkers.h"

#include <tbb/parallel_for.h>
#include <tbb/partitioner.h>
#include <tbb/info.h>
#include <tbb/task_arena.h>

#include <algorithm>

// More threads than the processors run at once would only take turns: the bands
// are then shared among as many threads as there are processors.
struct CBandWorkers::SArena
{
    explicit SArena(int bands) : arena(std::min(bands, tbb::info::default_concurrency())) {}
    tbb::task_arena arena;
};

CBandWorkers::CBandWorkers(int count)
    : m_nCount(count > 0 ? count : 1), m_pArena(std::make_unique<SArena>(m_nCount))
{
}

CBandWorkers::~CBandWorkers() = default;

void CBandWorkers::RunBands(void* work, Call call)
{
    if (m_nCount == 1) {
        call(work, 0);
        return;
    }
    m_pArena->arena.execute([&] {
        tbb::parallel_for(0, m_nCount, [&](int band) { call(work, band); }, tbb::static_partitioner());
    });
}
