#include "render/BandWorkers.h"

#include <cassert>

CBandWorkers::CBandWorkers(int count)
    : m_nCount(count > 0 ? count : 1), m_start(m_nCount), m_done(m_nCount)
{
    m_threads.reserve(static_cast<std::size_t>(m_nCount - 1));
    for (int band = 1; band < m_nCount; ++band)
        m_threads.emplace_back([this, band] { WorkerLoop(band); });
}

CBandWorkers::~CBandWorkers()
{
    m_bStopping = true;
    m_start.arrive_and_wait(); // releases the workers, which see the stop and return
}

void CBandWorkers::RunBands(void* work, Call call)
{
    m_pWork = work;
    m_call = call;
    m_start.arrive_and_wait();
    call(work, 0);
    m_done.arrive_and_wait();
    m_pWork = nullptr;
}

void CBandWorkers::WorkerLoop(int band)
{
    for (;;) {
        m_start.arrive_and_wait();
        if (m_bStopping)
            return;
        assert(m_pWork != nullptr);
        m_call(m_pWork, band);
        m_done.arrive_and_wait();
    }
}
