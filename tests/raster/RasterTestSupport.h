#pragma once

#include "geometry/Points.h"
#include "raster/PixelSink.h"

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

// The number of pixels that are not black.
inline int CountLit(const CPixelSink& sink)
{
    int lit = 0;
    for (std::uint32_t p : sink.Pixels())
        lit += (p & 0xFFFFFFu) != 0;
    return lit;
}
