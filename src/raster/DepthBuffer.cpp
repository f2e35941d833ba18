#include "raster/DepthBuffer.h"

#include "raster/BlockFill.h"

#include <algorithm>

CDepthBuffer::CDepthBuffer(int rows)
    : m_nRows(rows), m_cells(static_cast<std::size_t>(rows) * kSide, kFar),
      m_written(static_cast<std::size_t>(rows))
{
    assert(rows > 0 && rows <= kSide);
}

void CDepthBuffer::Clear(int yLow, int yHigh)
{
    for (int y = std::max(yLow, m_nYLow); y <= std::min(yHigh, m_nYLow + m_nRows - 1); ++y) {
        Span& span = m_written[static_cast<std::size_t>(y - m_nYLow)];
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
