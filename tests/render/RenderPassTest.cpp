#include "render/RendererTestSupport.h"
#include "raster/RasterTestSupport.h"
#include "scene/TorusMesh.h"

#include <gtest/gtest.h>

namespace {

CPixelSink Render(SRendererUnderTest& view, int w = 200, int h = 200)
{
    CPixelSink sink(w, h);
    view.Draw(sink);
    return sink;
}

// A small checker texture, enough to tell that texture mode draws.
void LoadChecker(SRendererUnderTest& view)
{
    std::vector<std::uint8_t> texels(800 * 320 * 4, 0);
    for (int v = 0; v < 320; ++v)
        for (int u = 0; u < 800; ++u)
            if (((u / 40) + (v / 40)) % 2 == 0)
                for (int b = 0; b < 3; ++b)
                    texels[static_cast<std::size_t>(4 * (v * 800 + u) + b)] = 200;
    view.texture = std::make_shared<const CTexture>(800, 320, std::move(texels));
}

// Seen along its axis, a 6 x 6 torus turns three of its six section rows to the
// eye: the two upper ones and the one facing the axis. The outer and the two
// lower rows face away and are not drawn, in any mode.
TEST(RenderPass, BackFacesAreCulledAgainstTheEye)
{
    SRendererUnderTest view;
    view.settings.m_nSurfaceSteps = 6;
    view.settings.m_nSectionSteps = 6;
    for (double angle : {90.0, -90.0}) {
        view.angleX = angle;
        Render(view);
        EXPECT_EQ(view.renderer.FacetsDrawn(), 18) << angle;
    }
    // From the side the near outer half and the far inner half face the eye.
    view.angleX = 0.0;
    Render(view);
    EXPECT_GT(view.renderer.FacetsDrawn(), 12);
    EXPECT_LT(view.renderer.FacetsDrawn(), 24);
}

TEST(RenderPass, EveryModeDrawsTheTorusAndOnlyTheTorus)
{
    for (int mode : {kModeWireframe, kModeSurface, kModeTexture}) {
        for (int shading : {kShadingGouraud, kShadingPhong}) {
            if (mode == kModeTexture && shading == kShadingGouraud)
                continue;
            SRendererUnderTest view;
            LoadChecker(view);
            view.settings.m_nMode = mode;
            view.settings.m_nShading = shading;
            view.angleX = 90.0; // seen from above: a ring around a hole
            const CPixelSink sink = Render(view, 520, 600);
            // The ring (radius 200, tube 80, seen from 1000 with the plane at 800) lies
            // within about 250 pixels of the centre.
            EXPECT_GT(CountLit(sink), 10000) << mode << shading;
            EXPECT_EQ(sink.Pixel(0, 0), 0u) << mode << shading;
            EXPECT_EQ(sink.Pixel(-259, 299), 0u) << mode << shading;
            EXPECT_NE(sink.Pixel(0, 200), 0u) << mode << shading; // the ring above the hole
        }
    }
}

TEST(RenderPass, CombinationsThatDrawNothingLeaveABlackFrame)
{
    SRendererUnderTest view;
    LoadChecker(view);
    view.settings.m_nMode = kModeTexture;
    view.settings.m_nLight = kLightOn;
    view.settings.m_nShading = kShadingGouraud;
    EXPECT_EQ(CountLit(Render(view)), 0);

    view.settings.m_nMode = 7;
    EXPECT_EQ(CountLit(Render(view)), 0);
    view.settings.m_nMode = kModeSurface;
    view.settings.m_nShading = 5;
    EXPECT_EQ(CountLit(Render(view)), 0);

    // Texture mode without an image draws nothing either.
    SRendererUnderTest bare;
    bare.settings.m_nMode = kModeTexture;
    bare.settings.m_nShading = kShadingPhong;
    EXPECT_EQ(CountLit(Render(bare)), 0);
    bare.settings.m_nLight = kLightOff;
    EXPECT_EQ(CountLit(Render(bare)), 0);
}

TEST(RenderPass, RepeatedFramesAreIdentical)
{
    SRendererUnderTest view;
    view.settings.m_nMode = kModeSurface;
    view.settings.m_nShading = kShadingPhong;
    view.angleX = 35.0;
    const CPixelSink first = Render(view);
    const CPixelSink second = Render(view);
    EXPECT_EQ(first.Pixels(), second.Pixels());
}

TEST(RenderPass, LightOffMakesEveryVertexWhite)
{
    SRendererUnderTest view;
    view.settings.m_nMode = kModeSurface;
    view.settings.m_nLight = kLightOff;
    const CPixelSink sink = Render(view);
    int white = 0, other = 0;
    for (std::uint32_t p : sink.Pixels()) {
        const std::uint32_t c = p & 0xFFFFFFu;
        if (c == 0)
            continue;
        // Interpolating white with white may give 254 where the weights do not sum to 1.
        const bool nearlyWhite = (c & 0xFF) >= 254 && ((c >> 8) & 0xFF) >= 254 && (c >> 16) >= 254;
        (nearlyWhite ? white : other)++;
    }
    EXPECT_GT(white, 1000);
    EXPECT_EQ(other, 0);
}

TEST(RenderPass, EmptyAndOversizedImagesAreSafe)
{
    SRendererUnderTest view;
    LoadChecker(view);
    for (int mode : {kModeWireframe, kModeSurface, kModeTexture}) {
        view.settings.m_nMode = mode;
        view.settings.m_nShading = kShadingPhong;
        EXPECT_TRUE(Render(view, 0, 0).Pixels().empty());
        EXPECT_TRUE(Render(view, 0, 300).Pixels().empty());
        EXPECT_TRUE(Render(view, 300, 0).Pixels().empty());
        EXPECT_GT(CountLit(Render(view, 1600, 1200)), 0);
    }
}

TEST(RenderPass, LargestTorusStaysInsideTheDepthBuffer)
{
    SRendererUnderTest view;
    view.settings.m_nRingRadius = 300;
    view.settings.m_nSectionRadius = 120;
    view.settings.m_nSurfaceSteps = 36;
    view.settings.m_nSectionSteps = 36;
    view.settings.m_nMode = kModeSurface;
    for (double angle : {0.0, 45.0, 90.0}) {
        view.angleX = angle;
        const CPixelSink sink = Render(view, 1000, 1000);
        // Nothing is drawn beyond 371 pixels from the centre.
        for (int y = -500; y < 500; ++y)
            for (int x = -500; x < 500; ++x) {
                if (x * x + y * y > 372 * 372) {
                    ASSERT_EQ(sink.Pixel(x, y), 0u) << x << "," << y;
                }
            }
    }
}

} // namespace
