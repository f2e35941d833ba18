#include "cli/FramePattern.h"

#include "cli/Escape.h"

namespace {

// "'pattern'" for messages, control characters escaped.
std::string Quoted(const std::string& value)
{
    return "'" + Escaped(value) + "'";
}

} // namespace

bool CFramePattern::Parse(const std::string& pattern, std::string& error)
{
    const auto bad = [&](const std::string& why) {
        error = Quoted(pattern) + " " + why +
                "; use one %d or %0Nd for the frame number and %% for a percent sign";
        return false;
    };

    std::string prefix, suffix;
    int width = 0;
    bool haveConversion = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        std::string& out = haveConversion ? suffix : prefix;
        if (pattern[i] != '%') {
            out += pattern[i];
            continue;
        }
        if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        // %d or %0Nd.
        std::size_t j = i + 1;
        int padTo = 0;
        if (j < pattern.size() && pattern[j] == '0') {
            ++j;
            const std::size_t digitsFrom = j;
            while (j < pattern.size() && pattern[j] >= '0' && pattern[j] <= '9' && j - digitsFrom < 3)
                padTo = padTo * 10 + (pattern[j++] - '0');
            if (j == digitsFrom || padTo < 1 || padTo > 20)
                return bad("has a bad conversion");
        }
        if (j >= pattern.size() || pattern[j] != 'd')
            return bad("has a bad conversion");
        if (haveConversion)
            return bad("has more than one frame number");
        haveConversion = true;
        width = padTo;
        i = j;
    }
    if (!haveConversion)
        return bad("has no frame number");
    m_strPrefix = std::move(prefix);
    m_strSuffix = std::move(suffix);
    m_nWidth = width;
    return true;
}

std::string CFramePattern::Format(int n) const
{
    std::string number = std::to_string(n);
    if (static_cast<int>(number.size()) < m_nWidth)
        number.insert(0, static_cast<std::size_t>(m_nWidth) - number.size(), '0');
    return m_strPrefix + number + m_strSuffix;
}
