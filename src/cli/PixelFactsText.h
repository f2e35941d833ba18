#pragma once

#include "render/PixelFacts.h"

#include <string>

// The facts of one pixel as orbo-render --inspect prints them: one key=value a
// line, each line ending in a newline, keys in a fixed order and only those the
// frame's drawing has.
std::string PixelFactsText(const SPixelFacts& facts);
