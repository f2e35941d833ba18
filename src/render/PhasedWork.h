#pragma once

#include <atomic>
#include <cassert>
#include <thread>

// Work in phases that the threads of one run share: every thread takes the
// phases in the same order, and in each the pieces one at a time while any are
// left; no piece of a phase starts before every piece of the phase before it is
// done. One run of the threads then does a whole frame's passes, instead of one
// run a pass, each of which would wait for the other threads to wake.
//
// A thread that joins late finds fewer pieces left, or none, and one thread alone
// does everything in order. A thread only ever waits for pieces that other
// threads have taken and are doing, so no wait lasts longer than one piece.
class CPhasedWork
{
public:
    static constexpr int kMostPhases = 8;

    // Starts over, every phase without pieces. Only while no thread runs.
    void Reset()
    {
        for (int p = 0; p < kMostPhases; ++p) {
            m_phases[p].pieces.store(0, std::memory_order_relaxed);
            m_phases[p].next.store(0, std::memory_order_relaxed);
            m_phases[p].done.store(0, std::memory_order_relaxed);
        }
    }

    // How many pieces phase has: set before the threads run, or by a piece of an
    // earlier phase (a one-piece phase, say, that decides how to cut the next).
    void SetPieces(int phase, int pieces)
    {
        assert(phase >= 0 && phase < kMostPhases && pieces >= 0);
        m_phases[phase].pieces.store(pieces, std::memory_order_relaxed);
    }

    // Once every piece of the phase before is done, does piece(k) for the pieces
    // k of phase that no other thread has taken, one at a time.
    template <class Piece> void Take(int phase, Piece&& piece)
    {
        assert(phase >= 0 && phase < kMostPhases);
        if (phase > 0)
            WaitFor(m_phases[phase - 1]);
        SPhase& own = m_phases[phase];
        const int pieces = own.pieces.load(std::memory_order_relaxed);
        for (int k = own.next.fetch_add(1, std::memory_order_relaxed); k < pieces;
             k = own.next.fetch_add(1, std::memory_order_relaxed)) {
            piece(k);
            own.done.fetch_add(1, std::memory_order_release);
        }
    }

private:
    // Each phase's counters on a cache line of their own: the threads count on
    // them while they work on other data.
    struct alignas(64) SPhase
    {
        std::atomic<int> pieces{0};
        std::atomic<int> next{0}; // the next piece to take
        std::atomic<int> done{0}; // pieces finished
    };

    // Spins while other threads finish the phase's pieces: each is short.
    static void WaitFor(const SPhase& phase)
    {
        for (int spins = 0;
             phase.done.load(std::memory_order_acquire) < phase.pieces.load(std::memory_order_relaxed);
             ++spins) {
            if (spins >= 64)
                std::this_thread::yield();
        }
    }

    SPhase m_phases[kMostPhases];
};
