#pragma once

#include "geometry/Vec3.h"

// Linear interpolation of the per-pixel attributes, a0 at t0 and a1 at t1. Each
// keeps its own order of operations and the divisor guard of its type's
// division: frames depend on the last bit.
inline CVec3 InterpolateNormal(double t, double t0, double t1, const CVec3& a0, const CVec3& a1)
{
    return (a0 * (t - t1)) / (t0 - t1) + (a1 * (t - t0)) / (t1 - t0);
}

inline CPoint2D InterpolateTexCoord(double t, double t0, double t1, const CPoint2D& c0, const CPoint2D& c1)
{
    const CPoint2D b = (c1 * (t - t0)) / (t1 - t0);
    const CPoint2D a = (c0 * (t - t1)) / (t0 - t1);
    return a + b;
}
