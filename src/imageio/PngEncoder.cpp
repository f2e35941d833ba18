#include "imageio/PngEncoder.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

using EKind = SFileError::EKind;

// What one compression level stands for.
struct SDeflateChoice
{
    int m_nLevel;    // zlib's level
    int m_nStrategy; // zlib's strategy
    int m_nFilters;  // the PNG row filters libpng may choose from
};

// Measured on the program's own frames (a large black background, smooth
// shading, textures; see bench/README.md). zlib's run-length strategy finds only
// repeats of the byte before, which the black background and a row filter make
// of most of a frame, at a fraction of the time of a full search; "up" is the
// cheapest filter to compute, Paeth the one that leaves the shading and the
// texture smallest. From level 4 on zlib's lazy search takes over, with the
// "sub" filter that suits it best on these frames.
constexpr SDeflateChoice kChoices[PngCompression::kSmallest + 1] = {
    {0, Z_DEFAULT_STRATEGY, PNG_FILTER_NONE}, // stored as it is
    {1, Z_RLE, PNG_FILTER_UP},
    {1, Z_RLE, PNG_FILTER_PAETH},
    {3, Z_DEFAULT_STRATEGY, PNG_FILTER_SUB},
    {4, Z_DEFAULT_STRATEGY, PNG_FILTER_SUB},
    {5, Z_DEFAULT_STRATEGY, PNG_FILTER_SUB},
    {6, Z_DEFAULT_STRATEGY, PNG_FILTER_SUB},
    {7, Z_DEFAULT_STRATEGY, PNG_FILTER_SUB},
    {8, Z_DEFAULT_STRATEGY, PNG_FILTER_SUB},
    {9, Z_FILTERED, PNG_FILTER_SUB},
};

// libpng's output is handed over in pieces of this size (its IDAT chunks).
constexpr std::size_t kChunkBytes = 1 << 16;

// What libpng's callbacks report back: they are called from C, so they may not
// throw, and an error leaves libpng by a long jump.
struct SPngState
{
    std::vector<std::uint8_t>* m_pOut = nullptr;
    bool m_bNoMemory = false;
    char m_message[160] = {};
};

SPngState& StateOf(png_structp png, png_voidp pointer)
{
    (void)png;
    return *static_cast<SPngState*>(pointer);
}

[[noreturn]] void OnError(png_structp png, png_const_charp message)
{
    SPngState& state = StateOf(png, png_get_error_ptr(png));
    std::snprintf(state.m_message, sizeof state.m_message, "%s", message);
    png_longjmp(png, 1);
}

// libpng warns of nothing that a caller handing it valid pixels could change.
void OnWarning(png_structp, png_const_charp) {}

png_voidp Allocate(png_structp png, png_alloc_size_t size)
{
    void* memory = std::malloc(size);
    if (memory == nullptr)
        StateOf(png, png_get_mem_ptr(png)).m_bNoMemory = true;
    return memory;
}

void Release(png_structp, png_voidp memory)
{
    std::free(memory);
}

void OnWrite(png_structp png, png_bytep data, std::size_t size)
{
    SPngState& state = StateOf(png, png_get_io_ptr(png));
    bool grown = true;
    try {
        state.m_pOut->insert(state.m_pOut->end(), data, data + size);
    } catch (const std::bad_alloc&) {
        grown = false;
    }
    // Outside the handler: a long jump must not leave an exception half handled.
    if (!grown) {
        state.m_bNoMemory = true;
        png_error(png, "not enough memory");
    }
}

void OnFlush(png_structp) {}

// libpng's whole run, with no C++ object alive in it: its errors jump back to
// the setjmp here. False when it failed; state says why.
bool RunLibpng(const SPngPixels& pixels, const SDeflateChoice& choice, png_bytepp rows, SPngState& state)
{
    png_structp png = png_create_write_struct_2(PNG_LIBPNG_VER_STRING, &state, OnError, OnWarning, &state,
                                                Allocate, Release);
    if (png == nullptr) {
        state.m_bNoMemory = true;
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        state.m_bNoMemory = true;
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, &state, OnWrite, OnFlush);
    png_set_compression_buffer_size(png, kChunkBytes);
    png_set_compression_level(png, choice.m_nLevel);
    png_set_compression_strategy(png, choice.m_nStrategy);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, choice.m_nFilters);
    const bool grey = pixels.m_layout == SPngPixels::ELayout::kGrey16;
    png_set_IHDR(png, info, static_cast<png_uint_32>(pixels.m_nWidth), static_cast<png_uint_32>(pixels.m_nHeight),
                 grey ? 16 : 8, grey ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    if (grey && std::endian::native == std::endian::little)
        png_set_swap(png); // PNG keeps 16-bit samples high byte first
    if (!grey)
        png_set_filler(png, 0, PNG_FILLER_AFTER); // the fourth byte is left out
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool EncodePng(const SPngPixels& pixels, int compression, std::vector<std::uint8_t>& png, SFileError& error)
{
    png.clear();
    if (pixels.m_nWidth <= 0 || pixels.m_nHeight <= 0) {
        error = SFileError::Of(EKind::kEmptyFrame, "the frame is empty (width or height 0)");
        return false;
    }
    const SDeflateChoice& choice =
        kChoices[std::clamp(compression, PngCompression::kFastest, PngCompression::kSmallest)];
    SPngState state;
    state.m_pOut = &png;
    try {
        std::vector<png_bytep> rows(static_cast<std::size_t>(pixels.m_nHeight));
        for (std::size_t row = 0; row < rows.size(); ++row)
            rows[row] = const_cast<png_bytep>(pixels.m_pData + row * pixels.m_nStride); // only read
        if (RunLibpng(pixels, choice, rows.data(), state))
            return true;
    } catch (const std::bad_alloc&) {
        state.m_bNoMemory = true;
    }
    png.clear();
    error = state.m_bNoMemory ? SFileError::Of(EKind::kNoMemory, "not enough memory")
                              : SFileError::Of(EKind::kCorrupt, std::string("cannot encode the PNG image: ") +
                                                                    state.m_message,
                                               state.m_message);
    return false;
}
