#pragma once

#include <memory>

// Runs one piece of work per band of the image on up to as many threads as there
// are bands: the caller's thread and oneTBB's workers, which keep spinning for a
// while between frames, so that the next frame starts without waking them.
class CBandWorkers
{
public:
    // count bands, at least 1, and as many threads as the processors allow.
    explicit CBandWorkers(int count);
    ~CBandWorkers();

    CBandWorkers(const CBandWorkers&) = delete;
    CBandWorkers& operator=(const CBandWorkers&) = delete;

    int Count() const { return m_nCount; }

    // Runs work(band) for every band from 0 to Count() - 1 and returns when all
    // are done. The work is called through a plain pointer: nothing is allocated.
    template <class Work> void Run(Work& work)
    {
        RunBands(&work, [](void* w, int band) { (*static_cast<Work*>(w))(band); });
    }

private:
    using Call = void (*)(void* work, int band);
    void RunBands(void* work, Call call);

    struct SArena; // the oneTBB arena, known only where it is used
    int m_nCount;
    std::unique_ptr<SArena> m_pArena;
};
