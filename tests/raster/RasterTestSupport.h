#pragma once

#include "geometry/Points.h"
#include "raster/Edge.h"
#include "raster/PixelSink.h"

#include <vector>

// A projected vertex at column x, scanline y and depth z, white unless told.
inline CScreenPointZ Vertex(double x, int y, double z = 0.0, const CColor& c = CColor(1, 1, 1))
{
    CScreenPointZ p;
    p.x = x;
    p.y = y;
    p.z = z;
    p.colour = c;
    return p;
}

// Filler corners at the given positions, with the given normals and texture
// coordinates where there are any.
inline std::vector<CFillVertex> Corners(const std::vector<CScreenPointZ>& positions,
                                        const CVec3* normals = nullptr, const CPoint2D* texCoords = nullptr)
{
    std::vector<CFillVertex> corners(positions.size());
    for (std::size_t i = 0; i < positions.size(); ++i) {
        corners[i].m_position = positions[i];
        if (normals)
            corners[i].m_normal = normals[i];
        if (texCoords)
            corners[i].m_texCoord = texCoords[i];
    }
    return corners;
}

// The number of pixels that are not black.
inline int CountLit(const CPixelSink& sink)
{
    int lit = 0;
    for (std::uint32_t p : sink.Pixels())
        lit += (p & 0xFFFFFFu) != 0;
    return lit;
}
