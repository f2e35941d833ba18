#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

// The size of a texture image in texels: all that the fills read of its
// description.
struct CTextureDesc
{
    std::int32_t m_nWidth = 0;  // texels per row
    std::int32_t m_nHeight = 0; // rows
};

// A texture: its size and a top-down buffer of 4-byte texels (blue, green, red,
// one ignored byte), rows following each other without gaps. Texel (u, v) starts
// at byte 4 * (v * width + u). A texture is either empty (no image loaded) or
// whole: a width and a height of at least 1 and exactly their texels.
class CTexture
{
public:
    CTexture() = default;

    // Throws std::invalid_argument unless width and height are at least 1 and
    // texels holds exactly 4 * width * height bytes.
    CTexture(int width, int height, std::vector<std::uint8_t> texels) : m_texels(std::move(texels))
    {
        if (width <= 0 || height <= 0 ||
            m_texels.size() != 4 * static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
            throw std::invalid_argument("the texels do not fill the texture's width and height");
        m_desc.m_nWidth = width;
        m_desc.m_nHeight = height;
    }

    // An image is loaded: the fills may read texels.
    bool HasTexels() const { return !m_texels.empty(); }

    int Width() const { return m_desc.m_nWidth; }
    int Height() const { return m_desc.m_nHeight; }
    const std::vector<std::uint8_t>& Texels() const { return m_texels; }

private:
    CTextureDesc m_desc;
    std::vector<std::uint8_t> m_texels;
};

// The texel that texture coordinates (cu, cv) read in a width x height image:
// column cu + 0.5 and row cv + 0.5, each truncated toward zero, then kept inside
// the image. Exact arithmetic never goes below 0; the lower bound keeps rounding
// from reading before the buffer. The vector lookup (LookUpTexels) applies the
// same rule lane by lane.
inline void TexelAddress(double cu, double cv, int width, int height, int& u, int& v)
{
    u = static_cast<int>(cu + 0.5);
    v = static_cast<int>(cv + 0.5);
    if (u >= width)
        u = width - 1;
    if (v >= height)
        v = height - 1;
    if (u < 0)
        u = 0;
    if (v < 0)
        v = 0;
}
