#include "lighting/LightingModel.h"
#include "render/TorusRenderer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void ExpectColor(const CColor& c, double r, double g, double b, double tol = 1e-12)
{
    EXPECT_NEAR(c.r, r, tol);
    EXPECT_NEAR(c.g, g, tol);
    EXPECT_NEAR(c.b, b, tol);
}

// One white diffuse light at (0, 0, 10), no specular, no attenuation; a grey
// diffuse material with nothing else.
struct SimpleScene
{
    CLightingModel lights{1};
    CMaterial material;
    CPoint3D eye{0, 0, 100};
    SimpleScene()
    {
        CLightSource& l = lights.m_pLights[0];
        l.SetPosition(0, 0, 10);
        l.m_diffuse = CColor(1, 1, 1);
        l.m_specular = CColor(0, 0, 0);
        material.m_ambient = CColor(0, 0, 0);
        material.m_diffuse = CColor(0.5, 0.5, 0.5);
        material.m_specular = CColor(0, 0, 0);
    }
};

TEST(Lighting, DiffuseFacingAndFacingAway)
{
    SimpleScene s;
    ExpectColor(s.lights.Illuminate(s.eye, CPoint3D(0, 0, 0), CVec3(0, 0, 2), &s.material), 0.5, 0.5, 0.5);
    ExpectColor(s.lights.Illuminate(s.eye, CPoint3D(0, 0, 0), CVec3(0, 0, -1), &s.material), 0, 0, 0);
}

TEST(Lighting, LightOffReplacesTheTotalWithThePointColour)
{
    SimpleScene s;
    s.lights.m_pLights[0].m_bOn = 0;
    s.material.m_ambient = CColor(1, 1, 1);
    CPoint3D p(0, 0, 0);
    p.colour = CColor(0.2, 0.4, 0.6);
    ExpectColor(s.lights.Illuminate(s.eye, p, CVec3(0, 0, 1), &s.material), 0.5, 0.7, 0.9);
    // A white point with the light off is white whatever the material.
    ExpectColor(s.lights.Illuminate(s.eye, CPoint3D(0, 0, 0), CVec3(0, 0, 1), &s.material), 1, 1, 1);

    // Two lights, the first on, the second off: the first one's light and the
    // emission are discarded.
    CLightingModel two(2);
    two.m_pLights[0].m_diffuse = CColor(1, 1, 1);
    two.m_pLights[1].m_bOn = 0;
    CMaterial m;
    m.m_emission = CColor(0.5, 0.5, 0.5);
    m.m_ambient = CColor(0.5, 0.5, 0.5);
    p.colour = CColor(0.1, 0.1, 0.1);
    ExpectColor(two.Illuminate(s.eye, p, CVec3(0, 0, 1), &m), 0.25, 0.25, 0.25);
}

TEST(Lighting, SpecularHighlight)
{
    SimpleScene s;
    s.material.m_diffuse = CColor(0, 0, 0);
    s.material.m_specular = CColor(1, 1, 1);
    s.material.m_shininess = 100.0;
    s.lights.m_pLights[0].m_specular = CColor(1, 1, 1);
    // Eye and light straight along the normal: H = N, full highlight.
    ExpectColor(s.lights.Illuminate(s.eye, CPoint3D(0, 0, 0), CVec3(0, 0, 1), &s.material), 1, 1, 1);

    // Exponent 0: pow(x, 0) = 1 whenever N.L >= 0.
    s.material.m_shininess = 0.0;
    s.material.m_specular = CColor(0.25, 0.25, 0.25);
    ExpectColor(s.lights.Illuminate(CPoint3D(100, 0, 1), CPoint3D(0, 0, 0), CVec3(1, 0, 1), &s.material),
                0.25, 0.25, 0.25);

    // N.L exactly 0: no diffuse, yet the specular term is still added.
    s.material.m_diffuse = CColor(1, 1, 1);
    ExpectColor(s.lights.Illuminate(s.eye, CPoint3D(0, 0, 0), CVec3(1, 0, 0), &s.material), 0.25, 0.25,
                0.25);
}

TEST(Lighting, AttenuationIsCappedAtOne)
{
    SimpleScene s;
    CLightSource& l = s.lights.m_pLights[0];
    l.SetPosition(0, 0, 1000);
    l.m_attLinear = 1e-07;
    l.m_attQuadratic = 1e-08;
    const CColor c = s.lights.Illuminate(s.eye, CPoint3D(0, 0, 0), CVec3(0, 0, 1), &s.material);
    EXPECT_NEAR(c.r, 0.5 / 1.0101, 1e-9);

    l.m_attConstant = 0.5;
    l.m_attLinear = 0.0;
    l.m_attQuadratic = 0.0;
    ExpectColor(s.lights.Illuminate(s.eye, CPoint3D(0, 0, 0), CVec3(0, 0, 1), &s.material), 0.5, 0.5, 0.5);
}

TEST(Lighting, ZeroNormalGetsOnlyAmbientAndEmission)
{
    SimpleScene s;
    s.material.m_specular = CColor(1, 1, 1);
    s.material.m_shininess = 10.0;
    s.material.m_ambient = CColor(1, 0, 0);
    ExpectColor(s.lights.Illuminate(s.eye, CPoint3D(0, 0, 0), CVec3(), &s.material), 0.3, 0, 0);
}

TEST(Lighting, ViewDefaultsLightThePointInFrontOfTheEye)
{
    const CTorusRenderer view;
    // d = 720, N.L = 1, H.N = 1, f = 1 / 1.005256; before clamping about (1.895, 1.365, 0.502).
    const CColor c = view.Lighting().Illuminate(view.Camera().m_eye, CPoint3D(0, 0, 280), CVec3(0, 0, 1),
                                                &view.Material());
    EXPECT_EQ(c.r, 1.0);
    EXPECT_EQ(c.g, 1.0);
    const double f = 1.0 / (1.0 + (1e-08 * 720.0 + 1e-07) * 720.0);
    EXPECT_NEAR(f, 0.99477, 1e-5);
    EXPECT_NEAR(c.b, f * (0.116 + 0.366) + 0.3 * 0.075, 1e-6);
    EXPECT_NEAR(c.b, 0.502, 1e-3);
    EXPECT_EQ(c.ToColorRef(), 0x80FFFFu); // bytes 255, 255, 128
}

} // namespace
