#include "imageio/FrameImage.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

namespace {

TEST(FrameImageTest, SavedPngReadsBackWithTheSinkPixels)
{
    CPixelSink sink(7, 5); // odd sizes: origin at column 3, row 2
    sink.SetPixel(0, 0, 0x00332211);   // red 0x11, green 0x22, blue 0x33
    sink.SetPixel(-3, 2, 0x000000FF);  // top left, pure red
    sink.SetPixel(3, -2, 0x00FF0000);  // bottom right, pure blue
    sink.SetPixel(1, 1, 0x00FFFFFF);

    QTemporaryDir dir;
    const std::string path = dir.filePath("frame.png").toStdString();
    std::string error;
    ASSERT_TRUE(SaveFramePng(sink, path, error)) << error;

    QImage image(QString::fromStdString(path));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(7, 5));
    EXPECT_FALSE(image.hasAlphaChannel());
    EXPECT_EQ(image.pixel(3, 2), qRgb(0x11, 0x22, 0x33));
    EXPECT_EQ(image.pixel(0, 0), qRgb(0xFF, 0, 0));
    EXPECT_EQ(image.pixel(6, 4), qRgb(0, 0, 0xFF));
    for (int row = 0; row < 5; ++row) {
        for (int col = 0; col < 7; ++col) {
            const std::uint32_t p = sink.DevicePixel(col, row);
            EXPECT_EQ(image.pixel(col, row), qRgb(p & 0xFF, (p >> 8) & 0xFF, (p >> 16) & 0xFF))
                << col << ", " << row;
        }
    }
}

TEST(FrameImageTest, FailuresWriteNothingAndSayWhy)
{
    QTemporaryDir dir;
    std::string error;
    const std::string empty = dir.filePath("empty.png").toStdString();
    EXPECT_FALSE(SaveFramePng(CPixelSink(0, 5), empty, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(empty)));

    error.clear();
    const std::string nowhere = dir.filePath("no/such/folder/f.png").toStdString();
    EXPECT_FALSE(SaveFramePng(CPixelSink(4, 4), nowhere, error));
    EXPECT_FALSE(error.empty());

    error.clear();
    EXPECT_FALSE(SaveFramePng(CPixelSink(4, 4), dir.path().toStdString(), error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(QFileInfo(dir.path()).isDir());
}

} // namespace
