#pragma once

#include <memory>

// Runs one piece of work per band of the image on up to a fixed number of
// threads: the caller's thread and oneTBB's workers, which keep spinning for a
// while between frames, so that the next frame starts without waking them. The
// bands are handed out one at a time to whichever thread is free.
class CBandWorkers
{
public:
    // At most count threads, at least 1, and no more than the processors run at once.
    explicit CBandWorkers(int count);
    ~CBandWorkers();

    // The threads that run the bands: count, lowered to MaxThreads.
    int Count() const { return m_nCount; }
    // The threads the processors run at once: more would only take turns.
    static int MaxThreads();

    CBandWorkers(const CBandWorkers&) = delete;
    CBandWorkers& operator=(const CBandWorkers&) = delete;

    // Runs work(band, slot) for every band from 0 to bands - 1 and returns when
    // all are done. slot, from 0 to the thread count - 1, is the running thread's
    // own: no two bands run at the same time with the same slot. The work is
    // called through a plain pointer: nothing is allocated.
    template <class Work> void Run(int bands, Work& work)
    {
        RunBands(bands, &work, [](void* w, int band, int slot) { (*static_cast<Work*>(w))(band, slot); });
    }

private:
    using Call = void (*)(void* work, int band, int slot);
    void RunBands(int bands, void* work, Call call);

    struct SArena; // the oneTBB arena, known only where it is used
    int m_nCount;
    std::unique_ptr<SArena> m_pArena;
};
