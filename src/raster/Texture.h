#pragma once

#include <cstdint>
#include <vector>

// Description of a texture image, as the bitmap description of the image it came
// from. The fills read only the width and the height.
struct CTextureDesc
{
    std::int32_t m_nType = 0;
    std::int32_t m_nWidth = 0;       // texels per row
    std::int32_t m_nHeight = 0;      // rows
    std::int32_t m_nBytesPerRow = 0;
    std::uint16_t m_nPlanes = 0;
    std::uint16_t m_nBitsPerTexel = 0;
};

// A texture: its description and a top-down buffer of 4-byte texels (blue, green,
// red, one ignored byte), rows following each other without gaps. Texel (u, v)
// starts at byte 4 * (v * width + u). An empty buffer means no image is loaded.
struct CTexture
{
    CTextureDesc m_desc;
    std::vector<std::uint8_t> m_texels;

    bool HasTexels() const { return !m_texels.empty(); }
};
