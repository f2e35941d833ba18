#pragma once

#include "raster/PixelMapping.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// What produced each pixel of a frame, kept for the pixel inspector: the tag of
// the facet that last wrote the pixel, up to three attributes it was shaded
// from and a texel address. Planes of w x h values in the pixel sink's device
// order (rows from the top), addressed in the same logical coordinates (origin
// at the centre, y up). Only frames drawn with inspection on fill them.
//
// One pixel may also be watched: every write to it is noted, in order, with
// its tag and the colour written, for the pixel's history.
class CPixelRecords
{
public:
    static constexpr int kNone = -1;
    static constexpr std::size_t kNoPixel = static_cast<std::size_t>(-1);

    // A write to the watched pixel: what wrote it and the colour, 0x00bbggrr.
    struct SWrite
    {
        int tag;
        std::uint32_t colour;
    };

    // Makes the planes width x height with nothing recorded, keeping their storage.
    void Reset(int width, int height)
    {
        m_nWidth = width > 0 ? width : 0;
        m_nHeight = height > 0 ? height : 0;
        const std::size_t count = static_cast<std::size_t>(m_nWidth) * static_cast<std::size_t>(m_nHeight);
        m_tag.assign(count, kNone);
        for (std::vector<float>& plane : m_attribute)
            plane.assign(count, 0.0f);
        m_texelU.assign(count, kNone);
        m_texelV.assign(count, kNone);
        m_watched = kNoPixel;
        m_writes.clear();
    }

    // Notes every write to logical pixel (x, y) from now on; outside, none.
    void Watch(int x, int y)
    {
        m_watched = Contains(x, y) ? Index(x, y) : kNoPixel;
        m_writes.clear();
    }
    // Called for every pixel written, with its plane index.
    void Wrote(std::size_t at, int tag, std::uint32_t colour)
    {
        m_tag[at] = tag;
        if (at == m_watched) [[unlikely]]
            m_writes.push_back({tag, colour & 0x00FFFFFFu});
    }
    // The writes to the watched pixel, in the order they were made.
    const std::vector<SWrite>& Writes() const { return m_writes; }

    // Gives the memory back; nothing is recorded until the next Reset.
    void Release()
    {
        m_nWidth = m_nHeight = 0;
        std::vector<int>().swap(m_tag);
        for (std::vector<float>& plane : m_attribute)
            std::vector<float>().swap(plane);
        std::vector<int>().swap(m_texelU);
        std::vector<int>().swap(m_texelV);
        m_watched = kNoPixel;
        std::vector<SWrite>().swap(m_writes);
    }

    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    CPixelMapping Mapping() const { return CPixelMapping(m_nWidth, m_nHeight); }

    bool Contains(int x, int y) const { return Mapping().Contains(x, y); }
    // The plane index of logical pixel (x, y), which must lie inside.
    std::size_t Index(int x, int y) const { return Mapping().Index(x, y); }

    std::vector<int> m_tag;              // what last wrote the pixel, or kNone
    std::vector<float> m_attribute[3];   // the attributes it was shaded from
    std::vector<int> m_texelU, m_texelV; // its texel, or kNone

private:
    int m_nWidth = 0;
    int m_nHeight = 0;
    std::size_t m_watched = kNoPixel;
    std::vector<SWrite> m_writes;
};
