#include "raster/LineRasterizer.h"

#include <cmath>
#include <utility>

namespace {
// A coordinate becomes a pixel index by adding 0.5 and truncating toward zero.
inline int Px(double v)
{
    return static_cast<int>(v + 0.5);
}
} // namespace

// Pixel at (x, y) in colour c moved toward the background by the share e.
template <class Sink> void CLineRasterizer::Plot(Sink& sink, int x, int y, const CColor& c, double e)
{
    sink.SetPixel(x, y, (c + e * (m_background - c)).ToColorRef());
}

// The walk of a sloped line from p0 to p1: the major coordinate goes from p0's to
// p1's by majorStep while it has not passed p1's. Each step: the colour, the pixel
// at the minor coordinate with share e of background, the pixel secondMinor(minor)
// with share 1 - e, then the error step and at most one minor step.
template <class Sink, class SecondMinor>
void CLineRasterizer::Walk(Sink& sink, const CPoint2D& p0, const CPoint2D& p1, bool majorIsY,
                           double majorStep, double step, double minorStep, SecondMinor secondMinor)
{
    const double m0 = majorIsY ? p0.y : p0.x;
    const double m1 = majorIsY ? p1.y : p1.x;
    double minor = majorIsY ? p0.x : p0.y;
    double e = step;
    for (double m = m0; majorStep > 0.0 ? m < m1 : m > m1; m += majorStep) {
        const CColor c = InterpolateColor(m, m0, m1, p0.colour, p1.colour);
        const int first = Px(minor);
        const int second = secondMinor(minor);
        if (majorIsY) {
            Plot(sink, first, Px(m), c, e);
            Plot(sink, second, Px(m), c, 1.0 - e);
        } else {
            Plot(sink, Px(m), first, c, e);
            Plot(sink, Px(m), second, c, 1.0 - e);
        }
        e += step;
        if (e >= 1.0) {
            minor += minorStep;
            e -= 1.0;
        }
    }
}

void CLineRasterizer::LineTo(CPixelSink& sink, const CPoint2D& p)
{
    Draw(sink, p);
}

void CLineRasterizer::LineTo(CTaggedSink& sink, const CPoint2D& p)
{
    Draw(sink, p);
}

template <class Sink> void CLineRasterizer::Draw(Sink& sink, const CPoint2D& p)
{
    m_endPoint = p;
    CPoint2D p0 = m_startPoint;
    CPoint2D p1 = m_endPoint;
    m_startPoint = p;

    if (std::fabs(p0.x - p1.x) == 0.0) {
        // Vertical: one unblended pixel per scanline, from the lower end up.
        if (p0.y > p1.y)
            std::swap(p0, p1);
        for (double y = p0.y; y < p1.y; y += 1.0)
            sink.SetPixel(Px(p0.x), Px(y),
                          InterpolateColor(y, p0.y, p1.y, p0.colour, p1.colour).ToColorRef());
        return;
    }

    const auto above = [](double minor) { return static_cast<int>(minor + 1.5); };
    const double k = (p1.y - p0.y) / (p1.x - p0.x);
    if (k > 1.0) { // steep, rising: up the scanlines, x to the right
        if (p0.y > p1.y)
            std::swap(p0, p1);
        Walk(sink, p0, p1, true, 1.0, 1.0 / k, 1.0, above);
    } else if (k >= 0.0) { // shallow, rising: along x, y up
        if (p0.x > p1.x)
            std::swap(p0, p1);
        Walk(sink, p0, p1, false, 1.0, k, 1.0, above);
    } else if (k < -1.0) { // steep, falling: down the scanlines, x to the right
        if (p0.y < p1.y)
            std::swap(p0, p1);
        Walk(sink, p0, p1, true, -1.0, -1.0 / k, 1.0, above);
    } else if (k < 0.0) { // shallow, falling: along x, y down
        if (p0.x > p1.x)
            std::swap(p0, p1);
        Walk(sink, p0, p1, false, 1.0, -k, -1.0, [](double minor) { return Px(minor - 1.0); });
    }
}

namespace {
template <class Sink> void DrawEdgeInto(Sink& sink, const CScreenPointZ& a, const CScreenPointZ& b)
{
    CLineRasterizer line;
    line.MoveTo(a.x, static_cast<double>(a.y), a.colour);
    line.LineTo(sink, CPoint2D(b.x, static_cast<double>(b.y), b.colour));
}
} // namespace

void DrawEdge(CPixelSink& sink, const CScreenPointZ& a, const CScreenPointZ& b)
{
    DrawEdgeInto(sink, a, b);
}

void DrawEdge(CTaggedSink& sink, const CScreenPointZ& a, const CScreenPointZ& b)
{
    DrawEdgeInto(sink, a, b);
}
