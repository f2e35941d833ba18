#pragma once

#include <cassert>
#include <vector>

// The depth buffer of a frame: kSide x kSide cells centred on the origin, so that
// pixel (x, y) has the cell of column x + kSide/2 and row y + kSide/2, each
// holding the largest depth drawn there (larger is nearer). Pixels outside have
// no cell and are never drawn by the fills.
//
// Every cell starts at kFar. Only cells that a frame wrote need resetting for the
// next frame, so the buffer keeps, per row, the range of columns written since
// the last Clear, and Clear resets just those. Threads may clear and fill
// different rows at the same time.
class CDepthBuffer
{
public:
    static constexpr int kSide = 1000;
    static constexpr int kHalf = kSide / 2;
    static constexpr double kFar = -1000.0;

    CDepthBuffer();

    // Sets every cell of scanlines yLow to yHigh written since they were last
    // cleared back to kFar; with no bounds, of every scanline.
    void Clear(int yLow = -kHalf, int yHigh = kHalf - 1);
    // The same for every scanline outside yLow to yHigh.
    void ClearOutside(int yLow, int yHigh);

    // The cells of scanline y, indexed by pixel x from -kHalf to kHalf - 1.
    double* Row(int y)
    {
        assert(y >= -kHalf && y < kHalf);
        return &m_cells[static_cast<std::size_t>(y + kHalf) * kSide + kHalf];
    }

    // The depth stored for pixel (x, y), or kFar outside the buffer.
    double Depth(int x, int y) const
    {
        if (x < -kHalf || x >= kHalf || y < -kHalf || y >= kHalf)
            return kFar;
        return m_cells[static_cast<std::size_t>(y + kHalf) * kSide + static_cast<std::size_t>(x + kHalf)];
    }

    // Records that columns lo..hi (pixel x, inclusive) of scanline y were written.
    void Touch(int y, int lo, int hi)
    {
        assert(y >= -kHalf && y < kHalf && lo >= -kHalf && hi < kHalf);
        Span& span = m_written[static_cast<std::size_t>(y + kHalf)];
        if (lo < span.lo)
            span.lo = lo;
        if (hi > span.hi)
            span.hi = hi;
    }

private:
    // One cache line a row: threads fill neighbouring rows, and each writes its
    // rows' spans after every span it draws.
    struct alignas(64) Span
    {
        int lo = kHalf; // empty while lo > hi
        int hi = -kHalf - 1;
    };
    std::vector<double> m_cells;
    std::vector<Span> m_written; // one per row
};
