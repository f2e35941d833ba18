#include "raster/DepthBuffer.h"

#include <algorithm>

CDepthBuffer::CDepthBuffer()
    : m_cells(static_cast<std::size_t>(kSide) * kSide, kFar), m_written(kSide)
{
}

void CDepthBuffer::Clear()
{
    for (int row = 0; row < kSide; ++row) {
        Span& span = m_written[static_cast<std::size_t>(row)];
        if (span.lo > span.hi)
            continue;
        double* cells = Row(row - kHalf);
        std::fill(cells + span.lo, cells + span.hi + 1, kFar);
        span = Span();
    }
}
