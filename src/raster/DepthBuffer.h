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
//
// A buffer may also hold fewer rows, a band of the image's, and be placed over
// any band of that many rows: a thread that fills one band after another keeps
// the same memory, in its cache, for all of them.
class CDepthBuffer
{
public:
    static constexpr int kSide = 1000;
    static constexpr int kHalf = kSide / 2;
    static constexpr double kFar = -1000.0;

    CDepthBuffer() : CDepthBuffer(kSide) {}
    // A buffer of `rows` scanlines, placed at the lowest.
    explicit CDepthBuffer(int rows);

    // Places the rows over scanlines yLow to yLow + rows - 1; every cell must be
    // kFar (cleared) by then.
    void Place(int yLow)
    {
        assert(yLow >= -kHalf && yLow < kHalf);
        m_nYLow = yLow;
    }

    // Sets every cell of scanlines yLow to yHigh written since they were last
    // cleared back to kFar; with no bounds, of every row.
    void Clear(int yLow = -kHalf, int yHigh = kHalf - 1);
    // The same for every scanline outside yLow to yHigh.
    void ClearOutside(int yLow, int yHigh);

    // The cells of scanline y, indexed by pixel x from -kHalf to kHalf - 1.
    double* Row(int y)
    {
        assert(y >= m_nYLow && y < m_nYLow + m_nRows);
        return &m_cells[static_cast<std::size_t>(y - m_nYLow) * kSide + kHalf];
    }

    // The depth stored for pixel (x, y), or kFar outside the buffer.
    double Depth(int x, int y) const
    {
        if (x < -kHalf || x >= kHalf || y < m_nYLow || y >= m_nYLow + m_nRows)
            return kFar;
        return m_cells[static_cast<std::size_t>(y - m_nYLow) * kSide + static_cast<std::size_t>(x + kHalf)];
    }

    // Records that columns lo..hi (pixel x, inclusive) of scanline y were written.
    void Touch(int y, int lo, int hi)
    {
        assert(y >= m_nYLow && y < m_nYLow + m_nRows && lo >= -kHalf && hi < kHalf);
        Span& span = m_written[static_cast<std::size_t>(y - m_nYLow)];
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
    int m_nRows;
    int m_nYLow = -kHalf; // the scanline of the first row
    std::vector<double> m_cells;
    std::vector<Span> m_written; // one per row
};
