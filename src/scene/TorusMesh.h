#pragma once

#include "geometry/Vec3.h"
#include "scene/Facet.h"

// The torus grid: vertex (i, j), i around the torus axis (the y axis) and j around
// the tube section, is element i * sectionSteps + j. Step angles are whole degrees.
namespace TorusMesh {

// Whole degrees per step; a count that does not divide 360 leaves a gap that the
// wrap-around facets close.
inline int StepAngle(int steps)
{
    return 360 / steps;
}

// Fills the sectionSteps * surfaceSteps vertex positions; colours and w keep their defaults.
void BuildVertices(CPoint3D* vertices, int surfaceSteps, int sectionSteps, int surfaceStepAngle,
                   int sectionStepAngle, double ringRadius, double sectionRadius);

// Corners (i, j), (i, j+1), (i+1, j+1), (i+1, j), the +1 wrapping to 0.
void SetFacetCorners(CFacet& facet, int i, int j, int surfaceSteps, int sectionSteps);

// Sum of the four unnormalised normals of the facets sharing vertex (i, j), in
// the order (i-1, j-1), (i-1, j), (i, j), (i, j-1), each computed afresh from the vertices.
CVec3 VertexNormal(const CPoint3D* vertices, int surfaceSteps, int sectionSteps, int i, int j);

// Texture coordinates, in texels of an 800 x 320 image, of the four corners of facet (i, j).
// The +1 does not wrap: the last row and column reach 800 and 320.
void FacetTexCoords(int i, int j, int surfaceStepAngle, int sectionStepAngle, CPoint2D out[4]);

} // namespace TorusMesh
