#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The largest texture accepted: a side of 16384 texels and 64 M texels in all.
namespace TextureLimits {
constexpr int kMaxSide = 16384;
constexpr std::int64_t kMaxTexels = 64LL * 1024 * 1024;
} // namespace TextureLimits

// An image decoded to 4-byte texels: blue, green, red, 0xff, rows from the top.
struct CDecodedImage
{
    int m_nWidth = 0;
    int m_nHeight = 0;
    std::vector<std::uint8_t> m_texels;
};

// Decodes a Windows or OS/2 bitmap: 1, 4 and 8 bits with a palette (8 and 4
// also run-length encoded), 16 and 32 bits plain or with bit fields, 24 bits.
// Every texel of the result is defined by the file: the buffer is first filled
// with prefill (the fuzz target uses it to find texels left unwritten), then
// every texel is written. Files that end early, whose pixel data overlaps
// their header, whose run-length data does not cover the image or whose
// pixels name colours past the end of the palette are refused; fields that the
// picture does not depend on (the file's size, the image size, the density, a
// colour count larger than the palette) are not checked. Alpha is ignored: a
// texel is the colour the file stores. Texels that run-length data skips (a
// delta, an early end of a line or of the image) are black.
// On failure returns false with the reason in error.
bool DecodeBmp(std::span<const std::uint8_t> file, CDecodedImage& image, std::string& error,
               std::uint8_t prefill = 0);
