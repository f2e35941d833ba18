#pragma once

#include "geometry/Color.h"
#include "geometry/Vec3.h"
#include "scene/RenderSettings.h"

#include <cstdint>

// What the pixel inspector tells about one pixel of the last frame: where it
// is, its colour and, when the frame was drawn with inspection on, how it came
// to be. The flags say which of the other fields hold something.
struct SPixelFacts
{
    // How the frame was drawn: which facts its pixels can have.
    using EDrawing = ::EDrawing;
    using enum ::EDrawing;

    int x = 0, y = 0;         // logical: origin at the centre, y up
    std::uint32_t colour = 0; // 0x00bbggrr
    bool recorded = false;    // the frame was drawn with inspection on
    EDrawing drawing = kNothing;
    bool drawn = false;    // a facet (or a facet's edge) wrote the pixel
    bool hasDepth = false; // lines have none; neither has a pixel nothing was drawn on
    double depth = 0.0;
    int i = 0, j = 0;       // the facet that last wrote it: surface step, section step
    bool hasNormal = false; // Phong and lit texture: the interpolated normal lit, at length 1
    CVec3 normal;
    bool hasColour = false; // Gouraud: the colour interpolated across the span, before bytes,
    CColor interpolated;    // and the lit colours of the facet's corners
    std::uint32_t corners[4] = {0, 0, 0, 0};
    bool hasTexel = false; // texture modes: the texel read
    int u = 0, v = 0;
};
