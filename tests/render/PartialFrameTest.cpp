#include "raster/LineRasterizer.h"
#include "render/TorusRenderer.h"
#include "shading/Shaders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

// Frames large enough to hold the whole torus: no span is cut at the image's sides.
constexpr int kSide = 640;

struct SDrawing
{
    const char* name;
    int mode, light, shading;
};

const SDrawing kDrawings[] = {
    {"wireframe", kModeWireframe, kLightOn, kShadingGouraud},
    {"gouraud", kModeSurface, kLightOn, kShadingGouraud},
    {"phong", kModeSurface, kLightOn, kShadingPhong},
    {"texture", kModeTexture, kLightOff, kShadingPhong},
    {"lit texture", kModeTexture, kLightOn, kShadingPhong},
};

// A turned torus, big enough to cross several bands of rows, with a checker texture.
void Prepare(CTorusRenderer& view, const SDrawing& d, int threads)
{
    CRenderSettings settings;
    settings.m_nMode = d.mode;
    settings.m_nLight = d.light;
    settings.m_nShading = d.shading;
    settings.m_nSurfaceSteps = 14;
    settings.m_nSectionSteps = 11;
    std::vector<std::uint8_t> texels(800 * 320 * 4, 0);
    for (int v = 0; v < 320; ++v)
        for (int u = 0; u < 800; ++u)
            for (int b = 0; b < 3; ++b)
                texels[static_cast<std::size_t>(4 * (v * 800 + u) + b)] =
                    static_cast<std::uint8_t>(((u / 40 + v / 40) % 2 != 0 ? 60 : 200) + 20 * b);
    view.SetThreadCount(threads);
    view.Setup(settings, 35.0, 20.0, std::make_shared<const CTexture>(800, 320, std::move(texels)));
}

CPixelSink Render(CTorusRenderer& view, int facets, int row = CTorusRenderer::kAllRows)
{
    view.SetFacetLimit(facets);
    view.SetRowLimit(row);
    CPixelSink sink(kSide, kSide);
    view.RenderFrame(sink);
    return sink;
}

// The drawing as it is meant, done the slow way: on one thread, over the whole
// image, one facet after the other, each written out before the next begins.
CPixelSink DrawOneByOne(const CTorusRenderer& view, int facets)
{
    CPixelSink sink(kSide, kSide);
    sink.ClearRows(0, sink.Height() - 1);
    CDepthBuffer depth;
    CPolygonFill fill;
    CSampleBatch batch;
    const SScanClip clip = ImageClip(sink);
    const CPoint3D& eye = view.Camera().m_eye;
    for (int k = 0; k < facets; ++k) {
        const CFillVertex* c = view.DrawnFacet(k).corners;
        auto fillWith = [&](auto shader) {
            fill.Fill(c, CFacet::kCorners, depth, clip, shader);
            shader.Flush();
        };
        if (view.Mode() == kModeWireframe) {
            for (int e = 0; e < CFacet::kCorners; ++e)
                DrawEdge(sink, c[e].m_position, c[(e + 1) % CFacet::kCorners].m_position);
        } else if (view.Mode() == kModeSurface && view.Shading() == kShadingGouraud) {
            fillWith(CGouraudShader(sink, batch));
        } else if (view.Mode() == kModeSurface) {
            fillWith(CPhongShader(sink, batch, eye, view.Lighting(), view.Material()));
        } else if (view.Light() == kLightOff) {
            fillWith(CTextureShader(sink, batch, view.Texture()));
        } else {
            fillWith(CLitTextureShader(sink, batch, view.Texture(), eye, view.Lighting()));
        }
    }
    return sink;
}

// A partial frame is the drawing stopped after its facets, on any thread count;
// with every facet, or more than there are, it is the whole frame.
TEST(PartialFrame, EqualsTheDrawingStoppedAfterItsFacets)
{
    for (const SDrawing& d : kDrawings) {
        CTorusRenderer whole;
        Prepare(whole, d, 3);
        const CPixelSink full = Render(whole, CTorusRenderer::kAllFacets);
        const int count = whole.FacetsDrawn();
        ASSERT_GT(count, 40) << d.name;
        for (int threads : {1, 3}) {
            CTorusRenderer view;
            Prepare(view, d, threads);
            for (int facets : {count, count + 7})
                EXPECT_EQ(Render(view, facets).Pixels(), full.Pixels()) << d.name << " " << facets;
            for (int facets : {0, 1, 2, 23, count / 2, count - 1}) {
                const CPixelSink partial = Render(view, facets);
                EXPECT_EQ(partial.Pixels(), DrawOneByOne(view, facets).Pixels())
                    << d.name << " threads " << threads << " facets " << facets;
            }
            EXPECT_EQ(view.FacetsDrawn(), count) << "the limit draws fewer but counts them all";
        }
    }
}

// Stopped at a row of its last facet, a frame shows that facet's rows up to
// there and, above, the frame of the facets before it; the probe of that row
// reports the walk that filled it, and watching changes no pixel.
TEST(PartialFrame, StopsAtAScanlineThatTheWalkReports)
{
    for (const SDrawing& d : kDrawings) {
        if (d.mode == kModeWireframe)
            continue;
        CTorusRenderer view;
        Prepare(view, d, 3);
        const CPixelSink all = Render(view, CTorusRenderer::kAllFacets);
        const int facet = view.FacetsDrawn() / 2;
        const SDrawnFacet drawn = view.DrawnFacet(facet - 1);
        int yLow = drawn.corners[0].m_position.y, yHigh = yLow;
        for (const CFillVertex& c : drawn.corners) {
            yLow = std::min(yLow, c.m_position.y);
            yHigh = std::max(yHigh, c.m_position.y);
        }
        ASSERT_GT(yHigh - yLow, 4) << d.name;
        const int row = (yLow + yHigh) / 2;
        const CPixelSink before = Render(view, facet - 1);
        const CPixelSink after = Render(view, facet);

        SScanlineProbe probe, next;
        view.SetInspection(true);
        view.SetScanlineProbe(&next);
        Render(view, facet, row + 1);
        view.SetScanlineProbe(&probe);
        const CPixelSink stopped = Render(view, facet, row);
        view.SetScanlineProbe(nullptr);
        for (int y = 1 - kSide / 2; y <= kSide / 2; ++y)
            for (int x = -kSide / 2; x < kSide / 2; ++x)
                ASSERT_EQ(stopped.Pixel(x, y), (y <= row ? after : before).Pixel(x, y))
                    << d.name << " at " << x << "," << y;

        ASSERT_TRUE(probe.m_bReached) << d.name;
        EXPECT_EQ(probe.m_nY, row);
        ASSERT_GE(probe.m_edges.size(), 2u);
        ASSERT_EQ(probe.m_edges.size() % 2, 0u);
        // The next row's edges are this row's, each moved on by its step.
        ASSERT_TRUE(next.m_bReached);
        for (const SScanlineProbe::SEdge& e : probe.m_edges) {
            EXPECT_GT(e.yMax, row);
            if (e.yMax <= row + 1)
                continue;
            bool found = false;
            for (const SScanlineProbe::SEdge& n : next.m_edges)
                found = found || (n.x == e.x + e.dx && n.dx == e.dx && n.yMax == e.yMax);
            EXPECT_TRUE(found) << d.name << " edge at " << e.x;
        }
        // The samples step by one from each span's left edge; those that passed are
        // exactly the pixels the facet wrote on this row.
        std::size_t s = 0;
        for (std::size_t k = 0; k + 1 < probe.m_edges.size(); k += 2) {
            for (double x = probe.m_edges[k].x; x < probe.m_edges[k + 1].x && s < probe.m_samples.size();
                 x += 1.0, ++s)
                EXPECT_EQ(probe.m_samples[s].x, x) << d.name;
        }
        EXPECT_EQ(s, probe.m_samples.size()) << d.name;
        for (int x = -kSide / 2; x < kSide / 2; ++x) {
            bool passed = false;
            for (const SScanlineProbe::SSample& sample : probe.m_samples)
                passed = passed || (sample.px == x && sample.passed);
            SPixelFacts facts;
            ASSERT_TRUE(view.Inspect(stopped, x, row, facts));
            EXPECT_EQ(passed, facts.drawn && facts.i == drawn.i && facts.j == drawn.j) << d.name << " x " << x;
        }
        view.SetInspection(false);
        EXPECT_EQ(Render(view, CTorusRenderer::kAllFacets).Pixels(), all.Pixels()) << d.name;
    }
}

} // namespace
