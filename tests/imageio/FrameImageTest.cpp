#include "FileTestSupport.h"
#include "imageio/FrameImage.h"
#include "imageio/OutputFile.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <dirent.h>
#include <grp.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sys/resource.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

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

}

// A folder that takes no new file; a writable file in it, a write-protected one
// beside it in a folder of the user's own. Root runs the checks as nobody.
TEST(FrameImageTest, WriteProtectionAndFoldersThatTakeNoNewFile)
{
    QTemporaryDir dir;
    const std::string base = dir.path().toStdString() + "/";
    ASSERT_EQ(::chmod(base.c_str(), 0755), 0); // nobody may look in
    const std::string locked = base + "locked", own = base + "own";
    ASSERT_EQ(::mkdir(locked.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(own.c_str(), 0755), 0);
    std::ofstream(locked + "/f.png") << "old";
    std::ofstream(own + "/ro.png") << "old";
    ASSERT_EQ(::chmod((locked + "/f.png").c_str(), 0666), 0);
    ASSERT_EQ(::chmod((own + "/ro.png").c_str(), 0444), 0);
    ASSERT_EQ(::chmod(locked.c_str(), 0555), 0);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(own.c_str(), kNobody, kNobody), 0);
        ASSERT_EQ(::chown((own + "/ro.png").c_str(), kNobody, kNobody), 0);
    }
    const std::string report = AsUnprivileged([&] {
        IgnoreWriteSignals();
        std::string problems;
        SFileError error;
        // A write-protected file in one's own folder: refused, untouched.
        if (SaveFramePng(CPixelSink(2, 2), own + "/ro.png", error) || error.m_nErrno != EACCES)
            problems += "write-protected file not refused: " + error.m_strText + "; ";
        // The reservation fails (here at the file-size limit, as on a full
        // disk): the old content stays.
        const rlimit limit{100, RLIM_INFINITY}, none{RLIM_INFINITY, RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        if (SaveFramePng(CPixelSink(64, 64), locked + "/f.png", error) || error.m_bDamaged ||
            error.m_strText.find("left as it was") == std::string::npos)
            problems += "in-place write past the limit: " + error.m_strText + "; ";
        ::setrlimit(RLIMIT_FSIZE, &none);
        if (Contents(locked + "/f.png") != "old")
            problems += "the old content was lost; ";
        // Room enough: written in place, no other file made.
        if (!SaveFramePng(CPixelSink(2, 2), locked + "/f.png", error))
            problems += "in place: " + error.m_strText + "; ";
        return problems;
    });
    ::chmod(locked.c_str(), 0755);
    if (report == "cannot become nobody")
        GTEST_SKIP() << "running as root without the right to become nobody";
    EXPECT_EQ(report, "");
    EXPECT_EQ(Contents(own + "/ro.png"), "old");
    EXPECT_EQ(Contents(locked + "/f.png").substr(1, 3), "PNG");
    EXPECT_EQ(CountEntries(locked), 1);
}

// Links, owners, the umask and leftovers of killed runs.
TEST(FrameImageTest, LinksOwnersAndLeftoversAreKept)
{
    QTemporaryDir dir;
    const std::string base = dir.path().toStdString() + "/";
    std::string error;

    // Leftovers of killed runs: ours and over a minute old are removed by the
    // first write into the folder; a fresh one (another run may be writing it)
    // and another user's stay.
    const std::string stale = base + kTemporaryPrefix + "aaaaaa", fresh = base + kTemporaryPrefix + "bbbbbb",
                      theirs = base + kTemporaryPrefix + "cccccc";
    for (const std::string& name : {stale, fresh, theirs})
        std::ofstream(name) << "part";
    const timespec old[2] = {{std::time(nullptr) - 120, 0}, {std::time(nullptr) - 120, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, stale.c_str(), old, 0), 0);
    ASSERT_EQ(::utimensat(AT_FDCWD, theirs.c_str(), old, 0), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(theirs.c_str(), kNobody, kNobody), 0);
    }

    // A dangling link: its target is created, the link stays.
    ASSERT_EQ(::symlink("missing.png", (base + "dangling.png").c_str()), 0);
    ASSERT_TRUE(SaveFramePng(CPixelSink(2, 2), base + "dangling.png", error)) << error;
    struct stat info {};
    ASSERT_EQ(::lstat((base + "dangling.png").c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(Contents(base + "missing.png").substr(1, 3), "PNG");

    // A file with two names: written in place, both names see the new image.
    std::ofstream(base + "one.png") << "old";
    ASSERT_EQ(::link((base + "one.png").c_str(), (base + "two.png").c_str()), 0);
    ASSERT_TRUE(SaveFramePng(CPixelSink(2, 2), base + "one.png", error)) << error;
    EXPECT_EQ(Contents(base + "two.png"), Contents(base + "one.png"));
    ASSERT_EQ(::stat((base + "two.png").c_str(), &info), 0);
    EXPECT_EQ(info.st_nlink, 2u);

    // A new file gets the mode the umask leaves.
    const mode_t mask = ::umask(027);
    const bool saved = SaveFramePng(CPixelSink(2, 2), base + "new.png", error);
    ::umask(mask);
    ASSERT_TRUE(saved) << error;
    ASSERT_EQ(::stat((base + "new.png").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    // Root replacing another user's file leaves it theirs.
    if (root) {
        ASSERT_EQ(::chown((base + "new.png").c_str(), kNobody, kNobody), 0);
    }
    ASSERT_TRUE(SaveFramePng(CPixelSink(3, 3), base + "new.png", error)) << error;
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(stale)));
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(fresh)));
    EXPECT_EQ(QFileInfo::exists(QString::fromStdString(theirs)), root);
    ASSERT_EQ(::stat((base + "new.png").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    if (root) {
        EXPECT_EQ(info.st_uid, kNobody);
    }
}

// A pipe nobody reads from is refused at once when waiting is not allowed; a
// large frame is encoded without starting a thread (that may never start when
// memory is tight).
TEST(FrameImageTest, NothingWaitsOnAReaderOrAThread)
{
    QTemporaryDir dir;
    const std::string fifo = dir.filePath("pipe").toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    SFileError error;
    EXPECT_FALSE(SaveFramePng(CPixelSink(4, 3), fifo, error, EPipeOpen::kFailWithoutReader));
    EXPECT_EQ(error.m_nErrno, ENXIO);

    const auto threads = [] { return CountEntries("/proc/self/task"); };
    const int before = threads();
    CPixelSink sink(2048, 2048);
    ASSERT_TRUE(SaveFramePng(sink, dir.filePath("big.png").toStdString(), error)) << error.m_strText;
    EXPECT_EQ(threads(), before);
}

} // namespace
