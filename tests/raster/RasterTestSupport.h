#pragma once

#include "geometry/Points.h"
#include "raster/Edge.h"
#include "raster/PixelSink.h"
#include "raster/PolygonFill.h"

#include <cassert>
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

// A filler taken through its steps one at a time, with what they build: the edge
// table and the active list.
class CPolygonFillSteps
{
public:
    void SetVertices(const CFillVertex* corners, int count) { m_fill.SetVertices(corners, count); }
    void BuildBuckets() { m_fill.BuildBuckets(); }
    void BuildEdges() { m_fill.BuildEdges(); }
    void AddActiveEdge(const CEdge& edge) { m_fill.AddActiveEdge(edge); }
    void SortActiveEdges() { m_fill.SortActiveEdges(); }

    int BucketCount() const { return static_cast<int>(m_fill.m_nBucketCount); }
    const CEdgeBucket& Bucket(int index) const
    {
        assert(index >= 0 && static_cast<std::size_t>(index) < m_fill.m_nBucketCount);
        return m_fill.m_buckets[static_cast<std::size_t>(index)];
    }
    const std::vector<CEdge>& ActiveEdges() const { return m_fill.m_active; }

private:
    CPolygonFill m_fill;
};
