#pragma once

#include "geometry/Points.h"

#include <span>

// A 4 x 4 row-major matrix that rotates points in place: an attached array, or
// any span given to Apply. The matrix is reset by every rotation; the points
// accumulate the rotations.
class CViewTransform
{
public:
    // Attaches the array to rotate; the transform does not own it.
    void SetPoints(CPoint3D* points, int count);
    void Identity();
    // The matrices of right-handed rotations by whole or fractional degrees.
    void SetRotationX(double degrees);
    void SetRotationY(double degrees);
    // Sets the rotation and applies it to the attached points.
    void RotateX(double degrees);
    void RotateY(double degrees);
    // Replaces every point by the row-vector product (x, y, z, w) * M.
    void Apply(std::span<CPoint3D> points) const;
    void Apply() { Apply(std::span<CPoint3D>(m_points, static_cast<std::size_t>(m_count))); }

    double m_matrix[4][4] = {};

private:
    CPoint3D* m_points = nullptr;
    int m_count = 0;
};
