#include "cli/RenderOptions.h"

#include "cli/Escape.h"
#include "cli/FramePattern.h"
#include "raster/PixelMapping.h"
#include "render/TorusRenderer.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <span>
#include <string_view>
#include <system_error>

using namespace RenderLimits;

constexpr int kMaxThreads = CTorusRenderer::kMaxThreads;

namespace {

// "'value'" for messages, so that an empty or blank value is still visible, with
// control characters escaped so that the message stays one line.
std::string Quoted(std::string_view value)
{
    return "'" + Escaped(value) + "'";
}

// A refused value. CLI11 hands an exception thrown from an option's callback on
// unchanged, so the message reaches the user as written here.
[[noreturn]] void Refuse(std::string message)
{
    throw CLI::ValidationError(std::move(message));
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

std::string Span(int lo, int hi)
{
    return std::to_string(lo) + " to " + std::to_string(hi);
}

// "a, b or c", or with a separator "a|b|c".
std::string Listed(std::span<const std::string_view> words, std::string_view separator = {})
{
    std::string list;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i > 0)
            list += !separator.empty() ? separator : i + 1 == words.size() ? " or " : ", ";
        list += words[i];
    }
    return list;
}

int WholeNumber(std::string_view option, std::string_view text, int lo, int hi)
{
    long long value = 0;
    if (!ReadInt(text, value) || value < lo || value > hi)
        Refuse(std::string(option) + " must be a whole number from " + std::to_string(lo) + " to " +
               std::to_string(hi) + " (got " + Quoted(text) + ")");
    return static_cast<int>(value);
}

double Angle(std::string_view option, std::string_view text)
{
    double value = 0.0;
    if (!ReadFinite(text, value))
        Refuse(std::string(option) + " must be a finite number of degrees (got " + Quoted(text) + ")");
    return value;
}

// WIDTHxHEIGHT, each side 0 .. kMaxSide.
void ReadSize(std::string_view text, int& width, int& height)
{
    const std::size_t cross = text.find_first_of("xX");
    long long w = -1, h = -1;
    if (cross == std::string_view::npos || !ReadInt(text.substr(0, cross), w) ||
        !ReadInt(text.substr(cross + 1), h) || w < 0 || h < 0 || w > kMaxSide || h > kMaxSide)
        Refuse("--size must be WIDTHxHEIGHT with each side a whole number from 0 to " +
               std::to_string(kMaxSide) + " (got " + Quoted(text) + ")");
    width = static_cast<int>(w);
    height = static_cast<int>(h);
}

// X,Y: a pixel as two whole numbers. Whether it lies inside the frame is
// checked once the size is known.
void ReadPixel(std::string_view option, std::string_view text, int& x, int& y)
{
    const std::size_t comma = text.find(',');
    long long px = 0, py = 0;
    if (comma == std::string_view::npos || !ReadInt(text.substr(0, comma), px) ||
        !ReadInt(text.substr(comma + 1), py) || px < -kMaxSide || px > kMaxSide || py < -kMaxSide ||
        py > kMaxSide)
        Refuse(std::string(option) +
               " must be X,Y, two whole numbers: the pixel's column and row counted from the "
               "frame's centre, y up (got " +
               Quoted(text) + ")");
    x = static_cast<int>(px);
    y = static_cast<int>(py);
}

// One of the given words; its index is the code stored.
int Choice(std::string_view option, std::string_view text, std::span<const std::string_view> words)
{
    const auto found = std::find(words.begin(), words.end(), text);
    if (found == words.end())
        Refuse(std::string(option) + " must be " + Listed(words) + " (got " + Quoted(text) + ")");
    return static_cast<int>(found - words.begin());
}

std::string FileName(std::string_view option, const std::string& text)
{
    if (text.empty())
        Refuse(std::string(option) + " needs a file name");
    return text;
}

// Breaks text at spaces into lines of at most width characters (a longer word
// stands on a line of its own).
std::string Wrapped(std::string_view text, std::size_t width)
{
    std::string out;
    std::size_t lineStart = 0;
    while (!text.empty()) {
        const std::size_t wordEnd = std::min(text.find(' '), text.size());
        const std::string_view word = text.substr(0, wordEnd);
        if (out.size() > lineStart && out.size() - lineStart + 1 + word.size() > width) {
            out += '\n';
            lineStart = out.size();
        } else if (out.size() > lineStart) {
            out += ' ';
        }
        out += word;
        text.remove_prefix(std::min(wordEnd + 1, text.size()));
    }
    return out;
}

// The help's columns: option names, then their explanation up to column 79.
constexpr std::size_t kNameColumn = 25;
constexpr std::size_t kHelpWidth = 79;

// Usage lines first, then the description, then CLI11's option list.
class CUsageFormatter : public CLI::Formatter
{
public:
    std::string make_usage(const CLI::App* app, std::string) const override
    {
        return "Usage: orbo-render [options] -o OUT.png\n"
               "       orbo-render [options] --frames N -o 'frame%03d.png'\n"
               "       orbo-render [options] --frames N --format ppm -o - | VIDEO-TOOL\n"
               "       orbo-render [options] --bench N\n"
               "       orbo-render [options] --inspect X,Y [--history X,Y] [-o OUT.png]\n"
               "       orbo-render [options] --depth-image DEPTH.png [-o OUT.png]\n\n" +
               Wrapped(app->get_description(), kHelpWidth) + "\n";
    }
    std::string make_description(const CLI::App*) const override { return {}; }
};

// orbo-render's options on a CLI11 application, each read into the options it
// was built with. Every option's callback receives all its occurrences, checks
// each in turn and keeps the last, so a bad value is refused wherever it stands.
class CCommandLine
{
public:
    explicit CCommandLine(CRenderOptions& options);
    CLI::App& App() { return m_app; }

private:
    using Reader = std::function<void(const std::string&)>;
    CLI::Option* Add(const std::string& names, const std::string& valueName, const std::string& help,
                     Reader read);
    void AddSizeAndTorusOptions();
    void AddDrawingOptions();
    void AddOutputOptions();

    CLI::App m_app;
    CRenderOptions& m_options;
};

CCommandLine::CCommandLine(CRenderOptions& options)
    : m_app(
          "Renders the torus as the Orbo window draws it and writes the frame as an RGB PNG (or PPM) image.",
          "orbo-render"),
      m_options(options)
{
    m_app.formatter(std::make_shared<CUsageFormatter>());
    m_app.get_formatter()->column_width(kNameColumn);
    // Unknown options and stray words are collected and answered by the caller,
    // in its own words.
    m_app.allow_extras();
    AddSizeAndTorusOptions();
    AddDrawingOptions();
    AddOutputOptions();
    m_app.add_flag("--verbose", m_options.m_bVerbose, "also show the warnings of the image libraries")
        ->disable_flag_override();
    m_app.set_version_flag("--version", VersionText(), "show the program's name and version");
    // Set last so that it closes the list.
    m_app.set_help_flag("-h,--help", "show this text")->disable_flag_override();
    m_app.footer(Wrapped("Long options also take their value as --option=VALUE.", kHelpWidth) + "\n\n" +
                 Wrapped("An existing file named by -o is replaced only once the new image is complete; "
                         "it keeps its permissions, access control list and extended attributes, "
                         "owner and group. A file you may not write to is left alone (status 1). A "
                         "symbolic link stays and its target is written; a file with several hard "
                         "links, one in a folder that takes no new file, and one whose owner or "
                         "attributes a new file could not be given is overwritten in place; a pipe or "
                         "a device is written into, a socket is refused.",
                         kHelpWidth) +
                 "\n\n" +
                 Wrapped("Exit status: 0 done, 1 the texture could not be read or an image could not "
                         "be written, 2 bad command line (nothing is written).",
                         kHelpWidth));
}

CLI::Option* CCommandLine::Add(const std::string& names, const std::string& valueName,
                               const std::string& help, Reader read)
{
    const auto readAll = [read = std::move(read)](const CLI::results_t& values) {
        for (const std::string& value : values)
            read(value);
        return true;
    };
    return m_app.add_option(names, readAll, Wrapped(help, kHelpWidth - kNameColumn))
        ->option_text(valueName)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
}

void CCommandLine::AddSizeAndTorusOptions()
{
    const CRenderOptions defaults;
    CRenderOptions& o = m_options;
    const auto whole = [](const char* option, int lo, int hi, int& out) {
        return [=, &out](const std::string& text) { out = WholeNumber(option, text, lo, hi); };
    };
    Add("--size", "WxH",
        "image size in pixels, each side " + Span(0, kMaxSide) + " (default " +
            std::to_string(defaults.m_nWidth) + "x" + std::to_string(defaults.m_nHeight) +
            ", the window's view); a frame with a side of 0 is rendered but nothing is written (a PNG "
            "cannot be empty), with a note on stderr",
        [&o](const std::string& text) { ReadSize(text, o.m_nWidth, o.m_nHeight); });
    Add("--ring-radius", "N",
        "ring radius, " + Span(kMinRingRadius, kMaxRingRadius) + " (default " +
            std::to_string(defaults.m_nRingRadius) + ")",
        whole("--ring-radius", kMinRingRadius, kMaxRingRadius, o.m_nRingRadius));
    Add("--section-radius", "N",
        "tube radius, " + Span(kMinSectionRadius, kMaxSectionRadius) + " (default " +
            std::to_string(defaults.m_nSectionRadius) + ")",
        whole("--section-radius", kMinSectionRadius, kMaxSectionRadius, o.m_nSectionRadius));
    Add("--surface-steps", "N",
        "subdivisions around the axis, " + Span(kMinSteps, kMaxSteps) + " (default " +
            std::to_string(defaults.m_nSurfaceSteps) + ")",
        whole("--surface-steps", kMinSteps, kMaxSteps, o.m_nSurfaceSteps));
    Add("--section-steps", "N",
        "subdivisions around the tube, " + Span(kMinSteps, kMaxSteps) + " (default " +
            std::to_string(defaults.m_nSectionSteps) + ")",
        whole("--section-steps", kMinSteps, kMaxSteps, o.m_nSectionSteps));
}

void CCommandLine::AddDrawingOptions()
{
    const CRenderSettings defaults;
    CRenderOptions& o = m_options;
    const auto choice = [](const char* option, std::span<const std::string_view> words, int& out) {
        return [=, &out](const std::string& text) { out = Choice(option, text, words); };
    };
    const auto name = [](std::span<const std::string_view> words, int code) {
        return std::string(words[static_cast<std::size_t>(code)]);
    };
    Add("--mode", "MODE", Listed(kModeNames) + " (default " + name(kModeNames, defaults.m_nMode) + ")",
        choice("--mode", kModeNames, o.m_nMode));
    Add("--light", Listed(kLightNames, "|"),
        "the light switch (default " + name(kLightNames, defaults.m_nLight) + ")",
        choice("--light", kLightNames, o.m_nLight));
    Add("--shading", "METHOD",
        Listed(kShadingNames) + " (default " + name(kShadingNames, defaults.m_nShading) + ", but " +
            name(kShadingNames, kShadingPhong) + " in " + name(kModeNames, kModeTexture) +
            " mode, as the window selects it; the lit texture is drawn with phong only, so texture "
            "mode with the light on and gouraud draws nothing)",
        choice("--shading", kShadingNames, o.m_nShading));
    Add("--angle-x", "DEG", "rotation about the x axis in degrees (default 0)",
        [&o](const std::string& text) { o.m_dAngleX = Angle("--angle-x", text); });
    Add("--angle-y", "DEG", "rotation about the y axis in degrees (default 0)",
        [&o](const std::string& text) { o.m_dAngleY = Angle("--angle-y", text); });
    Add("--texture", "FILE",
        "texture image, a BMP, PNG or JPEG file, read in texture mode only (default: the default "
        "texture, see below); a file named here is never replaced by another",
        [&o](const std::string& text) { o.m_strTexturePath = FileName("--texture", text); });
}

void CCommandLine::AddOutputOptions()
{
    CRenderOptions& o = m_options;
    const std::string frames = Span(1, kMaxFrames);
    Add("--frames", "N",
        "write the first N frames (" + frames +
            ") of the animation, which starts at --angle-x and turns it by 5 degrees a frame (back "
            "to 0 after 360); OUT must hold one %d or %0Nd for the frame number, counted from 0 (%% "
            "is a percent sign), or be - for the standard output, which receives the frames one "
            "after another (for a video tool reading a pipe, --format ppm); while a frame is written "
            "the next ones are drawn and encoded, on every processor",
        [&o](const std::string& text) { o.m_nFrames = WholeNumber("--frames", text, 1, kMaxFrames); });
    Add("--bench", "N",
        "render N frames (" + frames +
            ") of the animation without writing anything and print the time per frame",
        [&o](const std::string& text) { o.m_nBench = WholeNumber("--bench", text, 1, kMaxFrames); });
    Add("--threads", "N",
        "threads that fill facets, " + Span(1, kMaxThreads) +
            ", each over its own rows (default: one for each thread the processors run at once; "
            "a larger count is lowered to that, since more threads would only take turns, and "
            "--bench prints the count used); the picture is the same for any count",
        [&o](const std::string& text) { o.m_nThreads = WholeNumber("--threads", text, 1, kMaxThreads); });
    Add("--facets", "N",
        "draw only the first N facets of the drawing order (" + Span(0, INT_MAX) +
            "; more than the torus turns to the eye draws them all), to show the frame as it stood "
            "then; with --frames or --bench every frame stops there",
        [&o](const std::string& text) { o.m_nFacets = WholeNumber("--facets", text, 0, INT_MAX); });
    Add("--inspect", "X,Y",
        "print what made pixel X,Y of the frame, counted from the frame's centre with y up: one "
        "key=value a line: x, y, colour (red,green,blue bytes), depth (the depth buffer's value; "
        "background where nothing was drawn; none for lines, which have no depth), facet (i,j: "
        "surface step, section step of the facet that last wrote it; none), normal (the "
        "interpolated normal lit, at length 1; phong), colour-interpolated and corner-colours (gouraud), "
        "texel "
        "(u,v, texture mode); -o is then optional, and the frame is written too when given",
        [&o](const std::string& text) {
            ReadPixel("--inspect", text, o.m_nInspectX, o.m_nInspectY);
            o.m_bInspect = true;
        });
    Add("--history", "X,Y",
        "print, after what --inspect prints of pixel X,Y, everything that reached the pixel in "
        "drawing order: history=N, the number of lines that follow, then one line each, as "
        "key=value fields: sample (counted from 0), order (the facet's place in the drawing order, "
        "from 0), facet (i,j) and, in a filled drawing, x (where the sample lies: its column is x + "
        "0.5 truncated toward zero), depth, tested-against (the depth buffer's value before, -1000 "
        "where nothing was drawn yet) and passed (1 or 0), then colour (red,green,blue bytes written, "
        "for samples that passed and for every pixel of an edge in a wireframe); the last colour "
        "written is the pixel's",
        [&o](const std::string& text) {
            ReadPixel("--history", text, o.m_nHistoryX, o.m_nHistoryY);
            o.m_bHistory = true;
        });
    Add("--depth-image", "FILE",
        "also write the frame's depth buffer as a 16-bit grey PNG: 0 where no facet was drawn, the "
        "drawn depths mapped linearly from the least (1) to the greatest, the nearest (65535); prints "
        "depth-min= and depth-max=, the least and greatest depth drawn (none when nothing was); "
        "surface and texture mode only (lines have no depth buffer)",
        [&o](const std::string& text) { o.m_strDepthImage = FileName("--depth-image", text); });
    Add("-o,--output", "OUT",
        "the image file to write (required unless --bench, --inspect, --history or --depth-image); - "
        "writes it to the standard output",
        [&o](const std::string& text) { o.m_strOutput = FileName("-o", text); });
    Add("--format", Listed(kFrameFormatNames, "|"),
        "the images' file format: png, or ppm, binary PPM (P6), uncompressed, which video tools read "
        "frame after frame (default: ppm where OUT ends in .ppm, else png)",
        [&o](const std::string& text) {
            o.m_format = static_cast<EFrameFormat>(Choice("--format", text, kFrameFormatNames));
        });
    Add("--compression", "N",
        "how hard PNG images are compressed, " + Span(PngCompression::kStored, PngCompression::kSmallest) +
            " as zlib counts: 0 not at all, 1 fastest, 9 smallest (default " +
            std::to_string(PngCompression::kDefault) + ", the quickest for long sequences)",
        [&o](const std::string& text) {
            o.m_nCompression =
                WholeNumber("--compression", text, PngCompression::kStored, PngCompression::kSmallest);
        });
}

// The arguments as CLI11 should see them. CLI11 takes "--name=" with nothing
// after the '=' as "--name" waiting for the next argument: such an option is
// given an empty value instead, which its check then refuses as it would refuse
// --name "". It also takes "--flag=true" as the flag: the first flag given a
// value is named in flagWithValue.
std::vector<std::string> PreparedArguments(const CLI::App& app, const std::vector<std::string>& args,
                                           std::string& flagWithValue)
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") { // the rest is not read as options
            out.insert(out.end(), args.begin() + static_cast<std::ptrdiff_t>(i), args.end());
            break;
        }
        const std::size_t eq = arg.starts_with("--") ? arg.find('=') : std::string::npos;
        const std::string name = arg.substr(0, eq);
        const CLI::Option* option = name.starts_with('-') ? app.get_option_no_throw(name) : nullptr;
        const bool takesValue = option != nullptr && option->get_items_expected_max() > 0;
        if (option != nullptr && !takesValue && eq != std::string::npos && flagWithValue.empty())
            flagWithValue = name;
        if (takesValue && eq != std::string::npos && eq + 1 == arg.size()) {
            out.push_back(name);
            out.emplace_back();
            continue;
        }
        out.push_back(arg);
        if (takesValue && eq == std::string::npos && i + 1 < args.size())
            out.push_back(args[++i]); // the value, whatever it looks like
    }
    return out;
}

// A word CLI11 did not take: an unknown option, or an argument where an option
// was expected.
std::string ExtraArgumentError(const std::string& arg)
{
    if (arg.size() > 1 && arg[0] == '-')
        return "unknown option " + Quoted(arg.substr(0, arg.find('='))) + " (try --help)";
    return "unexpected argument " + Quoted(arg) + " (the output file goes after -o; try --help)";
}

// CLI11's own parse errors in the command line's words. The argument it stopped
// at is the last one it consumed: an option given a value it takes none of, or
// an option with nothing left to take as its value.
std::string ParseErrorText(const CLI::ParseError& e, const std::vector<std::string>& args, std::size_t unread)
{
    if (dynamic_cast<const CLI::ValidationError*>(&e) != nullptr)
        return e.what(); // our own refusal
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&e) != nullptr && unread < args.size()) {
        const std::string& arg = args[args.size() - unread - 1];
        const std::size_t eq = arg.find('=');
        if (eq != std::string::npos)
            return Escaped(arg.substr(0, eq)) + " takes no value";
        return "missing value after " + Escaped(arg);
    }
    return Escaped(e.what());
}

// The window's panel selects texture mode's shading (Phong) with texture mode;
// without an explicit --shading the command line does the same. An explicit
// gouraud is kept and drawn as the window would draw that setting (the lit
// texture needs Phong, so nothing is drawn).
void ApplyTextureShading(const CLI::App& app, CRenderOptions& o)
{
    if (o.m_nMode == kModeTexture && app.count("--shading") == 0)
        o.m_nShading = kTextureShading;
}

// The rules of the options that look into one frame (--inspect, --history,
// --depth-image), once each has been read; the first one given names itself.
std::string LookingError(const CLI::App& app, CRenderOptions& o)
{
    const std::string option = o.m_bInspect ? "--inspect" : o.m_bHistory ? "--history" : "--depth-image";
    if (o.m_nBench > 0 || o.m_nFrames > 0)
        return option + " looks at one frame; it cannot be combined with " +
               (o.m_nBench > 0 ? "--bench" : "--frames");
    if (app.count("--output") > 0 && o.m_strOutput == "-")
        return option + " prints to the standard output; write the image to a file with -o";
    if (o.m_bHistory) {
        if (o.m_bInspect && (o.m_nInspectX != o.m_nHistoryX || o.m_nInspectY != o.m_nHistoryY))
            return "--history tells what --inspect tells of the same pixel first; give them one pixel "
                   "(or leave out --inspect)";
        o.m_bInspect = true;
        o.m_nInspectX = o.m_nHistoryX;
        o.m_nInspectY = o.m_nHistoryY;
    }
    if (!o.m_strDepthImage.empty()) {
        if (o.m_strDepthImage == "-")
            return "--depth-image prints the depths' range to the standard output; write the depth "
                   "image to a file";
        if (o.m_nMode == kModeWireframe)
            return "--depth-image: the wireframe is drawn without a depth buffer; choose --mode surface "
                   "or texture";
    }
    const CPixelMapping frame(o.m_nWidth, o.m_nHeight);
    if (o.m_nWidth == 0 || o.m_nHeight == 0)
        return option + " needs a frame with pixels (the size is " + std::to_string(o.m_nWidth) + "x" +
               std::to_string(o.m_nHeight) + ")";
    const int xLo = frame.XMin(), xHi = frame.XMax();
    const int yLo = frame.YMin(), yHi = frame.YMax();
    if (o.m_bInspect &&
        (o.m_nInspectX < xLo || o.m_nInspectX > xHi || o.m_nInspectY < yLo || o.m_nInspectY > yHi))
        return (o.m_bHistory ? "--history " : "--inspect ") + std::to_string(o.m_nInspectX) + "," +
               std::to_string(o.m_nInspectY) + " lies outside the " + std::to_string(o.m_nWidth) + "x" +
               std::to_string(o.m_nHeight) + " frame: x goes from " + Span(xLo, xHi) + ", y from " +
               Span(yLo, yHi);
    return {};
}

// Without --format, an output named *.ppm (any case) is written as PPM.
void ApplyFormatFromName(const CLI::App& app, CRenderOptions& o)
{
    if (app.count("--format") > 0 || o.m_strOutput.size() < 4)
        return;
    std::string extension = o.m_strOutput.substr(o.m_strOutput.size() - 4);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".ppm")
        o.m_format = EFrameFormat::kPpm;
}

// The first option given that only matters for an image written, or empty.
std::string ImageOptionGiven(const CLI::App& app)
{
    for (const char* name : {"--format", "--compression"})
        if (app.count(name) > 0)
            return name;
    return {};
}

// The rules between options, once each has been read.
std::string CombinationError(const CLI::App& app, CRenderOptions& o)
{
    const bool haveOutput = app.count("--output") > 0;
    const std::string imageOption = ImageOptionGiven(app);
    const bool looking = o.m_bInspect || o.m_bHistory || !o.m_strDepthImage.empty();
    if (!imageOption.empty() && !haveOutput && o.m_nBench == 0 && looking)
        return imageOption + " is for the image written with -o";
    if (o.m_format == EFrameFormat::kPpm && app.count("--compression") > 0)
        return "--compression is for PNG images; PPM images are not compressed";
    if (looking)
        return LookingError(app, o);
    if (o.m_nBench > 0) {
        if (o.m_nFrames > 0)
            return "--bench and --frames cannot be combined";
        if (haveOutput)
            return "--bench writes no files; leave out -o";
        if (!imageOption.empty())
            return "--bench writes no files; leave out " + imageOption;
        return {};
    }
    if (!haveOutput)
        return "missing -o OUT.png, the file to write (try --help)";
    if (o.m_nFrames > 0 && o.m_strOutput != "-") {
        CFramePattern pattern;
        std::string patternError;
        if (!pattern.Parse(o.m_strOutput, patternError))
            return "with --frames, -o must be a file-name pattern or - (the standard output): " +
                   patternError;
    }
    return {};
}

} // namespace

CParseResult ParseCommandLine(const std::vector<std::string>& args)
{
    CParseResult result;
    CCommandLine line(result.m_options);
    CLI::App& app = line.App();
    std::string flagWithValue;
    const std::vector<std::string> split = PreparedArguments(app, args, flagWithValue);
    std::vector<std::string> unread(split.rbegin(), split.rend()); // CLI11 reads from the back
    std::string error;
    try {
        app.parse(unread);
    } catch (const CLI::CallForHelp&) {
        result.m_status = CParseResult::kHelp;
        return result;
    } catch (const CLI::CallForVersion&) {
        result.m_status = CParseResult::kVersion;
        return result;
    } catch (const CLI::ParseError& e) {
        // --help anywhere shows the help, even after a mistake.
        if (app.get_help_ptr()->count() > 0) {
            result.m_status = CParseResult::kHelp;
            return result;
        }
        error = ParseErrorText(e, split, unread.size());
    }
    // A stray word or unknown option comes first: it is the likelier mistake, and
    // CLI11 has collected those before the point where it stopped.
    const std::vector<std::string> extras = app.remaining();
    if (!extras.empty())
        error = ExtraArgumentError(extras.front());
    else if (error.empty() && !flagWithValue.empty())
        error = flagWithValue + " takes no value";
    else if (error.empty()) {
        ApplyTextureShading(app, result.m_options);
        ApplyFormatFromName(app, result.m_options);
        error = CombinationError(app, result.m_options);
    }
    if (!error.empty()) {
        result.m_status = CParseResult::kError;
        result.m_strError = std::move(error);
    }
    return result;
}

std::string VersionText()
{
    return std::string("orbo-render ") + ORBO_VERSION + "\nLicence: " + ORBO_LICENSE;
}

std::string UsageText()
{
    CRenderOptions options;
    CCommandLine line(options);
    return line.App().help();
}
