#include "cli/QuietStderr.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_UNDEFINED__)
#define ORBO_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(undefined_behavior_sanitizer)
#define ORBO_SANITIZED 1
#endif
#endif
#ifdef ORBO_SANITIZED
#include <sanitizer/common_interface_defs.h>
#endif

CQuietStderr::CQuietStderr(bool active)
{
    if (!active)
        return;
    std::fflush(stderr);
    m_nSaved = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (m_nSaved < 0 || null < 0) {
        if (null >= 0)
            ::close(null);
        return;
    }
#ifdef ORBO_SANITIZED
    __sanitizer_set_report_fd(reinterpret_cast<void*>(static_cast<std::intptr_t>(m_nSaved)));
#endif
    ::dup2(null, STDERR_FILENO);
    ::close(null);
}

CQuietStderr::~CQuietStderr()
{
    if (m_nSaved < 0)
        return;
    std::fflush(stderr);
    ::dup2(m_nSaved, STDERR_FILENO);
#ifdef ORBO_SANITIZED
    __sanitizer_set_report_fd(reinterpret_cast<void*>(static_cast<std::intptr_t>(STDERR_FILENO)));
#endif
    ::close(m_nSaved);
}
