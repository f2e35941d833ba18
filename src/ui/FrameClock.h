#pragma once

#include <QString>

#include <chrono>
#include <deque>

// Keeps what the last frames cost: the render time of the newest frame, and the
// frames drawn in the last second, from which the rate actually reached follows.
class CFrameClock
{
public:
    using Clock = std::chrono::steady_clock;

    void FrameDrawn(Clock::time_point start, Clock::time_point end);

    bool HasFrames() const { return !m_frameEnds.empty(); }

    // Render time of the last frame in milliseconds (0 before the first).
    double LastFrameMs() const { return m_dLastFrameMs; }

    // Frames per second over the last second before now: what a user saw.
    double FramesPerSecond(Clock::time_point now) const;

    // "12.3 ms · 20 fps"; empty before the first frame and once none has been
    // drawn for a second.
    QString Text(Clock::time_point now) const;

private:
    double m_dLastFrameMs = 0.0;
    Clock::time_point m_firstFrameEnd;
    std::deque<Clock::time_point> m_frameEnds; // of the last second, oldest first
};
