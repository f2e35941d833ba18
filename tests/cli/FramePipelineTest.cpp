// The pipeline of --frames: order, frames in flight, failures.

#include "cli/FramePipeline.h"

#include <gtest/gtest.h>

#include <tbb/info.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <numeric>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

// Frames that carry their number in their pixels and bytes, encoded in times
// that vary so that they finish out of order, with every stage watched.
struct SWatchedRun
{
    int failEncodeAt = -1;
    int failWriteAt = -1;
    int throwInDrawAt = -1;

    std::atomic<int> drawn{0};
    std::atomic<int> live{0}, mostLive{0};
    std::atomic<int> encoding{0}, mostEncoding{0};
    std::vector<int> written;
    bool mixedUp = false;

    static void Raise(std::atomic<int>& most, int value)
    {
        for (int seen = most.load(); value > seen && !most.compare_exchange_weak(seen, value);) {
        }
    }

    bool Run(CFramePipeline& pipeline, int count)
    {
        return pipeline.Run(
            count,
            [&](int n, CPixelSink& sink) {
                if (n == throwInDrawAt)
                    throw std::runtime_error("draw");
                ++drawn;
                Raise(mostLive, ++live);
                sink.Resize(3, 2);
                sink.SetPixel(0, 0, static_cast<std::uint32_t>(n));
            },
            [&](const CPixelSink& sink, std::vector<std::uint8_t>& bytes, std::string& error) {
                Raise(mostEncoding, ++encoding);
                const int n = static_cast<int>(sink.Pixel(0, 0));
                std::this_thread::sleep_for(std::chrono::milliseconds((n * 7) % 5));
                --encoding;
                bytes.assign(1, static_cast<std::uint8_t>(n));
                if (n == failEncodeAt) {
                    error = "cannot encode";
                    return false;
                }
                return true;
            },
            [&](int n, std::span<const std::uint8_t> bytes, std::string& error) {
                mixedUp = mixedUp || bytes.size() != 1 || bytes[0] != n;
                --live;
                if (n == failWriteAt) {
                    error = "cannot write";
                    return false;
                }
                written.push_back(n);
                return true;
            });
    }
};

std::vector<int> FirstFrames(int count)
{
    std::vector<int> frames(static_cast<std::size_t>(count));
    std::iota(frames.begin(), frames.end(), 0);
    return frames;
}

TEST(FramePipelineTest, FramesAreWrittenInOrderWithFewInFlight)
{
    CFramePipeline pipeline(3);
    SWatchedRun run;
    ASSERT_TRUE(run.Run(pipeline, 40));
    EXPECT_EQ(run.written, FirstFrames(40));
    EXPECT_FALSE(run.mixedUp);
    EXPECT_LE(run.mostLive.load(), 3);
    if (tbb::info::default_concurrency() > 1) {
        EXPECT_GE(run.mostEncoding.load(), 2) << "frames are encoded on several threads at once";
    }

    // Two frames or more for each thread, fewer for large frames but never fewer than two.
    const int threads = std::max(1, tbb::info::default_concurrency());
    EXPECT_EQ(CFramePipeline::FramesInFlight(520 * 600 * 4), std::max(2, 2 * threads));
    EXPECT_EQ(CFramePipeline::FramesInFlight(std::size_t{16384} * 16384 * 4), 2);
}

// The first failure, in frame order, ends the sequence at its frame: those
// before are written, none after, and few are drawn past it.
TEST(FramePipelineTest, AFailureStopsTheSequenceAtItsFrame)
{
    const struct
    {
        int encodeAt, writeAt;
        int failed;
        const char* error;
    } cases[] = {
        {5, -1, 5, "cannot encode"}, {-1, 5, 5, "cannot write"},  {0, -1, 0, "cannot encode"},
        {-1, 19, 19, "cannot write"}, {7, 4, 4, "cannot write"}, {4, 7, 4, "cannot encode"},
    };
    CFramePipeline pipeline(4);
    for (const auto& c : cases) {
        SCOPED_TRACE("encode fails at " + std::to_string(c.encodeAt) + ", write at " + std::to_string(c.writeAt));
        SWatchedRun run;
        run.failEncodeAt = c.encodeAt;
        run.failWriteAt = c.writeAt;
        EXPECT_FALSE(run.Run(pipeline, 20));
        EXPECT_EQ(pipeline.FailedFrame(), c.failed);
        EXPECT_EQ(pipeline.Error(), c.error);
        EXPECT_EQ(run.written, FirstFrames(c.failed));
        EXPECT_LE(run.drawn.load(), c.failed + 1 + pipeline.InFlight());
    }

    // An exception ends the run and is passed on; the pipeline runs again after it.
    SWatchedRun throwing;
    throwing.throwInDrawAt = 6;
    EXPECT_THROW(throwing.Run(pipeline, 20), std::runtime_error);
    EXPECT_LE(throwing.written.size(), 6u);
    SWatchedRun again;
    EXPECT_TRUE(again.Run(pipeline, 20));
    EXPECT_EQ(again.written, FirstFrames(20));
    EXPECT_EQ(pipeline.FailedFrame(), -1);
}

} // namespace
