#include "render/TorusRenderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

namespace {

// The values the view starts with: the torus, the camera, the light and the material.
TEST(TorusRenderer, StartsWithTheDocumentedState)
{
    const CTorusRenderer view;
    const CLightSource& l = view.Lighting().m_pLights[0];
    const CMaterial& m = view.Material();
    const struct
    {
        const char* name;
        double actual, expected;
    } values[] = {
        {"mode", double(view.Mode()), kModeWireframe},
        {"light", double(view.Light()), kLightOn},
        {"shading", double(view.Shading()), kShadingGouraud},
        {"ring radius", view.RingRadius(), 200.0},
        {"section radius", view.SectionRadius(), 80.0},
        {"surface steps", double(view.SurfaceSteps()), 18},
        {"section steps", double(view.SectionSteps()), 18},
        {"angle x", view.AngleX(), 0.0},
        {"angle y", view.AngleY(), 0.0},
        {"eye distance", view.Camera().m_eyeDistance, 1000.0},
        {"eye azimuth", view.Camera().m_eyeAzimuth, 0.0},
        {"eye polar angle", view.Camera().m_eyePolarAngle, 90.0},
        {"screen distance", view.Camera().m_screenDistance, 800.0},
        {"lights", double(view.Lighting().m_nLights), 1},
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
        {"ambient light", view.Lighting().m_ambient.b, 0.3},
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
    EXPECT_GT(view.Camera().m_eye.z, 999.0); // set up with the renderer
    EXPECT_FALSE(view.Texture().HasTexels());
}

// Setup takes everything over, the light switch sets the lights' on flags (any
// other value than 0 or 1 leaves them alone), and the texture path is not read.
TEST(TorusRenderer, SetupTakesOverEverySettingAndSwitchesTheLights)
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
    view.Setup(settings, 12.5, -3.0);
    EXPECT_EQ(view.RingRadius(), 123.0);
    EXPECT_EQ(view.SectionRadius(), 45.0);
    EXPECT_EQ(view.SurfaceSteps(), 7);
    EXPECT_EQ(view.SectionSteps(), 29);
    EXPECT_EQ(view.Mode(), kModeTexture);
    EXPECT_EQ(view.Light(), kLightOff);
    EXPECT_EQ(view.Shading(), kShadingPhong);
    EXPECT_EQ(view.AngleX(), 12.5);
    EXPECT_EQ(view.AngleY(), -3.0);
    EXPECT_FALSE(view.Texture().HasTexels());
    EXPECT_EQ(view.Drawing(), SPixelFacts::kNothing); // texture mode without texels
    for (const auto& [light, on] : {std::pair<int, int>{kLightOff, 0}, {7, 0}, {kLightOn, 1}, {7, 1}, {kLightOff, 0}}) {
        settings.m_nLight = light;
        view.Setup(settings, 0.0, 0.0);
        EXPECT_EQ(view.Lighting().m_pLights[0].m_bOn, on) << light;
    }
}

// The buffers of a frame are kept for the next one: a renderer that drew other
// tori, at other sizes and in other modes, draws what a fresh one draws.
TEST(TorusRenderer, NothingOfAFrameReachesTheNext)
{
    CTorusRenderer used;
    const struct
    {
        int steps, mode, light, shading, w, h;
    } frames[] = {{36, kModeSurface, kLightOn, kShadingPhong, 900, 700},
                  {6, kModeSurface, kLightOff, kShadingGouraud, 300, 200},
                  {11, kModeWireframe, kLightOn, kShadingGouraud, 520, 600},
                  {18, kModeSurface, kLightOff, kShadingPhong, 520, 600}};
    for (const auto& f : frames) {
        CTorusRenderer fresh;
        CRenderSettings settings;
        settings.m_nSurfaceSteps = settings.m_nSectionSteps = f.steps;
        settings.m_nMode = f.mode;
        settings.m_nLight = f.light;
        settings.m_nShading = f.shading;
        for (CTorusRenderer* view : {&used, &fresh})
            view->Setup(settings, 40.0, 0.0);
        CPixelSink a(f.w, f.h), b(f.w, f.h);
        used.RenderFrame(a);
        fresh.RenderFrame(b);
        EXPECT_EQ(a.Pixels(), b.Pixels()) << f.steps << " " << f.mode;
    }
}

// Every thread count draws the same frame, including more threads than bands of
// rows. No more threads are made than the processors run at once, and the
// count reported is the count that fills facets.
TEST(TorusRenderer, FramesDoNotDependOnTheThreadCount)
{
    CRenderSettings settings;
    settings.m_nMode = kModeSurface;
    for (int shading : {kShadingGouraud, kShadingPhong}) {
        settings.m_nShading = shading;
        CTorusRenderer view;
        view.Setup(settings, 25.0, -10.0);
        view.SetThreadCount(1);
        ASSERT_EQ(view.ThreadCount(), 1);
        CPixelSink one(333, 257), thinOne(333, 5);
        view.RenderFrame(one);
        view.RenderFrame(thinOne);
        for (int threads : {2, 3, 8, 300}) {
            view.SetThreadCount(threads);
            EXPECT_EQ(view.ThreadCount(), std::min({threads, CTorusRenderer::kMaxThreads, CBandWorkers::MaxThreads()}));
            CPixelSink many(333, 257), thin(333, 5);
            view.RenderFrame(many);
            view.RenderFrame(thin);
            EXPECT_EQ(many.Pixels(), one.Pixels()) << threads;
            EXPECT_EQ(thin.Pixels(), thinOne.Pixels()) << threads;
        }
    }
    if (CBandWorkers::MaxThreads() < 2)
        GTEST_SKIP() << "the processors run one thread at a time: only one thread filled facets";
}

} // namespace
