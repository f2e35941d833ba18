#pragma once

#include "raster/PixelSink.h"

#include <cstdint>
#include <vector>

class CTorusRenderer;

// The depth buffer of a frame as a picture: each pixel that a filled facet drew
// has the depth stored there (larger is nearer), the others have none. Taken
// from a frame drawn with records (inspection or pixel history on), whole or
// partial; lines have no depth buffer.
class CDepthImage
{
public:
    // The drawn depths from the least to the greatest onto 1 .. 65535, 0 where
    // nothing was drawn: the levels of a 16-bit grey picture.
    static constexpr std::uint16_t kUndrawnLevel = 0;
    static constexpr std::uint16_t kNearestLevel = 65535;
    // The window's picture: the least depth kFarthestGrey, the greatest white,
    // undrawn pixels a dark blue that no grey can be taken for.
    static constexpr int kFarthestGrey = 48;
    static constexpr std::uint32_t kUndrawnColour = 0x00602810u; // 0x00bbggrr

    // Takes the depths of the renderer's last frame, drawn into frame. False,
    // leaving the picture empty, when that frame has no depths to tell: drawn
    // without records, or as lines.
    bool Take(const CTorusRenderer& renderer, const CPixelSink& frame);

    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    // Whether any pixel was drawn, and the least and greatest depth drawn.
    bool AnyDrawn() const { return m_bAny; }
    double Least() const { return m_dLeast; }
    double Greatest() const { return m_dGreatest; }

    // Where (device column, row; top row 0) a facet drew, and the depth there.
    bool Drawn(int col, int row) const { return m_drawn[Index(col, row)] != 0; }
    double Depth(int col, int row) const { return m_depth[Index(col, row)]; }
    // The 16-bit level of device pixel (col, row).
    std::uint16_t Level(int col, int row) const;
    // Every level, rows from the top.
    std::vector<std::uint16_t> Levels() const;
    // The window's picture of the depths, into sink (made the picture's size).
    void Paint(CPixelSink& sink) const;

private:
    std::size_t Index(int col, int row) const
    {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(m_nWidth) +
               static_cast<std::size_t>(col);
    }
    // Where depth lies between the least and the greatest: 0 to 1 (1 when they are one).
    double Share(double depth) const;

    int m_nWidth = 0;
    int m_nHeight = 0;
    std::vector<double> m_depth;
    std::vector<std::uint8_t> m_drawn;
    bool m_bAny = false;
    double m_dLeast = 0.0;
    double m_dGreatest = 0.0;
};
