#include "lighting/LightingBatch.h"

#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <numbers>
#include <random>
#include <vector>

namespace {

// Fewer samples when the sanitizers slow every operation down.
#if defined(__SANITIZE_ADDRESS__)
constexpr std::size_t kSamplesPerScene = 12'000;
#else
constexpr std::size_t kSamplesPerScene = 400'000;
#endif

// Runs f once for every instruction set this machine has and the kernel was built for.
void ForEachTarget(const std::function<void()>& f)
{
    for (const std::int64_t target : hwy::SupportedAndGeneratedTargets()) {
        SCOPED_TRACE(hwy::TargetName(target));
        hwy::SetSupportedTargetsForTest(target);
        f();
    }
    hwy::SetSupportedTargetsForTest(0);
}

// A batch of samples as the fills hand it over, with room for a texel.
struct Batch
{
    std::vector<double> px, y, z, nx, ny, nz;
    std::vector<std::uint32_t> texels; // 0x00bbggrr
    void Add(double col, double row, double depth, double x, double yy, double zz)
    {
        px.push_back(col);
        y.push_back(row);
        z.push_back(depth);
        nx.push_back(x);
        ny.push_back(yy);
        nz.push_back(zz);
    }
    std::size_t Size() const { return px.size(); }
    CShadingSamples Samples(std::size_t first = 0) const
    {
        return {px.data() + first, y.data() + first, z.data() + first,
                nx.data() + first, ny.data() + first, nz.data() + first};
    }
    void AddTexel(int r, int g, int b) { texels.push_back(std::uint32_t(r) | g << 8 | b << 16); }
    CMaterial Texel(std::size_t i) const
    {
        // The reflectance the program gives a texel byte.
        const auto reflectance = [&](int shift) { return ((texels[i] >> shift) & 0xFF) * kByteToUnit; };
        CMaterial m;
        m.m_ambient = CColor(reflectance(0), reflectance(8), reflectance(16));
        m.m_diffuse = m.m_ambient;
        m.m_specular = m.m_ambient;
        m.m_emission = CColor(0.0, 0.0, 0.0);
        m.m_shininess = 80.0;
        return m;
    }
};

// What the one-sample lighting gives for sample i: the surface's material, or the
// texel's when material is null.
std::uint32_t Expected(const Batch& b, std::size_t i, const CPoint3D& eye,
                       const CLightingModel& lights, const CMaterial* material)
{
    const CPoint3D p(b.px[i], b.y[i], b.z[i]);
    const CVec3 n(b.nx[i], b.ny[i], b.nz[i]);
    if (material != nullptr)
        return lights.Illuminate(eye, p, n, material).ToColorRef();
    const CMaterial m = b.Texel(i);
    return lights.Illuminate(eye, p, n, &m).ToColorRef();
}

// The program's light and surface.
void ProgramLight(CLightingModel& lights, bool on)
{
    for (int i = 0; i < lights.m_nLights; ++i) {
        CLightSource& l = lights.m_pLights[i];
        l.SetPosition(0.0, 0.0, 1000.0);
        l.m_diffuse = CColor(1.0, 1.0, 1.0);
        l.m_specular = CColor(0.828, 0.636, 0.366);
        l.m_attConstant = 1.0;
        l.m_attLinear = 1e-07;
        l.m_attQuadratic = 1e-08;
        l.m_bOn = on ? 1 : 0;
    }
}

CMaterial ProgramMaterial()
{
    CMaterial m;
    m.m_ambient = CColor(0.547, 0.4, 0.075);
    m.m_diffuse = CColor(0.912, 0.616, 0.116);
    m.m_specular = CColor(1.0, 1.0, 1.0);
    m.m_shininess = 100.0;
    return m;
}

// Samples as the renderer produces them: integer columns and scanlines within
// +-700, depths within +-500, interpolated normals of every direction and length,
// zero and below the normalising guard included; texels of every byte.
Batch TorusSamples(std::size_t count, std::mt19937_64& rng, const CPoint3D& eye,
                   const CPoint3D& light)
{
    std::uniform_int_distribution<int> pixel(-700, 700);
    std::uniform_real_distribution<double> depth(-500.0, 500.0);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_real_distribution<double> logLength(-9.0, 3.0);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> kind(0, 99);
    Batch b;
    for (std::size_t i = 0; i < count; ++i) {
        double x = static_cast<double>(pixel(rng));
        double y = static_cast<double>(pixel(rng));
        double z = depth(rng);
        double nx = unit(rng), ny = unit(rng), nz = unit(rng);
        const int k = kind(rng);
        if (k < 2) {
            nx = ny = nz = 0.0; // a degenerate normal
        } else if (k < 10) {
            const double s = std::pow(10.0, logLength(rng)); // tiny to long normals
            nx *= s;
            ny *= s;
            nz *= s;
        } else if (k < 12) {
            x = std::round(eye.x); // at the eye's column and row: v may vanish
            y = std::round(eye.y);
            z = eye.z;
        } else if (k < 14) {
            x = std::round(light.x); // at the light: l may vanish
            y = std::round(light.y);
            z = light.z;
        } else if (k < 40) {
            // Facing the half-way vector: the specular highlight, where the power
            // matters most.
            const CVec3 l = CVec3(CPoint3D(x, y, z), light).Normalized();
            const CVec3 v = CVec3(CPoint3D(x, y, z), eye).Normalized();
            nx = l.x + v.x + 0.05 * nx;
            ny = l.y + v.y + 0.05 * ny;
            nz = l.z + v.z + 0.05 * nz;
        }
        b.Add(x, y, z, nx, ny, nz);
        b.AddTexel(byte(rng), byte(rng), byte(rng));
    }
    return b;
}

// Shades b in batches of varying size, tails included, on every instruction set,
// and checks every packed colour against the one-sample lighting. Writing past a
// batch's end is caught by guard values. Returns the one-by-one evaluations seen.
std::size_t ExpectIdentical(const Batch& b, const CPoint3D& eye, const CLightingModel& lights,
                            const CMaterial* material)
{
    std::vector<std::uint32_t> expected(b.Size());
    for (std::size_t i = 0; i < b.Size(); ++i)
        expected[i] = Expected(b, i, eye, lights, material);
    constexpr std::uint32_t kGuard = 0xDEADBEEF;
    const std::size_t sizes[] = {1, 3, 7, 8, 9, 16, 31, 64, 257, 1000};
    std::size_t oneByOne = 0;
    ForEachTarget([&] {
        std::vector<std::uint32_t> out(b.Size() + 1, kGuard);
        std::size_t mismatches = 0;
        for (std::size_t first = 0, s = 0; first < b.Size(); ++s) {
            const std::size_t count = std::min(sizes[s % std::size(sizes)], b.Size() - first);
            out[first + count] = kGuard;
            oneByOne += material != nullptr
                            ? ShadeSurface(b.Samples(first), count, eye, lights, *material,
                                           out.data() + first)
                            : ShadeTextured(b.Samples(first), b.texels.data() + first, count, eye,
                                            lights, out.data() + first);
            EXPECT_EQ(out[first + count], kGuard) << "written past " << count << " samples";
            first += count;
        }
        for (std::size_t i = 0; i < b.Size(); ++i) {
            if (out[i] != expected[i] && ++mismatches <= 5) {
                ADD_FAILURE() << std::hex << "sample " << std::dec << i << " at (" << b.px[i]
                              << ", " << b.y[i] << ", " << b.z[i] << ") normal (" << b.nx[i]
                              << ", " << b.ny[i] << ", " << b.nz[i] << "): 0x" << std::hex
                              << out[i] << " instead of 0x" << expected[i];
            }
        }
        EXPECT_EQ(mismatches, 0u);
    });
    return oneByOne;
}

CPoint3D EyeOnSphere(std::mt19937_64& rng)
{
    std::uniform_real_distribution<double> angle(0.0, 2.0 * std::numbers::pi);
    const double theta = angle(rng), phi = angle(rng) / 2.0;
    return CPoint3D(1000.0 * std::sin(phi) * std::sin(theta), 1000.0 * std::cos(phi),
                    1000.0 * std::sin(phi) * std::cos(theta));
}

TEST(LightingBatch, MatchesOneSampleLightingOnTheProgramsScenes)
{
    std::mt19937_64 rng(20240601);
    const CPoint3D front(0.0, 0.0, 1000.0);
    for (const bool on : {true, false}) {
        SCOPED_TRACE(on ? "light on" : "light off");
        CLightingModel lights(1);
        ProgramLight(lights, on);
        const CMaterial surface = ProgramMaterial();
        for (const CPoint3D& eye : {front, EyeOnSphere(rng)}) {
            const std::size_t count = on ? kSamplesPerScene : kSamplesPerScene / 10;
            const Batch b = TorusSamples(count, rng, eye, lights.m_pLights[0].m_position);
            ExpectIdentical(b, eye, lights, &surface);
            ExpectIdentical(b, eye, lights, nullptr);
        }
    }
}

// The normalisation's reciprocal is certified by a margin; widened a million
// times, the margin sends a few per cent of the samples to the one-at-a-time
// evaluation, which must give the same colours. With the proven margin next to
// none go.
TEST(LightingBatch, WidenedReciprocalMarginFallsBackAndStaysIdentical)
{
    std::mt19937_64 rng(99);
    CLightingModel lights(1);
    ProgramLight(lights, true);
    const CMaterial surface = ProgramMaterial();
    const CPoint3D eye(0.0, 0.0, 1000.0);
    const Batch b = TorusSamples(kSamplesPerScene / 4, rng, eye, lights.m_pLights[0].m_position);
    const double shaded = 2.0 * static_cast<double>(b.Size() * hwy::SupportedAndGeneratedTargets().size());
    const auto share = [&] {
        return static_cast<double>(ExpectIdentical(b, eye, lights, &surface) +
                                   ExpectIdentical(b, eye, lights, nullptr)) / shaded;
    };
    WidenShadingMarginForTest(1e6);
    const double widened = share();
    WidenShadingMarginForTest(1.0);
    EXPECT_GT(widened, 0.005);
    EXPECT_LT(widened, 0.3);
    EXPECT_LT(share(), 0.001);
}

// Several lights, one off between lit ones, a light near the samples so that
// attenuation and the guards matter; and settings outside the bounded power:
// other shininess, a negative colour.
TEST(LightingBatch, MatchesOneSampleLightingForGeneralLightSets)
{
    std::mt19937_64 rng(7);
    const CPoint3D eye = EyeOnSphere(rng);
    CLightingModel lights(3);
    ProgramLight(lights, true);
    lights.m_pLights[0].SetPosition(120.0, -40.0, 300.0);
    lights.m_pLights[0].m_attLinear = 0.002;
    lights.m_pLights[0].m_attConstant = 0.2;
    lights.m_pLights[1].m_bOn = 0;
    lights.m_pLights[2].SetPosition(-900.0, 500.0, 200.0);
    lights.m_pLights[2].m_specular = CColor(0.2, 0.9, 0.5);
    CMaterial surface = ProgramMaterial();
    surface.m_emission = CColor(0.05, 0.0, 0.1);
    const std::size_t count = kSamplesPerScene / 5;

    Batch b = TorusSamples(count, rng, eye, lights.m_pLights[0].m_position);
    ExpectIdentical(b, eye, lights, &surface);
    ExpectIdentical(b, eye, lights, nullptr);
    lights.m_pLights[1].m_bOn = 1; // every light lit
    ExpectIdentical(b, eye, lights, &surface);
    ExpectIdentical(b, eye, lights, nullptr);

    for (const double shininess : {1.0, 7.5, 80.0, 128.0}) {
        SCOPED_TRACE(shininess);
        surface.m_shininess = shininess;
        ExpectIdentical(b, eye, lights, &surface);
    }
    surface.m_shininess = 100.0;
    lights.m_pLights[2].m_specular = CColor(0.5, -0.3, 0.2);
    ExpectIdentical(b, eye, lights, &surface);
    ExpectIdentical(b, eye, lights, nullptr);
    // Totals above 1 and not a number (infinite times 0).
    surface.m_diffuse.g = std::numeric_limits<double>::infinity();
    surface.m_ambient.b = std::numeric_limits<double>::quiet_NaN();
    ExpectIdentical(b, eye, lights, &surface);
}

TEST(LightingBatch, EmptyBatchWritesNothing)
{
    CLightingModel lights(1);
    const CMaterial surface = ProgramMaterial();
    std::uint32_t out = 0x12345678;
    EXPECT_EQ(ShadeSurface({}, 0, CPoint3D(0, 0, 1000), lights, surface, &out), 0u);
    EXPECT_EQ(ShadeTextured({}, {}, 0, CPoint3D(0, 0, 1000), lights, &out), 0u);
    EXPECT_EQ(out, 0x12345678u);
}

// Samples whose colour sits on a byte boundary, so close that the power's error
// interval spans it: found by bisecting the depth between two samples with
// different bytes down to neighbouring doubles. These must take the one-by-one
// evaluation and still come out identical.
TEST(LightingBatch, ByteBoundariesFallBackAndStayIdentical)
{
    const CPoint3D eye(0.0, 0.0, 1000.0);
    CLightingModel lights(1);
    ProgramLight(lights, true);
    const CMaterial surface = ProgramMaterial();
    const auto colour = [&](const Batch& b, std::size_t i, const CMaterial* m) {
        return Expected(b, i, eye, lights, m);
    };
    std::mt19937_64 rng(99);
    std::uniform_int_distribution<int> pixel(-300, 300);
    std::uniform_real_distribution<double> tilt(-0.15, 0.15);
    std::uniform_int_distribution<int> byte(64, 255);

    for (const bool textured : {false, true}) {
        SCOPED_TRACE(textured ? "lit texture" : "surface");
        const CMaterial* material = textured ? nullptr : &surface;
        Batch boundary;
        while (boundary.Size() < 2000) {
            // One pixel near the highlight; only its depth varies.
            Batch probe;
            probe.Add(pixel(rng), pixel(rng), 0.0, tilt(rng), tilt(rng), 1.0);
            probe.AddTexel(byte(rng), byte(rng), byte(rng));
            const auto at = [&](double z) {
                probe.z[0] = z;
                return colour(probe, 0, material);
            };
            double below = -500.0;
            for (double z = -490.0; z <= 500.0 && boundary.Size() < 2000; z += 10.0) {
                if (at(z) == at(below)) {
                    below = z;
                    continue;
                }
                double lo = below, hi = z;
                while (std::nextafter(lo, hi) < hi) {
                    const double mid = lo + (hi - lo) / 2.0;
                    (at(mid) == at(lo) ? lo : hi) = mid;
                }
                // Depths around the step, from neighbouring doubles out to where the
                // interval no longer reaches the boundary.
                const double ulp = std::nextafter(lo, hi) - lo;
                for (int k = -48; k <= 48; ++k) {
                    const double offset = k == 0 ? 0.0 : std::ldexp(ulp, std::abs(k) - 1);
                    boundary.Add(probe.px[0], probe.y[0], lo + (k < 0 ? -offset : offset),
                                 probe.nx[0], probe.ny[0], 1.0);
                    boundary.texels.push_back(probe.texels[0]);
                }
                below = z;
            }
        }
        const std::size_t oneByOne = ExpectIdentical(boundary, eye, lights, material);
        EXPECT_GT(oneByOne, 0u) << "no sample reached the one-by-one evaluation";
        RecordProperty(textured ? "fallbacks_textured" : "fallbacks_surface",
                       static_cast<int>(oneByOne));
    }
}

} // namespace
