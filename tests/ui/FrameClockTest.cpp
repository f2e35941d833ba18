#include "ui/FrameClock.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using Clock = CFrameClock::Clock;

TEST(FrameClockTest, TimeOfLastFrameAndRateReached)
{
    CFrameClock clock;
    const Clock::time_point t0{};
    EXPECT_EQ(clock.Text(t0), QString());

    // 20 frames a second, each taking 12.3 ms to render.
    Clock::time_point end;
    for (int i = 0; i < 60; ++i) {
        const auto start = t0 + i * 50ms;
        end = start + 12300us;
        clock.FrameDrawn(start, end);
    }
    EXPECT_EQ(clock.Text(end + 10ms), QStringLiteral("12.3 ms · 20 fps"));

    // Just after the start the rate is already right.
    CFrameClock young;
    for (int i = 0; i < 6; ++i)
        young.FrameDrawn(t0 + i * 50ms, t0 + i * 50ms + 2ms);
    EXPECT_NEAR(young.FramesPerSecond(t0 + 252ms), 20.0, 0.5);

    // Stopped: the last frame's time shows while the rate falls; once no frame
    // has been drawn for a second, nothing does.
    clock.FrameDrawn(end + 100ms, end + 137ms);
    EXPECT_EQ(clock.Text(end + 137ms + 999ms).left(7), QStringLiteral("37.0 ms"));
    EXPECT_EQ(clock.Text(end + 137ms + 1s), QString());
    EXPECT_EQ(clock.Text(end + 3s), QString());
}

} // namespace
