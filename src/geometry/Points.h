#pragma once

#include "geometry/Color.h"

#include <cmath>

// Model-space point with a homogeneous weight and a colour. Used on its own as
// a pair of coordinates (texture coordinates, line end points).
class CPoint2D
{
public:
    double x = 0.0;
    double y = 0.0;
    double w = 1.0; // homogeneous weight, read only by the viewing transform
    CColor colour;  // white by default

    constexpr CPoint2D() = default;
    constexpr CPoint2D(double px, double py) : x(px), y(py) {}
    constexpr CPoint2D(double px, double py, const CColor& c) : x(px), y(py), colour(c) {}
};

// Every result is built from (x, y) alone: w 1.0 and white, whatever the operands carry.
inline CPoint2D operator+(const CPoint2D& a, const CPoint2D& b)
{
    return {a.x + b.x, a.y + b.y};
}
inline CPoint2D operator*(const CPoint2D& p, double s)
{
    return {s * p.x, s * p.y};
}
// A divisor below 1e-06 in absolute value is taken as 1.0.
inline CPoint2D operator/(const CPoint2D& p, double s)
{
    if (std::fabs(s) < 1e-06)
        s = 1.0;
    return {p.x / s, p.y / s};
}

// Model-space position (x, y, z, w) with a colour.
class CPoint3D : public CPoint2D
{
public:
    double z = 0.0;

    constexpr CPoint3D() = default;
    constexpr CPoint3D(double px, double py, double pz) : CPoint2D(px, py), z(pz) {}
};

// Projected point: fractional column, integer scanline, colour.
class CScreenPoint
{
public:
    double x = 0.0;
    int y = 0;
    CColor colour;
};

// Projected point with its depth; larger depth is nearer the eye.
class CScreenPointZ : public CScreenPoint
{
public:
    double z = 0.0;
};
