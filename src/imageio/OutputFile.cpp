#include "imageio/OutputFile.h"

#include <attr/libattr.h>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <ctime>
#include <mutex>
#include <set>
#include <vector>

namespace {

using EKind = SFileError::EKind;

// Temporary files of ours older than this are left by a run that was killed.
constexpr std::time_t kStaleSeconds = 60;
constexpr std::size_t kRandomChars = 6;

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// Follows symbolic links to the name that is finally written; a link to a
// missing file names the file to create, as a shell redirect takes it.
bool ResolveLinks(const std::string& path, std::string& target, SFileError& error)
{
    target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info
        {
        };
        if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return true;
        std::vector<char> link(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1);
        const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n < 0) {
            error = SFileError::System(errno);
            return false;
        }
        if (static_cast<std::size_t>(n) == link.size()) { // grew since lstat: look again
            --hops;
            continue;
        }
        const std::string to(link.data(), static_cast<std::size_t>(n));
        target = !to.empty() && to[0] == '/' ? to : FolderOf(target) + "/" + to;
    }
    error = SFileError::System(ELOOP);
    return false;
}

// Removes temporary files of ours (by name and owner) that a killed run left
// behind in folder more than a minute ago. Each folder is looked through once
// a process, so that writing many frames into a large folder stays cheap.
// Failures change nothing.
void RemoveStaleTemporaries(const std::string& folder)
{
    static std::mutex mutex;
    static std::set<std::string> done;
    {
        const std::lock_guard<std::mutex> lock(mutex);
        if (!done.insert(folder).second)
            return;
    }
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    const std::size_t prefix = std::strlen(kTemporaryPrefix);
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() != prefix + kRandomChars || name.compare(0, prefix, kTemporaryPrefix) != 0)
            continue;
        struct stat info
        {
        };
        if (::fstatat(::dirfd(dir), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode) &&
            info.st_uid == ::geteuid() && info.st_mtime + kStaleSeconds < now)
            ::unlinkat(::dirfd(dir), name.c_str(), 0);
    }
    ::closedir(dir);
}

// Creates a new temporary file in folder with the given mode (less the umask,
// which the kernel applies). Returns the descriptor, or -1 with errno set.
int CreateTemporary(const std::string& folder, mode_t mode, std::string& name)
{
    static constexpr char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned char random[kRandomChars] = {};
        if (::getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random))
            for (std::size_t i = 0; i < kRandomChars; ++i) // no entropy yet: any spread will do
                random[i] = static_cast<unsigned char>((std::clock() + attempt * 7 + i * 13) & 0xFF);
        name = folder + "/" + kTemporaryPrefix;
        for (unsigned char r : random)
            name += kChars[r % (sizeof kChars - 1)];
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

// What a device file is, for messages.
std::string KindOfSpecial(mode_t mode)
{
    if (S_ISCHR(mode))
        return "a character device";
    if (S_ISBLK(mode))
        return "a block device";
    return "a special file";
}

// Writes every byte to fd, open without blocking, within kSpecialWriteSeconds:
// a reader that takes nothing for that long is given up on.
bool WriteWithin(int fd, std::span<const std::uint8_t> bytes, SFileError& error)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(kSpecialWriteSeconds);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
            error = SFileError::System(n < 0 ? errno : EIO);
            return false;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd ready{fd, POLLOUT, 0};
        if (left.count() <= 0 || (::poll(&ready, 1, static_cast<int>(left.count())) == 0)) {
            error = SFileError::System(ETIMEDOUT);
            error.m_strText = "the program reading from it took in no more within " +
                              std::to_string(kSpecialWriteSeconds) + " seconds; " +
                              (done > 0 ? "part of the image was written" : "nothing was written");
            error.m_strDetail.clear();
            return false;
        }
    }
    return true;
}

// A pipe or a device: written into, never replaced. Without a reader a pipe is
// refused at once or waited for, as pipes says; when it must not wait, neither
// do the writes for long. A socket cannot be opened as a file and is refused.
bool WriteIntoSpecial(const std::string& path, mode_t mode, std::span<const std::uint8_t> bytes,
                      EPipeOpen pipes, SFileError& error)
{
    if (S_ISSOCK(mode)) {
        error = SFileError::Of(SFileError::EKind::kSocket, "it is a socket, not a file");
        return false;
    }
    const bool wait = pipes == EPipeOpen::kWaitForReader;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | (wait ? 0 : O_NONBLOCK));
    if (fd < 0) {
        const int code = errno;
        error = SFileError::System(code);
        if (code == ENXIO && S_ISFIFO(mode)) {
            error.m_strText = "no program is reading from the pipe";
        } else if (code == ENXIO) { // a device file whose device is missing
            error = SFileError::System(ENODEV);
            error.m_strText = "it is " + KindOfSpecial(mode) + " whose device is not there";
        }
        return false;
    }
    bool ok = wait ? WriteAllTo(fd, bytes, error) : WriteWithin(fd, bytes, error);
    if (::close(fd) != 0 && ok) {
        error = SFileError::System(errno);
        ok = false;
    }
    return ok;
}

// Overwrites the file open in fd (at offset 0, not truncated) with bytes. The
// whole size is reserved first: when that fails the file keeps its old size and
// content. A write that fails after it leaves the file damaged; error says so.
bool WriteInPlace(int fd, off_t oldSize, std::span<const std::uint8_t> bytes, SFileError& error)
{
    const off_t size = static_cast<off_t>(bytes.size());
    if (size > 0) {
        const int code = ::posix_fallocate(fd, 0, size);
        if (code != 0) {
            (void)::ftruncate(fd, oldSize); // whatever was reserved beyond the old end
            ::close(fd);
            error = SFileError::System(code);
            error.m_strText += "; the file was left as it was";
            return false;
        }
    }
    bool ok = WriteAllTo(fd, bytes, error);
    if (ok && ::ftruncate(fd, size) != 0) { // the old content's tail
        error = SFileError::System(errno);
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        error = SFileError::System(errno);
        ok = false;
    }
    if (!ok) {
        error.m_bDamaged = true;
        error.m_strText +=
            "; the file is damaged: it was written in place and its old content is partly lost";
    }
    return ok;
}

} // namespace

bool WriteAllTo(int fd, std::span<const std::uint8_t> bytes, SFileError& error)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? SFileError::System(errno) : SFileError::System(EIO);
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

namespace {

// Every extended attribute of the old file is carried over: its access control
// list (kept as one), the user's own attributes, security labels.
int CarryEveryAttribute(const char*, struct error_context*)
{
    return 1;
}

// Gives a written replacement (fd) everything the old file (existing) had
// besides its content: owner and group, extended attributes with the access
// control list, and mode, in that order (changing the owner clears set-user-ID
// bits and file capabilities; the mode, set last, agrees with the list). False
// when any of it cannot be given: the old file is then written in place.
bool TakeOverAttributes(int fd, int existing, const std::string& target, const struct stat& old)
{
    if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) && ::fchown(fd, old.st_uid, old.st_gid) != 0)
        return false;
    if (attr_copy_fd(target.c_str(), existing, target.c_str(), fd, &CarryEveryAttribute, nullptr) != 0)
        return false;
    return ::fchmod(fd, old.st_mode & 07777) == 0;
}

// Writes bytes into a new file in target's folder and renames it over target
// (old: the file it replaces, null for none). existing is the old file open for
// writing, or -1, and is closed here: when the folder takes no new file, or the
// new file cannot be given all the old one had (another owner, an attribute we
// may not set), the old file is overwritten in place through it instead.
bool ReplaceFile(const std::string& target, const struct stat* old, int existing,
                 std::span<const std::uint8_t> bytes, SFileError& error)
{
    const std::string folder = FolderOf(target);
    RemoveStaleTemporaries(folder);
    std::string temp;
    // A replacement starts private and takes the old file's mode once written.
    const int fd = CreateTemporary(folder, old ? 0600 : 0666, temp);
    if (fd < 0) {
        const int code = errno;
        if (old && (code == EACCES || code == EPERM || code == EROFS))
            return WriteInPlace(existing, old->st_size, bytes, error);
        if (existing >= 0)
            ::close(existing);
        error = SFileError::System(code);
        return false;
    }
    // The content first: writing it would clear set-user-ID bits and file
    // capabilities given before.
    bool ok = WriteAllTo(fd, bytes, error);
    if (ok && old && !TakeOverAttributes(fd, existing, target, *old)) {
        ::close(fd);
        ::unlink(temp.c_str());
        return WriteInPlace(existing, old->st_size, bytes, error);
    }
    if (existing >= 0)
        ::close(existing);
    if (::close(fd) != 0 && ok) {
        error = SFileError::System(errno);
        ok = false;
    }
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        error = SFileError::System(errno);
        ok = false;
    }
    if (!ok)
        ::unlink(temp.c_str());
    return ok;
}

} // namespace

bool WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes, SFileError& error,
                    EPipeOpen pipes)
{
    error = SFileError();
    if (path.empty()) {
        error = SFileError::System(ENOENT);
        return false;
    }
    std::string target;
    if (!ResolveLinks(path, target, error))
        return false;
    struct stat info = {};
    const bool exists = ::stat(target.c_str(), &info) == 0;
    if (!exists && errno != ENOENT) {
        error = SFileError::System(errno);
        return false;
    }
    if (exists && S_ISDIR(info.st_mode)) {
        error = SFileError::System(EISDIR);
        return false;
    }
    if (exists && !S_ISREG(info.st_mode))
        return WriteIntoSpecial(target, info.st_mode, bytes, pipes, error);

    // An existing file is written only if we may open it for writing, as a
    // shell redirect would; a write-protected file is refused untouched.
    int existing = -1;
    if (exists) {
        existing = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
        if (existing < 0) {
            error = SFileError::System(errno);
            return false;
        }
        if (info.st_nlink > 1) // replacing it would split the links
            return WriteInPlace(existing, info.st_size, bytes, error);
    }
    return ReplaceFile(target, exists ? &info : nullptr, existing, bytes, error);
}

void IgnoreWriteSignals()
{
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
}
