// The span kernels give, on every instruction set, the bits of the one-sample
// interpolations they replace: spans of every length, ends in either order, ends
// closer than the divisor guard, and colours far out of range or not a number.

#include "shading/SpanInterpolation.h"
#include "raster/Texture.h"
#include "shading/Interpolation.h"

#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <utility>
#include <vector>

namespace {

struct SSpan
{
    double t0, t1;
    double a0[3], a1[3];
    std::vector<double> t;
};

// Spans as the fills see them, and some that only broken geometry would give.
std::vector<SSpan> Spans()
{
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> x(-700.0, 700.0), unit(-1.5, 1.5), big(-3e8, 3e8);
    std::vector<SSpan> spans;
    for (int n = 0; n < 3000; ++n) {
        SSpan s;
        s.t0 = x(random);
        s.t1 = n % 7 == 0 ? s.t0 + 4e-7 : n % 5 == 0 ? s.t0 - 30.0 : s.t0 + std::fabs(x(random)) / 2;
        for (int k = 0; k < 3; ++k) {
            s.a0[k] = n % 11 == 0 ? big(random) : unit(random);
            s.a1[k] = n % 13 == 0 ? std::numeric_limits<double>::quiet_NaN() : unit(random);
        }
        const int count = n % 40;
        for (int i = 0; i < count; ++i)
            s.t.push_back(s.t0 + i); // the walk's samples: xL, xL + 1, ...
        spans.push_back(s);
    }
    return spans;
}

TEST(SpanInterpolation, EveryInstructionSetGivesTheOneSampleBits)
{
    const std::vector<SSpan> spans = Spans();
    for (const std::int64_t target : hwy::SupportedAndGeneratedTargets()) {
        SCOPED_TRACE(hwy::TargetName(target));
        hwy::SetSupportedTargetsForTest(target);
        for (const SSpan& s : spans) {
            const std::size_t n = s.t.size();
            std::vector<double> t = s.t;
            t.resize(n + kSpanPadding, std::numeric_limits<double>::quiet_NaN()); // never used
            std::vector<double> x(n + kSpanPadding, -7.0), y(n + kSpanPadding), z(n + kSpanPadding);
            double* const out[3] = {x.data(), y.data(), z.data()};
            InterpolateAttributes(t.data(), n, s.t0, s.t1, 3, s.a0, s.a1, out);
            std::vector<std::uint32_t> refs(n + kSpanPadding, 0xDEADBEEF);
            InterpolateColourRefs(t.data(), n, s.t0, s.t1, s.a0, s.a1, refs.data());
            const CVec3 v0(s.a0[0], s.a0[1], s.a0[2]), v1(s.a1[0], s.a1[1], s.a1[2]);
            const CColor c0(s.a0[0], s.a0[1], s.a0[2]), c1(s.a1[0], s.a1[1], s.a1[2]);
            for (std::size_t i = 0; i < n; ++i) {
                const CVec3 v = InterpolateNormal(s.t[i], s.t0, s.t1, v0, v1);
                const CPoint2D p =
                    InterpolateTexCoord(s.t[i], s.t0, s.t1, CPoint2D(v0.x, v0.y), CPoint2D(v1.x, v1.y));
                ASSERT_TRUE(std::memcmp(&x[i], &v.x, 8) == 0 && std::memcmp(&y[i], &v.y, 8) == 0 &&
                            std::memcmp(&z[i], &v.z, 8) == 0)
                    << s.t[i] << " " << s.t0 << " " << s.t1;
                EXPECT_EQ(std::memcmp(&x[i], &p.x, 8), 0);
                EXPECT_EQ(std::memcmp(&y[i], &p.y, 8), 0);
                ASSERT_EQ(refs[i], InterpolateColor(s.t[i], s.t0, s.t1, c0, c1).ToColorRef())
                    << s.t[i] << " " << s.t0 << " " << s.t1;
            }
            for (std::size_t i = n; i < n + kSpanPadding; ++i) // no colour changed past the span
                ASSERT_EQ(refs[i], 0xDEADBEEFu);
            // Written into a row instead, opaque: columns out of order and taken
            // twice, the later sample's colour staying.
            std::vector<int> px(n);
            std::vector<std::uint32_t> row(n / 2 + 1, 0xDEADBEEF), expected = row;
            for (std::size_t i = 0; i < n; ++i) {
                px[i] = static_cast<int>((i * 7) % (n / 2 + 1));
                expected[static_cast<std::size_t>(px[i])] = refs[i] | 0xFF000000u;
            }
            InterpolateColourPixels(t.data(), px.data(), n, s.t0, s.t1, s.a0, s.a1, 0xFF000000u, row.data());
            ASSERT_EQ(row, expected);
        }
    }
    hwy::SetSupportedTargetsForTest(0);
}

// Texels where the one-texel rule (TexelAddress) finds them, for coordinates inside, on and past
// every edge of an odd-sized image, far out of int's range, and not a number, as colours.
TEST(SpanInterpolation, TexelsAreTheOneTexelLookups)
{
    std::vector<std::uint8_t> texels;
    for (int k = 0; k < 37 * 23 * 4; ++k)
        texels.push_back(static_cast<std::uint8_t>(k * 7 + k / 4));
    const CTexture texture(37, 23, std::move(texels));
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> near(-3.0, 45.0), far(-5e9, 5e9);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const std::int64_t target : hwy::SupportedAndGeneratedTargets()) {
        SCOPED_TRACE(hwy::TargetName(target));
        hwy::SetSupportedTargetsForTest(target);
        for (int n = 0; n < 2000; ++n) {
            const std::size_t count = static_cast<std::size_t>(n % 29);
            std::vector<double> u(count + kSpanPadding, nan), v(count + kSpanPadding, nan);
            for (std::size_t i = 0; i < count; ++i) {
                u[i] = n % 17 == 0 ? far(random) : n % 19 == 0 ? nan : near(random);
                v[i] = n % 23 == 0 ? far(random) : near(random);
            }
            std::vector<std::uint32_t> words(count + kSpanPadding, 0xDEADBEEF);
            LookUpTexels(u.data(), v.data(), count, texture, words.data());
            for (std::size_t i = 0; i < count; ++i) {
                int tu = 0, tv = 0;
                TexelAddress(u[i], v[i], 37, 23, tu, tv);
                const std::uint8_t* t = texture.Texels().data() + 4 * (tv * 37 + tu);
                ASSERT_EQ(words[i], t[2] | (t[1] << 8) | (t[0] << 16)) << u[i] << "," << v[i];
            }
            for (std::size_t i = count; i < words.size(); ++i)
                ASSERT_EQ(words[i], 0xDEADBEEFu);
        }
    }
    hwy::SetSupportedTargetsForTest(0);
}

// The texture coordinates interpolated beside the normals name the texels the
// exact coordinates name, and the normals keep their bits, on every instruction
// set: texel-sized coordinates, ends in either order or closer than the guard,
// samples past the span's ends (taken exactly), corners out of the bound's
// reach or not a number; and again with the margin widened so that many samples
// take the exact coordinates.
TEST(SpanInterpolation, TexCoordsBesideNormalsNameTheExactTexels)
{
    std::mt19937_64 random(13);
    std::uniform_real_distribution<double> x(-700.0, 700.0), texel(-40.0, 600.0), unit(-1.0, 1.0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const auto address = [](double cu, double cv) {
        int u = 0, v = 0;
        TexelAddress(cu, cv, 1 << 30, 1 << 30, u, v); // no clamping at the far edges
        return std::pair(u, v);
    };
    for (const std::int64_t target : hwy::SupportedAndGeneratedTargets()) {
        SCOPED_TRACE(hwy::TargetName(target));
        hwy::SetSupportedTargetsForTest(target);
        for (const double widened : {1.0, 1e8, 1e14}) {
            WidenTexCoordMarginForTest(widened);
            for (int n = 0; n < 1500; ++n) {
                const double t0 = x(random);
                const double t1 = n % 7 == 0   ? t0 + 4e-7
                                  : n % 5 == 0 ? t0 - 25.0
                                               : t0 + 1.0 + std::fabs(x(random)) / 3;
                double tex0[2] = {texel(random), texel(random)}, tex1[2] = {texel(random), texel(random)};
                const double n0[3] = {unit(random), unit(random), unit(random)};
                const double n1[3] = {unit(random), unit(random), unit(random)};
                if (n % 11 == 0)
                    tex1[n % 2] = n % 3 == 0 ? nan : 3e9;
                const std::size_t count = static_cast<std::size_t>(n % 37);
                std::vector<double> t(count + kSpanPadding, nan);
                for (std::size_t i = 0; i < count; ++i) // past the far end on some spans
                    t[i] = t0 + static_cast<double>(i) * (n % 13 == 0 ? 3.0 : 1.0);
                std::vector<double> out[5];
                for (std::vector<double>& o : out)
                    o.assign(count + kSpanPadding, 0.0);
                double* const texOut[2] = {out[0].data(), out[1].data()};
                double* const normalOut[3] = {out[2].data(), out[3].data(), out[4].data()};
                InterpolateTexCoordsAndNormals(t.data(), count, t0, t1, tex0, tex1, n0, n1, texOut,
                                               normalOut);
                for (std::size_t i = 0; i < count; ++i) {
                    const CPoint2D c = InterpolateTexCoord(t[i], t0, t1, CPoint2D(tex0[0], tex0[1]),
                                                           CPoint2D(tex1[0], tex1[1]));
                    ASSERT_EQ(address(out[0][i], out[1][i]), address(c.x, c.y))
                        << t[i] << " " << t0 << " " << t1 << " widened " << widened;
                    const CVec3 v = InterpolateNormal(t[i], t0, t1, CVec3(n0[0], n0[1], n0[2]),
                                                      CVec3(n1[0], n1[1], n1[2]));
                    ASSERT_TRUE(std::memcmp(&out[2][i], &v.x, 8) == 0 &&
                                std::memcmp(&out[3][i], &v.y, 8) == 0 &&
                                std::memcmp(&out[4][i], &v.z, 8) == 0);
                }
            }
        }
    }
    WidenTexCoordMarginForTest(1.0);
    hwy::SetSupportedTargetsForTest(0);
}

} // namespace
