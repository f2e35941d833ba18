#include "raster/DepthBuffer.h"

#include "raster/BlockFill.h"

#include <algorithm>

CDepthBuffer::CDepthBuffer()
    : m_cells(static_cast<std::size_t>(kSide) * kSide, kFar), m_written(kSide)
{
}

void CDepthBuffer::Clear(int yLow, int yHigh)
{
    for (int y = std::max(yLow, -kHalf); y <= std::min(yHigh, kHalf - 1); ++y) {
        Span& span = m_written[static_cast<std::size_t>(y + kHalf)];
        if (span.lo > span.hi)
            continue;
        double* cells = Row(y);
        FillDoubles(cells + span.lo, static_cast<std::size_t>(span.hi - span.lo + 1), kFar);
        span = Span();
    }
}

void CDepthBuffer::ClearOutside(int yLow, int yHigh)
{
    Clear(-kHalf, std::min(yLow - 1, kHalf - 1));
    Clear(std::max(yHigh + 1, -kHalf), kHalf - 1);
}
