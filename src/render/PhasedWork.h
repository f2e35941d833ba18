#pragma once

#include <atomic>
#include <cassert>
#include <exception>
#include <thread>

// Work in phases that the threads of one run share: every thread takes the
// phases in the same order, and in each the pieces one at a time while any are
// left; no piece of a phase starts before every piece of the phase before it is
// done. One run of the threads then does a whole frame's passes, instead of one
// run a pass, each of which would wait for the other threads to wake.
//
// A thread that joins late finds fewer pieces left, or none, and one thread alone
// does everything in order.
//
// The rule that keeps every run finite: a piece never blocks on anything but the
// phase before, which Take waits for; it never waits for another piece of its
// own phase, nor for a thread. So a thread only ever waits for pieces that other
// threads have taken and are doing, and no wait lasts longer than one piece.
//
// A piece that throws stops the run: the pieces not yet taken are never done,
// every thread leaves its wait and its Take, and the first exception thrown is
// kept for the caller, who rethrows it with RethrowFailure once the threads are
// done. What the run had written by then is left as it stood.
class CPhasedWork
{
public:
    static constexpr int kMostPhases = 8;

    // Starts over, every phase without pieces and no failure. Only while no
    // thread runs.
    void Reset()
    {
        for (int p = 0; p < kMostPhases; ++p) {
            m_phases[p].pieces.store(0, std::memory_order_relaxed);
            m_phases[p].next.store(0, std::memory_order_relaxed);
            m_phases[p].done.store(0, std::memory_order_relaxed);
        }
        m_failure = nullptr;
        m_bFailing.store(false, std::memory_order_relaxed);
        m_bStopped.store(false, std::memory_order_relaxed);
    }

    // How many pieces phase has: set before the threads run, or by a piece of an
    // earlier phase (a one-piece phase, say, that decides how to cut the next).
    void SetPieces(int phase, int pieces)
    {
        assert(phase >= 0 && phase < kMostPhases && pieces >= 0);
        m_phases[phase].pieces.store(pieces, std::memory_order_relaxed);
    }

    // Once every piece of the phase before is done, does piece(k) for the pieces
    // k of phase that no other thread has taken, one at a time. Returns at once
    // once the run has stopped; never throws.
    template <class Piece> void Take(int phase, Piece&& piece) noexcept
    {
        assert(phase >= 0 && phase < kMostPhases);
        if (phase > 0 && !WaitFor(m_phases[phase - 1]))
            return;
        SPhase& own = m_phases[phase];
        const int pieces = own.pieces.load(std::memory_order_relaxed);
        for (int k = own.next.fetch_add(1, std::memory_order_relaxed); k < pieces && !Stopped();
             k = own.next.fetch_add(1, std::memory_order_relaxed)) {
            try {
                piece(k);
            } catch (...) {
                Stop(std::current_exception());
                return;
            }
            own.done.fetch_add(1, std::memory_order_release);
        }
    }

    // A piece has thrown: the run stops.
    bool Stopped() const { return m_bStopped.load(std::memory_order_acquire); }

    // Rethrows the exception that stopped the last run, if any. Only once the
    // threads of the run are done.
    void RethrowFailure() const
    {
        if (m_failure)
            std::rethrow_exception(m_failure);
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

    // The first exception is kept; the flag tells the other threads to stop.
    void Stop(std::exception_ptr failure) noexcept
    {
        if (!m_bFailing.exchange(true, std::memory_order_acq_rel))
            m_failure = std::move(failure);
        m_bStopped.store(true, std::memory_order_release);
    }

    // Spins while other threads finish the phase's pieces: each is short. False
    // when the run stopped instead.
    bool WaitFor(const SPhase& phase) const
    {
        for (int spins = 0;
             phase.done.load(std::memory_order_acquire) < phase.pieces.load(std::memory_order_relaxed);
             ++spins) {
            if (Stopped())
                return false;
            if (spins >= 64)
                std::this_thread::yield();
        }
        return !Stopped();
    }

    SPhase m_phases[kMostPhases];
    std::atomic<bool> m_bFailing{false}; // a piece has thrown and its exception is being kept
    std::atomic<bool> m_bStopped{false};
    std::exception_ptr m_failure; // written by the first piece that threw, read after the run
};
