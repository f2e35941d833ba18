#include "scene/ViewTransform.h"

#include <gtest/gtest.h>

#include <span>

#include <cmath>

namespace {

void ExpectNear(const CPoint3D& p, double x, double y, double z, double tol = 1e-5)
{
    EXPECT_NEAR(p.x, x, tol);
    EXPECT_NEAR(p.y, y, tol);
    EXPECT_NEAR(p.z, z, tol);
}

TEST(ViewTransform, RotationsAreRightHanded)
{
    CPoint3D p[3] = {CPoint3D(0, 1, 0), CPoint3D(0, 0, 1), CPoint3D(1, 0, 0)};
    CViewTransform t;
    t.RotateX(90, std::span<CPoint3D>(p, 1));
    ExpectNear(p[0], 0, 0, 1);

    t.RotateY(90, std::span<CPoint3D>(p + 1, 2));
    ExpectNear(p[1], 1, 0, 0);
    ExpectNear(p[2], 0, 0, -1);
}

TEST(ViewTransform, ZeroRotationKeepsPointsAndColours)
{
    CPoint3D p(3.25, -7.5, 11.0);
    p.colour = CColor(0.2, 0.4, 0.6);
    CViewTransform t;
    t.RotateX(0, std::span<CPoint3D>(&p, 1));
    t.RotateY(0, std::span<CPoint3D>(&p, 1));
    EXPECT_EQ(p.x, 3.25);
    EXPECT_EQ(p.y, -7.5);
    EXPECT_EQ(p.z, 11.0);
    EXPECT_EQ(p.w, 1.0);
    EXPECT_EQ(p.colour.r, 0.2);
    EXPECT_EQ(p.colour.g, 0.4);
    EXPECT_EQ(p.colour.b, 0.6);
}

TEST(ViewTransform, UsesTheRoundedPiOfTheRotations)
{
    // 3.14159 / 180 written out; computing the quotient in doubles is one unit in the
    // last place smaller.
    const double factor = 0.01745327777777778;
    EXPECT_NE(factor, 3.14159 / 180.0);
    CPoint3D p(0, 1, 0);
    CViewTransform t;
    t.RotateX(37.0, std::span<CPoint3D>(&p, 1));
    const double a = 37.0 * factor;
    EXPECT_EQ(p.y, 1.0 * std::cos(a));
    EXPECT_EQ(p.z, 1.0 * std::sin(a));

    // A full turn does not return exactly: 360 degrees is a little short of 2 pi.
    CPoint3D q(0, 100, 0);
    t.RotateX(360, std::span<CPoint3D>(&q, 1));
    EXPECT_NEAR(q.y, 100.0, 1e-6);
    EXPECT_NE(q.z, 0.0);
}

TEST(ViewTransform, RotationsComposeOnThePointsNotTheMatrix)
{
    CPoint3D p(0, 1, 0);
    CViewTransform t;
    t.RotateX(90, std::span<CPoint3D>(&p, 1)); // (0, 1, 0) -> (0, 0, 1)
    t.RotateY(90, std::span<CPoint3D>(&p, 1)); // (0, 0, 1) -> (1, 0, 0)
    ExpectNear(p, 1, 0, 0);
    // The matrix holds only the last rotation.
    EXPECT_NEAR(t.m_matrix[0][0], 0.0, 1e-5);
    EXPECT_EQ(t.m_matrix[1][1], 1.0);

    // Rotations about x add up on the points: 30 + 60 is close to 90.
    CPoint3D q(0, 1, 0);
    t.RotateX(30, std::span<CPoint3D>(&q, 1));
    t.RotateX(60, std::span<CPoint3D>(&q, 1));
    ExpectNear(q, 0, 0, 1);
}

TEST(ViewTransform, NothingAttachedChangesNothing)
{
    CViewTransform t;
    t.RotateX(45, std::span<CPoint3D>()); // no points: must not crash
    CPoint3D p(1, 2, 3);
    t.RotateY(45, std::span<CPoint3D>(&p, 0));
    EXPECT_EQ(p.x, 1.0);
    EXPECT_EQ(p.z, 3.0);
}

} // namespace
