#include "imageio/TextureFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <chrono>

#include <cstdint>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Rgb
{
    std::uint8_t r, g, b;
};

void PutLE(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A 24-bit uncompressed BMP, rows bottom-up and padded to 4 bytes, as BMP files are.
std::vector<std::uint8_t> Bmp24(int width, int height, const std::function<Rgb(int x, int y)>& pixel)
{
    const int stride = (width * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> b = {'B', 'M'};
    PutLE(b, 54 + stride * height, 4);
    PutLE(b, 0, 4);
    PutLE(b, 54, 4);
    for (std::uint32_t v : {40u, std::uint32_t(width), std::uint32_t(height)})
        PutLE(b, v, 4);
    PutLE(b, 1, 2);
    PutLE(b, 24, 2);
    for (std::uint32_t v : {0u, std::uint32_t(stride * height), 2835u, 2835u, 0u, 0u})
        PutLE(b, v, 4);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const Rgb c = pixel(x, y);
            b.insert(b.end(), {c.b, c.g, c.r});
        }
        b.resize(b.size() + static_cast<std::size_t>(stride - width * 3), 0);
    }
    return b;
}

void PutBE(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int i = 3; i >= 0; --i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A PNG chunk: length, type, data and checksum; length may claim what it likes.
std::vector<std::uint8_t> Chunk(const std::string& type, const std::vector<std::uint8_t>& data,
                                std::uint32_t length)
{
    std::vector<std::uint8_t> c;
    PutBE(c, length);
    c.insert(c.end(), type.begin(), type.end());
    c.insert(c.end(), data.begin(), data.end());
    uLong crc = ::crc32(0L, reinterpret_cast<const Bytef*>(type.data()), 4);
    if (!data.empty())
        crc = ::crc32(crc, data.data(), static_cast<uInt>(data.size()));
    PutBE(c, static_cast<std::uint32_t>(crc));
    return c;
}
std::vector<std::uint8_t> Chunk(const std::string& type, const std::vector<std::uint8_t>& data)
{
    return Chunk(type, data, static_cast<std::uint32_t>(data.size()));
}

// A PNG of width x height pixels of the given bit depth and colour type: rows
// of pixel bytes, unfiltered, deflated into one image data chunk; chunks (a
// palette, transparency) go between the header and the image data.
std::vector<std::uint8_t> Png(int width, int height, int depth, int colour,
                              const std::vector<std::vector<std::uint8_t>>& rows,
                              const std::vector<std::uint8_t>& chunks = {})
{
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    PutBE(header, static_cast<std::uint32_t>(width));
    PutBE(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {std::uint8_t(depth), std::uint8_t(colour), 0, 0, 0});
    const std::vector<std::uint8_t> ihdr = Chunk("IHDR", header);
    png.insert(png.end(), ihdr.begin(), ihdr.end());
    png.insert(png.end(), chunks.begin(), chunks.end());
    std::vector<std::uint8_t> raw;
    for (const auto& row : rows) {
        raw.push_back(0); // no filter
        raw.insert(raw.end(), row.begin(), row.end());
    }
    uLongf size = ::compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> deflated(size);
    EXPECT_EQ(::compress(deflated.data(), &size, raw.data(), static_cast<uLong>(raw.size())), Z_OK);
    deflated.resize(size);
    for (const auto& c : {Chunk("IDAT", deflated), Chunk("IEND", {})})
        png.insert(png.end(), c.begin(), c.end());
    return png;
}

// A 32-bit BMP with an alpha mask (a 108-byte header), rows bottom-up, each
// pixel blue, green, red, alpha.
std::vector<std::uint8_t> Bmp32Alpha(int width, int height, const std::vector<std::uint8_t>& bgraTopDown)
{
    std::vector<std::uint8_t> b = {'B', 'M'};
    PutLE(b, 14 + 108 + 4 * width * height, 4);
    PutLE(b, 0, 4);
    PutLE(b, 14 + 108, 4);
    for (std::uint32_t v : {108u, std::uint32_t(width), std::uint32_t(height)})
        PutLE(b, v, 4);
    PutLE(b, 1, 2);
    PutLE(b, 32, 2);
    for (std::uint32_t v : {3u, std::uint32_t(4 * width * height), 2835u, 2835u, 0u, 0u})
        PutLE(b, v, 4);
    for (std::uint32_t mask : {0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u})
        PutLE(b, mask, 4);
    b.resize(14 + 108, 0);
    for (int y = height - 1; y >= 0; --y)
        b.insert(b.end(), bgraTopDown.begin() + 4 * width * y, bgraTopDown.begin() + 4 * width * (y + 1));
    return b;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

// Texel (u, v) as blue, green, red.
std::vector<int> TexelBgr(const CTexture& t, int u, int v)
{
    const std::size_t at = 4 * (static_cast<std::size_t>(v) * t.Width() + u);
    return {t.Texels()[at], t.Texels()[at + 1], t.Texels()[at + 2]};
}

class TextureFileTest : public ::testing::Test
{
protected:
    std::string Path(const char* name) const { return m_dir.filePath(name).toStdString(); }
    QTemporaryDir m_dir;
};

TEST_F(TextureFileTest, Bmp24LoadsAsTopDownBgrTexels)
{
    const std::string path = Path("t.bmp");
    WriteFile(path, Bmp24(800, 320, [](int x, int y) -> Rgb {
                  if (x == 0 && y == 0) return {10, 20, 30};
                  if (x == 799 && y == 0) return {40, 50, 60};
                  if (x == 0 && y == 319) return {70, 80, 90};
                  if (x == 799 && y == 319) return {100, 110, 120};
                  return {128, 128, 128};
              }));
    CTexture texture;
    std::string error;
    ASSERT_TRUE(LoadTextureFile(path, texture, error)) << error;
    EXPECT_EQ(texture.Width(), 800);
    EXPECT_EQ(texture.Height(), 320);
    EXPECT_EQ(texture.Texels().size(), 1024000u);
    EXPECT_EQ(TexelBgr(texture, 0, 0), (std::vector<int>{30, 20, 10}));
    EXPECT_EQ(TexelBgr(texture, 799, 0), (std::vector<int>{60, 50, 40}));
    EXPECT_EQ(TexelBgr(texture, 0, 319), (std::vector<int>{90, 80, 70}));
    EXPECT_EQ(TexelBgr(texture, 799, 319), (std::vector<int>{120, 110, 100}));
}

// Rows of a 3-pixel BMP carry 3 padding bytes in the file and none in the texels.
TEST_F(TextureFileTest, PaddedRowsLoadWithoutGaps)
{
    const std::string path = Path("odd.bmp");
    WriteFile(path, Bmp24(3, 2, [](int x, int y) {
                  return Rgb{std::uint8_t(x * 10 + y), std::uint8_t(50 + y), std::uint8_t(90)};
              }));
    CTexture texture;
    std::string error;
    ASSERT_TRUE(LoadTextureFile(path, texture, error)) << error;
    ASSERT_EQ(texture.Texels().size(), 24u);
    EXPECT_EQ(TexelBgr(texture, 2, 0), (std::vector<int>{90, 50, 20}));
    EXPECT_EQ(TexelBgr(texture, 0, 1), (std::vector<int>{90, 51, 1}));
    EXPECT_EQ(TexelBgr(texture, 2, 1), (std::vector<int>{90, 51, 21}));
}

TEST_F(TextureFileTest, DefaultTextureOfTheRepositoryLoads)
{
    CTexture texture;
    std::string error;
    ASSERT_TRUE(LoadTextureFile(ORBO_SOURCE_DIR "/Data/texture1.bmp", texture, error)) << error;
    EXPECT_EQ(texture.Width(), 800);
    EXPECT_EQ(texture.Height(), 320);
    EXPECT_EQ(texture.Texels().size(), 1024000u);
}

TEST_F(TextureFileTest, UnreadableFilesFailAndLeaveTheTextureUntouched)
{
    const std::vector<std::uint8_t> good = Bmp24(800, 320, [](int, int) { return Rgb{1, 2, 3}; });
    std::vector<std::uint8_t> noise(5000);
    std::mt19937 random(7);
    for (auto& byte : noise)
        byte = static_cast<std::uint8_t>(random());
    // Qt's own reader would fill the missing rows of these with black.
    WriteFile(Path("cut.bmp"), std::vector<std::uint8_t>(good.begin(), good.begin() + 400000));
    WriteFile(Path("header.bmp"), std::vector<std::uint8_t>(good.begin(), good.begin() + 60));
    WriteFile(Path("empty.bmp"), {});
    WriteFile(Path("noise.bmp"), noise);
    // 100000 x 100000 declared: refused from the header, nothing allocated.
    std::vector<std::uint8_t> huge(good.begin(), good.begin() + 1000);
    for (int at : {18, 22}) {
        huge[at] = 0xA0;
        huge[at + 1] = 0x86;
        huge[at + 2] = 0x01;
    }
    WriteFile(Path("huge.bmp"), huge);

    // "" names the folder itself.
    for (const char* name : {"missing.bmp", "empty.bmp", "noise.bmp", "cut.bmp", "header.bmp",
                             "huge.bmp", ""}) {
        CTexture texture(1, 1, {9, 9, 9, 9});
        std::string error;
        EXPECT_FALSE(LoadTextureFile(Path(name), texture, error)) << name;
        EXPECT_FALSE(error.empty()) << name;
        EXPECT_EQ(texture.Width(), 1) << name;
        EXPECT_EQ(texture.Texels(), (std::vector<std::uint8_t>{9, 9, 9, 9})) << name;
    }
}

std::vector<std::uint8_t> ReadBytes(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    const QByteArray data = file.readAll();
    return std::vector<std::uint8_t>(data.begin(), data.end());
}

QStringList Samples(const char* folder)
{
    QDir dir(QStringLiteral(ORBO_SOURCE_DIR "/tests/imageio/textures/") + folder);
    QStringList paths;
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
        paths << dir.filePath(name);
    EXPECT_FALSE(paths.isEmpty()) << dir.path().toStdString();
    return paths;
}

// Every sample of every depth and compression loads, and whatever the buffer
// held before decoding, the same texels come out: none is left unwritten.
TEST(TextureSamplesTest, EveryAcceptedKindLoadsWithOnlyTexelsTheFileDefines)
{
    for (const QString& path : Samples("seeds")) {
        SCOPED_TRACE(path.toStdString());
        const std::vector<std::uint8_t> bytes = ReadBytes(path);
        CTexture a, b;
        std::string error;
        ASSERT_TRUE(DecodeTexture(bytes, a, error, 0x55)) << error;
        ASSERT_TRUE(DecodeTexture(bytes, b, error, 0xAA)) << error;
        EXPECT_EQ(a.Texels(), b.Texels());
        EXPECT_EQ(a.Texels().size(), 4u * a.Width() * a.Height());
        EXPECT_GT(a.Width(), 0);
        // The image Qt reads from the same file agrees where Qt reads it right.
        const QImage qt(path);
        if (!qt.isNull() && !path.contains("rle")) { // Qt leaves skipped run-length texels undefined
            ASSERT_EQ(qt.width(), a.Width());
            ASSERT_EQ(qt.height(), a.Height());
            for (int v = 0; v < qt.height(); ++v)
                for (int u = 0; u < qt.width(); ++u) {
                    const QRgb p = qt.pixel(u, v);
                    EXPECT_EQ(TexelBgr(a, u, v), (std::vector<int>{qBlue(p), qGreen(p), qRed(p)}))
                        << u << ", " << v;
                }
        }
    }
}

// Runs, literal groups, line ends, a delta and an early end of image: the
// texels skipped by the last three are black.
TEST(TextureSamplesTest, RunLengthBmpDecodesPixelByPixel)
{
    CTexture t;
    std::string error;
    ASSERT_TRUE(LoadTextureFile(ORBO_SOURCE_DIR "/tests/imageio/textures/seeds/rle8.bmp", t, error))
        << error;
    ASSERT_EQ(t.Width(), 7);
    ASSERT_EQ(t.Height(), 5);
    // Palette entry i is red i, green 3i, blue 255 - i; rows are stored bottom-up.
    const auto entry = [](int i) { return std::vector<int>{255 - i, 3 * i, i}; };
    const std::vector<int> black{0, 0, 0};
    EXPECT_EQ(TexelBgr(t, 0, 4), entry(1));
    EXPECT_EQ(TexelBgr(t, 2, 4), entry(1));
    EXPECT_EQ(TexelBgr(t, 3, 4), entry(2));
    EXPECT_EQ(TexelBgr(t, 6, 4), entry(5));
    EXPECT_EQ(TexelBgr(t, 6, 3), entry(9));
    EXPECT_EQ(TexelBgr(t, 0, 2), black);
    EXPECT_EQ(TexelBgr(t, 1, 1), black);
    EXPECT_EQ(TexelBgr(t, 2, 1), entry(6));
    EXPECT_EQ(TexelBgr(t, 3, 1), entry(6));
    EXPECT_EQ(TexelBgr(t, 4, 1), black);
    EXPECT_EQ(TexelBgr(t, 6, 0), black);
}

// Files found to load with texels the file never defined, or to be drawn from
// truncated data, or in formats whose truncation cannot be told.
TEST(TextureSamplesTest, FaultyFilesAreRefused)
{
    for (const QString& path : Samples("bad")) {
        SCOPED_TRACE(path.toStdString());
        CTexture texture(1, 1, {9, 9, 9, 9});
        std::string error;
        EXPECT_FALSE(LoadTextureFile(path.toStdString(), texture, error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(texture.Texels(), (std::vector<std::uint8_t>{9, 9, 9, 9}));
        if (path.endsWith(".gif") || path.endsWith(".ico")) {
            EXPECT_EQ(error, "not a BMP, PNG or JPEG image");
        }
    }
}

// Damaged PNG and JPEG files made from good ones: each is refused as truncated
// or corrupt with the reason, before a large image is allocated.
TEST(TextureSamplesTest, DamagedPngAndJpegSayWhatIsWrong)
{
    const std::vector<std::uint8_t> jpeg = ReadBytes(ORBO_SOURCE_DIR "/tests/imageio/textures/seeds/color.jpg");
    const std::vector<std::uint8_t> png = ReadBytes(ORBO_SOURCE_DIR "/tests/imageio/textures/seeds/rgb.png");
    ASSERT_EQ(jpeg.size(), 650u);
    // Cut inside the coded data, then closed with an end marker.
    std::vector<std::uint8_t> jpegCut(jpeg.begin(), jpeg.begin() + 630);
    jpegCut.insert(jpegCut.end(), {0xFF, 0xD9});
    // The frame header (at 158) claims 16384 x 4096 pixels.
    std::vector<std::uint8_t> jpegHuge = jpeg;
    jpegHuge[163] = 0x10, jpegHuge[164] = 0x00, jpegHuge[165] = 0x40, jpegHuge[166] = 0x00;
    std::vector<std::uint8_t> pngBadCrc = png;
    pngBadCrc[29] ^= 0xFF;
    const struct
    {
        std::vector<std::uint8_t> bytes;
        const char* reason;
    } cases[] = {
        {jpegCut, "(Corrupt JPEG data"},
        {jpegHuge, "(its 650 bytes cannot hold 16384x4096 pixels)"},
        {std::vector<std::uint8_t>(png.begin(), png.begin() + 40), "(it ends early"},
        {pngBadCrc, "(the header's checksum is wrong)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        CTexture texture;
        SFileError error;
        EXPECT_FALSE(DecodeTexture(c.bytes, texture, error));
        EXPECT_EQ(error.m_kind, SFileError::EKind::kCorrupt);
        EXPECT_EQ(error.m_strText.rfind("the file is truncated or corrupt ", 0), 0u) << error.m_strText;
        EXPECT_NE(error.m_strText.find(c.reason), std::string::npos) << error.m_strText;
    }
}

// One rule for transparency in every format that can carry it: a texel is the
// colour the file stores, whatever its alpha or transparency chunk says. A
// 16-bit file with a transparent colour holds the texels of the 8-bit file it
// was widened from; a palette index past the palette is refused.
TEST(TextureSamplesTest, TransparencyIsIgnoredAlikeInEveryFormat)
{
    // Colours of an 8-bit image, 19 x 7, the first of them also the transparent one.
    constexpr int kW = 19, kH = 7;
    std::mt19937 random(29);
    std::vector<std::vector<std::uint8_t>> rgb8(kH), rgb16(kH), rgba8(kH), grey16(kH), bgra(kH);
    std::vector<std::uint8_t> expected; // blue, green, red per texel
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const std::uint8_t r = static_cast<std::uint8_t>(random()), g = static_cast<std::uint8_t>(random()),
                               b = static_cast<std::uint8_t>(random());
            const std::uint8_t alpha = (x + y) % 3 == 0 ? 0 : 255;
            for (std::uint8_t c : {r, g, b}) {
                rgb8[y].push_back(c);
                rgb16[y].insert(rgb16[y].end(), {c, c}); // c * 257
            }
            rgba8[y].insert(rgba8[y].end(), {r, g, b, alpha});
            grey16[y].insert(grey16[y].end(), {r, r, 0, alpha}); // grey and alpha, 16 bits each
            expected.insert(expected.end(), {b, g, r});
        }
    const std::vector<std::uint8_t> first(rgb8[0].begin(), rgb8[0].begin() + 3);
    const std::vector<std::uint8_t> key8 = {0, first[0], 0, first[1], 0, first[2]};
    const std::vector<std::uint8_t> key16 = {first[0], first[0], first[1], first[1], first[2], first[2]};
    // A palette of the first row's colours, every entry but one transparent.
    std::vector<std::uint8_t> palette(rgb8[0].begin(), rgb8[0].end()), alphas(kW - 1, 0);
    std::vector<std::vector<std::uint8_t>> indices(kH, std::vector<std::uint8_t>(kW));
    for (int x = 0; x < kW; ++x)
        indices[0][static_cast<std::size_t>(x)] = static_cast<std::uint8_t>(x);
    std::vector<std::uint8_t> bmp;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const std::uint8_t* p = &rgba8[y][static_cast<std::size_t>(4 * x)];
            bmp.insert(bmp.end(), {p[2], p[1], p[0], p[3]});
        }
    std::vector<std::uint8_t> greyExpected;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            greyExpected.insert(greyExpected.end(), 3, rgb8[y][static_cast<std::size_t>(3 * x)]);
    // Row 0 has every entry of the palette, the rows below entry 0.
    std::vector<std::uint8_t> paletteExpected(expected.begin(), expected.begin() + 3 * kW);
    for (int y = 1; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            paletteExpected.insert(paletteExpected.end(), {expected[0], expected[1], expected[2]});

    const struct
    {
        const char* name;
        std::vector<std::uint8_t> file;
        const std::vector<std::uint8_t>* texels;
    } cases[] = {
        {"PNG RGB 8-bit", Png(kW, kH, 8, 2, rgb8), &expected},
        {"PNG RGB 8-bit with a transparent colour", Png(kW, kH, 8, 2, rgb8, Chunk("tRNS", key8)), &expected},
        {"PNG RGB 16-bit with a transparent colour", Png(kW, kH, 16, 2, rgb16, Chunk("tRNS", key16)), &expected},
        {"PNG RGBA 8-bit", Png(kW, kH, 8, 6, rgba8), &expected},
        {"PNG grey and alpha 16-bit", Png(kW, kH, 16, 4, grey16), &greyExpected},
        {"PNG palette with transparent entries",
         Png(kW, kH, 8, 3, indices, [&] {
             std::vector<std::uint8_t> c = Chunk("PLTE", palette), t = Chunk("tRNS", alphas);
             c.insert(c.end(), t.begin(), t.end());
             return c;
         }()),
         &paletteExpected},
        {"BMP 32-bit with an alpha mask", Bmp32Alpha(kW, kH, bmp), &expected},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTexture texture;
        std::string error;
        ASSERT_TRUE(DecodeTexture(c.file, texture, error, 0x5A)) << error;
        ASSERT_EQ(texture.Width(), kW);
        ASSERT_EQ(texture.Height(), kH);
        std::vector<std::uint8_t> got;
        for (int v = 0; v < kH; ++v)
            for (int u = 0; u < kW; ++u)
                for (int channel : TexelBgr(texture, u, v))
                    got.push_back(static_cast<std::uint8_t>(channel));
        EXPECT_EQ(got, *c.texels);
    }

    // An index past the palette names no colour: refused, in PNG and in BMP
    // (a 4 x 1 image of 8 bits with two colours, plain and run-length coded).
    std::vector<std::vector<std::uint8_t>> past = indices;
    past[3][5] = kW;
    std::vector<std::uint8_t> bmp8 = {'B', 'M'};
    PutLE(bmp8, 14 + 40 + 8 + 4, 4);
    PutLE(bmp8, 0, 4);
    PutLE(bmp8, 14 + 40 + 8, 4);
    for (std::uint32_t v : {40u, 4u, 1u})
        PutLE(bmp8, v, 4);
    PutLE(bmp8, 1, 2);
    PutLE(bmp8, 8, 2);
    for (std::uint32_t v : {0u, 4u, 2835u, 2835u, 2u, 0u})
        PutLE(bmp8, v, 4);
    bmp8.insert(bmp8.end(), {10, 20, 30, 0, 40, 50, 60, 0, 0, 1, 0, 1});
    std::vector<std::uint8_t> rle8 = bmp8;
    rle8[30] = 1; // compression: 8-bit runs
    rle8.resize(rle8.size() - 4);
    rle8.insert(rle8.end(), {2, 1, 2, 0, 0, 1});
    for (const std::vector<std::uint8_t>& good : {bmp8, rle8}) {
        CTexture texture;
        std::string error;
        ASSERT_TRUE(DecodeTexture(good, texture, error)) << error;
        EXPECT_EQ(TexelBgr(texture, 1, 0), (std::vector<int>{40, 50, 60}));
    }
    std::vector<std::uint8_t> bmpPast = bmp8, rlePast = rle8;
    bmpPast[bmpPast.size() - 1] = 2;
    rlePast[rlePast.size() - 3] = 2;
    for (const std::vector<std::uint8_t>& file : {Png(kW, kH, 8, 3, past, Chunk("PLTE", palette)), bmpPast, rlePast}) {
        CTexture texture;
        std::string error;
        EXPECT_FALSE(DecodeTexture(file, texture, error));
        EXPECT_NE(error.find("past the end of its palette"), std::string::npos) << error;
    }
}

// What a damaged PNG claims is checked against the file before anything is
// allocated for it: a chunk longer than the rest of the file, image data far
// too short for the size in the header. The file's bytes reach the message
// escaped, on one line; image data that ends early is refused.
TEST(TextureSamplesTest, PngClaimsAreCheckedBeforeAnythingIsAllocated)
{
    const std::vector<std::vector<std::uint8_t>> rows(4, std::vector<std::uint8_t>(12, 7));
    const std::vector<std::uint8_t> good = Png(4, 4, 8, 2, rows);
    std::vector<std::uint8_t> header(good.begin(), good.begin() + 33);

    std::vector<std::uint8_t> longChunk = header; // 41 bytes claiming 2 GB
    const std::vector<std::uint8_t> text = Chunk("tEXt", {}, 0x7FFFFFF0);
    longChunk.insert(longChunk.end(), text.begin(), text.end() - 4);
    std::vector<std::uint8_t> controls = header; // a chunk type that clears the terminal
    const std::vector<std::uint8_t> odd = Chunk(std::string("\x1b[2J", 4), {}, 1000);
    controls.insert(controls.end(), odd.begin(), odd.end());
    std::vector<std::uint8_t> newline = header;
    const std::vector<std::uint8_t> broken = Chunk(std::string("a\nb\0", 4), {}, 1000);
    newline.insert(newline.end(), broken.begin(), broken.end());
    // 16384 x 4096 claimed, 100 bytes of image data.
    std::vector<std::uint8_t> huge = header;
    huge.resize(8);
    std::vector<std::uint8_t> ihdr;
    PutBE(ihdr, 16384);
    PutBE(ihdr, 4096);
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
    for (const auto& c : {Chunk("IHDR", ihdr), Chunk("IDAT", std::vector<std::uint8_t>(100, 0)), Chunk("IEND", {})})
        huge.insert(huge.end(), c.begin(), c.end());
    // Image data cut short, closed properly: the rows it lacks are not made up.
    std::vector<std::vector<std::uint8_t>> moreRows = rows;
    moreRows.resize(2);
    std::vector<std::uint8_t> shortData = Png(4, 2, 8, 2, moreRows);
    shortData[23] = 4; // the header says 4 rows
    const uLong crc = ::crc32(0L, shortData.data() + 12, 17);
    for (int i = 0; i < 4; ++i)
        shortData[29 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));

    const struct
    {
        const char* name;
        std::vector<std::uint8_t> bytes;
        const char* reason;
    } cases[] = {
        {"long chunk", longChunk, "(it ends early, inside its tEXt chunk)"},
        {"escape", controls, "(it ends early, inside its \\x1b[2J chunk)"},
        {"newline", newline, "(it ends early, inside its a\\x0ab\\x00 chunk)"},
        {"huge", huge, "(its 100 bytes of image data cannot hold 16384x4096 pixels)"},
        {"short data", shortData, "(Not enough image data)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTexture texture;
        SFileError error;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(DecodeTexture(c.bytes, texture, error));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
        EXPECT_EQ(error.m_kind, SFileError::EKind::kCorrupt);
        EXPECT_EQ(error.m_strText, std::string("the file is truncated or corrupt ") + c.reason);
        for (char ch : error.m_strText)
            EXPECT_GE(static_cast<unsigned char>(ch), 0x20) << error.m_strText;
    }
}

TEST_F(TextureFileTest, OnlyRegularFilesAreReadAndNamesAreBytes)
{
    // A pipe with no writer would block a reader for ever: it is refused at once.
    const std::string fifo = Path("pipe.bmp");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    CTexture texture;
    std::string error;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(LoadTextureFile(fifo, texture, error));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(error, "not a regular file");
    EXPECT_FALSE(LoadTextureFile("/dev/zero", texture, error));
    ::unlink(fifo.c_str());

    // A name that is not UTF-8 names the file with exactly those bytes.
    const std::string latin = Path("t") + "\xff.bmp";
    WriteFile(latin, Bmp24(2, 2, [](int, int) { return Rgb{1, 2, 3}; }));
    ASSERT_TRUE(LoadTextureFile(latin, texture, error)) << error;
    EXPECT_EQ(texture.Width(), 2);
}

// Qt's readers refuse images over 128 MB by default; up to the texture limit of
// 64 M texels they load, beyond it they are refused from the header.
TEST_F(TextureFileTest, LargeImagesLoadUpToTheTextureLimit)
{
    const QString big = m_dir.filePath("big.png");
    QImage image(8192, 4100, QImage::Format_RGB888);
    image.fill(qRgb(10, 20, 30));
    image.setPixel(8191, 4099, qRgb(200, 100, 50));
    ASSERT_TRUE(image.save(big, "png", 10));
    image = QImage();
    CTexture texture;
    std::string error;
    ASSERT_TRUE(LoadTextureFile(big.toStdString(), texture, error)) << error;
    EXPECT_EQ(TexelBgr(texture, 8191, 4099), (std::vector<int>{50, 100, 200}));
    texture = CTexture();

    // The same header claiming 8193 x 8193.
    std::vector<std::uint8_t> bytes = ReadBytes(QStringLiteral(ORBO_SOURCE_DIR "/tests/imageio/textures/seeds/rgb.png"));
    for (int at : {16, 20}) {
        bytes[at + 2] = 0x20;
        bytes[at + 3] = 0x01;
        bytes[at] = bytes[at + 1] = 0;
    }
    std::uint32_t crc = 0xFFFFFFFF; // over the chunk type and data, bytes 12 .. 28
    for (int at = 12; at < 29; ++at) {
        crc ^= bytes[at];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    crc = ~crc;
    for (int i = 0; i < 4; ++i)
        bytes[29 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    EXPECT_FALSE(DecodeTexture(bytes, texture, error));
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
}

} // namespace
