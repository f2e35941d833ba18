#pragma once

#include "geometry/Points.h"

// A point light with distance attenuation 1 / (c0 + c1 d + c2 d^2), capped at 1.
class CLightSource
{
public:
    void SetPosition(double x, double y, double z)
    {
        m_position.x = x;
        m_position.y = y;
        m_position.z = z;
    }

    CColor m_diffuse{0.0, 0.0, 0.0};
    CColor m_specular{1.0, 1.0, 1.0};
    CPoint3D m_position{0.0, 0.0, 1000.0};
    double m_attConstant = 1.0;
    double m_attLinear = 0.0;
    double m_attQuadratic = 0.0;
    int m_bOn = 1; // 0 off, anything else on
};
