#include "imageio/PngDecoder.h"

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::size_t kChunkFrame = 12; // length, type and checksum around a chunk's data
// Deflate codes at most 258 bytes in 2 bits, 1032 bytes a byte; the margin
// covers the stream's header and checksum.
constexpr std::uint64_t kMostInflation = 1032;
constexpr std::uint64_t kInflationMargin = 4096;

std::uint32_t BigEndian32(std::span<const std::uint8_t> b, std::size_t at)
{
    return std::uint32_t(b[at]) << 24 | std::uint32_t(b[at + 1]) << 16 | std::uint32_t(b[at + 2]) << 8 |
           std::uint32_t(b[at + 3]);
}

// Text from the file, for a message: printable ASCII as it is, any other byte
// as \xHH, so that it can neither break the message in two nor reach the
// terminal as a control sequence.
std::string Printable(const char* text, std::size_t length)
{
    std::string out;
    for (std::size_t i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            char hex[5];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    return out;
}

// What the chunks, walked from the signature to the end chunk, say against the
// file: empty when they are sound. The header is read here (width, height,
// bits per pixel) and the image data's bytes counted.
struct SChunkWalk
{
    std::string m_strProblem;
    std::uint32_t m_nWidth = 0;
    std::uint32_t m_nHeight = 0;
    int m_nBitsPerPixel = 0;
    std::uint64_t m_nImageDataBytes = 0;
};

SChunkWalk WalkChunks(std::span<const std::uint8_t> b)
{
    SChunkWalk walk;
    std::size_t at = sizeof kSignature;
    for (bool first = true;; first = false) {
        if (b.size() - at < 8) { // not even a chunk's length and type
            walk.m_strProblem = first ? "it ends inside its header" : "it ends early, without its end chunk";
            return walk;
        }
        const std::uint32_t length = BigEndian32(b, at);
        const std::string type = Printable(reinterpret_cast<const char*>(b.data() + at + 4), 4);
        if (b.size() - at < kChunkFrame || length > b.size() - at - kChunkFrame) {
            walk.m_strProblem =
                first ? "it ends inside its header" : "it ends early, inside its " + type + " chunk";
            return walk;
        }
        if (first) {
            if (type != "IHDR" || length != 13) {
                walk.m_strProblem = "its first chunk is not the header";
                return walk;
            }
            const uLong crc = ::crc32(0L, b.data() + at + 4, length + 4);
            if (crc != BigEndian32(b, at + 8 + length)) {
                walk.m_strProblem = "the header's checksum is wrong";
                return walk;
            }
            walk.m_nWidth = BigEndian32(b, at + 8);
            walk.m_nHeight = BigEndian32(b, at + 12);
            const int depth = b[at + 16], colour = b[at + 17];
            const int channels = colour == 2 ? 3 : colour == 4 ? 2 : colour == 6 ? 4 : 1;
            walk.m_nBitsPerPixel = depth * channels;
        }
        if (type == "IDAT")
            walk.m_nImageDataBytes += length;
        if (type == "IEND")
            return walk;
        at += kChunkFrame + length;
    }
}

// What libpng's callbacks share with the decoder.
struct SReadState
{
    std::span<const std::uint8_t> m_file;
    std::size_t m_nAt = 0;
    char m_message[200] = {}; // libpng's reason for an error
};

// libpng's errors end the decoding: the reason is kept, and libpng jumps back
// to where the decoding started. (Nothing here may allocate or throw.)
[[noreturn]] void OnError(png_structp png, png_const_charp message)
{
    auto* state = static_cast<SReadState*>(png_get_error_ptr(png));
    std::snprintf(state->m_message, sizeof state->m_message, "%s", message);
    png_longjmp(png, 1);
}

// Warnings are about what the picture does not need (ancillary chunks, data
// after the image): the file is read all the same. They go to the standard
// error stream, as the library's own would (orbo-render shows them only with
// --verbose). libpng names chunks with escapes for bytes that are not letters.
void OnWarning(png_structp, png_const_charp message)
{
    std::fprintf(stderr, "libpng warning: %s\n", message);
}

void ReadBytes(png_structp png, png_bytep out, std::size_t count)
{
    auto* state = static_cast<SReadState*>(png_get_io_ptr(png));
    if (state->m_file.size() - state->m_nAt < count)
        png_error(png, "the file ends early");
    std::memcpy(out, state->m_file.data() + state->m_nAt, count);
    state->m_nAt += count;
}

// Owns libpng's structures for one decoding.
class CPngReader
{
public:
    CPngReader(SReadState& state)
    {
        m_png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, &OnError, &OnWarning);
        if (m_png)
            m_info = png_create_info_struct(m_png);
        if (m_png && m_info)
            png_set_read_fn(m_png, &state, &ReadBytes);
    }
    ~CPngReader() { png_destroy_read_struct(&m_png, m_info ? &m_info : nullptr, nullptr); }
    CPngReader(const CPngReader&) = delete;
    CPngReader& operator=(const CPngReader&) = delete;

    bool Ready() const { return m_png && m_info; }
    png_structp Png() const { return m_png; }
    png_infop Info() const { return m_info; }

private:
    png_structp m_png = nullptr;
    png_infop m_info = nullptr;
};

// Spreads each row's palette indices, one byte each at the row's start, into
// texels, from the right so that no index is overwritten before it is read.
// False when an index names no colour of the palette.
bool SpreadPalette(png_structp png, png_infop info, CDecodedImage& out)
{
    png_colorp palette = nullptr;
    int entries = 0;
    if (png_get_PLTE(png, info, &palette, &entries) == 0)
        entries = 0;
    const std::size_t width = static_cast<std::size_t>(out.m_nWidth);
    for (int y = 0; y < out.m_nHeight; ++y) {
        std::uint8_t* row = out.m_texels.data() + 4 * width * static_cast<std::size_t>(y);
        for (std::size_t x = width; x-- > 0;) {
            const int index = row[x];
            if (index >= entries)
                return false;
            const png_color c = palette[index];
            row[4 * x] = c.blue;
            row[4 * x + 1] = c.green;
            row[4 * x + 2] = c.red;
            row[4 * x + 3] = 0xFF;
        }
    }
    return true;
}

// The decoding proper. libpng reports an error by a long jump back into this
// function: it holds nothing that would need destroying, and whatever it
// allocates lives in its caller's objects.
bool ReadImage(png_structp png, png_infop info, CDecodedImage& out, std::vector<png_bytep>& rows,
               std::uint8_t prefill, bool& badIndex)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    // Only the chunks the picture needs are read: the others (text, colour
    // profiles) are skipped unread, whatever they claim to hold.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_set_user_limits(png, TextureLimits::kMaxSide, TextureLimits::kMaxSide);
    png_read_info(png, info);
    const int colour = png_get_color_type(png, info);
    const bool palette = colour == PNG_COLOR_TYPE_PALETTE;
    // To blue, green, red and a filler byte, 8 bits each; palette images to one
    // index a byte, looked up afterwards.
    if (palette) {
        png_set_packing(png);
    } else {
        if (png_get_bit_depth(png, info) < 8)
            png_set_expand_gray_1_2_4_to_8(png);
        png_set_scale_16(png);
        if (colour == PNG_COLOR_TYPE_GRAY || colour == PNG_COLOR_TYPE_GRAY_ALPHA)
            png_set_gray_to_rgb(png);
        png_set_strip_alpha(png);
        png_set_bgr(png);
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    }
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    out.m_nWidth = static_cast<int>(png_get_image_width(png, info));
    out.m_nHeight = static_cast<int>(png_get_image_height(png, info));
    const std::size_t rowBytes = 4 * static_cast<std::size_t>(out.m_nWidth);
    if (png_get_rowbytes(png, info) != (palette ? rowBytes / 4 : rowBytes))
        png_error(png, "unexpected row layout");
    out.m_texels.assign(rowBytes * static_cast<std::size_t>(out.m_nHeight), prefill);
    rows.resize(static_cast<std::size_t>(out.m_nHeight));
    for (std::size_t y = 0; y < rows.size(); ++y)
        rows[y] = out.m_texels.data() + rowBytes * y;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    badIndex = palette && !SpreadPalette(png, info, out);
    return !badIndex;
}

} // namespace

bool DecodePng(std::span<const std::uint8_t> file, CDecodedImage& image, std::string& error,
               std::uint8_t prefill)
{
    using namespace TextureLimits;
    if (file.size() < sizeof kSignature ||
        !std::equal(std::begin(kSignature), std::end(kSignature), file.begin())) {
        error = "not a PNG image";
        return false;
    }
    const SChunkWalk walk = WalkChunks(file);
    if (!walk.m_strProblem.empty()) {
        error = walk.m_strProblem;
        return false;
    }
    const std::string size = std::to_string(walk.m_nWidth) + "x" + std::to_string(walk.m_nHeight);
    if (walk.m_nWidth > kMaxSide || walk.m_nHeight > kMaxSide ||
        std::uint64_t(walk.m_nWidth) * walk.m_nHeight > std::uint64_t(kMaxTexels)) {
        error = "the image is too large (" + size + ")";
        return false;
    }
    // The filtered rows, a byte each and the pixels' bits, cannot come from
    // fewer bytes of image data than deflate needs at its best.
    const std::uint64_t raw =
        std::uint64_t(walk.m_nHeight) * (1 + (std::uint64_t(walk.m_nWidth) * walk.m_nBitsPerPixel + 7) / 8);
    if (walk.m_nImageDataBytes * kMostInflation + kInflationMargin < raw) {
        error = "its " + std::to_string(walk.m_nImageDataBytes) + " bytes of image data cannot hold " + size +
                " pixels";
        return false;
    }

    SReadState state;
    state.m_file = file;
    CPngReader reader(state);
    if (!reader.Ready())
        throw std::bad_alloc();
    CDecodedImage decoded;
    std::vector<png_bytep> rows;
    bool badIndex = false;
    if (!ReadImage(reader.Png(), reader.Info(), decoded, rows, prefill, badIndex)) {
        error = badIndex ? "a pixel names a colour past the end of its palette"
                         : Printable(state.m_message, std::strlen(state.m_message));
        if (error.empty())
            error = "no reason given";
        return false;
    }
    image = std::move(decoded);
    return true;
}
