#pragma once

#include <array>
#include <string_view>

// The file formats a frame is written in: an RGB PNG, or a binary PPM (P6: a
// short text header, then each pixel's red, green and blue bytes), which video
// tools read as a stream of frames.
enum class EFrameFormat { kPng, kPpm };

// Their names on the command line, in the order of EFrameFormat.
inline constexpr std::array<std::string_view, 2> kFrameFormatNames = {"png", "ppm"};
