#include "scene/ViewTransform.h"

#include "scene/Angles.h"

#include <cmath>

void CViewTransform::Identity()
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            m_matrix[r][c] = r == c ? 1.0 : 0.0;
}

void CViewTransform::RotateX(double degrees, std::span<CPoint3D> points)
{
    SetRotationX(degrees);
    Apply(points);
}

void CViewTransform::RotateY(double degrees, std::span<CPoint3D> points)
{
    SetRotationY(degrees);
    Apply(points);
}

void CViewTransform::SetRotationX(double degrees)
{
    Identity();
    const double a = degrees * kRadiansPerDegreeFromPi3_14159;
    m_matrix[1][1] = std::cos(a);
    m_matrix[1][2] = std::sin(a);
    m_matrix[2][1] = -std::sin(a);
    m_matrix[2][2] = std::cos(a);
}

void CViewTransform::SetRotationY(double degrees)
{
    Identity();
    const double a = degrees * kRadiansPerDegreeFromPi3_14159;
    m_matrix[0][0] = std::cos(a);
    m_matrix[0][2] = -std::sin(a);
    m_matrix[2][0] = std::sin(a);
    m_matrix[2][2] = std::cos(a);
}

void CViewTransform::Apply(std::span<CPoint3D> points) const
{
    const auto& m = m_matrix;
    for (CPoint3D& p : points) {
        const double x = p.x, y = p.y, z = p.z, w = p.w;
        // All four terms of every sum are kept, zeros included, so that the signs
        // of zero results come out as the full product gives them.
        p.x = x * m[0][0] + y * m[1][0] + z * m[2][0] + w * m[3][0];
        p.y = x * m[0][1] + y * m[1][1] + z * m[2][1] + w * m[3][1];
        p.z = x * m[0][2] + y * m[1][2] + z * m[2][2] + w * m[3][2];
        p.w = x * m[0][3] + y * m[1][3] + z * m[2][3] + w * m[3][3];
    }
}
