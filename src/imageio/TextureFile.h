#pragma once

#include "imageio/FileError.h"
#include "raster/Texture.h"

#include <cstdint>
#include <span>
#include <string>

// Loads a BMP, PNG or JPEG file into texture as 4-byte texels, blue, green, red,
// padding, rows from the top, with 32 bits per texel. The path is taken as the
// bytes the system uses, whatever their encoding. Only regular files are read,
// so a pipe or a device is refused at once instead of blocking. On failure
// (missing, not a regular file, another format, truncated, corrupt, too large)
// it returns false, leaves texture untouched and puts the reason into error. A
// file the decoder calls corrupt is refused even where the decoder would fill
// in what is missing, and so is a JPEG too small to hold the pixels it claims.
bool LoadTextureFile(const std::string& path, CTexture& texture, SFileError& error);
bool LoadTextureFile(const std::string& path, CTexture& texture, std::string& error);

// The same for the bytes of a file already read. Every texel of the result is
// one the file defined: the decoders start from a buffer filled with prefill,
// and decoding the same bytes with another prefill gives the same texture.
bool DecodeTexture(std::span<const std::uint8_t> bytes, CTexture& texture, SFileError& error,
                   std::uint8_t prefill = 0);
bool DecodeTexture(std::span<const std::uint8_t> bytes, CTexture& texture, std::string& error,
                   std::uint8_t prefill = 0);

// The formats accepted, for messages and help texts.
inline constexpr const char* kTextureFormats = "BMP, PNG or JPEG";
