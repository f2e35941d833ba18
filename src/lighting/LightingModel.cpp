#include "lighting/LightingModel.h"

#include <cmath>

CLightingModel::CLightingModel(int count)
    : m_nLights(count), m_pLights(std::make_unique<CLightSource[]>(count > 0 ? count : 0))
{
}

CColor CLightingModel::Illuminate(const CPoint3D& eye, const CPoint3D& p, const CVec3& normal,
                                  const CMaterial* material) const
{
    CColor total = material->m_emission;
    for (int i = 0; i < m_nLights; ++i) {
        const CLightSource& light = m_pLights[i];
        if (light.m_bOn == 0) {
            total = p.colour;
            continue;
        }
        CColor lit(0.0, 0.0, 0.0);
        const CVec3 toLight(p, light.m_position);
        const double d = toLight.Length();
        const CVec3 l = toLight.Normalized();
        const CVec3 n = normal.Normalized();
        const double nDotL = Dot(n, l);
        if (nDotL >= 0.0) {
            lit += light.m_diffuse * material->m_diffuse * nDotL;
            const CVec3 v = CVec3(p, eye).Normalized();
            const CVec3 h = (l + v) / (l + v).Length();
            lit += light.m_specular * material->m_specular * std::pow(Dot(h, n), material->m_shininess);
        }
        double f = 1.0 / (light.m_attConstant + (light.m_attQuadratic * d + light.m_attLinear) * d);
        if (f > 1.0)
            f = 1.0;
        total += f * lit;
    }
    total += m_ambient * material->m_ambient;
    total.Clamp();
    return total;
}
