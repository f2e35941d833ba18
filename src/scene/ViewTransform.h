#pragma once

#include "geometry/Points.h"

// A 4 x 4 row-major matrix that rotates an attached array of points in place.
// The matrix is reset by every rotation; the points accumulate the rotations.
class CViewTransform
{
public:
    // Attaches the array to rotate; the transform does not own it.
    void SetPoints(CPoint3D* points, int count);
    void Identity();
    // Right-handed rotations by whole or fractional degrees.
    void RotateX(double degrees);
    void RotateY(double degrees);
    // Replaces every attached point by the row-vector product (x, y, z, w) * M.
    void Apply();

    double m_matrix[4][4] = {};

private:
    CPoint3D* m_points = nullptr;
    int m_count = 0;
};
