#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Samples that passed the depth test, waiting to be lit, in the order they were
// drawn: where they go, the point and normal to light and, for textured samples,
// the reflectance. Structure of arrays, so that they are lit several at a time.
// Its storage is kept from one use to the next.
class CSampleBatch
{
public:
    static constexpr std::size_t kCapacity = 512;

    CSampleBatch();

    std::size_t Size() const { return m_nCount; }
    bool Full() const { return m_nCount == kCapacity; }
    void Clear() { m_nCount = 0; }

    void Add(int px, int y, double z, double nx, double ny, double nz)
    {
        const std::size_t i = m_nCount++;
        m_px[i] = px;
        m_y[i] = y;
        m_x[i] = px;
        m_yd[i] = y;
        m_z[i] = z;
        m_nx[i] = nx;
        m_ny[i] = ny;
        m_nz[i] = nz;
    }
    void AddReflectance(double r, double g, double b)
    {
        const std::size_t i = m_nCount - 1;
        m_kr[i] = r;
        m_kg[i] = g;
        m_kb[i] = b;
    }

    std::vector<int> m_px, m_y;                // the pixel of each sample
    std::vector<double> m_x, m_yd, m_z;        // the point lit: (px, y, z)
    std::vector<double> m_nx, m_ny, m_nz;      // the interpolated normal
    std::vector<double> m_kr, m_kg, m_kb;      // the texel reflectance, textured samples
    std::vector<std::uint32_t> m_colours;      // the lit 0x00bbggrr colours

private:
    std::size_t m_nCount = 0;
};
