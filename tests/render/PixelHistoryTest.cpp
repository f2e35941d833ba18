// A pixel's history and the depth picture, checked against the frame itself:
// the last sample that passed is the pixel's colour and the depth buffer's
// depth, every depth test was made against what the samples before it left,
// and a pixel that no sample passed is background.

#include "raster/DepthBuffer.h"
#include "render/DepthImage.h"
#include "render/TorusRenderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

struct SDrawingCase
{
    const char* name;
    int mode, light, shading;
};

const SDrawingCase kDrawings[] = {
    {"lines", kModeWireframe, kLightOn, kShadingGouraud},
    {"gouraud", kModeSurface, kLightOn, kShadingGouraud},
    {"phong", kModeSurface, kLightOn, kShadingPhong},
    {"texture", kModeTexture, kLightOff, kShadingPhong},
    {"lit texture", kModeTexture, kLightOn, kShadingPhong},
};

std::shared_ptr<const CTexture> StripedTexture()
{
    std::vector<std::uint8_t> texels(64u * 32u * 4u);
    for (std::size_t k = 0; k < texels.size(); ++k)
        texels[k] = static_cast<std::uint8_t>(k * 37 % 251);
    return std::make_shared<const CTexture>(64, 32, std::move(texels));
}

void Configure(CTorusRenderer& r, const SDrawingCase& c, int threads)
{
    CRenderSettings settings;
    settings.m_nMode = c.mode;
    settings.m_nLight = c.light;
    settings.m_nShading = c.shading;
    settings.m_nSurfaceSteps = 14;
    settings.m_nSectionSteps = 11;
    r.SetThreadCount(threads);
    // Turned so that the far side of the ring lies behind the near side.
    r.Setup(settings, 55.0, 20.0, StripedTexture());
}

// Pixels along a line across the torus, whole and partial frames, every
// drawing, one and three threads.
TEST(PixelHistory, EndsInThePixelsColourAndDepth)
{
    int failedSeen = 0, twiceSeen = 0;
    for (const SDrawingCase& c : kDrawings) {
        for (int threads : {1, 3}) {
            for (int facets : {CTorusRenderer::kAllFacets, 40}) {
                SCOPED_TRACE(std::string(c.name) + " threads=" + std::to_string(threads) +
                             " facets=" + std::to_string(facets));
                CTorusRenderer r;
                Configure(r, c, threads);
                r.SetFacetLimit(facets);
                CPixelSink plain(300, 260);
                r.RenderFrame(plain);
                // Column 0 takes two samples of every span that crosses it widely.
                std::vector<int> columns = {-1, 0, 1};
                for (int x = -147; x < 150; x += 10)
                    columns.push_back(x);
                for (int x : columns) {
                    const int y = x / 4 + 90;
                    r.SetHistoryPixel(x, y);
                    CPixelSink sink(300, 260);
                    r.RenderFrame(sink);
                    ASSERT_TRUE(sink.Pixels() == plain.Pixels()) << "the history changed the frame";
                    std::vector<SHistoryEntry> history;
                    ASSERT_TRUE(r.History(sink, x, y, history));
                    ASSERT_FALSE(r.History(sink, x + 1, y, history)) << "only the pixel asked for";
                    ASSERT_TRUE(r.History(sink, x, y, history));
                    SPixelFacts facts;
                    ASSERT_TRUE(r.Inspect(sink, x, y, facts));

                    const SHistoryEntry* last = nullptr; // the last write
                    double stored = CDepthBuffer::kFar;
                    int order = -1, previousOrder = -1;
                    for (const SHistoryEntry& e : history) {
                        EXPECT_GE(e.order, previousOrder) << "drawing order";
                        EXPECT_LT(e.order, std::min(facets, r.FacetsDrawn()));
                        twiceSeen += e.order == previousOrder && e.tested ? 1 : 0;
                        previousOrder = e.order;
                        EXPECT_EQ(e.tested, c.mode != kModeWireframe);
                        if (e.tested) {
                            EXPECT_EQ(e.testedAgainst, stored) << "tested against what was left before";
                            EXPECT_EQ(e.passed, !(e.depth < stored));
                            EXPECT_EQ(static_cast<int>(e.x + 0.5), x);
                            EXPECT_EQ(e.hasColour, e.passed);
                            failedSeen += e.passed ? 0 : 1;
                            if (!e.passed)
                                continue;
                            stored = e.depth;
                        }
                        ASSERT_TRUE(e.hasColour);
                        last = &e;
                        order = e.order;
                    }
                    if (last == nullptr) {
                        EXPECT_EQ(sink.Pixel(x, y), 0u) << "x=" << x;
                        EXPECT_FALSE(facts.drawn);
                        continue;
                    }
                    EXPECT_EQ(last->colour, sink.Pixel(x, y)) << "x=" << x;
                    ASSERT_TRUE(facts.drawn);
                    EXPECT_EQ(facts.i, r.DrawnFacet(order).i);
                    EXPECT_EQ(facts.j, r.DrawnFacet(order).j);
                    EXPECT_EQ(facts.hasDepth, last->tested);
                    if (last->tested) {
                        EXPECT_EQ(facts.depth, last->depth) << "the depth buffer's";
                    }
                }
                r.ClearHistoryPixel();
                CPixelSink after(300, 260);
                r.RenderFrame(after);
                std::vector<SHistoryEntry> history;
                EXPECT_FALSE(r.History(after, 0, 0, history));
                SPixelFacts facts;
                ASSERT_TRUE(r.Inspect(after, 0, 0, facts));
                EXPECT_FALSE(facts.recorded) << "the records' memory goes with the history";
            }
        }
    }
    // The row crosses the ring twice: samples hidden behind nearer ones, and
    // the columns that two samples of one span share left of the centre.
    EXPECT_GT(failedSeen, 10);
    EXPECT_GT(twiceSeen, 0);
}

// The depth picture tells the depth buffer as the inspector does, pixel by
// pixel, and its levels run from 1 at the least depth to 65535 at the greatest.
TEST(DepthImage, AgreesWithTheInspectorOnEveryPixel)
{
    for (const SDrawingCase& c : kDrawings) {
        for (int facets : {CTorusRenderer::kAllFacets, 25}) {
            SCOPED_TRACE(std::string(c.name) + " facets=" + std::to_string(facets));
            CTorusRenderer r;
            Configure(r, c, 2);
            r.SetFacetLimit(facets);
            CDepthImage image;
            CPixelSink sink(200, 150);
            r.RenderFrame(sink);
            EXPECT_FALSE(image.Take(r, sink)) << "a frame drawn without records";
            r.SetInspection(true);
            r.RenderFrame(sink);
            ASSERT_EQ(image.Take(r, sink), c.mode != kModeWireframe);
            if (c.mode == kModeWireframe)
                continue;
            ASSERT_TRUE(image.AnyDrawn());
            const CPixelMapping mapping = sink.Mapping();
            int least = 0, greatest = 0;
            for (int row = 0; row < sink.Height(); ++row) {
                for (int col = 0; col < sink.Width(); ++col) {
                    SPixelFacts facts;
                    ASSERT_TRUE(r.Inspect(sink, mapping.X(col), mapping.Y(row), facts));
                    ASSERT_EQ(image.Drawn(col, row), facts.hasDepth);
                    const std::uint16_t level = image.Level(col, row);
                    if (!facts.hasDepth) {
                        EXPECT_EQ(level, 0);
                        continue;
                    }
                    ASSERT_EQ(image.Depth(col, row), facts.depth);
                    EXPECT_GE(facts.depth, image.Least());
                    EXPECT_LE(facts.depth, image.Greatest());
                    EXPECT_GE(level, 1);
                    least += facts.depth == image.Least() && level == 1 ? 1 : 0;
                    greatest += facts.depth == image.Greatest() && level == 65535 ? 1 : 0;
                }
            }
            EXPECT_GT(least, 0);
            EXPECT_GT(greatest, 0);
        }
    }
}

} // namespace
