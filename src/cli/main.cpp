// orbo-render: draws frames of the torus without a window and writes them as PNG
// or PPM images, or times them.

#include "cli/Escape.h"
#include "cli/FramePattern.h"
#include "cli/FramePipeline.h"
#include "cli/PixelFactsText.h"
#include "cli/QuietStderr.h"
#include "cli/RenderOptions.h"
#include "imageio/DataPaths.h"
#include "imageio/FrameImage.h"
#include "imageio/GreyImage.h"
#include "imageio/OutputFile.h"
#include "imageio/TextureFile.h"
#include "raster/PixelSink.h"
#include "render/DepthImage.h"
#include "render/SimdLimit.h"
#include "render/TorusRenderer.h"

#include <QtGlobal>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <new>
#include <numeric>
#include <span>
#include <string>
#include <vector>

namespace {

constexpr const char* kProgram = "orbo-render";

using TexturePtr = std::shared_ptr<const CTexture>;

// The next frame of the animation: the angle about x turned by one tick.
void Advance(CTorusRenderer& renderer, const CRenderOptions& options, const TexturePtr& texture)
{
    renderer.Setup(options, NextAnimationAngle(renderer.AngleX()), renderer.AngleY(), texture);
}

// Where the texture comes from when --texture is not given, for --help.
std::string DefaultTextureText()
{
    std::string text = "Default texture: without --texture, the first of these files that exists:\n";
    const std::vector<std::string> candidates = DefaultTextureCandidates();
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        text += "  " + candidates[i];
        text += i == 0 ? " (relative to the current folder)\n" : "\n";
    }
    return text + "ORBO_DATA_DIR=FOLDER in the environment looks in FOLDER instead of the\n"
                  "installed data; set but empty, only in the current folder.\n";
}

// The texture file to read: the one named on the command line, else the
// default texture. False, with a message on stderr, when there is no default
// texture anywhere.
bool ChooseTexture(const CRenderOptions& options, std::string& path)
{
    if (!options.m_strTexturePath.empty()) {
        path = options.m_strTexturePath;
        return true;
    }
    path = DefaultTexturePath();
    if (std::filesystem::exists(path))
        return true;
    const std::vector<std::string> candidates = DefaultTextureCandidates();
    std::string looked;
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        if (i > 0)
            looked += i + 1 == candidates.size() ? " or " : ", ";
        looked += "'" + Escaped(candidates[i]) + "'";
    }
    std::cerr << kProgram << ": no default texture: "
              << (candidates.size() == 1 ? looked + " does not exist" : "none of " + looked + " exists")
              << "; name one with --texture FILE\n";
    return false;
}

// The bytes of the images written: PNG or PPM, as the options say.
bool Encode(const CPixelSink& sink, const CRenderOptions& options, std::vector<std::uint8_t>& bytes,
            std::string& error)
{
    SFileError failure;
    if (EncodeFrame(sink, options.m_format, options.m_nCompression, bytes, failure))
        return true;
    error = failure.m_strText;
    return false;
}

// Writes one image's bytes to path, or to the standard output for "-".
bool Write(const std::string& path, std::span<const std::uint8_t> bytes, std::string& error)
{
    SFileError failure;
    if (path == "-" ? WriteAllTo(STDOUT_FILENO, bytes, failure) : WriteWholeFile(path, bytes, failure))
        return true;
    error = failure.m_strText;
    return false;
}

// The one-line message of an image that could not be encoded or written.
void ReportFailure(const std::string& path, const std::string& error)
{
    if (path == "-")
        std::cerr << kProgram << ": cannot write to the standard output: " << error << '\n';
    else
        std::cerr << kProgram << ": cannot write '" << Escaped(path) << "': " << error << '\n';
}

// Images are not written to a terminal: "-" must name a file or a pipe.
bool RefuseTerminal(const CRenderOptions& options)
{
    if (options.m_strOutput != "-" || !::isatty(STDOUT_FILENO))
        return false;
    std::cerr << kProgram << ": will not write " << (options.m_format == EFrameFormat::kPpm ? "PPM" : "PNG")
              << " images to a terminal; redirect the standard output\n";
    return true;
}

void NoteEmptyFrame(const CRenderOptions& options)
{
    std::cerr << kProgram << ": the frame is " << options.m_nWidth << 'x' << options.m_nHeight
              << " pixels, so no image was written\n";
}

// The depth buffer of the frame just drawn (with records), as --depth-image
// writes it, and its range on the standard output.
bool WriteDepthImage(const CTorusRenderer& renderer, const CPixelSink& sink, const CRenderOptions& options)
{
    CDepthImage depth;
    depth.Take(renderer, sink);
    std::cout << DepthRangeText(depth.AnyDrawn(), depth.Least(), depth.Greatest());
    SFileError error;
    bool saved = false;
    {
        // without --verbose the image libraries' own output is dropped
        const CQuietStderr quiet(!options.m_bVerbose);
        saved = SaveGrey16Png(depth.Width(), depth.Height(), depth.Levels(), options.m_strDepthImage, error);
    }
    if (!saved)
        std::cerr << kProgram << ": cannot write '" << Escaped(options.m_strDepthImage)
                  << "': " << error.m_strText << '\n';
    return saved;
}

int RenderOne(CTorusRenderer& renderer, const CRenderOptions& options)
{
    CPixelSink sink(options.m_nWidth, options.m_nHeight);
    const bool depthImage = !options.m_strDepthImage.empty();
    renderer.SetInspection(options.m_bInspect || depthImage);
    if (options.m_bHistory)
        renderer.SetHistoryPixel(options.m_nInspectX, options.m_nInspectY);
    renderer.RenderFrame(sink);
    if (options.m_bInspect) {
        // The parser has checked that the pixel lies inside the frame.
        SPixelFacts facts;
        renderer.Inspect(sink, options.m_nInspectX, options.m_nInspectY, facts);
        std::cout << PixelFactsText(facts); // flushed, and checked, at the end
        if (options.m_bHistory) {
            std::vector<SHistoryEntry> history;
            renderer.History(sink, options.m_nInspectX, options.m_nInspectY, history);
            std::cout << HistoryText(history);
        }
    }
    if (depthImage && !WriteDepthImage(renderer, sink, options))
        return 1;
    if ((options.m_bInspect || depthImage) && options.m_strOutput.empty())
        return 0;
    if (sink.Width() == 0 || sink.Height() == 0) {
        NoteEmptyFrame(options);
        return 0;
    }
    if (RefuseTerminal(options))
        return 1;
    std::vector<std::uint8_t> bytes;
    std::string error;
    if (Encode(sink, options, bytes, error) && Write(options.m_strOutput, bytes, error))
        return 0;
    ReportFailure(options.m_strOutput, error);
    return 1;
}

// The frames of the animation, each drawn, encoded and written while the frames
// before are encoded and written and those after drawn.
int RenderAnimation(CTorusRenderer& renderer, const CRenderOptions& options, const TexturePtr& texture)
{
    if (options.m_nWidth == 0 || options.m_nHeight == 0) {
        NoteEmptyFrame(options);
        return 0;
    }
    if (RefuseTerminal(options))
        return 1;
    const bool toStandardOutput = options.m_strOutput == "-";
    CFramePattern pattern;
    std::string error;
    if (!toStandardOutput)
        pattern.Parse(options.m_strOutput, error); // checked by the parser already
    const auto name = [&](int n) { return toStandardOutput ? options.m_strOutput : pattern.Format(n); };

    const std::size_t frameBytes =
        static_cast<std::size_t>(options.m_nWidth) * static_cast<std::size_t>(options.m_nHeight) * 4;
    CFramePipeline pipeline(CFramePipeline::FramesInFlight(frameBytes));
    const auto draw = [&](int n, CPixelSink& sink) {
        if (n > 0)
            Advance(renderer, options, texture);
        sink.Resize(options.m_nWidth, options.m_nHeight); // the renderer clears it
        renderer.RenderFrame(sink);
    };
    const auto encode = [&](const CPixelSink& sink, std::vector<std::uint8_t>& bytes, std::string& failure) {
        return Encode(sink, options, bytes, failure);
    };
    const auto write = [&](int n, std::span<const std::uint8_t> bytes, std::string& failure) {
        return Write(name(n), bytes, failure);
    };
    if (pipeline.Run(options.m_nFrames, draw, encode, write))
        return 0;
    ReportFailure(name(pipeline.FailedFrame()), pipeline.Error());
    return 1;
}

int Bench(CTorusRenderer& renderer, const CRenderOptions& options, const TexturePtr& texture)
{
    using Clock = std::chrono::steady_clock;
    std::vector<double> ms;
    ms.reserve(static_cast<std::size_t>(options.m_nBench));
    CPixelSink sink(0, 0); // one image, cleared for every frame as a window's would be
    for (int n = 0; n < options.m_nBench; ++n) {
        const Clock::time_point start = Clock::now();
        sink.Resize(options.m_nWidth, options.m_nHeight); // the renderer clears it
        renderer.RenderFrame(sink);
        const Clock::time_point stop = Clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
        Advance(renderer, options, texture);
    }

    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t count = sorted.size();
    const double median =
        count % 2 != 0 ? sorted[count / 2] : (sorted[count / 2 - 1] + sorted[count / 2]) / 2.0;
    const double mean = std::accumulate(sorted.begin(), sorted.end(), 0.0) / static_cast<double>(count);
    const double fps = mean > 0.0 ? 1000.0 / mean : 0.0;

    std::printf("frames=%d size=%dx%d mode=%s light=%s shading=%s ring-radius=%d section-radius=%d "
                "steps=%dx%d threads=%d\n",
                options.m_nBench, options.m_nWidth, options.m_nHeight,
                kModeNames[static_cast<std::size_t>(options.m_nMode)].data(),
                kLightNames[static_cast<std::size_t>(options.m_nLight)].data(),
                kShadingNames[static_cast<std::size_t>(options.m_nShading)].data(), options.m_nRingRadius,
                options.m_nSectionRadius, options.m_nSurfaceSteps, options.m_nSectionSteps,
                renderer.ThreadCount());
    std::printf("ms_per_frame min=%.3f median=%.3f mean=%.3f fps=%.1f simd=%s\n", sorted.front(), median,
                mean, fps, SimdInUse().c_str());
    return 0;
}

// The texture of texture mode, read from the file the options name or the
// default one; null in the other modes. False, with a message on stderr, when
// it cannot be read.
bool ReadTexture(CRenderOptions& options, TexturePtr& texture)
{
    if (options.m_nMode != kModeTexture)
        return true;
    if (!ChooseTexture(options, options.m_strTexturePath))
        return false;
    CTexture loaded;
    std::string error;
    bool read = false;
    {
        // without --verbose the image libraries' own output is dropped
        const CQuietStderr quiet(!options.m_bVerbose);
        read = LoadTextureFile(options.m_strTexturePath, loaded, error);
    }
    if (!read) {
        std::cerr << kProgram << ": cannot read the texture '" << Escaped(options.m_strTexturePath)
                  << "': " << Escaped(error) << '\n';
        return false;
    }
    texture = std::make_shared<const CTexture>(std::move(loaded));
    return true;
}

int Run(CRenderOptions options)
{
    TexturePtr texture;
    if (!ReadTexture(options, texture))
        return 1;
    CTorusRenderer renderer;
    if (options.m_nThreads > 0)
        renderer.SetThreadCount(options.m_nThreads);
    if (renderer.ThreadCount() < renderer.ThreadsAsked())
        std::cerr << kProgram << ": only " << renderer.ThreadCount() << " of " << renderer.ThreadsAsked()
                  << " threads could be started (" << renderer.ThreadStartFailure() << "); drawing with "
                  << renderer.ThreadCount() << '\n';
    if (options.m_nFacets >= 0)
        renderer.SetFacetLimit(options.m_nFacets);
    renderer.Setup(options, options.m_dAngleX, options.m_dAngleY, texture);

    if (options.m_nBench > 0)
        return Bench(renderer, options, texture);
    if (options.m_nFrames > 0)
        return RenderAnimation(renderer, options, texture);
    return RenderOne(renderer, options);
}

// Qt's image readers and writers report on stderr themselves ("libpng error:
// ..."); our own one-line message says what failed, so theirs are shown only
// with --verbose.
void QuietQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg)
        std::cerr << kProgram << ": " << Escaped(message.toStdString()) << '\n';
    (void)context;
}

// A standard descriptor that was closed is taken by a read-only /dev/null, so
// that writes to it fail (and are reported) instead of landing in the first
// file opened, which would get its number.
void HoldClosedStandardDescriptors()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1)
            continue;
        const int held = ::open("/dev/null", O_RDONLY);
        if (held >= 0 && held != fd) {
            ::dup2(held, fd);
            ::close(held);
        }
    }
}

// What the standard output still holds is written out; a failed write there
// (a full disk, a closed descriptor, a reader gone) is reported, status 1.
int FinishStandardOutput(int status)
{
    errno = 0;
    std::cout.flush();
    const bool flushed = std::fflush(stdout) == 0;
    const int code = errno != 0 ? errno : EIO; // an earlier failed write may have left no number
    if (flushed && !std::ferror(stdout) && std::cout.good())
        return status;
    std::cerr << kProgram << ": cannot write to the standard output: " << std::strerror(code) << '\n';
    return 1;
}

int Main(int argc, char** argv)
{
    HoldClosedStandardDescriptors();
    IgnoreWriteSignals();
    // Text for the standard output is kept until the end, where a failed write
    // is reported with its reason.
    static char held[1 << 16];
    std::setvbuf(stdout, held, _IOFBF, sizeof held);
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const CParseResult parsed = ParseCommandLine(args);
    if (parsed.m_status == CParseResult::kHelp) {
        std::cout << UsageText() << '\n' << DefaultTextureText();
        return FinishStandardOutput(0);
    }
    if (parsed.m_status == CParseResult::kVersion) {
        std::cout << VersionText() << '\n';
        return FinishStandardOutput(0);
    }
    if (parsed.m_status == CParseResult::kError) {
        std::cerr << kProgram << ": " << parsed.m_strError << '\n';
        return 2;
    }
    // A hidden switch for measuring: ORBO_SIMD=avx2 holds the SIMD kernels to AVX2.
    std::string simdError;
    if (!LimitSimdFromEnvironment(simdError)) {
        std::cerr << kProgram << ": " << kSimdLimitVariable << ": " << simdError << '\n';
        return 2;
    }
    if (!parsed.m_options.m_bVerbose)
        qInstallMessageHandler(QuietQtMessages);
    try {
        return FinishStandardOutput(Run(parsed.m_options));
    } catch (const std::bad_alloc&) {
        // A large --size needs several bytes per pixel for the frame and its PNG.
        std::cerr << kProgram << ": not enough memory for a " << parsed.m_options.m_nWidth << 'x'
                  << parsed.m_options.m_nHeight << " frame\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << kProgram << ": " << Escaped(e.what()) << '\n';
        return 1;
    }
}

} // namespace

int main(int argc, char** argv)
{
    // Memory may run out before a frame's size is known (reading the command
    // line), too.
    try {
        return Main(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fputs("orbo-render: not enough memory\n", stderr);
        return 1;
    }
}
