// Phased work: every piece done once, no piece of a phase before the whole phase
// before it, a phase cut by an earlier one, whichever threads join and when.

#include "render/PhasedWork.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

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
        for (int p = 0; p < kPhases; ++p) {
            const int count = p == 4 ? 9 : pieces[p];
            EXPECT_EQ(finished[p].load(), count) << threads << " phase " << p;
            for (int k = 0; k < count; ++k)
                EXPECT_EQ(times[static_cast<std::size_t>(p * 13 + k)].load(), 1)
                    << threads << " " << p << " " << k;
        }
    }
}

} // namespace
