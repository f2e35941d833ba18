#include "cli/Escape.h"

#include <cstdint>

namespace {

// Length of the well-formed UTF-8 sequence starting at text[at], or 0.
std::size_t Utf8Length(std::string_view text, std::size_t at)
{
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(at);
    std::size_t length = 0;
    std::uint32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2, code = lead & 0x1F;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, code = lead & 0x0F;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4, code = lead & 0x07;
    else
        return 0;
    if (at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80)
            return 0;
        code = code << 6 | (byte(at + i) & 0x3F);
    }
    // Overlong forms, surrogates, values past U+10FFFF and the C1 controls.
    const bool wellFormed = (length != 3 || code >= 0x800) && (length != 4 || code >= 0x10000) &&
                            code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF) &&
                            (code < 0x80 || code > 0x9F);
    return wellFormed ? length : 0;
}

} // namespace

std::string Escaped(std::string_view bytes)
{
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<std::uint8_t>(bytes[i]);
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        if (c >= 0x80) {
            if (const std::size_t length = Utf8Length(bytes, i)) {
                out.append(bytes.substr(i, length));
                i += length;
                continue;
            }
        }
        switch (c) {
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        case 0x1B:
            out += "\\e";
            break;
        default:
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
        ++i;
    }
    return out;
}
