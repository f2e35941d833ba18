#pragma once

#include "geometry/Points.h"

// The fixed eye on a sphere around the origin, looking at the origin, and the
// perspective projection onto a plane at m_screenDistance in front of it.
class CCamera
{
public:
    double m_eyeDistance = 1000.0;   // R
    double m_eyeAzimuth = 0.0;       // theta, degrees about the y axis from +z towards +x
    double m_eyePolarAngle = 90.0;   // phi, degrees from the +y axis
    double m_screenDistance = 800.0; // d

    // Caches the sines, cosines and their products and places the eye.
    void SetupCamera();
    // The projection of p (w ignored): fractional x, scanline y rounded by adding
    // 0.5 and truncating toward zero, depth growing toward the eye, p's colour.
    CScreenPointZ Project(const CPoint3D& p) const;

    CPoint3D m_eye;

private:
    double m_sinTheta = 0.0;
    double m_sinPhi = 0.0;
    double m_cosTheta = 0.0;
    double m_cosPhi = 0.0;
    double m_cosThetaSinPhi = 0.0;
    double m_sinPhiSinTheta = 0.0;
    double m_cosPhiCosTheta = 0.0;
    double m_cosPhiSinTheta = 0.0;
};
