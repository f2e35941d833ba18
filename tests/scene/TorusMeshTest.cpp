#include "scene/TorusMesh.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Mesh
{
    int n, m, as, ac;
    std::vector<CPoint3D> v;
    Mesh(int surfaceSteps, int sectionSteps, double ringRadius = 200.0, double sectionRadius = 80.0)
        : n(surfaceSteps), m(sectionSteps), as(TorusMesh::StepAngle(surfaceSteps)),
          ac(TorusMesh::StepAngle(sectionSteps)), v(static_cast<std::size_t>(n * m))
    {
        TorusMesh::BuildVertices(v.data(), n, m, as, ac, ringRadius, sectionRadius);
    }
    const CPoint3D& At(int i, int j) const { return v[static_cast<std::size_t>(i * m + j)]; }
};

void ExpectNear(const CPoint3D& p, double x, double y, double z, double tol = 1e-3)
{
    EXPECT_NEAR(p.x, x, tol);
    EXPECT_NEAR(p.y, y, tol);
    EXPECT_NEAR(p.z, z, tol);
}

TEST(TorusMesh, DefaultGridVertices)
{
    const Mesh mesh(18, 18);
    EXPECT_EQ(mesh.as, 20);
    EXPECT_EQ(mesh.ac, 20);
    ExpectNear(mesh.At(0, 0), 0, 80, 200, 1e-12);
    ExpectNear(mesh.At(0, 9), 0, -80, 200, 1e-3);
    ExpectNear(mesh.At(0, 1), 0, 75.175, 227.362);
    ExpectNear(mesh.At(1, 1), 77.762, 75.175, 213.650);
    EXPECT_EQ(mesh.At(3, 4).w, 1.0);
    EXPECT_EQ(mesh.At(3, 4).colour.b, 1.0);
}

TEST(TorusMesh, NormalOfFirstFacetPointsOutward)
{
    const Mesh mesh(18, 18);
    const CVec3 n = FacetNormal(mesh.At(0, 0), mesh.At(0, 1), mesh.At(1, 1));
    EXPECT_NEAR(n.x, 66.153, 1e-3);
    EXPECT_NEAR(n.y, 2127.700, 1e-3);
    EXPECT_NEAR(n.z, 375.171, 1e-3);
}

TEST(TorusMesh, StepAnglesAreWholeDegreesAndLeaveAGap)
{
    EXPECT_EQ(TorusMesh::StepAngle(36), 10);
    EXPECT_EQ(TorusMesh::StepAngle(11), 32);
    EXPECT_EQ(TorusMesh::StepAngle(7), 51);

    // With 7 steps the last ring sits at 306 degrees: the wrap-around facet spans 54.
    const Mesh mesh(7, 7);
    const double a = 306 * 0.017453292222222222;
    ExpectNear(mesh.At(6, 0), std::sin(a) * 200.0, 80.0, std::cos(a) * 200.0, 1e-9);
    const Mesh eleven(11, 11);
    const double b = 320 * 0.017453292222222222;
    ExpectNear(eleven.At(10, 0), std::sin(b) * 200.0, 80.0, std::cos(b) * 200.0, 1e-9);
}

TEST(TorusMesh, FacetCornersWrapAround)
{
    CFacet facet;
    TorusMesh::SetFacetCorners(facet, 0, 0, 7, 11);
    EXPECT_EQ(facet.m_pIndices[0], 0);
    EXPECT_EQ(facet.m_pIndices[1], 1);
    EXPECT_EQ(facet.m_pIndices[2], 12);
    EXPECT_EQ(facet.m_pIndices[3], 11);

    // Facet (last, last): (n-1, m-1), (n-1, 0), (0, 0), (0, m-1).
    TorusMesh::SetFacetCorners(facet, 6, 10, 7, 11);
    EXPECT_EQ(facet.m_nVertexCount, 4);
    EXPECT_EQ(facet.m_pIndices[0], 6 * 11 + 10);
    EXPECT_EQ(facet.m_pIndices[1], 6 * 11 + 0);
    EXPECT_EQ(facet.m_pIndices[2], 0);
    EXPECT_EQ(facet.m_pIndices[3], 10);
}

TEST(TorusMesh, VertexNormalSumsTheFourFacetsAround)
{
    // Summing the normals of the four facets that share a vertex, wrapping at both
    // ends of the grid, as the facets themselves would compute them.
    const Mesh mesh(7, 11, 150.0, 60.0);
    for (int i : {0, 3, 6}) {
        for (int j : {0, 5, 10}) {
            CVec3 sum;
            const int facets[4][2] = {{i - 1, j - 1}, {i - 1, j}, {i, j}, {i, j - 1}};
            for (const auto& f : facets) {
                CFacet facet;
                TorusMesh::SetFacetCorners(facet, (f[0] + 7) % 7, (f[1] + 11) % 11, 7, 11);
                sum = sum + FacetNormal(mesh.v[static_cast<std::size_t>(facet.m_pIndices[0])],
                                        mesh.v[static_cast<std::size_t>(facet.m_pIndices[1])],
                                        mesh.v[static_cast<std::size_t>(facet.m_pIndices[2])]);
            }
            const CVec3 n = TorusMesh::VertexNormal(mesh.v.data(), 7, 11, i, j);
            EXPECT_EQ(n.x, sum.x);
            EXPECT_EQ(n.y, sum.y);
            EXPECT_EQ(n.z, sum.z);
            // Outward: away from the tube centre circle.
            const CPoint3D& p = mesh.At(i, j);
            const double len = std::sqrt(p.x * p.x + p.z * p.z);
            const CVec3 out(p.x - p.x / len * 150.0, p.y, p.z - p.z / len * 150.0);
            EXPECT_GT(Dot(n, out), 0.0);
        }
    }
}

TEST(TorusMesh, TextureCoordinatesReachTheImageEdge)
{
    CPoint2D t[4];
    TorusMesh::FacetTexCoords(17, 17, 20, 20, t);
    const double expected[4][2] = {{755.6, 302.2}, {755.6, 320.0}, {800.0, 320.0}, {800.0, 302.2}};
    for (int c = 0; c < 4; ++c) {
        EXPECT_NEAR(t[c].x, expected[c][0], 0.05);
        EXPECT_NEAR(t[c].y, expected[c][1], 0.05);
    }
    // The section constant is the decimal 0.888888888888889.
    EXPECT_EQ(t[1].y, 360 * 0.888888888888889);
    EXPECT_EQ(t[2].x, 800.0);

    TorusMesh::FacetTexCoords(0, 0, 20, 20, t);
    EXPECT_EQ(t[0].x, 0.0);
    EXPECT_EQ(t[0].y, 0.0);
}

} // namespace
