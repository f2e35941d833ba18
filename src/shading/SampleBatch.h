#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Samples that passed the depth test, in the order they were drawn, waiting for
// their attributes to be interpolated and their colours computed: where each
// goes, where it lies on its span, the point and normal to light and, for
// textured samples, the texture coordinate and the reflectance. Structure of
// arrays, so that they are computed several at a time. Its storage is kept from
// one use to the next.
class CSampleBatch
{
public:
    static constexpr std::size_t kCapacity = 512;

    CSampleBatch();

    std::size_t Size() const { return m_nCount; }
    bool Full() const { return m_nCount == kCapacity; }
    void Clear() { m_nCount = 0; }

    // Sample x of the span, drawn in column px at depth z into the pixel at dest.
    void Add(double x, int px, double z, std::uint32_t* dest)
    {
        const std::size_t i = m_nCount++;
        m_t[i] = x;
        m_px[i] = px;
        m_z[i] = z;
        m_dest[i] = dest;
    }

    std::vector<double> m_t;                 // the sample's x on its span
    std::vector<int> m_px;                   // its column
    std::vector<std::uint32_t*> m_dest;      // its pixel
    std::vector<double> m_x, m_yd, m_z;      // the point lit: (px, y, z); x and y set by the lit shaders
    std::vector<double> m_nx, m_ny, m_nz;    // the interpolated normal
    std::vector<double> m_u, m_v;            // the interpolated texture coordinate
    std::vector<double> m_kr, m_kg, m_kb;    // the texel reflectance, lit texture only
    std::vector<std::uint32_t> m_colours;    // the 0x00bbggrr colours

private:
    std::size_t m_nCount = 0;
};
