#pragma once

#include "geometry/Vec3.h"

#include <vector>

// One corner of a facet as the filler takes it: the projected position with its
// colour and depth, the vertex normal and the texture coordinate.
struct CFillVertex
{
    CScreenPointZ m_position;
    CVec3 m_normal;
    CPoint2D m_texCoord;
};

// One non-horizontal edge of a facet. It takes part in the scanlines from the
// smaller corner y up to m_nYMax - 1; m_pStart and m_pEnd point to its corners in
// polygon order, held by the filler while it fills the facet. Small, since the
// active list moves edges on every scanline.
struct CEdge
{
    double m_dX = 0.0; // x on the current scanline
    int m_nYMax = 0;
    double m_dDx = 0.0; // change of x per scanline
    const CFillVertex* m_pStart = nullptr;
    const CFillVertex* m_pEnd = nullptr;
};

// One scanline of the edge table: the edges whose smaller y is m_nY, in polygon order.
struct CEdgeBucket
{
    int m_nY = 0;
    std::vector<CEdge> m_edges;
};

// The pixels a fill may write, in logical coordinates (origin at the image centre,
// y up), bounds included: the image, the depth buffer and, with several threads,
// one band of rows, intersected.
struct SScanClip
{
    int xMin = 0, xMax = -1;
    int yMin = 0, yMax = -1;
};
