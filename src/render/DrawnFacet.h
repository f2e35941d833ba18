#pragma once

#include "raster/Edge.h"
#include "scene/Facet.h"

// A facet that faces the eye, ready to draw: its grid position (surface step i,
// section step j) and its projected corners.
struct SDrawnFacet
{
    int i = 0, j = 0;
    CFillVertex corners[CFacet::kCorners];
};
