#pragma once

#include "raster/DepthBuffer.h"
#include "raster/Edge.h"
#include "raster/PixelProbe.h"
#include "raster/PixelSink.h"
#include "raster/ScanlineProbe.h"

#include <algorithm>
#include <cassert>
#include <utility>
#include <vector>

// Scan-converts one projected facet at a time against a depth buffer that lives
// for the whole frame.
//
// The walk goes over the scanlines bottom up with a sorted active edge list, takes
// the spans between pairs of active edges, samples each span at xL, xL + 1, ...
// while x < xR, and draws column (int)(x + 0.5) when the sample's depth is not
// smaller than the stored one. Depth comes from the plane through corners 0, 1, 2.
// What a drawn sample looks like is the shader's business: the filler knows it
// only as a template parameter with
//   BeginScanline(first, second, y)  the first two active edges of scanline y;
//   BeginSpan(xL, xR, y)             per pair of edges with xL < xR;
//   Slots()                          where the next samples that pass the depth
//                                    test go: arrays t (the sample's x), px (its
//                                    column) and z (its depth, already stored;
//                                    written only if kKeepsDepth), and the room
//                                    left in them;
//   Append(n)                        takes the n samples written there;
//   MakeRoom(samples)                whether the slots can be made to hold that
//                                    many samples at once (it may shade and
//                                    write the samples held so far);
//   EndSpan()                        after the last sample of a span;
//   kKeepsDepth                      whether it reads the samples' depths.
// Samples outside the clip are never depth-tested nor plotted: their pixels are
// not seen and their depth cells are read by no other pixel.
class CPolygonFill
{
public:
    // Fills one facet: takes its corners, builds its edge table and walks it.
    template <class Shader>
    void Fill(const CFillVertex* corners, int count, CDepthBuffer& depth, const SScanClip& clip,
              Shader& shader)
    {
        if (count <= 0 || !CrossesRows(corners, count, clip))
            return;
        SetVertices(corners, count);
        BuildBuckets();
        BuildEdges();
        ScanConvert(depth, clip, shader);
    }

    // While set, the walk writes what it holds on the probe's row into it, as it
    // fills that row. Null in normal frames.
    void SetProbe(SScanlineProbe* probe)
    {
        m_pProbe = probe;
        m_bProbed = m_pProbe != nullptr || m_pPixelProbe != nullptr;
    }
    // While set, every depth test of the probe's pixel is added to it, with the
    // tag of the facet being filled (SetTag). Null in normal frames.
    void SetPixelProbe(SPixelProbe* probe)
    {
        m_pPixelProbe = probe;
        m_bProbed = m_pProbe != nullptr || m_pPixelProbe != nullptr;
    }
    void SetTag(int tag) { m_nTag = tag; }

private:
    // The tests build and read the edge table and the active list step by step.
    friend class CPolygonFillSteps;

    // The steps of Fill.
    void SetVertices(const CFillVertex* corners, int count);
    // One empty bucket for every scanline from the lowest to the highest corner y.
    void BuildBuckets();
    // One edge per non-horizontal side, in polygon order, in the bucket of its smaller y.
    void BuildEdges();

    void AddActiveEdge(const CEdge& edge) { m_active.push_back(edge); }
    // Orders the active list by x, then by dx; edges equal in both keep their order.
    void SortActiveEdges()
    {
        // Most scanlines of a facet have two active edges: one comparison.
        if (m_active.size() == 2) {
            if (EdgeBefore(m_active[1], m_active[0]))
                std::swap(m_active[0], m_active[1]);
            return;
        }
        SortManyActiveEdges();
    }
    static bool EdgeBefore(const CEdge& a, const CEdge& b)
    {
        return a.m_dX < b.m_dX || (a.m_dX == b.m_dX && a.m_dDx < b.m_dDx);
    }
    void SortManyActiveEdges();

    // Whether the corners' scanlines reach the clip's rows at all.
    static bool CrossesRows(const CFillVertex* corners, int count, const SScanClip& clip)
    {
        int yLow = corners[0].m_position.y, yHigh = yLow;
        for (int i = 1; i < count; ++i) {
            yLow = std::min(yLow, corners[i].m_position.y);
            yHigh = std::max(yHigh, corners[i].m_position.y);
        }
        return yHigh >= clip.yMin && yLow <= clip.yMax;
    }

    // Depth over the facet: n . (x, y, depth) + d = 0, dzdx the change along a scanline.
    struct SDepthPlane
    {
        CVec3 n;
        double d;
        double dzdx;
    };

    // Whether every sample of a span from xL to xR lands in a column from xMin to
    // xMax: the columns (int)(x + 0.5) grow with x, the first is at least
    // floor(xL + 0.5) and the last at most xR + 0.5, rounded toward zero.
    static bool InsideColumns(double xL, double xR, int xMin, int xMax)
    {
        return xL + 0.5 >= xMin && xR + 0.5 <= xMax;
    }

    // The depth test of the sample at x (column px, depth z): unless hidden, its
    // depth is stored and it goes into the shader's next slot.
    template <bool kKeepsDepth, class Slots>
    static void TestDepth(double x, int px, double z, double* cells, const Slots& out, std::size_t& n)
    {
        if (z < cells[px])
            return; // hidden
        cells[px] = z;
        out.t[n] = x;
        out.px[n] = px;
        if constexpr (kKeepsDepth)
            out.z[n] = z;
        ++n;
    }

    // Whether a probe watches scanline y.
    bool ProbesRow(int y) const
    {
        return (m_pProbe != nullptr && y == m_pProbe->m_nY) ||
               (m_pPixelProbe != nullptr && y == m_pPixelProbe->m_nY);
    }
    // Reports the depth test of the sample at x (column px of scanline y) to the probes that watch it.
    void ProbeSample(int y, double x, int px, double z, double stored)
    {
        const bool passed = !(z < stored);
        if (m_pProbe != nullptr && y == m_pProbe->m_nY)
            m_pProbe->m_samples.push_back({x, px, z, stored, passed});
        if (m_pPixelProbe != nullptr && y == m_pPixelProbe->m_nY && px == m_pPixelProbe->m_nX)
            m_pPixelProbe->m_samples.push_back({m_nTag, x, z, stored, passed});
    }

    template <class Shader> void ScanConvert(CDepthBuffer& depth, const SScanClip& clip, Shader& shader);
    template <bool Probed, class Shader>
    void FillScanline(int y, const SDepthPlane& plane, CDepthBuffer& depth, const SScanClip& clip,
                      Shader& shader);

    std::vector<CFillVertex> m_corners;
    std::vector<CEdge> m_active;        // the active edge list, in list order
    std::vector<CEdgeBucket> m_buckets; // the edge table, one bucket per scanline
    std::size_t m_nBucketCount = 0;     // buckets in use; the rest keep their storage
    SScanlineProbe* m_pProbe = nullptr;
    SPixelProbe* m_pPixelProbe = nullptr;
    bool m_bProbed = false; // either probe is set
    int m_nTag = 0;         // the facet being filled, for the pixel probe
};

// The pixels of the image that have a depth cell.
inline SScanClip ImageClip(const CPixelSink& sink)
{
    const CPixelMapping image = sink.Mapping();
    SScanClip clip;
    clip.xMin = std::max(image.XMin(), -CDepthBuffer::kHalf);
    clip.xMax = std::min(image.XMax(), CDepthBuffer::kHalf - 1);
    clip.yMin = std::max(image.YMin(), -CDepthBuffer::kHalf);
    clip.yMax = std::min(image.YMax(), CDepthBuffer::kHalf - 1);
    return clip;
}

template <class Shader>
void CPolygonFill::ScanConvert(CDepthBuffer& depth, const SScanClip& clip, Shader& shader)
{
    if (m_corners.size() < 3 || m_nBucketCount == 0 || m_buckets[m_nBucketCount - 1].m_nY < clip.yMin)
        return; // nothing to fill, or every scanline lies below the clip

    // Depth plane through corners 0, 1, 2 in (screen x, scanline, depth).
    const CScreenPointZ& v0 = m_corners[0].m_position;
    const CScreenPointZ& v1 = m_corners[1].m_position;
    const CScreenPointZ& v2 = m_corners[2].m_position;
    const CVec3 n = Cross(CVec3(v0, v1), CVec3(v1, v2));
    // First three corners on one screen line: the plane has no depth to give, and
    // the infinite or NaN depths would corrupt the buffer. Such a facet is not filled.
    if (n.z == 0.0)
        return;
    const SDepthPlane plane{n, -(n.x * v1.x + n.y * static_cast<double>(v1.y) + n.z * v1.z), -n.x / n.z};

    m_active.clear();
    for (std::size_t b = 0; b < m_nBucketCount; ++b) {
        const CEdgeBucket& bucket = m_buckets[b];
        const int y = bucket.m_nY;
        if (y > clip.yMax)
            return; // every later scanline lies above the clip
        for (const CEdge& edge : bucket.m_edges)
            AddActiveEdge(edge);
        SortActiveEdges();
        if (m_active.empty())
            return;
        m_active.erase(
            std::remove_if(m_active.begin(), m_active.end(), [y](const CEdge& e) { return e.m_nYMax <= y; }),
            m_active.end());
        if (m_active.empty())
            return;

        if (y >= clip.yMin) {
            if (m_bProbed && ProbesRow(y)) [[unlikely]]
                FillScanline<true>(y, plane, depth, clip, shader);
            else
                FillScanline<false>(y, plane, depth, clip, shader);
        }
        for (CEdge& edge : m_active)
            edge.m_dX += edge.m_dDx;
    }
}

// The spans of scanline y between pairs of active edges. Probed, the same walk
// also reports its active edges and every depth test to the probes.
template <bool Probed, class Shader>
void CPolygonFill::FillScanline(int y, const SDepthPlane& plane, CDepthBuffer& depth, const SScanClip& clip,
                                Shader& shader)
{
    // Every edge that enters a scanline leaves at a later one, so edges come and go
    // in pairs: the list holds at least two here.
    assert(m_active.size() >= 2);
    // Copies in locals: the compiler would reload members after every store.
    const double nx = plane.n.x, ny = plane.n.y, nz = plane.n.z, d = plane.d, dzdx = plane.dzdx;
    const int xMin = clip.xMin, xMax = clip.xMax;
    const double yd = static_cast<double>(y);
    double* const cells = depth.Row(y);
    if constexpr (Probed) {
        if (m_pProbe != nullptr && y == m_pProbe->m_nY) {
            m_pProbe->m_bReached = true;
            for (const CEdge& edge : m_active)
                m_pProbe->m_edges.push_back({edge.m_dX, edge.m_dDx, edge.m_nYMax});
        }
    }
    shader.BeginScanline(m_active[0], m_active[1], yd);
    for (std::size_t k = 0; k + 1 < m_active.size(); k += 2) {
        const double xL = m_active[k].m_dX;
        const double xR = m_active[k + 1].m_dX;
        if (!(xL < xR))
            continue;
        double z = -(nx * xL + ny * yd + d) / nz;
        shader.BeginSpan(xL, xR, y);
        int lo = xMax + 1, hi = xMin - 1;
        // x and z advance by repeated addition, sample by sample, whether a sample
        // is drawn or not: their rounding is part of the picture. The samples that
        // pass go straight into the shader's slots, as many as they hold at a time.
        double x = xL;
        if (!Probed && InsideColumns(xL, xR, xMin, xMax) && shader.MakeRoom(xR - xL + 2.0)) {
            // The common span: every column inside the clip and room for every
            // sample, so the walk only tests depth.
            const auto out = shader.Slots();
            std::size_t n = 0;
            for (; x < xR; x += 1.0, z += dzdx)
                TestDepth<Shader::kKeepsDepth>(x, static_cast<int>(x + 0.5), z, cells, out, n);
            if (n > 0)
                depth.Touch(y, out.px[0], out.px[n - 1]);
            shader.Append(n);
            shader.EndSpan();
            continue;
        }
        bool pastClip = false;
        while (x < xR && !pastClip) {
            const auto out = shader.Slots();
            std::size_t n = 0;
            for (; x < xR && n < out.room; x += 1.0, z += dzdx) {
                const int px = static_cast<int>(x + 0.5);
                if (px < xMin)
                    continue;
                if (px > xMax) {
                    pastClip = true; // columns only grow along a span
                    break;
                }
                if constexpr (Probed)
                    ProbeSample(y, x, px, z, cells[px]);
                TestDepth<Shader::kKeepsDepth>(x, px, z, cells, out, n);
            }
            if (n > 0) {
                lo = std::min(lo, out.px[0]);
                hi = out.px[n - 1];
            }
            shader.Append(n);
        }
        shader.EndSpan();
        if (lo <= hi)
            depth.Touch(y, lo, hi);
    }
}
