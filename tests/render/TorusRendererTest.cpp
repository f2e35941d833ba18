#include "render/TorusRenderer.h"

#include <gtest/gtest.h>

namespace {

TEST(TorusRenderer, ConstructorDefaults)
{
    const CTorusRenderer view;
    EXPECT_EQ(view.m_nMode, kModeWireframe);
    EXPECT_EQ(view.m_nLight, kLightOn);
    EXPECT_EQ(view.m_nShading, kShadingGouraud);
    EXPECT_EQ(view.m_dRingRadius, 200.0);
    EXPECT_EQ(view.m_dSectionRadius, 80.0);
    EXPECT_EQ(view.m_nSurfaceSteps, 18);
    EXPECT_EQ(view.m_nSectionSteps, 18);
    EXPECT_EQ(view.m_angleX, 0.0);
    EXPECT_EQ(view.m_angleY, 0.0);
    EXPECT_EQ(view.m_camera.m_eyeDistance, 1000.0);
    EXPECT_EQ(view.m_camera.m_eyeAzimuth, 0.0);
    EXPECT_EQ(view.m_camera.m_eyePolarAngle, 90.0);
    EXPECT_EQ(view.m_camera.m_screenDistance, 800.0);
    EXPECT_EQ(view.m_strTexturePath, "./Data/texture1.bmp");
    EXPECT_FALSE(view.m_texture.HasTexels());
    EXPECT_EQ(view.m_pVertices, nullptr);
    EXPECT_EQ(view.m_ppFacets, nullptr);
    EXPECT_EQ(view.m_pFill, nullptr);
}

TEST(TorusRenderer, DefaultLightSetAndMaterial)
{
    const CTorusRenderer view;
    ASSERT_EQ(view.m_pLighting->m_nLights, 1);
    const CLightSource& l = view.m_pLighting->m_pLights[0];
    EXPECT_EQ(l.m_bOn, 1);
    EXPECT_EQ(l.m_position.x, 0.0);
    EXPECT_EQ(l.m_position.y, 0.0);
    EXPECT_EQ(l.m_position.z, 1000.0);
    EXPECT_EQ(l.m_diffuse.r, 1.0);
    EXPECT_EQ(l.m_specular.r, 0.828);
    EXPECT_EQ(l.m_specular.g, 0.636);
    EXPECT_EQ(l.m_specular.b, 0.366);
    EXPECT_EQ(l.m_attConstant, 1.0);
    EXPECT_EQ(l.m_attLinear, 1e-07);
    EXPECT_EQ(l.m_attQuadratic, 1e-08);
    EXPECT_EQ(view.m_pLighting->m_ambient.r, 0.3);

    const CMaterial& m = *view.m_pMaterial;
    EXPECT_EQ(m.m_ambient.r, 0.547);
    EXPECT_EQ(m.m_ambient.g, 0.4);
    EXPECT_EQ(m.m_ambient.b, 0.075);
    EXPECT_EQ(m.m_diffuse.r, 0.912);
    EXPECT_EQ(m.m_diffuse.g, 0.616);
    EXPECT_EQ(m.m_diffuse.b, 0.116);
    EXPECT_EQ(m.m_specular.g, 1.0);
    EXPECT_EQ(m.m_emission.r, 0.0);
    EXPECT_EQ(m.m_shininess, 100.0);
}

TEST(TorusRenderer, LightSwitchFollowsOnlyZeroAndOne)
{
    CTorusRenderer view;
    view.m_nLight = kLightOff;
    view.SwitchLights();
    EXPECT_EQ(view.m_pLighting->m_pLights[0].m_bOn, 0);
    view.m_nLight = 7;
    view.SwitchLights();
    EXPECT_EQ(view.m_pLighting->m_pLights[0].m_bOn, 0);
    view.m_nLight = kLightOn;
    view.SwitchLights();
    EXPECT_EQ(view.m_pLighting->m_pLights[0].m_bOn, 1);
}

TEST(TorusRenderer, MeshLivesOnlyForOneFrame)
{
    CTorusRenderer view;
    view.SetupCamera();
    view.m_nSurfaceSteps = 7;
    view.m_nSectionSteps = 11;
    view.BuildVertices();
    view.BuildFacets();
    EXPECT_EQ(view.m_nSurfaceStepAngle, 51);
    EXPECT_EQ(view.m_nSectionStepAngle, 32);
    ASSERT_NE(view.m_pVertices, nullptr);
    ASSERT_NE(view.m_ppFacets, nullptr);
    EXPECT_EQ(view.m_ppFacets[6][10].m_pIndices[2], 0);

    CPixelSink sink(64, 64);
    view.RenderPass(sink);
    EXPECT_EQ(view.m_pVertices, nullptr);
    EXPECT_EQ(view.m_pVertexNormals, nullptr);
    EXPECT_EQ(view.m_ppFacets, nullptr);
    EXPECT_EQ(view.m_pFill, nullptr);
}

} // namespace
