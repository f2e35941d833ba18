#include "scene/Camera.h"

#include <gtest/gtest.h>

namespace {

CCamera DefaultCamera()
{
    CCamera camera;
    camera.SetupCamera();
    return camera;
}

TEST(Camera, EyeSitsOnThePositiveZAxisUpToRounding)
{
    const CCamera camera = DefaultCamera();
    EXPECT_EQ(camera.m_eye.x, 0.0);
    // cos 90 degrees with pi taken as 3.1415926 is about 2.68e-08, not 0.
    EXPECT_NEAR(camera.m_eye.y, 2.68e-05, 0.01e-05);
    EXPECT_GT(camera.m_eye.y, 0.0);
    EXPECT_NEAR(camera.m_eye.z, 1000.0, 1e-9);
    EXPECT_EQ(camera.m_eye.w, 1.0);
}

TEST(Camera, ProjectionExamples)
{
    const CCamera camera = DefaultCamera();

    CScreenPointZ p = camera.Project(CPoint3D(0, 0, 0));
    EXPECT_EQ(p.x, 0.0);
    EXPECT_EQ(p.y, 0);
    EXPECT_EQ(p.z, 0.0);

    p = camera.Project(CPoint3D(100, 50, 0));
    EXPECT_NEAR(p.x, 80.0, 1e-6);
    EXPECT_EQ(p.y, 40);
    EXPECT_NEAR(p.z, 0.0, 1e-5);

    p = camera.Project(CPoint3D(0, 0, 200)); // ze 800
    EXPECT_EQ(p.x, 0.0);
    EXPECT_EQ(p.y, 0);
    EXPECT_NEAR(p.z, 200.0, 1e-9);

    // ye * d / ze = -2.7: +0.5 gives -2.2, truncated toward zero to -2 (not -3).
    p = camera.Project(CPoint3D(0, -3.375, 0));
    EXPECT_EQ(p.y, -2);
    // 2.7 + 0.5 truncates to 3.
    p = camera.Project(CPoint3D(0, 3.375, 0));
    EXPECT_EQ(p.y, 3);
}

TEST(Camera, DepthGrowsTowardTheEyeAndColourIsCarried)
{
    const CCamera camera = DefaultCamera();
    CPoint3D near(10, 10, 100);
    near.colour = CColor(0.2, 0.4, 0.6);
    CScreenPointZ p = camera.Project(near);
    const double nearDepth = p.z;
    EXPECT_EQ(p.colour.r, 0.2);
    EXPECT_EQ(p.colour.g, 0.4);
    EXPECT_EQ(p.colour.b, 0.6);
    p = camera.Project(CPoint3D(10, 10, -100));
    EXPECT_LT(p.z, 0.0);
    EXPECT_GT(nearDepth, 0.0);
}

} // namespace
