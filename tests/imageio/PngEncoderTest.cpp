// The frame encoders: every drawing, at every compression level and as PPM,
// decodes to exactly the frame's pixels.

#include "imageio/FrameImage.h"
#include "imageio/PngEncoder.h"
#include "imageio/TextureFile.h"
#include "render/TorusRenderer.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct SDrawing
{
    const char* name;
    int mode, light, shading;
};

constexpr SDrawing kDrawings[] = {
    {"wireframe", kModeWireframe, kLightOn, kShadingGouraud}, {"gouraud", kModeSurface, kLightOn, kShadingGouraud},
    {"phong", kModeSurface, kLightOn, kShadingPhong},         {"texture", kModeTexture, kLightOff, kShadingPhong},
    {"lit texture", kModeTexture, kLightOn, kShadingPhong},
};

std::shared_ptr<const CTexture> DefaultTexture()
{
    static const std::shared_ptr<const CTexture> texture = [] {
        CTexture loaded;
        std::string error;
        EXPECT_TRUE(LoadTextureFile(ORBO_SOURCE_DIR "/Data/texture1.bmp", loaded, error)) << error;
        return std::make_shared<const CTexture>(std::move(loaded));
    }();
    return texture;
}

CPixelSink Draw(const SDrawing& drawing, int width, int height, double angleX = 30.0, double angleY = 20.0)
{
    CRenderSettings settings;
    settings.m_nMode = drawing.mode;
    settings.m_nLight = drawing.light;
    settings.m_nShading = drawing.shading;
    CTorusRenderer renderer;
    renderer.Setup(settings, angleX, angleY, DefaultTexture());
    CPixelSink sink(width, height);
    renderer.RenderFrame(sink);
    return sink;
}

QByteArray Bytes(const std::vector<std::uint8_t>& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

// The first pixel where the decoded image differs from the frame, or "".
std::string Difference(const QImage& image, const CPixelSink& sink)
{
    if (image.size() != QSize(sink.Width(), sink.Height()))
        return "size " + std::to_string(image.width()) + "x" + std::to_string(image.height());
    if (image.hasAlphaChannel())
        return "an alpha channel";
    for (int row = 0; row < sink.Height(); ++row)
        for (int col = 0; col < sink.Width(); ++col) {
            const std::uint32_t p = sink.DevicePixel(col, row);
            if (image.pixel(col, row) != qRgb(p & 0xFF, (p >> 8) & 0xFF, (p >> 16) & 0xFF))
                return "pixel " + std::to_string(col) + "," + std::to_string(row);
        }
    return {};
}

// All five drawings, in odd sizes and a single pixel, at every compression
// level and as PPM, read back by Qt's decoders.
TEST(PngEncoderTest, EveryDrawingDecodesToTheFramesPixels)
{
    const QSize sizes[] = {{1, 1}, {37, 23}, {161, 120}};
    std::vector<std::uint8_t> bytes; // reused, as a sequence reuses it
    for (const SDrawing& drawing : kDrawings) {
        for (const QSize size : sizes) {
            const CPixelSink sink = Draw(drawing, size.width(), size.height());
            for (int level = PngCompression::kStored; level <= PngCompression::kSmallest + 1; ++level) {
                const bool ppm = level > PngCompression::kSmallest;
                SCOPED_TRACE(std::string(drawing.name) + " " + std::to_string(size.width()) + "x" +
                             std::to_string(size.height()) + (ppm ? " ppm" : " level " + std::to_string(level)));
                SFileError error;
                ASSERT_TRUE(EncodeFrame(sink, ppm ? EFrameFormat::kPpm : EFrameFormat::kPng, level, bytes, error))
                    << error.m_strText;
                const QImage image = QImage::fromData(Bytes(bytes), ppm ? "ppm" : "png");
                EXPECT_EQ(Difference(image, sink), "");
                if (ppm) {
                    const std::string header = "P6\n" + std::to_string(size.width()) + " " +
                                               std::to_string(size.height()) + "\n255\n";
                    EXPECT_EQ(bytes.size(), header.size() + 3u * static_cast<unsigned>(size.width() * size.height()));
                    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + static_cast<long>(header.size())), header);
                }
            }
        }
    }
    // Neither format holds an empty frame.
    SFileError error;
    EXPECT_FALSE(EncodeFrame(CPixelSink(0, 3), EFrameFormat::kPpm, 0, bytes, error));
    EXPECT_EQ(error.m_kind, SFileError::EKind::kEmptyFrame);
    EXPECT_TRUE(bytes.empty());
}

// A 16-bit grey image keeps every sample, high and low byte.
TEST(PngEncoderTest, GreyOf16BitsKeepsEverySample)
{
    const std::uint16_t samples[2][3] = {{0, 1, 255}, {256, 0x1234, 65535}};
    SPngPixels pixels;
    pixels.m_layout = SPngPixels::ELayout::kGrey16;
    pixels.m_nWidth = 3;
    pixels.m_nHeight = 2;
    pixels.m_pData = reinterpret_cast<const std::uint8_t*>(samples);
    pixels.m_nStride = sizeof samples[0];
    std::vector<std::uint8_t> png;
    SFileError error;
    ASSERT_TRUE(EncodePng(pixels, PngCompression::kDefault, png, error)) << error.m_strText;
    const QImage image = QImage::fromData(Bytes(png), "png");
    ASSERT_EQ(image.format(), QImage::Format_Grayscale16);
    for (int row = 0; row < 2; ++row) {
        std::uint16_t decoded[3];
        std::memcpy(decoded, image.constScanLine(row), sizeof decoded);
        for (int col = 0; col < 3; ++col)
            EXPECT_EQ(decoded[col], samples[row][col]) << col << "," << row;
    }
}

// The sizes the levels were chosen for, on the frame a sequence of the
// default texture starts with: the default level within 1.5 times, and the
// smallest no larger than, Qt's PNG writer at its defaults (43,284 bytes).
TEST(PngEncoderTest, TextureFrameSizes)
{
    const CPixelSink sink = Draw(kDrawings[4], 1920, 1080, 0.0, 0.0);
    std::vector<std::uint8_t> png;
    SFileError error;
    ASSERT_TRUE(EncodeFrame(sink, EFrameFormat::kPng, PngCompression::kDefault, png, error));
    EXPECT_LE(png.size(), 43284u * 3 / 2);
    ASSERT_TRUE(EncodeFrame(sink, EFrameFormat::kPng, PngCompression::kSmallest, png, error));
    EXPECT_LE(png.size(), 43284u);
}

} // namespace
