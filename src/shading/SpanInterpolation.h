#pragma once

#include <cstddef>
#include <cstdint>

class CTexture;

// The attributes of the samples of one span, several samples at a time (SIMD,
// the widest instruction set of the processor picked at run time). Sample i lies
// at t[i]; the span has value a0 at t0 and a1 at t1. Each result is bit-identical
// to the one-sample formula named, lane by lane: the same IEEE operations in the
// same order, no multiply-add.
//
// The last few samples are computed as a whole vector too: t and the outputs must
// have kSpanPadding readable and writable elements after count, whose values are
// not used (and, unless said otherwise, not changed).
inline constexpr std::size_t kSpanPadding = 16;

// dims attributes (a0[d], a1[d], out[d]) in the form of InterpolateNormal and
// InterpolateTexCoord: (a0 (t - t1)) / (t0 - t1) + (a1 (t - t0)) / (t1 - t0), a
// divisor below 1e-06 in absolute value taken as 1.0. The outputs' padding may be
// overwritten: a span's samples are interpolated before those after them.
void InterpolateAttributes(const double* t, std::size_t count, double t0, double t1, int dims,
                           const double* a0, const double* a1, double* const* out);

// The texture coordinates (texOut) and the normals (normalOut) of the samples of
// a span at once, both in the form of InterpolateAttributes. The normals are
// bit-identical to it; the texture coordinates are certified instead: each
// names the texel (plus 0.5, truncated toward zero, as TexelAddress takes it)
// that the exact one names, and only that may be read from them. Samples must
// lie between t0 and t1, as a span's do; where one does not, or the bound
// cannot tell, the coordinates are the exact ones. The outputs' padding may be
// overwritten, as InterpolateAttributes's.
void InterpolateTexCoordsAndNormals(const double* t, std::size_t count, double t0, double t1,
                                    const double* tex0, const double* tex1, const double* n0,
                                    const double* n1, double* const* texOut, double* const* normalOut);

// Multiplies the texture coordinates' margin by factor (1 normally): tests widen
// it so that many samples take the exact coordinates.
void WidenTexCoordMarginForTest(double factor);

// The texels, as colours 0x00bbggrr, at texture coordinates (cu[i], cv[i]) of a
// texture: each coordinate plus 0.5, truncated toward zero, kept inside the
// image, as TexelAddress does. cu and cv are padded as t is; words past count
// are not written.
void LookUpTexels(const double* cu, const double* cv, std::size_t count, const CTexture& texture,
                  std::uint32_t* words);

// Three channels in the form of InterpolateColor,
// a0 ((t - t1) / (t0 - t1)) + a1 ((t - t0) / (t1 - t0)),
// packed as CColor::ToColorRef packs them, unclamped.
void InterpolateColourRefs(const double* t, std::size_t count, double t0, double t1, const double* a0,
                           const double* a1, std::uint32_t* out);

// The same colours, each with the bits of high set too (the sink's opaque bits,
// say), written straight into an image row: sample i to row[px[i]], in order.
void InterpolateColourPixels(const double* t, const int* px, std::size_t count, double t0, double t1,
                             const double* a0, const double* a1, std::uint32_t high, std::uint32_t* row);
