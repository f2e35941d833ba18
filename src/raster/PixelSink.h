#pragma once

#include "raster/BlockFill.h"
#include "raster/PixelMapping.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

// The image a frame is drawn into: w x h pixels, cleared to black, addressed in
// logical coordinates with the origin at the centre and y up (see CPixelMapping).
// Pixels outside are ignored.
//
// Each pixel is stored as the packed 0x00bbggrr colour with the top byte set, which
// is byte for byte the red, green, blue, padding layout of a 32-bit RGBX image:
// the buffer can be shown or saved as it is, without converting pixel by pixel.
class CPixelSink
{
public:
    static constexpr std::uint32_t kOpaque = 0xFF000000u;

    CPixelSink(int width, int height)
        : m_nWidth(width > 0 ? width : 0), m_nHeight(height > 0 ? height : 0),
          m_pixels(static_cast<std::size_t>(m_nWidth) * static_cast<std::size_t>(m_nHeight), kOpaque)
    {
    }

    // Makes the image width x height, keeping its storage, without clearing it:
    // for a frame whose renderer clears the image itself.
    void Resize(int width, int height)
    {
        width = width > 0 ? width : 0;
        height = height > 0 ? height : 0;
        // The size changes only once the storage has: a failed allocation
        // leaves the image as it was.
        m_pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), kOpaque);
        m_nWidth = width;
        m_nHeight = height;
    }

    // Makes device rows first to last (top row 0) black.
    void ClearRows(int first, int last)
    {
        first = first < 0 ? 0 : first;
        last = last >= m_nHeight ? m_nHeight - 1 : last;
        if (first > last)
            return;
        const std::size_t w = static_cast<std::size_t>(m_nWidth);
        FillWords(m_pixels.data() + static_cast<std::size_t>(first) * w,
                  static_cast<std::size_t>(last - first + 1) * w, kOpaque);
    }

    // The device row of logical scanline y (possibly outside the image).
    int DeviceRow(int y) const { return static_cast<int>(Mapping().Row(y)); }

    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    CPixelMapping Mapping() const { return CPixelMapping(m_nWidth, m_nHeight); }

    // Writes one pixel with a 0x00bbggrr colour; outside the image it has no effect.
    void SetPixel(int x, int y, std::uint32_t colorRef)
    {
        const CPixelMapping mapping = Mapping();
        if (mapping.Contains(x, y))
            m_pixels[mapping.Index(x, y)] = colorRef | kOpaque;
    }

    // The pixels of logical row y, indexed by logical x: Row(y)[x] is pixel (x, y),
    // for x inside the image. Written values must carry kOpaque.
    std::uint32_t* Row(int y) { return m_pixels.data() + Mapping().Index(0, y); }

    // The 0x00bbggrr colour at device column and row (top row first).
    std::uint32_t DevicePixel(int col, int row) const
    {
        return m_pixels[static_cast<std::size_t>(row) * static_cast<std::size_t>(m_nWidth) +
                        static_cast<std::size_t>(col)] &
               ~kOpaque;
    }

    // The colour at logical (x, y), or 0 (black) outside the image.
    std::uint32_t Pixel(int x, int y) const
    {
        const CPixelMapping mapping = Mapping();
        return mapping.Contains(x, y) ? m_pixels[mapping.Index(x, y)] & ~kOpaque : 0;
    }

    // Rows from the top, 4 bytes a pixel: red, green, blue, 0xFF.
    const std::uint32_t* Data() const { return m_pixels.data(); }
    const std::vector<std::uint32_t>& Pixels() const { return m_pixels; }

private:
    int m_nWidth;
    int m_nHeight;
    std::vector<std::uint32_t> m_pixels;
};
