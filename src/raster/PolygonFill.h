#pragma once

#include "geometry/Vec3.h"
#include "lighting/LightingModel.h"
#include "raster/PixelSink.h"
#include "raster/Texture.h"

#include <cstdint>
#include <vector>

// One non-horizontal edge of a facet. It takes part in the scanlines from the
// smaller vertex y up to m_nYMax - 1; m_start and m_end are in polygon order.
struct CEdge
{
    double m_dX = 0.0; // x on the current scanline
    int m_nYMax = 0;
    double m_dDx = 0.0; // change of x per scanline
    CScreenPointZ m_start;
    CScreenPointZ m_end;
    CVec3 m_startNormal;
    CVec3 m_endNormal;
    CPoint2D m_startTex;
    CPoint2D m_endTex;
};

// One scanline of the edge table: the edges whose smaller y is m_nY, in polygon order.
struct CEdgeBucket
{
    int m_nY = 0;
    std::vector<CEdge> m_edges;
};

// Scan-converts one projected facet at a time against a depth buffer that lives
// for the whole frame. Per facet: one vertex input, BuildBuckets, one edge-table
// builder, one fill, Reset.
//
// Every fill walks the scanlines bottom up with a sorted active edge list, takes
// the spans between pairs of active edges, samples each span at xL, xL + 1, ...
// while x < xR, and plots column (int)(x + 0.5) when the sample's depth is not
// smaller than the stored one. Depth comes from the plane through vertices 0, 1, 2.
class CPolygonFill
{
public:
    // Allocates width x height depth cells, all set to value. Pixel (x, y) has the
    // cell of column x + width/2 and row y + height/2.
    void InitDepthBuffer(int width, int height, double value);

    void SetVertices(const CScreenPointZ* positions, int count);
    void SetVerticesWithNormals(const CScreenPointZ* positions, const CVec3* normals, int count);
    void SetVerticesWithTexture(const CScreenPointZ* positions, const CVec3* normals,
                                const CPoint2D* texCoords, int count);

    // One empty bucket for every scanline from the lowest to the highest vertex y.
    void BuildBuckets();
    void BuildEdges();
    void BuildEdgesWithNormals();
    void BuildEdgesWithTexture();

    // Vertex colours interpolated along the edges and across the spans.
    void FillGouraud(CPixelSink& sink);
    // Normals interpolated, the lighting evaluated at every pixel.
    void FillPhong(CPixelSink& sink, CPoint3D eye, const CLightingModel* lights,
                   const CMaterial* material);
    // Texels copied unchanged. depthFill is the filler whose depth buffer is used.
    void FillTexture(CPixelSink& sink, CPolygonFill& depthFill, const std::uint8_t* texels,
                     const CTextureDesc& desc);
    // Texels lit per pixel, each texel being the ambient, diffuse and specular
    // reflectance of the point, with exponent 80.
    void FillTexturePhong(CPixelSink& sink, CPolygonFill& depthFill, const std::uint8_t* texels,
                          const CTextureDesc& desc, CPoint3D eye, const CLightingModel* lights);

    // Appends a copy of the edge at the tail of the active list.
    void AddActiveEdge(const CEdge& edge);
    // Orders the active list by x, then by dx; records equal in both keep their order.
    void SortActiveEdges();

    static CColor InterpolateColor(double t, double t0, double t1, const CColor& c0,
                                   const CColor& c1);
    static CVec3 InterpolateNormal(double t, double t0, double t1, const CVec3& a0,
                                   const CVec3& a1);
    static CPoint2D InterpolateTexCoord(double t, double t0, double t1, const CPoint2D& c0,
                                        const CPoint2D& c1);

    // Forgets the current facet: vertices, edge table and active list. The depth
    // buffer stays.
    void Reset();

    // The depth cell of pixel (x, y), or null outside the buffer.
    double* DepthCell(int x, int y)
    {
        const int col = x + m_nDepthWidth / 2;
        const int row = y + m_nDepthHeight / 2;
        if (col < 0 || col >= m_nDepthWidth || row < 0 || row >= m_nDepthHeight)
            return nullptr;
        return &m_depth[static_cast<std::size_t>(row) * static_cast<std::size_t>(m_nDepthWidth) +
                        static_cast<std::size_t>(col)];
    }

    int BucketCount() const { return static_cast<int>(m_nBucketCount); }
    const CEdgeBucket& Bucket(int index) const { return m_buckets[static_cast<std::size_t>(index)]; }
    const std::vector<CEdge>& ActiveEdges() const { return m_active; }

private:
    template <class Edges> void BuildEdgeTable(Edges copyAttributes);
    template <class Shader> void ScanConvert(CPolygonFill& depthFill, CPixelSink& sink,
                                             Shader& shader);

    int m_nVertexCount = 0;
    std::vector<CScreenPointZ> m_pPositions;
    std::vector<CVec3> m_pNormals;
    std::vector<CPoint2D> m_pTexCoords;

    std::vector<CEdge> m_active;      // the active edge list, in list order
    std::vector<CEdgeBucket> m_buckets; // the edge table, one bucket per scanline
    std::size_t m_nBucketCount = 0;   // buckets in use; the rest keep their storage

    std::vector<double> m_depth; // row-major, m_nDepthWidth cells a row
    int m_nDepthWidth = 0;
    int m_nDepthHeight = 0;
};
