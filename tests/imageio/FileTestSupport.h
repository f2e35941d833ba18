#pragma once

#include <grp.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>

// What the output file tests share: a file's bytes, and checks run as a user
// without privileges.

inline constexpr uid_t kNobody = 65534;

inline std::string Contents(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Runs check as a user without privileges and returns what it reports (empty
// when all went well). Root ignores file permissions, so as root check runs in
// a child process that has become "nobody"; otherwise it runs here.
inline std::string AsUnprivileged(const std::function<std::string()>& check)
{
    if (::geteuid() != 0)
        return check();
    int pipe[2];
    if (::pipe(pipe) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe[0]);
        std::string report = "cannot become nobody";
        if (::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0)
            report = check();
        (void)!::write(pipe[1], report.data(), report.size());
        ::_exit(0);
    }
    ::close(pipe[1]);
    std::string report;
    char chunk[256];
    for (ssize_t n; (n = ::read(pipe[0], chunk, sizeof chunk)) > 0;)
        report.append(chunk, static_cast<std::size_t>(n));
    ::close(pipe[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? report : "the unprivileged check did not finish";
}
