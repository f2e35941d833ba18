#pragma once

#include "imageio/FileError.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Pixels for the PNG encoder: rows from the top, each m_nStride bytes after the
// one before.
struct SPngPixels
{
    enum class ELayout {
        kRgbx8,  // 4 bytes a pixel, red, green, blue and one left out (a frame's
                 // layout): an RGB PNG of 8 bits a channel
        kGrey16, // a std::uint16_t a pixel in the machine's byte order: a 16-bit grey PNG
    };
    ELayout m_layout = ELayout::kRgbx8;
    int m_nWidth = 0;
    int m_nHeight = 0;
    const std::uint8_t* m_pData = nullptr;
    std::size_t m_nStride = 0;
};

// How hard the pixels are compressed, counted as zlib counts: 0 not at all (the
// largest files, and no quicker than 1 here, for the bytes to copy and write),
// 1 the fastest, 9 the smallest. Each level stands for the zlib level, strategy
// and PNG row filter that measured best for the program's frames (see
// PngEncoder.cpp).
namespace PngCompression {
constexpr int kStored = 0;
constexpr int kSmallest = 9;
// For sequences: the fastest level that compresses, its files about 1.5 times
// the smallest.
constexpr int kDefault = 1;
} // namespace PngCompression

// Encodes pixels as the bytes of a PNG file, into png (what it held is
// replaced; its storage is reused). Runs in the calling thread and starts none.
// On failure returns false with the reason in error: kEmptyFrame for a width or
// height of 0 (PNG cannot hold it), kNoMemory, kCorrupt with libpng's words.
bool EncodePng(const SPngPixels& pixels, int compression, std::vector<std::uint8_t>& png, SFileError& error);
