#include "raster/LineRasterizer.h"

#include <cmath>
#include <utility>

namespace {
// A coordinate becomes a pixel index by adding 0.5 and truncating toward zero.
inline int Px(double v) { return static_cast<int>(v + 0.5); }
} // namespace

void CLineRasterizer::MoveTo(CPixelSink&, const CPoint2D& p) { m_startPoint = p; }

void CLineRasterizer::MoveTo(CPixelSink& sink, double x, double y, const CColor& c)
{
    MoveTo(sink, CPoint2D(x, y, c));
}

void CLineRasterizer::LineTo(CPixelSink& sink, double x, double y, const CColor& c)
{
    LineTo(sink, CPoint2D(x, y, c));
}

CColor CLineRasterizer::Interpolate(double t, double t0, double t1, const CColor& c0,
                                    const CColor& c1)
{
    return c0 * ((t - t1) / (t0 - t1)) + c1 * ((t - t0) / (t1 - t0));
}

// Pixel at (x, y) in colour c moved toward the background by the share e.
void CLineRasterizer::Plot(CPixelSink& sink, int x, int y, const CColor& c, double e)
{
    sink.SetPixel(x, y, (c + e * (m_background - c)).ToColorRef());
}

void CLineRasterizer::LineTo(CPixelSink& sink, const CPoint2D& p)
{
    m_endPoint = p;
    CPoint2D p0 = m_startPoint;
    CPoint2D p1 = m_endPoint;

    if (std::fabs(p0.x - p1.x) == 0.0) {
        // Vertical: one unblended pixel per scanline, from the lower end up.
        if (p0.y > p1.y)
            std::swap(p0, p1);
        for (double y = p0.y; y < p1.y; y += 1.0)
            sink.SetPixel(Px(p0.x), Px(y),
                          Interpolate(y, p0.y, p1.y, p0.colour, p1.colour).ToColorRef());
        m_startPoint = p;
        return;
    }

    const double k = (p1.y - p0.y) / (p1.x - p0.x);
    // Each step: colour, pixel A with share e of background, pixel B with share
    // 1 - e, then the error step and at most one minor step, then the major step.
    if (k > 1.0) {
        if (p0.y > p1.y)
            std::swap(p0, p1);
        const double step = 1.0 / k;
        double e = step;
        double x = p0.x;
        for (double y = p0.y; y < p1.y; y += 1.0) {
            const CColor c = Interpolate(y, p0.y, p1.y, p0.colour, p1.colour);
            Plot(sink, Px(x), Px(y), c, e);
            Plot(sink, static_cast<int>(x + 1.5), Px(y), c, 1.0 - e);
            e += step;
            if (e >= 1.0) {
                x += 1.0;
                e -= 1.0;
            }
        }
    } else if (k >= 0.0) {
        if (p0.x > p1.x)
            std::swap(p0, p1);
        double e = k;
        double y = p0.y;
        for (double x = p0.x; x < p1.x; x += 1.0) {
            const CColor c = Interpolate(x, p0.x, p1.x, p0.colour, p1.colour);
            Plot(sink, Px(x), Px(y), c, e);
            Plot(sink, Px(x), static_cast<int>(y + 1.5), c, 1.0 - e);
            e += k;
            if (e >= 1.0) {
                y += 1.0;
                e -= 1.0;
            }
        }
    } else if (k < -1.0) {
        if (p0.y < p1.y)
            std::swap(p0, p1);
        const double step = -1.0 / k;
        double e = step;
        double x = p0.x;
        for (double y = p0.y; y > p1.y; y -= 1.0) {
            const CColor c = Interpolate(y, p0.y, p1.y, p0.colour, p1.colour);
            Plot(sink, Px(x), Px(y), c, e);
            Plot(sink, static_cast<int>(x + 1.5), Px(y), c, 1.0 - e);
            e += step;
            if (e >= 1.0) {
                x += 1.0;
                e -= 1.0;
            }
        }
    } else if (k < 0.0) {
        if (p0.x > p1.x)
            std::swap(p0, p1);
        const double step = -k;
        double e = step;
        double y = p0.y;
        for (double x = p0.x; x < p1.x; x += 1.0) {
            const CColor c = Interpolate(x, p0.x, p1.x, p0.colour, p1.colour);
            Plot(sink, Px(x), Px(y), c, e);
            Plot(sink, Px(x), Px(y - 1.0), c, 1.0 - e);
            e += step;
            if (e >= 1.0) {
                y -= 1.0;
                e -= 1.0;
            }
        }
    }
    m_startPoint = p;
}

void DrawEdge(CPixelSink& sink, const CScreenPointZ& a, const CScreenPointZ& b)
{
    CLineRasterizer line;
    line.MoveTo(sink, a.x, static_cast<double>(a.y), a.colour);
    line.LineTo(sink, b.x, static_cast<double>(b.y), b.colour);
}
