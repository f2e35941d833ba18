// Writing files: a reader that never reads, sockets, and the access control
// list and extended attributes of a replaced file.

#include "FileTestSupport.h"
#include "Watchdog.h"
#include "imageio/OutputFile.h"
#include "imageio/TextureFile.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fstream>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

std::span<const std::uint8_t> Bytes(const std::string& text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// The window may not wait on a pipe for long: a reader that holds it open and
// never reads is given up on once the pipe is full and the time is up; a reader
// that reads takes everything. orbo-render waits, as a shell redirect does.
TEST(OutputFileTest, AReaderThatNeverReadsIsGivenUpOn)
{
    const CWatchdog watchdog(30s, "writing into a pipe nobody reads");
    IgnoreWriteSignals();
    QTemporaryDir dir;
    const std::string fifo = dir.filePath("pipe").toStdString();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string image(1 << 20, 'x'); // more than a pipe holds
    const int idle = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(idle, 0);
    SFileError error;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(WriteWholeFile(fifo, Bytes(image), error, EPipeOpen::kFailWithoutReader));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::seconds(kSpecialWriteSeconds) - 100ms);
    EXPECT_LT(took, std::chrono::seconds(kSpecialWriteSeconds) + 3s);
    EXPECT_EQ(error.m_nErrno, ETIMEDOUT);
    EXPECT_EQ(error.m_strText, "the program reading from it took in no more within 2 seconds; part of the "
                               "image was written");
    ::close(idle);

    // Readers that read, for both ways of opening.
    for (EPipeOpen pipes : {EPipeOpen::kFailWithoutReader, EPipeOpen::kWaitForReader}) {
        const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(reader, 0);
        std::size_t got = 0;
        std::thread reading([&] {
            ::fcntl(reader, F_SETFL, 0);
            char chunk[4096];
            for (ssize_t n; (n = ::read(reader, chunk, sizeof chunk)) > 0;)
                got += static_cast<std::size_t>(n);
        });
        EXPECT_TRUE(WriteWholeFile(fifo, Bytes(image), error, pipes)) << error.m_strText;
        reading.join();
        ::close(reader);
        EXPECT_EQ(got, image.size());
    }
}

// A socket is neither written nor read as a file, and is named for what it is.
TEST(OutputFileTest, SocketsAreNamedForWhatTheyAre)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("socket").toStdString();
    const int server = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(server, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof address.sun_path);
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    ASSERT_EQ(::bind(server, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(server, 1), 0);
    for (EPipeOpen pipes : {EPipeOpen::kFailWithoutReader, EPipeOpen::kWaitForReader}) {
        SFileError error;
        EXPECT_FALSE(WriteWholeFile(path, Bytes("image"), error, pipes));
        EXPECT_EQ(error.m_kind, SFileError::EKind::kSocket);
        EXPECT_EQ(error.m_strText, "it is a socket, not a file");
    }
    CTexture texture;
    SFileError error;
    EXPECT_FALSE(LoadTextureFile(path, texture, error));
    EXPECT_EQ(error.m_kind, SFileError::EKind::kSocket);
    ::close(server);
}

constexpr const char* kAclName = "system.posix_acl_access";

// An access control list giving the user nobody read and write access (the
// kernel's form: a version, then tag, permissions and id per entry).
std::vector<std::uint8_t> AclForNobody()
{
    std::vector<std::uint8_t> acl;
    const auto put = [&acl](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            acl.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    };
    put(2, 4);
    const struct
    {
        std::uint16_t tag, perm;
        std::uint32_t id;
    } entries[] = {{0x01, 6, ~0u}, {0x02, 6, kNobody}, {0x04, 4, ~0u}, {0x10, 6, ~0u}, {0x20, 0, ~0u}};
    for (const auto& e : entries) {
        put(e.tag, 2);
        put(e.perm, 2);
        put(e.id, 4);
    }
    return acl;
}

std::string Attribute(const std::string& path, const char* name)
{
    char value[256];
    const ssize_t n = ::getxattr(path.c_str(), name, value, sizeof value);
    return n < 0 ? std::string("none: ") + std::strerror(errno) : std::string(value, static_cast<std::size_t>(n));
}

ino_t Inode(const std::string& path)
{
    struct stat info{};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

// A replaced file keeps its access control list and extended attributes, so a
// user given write access by the list keeps it. Where they cannot be carried
// over (here: the writer may not give the new file the old one's owner) the
// file is written in place and keeps them as they were.
TEST(OutputFileTest, ReplacedFilesKeepTheirAccessListAndAttributes)
{
    QTemporaryDir dir;
    const std::string base = dir.path().toStdString() + "/";
    ASSERT_EQ(::chmod(base.c_str(), 0755), 0);
    const std::vector<std::uint8_t> acl = AclForNobody();
    const auto make = [&](const std::string& path) {
        std::ofstream(path) << "old";
        ::chmod(path.c_str(), 0600);
        if (::setxattr(path.c_str(), kAclName, acl.data(), acl.size(), 0) != 0 ||
            ::setxattr(path.c_str(), "user.origin", "kept", 4, 0) != 0)
            return std::string(std::strerror(errno));
        return std::string();
    };
    const std::string file = base + "shared.png";
    if (const std::string why = make(file); !why.empty())
        GTEST_SKIP() << "this file system keeps no access control list or attribute: " << why;
    const std::string listed = Attribute(file, kAclName);

    const ino_t before = Inode(file);
    SFileError error;
    ASSERT_TRUE(WriteWholeFile(file, Bytes("new image"), error)) << error.m_strText;
    EXPECT_NE(Inode(file), before); // replaced, not written in place
    EXPECT_EQ(Contents(file), "new image");
    EXPECT_EQ(Attribute(file, kAclName), listed);
    EXPECT_EQ(Attribute(file, "user.origin"), "kept");
    struct stat info{};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0660u); // the list's mask as the group's bits
    if (::geteuid() != 0)
        return;

    // Root's file, which nobody may write through the list, in nobody's folder.
    const std::string theirs = base + "nobody/";
    ASSERT_EQ(::mkdir(theirs.c_str(), 0755), 0);
    ASSERT_EQ(::chown(theirs.c_str(), kNobody, kNobody), 0);
    const std::string rootFile = theirs + "root.png";
    ASSERT_EQ(make(rootFile), "");
    const ino_t rootBefore = Inode(rootFile);
    const std::string report = AsUnprivileged([&] {
        IgnoreWriteSignals();
        std::string problems;
        SFileError failure;
        // The replaced file first: nobody may still write it.
        if (!WriteWholeFile(file, Bytes("nobody's image"), failure))
            problems += "the replaced file lost nobody's access: " + failure.m_strText + "; ";
        if (!WriteWholeFile(rootFile, Bytes("nobody's image"), failure))
            problems += "root's file: " + failure.m_strText + "; ";
        return problems;
    });
    if (report == "cannot become nobody")
        GTEST_SKIP() << "running as root without the right to become nobody";
    EXPECT_EQ(report, "");
    EXPECT_EQ(Contents(rootFile), "nobody's image");
    EXPECT_EQ(Inode(rootFile), rootBefore); // written in place
    ASSERT_EQ(::stat(rootFile.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, 0u);
    EXPECT_EQ(Attribute(rootFile, kAclName), listed);
    EXPECT_EQ(Attribute(rootFile, "user.origin"), "kept");
}

} // namespace
