#include "raster/PolygonFill.h"
#include "raster/RasterTestSupport.h"
#include "shading/Fills.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <tuple>
#include <vector>

namespace {

// A 4-texel-high texture whose texel (u, v) holds bytes (u, v, 100 + u, 7):
// blue u, green v, red 100 + u.
CTexture MakeTexture(int w, int h)
{
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(w * h * 4));
    for (int v = 0; v < h; ++v)
        for (int u = 0; u < w; ++u) {
            std::uint8_t* p = &texels[static_cast<std::size_t>(4 * (v * w + u))];
            p[0] = static_cast<std::uint8_t>(u);
            p[1] = static_cast<std::uint8_t>(v);
            p[2] = static_cast<std::uint8_t>(100 + u);
            p[3] = 7;
        }
    return CTexture(w, h, std::move(texels));
}

std::uint32_t TexelColour(int u, int v)
{
    return static_cast<std::uint32_t>(100 + u) | (static_cast<std::uint32_t>(v) << 8) |
           (static_cast<std::uint32_t>(u) << 16);
}

struct TextureFiller
{
    CPolygonFill fill;
    CDepthBuffer depth;
    CTexture texture;
    explicit TextureFiller(CTexture t) : texture(std::move(t)) {}

    // A 4 x 4 square at depth z whose corners carry the given texture coordinates.
    void Square(CPixelSink& sink, const CPoint2D tex[4], double z = 0.0, const CLightingModel* lights = nullptr,
                const CVec3& normal = CVec3(0, 0, 1))
    {
        const CVec3 n[4] = {normal, normal, normal, normal};
        const std::vector<CFillVertex> v =
            Corners({Vertex(0, 0, z), Vertex(4, 0, z), Vertex(4, 4, z), Vertex(0, 4, z)}, n, tex);
        if (lights)
            FillTexturePhong(fill, v.data(), 4, depth, sink, texture, CPoint3D(0, 0, 1000), *lights);
        else
            FillTexture(fill, v.data(), 4, depth, sink, texture);
    }
    void Flat(CPixelSink& sink, double u, double v, double z = 0.0, const CLightingModel* lights = nullptr)
    {
        const CPoint2D t[4] = {CPoint2D(u, v), CPoint2D(u, v), CPoint2D(u, v), CPoint2D(u, v)};
        Square(sink, t, z, lights);
    }
};

void ExpectAll(const CPixelSink& sink, std::uint32_t colour)
{
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(sink.Pixel(x, y), colour) << x << "," << y;
}

TEST(GouraudFill, SpanRunsFromLeftColourTowardRightColour)
{
    CPolygonFill fill;
    CDepthBuffer depth;
    const CColor black(0, 0, 0), white(1, 1, 1);
    const std::vector<CFillVertex> v = Corners(
        {Vertex(0, 0, 0, black), Vertex(10, 0, 0, white), Vertex(10, 1, 0, white), Vertex(0, 1, 0, black)});
    CPixelSink sink(40, 10);
    FillGouraud(fill, v.data(), 4, depth, sink);
    EXPECT_EQ(sink.Pixel(0, 0), 0u);
    EXPECT_EQ(sink.Pixel(5, 0), 0x7F7F7Fu);
    EXPECT_EQ(sink.Pixel(9, 0), 0xE5E5E5u); // 0.9: 229; white itself is never sampled
    EXPECT_EQ(sink.Pixel(10, 0), 0u);
}

TEST(GouraudFill, FractionalLeftEdgeStartsWithTheEdgeColour)
{
    CPolygonFill fill;
    CDepthBuffer depth;
    const CColor c(0.2, 0.4, 0.6), white(1, 1, 1);
    const std::vector<CFillVertex> v = Corners(
        {Vertex(2.5, 0, 0, c), Vertex(10, 0, 0, white), Vertex(10, 1, 0, white), Vertex(2.5, 1, 0, c)});
    CPixelSink sink(40, 10);
    FillGouraud(fill, v.data(), 4, depth, sink);
    EXPECT_EQ(sink.Pixel(3, 0), c.ToColorRef()); // sample 2.5 plotted in column 3
}

TEST(TextureFill, AddressingRoundsAndStopsAtTheLastTexel)
{
    TextureFiller f(MakeTexture(8, 4));
    CPixelSink sink(20, 20);
    f.Flat(sink, 3.49, 0.0);
    ExpectAll(sink, TexelColour(3, 0));
    f.Flat(sink, 3.5, 1.5, 1.0);
    ExpectAll(sink, TexelColour(4, 2));
    f.Flat(sink, 7.6, 0.0, 2.0); // 8 is limited to 7
    ExpectAll(sink, TexelColour(7, 0));
    f.Flat(sink, 800.0, 320.0, 3.0);
    ExpectAll(sink, TexelColour(7, 3));
    f.Flat(sink, -0.9, -3.0, 4.0); // never reads before the buffer
    ExpectAll(sink, TexelColour(0, 0));
}

TEST(TextureFill, CopiesTexelBytesAndIgnoresTheFourth)
{
    TextureFiller f(CTexture(1, 1, {10, 20, 30, 40}));
    CPixelSink sink(20, 20);
    f.Flat(sink, 0.0, 0.0);
    ExpectAll(sink, 30u | (20u << 8) | (10u << 16));
}

TEST(TextureFill, InterpolatesTextureCoordinatesAcrossTheFacet)
{
    TextureFiller f(MakeTexture(8, 4));
    CPixelSink sink(20, 20);
    // u runs 0..4 left to right, v 0..4 bottom to top: sample (x, y) reads texel (x, y).
    const CPoint2D t[4] = {CPoint2D(0, 0), CPoint2D(4, 0), CPoint2D(4, 4), CPoint2D(0, 4)};
    f.Square(sink, t);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(sink.Pixel(x, y), TexelColour(x, y)) << x << "," << y;
}

TEST(TextureFill, HiddenSamplesLeavePixelAndDepthAlone)
{
    TextureFiller f(MakeTexture(8, 4));
    CPixelSink sink(20, 20);
    f.Flat(sink, 1.0, 1.0, 10.0);
    f.Flat(sink, 5.0, 2.0, 5.0); // farther
    ExpectAll(sink, TexelColour(1, 1));
    f.Flat(sink, 6.0, 3.0, 10.0); // equal depth: drawn
    ExpectAll(sink, TexelColour(6, 3));
}

// A texture is empty or whole: texels that do not fill its size are refused.
TEST(Texture, IsEmptyOrWhole)
{
    EXPECT_FALSE(CTexture().HasTexels());
    EXPECT_TRUE(CTexture(1, 2, std::vector<std::uint8_t>(8)).HasTexels());
    for (const auto& [w, h, bytes] : {std::tuple{2, 2, 15}, {2, 2, 17}, {0, 4, 0}, {4, 0, 0}, {-1, -1, 4}})
        EXPECT_THROW(CTexture(w, h, std::vector<std::uint8_t>(static_cast<std::size_t>(bytes))),
                     std::invalid_argument)
            << w << "x" << h << " " << bytes;
}

TEST(TextureFill, NoTexelsDrawNothing)
{
    TextureFiller f{CTexture()};
    CPixelSink sink(20, 20);
    f.Flat(sink, 1.0, 1.0);
    CLightingModel lights(1);
    f.Flat(sink, 1.0, 1.0, 0.0, &lights);
    ExpectAll(sink, 0u);
}

TEST(LitTextureFill, TexelIsTheReflectanceOfEveryTerm)
{
    CLightingModel lights(1);
    lights.m_pLights[0].m_diffuse = CColor(1, 1, 1);
    lights.m_pLights[0].m_specular = CColor(1, 1, 1);

    TextureFiller dark(CTexture(1, 1, {0, 0, 0, 255}));
    CPixelSink sink(20, 20);
    dark.Flat(sink, 0.0, 0.0, 0.0, &lights);
    ExpectAll(sink, 0u);

    // A pure red texel can reach full red but never white: every reflectance is red.
    TextureFiller lit(CTexture(1, 1, {0, 0, 255, 0}));
    CPixelSink redSink(20, 20);
    lit.Flat(redSink, 0.0, 0.0, 0.0, &lights);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(redSink.Pixel(x, y) & 0xFFFF00u, 0u);
            EXPECT_GT(redSink.Pixel(x, y) & 0xFFu, 0u);
        }
    // The point straight under the light and the eye gets diffuse 1 and specular 1.
    EXPECT_EQ(redSink.Pixel(0, 0), 0xFFu);

    // With the light off, the point's own colour (white) plus the ambient term.
    lights.m_pLights[0].m_bOn = 0;
    lit.depth = CDepthBuffer();
    lit.Flat(redSink, 0.0, 0.0, 0.0, &lights);
    ExpectAll(redSink, 0xFFFFFFu);
}

TEST(PhongFill, EvaluatesTheLightAtTheRoundedColumn)
{
    CLightingModel lights(1);
    lights.m_pLights[0].m_diffuse = CColor(1, 1, 1);
    lights.m_pLights[0].SetPosition(0, 0, 1000);
    CMaterial material;
    material.m_ambient = CColor(0, 0, 0);
    material.m_diffuse = CColor(1, 1, 1);
    const CPoint3D eye(0, 0, 1000);

    CPolygonFill fill;
    CDepthBuffer depth;
    const CVec3 n[4] = {CVec3(0, 0, 1), CVec3(0, 0, 1), CVec3(0, 0, 1), CVec3(0, 0, 1)};
    const std::vector<CFillVertex> v =
        Corners({Vertex(-200.5, 0), Vertex(200, 0), Vertex(200, 1), Vertex(-200.5, 1)}, n);
    CPixelSink sink(600, 10);
    FillPhong(fill, v.data(), 4, depth, sink, eye, lights, material);

    // Each pixel is lit at (column, scanline, depth), not at the sample's own x.
    for (int x : {-200, -100, 0, 57, 199}) {
        const CColor expected =
            lights.Illuminate(eye, CPoint3D(x, 0, 0), CVec3(0, 0, 1), &material);
        EXPECT_EQ(sink.Pixel(x, 0), expected.ToColorRef()) << x;
    }
    // Farther from the light's axis, darker.
    EXPECT_LT(sink.Pixel(-200, 0) & 0xFF, sink.Pixel(0, 0) & 0xFF);
}

} // namespace
