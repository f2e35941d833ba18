#pragma once

#include "geometry/Points.h"
#include "raster/PixelSink.h"

// Anti-aliased, colour-interpolated lines in the manner of Wu: one step along the
// major axis at a time, two pixels across the minor axis whose shares of the line
// colour follow a running error, blended toward the background.
class CLineRasterizer
{
public:
    void MoveTo(CPixelSink& sink, const CPoint2D& p);
    void MoveTo(CPixelSink& sink, double x, double y, const CColor& c);
    // Draws from the current point to p, then makes p the current point.
    void LineTo(CPixelSink& sink, const CPoint2D& p);
    void LineTo(CPixelSink& sink, double x, double y, const CColor& c);

    // c0 at t0 and c1 at t1, linear between (t0 != t1).
    static CColor Interpolate(double t, double t0, double t1, const CColor& c0, const CColor& c1);

    CPoint2D m_startPoint;
    CPoint2D m_endPoint;
    CColor m_background{0.0, 0.0, 0.0};

private:
    void Plot(CPixelSink& sink, int x, int y, const CColor& c, double e);
};

// Draws the edge between two projected points with a fresh rasterizer; depth is ignored.
void DrawEdge(CPixelSink& sink, const CScreenPointZ& a, const CScreenPointZ& b);
