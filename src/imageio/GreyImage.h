#pragma once

#include "imageio/FileError.h"

#include <cstdint>
#include <string>
#include <vector>

// Writes width x height 16-bit grey levels (rows from the top) as a 16-bit
// greyscale PNG to the file named by path, as WriteWholeFile writes it. False,
// with the reason in error, when it cannot (also for an empty picture).
bool SaveGrey16Png(int width, int height, const std::vector<std::uint16_t>& levels, const std::string& path,
                   SFileError& error);
