#include "scene/Camera.h"

#include "scene/Angles.h"

#include <cmath>

void CCamera::SetupCamera()
{
    const double theta = m_eyeAzimuth * kRadiansPerDegreeFromPi3_1415926;
    const double phi = m_eyePolarAngle * kRadiansPerDegreeFromPi3_1415926;
    m_sinTheta = std::sin(theta);
    m_sinPhi = std::sin(phi);
    m_cosTheta = std::cos(theta);
    m_cosPhi = std::cos(phi);
    m_cosThetaSinPhi = m_cosTheta * m_sinPhi;
    m_sinPhiSinTheta = m_sinPhi * m_sinTheta;
    m_cosPhiCosTheta = m_cosPhi * m_cosTheta;
    m_cosPhiSinTheta = m_cosPhi * m_sinTheta;

    const double r = m_eyeDistance;
    m_eye.x = r * m_sinPhi * m_sinTheta;
    m_eye.y = r * m_cosPhi;
    m_eye.z = r * m_sinPhi * m_cosTheta;
}

CScreenPointZ CCamera::Project(const CPoint3D& p) const
{
    const double r = m_eyeDistance;
    const double d = m_screenDistance;
    const double xe = p.x * m_cosTheta - p.z * m_sinTheta;
    const double ye = p.y * m_sinPhi - p.x * m_cosPhiSinTheta - p.z * m_cosPhiCosTheta;
    const double ze = r - (p.y * m_cosPhi + p.z * m_cosThetaSinPhi + p.x * m_sinPhiSinTheta);

    CScreenPointZ projected;
    projected.x = xe * d / ze;
    projected.y = static_cast<int>(ye * d / ze + 0.5);
    projected.z = (r - ze) * d / ze;
    projected.colour = p.colour;
    return projected;
}
