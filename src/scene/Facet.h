#pragma once

#include "geometry/Vec3.h"

// One quadrilateral of the torus mesh: four indices into the vertex grid, in
// corner order, and the normal that the render pass stores for it.
class CFacet
{
public:
    static constexpr int kCorners = 4;

    int m_nVertexCount = kCorners;
    int m_pIndices[kCorners] = {0, 0, 0, 0};
    CVec3 m_normal;
};
