#include "imageio/FileError.h"

#include <cstring>

SFileError SFileError::System(int code)
{
    SFileError error;
    error.m_kind = EKind::kSystem;
    error.m_nErrno = code;
    error.m_strText = std::strerror(code);
    error.m_strDetail = error.m_strText;
    return error;
}

SFileError SFileError::Of(EKind kind, std::string text, std::string detail)
{
    SFileError error;
    error.m_kind = kind;
    error.m_strText = std::move(text);
    error.m_strDetail = std::move(detail);
    return error;
}
