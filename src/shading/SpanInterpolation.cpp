// Span interpolation, compiled once per instruction set by Highway and picked at
// run time. Only correctly rounded operations (+, -, x, /) are used, in the order
// of the one-sample formulas, so every lane gives the scalar bits.

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "shading/SpanInterpolation.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep
#include <hwy/highway.h>

#include "shading/SpanInterpolation.h"

#include "geometry/Color.h"
#include "raster/Texture.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

#ifndef ORBO_SPAN_INTERPOLATION_SHARED
#define ORBO_SPAN_INTERPOLATION_SHARED
namespace orbo_span {
// What the tests multiply the texture coordinates' margin by.
inline std::atomic<double> g_texCoordMarginFactor{1.0};
} // namespace orbo_span
#endif

HWY_BEFORE_NAMESPACE();
namespace orbo_span {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

// The vector and point division: a divisor below 1e-06 in absolute value counts as 1.0.
inline double Guarded(double s)
{
    return std::fabs(s) < 1e-06 ? 1.0 : s;
}

// Stores the first n lanes of v at p (n at most a vector's lanes) and leaves
// what follows as it is. Whole vectors take a plain store: a masked store is
// slow on some processors (AMD ones among them).
template <class D, class T> HWY_INLINE void StoreFirst(hn::Vec<D> v, D d, T* p, std::size_t n)
{
    if (n == hn::Lanes(d)) {
        hn::StoreU(v, d, p);
        return;
    }
    HWY_ALIGN T lanes[HWY_MAX_BYTES / sizeof(T)];
    hn::Store(v, d, lanes);
    std::copy(lanes, lanes + n, p);
}

// (a0 (t - t1)) / g0 + (a1 (t - t0)) / g1, given u = t - t1 and w = t - t0.
template <class V> HWY_INLINE V Interpolated(V u, V w, V a0, V a1, V g0, V g1)
{
    return hn::Add(hn::Div(hn::Mul(u, a0), g0), hn::Div(hn::Mul(w, a1), g1));
}

void InterpolateAttributesImpl(const double* t, std::size_t count, double t0, double t1, int dims,
                               const double* a0, const double* a1, double* const* out)
{
    const hn::ScalableTag<double> d;
    const std::size_t lanes = hn::Lanes(d);
    const double g0 = Guarded(t0 - t1);
    const double g1 = Guarded(t1 - t0);
    const auto vt0 = hn::Set(d, t0), vt1 = hn::Set(d, t1);
    const auto vg0 = hn::Set(d, g0), vg1 = hn::Set(d, g1);
    // The last samples as a whole vector too: the lanes past count compute
    // whatever t holds there, and their results land in the padding.
    for (std::size_t i = 0; i < count; i += lanes) {
        const auto vt = hn::LoadU(d, t + i);
        const auto u = hn::Sub(vt, vt1);
        const auto w = hn::Sub(vt, vt0);
        for (int k = 0; k < dims; ++k)
            hn::StoreU(Interpolated(u, w, hn::Set(d, a0[k]), hn::Set(d, a1[k]), vg0, vg1), d, out[k] + i);
    }
}

// Texture coordinates through one reciprocal of the span's length rather than two
// divisions a coordinate, beside the normals' divisions, which keep the divider
// busy while the coordinates take the multiplier. Only the texel a coordinate
// names is ever read from it, so it need not have the exact bits, only name the
// same texel; where the bound below cannot tell, the divisions are done.
//
// The bound. With u = 2^-53, g = t0 - t1 unguarded (t1 - t0 = -g exactly) and t
// between t0 and t1, |fl(t - t1)| <= |g| and |fl(t - t0)| <= |g| (rounding keeps
// order), so each product p = fl(a (t - t1)) is at most |a| |g| (1 + u). The
// exact term is fl(p / g) = (p / g)(1 + e3); ours is fl(p fl(1 / g)) =
// (p / g)(1 + e1)(1 + e2), |e| <= u: they differ by at most 3.01u |p / g| <=
// 3.02u |a|, and each is at most |a| (1 + 3.01u). The sums of the two terms, each
// rounded once more, differ by at most 2 x 3.02u S + 2.01u S < 2^-50.4 S, where
// S = |a0| + |a1|. Widened by B = 2^-46 S, more than ten times that and more than
// the rounding of ours -+ B itself (at most 2^-52 x 1.01 S), the rounded ends lo
// and hi hold the exact coordinate and ours between them. Adding 0.5, rounding
// and truncating toward zero never decrease, so where lo and hi name the same
// texel, so do both. S <= 2^29 keeps every end well inside int's range, and
// |g| <= 2^40 the reciprocal far from underflow. With the guard (|g| < 1e-06,
// divisor 1) the reciprocal is 1 and the terms are exact.
constexpr double kTexCoordMargin = 0x1p-46;
constexpr double kTexCoordMostReach = 0x1p29;
constexpr double kTexCoordMostLength = 0x1p40;

void InterpolateTexCoordsAndNormalsImpl(const double* t, std::size_t count, double t0, double t1,
                                        const double* tex0, const double* tex1, const double* n0,
                                        const double* n1, double* const* texOut, double* const* normalOut)
{
    const double reach[2] = {std::fabs(tex0[0]) + std::fabs(tex1[0]),
                             std::fabs(tex0[1]) + std::fabs(tex1[1])};
    const double g0 = Guarded(t0 - t1);
    const double g1 = Guarded(t1 - t0);
    // Corners out of the bound's reach (not a number included) take the divisions.
    if (!(reach[0] <= kTexCoordMostReach && reach[1] <= kTexCoordMostReach &&
          std::fabs(g0) <= kTexCoordMostLength)) {
        InterpolateAttributesImpl(t, count, t0, t1, 2, tex0, tex1, texOut);
        InterpolateAttributesImpl(t, count, t0, t1, 3, n0, n1, normalOut);
        return;
    }
    const hn::ScalableTag<double> d;
    using V = hn::Vec<decltype(d)>;
    const std::size_t lanes = hn::Lanes(d);
    const double factor = g_texCoordMarginFactor.load(std::memory_order_relaxed);
    const V vt0 = hn::Set(d, t0), vt1 = hn::Set(d, t1);
    const V vg0 = hn::Set(d, g0), vg1 = hn::Set(d, g1);
    const double reciprocal = 1.0 / g0; // of g1 too, negated, unless both are the guard's 1
    const V y0 = hn::Set(d, reciprocal), y1 = hn::Set(d, g1 == g0 ? reciprocal : -reciprocal);
    const V low = hn::Set(d, std::min(t0, t1)), high = hn::Set(d, std::max(t0, t1));
    const V half = hn::Set(d, 0.5);
    const V margin0 = hn::Set(d, kTexCoordMargin * reach[0] * factor);
    const V margin1 = hn::Set(d, kTexCoordMargin * reach[1] * factor);
    for (std::size_t i = 0; i < count; i += lanes) {
        const V vt = hn::LoadU(d, t + i);
        const V u = hn::Sub(vt, vt1);
        const V w = hn::Sub(vt, vt0);
        for (int k = 0; k < 3; ++k)
            hn::StoreU(Interpolated(u, w, hn::Set(d, n0[k]), hn::Set(d, n1[k]), vg0, vg1), d,
                       normalOut[k] + i);
        V cu = hn::Add(hn::Mul(hn::Mul(u, hn::Set(d, tex0[0])), y0),
                       hn::Mul(hn::Mul(w, hn::Set(d, tex1[0])), y1));
        V cv = hn::Add(hn::Mul(hn::Mul(u, hn::Set(d, tex0[1])), y0),
                       hn::Mul(hn::Mul(w, hn::Set(d, tex1[1])), y1));
        // The texels of both ends, truncated as doubles (the same as to int
        // within 2^31); lanes past count are not checked, their results land in
        // the padding.
        const auto sameTexel = [&](V c, V margin) {
            return hn::Eq(hn::Trunc(hn::Add(hn::Sub(c, margin), half)),
                          hn::Trunc(hn::Add(hn::Add(c, margin), half)));
        };
        const auto settled = hn::Or(hn::And(hn::And(hn::Ge(vt, low), hn::Le(vt, high)),
                                            hn::And(sameTexel(cu, margin0), sameTexel(cv, margin1))),
                                    hn::Not(hn::FirstN(d, count - i)));
        if (!hn::AllTrue(d, settled)) {
            cu = Interpolated(u, w, hn::Set(d, tex0[0]), hn::Set(d, tex1[0]), vg0, vg1);
            cv = Interpolated(u, w, hn::Set(d, tex0[1]), hn::Set(d, tex1[1]), vg0, vg1);
        }
        hn::StoreU(cu, d, texOut[0] + i);
        hn::StoreU(cv, d, texOut[1] + i);
    }
}

// One texel the scalar way.
std::uint32_t TexelAt(double cu, double cv, const CTexture& texture)
{
    int u = 0, v = 0;
    TexelAddress(cu, cv, texture.Width(), texture.Height(), u, v);
    return texture.Tiles()[CTexture::TileIndex(u, v, texture.TilesPerRow())];
}

void LookUpTexelsImpl(const double* cu, const double* cv, std::size_t count, const CTexture& texture,
                      std::uint32_t* words)
{
    const hn::ScalableTag<double> d;
    const hn::Rebind<std::int32_t, decltype(d)> di;
    const std::size_t lanes = hn::Lanes(d);
    const auto half = hn::Set(d, 0.5);
    // Beyond this (or not a number) the truncation to int is the processor's own
    // answer, which only the scalar code reproduces.
    const auto limit = hn::Set(d, 2147483648.0);
    const auto zero = hn::Zero(di);
    const auto lastU = hn::Set(di, texture.Width() - 1), lastV = hn::Set(di, texture.Height() - 1);
    const auto tilesPerRow = hn::Set(di, texture.TilesPerRow());
    const auto within = hn::Set(di, CTexture::kTile - 1);
    const std::uint32_t* tiles = texture.Tiles();
    // The texels of `valid` samples from i: a whole vector's addresses are
    // computed, those of the lanes past valid from whatever cu and cv hold there,
    // but only the valid ones are read.
    const auto lookUp = [&](std::size_t i, std::size_t valid) {
        const auto su = hn::Add(hn::LoadU(d, cu + i), half);
        const auto sv = hn::Add(hn::LoadU(d, cv + i), half);
        auto inRange = hn::And(hn::Lt(hn::Abs(su), limit), hn::Lt(hn::Abs(sv), limit));
        if (valid < lanes)
            inRange = hn::Or(inRange, hn::Not(hn::FirstN(d, valid)));
        if (!hn::AllTrue(d, inRange)) {
            for (std::size_t k = i; k < i + valid; ++k)
                words[k] = TexelAt(cu[k], cv[k], texture);
            return;
        }
        // TexelAddress's rule: truncated, then capped at the last texel, then at 0.
        const auto u = hn::Max(hn::Min(hn::DemoteTo(di, su), lastU), zero);
        const auto v = hn::Max(hn::Min(hn::DemoteTo(di, sv), lastV), zero);
        // CTexture::TileIndex, in 32 bits (the texture's texels are numbered in 31).
        constexpr int kShift = CTexture::kTileShift;
        const auto tile = hn::Add(hn::Mul(hn::ShiftRight<kShift>(v), tilesPerRow), hn::ShiftRight<kShift>(u));
        const auto index = hn::Add(hn::ShiftLeft<2 * kShift>(tile),
                                   hn::Add(hn::ShiftLeft<kShift>(hn::And(v, within)), hn::And(u, within)));
        // The texels are read one by one: a gather instruction waits for all its
        // lanes and, on some processors, issues slowly; plain loads overlap.
        HWY_ALIGN std::int32_t at[HWY_MAX_BYTES / sizeof(double)];
        hn::Store(index, di, at);
        for (std::size_t k = 0; k < valid; ++k)
            words[i + k] = tiles[at[k]];
    };
    std::size_t i = 0;
    for (; i + lanes <= count; i += lanes)
        lookUp(i, lanes);
    if (i < count) // the last samples
        lookUp(i, count - i);
}

// One sample the scalar way: InterpolateColor, then ToColorRef.
std::uint32_t ColourRefAt(double t, double t0, double t1, const double* a0, const double* a1)
{
    const double w0 = (t - t1) / (t0 - t1);
    const double w1 = (t - t0) / (t1 - t0);
    return CColor(w0 * a0[0] + w1 * a1[0], w0 * a0[1] + w1 * a1[1], w0 * a0[2] + w1 * a1[2]).ToColorRef();
}

// The colours of a span, a vector at a time, each with the bits of high set:
// put(i, colours, valid) takes the packed colours of samples i .. i + valid - 1,
// putOne(k, colour) the colour of sample k where the vector cannot settle it.
template <bool kSmall, class Put, class PutOne>
HWY_INLINE void ColourSpan(const double* t, std::size_t count, double t0, double t1, const double* a0,
                           const double* a1, std::uint32_t high, const Put& put, const PutOne& putOne)
{
    const hn::ScalableTag<double> d;
    const hn::Rebind<std::int32_t, decltype(d)> di;
    const std::size_t lanes = hn::Lanes(d);
    const auto vt0 = hn::Set(d, t0), vt1 = hn::Set(d, t1);
    const auto d0 = hn::Set(d, t0 - t1), d1 = hn::Set(d, t1 - t0);
    const auto scale = hn::Set(d, 255.0);
    // Beyond this (or not a number) the truncation to int is the processor's own
    // answer, which only the scalar code reproduces.
    const auto limit = hn::Set(d, 2147483648.0);
    const auto weightLimit = hn::Set(d, 0x1p9);
    const auto low = hn::Set(di, 0xFF);
    const auto highBits = hn::Set(di, static_cast<std::int32_t>(high));
    // The colours of samples i .. i + valid - 1, from vt holding their positions.
    const auto span = [&](std::size_t i, hn::Vec<decltype(d)> vt, std::size_t valid) {
        const auto w0 = hn::Div(hn::Sub(vt, vt1), d0);
        const auto w1 = hn::Div(hn::Sub(vt, vt0), d1);
        const auto r =
            hn::Mul(hn::Add(hn::Mul(w0, hn::Set(d, a0[0])), hn::Mul(w1, hn::Set(d, a1[0]))), scale);
        const auto g =
            hn::Mul(hn::Add(hn::Mul(w0, hn::Set(d, a0[1])), hn::Mul(w1, hn::Set(d, a1[1]))), scale);
        const auto b =
            hn::Mul(hn::Add(hn::Mul(w0, hn::Set(d, a0[2])), hn::Mul(w1, hn::Set(d, a1[2]))), scale);
        bool inRange;
        if constexpr (kSmall) // see ColourSpan below
            inRange = hn::AllTrue(d, hn::Le(hn::Max(hn::Abs(w0), hn::Abs(w1)), weightLimit));
        else
            inRange = hn::AllTrue(d, hn::And(hn::And(hn::Lt(hn::Abs(r), limit), hn::Lt(hn::Abs(g), limit)),
                                             hn::Lt(hn::Abs(b), limit)));
        if (!inRange) {
            for (std::size_t k = i; k < i + valid; ++k)
                putOne(k, ColourRefAt(t[k], t0, t1, a0, a1) | high);
            return;
        }
        put(i,
            hn::Or(hn::Or(hn::Or(hn::And(hn::DemoteTo(di, r), low),
                                 hn::ShiftLeft<8>(hn::And(hn::DemoteTo(di, g), low))),
                          hn::ShiftLeft<16>(hn::And(hn::DemoteTo(di, b), low))),
                   highBits),
            valid);
    };
    std::size_t i = 0;
    for (; i + lanes <= count; i += lanes)
        span(i, hn::LoadU(d, t + i), lanes);
    // The last samples as a whole vector, lanes past count left as they are.
    if (i < count)
        span(i, hn::IfThenElseZero(hn::FirstN(d, count - i), hn::LoadU(d, t + i)), count - i);
}

// With every corner channel within 2^12 and both weights within 2^9 (not a
// number fails both), every channel times 255 stays below 2^30: the weights
// alone tell that the truncation is in range.
template <class Put, class PutOne>
HWY_INLINE void ColourSpan(const double* t, std::size_t count, double t0, double t1, const double* a0,
                           const double* a1, std::uint32_t high, const Put& put, const PutOne& putOne)
{
    bool small = true;
    for (int k = 0; k < 3; ++k)
        small = small && std::fabs(a0[k]) <= 0x1p12 && std::fabs(a1[k]) <= 0x1p12;
    if (small)
        ColourSpan<true>(t, count, t0, t1, a0, a1, high, put, putOne);
    else
        ColourSpan<false>(t, count, t0, t1, a0, a1, high, put, putOne);
}

void InterpolateColourRefsImpl(const double* t, std::size_t count, double t0, double t1, const double* a0,
                               const double* a1, std::uint32_t* out)
{
    const hn::Rebind<std::int32_t, hn::ScalableTag<double>> di;
    ColourSpan(
        t, count, t0, t1, a0, a1, 0,
        [&](std::size_t i, auto colours, std::size_t valid) {
            StoreFirst(colours, di, reinterpret_cast<std::int32_t*>(out + i), valid);
        },
        [&](std::size_t k, std::uint32_t colour) { out[k] = colour; });
}

void InterpolateColourPixelsImpl(const double* t, const int* px, std::size_t count, double t0, double t1,
                                 const double* a0, const double* a1, std::uint32_t high, std::uint32_t* row)
{
    const hn::Rebind<std::int32_t, hn::ScalableTag<double>> di;
    HWY_ALIGN std::int32_t lanes[HWY_MAX_BYTES / sizeof(double)];
    ColourSpan(
        t, count, t0, t1, a0, a1, high,
        [&](std::size_t i, auto colours, std::size_t valid) {
            hn::Store(colours, di, lanes);
            for (std::size_t k = 0; k < valid; ++k)
                row[px[i + k]] = static_cast<std::uint32_t>(lanes[k]);
        },
        [&](std::size_t k, std::uint32_t colour) { row[px[k]] = colour; });
}

} // namespace HWY_NAMESPACE
} // namespace orbo_span
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace orbo_span {
HWY_EXPORT(InterpolateAttributesImpl);
HWY_EXPORT(InterpolateTexCoordsAndNormalsImpl);
HWY_EXPORT(InterpolateColourRefsImpl);
HWY_EXPORT(LookUpTexelsImpl);
HWY_EXPORT(InterpolateColourPixelsImpl);
} // namespace orbo_span

void InterpolateAttributes(const double* t, std::size_t count, double t0, double t1, int dims,
                           const double* a0, const double* a1, double* const* out)
{
    HWY_DYNAMIC_DISPATCH(orbo_span::InterpolateAttributesImpl)(t, count, t0, t1, dims, a0, a1, out);
}

void InterpolateTexCoordsAndNormals(const double* t, std::size_t count, double t0, double t1,
                                    const double* tex0, const double* tex1, const double* n0,
                                    const double* n1, double* const* texOut, double* const* normalOut)
{
    HWY_DYNAMIC_DISPATCH(orbo_span::InterpolateTexCoordsAndNormalsImpl)
    (t, count, t0, t1, tex0, tex1, n0, n1, texOut, normalOut);
}

void WidenTexCoordMarginForTest(double factor)
{
    orbo_span::g_texCoordMarginFactor.store(factor);
}

void LookUpTexels(const double* cu, const double* cv, std::size_t count, const CTexture& texture,
                  std::uint32_t* words)
{
    HWY_DYNAMIC_DISPATCH(orbo_span::LookUpTexelsImpl)(cu, cv, count, texture, words);
}

void InterpolateColourRefs(const double* t, std::size_t count, double t0, double t1, const double* a0,
                           const double* a1, std::uint32_t* out)
{
    HWY_DYNAMIC_DISPATCH(orbo_span::InterpolateColourRefsImpl)(t, count, t0, t1, a0, a1, out);
}

void InterpolateColourPixels(const double* t, const int* px, std::size_t count, double t0, double t1,
                             const double* a0, const double* a1, std::uint32_t high, std::uint32_t* row)
{
    HWY_DYNAMIC_DISPATCH(orbo_span::InterpolateColourPixelsImpl)(t, px, count, t0, t1, a0, a1, high, row);
}
#endif // HWY_ONCE
