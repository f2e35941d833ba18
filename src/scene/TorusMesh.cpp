#include "scene/TorusMesh.h"

#include "scene/Angles.h"

#include <cmath>

namespace TorusMesh {

namespace {
// 800 texels per turn around the axis.
constexpr double kTexelsPerSurfaceDegree = 2.2222222222222223;
// Close to 320 texels per turn around the section; this decimal is the value used,
// not 320.0 / 360.
constexpr double kTexelsPerSectionDegree = 0.888888888888889;
} // namespace

void BuildVertices(CPoint3D* vertices, int surfaceSteps, int sectionSteps, int surfaceStepAngle,
                   int sectionStepAngle, double ringRadius, double sectionRadius)
{
    if (surfaceSteps <= 0)
        return;
    // The first row, at angle 0 (cos 0 = 1 exactly), holds each section point's
    // distance from the axis as its z and its height as y: the other rows take
    // them from there instead of computing the same sines and cosines again.
    for (int j = 0; j < sectionSteps; ++j) {
        const double beta = static_cast<double>(j * sectionStepAngle) * kRadiansPerDegreeFromPi3_1415926;
        const double sinBeta = std::sin(beta);
        CPoint3D& v = vertices[j];
        v.x = std::sin(0.0) * (ringRadius + sectionRadius * sinBeta);
        v.y = sectionRadius * std::cos(beta);
        v.z = std::cos(0.0) * (ringRadius + sectionRadius * sinBeta);
    }
    for (int i = 1; i < surfaceSteps; ++i) {
        const double alpha = static_cast<double>(i * surfaceStepAngle) * kRadiansPerDegreeFromPi3_1415926;
        const double sinAlpha = std::sin(alpha), cosAlpha = std::cos(alpha); // the same for the whole row
        for (int j = 0; j < sectionSteps; ++j) {
            const CPoint3D& first = vertices[j];
            CPoint3D& v = vertices[i * sectionSteps + j];
            v.x = sinAlpha * first.z;
            v.y = first.y;
            v.z = cosAlpha * first.z;
        }
    }
}

void SetFacetCorners(CFacet& facet, int i, int j, int surfaceSteps, int sectionSteps)
{
    const int i1 = i + 1 == surfaceSteps ? 0 : i + 1;
    const int j1 = j + 1 == sectionSteps ? 0 : j + 1;
    facet.m_nVertexCount = CFacet::kCorners;
    facet.m_pIndices[0] = i * sectionSteps + j;
    facet.m_pIndices[1] = i * sectionSteps + j1;
    facet.m_pIndices[2] = i1 * sectionSteps + j1;
    facet.m_pIndices[3] = i1 * sectionSteps + j;
}

CVec3 VertexNormal(const CPoint3D* vertices, int surfaceSteps, int sectionSteps, int i, int j)
{
    const int iPrev = i == 0 ? surfaceSteps - 1 : i - 1;
    const int iNext = i + 1 == surfaceSteps ? 0 : i + 1;
    const int jPrev = j == 0 ? sectionSteps - 1 : j - 1;
    const int jNext = j + 1 == sectionSteps ? 0 : j + 1;
    auto p = [&](int a, int b) -> const CPoint3D& { return vertices[a * sectionSteps + b]; };

    const CVec3 n1 = FacetNormal(p(iPrev, jPrev), p(iPrev, j), p(i, j));
    const CVec3 n2 = FacetNormal(p(iPrev, j), p(iPrev, jNext), p(i, jNext));
    const CVec3 n3 = FacetNormal(p(i, j), p(i, jNext), p(iNext, jNext));
    const CVec3 n4 = FacetNormal(p(i, jPrev), p(i, j), p(iNext, j));
    return n1 + n2 + n3 + n4;
}

void FacetTexCoords(int i, int j, int surfaceStepAngle, int sectionStepAngle, CPoint2D out[4])
{
    const double u0 = static_cast<double>(i * surfaceStepAngle) * kTexelsPerSurfaceDegree;
    const double u1 = static_cast<double>((i + 1) * surfaceStepAngle) * kTexelsPerSurfaceDegree;
    const double v0 = static_cast<double>(j * sectionStepAngle) * kTexelsPerSectionDegree;
    const double v1 = static_cast<double>((j + 1) * sectionStepAngle) * kTexelsPerSectionDegree;
    out[0] = CPoint2D(u0, v0);
    out[1] = CPoint2D(u0, v1);
    out[2] = CPoint2D(u1, v1);
    out[3] = CPoint2D(u1, v0);
}

} // namespace TorusMesh
