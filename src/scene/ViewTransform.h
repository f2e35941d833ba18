#pragma once

#include "geometry/Points.h"

#include <span>

// A 4 x 4 row-major matrix that rotates points in place. The matrix is reset by
// every rotation; the points accumulate the rotations.
class CViewTransform
{
public:
    // Sets the rotation and applies it to the points.
    void RotateX(double degrees, std::span<CPoint3D> points);
    void RotateY(double degrees, std::span<CPoint3D> points);

    // The same in two steps, so that the points can be rotated a part at a time:
    // the matrices of right-handed rotations by whole or fractional degrees,
    void SetRotationX(double degrees);
    void SetRotationY(double degrees);
    // and every point replaced by the row-vector product (x, y, z, w) * M.
    void Apply(std::span<CPoint3D> points) const;

    double m_matrix[4][4] = {};

private:
    void Identity();
};
