#pragma once

#include "geometry/Points.h"
#include "raster/PixelSink.h"
#include "raster/TaggedSink.h"

// Anti-aliased, colour-interpolated lines in the manner of Wu: one step along the
// major axis at a time, two pixels across the minor axis whose shares of the line
// colour follow a running error, blended toward the background.
class CLineRasterizer
{
public:
    void MoveTo(const CPoint2D& p) { m_startPoint = p; }
    void MoveTo(double x, double y, const CColor& c) { MoveTo(CPoint2D(x, y, c)); }
    // Draws from the current point to p, then makes p the current point.
    void LineTo(CPixelSink& sink, const CPoint2D& p);
    // The same line, each pixel's writer noted in the tagged sink's records.
    void LineTo(CTaggedSink& sink, const CPoint2D& p);

    CPoint2D m_startPoint;
    CPoint2D m_endPoint;
    CColor m_background{0.0, 0.0, 0.0};

private:
    template <class Sink> void Draw(Sink& sink, const CPoint2D& p);
    template <class Sink, class SecondMinor>
    void Walk(Sink& sink, const CPoint2D& p0, const CPoint2D& p1, bool majorIsY, double majorStep,
              double step, double minorStep, SecondMinor secondMinor);
    template <class Sink> void Plot(Sink& sink, int x, int y, const CColor& c, double e);
};

// Draws the edge between two projected points with a fresh rasterizer; depth is ignored.
void DrawEdge(CPixelSink& sink, const CScreenPointZ& a, const CScreenPointZ& b);
void DrawEdge(CTaggedSink& sink, const CScreenPointZ& a, const CScreenPointZ& b);
