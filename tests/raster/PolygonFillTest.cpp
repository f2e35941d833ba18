#include "raster/PolygonFill.h"
#include "raster/RasterTestSupport.h"
#include "shading/Fills.h"
#include "shading/Interpolation.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A filler with the render pass's depth buffer.
struct Filler
{
    CPolygonFill fill;
    CDepthBuffer depth;

    void Gouraud(CPixelSink& sink, const std::vector<CScreenPointZ>& v)
    {
        const std::vector<CFillVertex> corners = Corners(v);
        FillGouraud(fill, corners.data(), static_cast<int>(corners.size()), depth, sink);
    }
};

TEST(PolygonFill, SquareTableHoldsOnlyTheVerticalEdges)
{
    CPolygonFillSteps fill;
    const std::vector<CFillVertex> v = Corners({Vertex(0, 0), Vertex(10, 0), Vertex(10, 10), Vertex(0, 10)});
    fill.SetVertices(v.data(), 4);
    fill.BuildBuckets();
    fill.BuildEdges();
    ASSERT_EQ(fill.BucketCount(), 11);
    EXPECT_EQ(fill.Bucket(0).m_nY, 0);
    EXPECT_EQ(fill.Bucket(10).m_nY, 10);
    ASSERT_EQ(fill.Bucket(0).m_edges.size(), 2u);
    for (int b = 1; b <= 10; ++b)
        EXPECT_TRUE(fill.Bucket(b).m_edges.empty());
    // In polygon order: the edge (10,0)-(10,10), then (0,10)-(0,0).
    const CEdge& right = fill.Bucket(0).m_edges[0];
    const CEdge& left = fill.Bucket(0).m_edges[1];
    EXPECT_EQ(right.m_dX, 10.0);
    EXPECT_EQ(right.m_dDx, 0.0);
    EXPECT_EQ(right.m_nYMax, 10);
    EXPECT_EQ(left.m_dX, 0.0);
    EXPECT_EQ(left.m_pStart->m_position.y, 10); // start is the first vertex in polygon order
    EXPECT_EQ(left.m_pEnd->m_position.y, 0);
}

TEST(PolygonFill, SquareCoversItsHalfOpenArea)
{
    Filler f;
    CPixelSink sink(40, 40);
    f.Gouraud(sink, {Vertex(0, 0), Vertex(10, 0), Vertex(10, 10), Vertex(0, 10)});
    EXPECT_EQ(CountLit(sink), 100);
    for (int k = 0; k <= 10; ++k) {
        EXPECT_EQ(sink.Pixel(10, k), 0u);
        EXPECT_EQ(sink.Pixel(k, 10), 0u);
    }
    EXPECT_NE(sink.Pixel(0, 0), 0u);
    EXPECT_NE(sink.Pixel(9, 9), 0u);
}

TEST(PolygonFill, ActiveEdgesSortByXThenSlope)
{
    CPolygonFillSteps fill;
    CEdge a, b, c, d;
    a.m_dX = 0.0;
    a.m_dDx = 1.0;
    b.m_dX = 0.0;
    b.m_dDx = -1.0;
    c.m_dX = -3.0;
    c.m_dDx = 5.0;
    d.m_dX = 0.0;
    d.m_dDx = 1.0;
    d.m_nYMax = 99; // equal to a in both keys: keeps its place after a
    for (const CEdge* e : {&a, &b, &c, &d})
        fill.AddActiveEdge(*e);
    fill.SortActiveEdges();
    const auto& active = fill.ActiveEdges();
    ASSERT_EQ(active.size(), 4u);
    EXPECT_EQ(active[0].m_dX, -3.0);
    EXPECT_EQ(active[1].m_dDx, -1.0);
    EXPECT_EQ(active[2].m_nYMax, 0);
    EXPECT_EQ(active[3].m_nYMax, 99);
}

TEST(PolygonFill, TriangleApexDrawsNothingAndNegativeSamplesRoundTowardZero)
{
    Filler f;
    CPixelSink sink(40, 40);
    // The right-hand edge is red, the left blue: the later sample on a column wins.
    f.Gouraud(sink, {Vertex(0, 0, 0, CColor(1, 0, 0)), Vertex(4, 4, 0, CColor(1, 0, 0)),
                     Vertex(-4, 4, 0, CColor(0, 0, 1))});
    EXPECT_EQ(sink.Pixel(0, 0), 0u); // xL = xR on the apex scanline
    // Scanline 1: samples x -1.0 and 0.0, both in column 0; -1 rounds to column 0.
    EXPECT_EQ(sink.Pixel(-1, 1), 0u);
    EXPECT_NE(sink.Pixel(0, 1), 0u);
    EXPECT_EQ(sink.Pixel(1, 1), 0u);
    // Scanline 2 samples -2, -1, 0, 1: columns -1 (from -1.5), 0, 0, 1.
    EXPECT_NE(sink.Pixel(-1, 2), 0u);
    EXPECT_EQ(sink.Pixel(-2, 2), 0u);
    EXPECT_NE(sink.Pixel(1, 2), 0u);
    EXPECT_EQ(sink.Pixel(2, 2), 0u);
}

TEST(PolygonFill, SlantedEdgeAdvancesByItsSlope)
{
    CPolygonFillSteps table;
    const std::vector<CScreenPointZ> v = {Vertex(-5, 0), Vertex(0.5, 0), Vertex(3.5, 3), Vertex(-5, 3)};
    const std::vector<CFillVertex> corners = Corners(v);
    table.SetVertices(corners.data(), 4);
    table.BuildBuckets();
    table.BuildEdges();
    ASSERT_EQ(table.Bucket(0).m_edges.size(), 2u);
    const CEdge& slanted = table.Bucket(0).m_edges[0];
    EXPECT_EQ(slanted.m_dX, 0.5);
    EXPECT_EQ(slanted.m_dDx, 1.0);
    EXPECT_EQ(slanted.m_nYMax, 3);

    Filler f;
    CPixelSink sink(40, 40);
    f.Gouraud(sink, v);
    // x of the slanted edge is 0.5, 1.5, 2.5: the last sample is 0, 1, 2.
    for (int y = 0; y < 3; ++y) {
        EXPECT_NE(sink.Pixel(y, y), 0u) << y;
        EXPECT_EQ(sink.Pixel(y + 1, y), 0u) << y;
    }
    for (int x = -10; x < 10; ++x)
        EXPECT_EQ(sink.Pixel(x, 3), 0u) << x; // the top scanline is never drawn
}

TEST(PolygonFill, SpanSamplesStartAtTheLeftEdge)
{
    Filler f;
    CPixelSink sink(60, 10);
    f.Gouraud(sink, {Vertex(10.6, 0), Vertex(12.2, 0), Vertex(12.2, 1), Vertex(10.6, 1)});
    EXPECT_EQ(sink.Pixel(10, 0), 0u);
    EXPECT_NE(sink.Pixel(11, 0), 0u);
    EXPECT_NE(sink.Pixel(12, 0), 0u);
    EXPECT_EQ(CountLit(sink), 2);

    CPixelSink whole(60, 10);
    f.Gouraud(whole, {Vertex(10, 0), Vertex(13, 0), Vertex(13, 1), Vertex(10, 1)});
    EXPECT_NE(whole.Pixel(10, 0), 0u);
    EXPECT_NE(whole.Pixel(12, 0), 0u);
    EXPECT_EQ(CountLit(whole), 3);
}

TEST(PolygonFill, FlatFacetsAndDegenerateDepthPlanesDrawNothing)
{
    Filler f;
    CPixelSink sink(40, 40);
    f.Gouraud(sink, {Vertex(0, 5), Vertex(10, 5), Vertex(4, 5), Vertex(-3, 5)});
    EXPECT_EQ(CountLit(sink), 0);

    // First three corners on one screen line, the fourth off it: no depth plane.
    f.Gouraud(sink, {Vertex(0, 0, 1), Vertex(5, 5, 2), Vertex(10, 10, 3), Vertex(0, 10, 4)});
    EXPECT_EQ(CountLit(sink), 0);
    // The depth buffer is untouched: an ordinary facet still draws there.
    f.Gouraud(sink, {Vertex(0, 0, -999), Vertex(10, 0, -999), Vertex(10, 10, -999), Vertex(0, 10, -999)});
    EXPECT_EQ(CountLit(sink), 100);
}

TEST(PolygonFill, DepthTiesPassAndNearerFacetsHideFartherOnes)
{
    Filler f;
    CPixelSink sink(40, 40);
    const CColor red(1, 0, 0), blue(0, 0, 1), green(0, 1, 0);
    auto square = [](double z, const CColor& c) {
        return std::vector<CScreenPointZ>{Vertex(0, 0, z, c), Vertex(4, 0, z, c), Vertex(4, 4, z, c),
                                          Vertex(0, 4, z, c)};
    };
    f.Gouraud(sink, square(5.0, red));
    f.Gouraud(sink, square(5.0, blue)); // equal depth: the later one wins
    EXPECT_EQ(sink.Pixel(0, 0), 0xFF0000u);
    f.Gouraud(sink, square(4.0, green)); // farther: hidden
    EXPECT_EQ(sink.Pixel(0, 2), 0xFF0000u);
    f.Gouraud(sink, square(6.0, green)); // nearer
    EXPECT_EQ(sink.Pixel(0, 2), 0x00FF00u);
}

TEST(PolygonFill, PixelsOutsideTheDepthBufferAreSkipped)
{
    Filler f;
    CPixelSink sink(1200, 1200); // larger than the 1000 x 1000 depth buffer
    f.Gouraud(sink, {Vertex(495, -2), Vertex(505, -2), Vertex(505, 0), Vertex(495, 0)});
    EXPECT_NE(sink.Pixel(499, -1), 0u);
    EXPECT_EQ(sink.Pixel(500, -1), 0u);
    EXPECT_EQ(CountLit(sink), 10);

    // Far outside in every direction: nothing drawn, nothing touched.
    f.Gouraud(sink, {Vertex(-5000, -5000), Vertex(5000, -5000), Vertex(5000, -4000), Vertex(-5000, -4000)});
    f.Gouraud(sink, {Vertex(-5000, 600), Vertex(5000, 600), Vertex(5000, 700), Vertex(-5000, 700)});
    EXPECT_EQ(CountLit(sink), 10);
}

TEST(PolygonFill, ColoursAreNotClampedWhenPlotted)
{
    Filler f;
    CPixelSink sink(40, 40);
    const CColor hot(1.2, 0.999, 1.0);
    f.Gouraud(sink, {Vertex(0, 0, 0, hot), Vertex(4, 0, 0, hot), Vertex(4, 4, 0, hot), Vertex(0, 4, 0, hot)});
    // The first sample of the first scanline has exactly the corner colour.
    EXPECT_EQ(sink.Pixel(0, 0), 0xFFFE32u); // 306 & 0xFF = 50, 254, 255
}

TEST(PolygonFill, InterpolationsAreLinearAndExtrapolate)
{
    const CColor mid = InterpolateColor(5, 0, 10, CColor(1, 0, 0), CColor(0, 0, 1));
    const CColor mid2 = InterpolateColor(5, 10, 0, CColor(0, 0, 1), CColor(1, 0, 0));
    EXPECT_EQ(mid.r, 0.5);
    EXPECT_EQ(mid.b, 0.5);
    EXPECT_EQ(mid2.r, 0.5);
    EXPECT_EQ(mid2.b, 0.5);
    EXPECT_EQ(mid.g, 0.0);

    const CVec3 n = InterpolateNormal(5, 0, 10, CVec3(0, 0, 1), CVec3(0, 0, 3));
    EXPECT_EQ(n.z, 2.0);
    EXPECT_EQ(n.x, 0.0);
    // Differences below 1e-06 divide by 1.0, as vector division does.
    const CVec3 tiny = InterpolateNormal(0.0, 0.0, 5e-07, CVec3(0, 0, 1), CVec3(0, 0, 3));
    EXPECT_EQ(tiny.z, -5e-07);

    const CPoint2D t = InterpolateTexCoord(4, 0, 10, CPoint2D(0, 0), CPoint2D(100, 50));
    EXPECT_DOUBLE_EQ(t.x, 40.0);
    EXPECT_DOUBLE_EQ(t.y, 20.0);
    EXPECT_EQ(t.w, 1.0);
    EXPECT_EQ(t.colour.r, 1.0);
    const CPoint2D beyond = InterpolateTexCoord(12, 0, 10, CPoint2D(0, 0), CPoint2D(100, 50));
    EXPECT_DOUBLE_EQ(beyond.x, 120.0);
    EXPECT_DOUBLE_EQ(beyond.y, 60.0);
}

} // namespace
