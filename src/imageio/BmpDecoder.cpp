#include "imageio/BmpDecoder.h"

#include <algorithm>
#include <bit>

namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr const char* kIndexPastPalette = "corrupt BMP: a pixel names a colour past the end of its palette";

// Run-length data can describe at most about 128 texels a byte with runs of 255;
// an image larger than 256 texels per byte of its data is refused before
// anything is allocated, so that a small file cannot claim a huge buffer.
constexpr std::int64_t kMaxRleTexelsPerByte = 256;

enum ECompression : std::uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3 };

std::uint32_t ReadLE(const std::uint8_t* bytes, int count)
{
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

std::uint32_t ReadLE(std::span<const std::uint8_t> bytes, std::size_t at, int count)
{
    return ReadLE(bytes.data() + at, count);
}

struct CBgr
{
    std::uint8_t b = 0, g = 0, r = 0;
};

// One colour channel taken out of a pixel by its bit mask and brought to 8 bits:
// a narrower value is shifted up (5 bits 0..31 become 0..248, as Windows and Qt
// show 16-bit bitmaps), a wider one keeps its top 8 bits.
struct CChannel
{
    std::uint32_t m_mask = 0;
    int m_shift = 0;
    int m_bits = 0;

    bool Set(std::uint32_t mask)
    {
        m_mask = mask;
        if (mask == 0)
            return true;
        m_shift = std::countr_zero(mask);
        const std::uint64_t max = mask >> m_shift;
        m_bits = std::popcount(mask);
        return (max & (max + 1)) == 0; // one run of bits
    }
    std::uint8_t Of(std::uint32_t pixel) const
    {
        if (m_mask == 0)
            return 0;
        const std::uint32_t value = (pixel & m_mask) >> m_shift;
        return static_cast<std::uint8_t>(m_bits >= 8 ? value >> (m_bits - 8) : value << (8 - m_bits));
    }
};

// The header fields the decoder needs, from any of the header versions.
struct CBmpHeader
{
    std::uint32_t m_dataOffset = 0;
    std::uint32_t m_headerSize = 0;
    std::int64_t m_width = 0;
    std::int64_t m_height = 0; // rows; the file may store them top-down
    bool m_topDown = false;
    int m_bitsPerPixel = 0;
    std::uint32_t m_compression = kRgb;
    std::uint32_t m_colorsUsed = 0;
    std::size_t m_tableStart = 0; // masks (if separate) then palette
    CChannel m_red, m_green, m_blue;
};

class CBmpReader
{
public:
    CBmpReader(std::span<const std::uint8_t> file, CDecodedImage& image, std::string& error)
        : m_file(file), m_image(image), m_error(error)
    {
    }

    bool Decode(std::uint8_t prefill)
    {
        if (!ReadHeader() || !ReadMasks() || !ReadPalette() || !CheckSize())
            return false;
        const std::size_t count = static_cast<std::size_t>(m_h.m_width * m_h.m_height) * 4;
        m_image.m_texels.assign(count, prefill);
        m_image.m_nWidth = static_cast<int>(m_h.m_width);
        m_image.m_nHeight = static_cast<int>(m_h.m_height);
        const bool done =
            m_h.m_compression == kRle8 || m_h.m_compression == kRle4 ? DecodeRle() : DecodePlain();
        if (!done)
            m_image = CDecodedImage();
        return done;
    }

private:
    bool Fail(const std::string& why)
    {
        m_error = why;
        return false;
    }

    bool ReadHeader()
    {
        if (m_file.size() < kFileHeaderBytes + 4 || m_file[0] != 'B' || m_file[1] != 'M')
            return Fail(m_file.size() >= 2 && m_file[0] == 'B' && m_file[1] == 'M' ? "the file is truncated"
                                                                                   : "not a BMP image");
        m_h.m_dataOffset = ReadLE(m_file, 10, 4);
        m_h.m_headerSize = ReadLE(m_file, 14, 4);
        const std::uint32_t size = m_h.m_headerSize;
        if (size != 12 && size != 40 && size != 52 && size != 56 && size != 64 && size != 108 && size != 124)
            return Fail("unsupported BMP header (" + std::to_string(size) + " bytes)");
        if (m_file.size() < kFileHeaderBytes + size)
            return Fail("the file is truncated");
        int planes = 0;
        if (size == 12) { // OS/2 core header: 16-bit sizes, bottom-up, no compression
            m_h.m_width = ReadLE(m_file, 18, 2);
            m_h.m_height = ReadLE(m_file, 20, 2);
            planes = static_cast<int>(ReadLE(m_file, 22, 2));
            m_h.m_bitsPerPixel = static_cast<int>(ReadLE(m_file, 24, 2));
        } else {
            m_h.m_width = static_cast<std::int32_t>(ReadLE(m_file, 18, 4));
            m_h.m_height = static_cast<std::int32_t>(ReadLE(m_file, 22, 4));
            planes = static_cast<int>(ReadLE(m_file, 26, 2));
            m_h.m_bitsPerPixel = static_cast<int>(ReadLE(m_file, 28, 2));
            m_h.m_compression = ReadLE(m_file, 30, 4);
            m_h.m_colorsUsed = ReadLE(m_file, 46, 4);
        }
        if (m_h.m_height < 0) {
            m_h.m_topDown = true;
            m_h.m_height = -m_h.m_height;
        }
        m_h.m_tableStart = kFileHeaderBytes + size;
        if (planes != 1)
            return Fail("corrupt BMP: " + std::to_string(planes) + " planes");

        const int bits = m_h.m_bitsPerPixel;
        const std::uint32_t c = m_h.m_compression;
        // OS/2's 64-byte header gives compression 3 and 4 other meanings: not read.
        const bool known =
            (c == kRgb && (bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32)) ||
            (c == kRle8 && bits == 8) || (c == kRle4 && bits == 4) ||
            (c == kBitFields && size != 64 && (bits == 16 || bits == 32));
        if (!known)
            return Fail("unsupported BMP variant (" + std::to_string(bits) + " bits, compression " +
                        std::to_string(c) + ")");
        if (m_h.m_topDown && (c == kRle8 || c == kRle4))
            return Fail("corrupt BMP: run-length data stored top-down");
        return true;
    }

    bool ReadMasks()
    {
        const int bits = m_h.m_bitsPerPixel;
        if (bits != 16 && bits != 32)
            return true;
        if (m_h.m_compression == kRgb) {
            if (bits == 16) // 5 bits each, the top bit unused
                return m_h.m_red.Set(0x7C00) && m_h.m_green.Set(0x03E0) && m_h.m_blue.Set(0x001F);
            return m_h.m_red.Set(0xFF0000) && m_h.m_green.Set(0xFF00) && m_h.m_blue.Set(0xFF);
        }
        // Bit fields: inside the longer headers, right after the 40-byte one.
        const std::size_t at = kFileHeaderBytes + 40;
        if (m_h.m_headerSize == 40) {
            if (m_file.size() < at + 12)
                return Fail("the file is truncated");
            m_h.m_tableStart = at + 12;
        }
        const std::uint32_t red = ReadLE(m_file, at, 4);
        const std::uint32_t green = ReadLE(m_file, at + 4, 4);
        const std::uint32_t blue = ReadLE(m_file, at + 8, 4);
        const std::uint64_t limit = bits == 16 ? 0xFFFFu : 0xFFFFFFFFu;
        if (red > limit || green > limit || blue > limit || !m_h.m_red.Set(red) || !m_h.m_green.Set(green) ||
            !m_h.m_blue.Set(blue))
            return Fail("corrupt BMP: bad colour masks");
        return true;
    }

    // The palette lies between the header and the pixel data. A pixel whose
    // index names no entry the file holds has no colour: the file is refused.
    bool ReadPalette()
    {
        if (m_h.m_dataOffset < m_h.m_tableStart)
            return Fail("corrupt BMP: the pixel data starts inside the header");
        if (m_h.m_bitsPerPixel > 8)
            return true;
        const std::size_t entryBytes = m_h.m_headerSize == 12 ? 3 : 4;
        std::size_t entries = std::size_t(1) << m_h.m_bitsPerPixel;
        if (m_h.m_colorsUsed != 0 && m_h.m_colorsUsed < entries)
            entries = m_h.m_colorsUsed;
        entries = std::min(entries, (m_h.m_dataOffset - m_h.m_tableStart) / entryBytes);
        if (m_file.size() < m_h.m_tableStart + entries * entryBytes)
            return Fail("the file is truncated");
        m_palette.assign(std::size_t(1) << m_h.m_bitsPerPixel, CBgr());
        m_nEntries = entries;
        for (std::size_t i = 0; i < entries; ++i) {
            const std::size_t at = m_h.m_tableStart + i * entryBytes;
            m_palette[i] = CBgr{m_file[at], m_file[at + 1], m_file[at + 2]};
        }
        return true;
    }

    bool CheckSize()
    {
        using namespace TextureLimits;
        if (m_h.m_width <= 0 || m_h.m_height <= 0)
            return Fail("corrupt BMP: the image is " + std::to_string(m_h.m_width) + "x" +
                        std::to_string(m_h.m_height) + " pixels");
        if (m_h.m_width > kMaxSide || m_h.m_height > kMaxSide || m_h.m_width * m_h.m_height > kMaxTexels)
            return Fail("the image is too large (" + std::to_string(m_h.m_width) + "x" +
                        std::to_string(m_h.m_height) + ")");
        if (m_file.size() <= m_h.m_dataOffset)
            return Fail("the file is truncated");
        const std::int64_t dataBytes = static_cast<std::int64_t>(m_file.size() - m_h.m_dataOffset);
        if (m_h.m_compression == kRle8 || m_h.m_compression == kRle4) {
            if (m_h.m_width * m_h.m_height > dataBytes * kMaxRleTexelsPerByte)
                return Fail("corrupt BMP: the image is larger than its data can describe");
            return true;
        }
        // Plain rows: each padded to 4 bytes; the last row's padding may be missing.
        m_stride = (m_h.m_width * m_h.m_bitsPerPixel + 31) / 32 * 4;
        const std::int64_t lastRow = (m_h.m_width * m_h.m_bitsPerPixel + 7) / 8;
        if (dataBytes < m_stride * (m_h.m_height - 1) + lastRow)
            return Fail("the file is truncated");
        return true;
    }

    // The texel of column x in the row y counted from the bottom of the image.
    std::uint8_t* Texel(std::int64_t x, std::int64_t yFromBottom)
    {
        const std::int64_t row = m_h.m_height - 1 - yFromBottom;
        return m_image.m_texels.data() + 4 * (row * m_h.m_width + x);
    }

    static void Put(std::uint8_t* texel, CBgr c)
    {
        texel[0] = c.b;
        texel[1] = c.g;
        texel[2] = c.r;
        texel[3] = 0xFF;
    }

    bool DecodePlain()
    {
        const int bits = m_h.m_bitsPerPixel;
        for (std::int64_t fileRow = 0; fileRow < m_h.m_height; ++fileRow) {
            const std::uint8_t* in = m_file.data() + m_h.m_dataOffset + fileRow * m_stride;
            const std::int64_t y = m_h.m_topDown ? m_h.m_height - 1 - fileRow : fileRow;
            std::uint8_t* out = Texel(0, y);
            for (std::int64_t x = 0; x < m_h.m_width; ++x, out += 4) {
                if (bits <= 8) {
                    const std::int64_t bit = x * bits;
                    const int shift = 8 - bits - static_cast<int>(bit % 8);
                    const unsigned index = (in[bit / 8] >> shift) & ((1u << bits) - 1);
                    if (index >= m_nEntries)
                        return Fail(kIndexPastPalette);
                    Put(out, m_palette[index]);
                } else if (bits == 24) {
                    Put(out, CBgr{in[3 * x], in[3 * x + 1], in[3 * x + 2]});
                } else {
                    const std::uint32_t pixel = bits == 16 ? ReadLE(in + 2 * x, 2) : ReadLE(in + 4 * x, 4);
                    Put(out, CBgr{m_h.m_blue.Of(pixel), m_h.m_green.Of(pixel), m_h.m_red.Of(pixel)});
                }
            }
        }
        return true;
    }

    // Writes black from the cursor up to position (x, y), as the texels a
    // delta or an end of line or image skips: they hold no data of the file.
    void SkipTo(std::int64_t x, std::int64_t y)
    {
        while (m_y < y || (m_y == y && m_x < x)) {
            if (m_x >= m_h.m_width) {
                m_x = 0;
                ++m_y;
                continue;
            }
            Put(Texel(m_x++, m_y), CBgr());
        }
    }

    // Writes one pixel at the cursor; pixels beyond the end of the row are dropped.
    void Emit(unsigned index)
    {
        if (m_x >= m_h.m_width)
            return;
        m_bIndexPastPalette = m_bIndexPastPalette || index >= m_nEntries;
        Put(Texel(m_x++, m_y), m_palette[index]);
    }

    bool DecodeRle()
    {
        const bool four = m_h.m_compression == kRle4;
        std::size_t at = m_h.m_dataOffset;
        const std::size_t end = m_file.size();
        m_x = 0;
        m_y = 0;
        // Done once every texel is written: the end markers after the last
        // pixel may then be missing.
        while (m_y < m_h.m_height && !(m_y == m_h.m_height - 1 && m_x >= m_h.m_width)) {
            if (end - at < 2)
                return Fail("the file is truncated (its run-length data ends early)");
            const unsigned count = m_file[at];
            const unsigned value = m_file[at + 1];
            at += 2;
            if (count > 0) { // a run of count pixels
                for (unsigned i = 0; i < count; ++i)
                    Emit(four ? (i % 2 == 0 ? value >> 4 : value & 0x0F) : value);
            } else if (value == 0) { // end of line
                SkipTo(0, m_y + 1);
            } else if (value == 1) { // end of image
                SkipTo(0, m_h.m_height);
            } else if (value == 2) { // delta: move right and up
                if (end - at < 2)
                    return Fail("the file is truncated (its run-length data ends early)");
                const std::int64_t x = std::min(m_x, m_h.m_width) + m_file[at];
                const std::int64_t y = m_y + m_file[at + 1];
                at += 2;
                if (x > m_h.m_width || y > m_h.m_height || (y == m_h.m_height && x > 0))
                    return Fail("corrupt BMP: a run-length jump leaves the image");
                SkipTo(x, y);
            } else { // value pixels given one by one, padded to 2 bytes
                const std::size_t bytes = four ? (value + 1) / 2 : value;
                if (end - at < bytes)
                    return Fail("the file is truncated (its run-length data ends early)");
                for (unsigned i = 0; i < value; ++i)
                    Emit(four ? (i % 2 == 0 ? m_file[at + i / 2] >> 4 : m_file[at + i / 2] & 0x0F)
                              : m_file[at + i]);
                at += bytes + bytes % 2;
                at = std::min(at, end);
            }
        }
        return m_bIndexPastPalette ? Fail(kIndexPastPalette) : true;
    }

    std::span<const std::uint8_t> m_file;
    CDecodedImage& m_image;
    std::string& m_error;
    CBmpHeader m_h;
    std::vector<CBgr> m_palette;
    std::size_t m_nEntries = 0; // of the palette, as the file holds them
    bool m_bIndexPastPalette = false;
    std::int64_t m_stride = 0;
    std::int64_t m_x = 0, m_y = 0; // run-length cursor, y counted from the bottom
};

} // namespace

bool DecodeBmp(std::span<const std::uint8_t> file, CDecodedImage& image, std::string& error,
               std::uint8_t prefill)
{
    CDecodedImage decoded;
    if (!CBmpReader(file, decoded, error).Decode(prefill))
        return false;
    image = std::move(decoded);
    return true;
}
