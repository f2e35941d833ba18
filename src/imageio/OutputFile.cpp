#include "imageio/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

std::string ErrnoText(int code)
{
    return std::strerror(code);
}

// Opens path for writing and writes bytes into it; flags say whether it is
// created or truncated.
bool WriteInto(const std::string& path, int flags, std::span<const std::uint8_t> bytes,
               std::string& error)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | flags, 0666);
    if (fd < 0) {
        error = ErrnoText(errno);
        return false;
    }
    bool ok = WriteAllTo(fd, bytes, error);
    if (::close(fd) != 0 && ok) {
        error = ErrnoText(errno);
        ok = false;
    }
    return ok;
}

// The permissions a new file would get, or those of the file it replaces.
mode_t ModeFor(const struct stat* existing)
{
    if (existing)
        return existing->st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

bool WriteAllTo(int fd, std::span<const std::uint8_t> bytes, std::string& error)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? ErrnoText(errno) : "nothing could be written";
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes, std::string& error)
{
    if (path.empty()) {
        error = ErrnoText(ENOENT);
        return false;
    }
    struct stat info {};
    const bool exists = ::stat(path.c_str(), &info) == 0;
    if (exists && S_ISDIR(info.st_mode)) {
        error = ErrnoText(EISDIR);
        return false;
    }
    if (exists && !S_ISREG(info.st_mode)) // a pipe or a device: written into, never replaced
        return WriteInto(path, 0, bytes, error);

    // A link to a regular file: the file it points to is replaced, the link stays.
    std::string target = path;
    struct stat link {};
    if (exists && ::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        if (char* resolved = ::realpath(path.c_str(), nullptr)) {
            target = resolved;
            std::free(resolved);
        }
    }
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    std::string temp = folder + "/.orbo-XXXXXX";
    std::vector<char> name(temp.begin(), temp.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        const int code = errno;
        // The folder takes no new file: an existing file is overwritten in place.
        if (exists && (code == EACCES || code == EPERM || code == EROFS) &&
            ::access(target.c_str(), W_OK) == 0)
            return WriteInto(target, O_TRUNC, bytes, error);
        error = ErrnoText(code);
        return false;
    }
    temp = name.data();
    bool ok = WriteAllTo(fd, bytes, error);
    if (ok && ::fchmod(fd, ModeFor(exists ? &info : nullptr)) != 0) {
        error = ErrnoText(errno);
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        error = ErrnoText(errno);
        ok = false;
    }
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        error = ErrnoText(errno);
        ok = false;
    }
    if (!ok)
        ::unlink(temp.c_str());
    return ok;
}
