#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
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
    // texels holds exactly 4 * width * height bytes, and std::length_error when
    // the texels, padded to whole tiles, cannot be numbered with 31 bits.
    CTexture(int width, int height, std::vector<std::uint8_t> texels) : m_texels(std::move(texels))
    {
        if (width <= 0 || height <= 0 ||
            m_texels.size() != 4 * static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
            throw std::invalid_argument("the texels do not fill the texture's width and height");
        if (static_cast<std::int64_t>(width / kTile + 1) * (height / kTile + 1) * kTile * kTile > 0x7FFFFFFF)
            throw std::length_error("too many texels");
        m_desc.m_nWidth = width;
        m_desc.m_nHeight = height;
        BuildTiles();
    }

    // An image is loaded: the fills may read texels.
    bool HasTexels() const { return !m_texels.empty(); }

    int Width() const { return m_desc.m_nWidth; }
    int Height() const { return m_desc.m_nHeight; }
    const std::vector<std::uint8_t>& Texels() const { return m_texels; }

    // The same texels as colours 0x00bbggrr, red in the low byte as a frame's
    // pixels hold it, in tiles of kTile x kTile, tile after tile along the rows of
    // tiles, each tile's rows in order: texel (u, v) is word TileIndex(u, v,
    // TilesPerRow()). A tile is one cache line (the tiles start on one), so texels
    // read along any direction of the image, as the fills read them, come from a
    // few lines. The image is padded to whole tiles.
    static constexpr int kTileShift = 2;
    static constexpr int kTile = 1 << kTileShift;
    const std::uint32_t* Tiles() const { return m_tiles.get(); }
    int TilesPerRow() const { return (m_desc.m_nWidth + kTile - 1) / kTile; }
    static std::size_t TileIndex(int u, int v, int tilesPerRow)
    {
        const std::size_t tile =
            static_cast<std::size_t>(v >> kTileShift) * static_cast<std::size_t>(tilesPerRow) +
            static_cast<std::size_t>(u >> kTileShift);
        return (tile << (2 * kTileShift)) +
               static_cast<std::size_t>(((v & (kTile - 1)) << kTileShift) + (u & (kTile - 1)));
    }

private:
    void BuildTiles()
    {
        const int rows = (m_desc.m_nHeight + kTile - 1) / kTile;
        const std::size_t words = static_cast<std::size_t>(TilesPerRow()) * static_cast<std::size_t>(rows) *
                                  static_cast<std::size_t>(kTile * kTile);
        constexpr std::align_val_t kLine{64};
        std::uint32_t* tiles = static_cast<std::uint32_t*>(::operator new[](words * 4, kLine));
        m_tiles = std::shared_ptr<const std::uint32_t[]>(
            tiles, [](const std::uint32_t* p) { ::operator delete[](const_cast<std::uint32_t*>(p), kLine); });
        std::memset(tiles, 0, words * 4);
        for (int v = 0; v < m_desc.m_nHeight; ++v)
            for (int u = 0; u < m_desc.m_nWidth; ++u) {
                const std::uint8_t* texel =
                    m_texels.data() +
                    4 * (static_cast<std::size_t>(v) * static_cast<std::size_t>(m_desc.m_nWidth) +
                         static_cast<std::size_t>(u)); // blue, green, red, unused
                tiles[TileIndex(u, v, TilesPerRow())] = static_cast<std::uint32_t>(texel[2]) |
                                                        static_cast<std::uint32_t>(texel[1]) << 8 |
                                                        static_cast<std::uint32_t>(texel[0]) << 16;
            }
    }

    CTextureDesc m_desc;
    std::vector<std::uint8_t> m_texels;
    std::shared_ptr<const std::uint32_t[]> m_tiles; // immutable, shared by copies
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
