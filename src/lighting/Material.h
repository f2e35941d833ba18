#pragma once

#include "geometry/Color.h"

// Surface reflectances and the specular exponent.
class CMaterial
{
public:
    CColor m_ambient{0.2, 0.2, 0.2};
    CColor m_diffuse{0.8, 0.8, 0.8};
    CColor m_specular{0.0, 0.0, 0.0};
    CColor m_emission{0.0, 0.0, 0.0};
    double m_shininess = 1.0;
};
