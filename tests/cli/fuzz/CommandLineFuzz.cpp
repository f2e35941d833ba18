// libFuzzer target for orbo-render's command line: the bytes are split at NUL
// bytes into arguments and read as the program reads them. Besides the
// sanitizers' own checks it stops on an exception that escapes the reader, on a
// refusal that is not one line, and on accepted options outside their ranges:
// a size, a frame count, a thread count, an angle that is not finite, a pixel
// to inspect outside the frame, or a frame pattern that does not number frames.

#include "cli/FramePattern.h"
#include "cli/RenderOptions.h"
#include "raster/PixelMapping.h"
#include "render/TorusRenderer.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail = {})
{
    std::fprintf(stderr, "%s %s\n", what, detail.c_str());
    std::abort();
}

bool InRange(int value, int lo, int hi) { return value >= lo && value <= hi; }

void CheckAccepted(const CRenderOptions& o)
{
    using namespace RenderLimits;
    if (!InRange(o.m_nWidth, 0, kMaxSide) || !InRange(o.m_nHeight, 0, kMaxSide))
        Fail("size out of range");
    if (!InRange(o.m_nFrames, 0, kMaxFrames) || o.m_nBench < 0 ||
        !InRange(o.m_nThreads, 0, CTorusRenderer::kMaxThreads))
        Fail("count out of range");
    if (!InRange(o.m_nRingRadius, kMinRingRadius, kMaxRingRadius) ||
        !InRange(o.m_nSectionRadius, kMinSectionRadius, kMaxSectionRadius) ||
        !InRange(o.m_nSurfaceSteps, kMinSteps, kMaxSteps) || !InRange(o.m_nSectionSteps, kMinSteps, kMaxSteps))
        Fail("torus setting out of range");
    if (!std::isfinite(o.m_dAngleX) || !std::isfinite(o.m_dAngleY))
        Fail("angle not finite");
    if (o.m_bInspect) {
        if (!CPixelMapping(o.m_nWidth, o.m_nHeight).Contains(o.m_nInspectX, o.m_nInspectY))
            Fail("inspected pixel outside the frame");
    }
    if (o.m_nFrames > 0) {
        CFramePattern pattern;
        std::string error;
        if (!pattern.Parse(o.m_strOutput, error))
            Fail("accepted frame pattern does not parse", error);
        if (pattern.Format(0) == pattern.Format(o.m_nFrames - 1) && o.m_nFrames > 1)
            Fail("frames share a name", pattern.Format(0));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            args.emplace_back();
        else
            args.back() += static_cast<char>(data[i]);
    }

    // Every argument as a frame pattern: a parsed one numbers frames with digits
    // and its fixed text around them.
    for (const std::string& arg : args) {
        CFramePattern pattern;
        std::string error;
        if (pattern.Parse(arg, error)) {
            const std::string a = pattern.Format(7), b = pattern.Format(123456);
            if (a == b || a.find('7') == std::string::npos)
                Fail("pattern does not number frames", arg);
        } else if (error.empty() || error.find('\n') != std::string::npos) {
            Fail("pattern refused without a one-line reason", error);
        }
    }

    const CParseResult parsed = ParseCommandLine(args);
    switch (parsed.m_status) {
    case CParseResult::kRun:
        CheckAccepted(parsed.m_options);
        break;
    case CParseResult::kError:
        if (parsed.m_strError.empty() || parsed.m_strError.find('\n') != std::string::npos)
            Fail("refused without a one-line reason", parsed.m_strError);
        break;
    case CParseResult::kHelp:
    case CParseResult::kVersion:
        break;
    }
    return 0;
}
