#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Samples that passed the depth test, in the order they were drawn, waiting for
// their attributes to be interpolated and their colours computed: where each
// goes, where it lies on its span, the point and normal to light and, for
// textured samples, the texture coordinate. Structure of
// arrays, so that they are computed several at a time. Its storage is kept from
// one use to the next.
class CSampleBatch
{
public:
    static constexpr std::size_t kCapacity = 512;

    CSampleBatch();

    std::size_t Size() const { return m_nCount; }
    bool Full() const { return m_nCount == kCapacity; }
    void Clear()
    {
        m_nCount = 0;
        m_nSpans = 0;
    }

    // Where the next samples go, for the filler to write them straight in, and
    // how many fit; Grow then takes n of them into the batch.
    struct SSlots
    {
        double* t; // the sample's x on its span
        int* px;   // its column
        double* z; // its depth
        std::size_t room;
    };
    SSlots Slots()
    {
        return {m_t.data() + m_nCount, m_px.data() + m_nCount, m_z.data() + m_nCount, kCapacity - m_nCount};
    }
    void Grow(std::size_t n) { m_nCount += n; }

    std::vector<double> m_t;              // the sample's x on its span
    std::vector<int> m_px;                // its column
    std::vector<double> m_x, m_yd, m_z;   // the point lit: (px, y, z); x and y set by the lit shaders
    std::vector<double> m_nx, m_ny, m_nz; // the interpolated normal
    std::vector<double> m_u, m_v;         // the interpolated texture coordinate
    std::vector<std::uint32_t> m_colours; // the 0x00bbggrr colours
    // The spans of a batch that goes on over several scanlines: span s holds the
    // samples before m_spanEnd[s] (and after span s - 1), drawn in row m_spanRow[s].
    std::vector<std::uint32_t*> m_spanRow;
    std::vector<std::size_t> m_spanEnd;
    std::size_t m_nSpans = 0;

private:
    std::size_t m_nCount = 0;
};
