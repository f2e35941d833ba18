#include "imageio/PngEncoder.h"

#include <libdeflate.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

using EKind = SFileError::EKind;

// PNG's row filters, by their type numbers: each byte is written as its
// difference from a prediction made from the bytes before it.
enum class EFilter : std::uint8_t {
    kNone = 0,  // no prediction
    kSub = 1,   // the same sample of the pixel to the left
    kPaeth = 4, // the left, upper or upper-left one, whichever is nearest left + upper - upper-left
};

// What one compression level stands for.
struct SDeflateChoice
{
    int m_nLevel;    // zlib's level
    int m_nStrategy; // zlib's strategy
    EFilter m_filter;
};

// Measured on the program's own frames: a large black background, smooth
// shading and textures (see bench/README.md). zlib's run-length strategy looks
// only for repeats of the byte before, which the black background and a row
// filter make of most of a frame, in a fraction of the time of a full search;
// its time hardly depends on the filter. Of the filters, "sub" is the cheapest
// to compute ("up" costs as much and leaves larger files), Paeth leaves the
// smallest files. zlib's levels 1 to 3 make larger files than the run-length
// strategy on these frames, in more time, and are left out: 3 to 8 are zlib's
// lazy search at its levels 4 to 9, with "sub", which suits it best here, and
// 9 is 8 again (a larger memory level, or the "filtered" strategy, made most
// frames larger).
constexpr SDeflateChoice kChoices[PngCompression::kSmallest + 1] = {
    {0, Z_DEFAULT_STRATEGY, EFilter::kNone}, // stored as it is
    {1, Z_RLE, EFilter::kSub},
    {1, Z_RLE, EFilter::kPaeth},
    {4, Z_DEFAULT_STRATEGY, EFilter::kSub},
    {5, Z_DEFAULT_STRATEGY, EFilter::kSub},
    {6, Z_DEFAULT_STRATEGY, EFilter::kSub},
    {7, Z_DEFAULT_STRATEGY, EFilter::kSub},
    {8, Z_DEFAULT_STRATEGY, EFilter::kSub},
    {9, Z_DEFAULT_STRATEGY, EFilter::kSub},
    {9, Z_DEFAULT_STRATEGY, EFilter::kSub},
};

// Rows are filtered this many at a time, then handed to zlib.
constexpr std::size_t kStripRows = 16;
// The compressed data goes into IDAT chunks of at most this size.
constexpr std::size_t kChunkBytes = std::size_t{1} << 20;

// The samples of one row as PNG keeps them: red, green and blue bytes, or
// 16-bit grey high byte first.
void RowSamples(const SPngPixels& pixels, int row, std::uint8_t* __restrict out)
{
    const std::uint8_t* __restrict in = pixels.m_pData + static_cast<std::size_t>(row) * pixels.m_nStride;
    const std::size_t width = static_cast<std::size_t>(pixels.m_nWidth);
    if (pixels.m_layout == SPngPixels::ELayout::kRgbx8) {
        // Four bytes a pixel copied at once, the fourth overwritten by the next
        // pixel; the last pixel's three on their own.
        for (std::size_t x = 0; x + 1 < width; ++x)
            std::memcpy(out + 3 * x, in + 4 * x, 4);
        std::memcpy(out + 3 * (width - 1), in + 4 * (width - 1), 3);
        return;
    }
    for (std::size_t x = 0; x < width; ++x) {
        std::uint16_t sample;
        std::memcpy(&sample, in + 2 * x, 2);
        out[2 * x] = static_cast<std::uint8_t>(sample >> 8);
        out[2 * x + 1] = static_cast<std::uint8_t>(sample & 0xFF);
    }
}

// One row filtered: the filter's type, then a difference for every byte of row
// (bytes long, bpp bytes a pixel); above is the row before it, zeros for the
// first. Plain loops that the compiler turns into vector instructions.
void FilterRow(EFilter filter, const std::uint8_t* __restrict row, const std::uint8_t* __restrict above,
               std::size_t bytes, std::size_t bpp, std::uint8_t* __restrict out)
{
    *out++ = static_cast<std::uint8_t>(filter);
    switch (filter) {
    case EFilter::kNone:
        std::memcpy(out, row, bytes);
        return;
    case EFilter::kSub:
        for (std::size_t i = 0; i < bpp; ++i)
            out[i] = row[i];
        for (std::size_t i = bpp; i < bytes; ++i)
            out[i] = static_cast<std::uint8_t>(row[i] - row[i - bpp]);
        return;
    case EFilter::kPaeth:
        for (std::size_t i = 0; i < bpp; ++i)
            out[i] = static_cast<std::uint8_t>(row[i] - above[i]); // left and upper-left are 0
        for (std::size_t i = bpp; i < bytes; ++i) {
            const int a = row[i - bpp], b = above[i], c = above[i - bpp];
            const int estimate = a + b - c;
            const int pa = std::abs(estimate - a), pb = std::abs(estimate - b), pc = std::abs(estimate - c);
            const int nearest = pa <= pb && pa <= pc ? a : pb <= pc ? b : c; // ties: left, then upper
            out[i] = static_cast<std::uint8_t>(row[i] - nearest);
        }
        return;
    }
}

// What libpng's callbacks report back: they are called from C, so they may not
// throw, and an error leaves libpng by a long jump.
struct SPngState
{
    std::vector<std::uint8_t>* m_pOut = nullptr;
    bool m_bNoMemory = false;
    char m_message[160] = {};
};

// A zlib stream (RFC 1950) of one image: zlib compresses (a raw deflate stream)
// and libdeflate takes the Adler-32 checksum of the data, several times faster
// than zlib's own (a tenth of the time of a frame's encoding); the two-byte
// header and the checksum after the data are written here.
class CDeflater
{
public:
    CDeflater(const SDeflateChoice& choice, std::vector<std::uint8_t>& out) : m_out(out)
    {
        m_nStatus = deflateInit2(&m_stream, choice.m_nLevel, Z_DEFLATED, -15, 8, choice.m_nStrategy);
        // Deflate with a 32 KiB window, the level told roughly (0 fastest to 3
        // smallest), and a check value that makes the pair a multiple of 31.
        const unsigned levelFlag = choice.m_nLevel < 2    ? 0
                                   : choice.m_nLevel < 6  ? 1
                                   : choice.m_nLevel == 6 ? 2
                                                          : 3;
        unsigned header = 0x7800 | levelFlag << 6;
        header += 31 - header % 31;
        m_out.assign({static_cast<std::uint8_t>(header >> 8), static_cast<std::uint8_t>(header & 0xFF)});
        m_nUsed = m_out.size();
    }
    ~CDeflater()
    {
        if (m_nStatus == Z_OK)
            deflateEnd(&m_stream);
    }
    CDeflater(const CDeflater&) = delete;
    CDeflater& operator=(const CDeflater&) = delete;

    // False when zlib could not start for want of memory.
    bool Started() const { return m_nStatus == Z_OK; }

    // Compresses bytes onto the end of the output, and with last finishes the
    // stream. False if zlib fails (it cannot with valid input); may throw
    // std::bad_alloc.
    bool Add(const std::uint8_t* bytes, std::size_t size, bool last)
    {
        m_nAdler = libdeflate_adler32(m_nAdler, bytes, size);
        m_stream.next_in = const_cast<Bytef*>(bytes); // zlib only reads it
        m_stream.avail_in = static_cast<uInt>(size);
        const int flush = last ? Z_FINISH : Z_NO_FLUSH;
        for (;;) {
            if (m_nUsed + kOutputStep > m_out.size())
                m_out.resize(m_nUsed + kOutputStep);
            m_stream.next_out = m_out.data() + m_nUsed;
            m_stream.avail_out = static_cast<uInt>(m_out.size() - m_nUsed);
            const int status = deflate(&m_stream, flush);
            if (status == Z_STREAM_ERROR)
                return false;
            m_nUsed = m_out.size() - m_stream.avail_out;
            // More to do while zlib has filled the space it was given, and
            // at the end until it says it has finished.
            if (last ? status == Z_STREAM_END : m_stream.avail_out != 0)
                break;
        }
        if (last) {
            m_out.resize(m_nUsed + 4);
            for (int i = 0; i < 4; ++i) // high byte first
                m_out[m_nUsed + static_cast<std::size_t>(i)] =
                    static_cast<std::uint8_t>(m_nAdler >> (24 - 8 * i));
        }
        return true;
    }

private:
    static constexpr std::size_t kOutputStep = std::size_t{1} << 16;
    z_stream m_stream{};
    int m_nStatus = Z_MEM_ERROR;
    std::uint32_t m_nAdler = 1; // Adler-32 of no bytes
    std::vector<std::uint8_t>& m_out;
    std::size_t m_nUsed = 0;
};

// The rows filtered as choice says and compressed: the content of the IDAT
// chunks. May throw std::bad_alloc; false with the reason in state when zlib
// fails.
bool CompressRows(const SPngPixels& pixels, const SDeflateChoice& choice, std::vector<std::uint8_t>& data,
                  SPngState& state)
{
    const bool grey = pixels.m_layout == SPngPixels::ELayout::kGrey16;
    const std::size_t bpp = grey ? 2 : 3;
    const std::size_t bytes = static_cast<std::size_t>(pixels.m_nWidth) * bpp;
    std::vector<std::uint8_t> rows(2 * bytes, 0); // this row's samples and the one's above
    std::vector<std::uint8_t> strip(kStripRows * (bytes + 1));
    CDeflater deflater(choice, data);
    if (!deflater.Started()) {
        state.m_bNoMemory = true;
        return false;
    }
    std::size_t filled = 0;
    for (int row = 0; row < pixels.m_nHeight; ++row) {
        std::uint8_t* current = rows.data() + (row % 2 == 0 ? 0 : bytes);
        const std::uint8_t* above = rows.data() + (row % 2 == 0 ? bytes : 0);
        RowSamples(pixels, row, current);
        FilterRow(choice.m_filter, current, above, bytes, bpp, strip.data() + filled);
        filled += bytes + 1;
        const bool last = row + 1 == pixels.m_nHeight;
        if (filled == strip.size() || last) {
            if (!deflater.Add(strip.data(), filled, last)) {
                std::snprintf(state.m_message, sizeof state.m_message, "zlib failed");
                return false;
            }
            filled = 0;
        }
    }
    return true;
}

SPngState& StateOf(png_voidp pointer)
{
    return *static_cast<SPngState*>(pointer);
}

[[noreturn]] void OnError(png_structp png, png_const_charp message)
{
    SPngState& state = StateOf(png_get_error_ptr(png));
    std::snprintf(state.m_message, sizeof state.m_message, "%s", message);
    png_longjmp(png, 1);
}

// libpng warns of nothing that a caller handing it valid pixels could change.
void OnWarning(png_structp, png_const_charp)
{
}

png_voidp Allocate(png_structp png, png_alloc_size_t size)
{
    void* memory = std::malloc(size);
    if (memory == nullptr)
        StateOf(png_get_mem_ptr(png)).m_bNoMemory = true;
    return memory;
}

void Release(png_structp, png_voidp memory)
{
    std::free(memory);
}

void OnWrite(png_structp png, png_bytep data, std::size_t size)
{
    SPngState& state = StateOf(png_get_io_ptr(png));
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

void OnFlush(png_structp)
{
}

// libpng writes the file around the compressed rows: the signature, the
// header (which it checks), the rows in IDAT chunks and the end, each chunk with
// its CRC. Nothing in here may own memory: libpng's errors jump back to the
// setjmp. False when it failed; state says why.
bool WritePng(const SPngPixels& pixels, const std::vector<std::uint8_t>& data, SPngState& state)
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
    const bool grey = pixels.m_layout == SPngPixels::ELayout::kGrey16;
    png_set_IHDR(png, info, static_cast<png_uint_32>(pixels.m_nWidth),
                 static_cast<png_uint_32>(pixels.m_nHeight), grey ? 16 : 8,
                 grey ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    static constexpr png_byte kData[5] = "IDAT", kEnd[5] = "IEND";
    for (std::size_t at = 0; at < data.size(); at += kChunkBytes)
        png_write_chunk(png, kData, data.data() + at, std::min(kChunkBytes, data.size() - at));
    png_write_chunk(png, kEnd, nullptr, 0);
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
        kChoices[std::clamp(compression, PngCompression::kStored, PngCompression::kSmallest)];
    SPngState state;
    state.m_pOut = &png;
    try {
        std::vector<std::uint8_t> data;
        if (CompressRows(pixels, choice, data, state)) {
            png.reserve(data.size() + 256);
            if (WritePng(pixels, data, state))
                return true;
        }
    } catch (const std::bad_alloc&) {
        state.m_bNoMemory = true;
    }
    png.clear();
    error = state.m_bNoMemory ? SFileError::Of(EKind::kNoMemory, "not enough memory")
                              : SFileError::Of(EKind::kCorrupt,
                                               std::string("cannot encode the PNG image: ") + state.m_message,
                                               state.m_message);
    return false;
}
