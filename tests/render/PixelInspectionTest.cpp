// The pixel inspector's facts, checked against what the torus's geometry says
// about a few pixels, and frames drawn with inspection on against frames drawn
// without it.

#include "render/TorusRenderer.h"
#include "scene/TorusMesh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

void Configure(CTorusRenderer& r, int mode, int light, int shading, int threads, double angleX = 0.0,
               double angleY = 0.0)
{
    CRenderSettings settings;
    settings.m_nMode = mode;
    settings.m_nLight = light;
    settings.m_nShading = shading;
    r.SetThreadCount(threads);
    r.Setup(settings, angleX, angleY,
            std::make_shared<const CTexture>(800, 320, std::vector<std::uint8_t>(800u * 320u * 4u, 0x80)));
}

// The projected corners of facet (i, j) of the default torus, unturned.
std::vector<CScreenPointZ> FacetCorners(const CTorusRenderer& r, int i, int j)
{
    std::vector<CPoint3D> vertices(18 * 18);
    TorusMesh::BuildVertices(vertices.data(), 18, 18, 20, 20, 200.0, 80.0);
    CFacet facet;
    TorusMesh::SetFacetCorners(facet, i, j, 18, 18);
    std::vector<CScreenPointZ> corners;
    for (int index : facet.m_pIndices)
        corners.push_back(r.Camera().Project(vertices[static_cast<std::size_t>(index)]));
    return corners;
}

struct SDrawingCase
{
    const char* name;
    int mode, light, shading;
    SPixelFacts::EDrawing drawing;
};

const SDrawingCase kFilled[] = {
    {"gouraud", kModeSurface, kLightOn, kShadingGouraud, SPixelFacts::kGouraud},
    {"phong", kModeSurface, kLightOn, kShadingPhong, SPixelFacts::kPhong},
    {"texture", kModeTexture, kLightOff, kShadingPhong, SPixelFacts::kTexture},
    {"lit texture", kModeTexture, kLightOn, kShadingPhong, SPixelFacts::kLitTexture},
};

// Facet (0, 4) lies on the outer equator, straight in front of the eye: its
// centre shows that facet, with the attributes of its own drawing only. Seen
// from the side, the torus leaves the frame's corners empty.
TEST(PixelInspection, FilledFramesNameTheFacetTheDepthAndTheAttributes)
{
    for (const SDrawingCase& c : kFilled) {
        for (int threads : {1, 3}) {
            SCOPED_TRACE(std::string(c.name) + " threads=" + std::to_string(threads));
            CTorusRenderer r;
            Configure(r, c.mode, c.light, c.shading, threads);
            r.SetInspection(true);
            CPixelSink sink(520, 600);
            r.RenderFrame(sink);

            const std::vector<CScreenPointZ> corners = FacetCorners(r, 0, 4);
            double cx = 0.0, cy = 0.0, zLo = 1e9, zHi = -1e9;
            for (const CScreenPointZ& p : corners) {
                cx += p.x / 4.0;
                cy += p.y / 4.0;
                zLo = std::min(zLo, p.z);
                zHi = std::max(zHi, p.z);
            }
            SPixelFacts f;
            ASSERT_TRUE(r.Inspect(sink, static_cast<int>(std::lround(cx)), static_cast<int>(std::lround(cy)), f));
            EXPECT_TRUE(f.recorded);
            EXPECT_EQ(f.drawing, c.drawing);
            ASSERT_TRUE(f.drawn);
            EXPECT_EQ(f.i, 0);
            EXPECT_EQ(f.j, 4);
            EXPECT_EQ(f.colour, sink.Pixel(f.x, f.y));
            ASSERT_TRUE(f.hasDepth);
            EXPECT_GE(f.depth, zLo);
            EXPECT_LE(f.depth, zHi);
            const bool phong = c.drawing == SPixelFacts::kPhong || c.drawing == SPixelFacts::kLitTexture;
            EXPECT_EQ(f.hasNormal, phong);
            if (phong) { // the outer equator faces the eye: +z
                EXPECT_GT(f.normal.z / f.normal.Length(), 0.9);
            }
            EXPECT_EQ(f.hasColour, c.drawing == SPixelFacts::kGouraud);
            if (f.hasColour) {
                EXPECT_EQ(f.interpolated.ToColorRef() & 0xFF, f.colour & 0xFF);
                // The pixel's colour is a blend of its corners' colours.
                for (int shift : {0, 8, 16}) {
                    unsigned lo = 255, hi = 0;
                    for (std::uint32_t corner : f.corners) {
                        lo = std::min(lo, (corner >> shift) & 0xFFu);
                        hi = std::max(hi, (corner >> shift) & 0xFFu);
                    }
                    EXPECT_LE(lo, (f.colour >> shift) & 0xFFu) << shift;
                    EXPECT_GE(hi + 1, (f.colour >> shift) & 0xFFu) << shift;
                }
            }
            const bool textured = c.mode == kModeTexture;
            EXPECT_EQ(f.hasTexel, textured);
            if (textured) { // facet (0, 4): u 0 to 44.4, v 71.1 to 88.9
                EXPECT_GE(f.u, 0);
                EXPECT_LE(f.u, 45);
                EXPECT_GE(f.v, 71);
                EXPECT_LE(f.v, 89);
            }

            SPixelFacts corner;
            ASSERT_TRUE(r.Inspect(sink, -250, 290, corner));
            EXPECT_TRUE(corner.recorded);
            EXPECT_FALSE(corner.drawn);
            EXPECT_FALSE(corner.hasDepth);
            EXPECT_EQ(corner.colour, 0u);
        }
    }
}

// Lines have no depth: a pixel of an edge names the last facet whose edge
// touched it. The edge from vertex (0, 5) to (1, 5) is shared by facets (0, 4)
// and (0, 5); (0, 5) is drawn later.
TEST(PixelInspection, LinePixelsNameTheLastFacetWithoutDepth)
{
    CTorusRenderer r;
    Configure(r, kModeWireframe, kLightOn, kShadingGouraud, 2);
    r.SetInspection(true);
    CPixelSink sink(520, 600);
    r.RenderFrame(sink);
    const std::vector<CScreenPointZ> c = FacetCorners(r, 0, 5);
    const int x = static_cast<int>((c[0].x + c[3].x) / 2.0 + 0.5);
    const int y = (c[0].y + c[3].y) / 2;
    SPixelFacts f;
    bool found = false;
    for (int dy : {0, 1, -1}) {
        ASSERT_TRUE(r.Inspect(sink, x, y + dy, f));
        if (f.drawn) {
            found = true;
            break;
        }
    }
    ASSERT_TRUE(found);
    EXPECT_EQ(f.drawing, SPixelFacts::kLines);
    EXPECT_EQ(f.i, 0);
    EXPECT_EQ(f.j, 5);
    EXPECT_FALSE(f.hasDepth);
    EXPECT_FALSE(f.hasNormal || f.hasColour || f.hasTexel);

    SPixelFacts corner;
    ASSERT_TRUE(r.Inspect(sink, -250, 290, corner));
    EXPECT_FALSE(corner.drawn);
}

// Without records of the frame only its position and colour are known; outside
// the frame there is nothing to tell. Turning inspection off lets the memory go.
TEST(PixelInspection, FramesWithoutRecordsAndPixelsOutside)
{
    CTorusRenderer r;
    Configure(r, kModeSurface, kLightOn, kShadingPhong, 1);
    CPixelSink sink(520, 600);
    r.RenderFrame(sink);
    SPixelFacts f;
    ASSERT_TRUE(r.Inspect(sink, 259, 300, f));
    EXPECT_FALSE(f.recorded);
    EXPECT_FALSE(r.Inspect(sink, 260, 0, f));
    EXPECT_FALSE(r.Inspect(sink, 0, -300, f));
    EXPECT_TRUE(r.Inspect(sink, -260, -299, f));

    r.SetInspection(true);
    r.RenderFrame(sink);
    CPixelSink other(100, 100);
    ASSERT_TRUE(r.Inspect(other, 0, 0, f));
    EXPECT_FALSE(f.recorded) << "records of a frame of another size";
    r.SetInspection(false);
    ASSERT_TRUE(r.Inspect(sink, 0, 0, f));
    EXPECT_FALSE(f.recorded);
}

// Every drawing, turned, with inspection on and off: the same pixels.
TEST(PixelInspection, RecordingChangesNoPixel)
{
    const SDrawingCase all[] = {kFilled[0], kFilled[1], kFilled[2], kFilled[3],
                                {"lines", kModeWireframe, kLightOn, kShadingGouraud, SPixelFacts::kLines}};
    for (const SDrawingCase& c : all) {
        SCOPED_TRACE(c.name);
        CTorusRenderer plain, inspected;
        Configure(plain, c.mode, c.light, c.shading, 3, 35.0, -20.0);
        Configure(inspected, c.mode, c.light, c.shading, 3, 35.0, -20.0);
        inspected.SetInspection(true);
        CPixelSink a(400, 300), b(400, 300);
        plain.RenderFrame(a);
        inspected.RenderFrame(b);
        EXPECT_TRUE(a.Pixels() == b.Pixels());
    }
}

} // namespace
