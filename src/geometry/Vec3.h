#pragma once

#include "geometry/Points.h"

#include <cmath>

// A direction, a normal or the difference of two positions.
class CVec3
{
public:
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;

    constexpr CVec3() = default;
    constexpr CVec3(double vx, double vy, double vz) : x(vx), y(vy), z(vz) {}
    // to - from; w and colour are ignored.
    constexpr CVec3(const CPoint3D& from, const CPoint3D& to)
        : x(to.x - from.x), y(to.y - from.y), z(to.z - from.z)
    {
    }
    // to - from; the scanline difference is formed in integers, then converted.
    constexpr CVec3(const CScreenPointZ& from, const CScreenPointZ& to)
        : x(to.x - from.x), y(static_cast<double>(to.y - from.y)), z(to.z - from.z)
    {
    }

    double Length() const { return std::sqrt(x * x + y * y + z * z); }

    // A length below 1e-05 counts as 1.0, so a (near-)zero vector comes back unchanged.
    CVec3 Normalized() const
    {
        double len = Length();
        if (std::fabs(len) < 1e-05)
            len = 1.0;
        return {x / len, y / len, z / len};
    }
};

inline CVec3 operator+(const CVec3& a, const CVec3& b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline CVec3 operator*(const CVec3& v, double s)
{
    return {s * v.x, s * v.y, s * v.z};
}
// A divisor below 1e-06 in absolute value is taken as 1.0.
inline CVec3 operator/(const CVec3& v, double s)
{
    if (std::fabs(s) < 1e-06)
        s = 1.0;
    return {v.x / s, v.y / s, v.z / s};
}
inline double Dot(const CVec3& a, const CVec3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline CVec3 Cross(const CVec3& a, const CVec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// Normal of a facet from its first three corners in facet order: (P1 - P0) x (P2 - P1),
// not normalised.
inline CVec3 FacetNormal(const CPoint3D& p0, const CPoint3D& p1, const CPoint3D& p2)
{
    return Cross(CVec3(p0, p1), CVec3(p1, p2));
}

#include <type_traits>

// Arrays of the value types are plain memory: copied and moved as bytes.
static_assert(std::is_trivially_copyable_v<CColor>);
static_assert(std::is_trivially_copyable_v<CVec3>);
static_assert(std::is_trivially_copyable_v<CPoint2D>);
static_assert(std::is_trivially_copyable_v<CPoint3D>);
static_assert(std::is_trivially_copyable_v<CScreenPoint>);
static_assert(std::is_trivially_copyable_v<CScreenPointZ>);
