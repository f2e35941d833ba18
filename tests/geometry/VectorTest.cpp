#include "geometry/Vec3.h"

#include <gtest/gtest.h>

namespace {

void ExpectVec(const CVec3& v, double x, double y, double z)
{
    EXPECT_DOUBLE_EQ(v.x, x);
    EXPECT_DOUBLE_EQ(v.y, y);
    EXPECT_DOUBLE_EQ(v.z, z);
}

TEST(Vector, NormalisationGuardIsStrictAtOneHundredThousandth)
{
    ExpectVec(CVec3().Normalized(), 0, 0, 0);
    ExpectVec(CVec3(3e-06, 0, 0).Normalized(), 3e-06, 0, 0);
    ExpectVec(CVec3(9.99e-06, 0, 0).Normalized(), 9.99e-06, 0, 0);
    ExpectVec(CVec3(1e-05, 0, 0).Normalized(), 1, 0, 0); // exactly 1e-05 is divided by
    ExpectVec(CVec3(0, 0, 2).Normalized(), 0, 0, 1);
    // The normalisation guard is not the division guard: 5e-06 lies between them.
    ExpectVec(CVec3(5e-06, 0, 0).Normalized(), 5e-06, 0, 0);
}

TEST(Vector, DivisionGuardIsStrictAtOneMillionth)
{
    ExpectVec(CVec3(1, 2, 3) / 0.0, 1, 2, 3);
    ExpectVec(CVec3(1, 2, 3) / 5e-07, 1, 2, 3);
    ExpectVec(CVec3(1, 2, 3) / -5e-07, 1, 2, 3);
    ExpectVec(CVec3(1, 2, 3) / -2.0, -0.5, -1, -1.5);
    ExpectVec(CVec3(1, 2, 3) / 1e-06, 1e06, 2e06, 3e06);

    ExpectVec(CVec3(1, 2, 3) * 2.0 + CVec3(1, 1, 1), 3, 5, 7);
    EXPECT_DOUBLE_EQ(CVec3(1, 2, 3).Length(), std::sqrt(14.0));
    EXPECT_DOUBLE_EQ(Dot(CVec3(1, 2, 3), CVec3(4, -5, 6)), 12.0);
}

TEST(Vector, CrossIsRightHandedWithFirstOperandFirst)
{
    ExpectVec(Cross(CVec3(1, 0, 0), CVec3(0, 1, 0)), 0, 0, 1);
    ExpectVec(Cross(CVec3(0, 1, 0), CVec3(1, 0, 0)), 0, 0, -1);
}

TEST(Vector, DifferencesOfPoints)
{
    CPoint3D from(1, 2, 3);
    from.w = 7;
    from.colour = CColor(0, 0, 0);
    ExpectVec(CVec3(from, CPoint3D(4, 4, 4)), 3, 2, 1);

    CScreenPointZ a, b;
    a.x = 1.5;
    a.y = 10;
    a.z = 2;
    b.x = 0.5;
    b.y = 7;
    b.z = 5;
    const CVec3 d(a, b);
    EXPECT_EQ(d.y, -3.0);
    ExpectVec(d, -1.0, -3.0, 3.0);
}

TEST(Vector, FacetNormalFollowsCornerOrder)
{
    const CPoint3D p0(0, 0, 0), p1(1, 0, 0), p2(1, 1, 0);
    ExpectVec(FacetNormal(p0, p1, p2), 0, 0, 1);
    ExpectVec(FacetNormal(p2, p1, p0), 0, 0, -1);
}

TEST(Points, ResultsAreWhiteWithUnitWeight)
{
    CPoint2D red(1, 2, CColor(1, 0, 0));
    CPoint2D blue(3, 4, CColor(0, 0, 1));
    red.w = 5;
    for (const CPoint2D& p : {red + blue, red * 2.0, red / 2.0, red / 0.0}) {
        EXPECT_EQ(p.w, 1.0);
        EXPECT_EQ(p.colour.r, 1.0);
        EXPECT_EQ(p.colour.g, 1.0);
        EXPECT_EQ(p.colour.b, 1.0);
    }
    EXPECT_EQ((red + blue).x, 4.0);
    EXPECT_EQ((red + blue).y, 6.0);
    EXPECT_EQ((red / 5e-07).x, 1.0); // divisor below 1e-06 taken as 1
    EXPECT_EQ((red / -4.0).y, -0.5);

    const CPoint3D p;
    EXPECT_EQ(p.w, 1.0);
    EXPECT_EQ(p.z, 0.0);
    const CScreenPointZ s;
    EXPECT_EQ(s.y, 0);
    EXPECT_EQ(s.z, 0.0);
    EXPECT_EQ(s.colour.g, 1.0);
}

} // namespace
