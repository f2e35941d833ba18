#include "imageio/TextureFile.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cstdint>
#include <fstream>
#include <functional>
#include <random>
#include <string>
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

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

// Texel (u, v) as blue, green, red.
std::vector<int> TexelBgr(const CTexture& t, int u, int v)
{
    const std::size_t at = 4 * (static_cast<std::size_t>(v) * t.m_desc.m_nWidth + u);
    return {t.m_texels[at], t.m_texels[at + 1], t.m_texels[at + 2]};
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
    EXPECT_EQ(texture.m_desc.m_nType, 0);
    EXPECT_EQ(texture.m_desc.m_nWidth, 800);
    EXPECT_EQ(texture.m_desc.m_nHeight, 320);
    EXPECT_EQ(texture.m_desc.m_nBytesPerRow, 3200);
    EXPECT_EQ(texture.m_desc.m_nPlanes, 1);
    EXPECT_EQ(texture.m_desc.m_nBitsPerTexel, 32);
    EXPECT_EQ(texture.m_texels.size(), 1024000u);
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
    EXPECT_EQ(texture.m_desc.m_nBytesPerRow, 12);
    ASSERT_EQ(texture.m_texels.size(), 24u);
    EXPECT_EQ(TexelBgr(texture, 2, 0), (std::vector<int>{90, 50, 20}));
    EXPECT_EQ(TexelBgr(texture, 0, 1), (std::vector<int>{90, 51, 1}));
    EXPECT_EQ(TexelBgr(texture, 2, 1), (std::vector<int>{90, 51, 21}));
}

TEST_F(TextureFileTest, DefaultTextureOfTheRepositoryLoads)
{
    CTexture texture;
    std::string error;
    ASSERT_TRUE(LoadTextureFile(ORBO_SOURCE_DIR "/Data/texture1.bmp", texture, error)) << error;
    EXPECT_EQ(texture.m_desc.m_nWidth, 800);
    EXPECT_EQ(texture.m_desc.m_nHeight, 320);
    EXPECT_EQ(texture.m_texels.size(), 1024000u);
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
        CTexture texture;
        texture.m_desc.m_nWidth = 5;
        texture.m_texels = {9, 9, 9, 9};
        std::string error;
        EXPECT_FALSE(LoadTextureFile(Path(name), texture, error)) << name;
        EXPECT_FALSE(error.empty()) << name;
        EXPECT_EQ(texture.m_desc.m_nWidth, 5) << name;
        EXPECT_EQ(texture.m_texels, (std::vector<std::uint8_t>{9, 9, 9, 9})) << name;
    }
}

} // namespace
