// Batch shading, compiled once per instruction set by Highway and picked at run time.
//
// Exactness: every lane runs the IEEE operations of CLightingModel::Illuminate and
// CColor::ToColorRef in their order (operands of + and x may swap, groupings never
// do). The build forbids contraction and no multiply-add is ever asked for. The one
// departure, dividing a vector by its length through one reciprocal, is certified
// like the power below.
//
// The specular power c^n for n = 100 or 80 is (c^64 c^32) c^4 or c^64 c^16 by
// squaring: n - 1 roundings, so within (n - 1)u / (1 - (n - 1)u) of the true value
// (u = 2^-53), while std::pow is within 1 ulp. Both lie in [A(1 - 2^-45), A(1 + 2^-45)]
// around the computed A. Everything after the power (products with non-negative
// factors, sums, the clamp, x 255, truncation) is monotone in it, so when both ends
// of that interval give the same bytes, those are the bytes std::pow would give.
// Where they differ the sample is evaluated one at a time with std::pow.
//
// The unit vectors n, v, l and h are x (1/L) rather than x / L: one division
// instead of three. With u = 2^-53, fl(x fl(1/L)) = (x/L)(1+e1)(1+e2) against
// fl(x/L) = (x/L)(1+e3), |e| <= u, so each component is within 3.01u of the
// divided one, relatively (results below 2^-1000 differ by less than 2^-1070
// absolutely), and |dn|, |dv|, |dl| <= 3.01u for vectors of length at most 1 + 2u.
// Then, each dot product also rounding differently (2 x 3u):
//   |d(n.l)| <= |dn| + |dl| + 6.1u <= 13u;
//   s = l + v: |ds| <= |dl| + |dv| + 4.1u <= 11u, and h = s / |s|, both ways
//   rounded within 5u: |dh| <= 2|ds| / |s| + 10u <= 186u where |s| >= 1/8;
//   c = h.n: |dc| <= |dh| + |dn| + 6.1u <= 196u, so
//   |d c^k| <= k (1 + 200u)^(k-1) |dc| <= 19700u < 2^-38.7 for k <= 100.
// Every light adds f (n.l Rd + c^k Rs) with f in [0, 1] and Rd, Rs >= 0 (the
// conditions of the power's interval), so its term moves by at most
// 19700u (Rd + Rs), and the two evaluations' own roundings (about a dozen
// operations on values at most S) by at most 16u S more, where S is the largest
// channel's sum of emission, ambient and every light's diffuse and specular
// reflectance. With at most 64 lights the totals differ by less than
// (19700 + 16 x 64 + 8)u S < 2^-37.6 S. With the reciprocal the power is not
// bracketed either: one total is kept, with the power by squaring A in place of
// std::pow's P. |P - A| <= 2^-45 A and A <= 1 + 2^-39 (|c| <= 1 + 200u), or both
// lie in [0, 2^-760] where c^2 < 2^-19, so each light's term moves by at most
// 2^-44.9 Rs more and the totals by less than 2^-37.6 S + 2^-38.9 S < 2^-37.1 S.
// Widening the total both ways by 2^-36 S, about twice that, settles the bytes the
// divisions and std::pow would give whenever both ends agree. Lanes where no light
// adds anything are exact and are not widened, nor where the term is exact: a zero
// n (n.l and n.h zero either way, so A = P = 0), or a zero l with a vanishing l +
// v (see below: n.l zero either way, |c| <= 2^-21 so that A and P both underflow
// to 0). A lane is left to the one-at-a-time evaluation where the light's side is
// in doubt (|n.l| < 2^-40 |n| |l|, far above 13u |n| |l|: a normal or a light
// direction below the guard keeps its length, less than 1, and the bounds on it
// and on n.l scale with it; a zero one gives a zero n.l either way) or where 2^-21
// <= |s| < 1/8. Below 2^-21 both ways stay under h's guard of 1e-6 (|ds| <= 11u),
// so |c| <= 2^-21 both ways and both powers underflow to 0 (|c|^80 <= 2^-1680).

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "lighting/LightingBatch.cpp"
#include <hwy/foreach_target.h> // IWYU pragma: keep
#include <hwy/highway.h>

#include "lighting/LightingBatch.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

#ifndef ORBO_LIGHTING_BATCH_SHARED
#define ORBO_LIGHTING_BATCH_SHARED
namespace orbo_shading {

// What every instruction set's kernel needs to know about one call.
struct CallSetup
{
    CShadingSamples samples;
    const std::uint32_t* texels; // set for the lit texture only
    const CMaterial* material;   // the surface's material; null for the lit texture
    const CLightingModel* lights;
    CPoint3D eye;
    double shininess;
    int squaring;        // 100 or 80 when the bounded power applies, else 0
    double margin = 0.0; // the widening for the reciprocal, 0 where it does not apply
};

// The widening of the interval for the reciprocal, relative to S, and what the
// tests may multiply it by to see the fallback at work.
constexpr double kReciprocalMargin = 0x1p-36;
constexpr int kReciprocalMostLights = 64;
inline std::atomic<double> g_marginFactor{1.0};

// kReciprocalMargin S, where S is the largest channel's sum of emission, ambient
// and every light's diffuse and specular reflectance (a texel reflects at most 1:
// its bytes are at most 255);
// 0 when the interval does not apply at all.
inline double ReciprocalMargin(const CLightingModel& lights, const CMaterial* material, int squaring)
{
    if (squaring == 0 || lights.m_nLights > kReciprocalMostLights)
        return 0.0;
    double largest = 0.0;
    for (int channel = 0; channel < 3; ++channel) {
        const auto of = [channel](const CColor& c) { return channel == 0 ? c.r : channel == 1 ? c.g : c.b; };
        const auto reflect = [&](const CColor& light, const CColor CMaterial::*part) {
            return of(light) * (material != nullptr ? of(material->*part) : 1.0);
        };
        double sum = (material != nullptr ? of(material->m_emission) : 0.0) +
                     reflect(lights.m_ambient, &CMaterial::m_ambient);
        for (int i = 0; i < lights.m_nLights; ++i)
            sum += reflect(lights.m_pLights[i].m_diffuse, &CMaterial::m_diffuse) +
                   reflect(lights.m_pLights[i].m_specular, &CMaterial::m_specular);
        largest = std::max(largest, sum);
    }
    return kReciprocalMargin * largest * g_marginFactor.load(std::memory_order_relaxed);
}

// The texture's working material for one sample: its texel as ambient, diffuse
// and specular reflectance, black emission, shininess 80.
inline CMaterial TexelMaterial(double r, double g, double b)
{
    CMaterial m;
    m.m_ambient = CColor(r, g, b);
    m.m_diffuse = m.m_ambient;
    m.m_specular = m.m_ambient;
    m.m_emission = CColor(0.0, 0.0, 0.0);
    m.m_shininess = 80.0;
    return m;
}

// A texel byte as a reflectance: the byte, converted exactly, times 1/255.
inline double ByteReflectance(std::uint32_t texel, int shift)
{
    return static_cast<double>(static_cast<int>((texel >> shift) & 0xFFu)) * kByteToUnit;
}

// The one-at-a-time evaluation, for samples the interval cannot settle.
inline std::uint32_t ShadeOne(const CallSetup& s, std::size_t i)
{
    const CShadingSamples& p = s.samples;
    const CPoint3D point(p.px[i], p.y[i], p.z[i]);
    const CVec3 normal(p.nx[i], p.ny[i], p.nz[i]);
    if (s.material != nullptr)
        return s.lights->Illuminate(s.eye, point, normal, s.material).ToColorRef();
    const std::uint32_t texel = s.texels[i];
    const CMaterial m =
        TexelMaterial(ByteReflectance(texel, 0), ByteReflectance(texel, 8), ByteReflectance(texel, 16));
    return s.lights->Illuminate(s.eye, point, normal, &m).ToColorRef();
}

inline bool FiniteNonNegative(double v)
{
    return v >= 0.0 && v <= 1.7976931348623157e308;
}
inline bool FiniteNonNegative(const CColor& c)
{
    return FiniteNonNegative(c.r) && FiniteNonNegative(c.g) && FiniteNonNegative(c.b);
}

// The interval argument needs the result to grow with every light's power: it holds
// when all colours and attenuation constants are finite and non-negative. Then the
// power by squaring applies for the shininess 100 and 80; otherwise every lane calls
// std::pow.
inline int SquaringExponent(const CLightingModel& lights, const CMaterial* material, double shininess)
{
    if (shininess != 100.0 && shininess != 80.0)
        return 0;
    if (!FiniteNonNegative(lights.m_ambient))
        return 0;
    if (material != nullptr &&
        !(FiniteNonNegative(material->m_ambient) && FiniteNonNegative(material->m_diffuse) &&
          FiniteNonNegative(material->m_specular) && FiniteNonNegative(material->m_emission)))
        return 0;
    for (int i = 0; i < lights.m_nLights; ++i) {
        const CLightSource& l = lights.m_pLights[i];
        if (!(FiniteNonNegative(l.m_diffuse) && FiniteNonNegative(l.m_specular) &&
              FiniteNonNegative(l.m_attConstant) && FiniteNonNegative(l.m_attLinear) &&
              FiniteNonNegative(l.m_attQuadratic)))
            return 0;
    }
    return static_cast<int>(shininess);
}

} // namespace orbo_shading
#endif // ORBO_LIGHTING_BATCH_SHARED

HWY_BEFORE_NAMESPACE();
namespace orbo_shading {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

constexpr std::size_t kMaxLanes = HWY_MAX_BYTES / sizeof(double);

// Bounds of the bracket around the power by squaring, and its range rules.
constexpr double kBelowBound = 1.0 - 0x1p-45;
constexpr double kAboveBound = 1.0 + 0x1p-45;
constexpr double kSmallSquare = 0x1p-19; // c^2 below this: c^n < 2^-760
constexpr double kTinyPower = 0x1p-700;  // so [0, 2^-700] holds the power
constexpr double kLargeSquare = 4.0;     // up to this every intermediate is normal

// Length below which Normalized leaves a vector as it is, and divisor below which
// the vector division divides by 1.
constexpr double kNormalizeGuard = 1e-05;
constexpr double kDivideGuard = 1e-06;

// Where the reciprocal's bound leaves a lane to the one-at-a-time evaluation:
// the light's side in doubt, or l + v short but not vanishing.
constexpr double kLitDoubt = 0x1p-40;
constexpr double kShortestHalf = 0.125;
constexpr double kVanishingHalf = 0x1p-21;

template <class D, class V = hn::Vec<D>> HWY_INLINE auto InDoubtfulHalf(D d, V halfLength)
{
    return hn::And(hn::Ge(halfLength, hn::Set(d, kVanishingHalf)),
                   hn::Lt(halfLength, hn::Set(d, kShortestHalf)));
}

template <class D, class V = hn::Vec<D>> HWY_INLINE V Length(V x, V y, V z)
{
    return hn::Sqrt(hn::Add(hn::Add(hn::Mul(x, x), hn::Mul(y, y)), hn::Mul(z, z)));
}

// Dot(a, b) = a.x b.x + a.y b.y + a.z b.z, summed left to right.
template <class V> HWY_INLINE V Dot3(V ax, V ay, V az, V bx, V by, V bz)
{
    return hn::Add(hn::Add(hn::Mul(ax, bx), hn::Mul(ay, by)), hn::Mul(az, bz));
}

// Replaces the lanes of lo and hi selected by `exact` with std::pow(c, shininess).
template <class D, class V = hn::Vec<D>, class M = hn::Mask<D>>
HWY_NOINLINE void ExactPower(D d, V c, M exact, double shininess, V& lo, V& hi)
{
    HWY_ALIGN double base[kMaxLanes];
    HWY_ALIGN double pick[kMaxLanes];
    HWY_ALIGN double low[kMaxLanes];
    HWY_ALIGN double high[kMaxLanes];
    hn::Store(c, d, base);
    hn::Store(hn::IfThenElseZero(exact, hn::Set(d, 1.0)), d, pick);
    hn::Store(lo, d, low);
    hn::Store(hi, d, high);
    for (std::size_t i = 0; i < hn::Lanes(d); ++i) {
        if (pick[i] != 0.0) {
            low[i] = std::pow(base[i], shininess);
            high[i] = low[i];
        }
    }
    lo = hn::Load(d, low);
    hi = hn::Load(d, high);
}

// The interval [lo, hi] holding std::pow(c, shininess) in the lanes of `lit`.
// Unbracketed (where the reciprocal's margin covers the power's error too, see
// the top), lo and hi are both the power by squaring.
template <bool kBracket, class D, class V = hn::Vec<D>, class M = hn::Mask<D>>
HWY_INLINE void Power(D d, V c, M lit, int squaring, double shininess, V& lo, V& hi)
{
    if (squaring == 0) {
        lo = hn::Zero(d);
        hi = lo;
        if (!hn::AllFalse(d, lit))
            ExactPower(d, c, lit, shininess, lo, hi);
        return;
    }
    const V c2 = hn::Mul(c, c);
    const V c4 = hn::Mul(c2, c2);
    const V c8 = hn::Mul(c4, c4);
    const V c16 = hn::Mul(c8, c8);
    const V c32 = hn::Mul(c16, c16);
    const V c64 = hn::Mul(c32, c32);
    const V a = squaring == 100 ? hn::Mul(hn::Mul(c64, c32), c4) : hn::Mul(c64, c16);
    const auto small = hn::Lt(c2, hn::Set(d, kSmallSquare));
    const auto normal = hn::And(hn::Ge(c2, hn::Set(d, kSmallSquare)), hn::Le(c2, hn::Set(d, kLargeSquare)));
    if constexpr (kBracket) {
        lo = hn::IfThenElseZero(normal, hn::Mul(a, hn::Set(d, kBelowBound)));
        hi = hn::IfThenElse(normal, hn::Mul(a, hn::Set(d, kAboveBound)),
                            hn::IfThenElseZero(small, hn::Set(d, kTinyPower)));
    } else {
        lo = a; // below 2^-950 where c^2 is small
        hi = a;
    }
    // Large or not-a-number bases take std::pow itself.
    const auto other = hn::AndNot(hn::Or(normal, small), lit);
    if (!hn::AllFalse(d, other))
        ExactPower(d, c, other, shininess, lo, hi);
}

template <class D, class V = hn::Vec<D>> HWY_INLINE auto PackColour(D d, V r, V g, V b)
{
    const hn::Rebind<std::int32_t, D> di;
    const V zero = hn::Zero(d);
    const V one = hn::Set(d, 1.0);
    const V scale = hn::Set(d, 255.0);
    const auto byte = [&](V v) {
#if HWY_ARCH_X86
        // x86's maximum gives its second operand where either is not a number,
        // so below 0 and not a number both become 0, as ToColorRef has it.
        v = hn::Min(hn::Max(v, zero), one);
#else
        v = hn::IfThenElse(hn::Ge(v, zero), v, zero); // below 0, or not a number
        v = hn::IfThenElse(hn::Gt(v, one), one, v);
#endif
        return hn::DemoteTo(di, hn::Mul(v, scale)); // truncates toward zero
    };
    return hn::Or(hn::Or(byte(r), hn::ShiftLeft<8>(byte(g))), hn::ShiftLeft<16>(byte(b)));
}

// x, y, z made a unit vector through one reciprocal of their guarded length; by
// dividing where a lane's divisor is not within [guard, 2^500] (not a number
// included), or when `reciprocal` is off. Returns the length; unitLength, when
// asked for, is about the length once normalised: 1, or the length itself where
// the guard leaves the vector as it is. kShort: the length is known to be at
// most 2^500 or not a number, where the reciprocal gives not a number too.
template <bool kShort = false, class D, class V = hn::Vec<D>>
HWY_INLINE V Normalise(D d, V& x, V& y, V& z, double guard, bool reciprocal, V* unitLength = nullptr)
{
    // A sum of squares is +0 or more, or not a number, and so is its root: no
    // absolute value is needed to compare it with the guard.
    const V length = Length<D>(x, y, z);
    const auto guarded = hn::Lt(length, hn::Set(d, guard));
    const V divisor = hn::IfThenElse(guarded, hn::Set(d, 1.0), length);
    if (unitLength != nullptr)
        *unitLength = hn::IfThenElse(guarded, length, hn::Set(d, 1.0));
    if (!reciprocal || (!kShort && !hn::AllTrue(d, hn::Le(divisor, hn::Set(d, 0x1p500))))) {
        x = hn::Div(x, divisor);
        y = hn::Div(y, divisor);
        z = hn::Div(z, divisor);
        return length;
    }
    const V r = hn::Div(hn::Set(d, 1.0), divisor);
    x = hn::Mul(x, r);
    y = hn::Mul(y, r);
    z = hn::Mul(z, r);
    return length;
}

// A light colour channel times the reflectance: the material's for a surface, the
// texel's for the texture.
template <bool kTextured, class D, class V = hn::Vec<D>>
HWY_INLINE V Reflect(D d, double lightChannel, double materialChannel, V texel)
{
    if constexpr (kTextured)
        return hn::Mul(hn::Set(d, lightChannel), texel);
    else
        return hn::Set(d, lightChannel * materialChannel);
}

// Writes the `valid` colours starting at `first` where both ends of the interval
// give the same bytes, and evaluates the others one at a time. Returns how many
// needed that.
template <class D, class VI>
HWY_INLINE std::size_t StoreSettled(D d, const CallSetup& s, std::size_t first, std::size_t valid, VI low,
                                    VI high, std::uint32_t* out)
{
    const hn::Rebind<std::int32_t, D> di;
    if (valid == hn::Lanes(d) && hn::AllTrue(di, hn::Eq(low, high))) {
        hn::StoreU(low, di, reinterpret_cast<std::int32_t*>(out + first));
        return 0;
    }
    HWY_ALIGN std::int32_t lowBytes[kMaxLanes];
    HWY_ALIGN std::int32_t highBytes[kMaxLanes];
    hn::Store(low, di, lowBytes);
    hn::Store(high, di, highBytes);
    std::size_t settledOneByOne = 0;
    for (std::size_t i = 0; i < valid; ++i) {
        if (lowBytes[i] == highBytes[i]) {
            out[first + i] = static_cast<std::uint32_t>(lowBytes[i]);
        } else {
            out[first + i] = ShadeOne(s, first + i);
            ++settledOneByOne;
        }
    }
    return settledOneByOne;
}

// Samples are lit a chunk at a time, phase by phase: all unit vectors of the
// chunk, then for each light its geometry for all samples and its terms for all
// samples, then the packing. One vector of samples taken through every phase at
// once is a single chain of dependent operations longer than the processor can
// look ahead; a phase over many vectors gives it independent work to overlap.
// Every lane still runs the same operations in the same order.
constexpr std::size_t kChunk = 64;
static_assert(kChunk % kMaxLanes == 0);

// What the phases pass on, one value per sample of the chunk.
struct SChunk
{
    HWY_ALIGN double nx[kChunk], ny[kChunk], nz[kChunk]; // the unit normal
    HWY_ALIGN double kr[kChunk], kg[kChunk], kb[kChunk]; // the texel's reflectance, lit texture only
    HWY_ALIGN double vx[kChunk], vy[kChunk], vz[kChunk]; // the unit direction to the eye
    HWY_ALIGN double dist[kChunk];                       // the current light's distance
    HWY_ALIGN double lx[kChunk], ly[kChunk], lz[kChunk]; // the unit direction to that light
    HWY_ALIGN double nDotL[kChunk];                      // the normal times the unit direction to that light
    HWY_ALIGN double nDotH[kChunk];                      // the normal times the unit half vector
    HWY_ALIGN double nLength[kChunk]; // |n| and |l|: 1, or the length itself below the guard
    HWY_ALIGN double lLength[kChunk];
    HWY_ALIGN double halfLength[kChunk]; // |l + v|
    // With the reciprocal only: how far the interval's ends move apart, and 1
    // where only the one-at-a-time evaluation will do.
    HWY_ALIGN double widen[kChunk];
    HWY_ALIGN double doubt[kChunk];
    bool reciprocal; // whether the unit vectors take the reciprocal
    // Whether every normal of the chunk, and every direction to the current light,
    // was long enough to be normalised, and every l + v at least 1/8 long: the
    // common case, where the marks below take a short cut.
    bool unitNormals;
    bool unitLight;
    // The running totals of the three channels at both ends of the power's interval.
    HWY_ALIGN double loR[kChunk], loG[kChunk], loB[kChunk];
    HWY_ALIGN double hiR[kChunk], hiG[kChunk], hiB[kChunk];
};

// n = normal.Normalized(), v = CVec3(p, eye).Normalized(), and the texels'
// reflectances (each byte, converted exactly, times 1/255: within [0, 1], as the
// interval argument and the reciprocal's margin need).
template <bool kTextured, class D>
HWY_INLINE void UnitVectors(D d, const CallSetup& s, std::size_t first, std::size_t count, SChunk& c)
{
    using V = hn::Vec<D>;
    const CShadingSamples& in = s.samples;
    c.reciprocal = s.margin > 0.0;
    if constexpr (kTextured) {
        const hn::Rebind<std::int32_t, D> di;
        const auto low = hn::Set(di, 0xFF);
        const V unit = hn::Set(d, kByteToUnit);
        const auto channel = [&](auto bytes) { return hn::Mul(hn::PromoteTo(d, hn::And(bytes, low)), unit); };
        for (std::size_t i = 0; i < count; i += hn::Lanes(d)) {
            const auto w = hn::LoadU(di, reinterpret_cast<const std::int32_t*>(s.texels + first + i));
            hn::Store(channel(w), d, c.kr + i);
            hn::Store(channel(hn::ShiftRight<8>(w)), d, c.kg + i);
            hn::Store(channel(hn::ShiftRight<16>(w)), d, c.kb + i);
        }
    }
    auto unit = hn::Eq(hn::Zero(d), hn::Zero(d));
    for (std::size_t i = 0; i < count; i += hn::Lanes(d)) {
        V nx = hn::LoadU(d, in.nx + first + i), ny = hn::LoadU(d, in.ny + first + i);
        V nz = hn::LoadU(d, in.nz + first + i);
        V nLength;
        Normalise(d, nx, ny, nz, kNormalizeGuard, c.reciprocal, &nLength);
        hn::Store(nLength, d, c.nLength + i);
        unit = hn::And(unit, hn::Eq(nLength, hn::Set(d, 1.0)));
        V vx = hn::Sub(hn::Set(d, s.eye.x), hn::LoadU(d, in.px + first + i));
        V vy = hn::Sub(hn::Set(d, s.eye.y), hn::LoadU(d, in.y + first + i));
        V vz = hn::Sub(hn::Set(d, s.eye.z), hn::LoadU(d, in.z + first + i));
        Normalise(d, vx, vy, vz, kNormalizeGuard, c.reciprocal);
        hn::Store(nx, d, c.nx + i), hn::Store(ny, d, c.ny + i), hn::Store(nz, d, c.nz + i);
        hn::Store(vx, d, c.vx + i), hn::Store(vy, d, c.vy + i), hn::Store(vz, d, c.vz + i);
    }
    c.unitNormals = hn::AllTrue(d, unit);
}

// The totals at the emission, not widened, where no light has added its term:
// the first light that is on starts from these values itself.
template <bool kTextured, class D>
HWY_INLINE void StartTotals(D d, const CallSetup& s, std::size_t count, SChunk& c)
{
    const CColor emission = kTextured ? CColor(0.0, 0.0, 0.0) : s.material->m_emission;
    for (std::size_t i = 0; i < count; i += hn::Lanes(d)) {
        hn::Store(hn::Set(d, emission.r), d, c.loR + i), hn::Store(hn::Set(d, emission.r), d, c.hiR + i);
        hn::Store(hn::Set(d, emission.g), d, c.loG + i), hn::Store(hn::Set(d, emission.g), d, c.hiG + i);
        hn::Store(hn::Set(d, emission.b), d, c.loB + i), hn::Store(hn::Set(d, emission.b), d, c.hiB + i);
        hn::Store(hn::Zero(d), d, c.widen + i), hn::Store(hn::Zero(d), d, c.doubt + i);
    }
}

// One light's geometry: l = (light - p).Normalized() with its distance, n . l, and
// n . h with h = (l + v) / |l + v|, the divisor guarded as the vector division does.
template <class D>
HWY_INLINE void LightGeometry(D d, const CallSetup& s, const CLightSource& light, std::size_t first,
                              std::size_t count, SChunk& c)
{
    using V = hn::Vec<D>;
    const CShadingSamples& in = s.samples;
    auto unit = hn::Eq(hn::Zero(d), hn::Zero(d));
    for (std::size_t i = 0; i < count; i += hn::Lanes(d)) {
        const V nx = hn::Load(d, c.nx + i), ny = hn::Load(d, c.ny + i), nz = hn::Load(d, c.nz + i);
        V lx = hn::Sub(hn::Set(d, light.m_position.x), hn::LoadU(d, in.px + first + i));
        V ly = hn::Sub(hn::Set(d, light.m_position.y), hn::LoadU(d, in.y + first + i));
        V lz = hn::Sub(hn::Set(d, light.m_position.z), hn::LoadU(d, in.z + first + i));
        V lLength;
        hn::Store(Normalise(d, lx, ly, lz, kNormalizeGuard, c.reciprocal, &lLength), d, c.dist + i);
        hn::Store(lLength, d, c.lLength + i);
        hn::Store(Dot3(nx, ny, nz, lx, ly, lz), d, c.nDotL + i);
        hn::Store(lx, d, c.lx + i), hn::Store(ly, d, c.ly + i), hn::Store(lz, d, c.lz + i);
        unit = hn::And(unit, hn::Eq(lLength, hn::Set(d, 1.0)));
    }
    // h in a phase of its own: its root and division wait on l's.
    for (std::size_t i = 0; i < count; i += hn::Lanes(d)) {
        const V nx = hn::Load(d, c.nx + i), ny = hn::Load(d, c.ny + i), nz = hn::Load(d, c.nz + i);
        const V lx = hn::Load(d, c.lx + i), ly = hn::Load(d, c.ly + i), lz = hn::Load(d, c.lz + i);
        V hx = hn::Add(lx, hn::Load(d, c.vx + i));
        V hy = hn::Add(ly, hn::Load(d, c.vy + i));
        V hz = hn::Add(lz, hn::Load(d, c.vz + i));
        // l and v are at most 1 + 2^-50 long, so l + v at most 2.01.
        const V halfLength = Normalise<true>(d, hx, hy, hz, kDivideGuard, c.reciprocal);
        hn::Store(halfLength, d, c.halfLength + i);
        hn::Store(Dot3(hx, hy, hz, nx, ny, nz), d, c.nDotH + i);
        unit = hn::And(unit, hn::Ge(halfLength, hn::Set(d, kShortestHalf)));
    }
    c.unitLight = hn::AllTrue(d, unit);
}

// With the reciprocal: notes the lanes that only the one-at-a-time evaluation
// settles, and widens those whose total this light's term may move (see the
// reciprocal's bound at the top). kFirst: nothing noted yet.
template <bool kFirst, class D, class V = hn::Vec<D>, class M = hn::Mask<D>>
HWY_INLINE void MarkDoubtAndWidening(D d, const CallSetup& s, std::size_t i, V nDotL, M lit, SChunk& c)
{
    const V zero = hn::Zero(d);
    const V nLength = hn::Load(d, c.nLength + i);
    const V sideDoubt = hn::Mul(hn::Mul(nLength, hn::Load(d, c.lLength + i)), hn::Set(d, kLitDoubt));
    const auto doubt = hn::Or(hn::Lt(hn::Abs(nDotL), sideDoubt),
                              hn::And(lit, InDoubtfulHalf(d, hn::Load(d, c.halfLength + i))));
    hn::Store(hn::IfThenElse(doubt, hn::Set(d, 1.0), kFirst ? zero : hn::Load(d, c.doubt + i)), d,
              c.doubt + i);
    // Exact terms: a zero normal makes n.l and n.h zero either way; a zero l with
    // a vanishing l + v leaves n.l zero and the power 0 either way.
    const V lLength = hn::Load(d, c.lLength + i);
    const auto moves =
        hn::Or(hn::Gt(lLength, zero), hn::Ge(hn::Load(d, c.halfLength + i), hn::Set(d, kVanishingHalf)));
    const auto moved = hn::And(hn::And(lit, hn::Gt(nLength, zero)), moves);
    hn::Store(hn::IfThenElse(moved, hn::Set(d, s.margin), kFirst ? zero : hn::Load(d, c.widen + i)), d,
              c.widen + i);
}

// MarkDoubtAndWidening where n and l were normalised (|n| = |l| = 1) and
// |l + v| >= 1/8: the side's doubt is |n.l| < 2^-40, no half vector is in doubt,
// and every lit lane is widened.
template <bool kFirst, class D, class V = hn::Vec<D>, class M = hn::Mask<D>>
HWY_INLINE void MarkUnitDoubtAndWidening(D d, const CallSetup& s, std::size_t i, V nDotL, M lit, SChunk& c)
{
    const V zero = hn::Zero(d);
    const auto doubt = hn::Lt(hn::Abs(nDotL), hn::Set(d, kLitDoubt));
    hn::Store(hn::IfThenElse(doubt, hn::Set(d, 1.0), kFirst ? zero : hn::Load(d, c.doubt + i)), d,
              c.doubt + i);
    hn::Store(hn::IfThenElse(lit, hn::Set(d, s.margin), kFirst ? zero : hn::Load(d, c.widen + i)), d,
              c.widen + i);
}

// Adds one light that is on: f (nDotL diffuse + power specular) where the surface
// faces the light, with f = 1 / (c0 + (c2 d + c1) d) capped at 1; the lit sum
// starts from 0.0 plus the diffuse term.
// kFirst: no light has added its term yet, and the totals start from the
// emission, not widened, rather than from what is stored.
// kBracket: the totals are kept at both ends of the power's interval; otherwise
// only the low ones, which then stand for both.
template <bool kTextured, bool kFirst, bool kBracket, class D>
HWY_INLINE void AddLightTerms(D d, const CallSetup& s, const CLightSource& light, int squaring,
                              std::size_t count, SChunk& c)
{
    using V = hn::Vec<D>;
    const V zero = hn::Zero(d), one = hn::Set(d, 1.0);
    const CColor noColour(0.0, 0.0, 0.0);
    const CColor& mDiffuse = kTextured ? noColour : s.material->m_diffuse;
    const CColor& mSpecular = kTextured ? noColour : s.material->m_specular;
    const CColor& emission = kTextured ? noColour : s.material->m_emission; // where the totals start
    for (std::size_t i = 0; i < count; i += hn::Lanes(d)) {
        V kr = zero, kg = zero, kb = zero;
        if constexpr (kTextured)
            kr = hn::Load(d, c.kr + i), kg = hn::Load(d, c.kg + i), kb = hn::Load(d, c.kb + i);
        const V nDotL = hn::Load(d, c.nDotL + i);
        const auto lit = hn::Ge(nDotL, zero);
        if (c.reciprocal) {
            if (c.unitNormals && c.unitLight)
                MarkUnitDoubtAndWidening<kFirst>(d, s, i, nDotL, lit, c);
            else
                MarkDoubtAndWidening<kFirst>(d, s, i, nDotL, lit, c);
        }
        V powLo, powHi;
        Power<kBracket>(d, hn::Load(d, c.nDotH + i), lit, squaring, s.shininess, powLo, powHi);
        const V dist = hn::Load(d, c.dist + i);
        V f = hn::Div(one, hn::Add(hn::Set(d, light.m_attConstant),
                                   hn::Mul(hn::Add(hn::Mul(hn::Set(d, light.m_attQuadratic), dist),
                                                   hn::Set(d, light.m_attLinear)),
                                           dist)));
        f = hn::IfThenElse(hn::Gt(f, one), one, f);
        // total += f lit, where an unlit side keeps lit at 0.
        const auto accumulate = [&](double* lo, double* hi, double start, double lightDiffuse,
                                    double materialDiffuse, double lightSpecular, double materialSpecular,
                                    V texel) {
            const V diffuse =
                hn::Add(zero, hn::Mul(nDotL, Reflect<kTextured>(d, lightDiffuse, materialDiffuse, texel)));
            const V specular = Reflect<kTextured>(d, lightSpecular, materialSpecular, texel);
            const V litLo = hn::IfThenElseZero(lit, hn::Add(diffuse, hn::Mul(powLo, specular)));
            hn::Store(hn::Add(kFirst ? hn::Set(d, start) : hn::Load(d, lo + i), hn::Mul(f, litLo)), d,
                      lo + i);
            if constexpr (kBracket) {
                const V litHi = hn::IfThenElseZero(lit, hn::Add(diffuse, hn::Mul(powHi, specular)));
                hn::Store(hn::Add(kFirst ? hn::Set(d, start) : hn::Load(d, hi + i), hn::Mul(f, litHi)), d,
                          hi + i);
            }
        };
        accumulate(c.loR, c.hiR, emission.r, light.m_diffuse.r, mDiffuse.r, light.m_specular.r, mSpecular.r,
                   kr);
        accumulate(c.loG, c.hiG, emission.g, light.m_diffuse.g, mDiffuse.g, light.m_specular.g, mSpecular.g,
                   kg);
        accumulate(c.loB, c.hiB, emission.b, light.m_diffuse.b, mDiffuse.b, light.m_specular.b, mSpecular.b,
                   kb);
    }
}

// AddLightTerms for the light after `started` ones.
template <bool kTextured, bool kBracket, class D>
HWY_INLINE void AddLight(D d, const CallSetup& s, const CLightSource& light, int squaring, std::size_t count,
                         bool started, SChunk& c)
{
    if (started)
        AddLightTerms<kTextured, false, kBracket>(d, s, light, squaring, count, c);
    else
        AddLightTerms<kTextured, true, kBracket>(d, s, light, squaring, count, c);
}

// total += ambient light x material ambient, then clamped and packed, at both
// ends of the interval (kBracket: both totals kept, see AddLightTerms); the
// first `valid` colours are written. Returns how many needed the one-at-a-time
// evaluation.
template <bool kTextured, bool kBracket, class D>
HWY_INLINE std::size_t PackChunk(D d, const CallSetup& s, std::size_t first, std::size_t count,
                                 std::size_t valid, const SChunk& c, std::uint32_t* out)
{
    using V = hn::Vec<D>;
    const hn::Rebind<std::int32_t, D> di;
    const CColor noColour(0.0, 0.0, 0.0);
    const CColor& mAmbient = kTextured ? noColour : s.material->m_ambient;
    const CColor& ambient = s.lights->m_ambient;
    std::size_t settledOneByOne = 0;
    for (std::size_t i = 0; i < count && i < valid; i += hn::Lanes(d)) {
        V kr = hn::Zero(d), kg = kr, kb = kr;
        if constexpr (kTextured)
            kr = hn::Load(d, c.kr + i), kg = hn::Load(d, c.kg + i), kb = hn::Load(d, c.kb + i);
        const V aR = Reflect<kTextured>(d, ambient.r, mAmbient.r, kr);
        const V aG = Reflect<kTextured>(d, ambient.g, mAmbient.g, kg);
        const V aB = Reflect<kTextured>(d, ambient.b, mAmbient.b, kb);
        // Widened for the reciprocal where a light added its term (0 elsewhere).
        const V w = c.reciprocal ? hn::Load(d, c.widen + i) : hn::Zero(d);
        // The totals at both ends; unbracketed, the low ones stand for both.
        const V loR = hn::Add(hn::Load(d, c.loR + i), aR), loG = hn::Add(hn::Load(d, c.loG + i), aG),
                loB = hn::Add(hn::Load(d, c.loB + i), aB);
        const V hiR = kBracket ? hn::Add(hn::Load(d, c.hiR + i), aR) : loR;
        const V hiG = kBracket ? hn::Add(hn::Load(d, c.hiG + i), aG) : loG;
        const V hiB = kBracket ? hn::Add(hn::Load(d, c.hiB + i), aB) : loB;
        const auto low = PackColour(d, hn::Sub(loR, w), hn::Sub(loG, w), hn::Sub(loB, w));
        // Packed bytes never reach bit 24: lanes in doubt never settle.
        const auto high = hn::Or(
            PackColour(d, hn::Add(hiR, w), hn::Add(hiG, w), hn::Add(hiB, w)),
            hn::ShiftLeft<24>(hn::DemoteTo(di, c.reciprocal ? hn::Load(d, c.doubt + i) : hn::Zero(d))));
        const std::size_t lanes = std::min(hn::Lanes(d), valid - i);
        settledOneByOne += StoreSettled(d, s, first + i, lanes, low, high, out);
    }
    return settledOneByOne;
}

// Shades samples first .. first + count - 1, count a whole number of vectors no
// larger than kChunk; only the first `valid` are written. Returns how many needed
// the one-at-a-time evaluation.
template <bool kTextured, class D>
HWY_NOINLINE std::size_t ShadeChunk(D d, const CallSetup& s, std::size_t first, std::size_t count,
                                    std::size_t valid, std::uint32_t* out)
{
    SChunk c;
    UnitVectors<kTextured>(d, s, first, count, c);
    const int squaring = s.squaring;
    // The reciprocal's margin covers the power's error too; without it, the totals
    // are kept at both ends of the power's interval (an exact power needs neither).
    const bool bracketed = !c.reciprocal && squaring != 0;
    const CLightingModel& lights = *s.lights;
    bool started = false; // whether the totals are stored
    for (int l = 0; l < lights.m_nLights; ++l) {
        const CLightSource& light = lights.m_pLights[l];
        if (light.m_bOn == 0) { // the point's own colour, white, replaces the total
            for (double* total : {c.loR, c.loG, c.loB, c.hiR, c.hiG, c.hiB})
                std::fill(total, total + count, 1.0);
            std::fill(c.widen, c.widen + count, 0.0); // what came before is gone
            std::fill(c.doubt, c.doubt + count, 0.0);
            started = true;
            continue;
        }
        LightGeometry(d, s, light, first, count, c);
        if (bracketed)
            AddLight<kTextured, true>(d, s, light, squaring, count, started, c);
        else
            AddLight<kTextured, false>(d, s, light, squaring, count, started, c);
        started = true;
    }
    if (!started)
        StartTotals<kTextured>(d, s, count, c);
    if (bracketed)
        return PackChunk<kTextured, true>(d, s, first, count, valid, c, out);
    return PackChunk<kTextured, false>(d, s, first, count, valid, c, out);
}

template <bool kTextured> std::size_t ShadeAll(const CallSetup& s, std::size_t count, std::uint32_t* out)
{
    const hn::ScalableTag<double> d;
    const std::size_t lanes = hn::Lanes(d);
    std::size_t settledOneByOne = 0;
    std::size_t i = 0;
    for (; i + lanes <= count; i += kChunk) {
        const std::size_t n = std::min(kChunk, (count - i) / lanes * lanes);
        settledOneByOne += ShadeChunk<kTextured>(d, s, i, n, n, out);
        if (n < kChunk) {
            i += n;
            break;
        }
    }
    if (i >= count)
        return settledOneByOne;

    // The tail: copied into a full vector padded with its last sample, so every
    // lane holds real input; only the real samples are written back.
    const std::size_t rest = count - i;
    HWY_ALIGN double buffer[6][kMaxLanes];
    HWY_ALIGN std::uint32_t texels[kMaxLanes];
    const double* sources[6] = {s.samples.px + i, s.samples.y + i,  s.samples.z + i,
                                s.samples.nx + i, s.samples.ny + i, s.samples.nz + i};
    for (std::size_t lane = 0; lane < lanes; ++lane) {
        const std::size_t from = lane < rest ? lane : rest - 1;
        for (int a = 0; a < 6; ++a)
            buffer[a][lane] = sources[a][from];
        texels[lane] = kTextured ? s.texels[i + from] : 0;
    }
    CallSetup tail = s;
    tail.samples = {buffer[0], buffer[1], buffer[2], buffer[3], buffer[4], buffer[5]};
    if (kTextured)
        tail.texels = texels;
    return settledOneByOne + ShadeChunk<kTextured>(d, tail, 0, lanes, rest, out + i);
}

std::size_t ShadeSurfaceImpl(const CallSetup& s, std::size_t count, std::uint32_t* out)
{
    return ShadeAll<false>(s, count, out);
}

std::size_t ShadeTexturedImpl(const CallSetup& s, std::size_t count, std::uint32_t* out)
{
    return ShadeAll<true>(s, count, out);
}

} // namespace HWY_NAMESPACE
} // namespace orbo_shading
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace orbo_shading {
HWY_EXPORT(ShadeSurfaceImpl);
HWY_EXPORT(ShadeTexturedImpl);
} // namespace orbo_shading

std::size_t ShadeSurface(const CShadingSamples& samples, std::size_t count, const CPoint3D& eye,
                         const CLightingModel& lights, const CMaterial& material, std::uint32_t* out)
{
    if (count == 0)
        return 0;
    const int squaring = orbo_shading::SquaringExponent(lights, &material, material.m_shininess);
    const orbo_shading::CallSetup s{samples,   nullptr,
                                    &material, &lights,
                                    eye,       material.m_shininess,
                                    squaring,  orbo_shading::ReciprocalMargin(lights, &material, squaring)};
    return HWY_DYNAMIC_DISPATCH(orbo_shading::ShadeSurfaceImpl)(s, count, out);
}

std::size_t ShadeTextured(const CShadingSamples& samples, const std::uint32_t* texels, std::size_t count,
                          const CPoint3D& eye, const CLightingModel& lights, std::uint32_t* out)
{
    if (count == 0)
        return 0;
    const int squaring = orbo_shading::SquaringExponent(lights, nullptr, 80.0);
    const orbo_shading::CallSetup s{
        samples, texels, nullptr,  &lights,
        eye,     80.0,   squaring, orbo_shading::ReciprocalMargin(lights, nullptr, squaring)};
    return HWY_DYNAMIC_DISPATCH(orbo_shading::ShadeTexturedImpl)(s, count, out);
}

void WidenShadingMarginForTest(double factor)
{
    orbo_shading::g_marginFactor.store(factor);
}
#endif // HWY_ONCE
