#include "raster/PolygonFill.h"

#include <algorithm>

void CPolygonFill::InitDepthBuffer(int width, int height, double value)
{
    m_nDepthWidth = width > 0 ? width : 0;
    m_nDepthHeight = height > 0 ? height : 0;
    m_depth.assign(static_cast<std::size_t>(m_nDepthWidth) * static_cast<std::size_t>(m_nDepthHeight),
                   value);
}

void CPolygonFill::SetVertices(const CScreenPointZ* positions, int count)
{
    m_pPositions.assign(positions, positions + count);
    m_nVertexCount = count;
}

void CPolygonFill::SetVerticesWithNormals(const CScreenPointZ* positions, const CVec3* normals,
                                          int count)
{
    SetVertices(positions, count);
    m_pNormals.assign(normals, normals + count);
}

void CPolygonFill::SetVerticesWithTexture(const CScreenPointZ* positions, const CVec3* normals,
                                          const CPoint2D* texCoords, int count)
{
    SetVerticesWithNormals(positions, normals, count);
    m_pTexCoords.assign(texCoords, texCoords + count);
}

void CPolygonFill::BuildBuckets()
{
    m_nBucketCount = 0;
    if (m_nVertexCount <= 0)
        return;
    int yLow = m_pPositions[0].y;
    int yHigh = yLow;
    for (int i = 1; i < m_nVertexCount; ++i) {
        yLow = std::min(yLow, m_pPositions[static_cast<std::size_t>(i)].y);
        yHigh = std::max(yHigh, m_pPositions[static_cast<std::size_t>(i)].y);
    }
    m_nBucketCount = static_cast<std::size_t>(static_cast<long long>(yHigh) - yLow + 1);
    if (m_buckets.size() < m_nBucketCount)
        m_buckets.resize(m_nBucketCount);
    for (std::size_t b = 0; b < m_nBucketCount; ++b) {
        m_buckets[b].m_nY = yLow + static_cast<int>(b);
        m_buckets[b].m_edges.clear();
    }
}

// Creates one edge per non-horizontal side, in polygon order, in the bucket of its
// smaller y. copyAttributes(edge, i, next) adds what the variant carries besides
// the positions.
template <class Attributes> void CPolygonFill::BuildEdgeTable(Attributes copyAttributes)
{
    if (m_nBucketCount == 0)
        return;
    const int yLow = m_buckets[0].m_nY;
    for (int i = 0; i < m_nVertexCount; ++i) {
        const int next = (i + 1) % m_nVertexCount;
        const CScreenPointZ& p = m_pPositions[static_cast<std::size_t>(i)];
        const CScreenPointZ& q = m_pPositions[static_cast<std::size_t>(next)];
        if (p.y == q.y)
            continue; // horizontal edges never enter the table
        CEdge edge;
        int yStart;
        if (p.y < q.y) {
            edge.m_dX = p.x;
            edge.m_nYMax = q.y;
            edge.m_dDx = (q.x - p.x) / (q.y - p.y);
            yStart = p.y;
        } else {
            edge.m_dX = q.x;
            edge.m_nYMax = p.y;
            edge.m_dDx = (p.x - q.x) / (p.y - q.y);
            yStart = q.y;
        }
        edge.m_start = p;
        edge.m_end = q;
        copyAttributes(edge, static_cast<std::size_t>(i), static_cast<std::size_t>(next));
        m_buckets[static_cast<std::size_t>(yStart - yLow)].m_edges.push_back(edge);
    }
}

void CPolygonFill::BuildEdges()
{
    BuildEdgeTable([](CEdge&, std::size_t, std::size_t) {});
}

void CPolygonFill::BuildEdgesWithNormals()
{
    BuildEdgeTable([this](CEdge& edge, std::size_t i, std::size_t next) {
        edge.m_startNormal = m_pNormals[i];
        edge.m_endNormal = m_pNormals[next];
    });
}

void CPolygonFill::BuildEdgesWithTexture()
{
    BuildEdgeTable([this](CEdge& edge, std::size_t i, std::size_t next) {
        edge.m_startNormal = m_pNormals[i];
        edge.m_endNormal = m_pNormals[next];
        edge.m_startTex = m_pTexCoords[i];
        edge.m_endTex = m_pTexCoords[next];
    });
}

void CPolygonFill::AddActiveEdge(const CEdge& edge) { m_active.push_back(edge); }

void CPolygonFill::SortActiveEdges()
{
    // Insertion sort: stable, and the list is nearly in order from one scanline to
    // the next. It yields the same order as repeated adjacent swaps with this key.
    auto before = [](const CEdge& a, const CEdge& b) {
        return a.m_dX < b.m_dX || (a.m_dX == b.m_dX && a.m_dDx < b.m_dDx);
    };
    for (std::size_t i = 1; i < m_active.size(); ++i) {
        if (!before(m_active[i], m_active[i - 1]))
            continue;
        CEdge moving = m_active[i];
        std::size_t j = i;
        while (j > 0 && before(moving, m_active[j - 1])) {
            m_active[j] = m_active[j - 1];
            --j;
        }
        m_active[j] = moving;
    }
}

CColor CPolygonFill::InterpolateColor(double t, double t0, double t1, const CColor& c0,
                                      const CColor& c1)
{
    const double w0 = (t - t1) / (t0 - t1);
    const double w1 = (t - t0) / (t1 - t0);
    return c0 * w0 + c1 * w1;
}

CVec3 CPolygonFill::InterpolateNormal(double t, double t0, double t1, const CVec3& a0,
                                      const CVec3& a1)
{
    return (a0 * (t - t1)) / (t0 - t1) + (a1 * (t - t0)) / (t1 - t0);
}

CPoint2D CPolygonFill::InterpolateTexCoord(double t, double t0, double t1, const CPoint2D& c0,
                                           const CPoint2D& c1)
{
    const CPoint2D b = (c1 * (t - t0)) / (t1 - t0);
    const CPoint2D a = (c0 * (t - t1)) / (t0 - t1);
    return a + b;
}

void CPolygonFill::Reset()
{
    m_active.clear();
    for (std::size_t b = 0; b < m_nBucketCount; ++b)
        m_buckets[b].m_edges.clear();
    m_nBucketCount = 0;
    m_pPositions.clear();
    m_pNormals.clear();
    m_pTexCoords.clear();
}

// The scanline walk shared by every fill. The shader supplies
//   BeginScanline(first, second, y)  values at the span ends, from the first two records;
//   BeginSpan(xL, xR)                per pair of records with xL < xR;
//   Colour(x, px, y, z)              the 0x00bbggrr colour of a sample that passed the
//                                    depth check.
// Every shader's colour is a pure function of the sample, so evaluating it only for
// samples that pass the depth check gives the same pixels as evaluating it for all.
template <class Shader>
void CPolygonFill::ScanConvert(CPolygonFill& depthFill, CPixelSink& sink, Shader& shader)
{
    if (m_nVertexCount < 3 || m_nBucketCount == 0)
        return;

    // Depth plane through vertices 0, 1, 2 in (screen x, scanline, depth).
    const CScreenPointZ& v0 = m_pPositions[0];
    const CScreenPointZ& v1 = m_pPositions[1];
    const CScreenPointZ& v2 = m_pPositions[2];
    const CVec3 n = Cross(CVec3(v0, v1), CVec3(v1, v2));
    // First three corners on one screen line: the plane has no depth to give, and
    // the infinite or NaN depths would corrupt the buffer. Such a facet is not filled.
    if (n.z == 0.0)
        return;
    const double d = -(n.x * v1.x + n.y * static_cast<double>(v1.y) + n.z * v1.z);
    const double dzdx = -n.x / n.z;

    m_active.clear();
    for (std::size_t b = 0; b < m_nBucketCount; ++b) {
        const CEdgeBucket& bucket = m_buckets[b];
        const int y = bucket.m_nY;
        for (const CEdge& edge : bucket.m_edges)
            AddActiveEdge(edge);
        SortActiveEdges();
        if (m_active.empty())
            return;
        m_active.erase(std::remove_if(m_active.begin(), m_active.end(),
                                      [y](const CEdge& e) { return e.m_nYMax <= y; }),
                       m_active.end());
        if (m_active.empty())
            return;

        const double yd = static_cast<double>(y);
        shader.BeginScanline(m_active[0], m_active[1], yd);
        for (std::size_t k = 0; k + 1 < m_active.size(); k += 2) {
            const double xL = m_active[k].m_dX;
            const double xR = m_active[k + 1].m_dX;
            if (!(xL < xR))
                continue;
            double z = -(n.x * xL + n.y * yd + d) / n.z;
            shader.BeginSpan(xL, xR);
            for (double x = xL; x < xR; x += 1.0, z += dzdx) {
                const int px = static_cast<int>(x + 0.5);
                double* cell = depthFill.DepthCell(px, y);
                if (cell == nullptr || z < *cell)
                    continue; // outside the depth buffer, or hidden
                *cell = z;
                sink.SetPixel(px, y, shader.Colour(x, px, yd, z));
            }
        }
        for (CEdge& edge : m_active)
            edge.m_dX += edge.m_dDx;
    }
}

namespace {

// Texel (u, v) for a texture coordinate: +0.5 truncated, kept inside the image.
inline const std::uint8_t* Texel(const std::uint8_t* texels, const CTextureDesc& desc,
                                 const CPoint2D& c)
{
    int u = static_cast<int>(c.x + 0.5);
    int v = static_cast<int>(c.y + 0.5);
    if (u >= desc.m_nWidth)
        u = desc.m_nWidth - 1;
    if (v >= desc.m_nHeight)
        v = desc.m_nHeight - 1;
    // Exact arithmetic never goes below 0; rounding must never read before the buffer.
    if (u < 0)
        u = 0;
    if (v < 0)
        v = 0;
    return texels + 4 * (static_cast<std::size_t>(v) * static_cast<std::size_t>(desc.m_nWidth) +
                         static_cast<std::size_t>(u));
}

constexpr double kByteToUnit = 0.00392156862745098; // 1/255

struct GouraudShader
{
    CColor left, right, span0, span1;
    double xL = 0.0, xR = 0.0;
    void BeginScanline(const CEdge& f, const CEdge& s, double y)
    {
        left = CPolygonFill::InterpolateColor(y, f.m_start.y, f.m_end.y, f.m_start.colour,
                                              f.m_end.colour);
        right = CPolygonFill::InterpolateColor(y, s.m_start.y, s.m_end.y, s.m_start.colour,
                                               s.m_end.colour);
    }
    void BeginSpan(double l, double r)
    {
        xL = l;
        xR = r;
    }
    std::uint32_t Colour(double x, int, double, double) const
    {
        return CPolygonFill::InterpolateColor(x, xL, xR, left, right).ToColorRef();
    }
};

struct PhongShader
{
    const CPoint3D& eye;
    const CLightingModel* lights;
    const CMaterial* material;
    CVec3 left, right;
    double xL = 0.0, xR = 0.0;
    void BeginScanline(const CEdge& f, const CEdge& s, double y)
    {
        left = CPolygonFill::InterpolateNormal(y, f.m_start.y, f.m_end.y, f.m_startNormal,
                                               f.m_endNormal);
        right = CPolygonFill::InterpolateNormal(y, s.m_start.y, s.m_end.y, s.m_startNormal,
                                                s.m_endNormal);
    }
    void BeginSpan(double l, double r)
    {
        xL = l;
        xR = r;
    }
    std::uint32_t Colour(double x, int px, double y, double z) const
    {
        const CVec3 n = CPolygonFill::InterpolateNormal(x, xL, xR, left, right);
        const CPoint3D p(static_cast<double>(px), y, z);
        return lights->Illuminate(eye, p, n, material).ToColorRef();
    }
};

struct TextureShader
{
    const std::uint8_t* texels;
    const CTextureDesc& desc;
    CPoint2D left, right;
    double xL = 0.0, xR = 0.0;
    void BeginScanline(const CEdge& f, const CEdge& s, double y)
    {
        left = CPolygonFill::InterpolateTexCoord(y, f.m_start.y, f.m_end.y, f.m_startTex,
                                                 f.m_endTex);
        right = CPolygonFill::InterpolateTexCoord(y, s.m_start.y, s.m_end.y, s.m_startTex,
                                                  s.m_endTex);
    }
    void BeginSpan(double l, double r)
    {
        xL = l;
        xR = r;
    }
    const std::uint8_t* SampleTexel(double x) const
    {
        return Texel(texels, desc, CPolygonFill::InterpolateTexCoord(x, xL, xR, left, right));
    }
    std::uint32_t Colour(double x, int, double, double) const
    {
        const std::uint8_t* t = SampleTexel(x);
        return static_cast<std::uint32_t>(t[2]) | (static_cast<std::uint32_t>(t[1]) << 8) |
               (static_cast<std::uint32_t>(t[0]) << 16);
    }
};

struct LitTextureShader
{
    TextureShader texture;
    const CPoint3D& eye;
    const CLightingModel* lights;
    CVec3 left, right;
    void BeginScanline(const CEdge& f, const CEdge& s, double y)
    {
        texture.BeginScanline(f, s, y);
        left = CPolygonFill::InterpolateNormal(y, f.m_start.y, f.m_end.y, f.m_startNormal,
                                               f.m_endNormal);
        right = CPolygonFill::InterpolateNormal(y, s.m_start.y, s.m_end.y, s.m_startNormal,
                                                s.m_endNormal);
    }
    // The working material of a span: its emission stays black, and every sample
    // makes its texel the ambient, diffuse and specular reflectance.
    CMaterial material;
    void BeginSpan(double l, double r)
    {
        texture.BeginSpan(l, r);
        material = CMaterial();
        material.m_shininess = 80.0;
    }
    std::uint32_t Colour(double x, int px, double y, double z)
    {
        const std::uint8_t* t = texture.SampleTexel(x);
        const CVec3 n = CPolygonFill::InterpolateNormal(x, texture.xL, texture.xR, left, right);
        const CColor k(t[2] * kByteToUnit, t[1] * kByteToUnit, t[0] * kByteToUnit);
        material.m_ambient = k;
        material.m_diffuse = k;
        material.m_specular = k;
        const CPoint3D p(static_cast<double>(px), y, z);
        return lights->Illuminate(eye, p, n, &material).ToColorRef();
    }
};

} // namespace

void CPolygonFill::FillGouraud(CPixelSink& sink)
{
    GouraudShader shader;
    ScanConvert(*this, sink, shader);
}

void CPolygonFill::FillPhong(CPixelSink& sink, CPoint3D eye, const CLightingModel* lights,
                             const CMaterial* material)
{
    PhongShader shader{eye, lights, material, {}, {}};
    ScanConvert(*this, sink, shader);
}

void CPolygonFill::FillTexture(CPixelSink& sink, CPolygonFill& depthFill,
                               const std::uint8_t* texels, const CTextureDesc& desc)
{
    if (texels == nullptr || desc.m_nWidth <= 0 || desc.m_nHeight <= 0)
        return; // no image loaded: nothing to draw
    TextureShader shader{texels, desc, {}, {}};
    ScanConvert(depthFill, sink, shader);
}

void CPolygonFill::FillTexturePhong(CPixelSink& sink, CPolygonFill& depthFill,
                                    const std::uint8_t* texels, const CTextureDesc& desc,
                                    CPoint3D eye, const CLightingModel* lights)
{
    if (texels == nullptr || desc.m_nWidth <= 0 || desc.m_nHeight <= 0)
        return;
    LitTextureShader shader{TextureShader{texels, desc, {}, {}}, eye, lights, {}, {}, {}};
    ScanConvert(depthFill, sink, shader);
}
