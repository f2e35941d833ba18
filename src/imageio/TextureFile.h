#pragma once

#include "raster/Texture.h"

#include <string>

// Loads an image file (BMP, PNG, JPEG, anything Qt's image reader knows) into
// texture as 4-byte texels, blue, green, red, padding, rows from the top, with
// 32 bits per texel. On failure (missing, not an image, truncated, too large)
// it returns false, leaves texture untouched and puts the reason into error.
bool LoadTextureFile(const std::string& path, CTexture& texture, std::string& error);
