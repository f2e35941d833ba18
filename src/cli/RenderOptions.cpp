#include "cli/RenderOptions.h"

#include "cli/Escape.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <span>
#include <string_view>
#include <system_error>

using namespace RenderLimits;

namespace {

// "'value'" for messages, so that an empty or blank value is still visible, with
// control characters escaped so that the message stays one line.
std::string Quoted(std::string_view value)
{
    return "'" + Escaped(value) + "'";
}

// from_chars takes no leading plus sign; the command line does.
std::string_view WithoutPlus(std::string_view text)
{
    if (text.size() > 1 && text[0] == '+' && text[1] != '-' && text[1] != '+')
        text.remove_prefix(1);
    return text;
}

// A whole decimal number, nothing before or after it.
bool ReadInt(std::string_view text, long long& value)
{
    text = WithoutPlus(text);
    if (text.empty())
        return false;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

// A finite decimal number (with fraction and exponent allowed); nan, inf and
// values beyond the range of a double are refused. A value too small for a
// double (1e-400) is taken as the nearest one, 0 or a subnormal.
bool ReadFinite(std::string_view text, double& value)
{
    text = WithoutPlus(text);
    if (text.empty())
        return false;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec == std::errc::result_out_of_range && ptr == end) {
        const std::string copy(text);
        const double nearest = std::strtod(copy.c_str(), nullptr);
        if (std::fabs(nearest) < 1.0) {
            value = nearest;
            return true;
        }
        return false;
    }
    return ec == std::errc() && ptr == end && std::isfinite(value);
}

bool ReadIntInRange(std::string_view option, std::string_view text, int lo, int hi, int& out,
                    std::string& error)
{
    long long value = 0;
    if (!ReadInt(text, value) || value < lo || value > hi) {
        error = std::string(option) + " must be a whole number from " + std::to_string(lo) + " to " +
                std::to_string(hi) + " (got " + Quoted(text) + ")";
        return false;
    }
    out = static_cast<int>(value);
    return true;
}

bool ReadAngle(std::string_view option, std::string_view text, double& out, std::string& error)
{
    if (!ReadFinite(text, out)) {
        error = std::string(option) + " must be a finite number of degrees (got " + Quoted(text) + ")";
        return false;
    }
    return true;
}

// WIDTHxHEIGHT, each side 0 .. kMaxSide.
bool ReadSize(std::string_view text, int& width, int& height, std::string& error)
{
    const std::size_t cross = text.find_first_of("xX");
    long long w = -1, h = -1;
    if (cross == std::string_view::npos || !ReadInt(text.substr(0, cross), w) ||
        !ReadInt(text.substr(cross + 1), h) || w < 0 || h < 0 || w > kMaxSide || h > kMaxSide) {
        error = "--size must be WIDTHxHEIGHT with each side a whole number from 0 to " +
                std::to_string(kMaxSide) + " (got " + Quoted(text) + ")";
        return false;
    }
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

// One of the given words; its index is the code stored.
bool ReadChoice(std::string_view option, std::string_view text,
                std::span<const std::string_view> words, int& out, std::string& error)
{
    int index = 0;
    std::string list;
    for (std::string_view word : words) {
        if (text == word) {
            out = index;
            return true;
        }
        list += (index == 0 ? "" : index + 1 == static_cast<int>(words.size()) ? " or " : ", ");
        list += word;
        ++index;
    }
    error = std::string(option) + " must be " + list + " (got " + Quoted(text) + ")";
    return false;
}

} // namespace

CParseResult ParseCommandLine(const std::vector<std::string>& args)
{
    CParseResult result;
    CRenderOptions& o = result.m_options;
    std::string& error = result.m_strError;
    bool haveOutput = false;
    bool haveShading = false;

    auto fail = [&result]() -> CParseResult& {
        result.m_status = CParseResult::kError;
        return result;
    };

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "-h" || arg == "--help") {
            result.m_status = CParseResult::kHelp;
            return result;
        }
        if (arg == "--verbose") {
            o.m_bVerbose = true;
            continue;
        }

        // Long options take their value as the next argument or after '='.
        std::string name = arg;
        std::string value;
        bool inlineValue = false;
        if (arg.rfind("--", 0) == 0) {
            const std::size_t eq = arg.find('=');
            if (eq != std::string::npos) {
                name = arg.substr(0, eq);
                value = arg.substr(eq + 1);
                inlineValue = true;
            }
        } else if (arg.empty() || arg[0] != '-' || arg == "-") {
            error = "unexpected argument " + Quoted(arg) + " (the output file goes after -o; try --help)";
            return fail();
        }

        static const std::string_view kOptions[] = {
            "--size", "--ring-radius", "--section-radius", "--surface-steps", "--section-steps",
            "--mode", "--light", "--shading", "--angle-x", "--angle-y", "--texture", "--frames",
            "--bench", "-o", "--output"};
        bool known = false;
        for (std::string_view option : kOptions)
            known = known || name == option;
        if (!known) {
            if (name == "--help" || name == "-h" || name == "--verbose")
                error = name + " takes no value";
            else
                error = "unknown option " + Quoted(name) + " (try --help)";
            return fail();
        }
        if (!inlineValue) {
            if (i + 1 >= args.size()) {
                error = "missing value after " + name;
                return fail();
            }
            value = args[++i];
        }

        bool ok = true;
        if (name == "--size")
            ok = ReadSize(value, o.m_nWidth, o.m_nHeight, error);
        else if (name == "--ring-radius")
            ok = ReadIntInRange(name, value, kMinRingRadius, kMaxRingRadius, o.m_nRingRadius, error);
        else if (name == "--section-radius")
            ok = ReadIntInRange(name, value, kMinSectionRadius, kMaxSectionRadius, o.m_nSectionRadius,
                                error);
        else if (name == "--surface-steps")
            ok = ReadIntInRange(name, value, kMinSteps, kMaxSteps, o.m_nSurfaceSteps, error);
        else if (name == "--section-steps")
            ok = ReadIntInRange(name, value, kMinSteps, kMaxSteps, o.m_nSectionSteps, error);
        else if (name == "--mode")
            ok = ReadChoice(name, value, kModeNames, o.m_nMode, error);
        else if (name == "--light")
            ok = ReadChoice(name, value, kLightNames, o.m_nLight, error);
        else if (name == "--shading") {
            ok = ReadChoice(name, value, kShadingNames, o.m_nShading, error);
            haveShading = true;
        } else if (name == "--angle-x")
            ok = ReadAngle(name, value, o.m_dAngleX, error);
        else if (name == "--angle-y")
            ok = ReadAngle(name, value, o.m_dAngleY, error);
        else if (name == "--frames")
            ok = ReadIntInRange(name, value, 1, kMaxFrames, o.m_nFrames, error);
        else if (name == "--bench")
            ok = ReadIntInRange(name, value, 1, kMaxFrames, o.m_nBench, error);
        else if (name == "--texture") {
            ok = !value.empty();
            if (ok)
                o.m_strTexturePath = value;
            else
                error = "--texture needs a file name";
        } else { // -o, --output
            ok = !value.empty();
            if (ok)
                o.m_strOutput = value;
            else
                error = name + " needs a file name";
            haveOutput = true;
        }
        if (!ok)
            return fail();
    }

    // The window's panel selects Phong with texture mode; without an explicit
    // --shading the command line does the same. An explicit gouraud is kept and
    // drawn as the window would draw that setting (the lit texture needs Phong).
    if (o.m_nMode == kModeTexture && !haveShading)
        o.m_nShading = kShadingPhong;

    if (o.m_nBench > 0) {
        if (o.m_nFrames > 0) {
            error = "--bench and --frames cannot be combined";
            return fail();
        }
        if (haveOutput) {
            error = "--bench writes no files; leave out -o";
            return fail();
        }
        return result;
    }
    if (!haveOutput) {
        error = "missing -o OUT.png, the file to write (try --help)";
        return fail();
    }
    if (o.m_nFrames > 0) {
        CFramePattern pattern;
        std::string patternError;
        if (!pattern.Parse(o.m_strOutput, patternError)) {
            error = "with --frames, -o must be a file-name pattern: " + patternError;
            return fail();
        }
    }
    return result;
}

std::string UsageText()
{
    return R"(Usage: orbo-render [options] -o OUT.png
       orbo-render [options] --frames N -o 'frame%03d.png'
       orbo-render [options] --bench N

Renders the torus as the Orbo window draws it and writes the frame as an RGB
PNG image.

Options:
  --size WxH             image size in pixels, each side 0 to 16384 (default
                         520x600, the window's view); a frame with a side of 0
                         is rendered but nothing is written (a PNG cannot be
                         empty), with a note on stderr
  --ring-radius N        ring radius, 100 to 300 (default 200)
  --section-radius N     tube radius, 20 to 120 (default 80)
  --surface-steps N      subdivisions around the axis, 6 to 36 (default 18)
  --section-steps N      subdivisions around the tube, 6 to 36 (default 18)
  --mode MODE            wireframe, surface or texture (default wireframe)
  --light on|off         the light switch (default on)
  --shading METHOD       gouraud or phong (default gouraud, but phong in
                         texture mode, as the window selects it; the lit
                         texture is drawn with phong only, so texture mode
                         with the light on and gouraud draws nothing)
  --angle-x DEG          rotation about the x axis in degrees (default 0)
  --angle-y DEG          rotation about the y axis in degrees (default 0)
  --texture FILE         texture image, a BMP, PNG or JPEG file, read in
                         texture mode only (default: the default texture, see
                         below); a file named here is never replaced by another
  --frames N             write the first N frames (1 to 100000) of the
                         animation, which starts at --angle-x and turns it by
                         5 degrees a frame (back to 0 after 360); OUT must
                         hold one %d or %0Nd for the frame number, counted
                         from 0 (%% is a percent sign)
  --bench N              render N frames (1 to 100000) of the animation
                         without writing anything and print the time per
                         frame
  -o, --output OUT       the PNG file to write (required unless --bench); -
                         writes it to standard output
  --verbose              also show the warnings of the image libraries
  -h, --help             show this text

Long options also take their value as --option=VALUE.

Exit status: 0 done, 1 the texture could not be read or an image could not be
written, 2 bad command line (nothing is written).
)";
}

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

double NextAnimationAngle(double angle)
{
    return angle < 360.0 ? angle + 5.0 : 0.0;
}
