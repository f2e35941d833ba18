#include "imageio/FrameImage.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

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

// Entries of a folder other than . and .., read as bytes (Qt would decode them).
int CountEntries(const std::string& folder)
{
    int count = 0;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir))
            count += std::string(entry->d_name) != "." && std::string(entry->d_name) != ".." ? 1 : 0;
        ::closedir(dir);
    }
    return count;
}

std::string Contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// An existing pipe or device is written into, never replaced by a regular file.
TEST(FrameImageTest, PipesAndDevicesAreWrittenIntoNotReplaced)
{
    QTemporaryDir dir;
    const std::string fifo = dir.filePath("pipe").toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    std::string error;
    ASSERT_TRUE(SaveFramePng(CPixelSink(4, 3), fifo, error)) << error;
    char head[8] = {};
    EXPECT_EQ(::read(reader, head, sizeof head), 8);
    EXPECT_EQ(std::string(head + 1, 3), "PNG");
    ::close(reader);
    struct stat info {};
    ASSERT_EQ(::stat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));

    EXPECT_FALSE(SaveFramePng(CPixelSink(4, 3), "/dev/full", error));
    EXPECT_EQ(error, "No space left on device");
    ASSERT_EQ(::stat("/dev/full", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
}

TEST(FrameImageTest, NamesAreBytesAndReplacedFilesKeepTheirPlaceAndMode)
{
    QTemporaryDir dir;
    const std::string base = dir.path().toStdString() + "/";
    std::string error;
    // Two names that differ only in a byte that is not UTF-8 are two files.
    ASSERT_TRUE(SaveFramePng(CPixelSink(2, 2), base + "\xff.png", error)) << error;
    ASSERT_TRUE(SaveFramePng(CPixelSink(3, 3), base + "\xfe.png", error)) << error;
    EXPECT_NE(Contents(base + "\xff.png"), Contents(base + "\xfe.png"));
    EXPECT_EQ(CountEntries(base), 2);
    ::unlink((base + "\xff.png").c_str()); // QTemporaryDir cannot name them
    ::unlink((base + "\xfe.png").c_str());

    // A replaced file keeps its permissions; a link to it stays a link.
    const std::string kept = base + "kept.png";
    std::ofstream(kept) << "old";
    ASSERT_EQ(::chmod(kept.c_str(), 0640), 0);
    ASSERT_EQ(::symlink("kept.png", (base + "link.png").c_str()), 0);
    ASSERT_TRUE(SaveFramePng(CPixelSink(2, 2), base + "link.png", error)) << error;
    struct stat info {};
    ASSERT_EQ(::lstat((base + "link.png").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_EQ(::stat(kept.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(Contents(kept).substr(1, 3), "PNG");

    // A writable file in a folder that takes no new files is overwritten in place.
    const std::string locked = base + "locked";
    ASSERT_EQ(::mkdir(locked.c_str(), 0700), 0);
    std::ofstream(locked + "/f.png") << "old";
    ASSERT_EQ(::chmod(locked.c_str(), 0500), 0);
    const bool saved = SaveFramePng(CPixelSink(2, 2), locked + "/f.png", error);
    ::chmod(locked.c_str(), 0700);
    EXPECT_TRUE(saved) << error;
    EXPECT_EQ(Contents(locked + "/f.png").substr(1, 3), "PNG");
    EXPECT_EQ(CountEntries(locked), 1);
}

} // namespace
