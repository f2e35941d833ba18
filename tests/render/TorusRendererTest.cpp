#include "render/TorusRenderer.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The values the view starts with: the torus, the camera, the light and the material.
TEST(TorusRenderer, StartsWithTheDocumentedState)
{
    const CTorusRenderer view;
    const CLightSource& l = view.m_pLighting->m_pLights[0];
    const CMaterial& m = *view.m_pMaterial;
    const struct
    {
        const char* name;
        double actual, expected;
    } values[] = {
        {"mode", double(view.m_nMode), kModeWireframe},
        {"light", double(view.m_nLight), kLightOn},
        {"shading", double(view.m_nShading), kShadingGouraud},
        {"ring radius", view.m_dRingRadius, 200.0},
        {"section radius", view.m_dSectionRadius, 80.0},
        {"surface steps", double(view.m_nSurfaceSteps), 18},
        {"section steps", double(view.m_nSectionSteps), 18},
        {"angle x", view.m_angleX, 0.0},
        {"angle y", view.m_angleY, 0.0},
        {"eye distance", view.m_camera.m_eyeDistance, 1000.0},
        {"eye azimuth", view.m_camera.m_eyeAzimuth, 0.0},
        {"eye polar angle", view.m_camera.m_eyePolarAngle, 90.0},
        {"screen distance", view.m_camera.m_screenDistance, 800.0},
        {"lights", double(view.m_pLighting->m_nLights), 1},
        {"light on", double(l.m_bOn), 1},
        {"light z", l.m_position.z, 1000.0},
        {"light x", l.m_position.x, 0.0},
        {"light diffuse", l.m_diffuse.g, 1.0},
        {"light specular r", l.m_specular.r, 0.828},
        {"light specular g", l.m_specular.g, 0.636},
        {"light specular b", l.m_specular.b, 0.366},
        {"attenuation constant", l.m_attConstant, 1.0},
        {"attenuation linear", l.m_attLinear, 1e-07},
        {"attenuation quadratic", l.m_attQuadratic, 1e-08},
        {"ambient light", view.m_pLighting->m_ambient.b, 0.3},
        {"ambient r", m.m_ambient.r, 0.547},
        {"ambient g", m.m_ambient.g, 0.4},
        {"ambient b", m.m_ambient.b, 0.075},
        {"diffuse r", m.m_diffuse.r, 0.912},
        {"diffuse g", m.m_diffuse.g, 0.616},
        {"diffuse b", m.m_diffuse.b, 0.116},
        {"specular", m.m_specular.g, 1.0},
        {"emission", m.m_emission.r, 0.0},
        {"shininess", m.m_shininess, 100.0},
    };
    for (const auto& v : values)
        EXPECT_EQ(v.actual, v.expected) << v.name;
    EXPECT_EQ(view.m_strTexturePath, "./Data/texture1.bmp");
    EXPECT_FALSE(view.m_texture.HasTexels());
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

TEST(TorusRenderer, TakesOverEverySettingButTheTexturePath)
{
    CRenderSettings settings;
    settings.m_nRingRadius = 123;
    settings.m_nSectionRadius = 45;
    settings.m_nSurfaceSteps = 7;
    settings.m_nSectionSteps = 29;
    settings.m_nMode = kModeTexture;
    settings.m_nLight = kLightOff;
    settings.m_nShading = kShadingPhong;
    settings.m_strTexturePath = "elsewhere.bmp";
    CTorusRenderer view;
    view.ApplySettings(settings);
    EXPECT_EQ(view.m_dRingRadius, 123.0);
    EXPECT_EQ(view.m_dSectionRadius, 45.0);
    EXPECT_EQ(view.m_nSurfaceSteps, 7);
    EXPECT_EQ(view.m_nSectionSteps, 29);
    EXPECT_EQ(view.m_nMode, kModeTexture);
    EXPECT_EQ(view.m_nLight, kLightOff);
    EXPECT_EQ(view.m_nShading, kShadingPhong);
    EXPECT_EQ(view.m_strTexturePath, "./Data/texture1.bmp");
    EXPECT_EQ(view.m_pLighting->m_pLights[0].m_bOn, 1); // until SwitchLights
}

// The buffers of a frame are kept for the next one: a renderer that drew other
// tori, at other sizes and in other modes, draws what a fresh one draws.
TEST(TorusRenderer, NothingOfAFrameReachesTheNext)
{
    CTorusRenderer used;
    used.SetupCamera();
    const struct
    {
        int steps, mode, light, shading, w, h;
    } frames[] = {{36, kModeSurface, kLightOn, kShadingPhong, 900, 700},
                  {6, kModeSurface, kLightOff, kShadingGouraud, 300, 200},
                  {11, kModeWireframe, kLightOn, kShadingGouraud, 520, 600},
                  {18, kModeSurface, kLightOff, kShadingPhong, 520, 600}};
    for (const auto& f : frames) {
        CTorusRenderer fresh;
        fresh.SetupCamera();
        for (CTorusRenderer* view : {&used, &fresh}) {
            view->m_nSurfaceSteps = view->m_nSectionSteps = f.steps;
            view->m_nMode = f.mode;
            view->m_nLight = f.light;
            view->m_nShading = f.shading;
            view->m_angleX = 40.0;
            view->SwitchLights();
        }
        CPixelSink a(f.w, f.h), b(f.w, f.h);
        used.RenderFrame(a);
        fresh.RenderFrame(b);
        EXPECT_EQ(a.Pixels(), b.Pixels()) << f.steps << " " << f.mode;
    }
}

// Every thread count draws the same frame, including more threads than image rows.
TEST(TorusRenderer, FramesDoNotDependOnTheThreadCount)
{
    for (int shading : {kShadingGouraud, kShadingPhong}) {
        CTorusRenderer view;
        view.SetupCamera();
        view.m_nMode = kModeSurface;
        view.m_nShading = shading;
        view.m_angleX = 25.0;
        view.m_angleY = -10.0;
        view.SetThreadCount(1);
        CPixelSink one(333, 257);
        view.RenderFrame(one);
        for (int threads : {2, 3, 8, 300}) {
            view.SetThreadCount(threads);
            EXPECT_EQ(view.ThreadCount(), std::min(threads, CTorusRenderer::kMaxThreads));
            CPixelSink many(333, 257);
            view.RenderFrame(many);
            EXPECT_EQ(many.Pixels(), one.Pixels()) << threads;
            CPixelSink thin(333, 5);
            view.RenderFrame(thin);
        }
    }
}

} // namespace
