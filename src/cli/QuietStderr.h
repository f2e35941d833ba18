#pragma once

// While it lives (and is active), whatever the libraries write to the standard error stream
// themselves (libpng prints "libpng error: ..." straight to it) is dropped.
// Sanitizer reports still reach the real stream.
class CQuietStderr
{
public:
    explicit CQuietStderr(bool active);
    ~CQuietStderr();
    CQuietStderr(const CQuietStderr&) = delete;
    CQuietStderr& operator=(const CQuietStderr&) = delete;

private:
    int m_nSaved = -1; // the real stream, put back at the end
};
