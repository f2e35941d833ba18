// Phased work: every piece done once, no piece of a phase before the whole phase
// before it, a phase cut by an earlier one, whichever threads join and when; a
// piece that throws stops every thread. The band workers: threads that cannot be
// started leave fewer, a band that throws reaches the caller.

#include "render/BandWorkers.h"
#include "render/PhasedWork.h"
#include "Watchdog.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

TEST(PhasedWork, EveryPieceOnceAndEachPhaseAfterTheOneBefore)
{
    constexpr int kPhases = 5;
    for (int threads : {1, 2, 4}) {
        CPhasedWork work;
        work.Reset();
        const int pieces[kPhases] = {7, 1, 13, 1, 0}; // the last one set by phase 3
        for (int p = 0; p + 1 < kPhases; ++p)
            work.SetPieces(p, pieces[p]);
        std::vector<std::atomic<int>> times(64);
        std::atomic<int> finished[kPhases] = {};
        std::atomic<bool> early{false};
        const auto run = [&] {
            for (int p = 0; p < kPhases; ++p) {
                work.Take(p, [&](int k) {
                    if (p > 0 && finished[p - 1].load() != pieces[p - 1])
                        early = true;
                    if (p == 3)
                        work.SetPieces(4, 9);
                    ++times[static_cast<std::size_t>(p * 13 + k)];
                    std::this_thread::yield();
                    ++finished[p];
                });
            }
        };
        std::vector<std::thread> pool;
        for (int t = 0; t < threads; ++t)
            pool.emplace_back(run);
        for (std::thread& t : pool)
            t.join();
        run(); // a thread that joins after the rest finds nothing left
        EXPECT_FALSE(early) << threads;
        EXPECT_FALSE(work.Stopped());
        for (int p = 0; p < kPhases; ++p) {
            const int count = p == 4 ? 9 : pieces[p];
            EXPECT_EQ(finished[p].load(), count) << threads << " phase " << p;
            for (int k = 0; k < count; ++k)
                EXPECT_EQ(times[static_cast<std::size_t>(p * 13 + k)].load(), 1)
                    << threads << " " << p << " " << k;
        }
    }
}

// A piece that throws, late enough that the other threads wait for it, in a
// phase of many pieces, in a one-piece phase and in a phase another cuts: the
// run ends on every thread, no later phase begins, the exception reaches the
// caller, and the next run is whole. The frame's threads run it, as they run a
// frame.
TEST(PhasedWork, APieceThatThrowsStopsEveryThreadAndReachesTheCaller)
{
    constexpr int kPhases = 5;
    const int pieces[kPhases] = {6, 1, 9, 1, 0}; // the last one set by phase 3
    for (int threads : {1, 2, 4}) {
        CBandWorkers workers(threads);
        ASSERT_EQ(workers.Count(), threads) << workers.StartFailure();
        for (int failing : {0, 1, 4, -1}) { // -1: none fails
            const CWatchdog watchdog(20s, "a run of " + std::to_string(threads) + " threads failing in phase " +
                                              std::to_string(failing));
            CPhasedWork work;
            work.Reset();
            for (int p = 0; p + 1 < kPhases; ++p)
                work.SetPieces(p, pieces[p]);
            std::atomic<int> done[kPhases] = {};
            auto frame = [&](int, int) {
                for (int p = 0; p < kPhases; ++p) {
                    work.Take(p, [&](int k) {
                        if (p == 3)
                            work.SetPieces(4, 5);
                        if (p == failing && k == 0) {
                            std::this_thread::sleep_for(20ms);
                            throw std::runtime_error("piece " + std::to_string(p));
                        }
                        ++done[p];
                    });
                }
            };
            workers.Run(workers.Count(), frame);
            const std::string context = std::to_string(threads) + " threads, phase " + std::to_string(failing);
            EXPECT_EQ(work.Stopped(), failing >= 0) << context;
            if (failing < 0) {
                EXPECT_NO_THROW(work.RethrowFailure());
                EXPECT_EQ(done[4].load(), 5) << context;
                continue;
            }
            try {
                work.RethrowFailure();
                ADD_FAILURE() << context << ": nothing thrown";
            } catch (const std::runtime_error& e) {
                EXPECT_STREQ(e.what(), ("piece " + std::to_string(failing)).c_str());
            }
            for (int p = failing + 1; p < kPhases; ++p)
                EXPECT_EQ(done[p].load(), 0) << context << ": phase " << p << " began";
        }
    }
}

// Threads that cannot be started (a process limit, memory for their stacks):
// the workers that started, down to none, and the caller's thread draw every
// band once, each thread with a slot of its own; a band that throws on any
// thread reaches the caller once the bands begun are done.
TEST(BandWorkers, ThreadsThatCannotStartLeaveFewerAndFailuresReachTheCaller)
{
    const CWatchdog watchdog(20s, "the band workers' runs");
    for (int starting : {0, 1, 2}) {
        int started = 0;
        CBandWorkers workers(4, [&](std::function<void()> body) {
            if (started == starting)
                throw std::system_error(EAGAIN, std::generic_category());
            ++started;
            return std::thread(std::move(body));
        });
        EXPECT_EQ(workers.Asked(), 4);
        EXPECT_EQ(workers.Count(), starting + 1);
        EXPECT_EQ(workers.StartFailure(), std::strerror(EAGAIN));

        constexpr int kBands = 40;
        std::vector<std::atomic<int>> times(kBands);
        std::vector<std::atomic<int>> inSlot(4);
        std::atomic<bool> shared{false}, badSlot{false};
        auto work = [&](int band, int slot) {
            if (slot < 0 || slot >= workers.Count()) {
                badSlot = true;
                return;
            }
            if (++inSlot[static_cast<std::size_t>(slot)] != 1)
                shared = true;
            ++times[static_cast<std::size_t>(band)];
            std::this_thread::yield();
            --inSlot[static_cast<std::size_t>(slot)];
        };
        for (int run = 0; run < 3; ++run)
            workers.Run(kBands, work);
        EXPECT_FALSE(badSlot) << starting;
        EXPECT_FALSE(shared) << starting;
        for (int band = 0; band < kBands; ++band)
            EXPECT_EQ(times[static_cast<std::size_t>(band)].load(), 3) << starting << " band " << band;

        for (int failing : {0, 7, kBands - 1}) {
            std::atomic<int> running{0};
            auto failingWork = [&](int band, int) {
                ++running;
                std::this_thread::sleep_for(1ms);
                --running;
                if (band == failing)
                    throw std::range_error("band " + std::to_string(band));
            };
            EXPECT_THROW(workers.Run(kBands, failingWork), std::range_error) << starting << " " << failing;
            EXPECT_EQ(running.load(), 0) << "a band still ran after Run returned";
        }
    }
    CBandWorkers all(3);
    EXPECT_EQ(all.Count(), 3);
    EXPECT_EQ(all.StartFailure(), "");
}

} // namespace
