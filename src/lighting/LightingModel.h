#pragma once

#include "geometry/Vec3.h"
#include "lighting/LightSource.h"
#include "lighting/Material.h"

#include <memory>

// A set of point lights with a global ambient light, and the Blinn-Phong
// evaluation of one surface point.
class CLightingModel
{
public:
    explicit CLightingModel(int count);

    // Colour of point p seen from eye, clamped to 0..1. The normal need not be unit
    // length. A light that is off replaces the running total with p's own colour.
    CColor Illuminate(const CPoint3D& eye, const CPoint3D& p, const CVec3& normal,
                      const CMaterial* material) const;

    int m_nLights;
    std::unique_ptr<CLightSource[]> m_pLights;
    CColor m_ambient{0.3, 0.3, 0.3};
};
