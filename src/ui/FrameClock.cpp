#include "ui/FrameClock.h"

#include <algorithm>

namespace {

constexpr CFrameClock::Clock::duration kWindow = std::chrono::seconds(1);

} // namespace

void CFrameClock::FrameDrawn(Clock::time_point start, Clock::time_point end)
{
    m_dLastFrameMs = std::chrono::duration<double, std::milli>(end - start).count();
    if (m_frameEnds.empty())
        m_firstFrameEnd = end;
    m_frameEnds.push_back(end);
    while (end - m_frameEnds.front() > kWindow)
        m_frameEnds.pop_front();
}

// The frames that ended within the last second, per second. Just after the first
// frame the window is the time since then, so the rate is right from the start.
double CFrameClock::FramesPerSecond(Clock::time_point now) const
{
    const auto window = std::min(kWindow, now - m_firstFrameEnd);
    const auto recent = std::count_if(m_frameEnds.begin(), m_frameEnds.end(),
                                      [&](Clock::time_point end) { return now - end < kWindow; });
    if (recent == 0 || window <= Clock::duration::zero())
        return 0.0;
    // The first frame opens the window rather than falling inside it.
    const auto counted = window < kWindow ? recent - 1 : recent;
    return counted / std::chrono::duration<double>(window).count();
}

// Only while frames are being drawn: a time from a second ago or more would no
// longer tell what frames cost now (a stopped view draws none).
QString CFrameClock::Text(Clock::time_point now) const
{
    if (!HasFrames() || now - m_frameEnds.back() >= kWindow)
        return QString();
    return QStringLiteral("%1 ms · %2 fps")
        .arg(m_dLastFrameMs, 0, 'f', 1)
        .arg(static_cast<int>(FramesPerSecond(now) + 0.5));
}
