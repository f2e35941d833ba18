#pragma once

#include "geometry/Points.h"
#include "lighting/LightingModel.h"
#include "lighting/Material.h"

#include <cstddef>
#include <cstdint>

// Batch shading: the per-pixel lighting of many samples at once, with SIMD.
//
// Every result is bit-identical to the one-sample evaluation
//     lights.Illuminate(eye, CPoint3D(px[i], y[i], z[i]), CVec3(nx[i], ny[i], nz[i]),
//                       &material).ToColorRef()
// on any x86-64 (the widest instruction set the processor offers is picked at run
// time). The same IEEE operations run in the same order in every lane; the
// specular power for the shininess 100 and 80 is taken by repeated squaring with a
// proven error bound, and a sample whose colour bytes that bound cannot settle is
// evaluated one at a time with std::pow instead.
//
// Normalising a vector takes one reciprocal of its length rather than three
// divisions, certified the same way: the interval is widened by a proven bound
// on what that changes, and samples it cannot settle take the one-at-a-time
// evaluation.
//
// The caller owns every array and may reuse it between calls: nothing is allocated.
// Arrays of a batch must not overlap the output, unless said otherwise. A count of 0
// does nothing.

// The samples of one batch as parallel arrays, each holding at least `count` values.
struct CShadingSamples
{
    const double* px = nullptr; // column: the integer pixel x converted to double
    const double* y = nullptr;  // scanline
    const double* z = nullptr;  // depth
    const double* nx = nullptr; // interpolated normal, of any length (zero included)
    const double* ny = nullptr;
    const double* nz = nullptr;
};

// A texel byte as a reflectance: the byte times this (1/255).
inline constexpr double kByteToUnit = 0.00392156862745098;

// Lights a surface of one material. Writes count packed colours 0x00bbggrr to out
// and returns how many samples needed the one-at-a-time evaluation.
std::size_t ShadeSurface(const CShadingSamples& samples, std::size_t count, const CPoint3D& eye,
                         const CLightingModel& lights, const CMaterial& material, std::uint32_t* out);

// Lights the texture: sample i takes its texel, texels[i] (a colour 0x00bbggrr),
// as its ambient, diffuse and specular reflectance, each byte times kByteToUnit,
// with black emission and shininess 80. Writes count packed colours 0x00bbggrr to
// out and returns how many samples needed the one-at-a-time evaluation. The
// texels may be the output itself: each colour then replaces its texel.
std::size_t ShadeTextured(const CShadingSamples& samples, const std::uint32_t* texels, std::size_t count,
                          const CPoint3D& eye, const CLightingModel& lights, std::uint32_t* out);

// Multiplies the reciprocal's margin by factor (1 normally): tests widen it so
// that many samples take the one-at-a-time evaluation, and check they still match.
void WidenShadingMarginForTest(double factor);
