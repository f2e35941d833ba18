#include "raster/LineRasterizer.h"
#include "raster/RasterTestSupport.h"

#include <gtest/gtest.h>

namespace {

const CColor kWhite(1, 1, 1);
const CColor kRed(1, 0, 0);
const CColor kBlue(0, 0, 1);

std::uint32_t Grey(int level) { return static_cast<std::uint32_t>(level) * 0x010101u; }

void Line(CPixelSink& sink, double x0, double y0, const CColor& c0, double x1, double y1,
          const CColor& c1)
{
    CLineRasterizer line;
    line.MoveTo(x0, y0, c0);
    line.LineTo(sink, CPoint2D(x1, y1, c1));
}

TEST(LineRasterizer, ZeroLengthLineDrawsNothing)
{
    CPixelSink sink(20, 20);
    Line(sink, 0, 0, kWhite, 0, 0, kWhite);
    EXPECT_EQ(CountLit(sink), 0);
}

TEST(LineRasterizer, VerticalLineRunsUpFromTheLowerEndWithoutBlending)
{
    CPixelSink sink(20, 20);
    Line(sink, 3, 5, kRed, 3, 1, kBlue);
    EXPECT_EQ(sink.Pixel(3, 1), 0xFF0000u); // blue at the lower end
    EXPECT_EQ(sink.Pixel(3, 2), 0xBF003Fu); // 0.75 blue, 0.25 red
    EXPECT_EQ(sink.Pixel(3, 3), 0x7F007Fu);
    EXPECT_EQ(sink.Pixel(3, 4), 0x3F00BFu);
    EXPECT_EQ(sink.Pixel(3, 5), 0u); // the upper end itself is not drawn
    EXPECT_EQ(CountLit(sink), 4);
}

TEST(LineRasterizer, HorizontalLinePaintsTheRowAboveInBackground)
{
    CPixelSink sink(20, 20);
    Line(sink, 0, 0, kWhite, 4, 0, kWhite);
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(sink.Pixel(x, 0), Grey(255)) << x;
        EXPECT_EQ(sink.Pixel(x, 1), 0u) << x;
    }
    EXPECT_EQ(CountLit(sink), 4);
}

TEST(LineRasterizer, ShallowLineSplitsTheColourByTheError)
{
    CPixelSink sink(20, 20);
    Line(sink, 0, 0, kWhite, 4, 1, kWhite);
    EXPECT_EQ(sink.Pixel(0, 0), Grey(191));
    EXPECT_EQ(sink.Pixel(0, 1), Grey(63));
    EXPECT_EQ(sink.Pixel(1, 0), Grey(127));
    EXPECT_EQ(sink.Pixel(1, 1), Grey(127));
    EXPECT_EQ(sink.Pixel(2, 0), Grey(63));
    EXPECT_EQ(sink.Pixel(2, 1), Grey(191));
    EXPECT_EQ(sink.Pixel(3, 1), Grey(255));
    EXPECT_EQ(sink.Pixel(3, 2), 0u);
    EXPECT_EQ(CountLit(sink), 7);

    // Drawn from the other end the points are exchanged: the same pixels.
    CPixelSink reversed(20, 20);
    Line(reversed, 4, 1, kWhite, 0, 0, kWhite);
    EXPECT_EQ(reversed.Pixels(), sink.Pixels());
}

TEST(LineRasterizer, SlopeOnePutsTheFullColourOnPixelB)
{
    CPixelSink sink(20, 20);
    Line(sink, 0, 0, kWhite, 3, 3, kWhite);
    EXPECT_EQ(sink.Pixel(0, 1), Grey(255));
    EXPECT_EQ(sink.Pixel(1, 2), Grey(255));
    EXPECT_EQ(sink.Pixel(2, 3), Grey(255));
    EXPECT_EQ(CountLit(sink), 3);

    // Slope -1 is the shallow falling case: pixel B one row below. Below the zero
    // row, y - 1 + 0.5 truncates toward zero, so B of the first step lands on A
    // itself, (0, 0), and wins, being written last.
    CPixelSink falling(20, 20);
    Line(falling, 0, 0, kWhite, 3, -3, kWhite);
    EXPECT_EQ(falling.Pixel(0, 0), Grey(255));
    EXPECT_EQ(falling.Pixel(1, -1), Grey(255));
    EXPECT_EQ(falling.Pixel(2, -2), Grey(255));
    EXPECT_EQ(CountLit(falling), 3);
}

TEST(LineRasterizer, SteepLinesStepAlongY)
{
    // Rising, k = 4: e = 0.25, 0.5, 0.75, then x moves.
    CPixelSink rising(20, 20);
    Line(rising, 0, 0, kWhite, 1, 4, kWhite);
    EXPECT_EQ(rising.Pixel(0, 0), Grey(191));
    EXPECT_EQ(rising.Pixel(1, 0), Grey(63));
    EXPECT_EQ(rising.Pixel(0, 2), Grey(63));
    EXPECT_EQ(rising.Pixel(1, 2), Grey(191));
    EXPECT_EQ(rising.Pixel(1, 3), Grey(255));
    EXPECT_EQ(rising.Pixel(2, 3), 0u);

    // Falling, k = -4: walks down from the upper end, x growing. Rows -1 and 0 both
    // round to row 0 (truncation toward zero), so the second step overwrites the first.
    CPixelSink falling(20, 20);
    Line(falling, 0, 0, kWhite, 1, -4, kWhite);
    EXPECT_EQ(falling.Pixel(0, 0), Grey(127));
    EXPECT_EQ(falling.Pixel(1, 0), Grey(127));
    EXPECT_EQ(falling.Pixel(0, -1), Grey(63));
    EXPECT_EQ(falling.Pixel(1, -1), Grey(191));
    EXPECT_EQ(falling.Pixel(1, -2), Grey(255));
    EXPECT_EQ(CountLit(falling), 5);
}

TEST(LineRasterizer, ColourRunsAlongTheMajorAxis)
{
    CPixelSink sink(40, 20);
    Line(sink, 0, 0, kRed, 10, 0, kBlue);
    EXPECT_EQ(sink.Pixel(0, 0), 0x0000FFu);
    EXPECT_EQ(sink.Pixel(5, 0), 0x7F007Fu);
    EXPECT_EQ(sink.Pixel(9, 0), 0xE50019u); // 0.9 blue, 0.1 red
}

TEST(LineRasterizer, LineToLeavesThePointPassedAsCurrent)
{
    CPixelSink sink(20, 20);
    CLineRasterizer line;
    line.MoveTo(4, 4, kRed);
    line.LineTo(sink, CPoint2D(0, 0, kBlue)); // exchanged while drawing
    EXPECT_EQ(line.m_startPoint.x, 0.0);
    EXPECT_EQ(line.m_startPoint.y, 0.0);
    EXPECT_EQ(line.m_startPoint.colour.b, 1.0);
    EXPECT_EQ(line.m_startPoint.colour.r, 0.0);
}

TEST(LineRasterizer, PixelsOutsideTheImageAreIgnored)
{
    CPixelSink sink(10, 10);
    Line(sink, -100, -3, kWhite, 100, 2, kWhite);
    Line(sink, 2, -50, kWhite, 2, 50, kWhite);
    EXPECT_GT(CountLit(sink), 0);

    CPixelSink empty(0, 7);
    Line(empty, -5, -5, kWhite, 5, 5, kWhite);
    EXPECT_TRUE(empty.Pixels().empty());
}

TEST(PixelSink, LogicalOriginIsTheCentreWithYUp)
{
    CPixelSink sink(401, 300);
    sink.SetPixel(0, 0, 0x0000FFu);
    sink.SetPixel(-200, 150, 0x00FF00u);
    sink.SetPixel(200, -149, 0xFF0000u);
    EXPECT_EQ(sink.DevicePixel(200, 150), 0x0000FFu);
    EXPECT_EQ(sink.DevicePixel(0, 0), 0x00FF00u);
    EXPECT_EQ(sink.DevicePixel(400, 299), 0xFF0000u);
    // Just outside on every side.
    sink.SetPixel(-201, 0, 0xFFFFFFu);
    sink.SetPixel(201, 0, 0xFFFFFFu);
    sink.SetPixel(0, 151, 0xFFFFFFu);
    sink.SetPixel(0, -150, 0xFFFFFFu);
    EXPECT_EQ(CountLit(sink), 3);
}

} // namespace
