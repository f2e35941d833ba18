// A batch's colours reach their rows as one sample at a time would put them, on
// every instruction set: spans of every length, in consecutive columns or not
// (a gap, a column taken twice), several to a row and overlapping.

#include "shading/SpanWrite.h"

#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <cstdint>
#include <random>
#include <vector>

TEST(SpanWrite, EveryInstructionSetWritesAsOneSampleAtATime)
{
    std::mt19937 random(5);
    for (const std::int64_t target : hwy::SupportedAndGeneratedTargets()) {
        SCOPED_TRACE(hwy::TargetName(target));
        hwy::SetSupportedTargetsForTest(target);
        for (int n = 0; n < 300; ++n) {
            std::vector<std::vector<std::uint32_t>> rows(3, std::vector<std::uint32_t>(64, 0xDEADBEEF));
            std::vector<std::uint32_t> colours;
            std::vector<int> px;
            std::vector<std::size_t> spanEnd, rowOf;
            std::vector<std::uint32_t*> spanRow;
            for (int s = 0; s < 1 + n % 4; ++s) {
                const int length = static_cast<int>(random() % 30), start = static_cast<int>(random() % 30);
                const int broken = n % 3 == 0 ? 1 + static_cast<int>(random() % 29) : length;
                for (int k = 0; k < length; ++k) {
                    // From `broken` on: a gap (n even), or that column taken twice.
                    const int shift = k < broken ? 0 : n % 2 == 0 ? 1 : k == broken ? -1 : 0;
                    px.push_back(start + k + shift);
                    colours.push_back(static_cast<std::uint32_t>(random()) & 0xFFFFFFu);
                }
                spanEnd.push_back(px.size());
                rowOf.push_back(random() % 3);
                spanRow.push_back(rows[rowOf.back()].data());
            }
            std::vector<std::vector<std::uint32_t>> expected = rows;
            for (std::size_t s = 0, i = 0; s < spanEnd.size(); ++s)
                for (; i < spanEnd[s]; ++i)
                    expected[rowOf[s]][static_cast<std::size_t>(px[i])] = colours[i] | 0xFF000000u;
            WriteSpans(colours.data(), px.data(), spanEnd.data(), spanRow.data(), spanEnd.size(), 0xFF000000u);
            ASSERT_EQ(rows, expected) << n;
        }
    }
    hwy::SetSupportedTargetsForTest(0);
}
