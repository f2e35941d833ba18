#pragma once

#include <string>

// A file-name pattern for numbered frames: literal text with exactly one %d or
// %0Nd conversion (N a digit count, 1 to 20) and %% for a percent sign.
class CFramePattern
{
public:
    // Reads pattern; on failure returns false with the reason in error.
    bool Parse(const std::string& pattern, std::string& error);
    // The file name of frame number n (counted from 0).
    std::string Format(int n) const;

private:
    std::string m_strPrefix;
    std::string m_strSuffix;
    int m_nWidth = 0; // 0: no padding
};
