// orbo-render: draws frames of the torus without a window and writes them as PNG
// images, or times them.

#include "cli/Escape.h"
#include "cli/QuietStderr.h"
#include "cli/RenderOptions.h"
#include "imageio/FrameImage.h"
#include "imageio/TextureFile.h"
#include "raster/PixelSink.h"
#include "render/TorusRenderer.h"

#include <QtGlobal>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <new>
#include <numeric>
#include <string>
#include <vector>

namespace {

constexpr const char* kProgram = "orbo-render";

const char* const kModeNames[] = {"wireframe", "surface", "texture"};
const char* const kLightNames[] = {"off", "on"};
const char* const kShadingNames[] = {"gouraud", "phong"};

void Configure(CTorusRenderer& renderer, const CRenderOptions& options)
{
    renderer.m_nSurfaceSteps = options.m_nSurfaceSteps;
    renderer.m_nSectionSteps = options.m_nSectionSteps;
    renderer.m_dRingRadius = options.m_nRingRadius;
    renderer.m_dSectionRadius = options.m_nSectionRadius;
    renderer.m_angleX = options.m_dAngleX;
    renderer.m_angleY = options.m_dAngleY;
    renderer.m_nMode = options.m_nMode;
    renderer.m_nLight = options.m_nLight;
    renderer.m_nShading = options.m_nShading;
    renderer.m_strTexturePath = options.m_strTexturePath;
    renderer.SwitchLights();
    renderer.SetupCamera();
}

// "-" names standard output, which must not be a terminal.
bool Save(const CPixelSink& sink, const std::string& path, const CRenderOptions& options)
{
    std::string error;
    if (path == "-") {
        if (::isatty(STDOUT_FILENO)) {
            std::cerr << kProgram << ": will not write a PNG image to a terminal; redirect the standard output\n";
            return false;
        }
        bool written = false;
        {
            // without --verbose the image libraries' own output is dropped
            const CQuietStderr quiet(!options.m_bVerbose);
            written = WriteFramePng(sink, STDOUT_FILENO, error);
        }
        if (written)
            return true;
        std::cerr << kProgram << ": cannot write to the standard output: " << error << '\n';
        return false;
    }
    bool saved = false;
    {
        // without --verbose the image libraries' own output is dropped
        const CQuietStderr quiet(!options.m_bVerbose);
        saved = SaveFramePng(sink, path, error);
    }
    if (saved)
        return true;
    std::cerr << kProgram << ": cannot write '" << Escaped(path) << "': " << error << '\n';
    return false;
}

void NoteEmptyFrame(const CRenderOptions& options)
{
    std::cerr << kProgram << ": the frame is " << options.m_nWidth << 'x' << options.m_nHeight
              << " pixels, so no image was written\n";
}

int RenderOne(CTorusRenderer& renderer, const CRenderOptions& options)
{
    CPixelSink sink(options.m_nWidth, options.m_nHeight);
    renderer.RenderFrame(sink);
    if (sink.Width() == 0 || sink.Height() == 0) {
        NoteEmptyFrame(options);
        return 0;
    }
    return Save(sink, options.m_strOutput, options) ? 0 : 1;
}

int RenderAnimation(CTorusRenderer& renderer, const CRenderOptions& options)
{
    CFramePattern pattern;
    std::string error;
    pattern.Parse(options.m_strOutput, error); // checked by the parser already
    const bool empty = options.m_nWidth == 0 || options.m_nHeight == 0;
    for (int n = 0; n < options.m_nFrames; ++n) {
        CPixelSink sink(options.m_nWidth, options.m_nHeight);
        renderer.RenderFrame(sink);
        if (!empty && !Save(sink, pattern.Format(n), options))
            return 1;
        renderer.m_angleX = NextAnimationAngle(renderer.m_angleX);
    }
    if (empty)
        NoteEmptyFrame(options);
    return 0;
}

int Bench(CTorusRenderer& renderer, const CRenderOptions& options)
{
    using Clock = std::chrono::steady_clock;
    std::vector<double> ms;
    ms.reserve(static_cast<std::size_t>(options.m_nBench));
    for (int n = 0; n < options.m_nBench; ++n) {
        const Clock::time_point start = Clock::now();
        CPixelSink sink(options.m_nWidth, options.m_nHeight);
        renderer.RenderFrame(sink);
        const Clock::time_point stop = Clock::now();
        ms.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
        renderer.m_angleX = NextAnimationAngle(renderer.m_angleX);
    }

    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t count = sorted.size();
    const double median = count % 2 != 0 ? sorted[count / 2]
                                         : (sorted[count / 2 - 1] + sorted[count / 2]) / 2.0;
    const double mean = std::accumulate(sorted.begin(), sorted.end(), 0.0) / static_cast<double>(count);
    const double fps = mean > 0.0 ? 1000.0 / mean : 0.0;

    std::printf("frames=%d size=%dx%d mode=%s light=%s shading=%s ring-radius=%d section-radius=%d "
                "steps=%dx%d\n",
                options.m_nBench, options.m_nWidth, options.m_nHeight, kModeNames[options.m_nMode],
                kLightNames[options.m_nLight], kShadingNames[options.m_nShading], options.m_nRingRadius,
                options.m_nSectionRadius, options.m_nSurfaceSteps, options.m_nSectionSteps);
    std::printf("ms_per_frame min=%.3f median=%.3f mean=%.3f fps=%.1f\n", sorted.front(), median, mean,
                fps);
    return 0;
}

int Run(const CRenderOptions& options)
{
    CTorusRenderer renderer;
    Configure(renderer, options);
    if (options.m_nMode == kModeTexture) {
        std::string error;
        bool loaded = false;
        {
            // without --verbose the image libraries' own output is dropped
            const CQuietStderr quiet(!options.m_bVerbose);
            loaded = LoadTextureFile(options.m_strTexturePath, renderer.m_texture, error);
        }
        if (!loaded) {
            std::cerr << kProgram << ": cannot read the texture '" << Escaped(options.m_strTexturePath)
                      << "': " << error << '\n';
            return 1;
        }
    }

    if (options.m_nBench > 0)
        return Bench(renderer, options);
    if (options.m_nFrames > 0)
        return RenderAnimation(renderer, options);
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

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const CParseResult parsed = ParseCommandLine(args);
    if (parsed.m_status == CParseResult::kHelp) {
        std::cout << UsageText();
        return 0;
    }
    if (parsed.m_status == CParseResult::kError) {
        std::cerr << kProgram << ": " << parsed.m_strError << '\n';
        return 2;
    }
    if (!parsed.m_options.m_bVerbose)
        qInstallMessageHandler(QuietQtMessages);
    try {
        return Run(parsed.m_options);
    } catch (const std::bad_alloc&) {
        // A large --size needs several bytes per pixel for the frame and its PNG.
        std::cerr << kProgram << ": not enough memory for a " << parsed.m_options.m_nWidth << 'x'
                  << parsed.m_options.m_nHeight << " frame\n";
        return 1;
    }
}
