#pragma once

#include "imageio/BmpDecoder.h"

#include <cstdint>
#include <span>
#include <string>

// Decodes a PNG file with libpng: every colour type and bit depth, interlaced
// or not. Transparency is not kept: a texel is the colour the file stores,
// whatever its alpha channel or transparency chunk says (as for BMP files,
// whose alpha is ignored too). Channels of 16 bits are rounded to 8 (v / 257),
// so a 16-bit file holds the same texels as the 8-bit one it was widened from.
//
// The chunks are walked before anything is decoded: a chunk that claims more
// bytes than the rest of the file, or image data too short to hold the image
// however well compressed, is refused before anything is allocated for it.
// Every texel of the result is defined by the file: the buffer is filled with
// prefill first, and image data that ends early, a palette index past the
// palette or a damaged header, palette or image data is refused. On failure
// returns false with the reason, one line whose bytes from the file are
// escaped, in error.
bool DecodePng(std::span<const std::uint8_t> file, CDecodedImage& image, std::string& error,
               std::uint8_t prefill = 0);
